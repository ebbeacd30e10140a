// The page's address: "#/Folder/sub" shows a folder (its path below the root, as URL
// segments; in a collection "#/Volume/Folder/sub", the volume's name its first segment, a
// name that repeats told apart by "~2", "~3"...),
// "#mudancas" the changes view, "#duplicados" the files kept in more than one place; Back and
// Forward follow it.

var CHANGES_HASH = '#mudancas', DUPLICATES_HASH = '#duplicados';

function folderHash(d, i) {
  var path = folderUrl(d, i).path, v = volumeOfFolder(d, i);
  if (!d.collection) return '#/' + path;
  if (v < 0) return '#/';
  return '#/' + encodeSegment(d.volumes[v].key, {}) + (path ? '/' + path : '');
}

// The one of `count` names (name(k), k from 0) equal to `want`, or else the first that differs
// from it only in case; -1 for none.
function matchName(want, count, name) {
  var folded = -1, lower = want.toLowerCase();
  for (var k = 0; k < count; k++) {
    var nm = name(k);
    if (nm === want) return k;
    if (folded < 0 && nm.toLowerCase() === lower) folded = k;
  }
  return folded;
}

// The folder an address names, or -1. A segment matches a subfolder's name (in a collection,
// the first a volume's) exactly, or else the first one that differs from it only in case.
function folderFromHash(d, hash) {
  var s = hash.replace(/^#\/?/, '');
  if (!s) return d.collection ? Math.min(1, d.M - 1) : 0;
  var segs = s.split('/'), at = 0, k = 0, want;
  try {
    segs = segs.map(decodeURIComponent);
  } catch (e) {
    return -1;
  }
  if (d.collection) {
    var v = matchName(segs[k++], d.volumes.length, function (n) { return d.volumes[n].key; });
    if (v < 0) return -1;
    at = d.volumes[v].root;
  }
  for (; k < segs.length; k++) {
    want = segs[k];
    var kids = [];
    for (var c = at + 1; c < d.end[at]; c = d.end[c]) kids.push(c);
    var found = matchName(want, kids.length, function (n) { return folderName(d, kids[n]); });
    if (found < 0) return -1;
    at = kids[found];
  }
  return at;
}

// Makes the address `hash`. how: 'push' a new entry in the history, 'replace' the current
// one, or leave the address as it is ('none'). No address at all is the root's.
function goTo(hash, how) {
  if (how === 'none' || (location.hash || '#/') === hash) return;
  if (how === 'push') location.hash = hash;
  else location.replace(hash);
}

// What the address asks for at start-up: { view: 'changes', 'duplicates' or 'files', folder }.
function addressed(d) {
  var first = folderFromHash(d, '');
  if (d.cmp && location.hash === CHANGES_HASH) return { view: 'changes', folder: first };
  if (location.hash === DUPLICATES_HASH) return { view: 'duplicates', folder: first };
  var i = folderFromHash(d, location.hash);
  return { view: 'files', folder: i < 0 ? first : i };
}

function followAddress(app, d) {
  window.addEventListener('hashchange', function () {
    if (location.hash === CHANGES_HASH && d.cmp) {
      if (app.mode !== 'changes') app.showChanges('none');
      return;
    }
    if (location.hash === DUPLICATES_HASH) {
      if (app.mode !== 'duplicates') app.showDuplicates('none');
      return;
    }
    var i = folderFromHash(d, location.hash);
    if (i >= 0 && (i !== app.tree.selected || app.mode !== 'files' && app.mode !== 'hits')) app.select(i, 'none');
  });
}
