// The page's address: "#/Folder/sub" shows a folder (its path below the root, as URL
// segments), "#mudancas" the changes view; Back and Forward follow it.

var CHANGES_HASH = '#mudancas';

function folderHash(d, i) { return '#/' + folderUrl(d, i).path; }

// The folder an address names, or -1. A segment matches a subfolder's name exactly, or else
// the first one that differs from it only in case.
function folderFromHash(d, hash) {
  var s = hash.replace(/^#\/?/, '');
  if (!s) return 0;
  var segs = s.split('/'), at = 0;
  for (var k = 0; k < segs.length; k++) {
    var want;
    try { want = decodeURIComponent(segs[k]); } catch (e) { return -1; }
    var found = -1, folded = -1, lower = want.toLowerCase();
    for (var c = at + 1; c < d.end[at]; c = d.end[c]) {
      var nm = folderName(d, c);
      if (nm === want) { found = c; break; }
      if (folded < 0 && nm.toLowerCase() === lower) folded = c;
    }
    if (found < 0) found = folded;
    if (found < 0) return -1;
    at = found;
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

// What the address asks for at start-up: { changes: the changes view, folder }.
function addressed(d) {
  if (d.cmp && location.hash === CHANGES_HASH) return { changes: true, folder: 0 };
  var i = folderFromHash(d, location.hash);
  return { changes: false, folder: i < 0 ? 0 : i };
}

function followAddress(app, d) {
  window.addEventListener('hashchange', function () {
    if (location.hash === CHANGES_HASH && d.cmp) {
      if (app.mode !== 'changes') app.showChanges('none');
      return;
    }
    var i = folderFromHash(d, location.hash);
    if (i >= 0 && (i !== app.tree.selected || app.mode === 'changes')) app.select(i, 'none');
  });
}
