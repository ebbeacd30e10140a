// The tree model over the arrays read from the data block: each folder's sums, names, paths
// and links, and the volume each lies on. Folders are in pre-order: a folder's descendants are
// the folders i + 1 .. end - 1. In a collection folder 0 holds the volumes' roots (depth 0) and
// is never shown.

function derive(d) {
  var M = d.M, parent = d.parent;
  var end = new Int32Array(M), depth = new Int32Array(M), kids = new Int32Array(M), place = new Int32Array(M);
  var files = new Float64Array(M), bytes = new Float64Array(M);
  var i, j;
  if (d.collection) depth[0] = -1;
  for (i = 0; i < M; i++) {
    var b = 0;
    for (j = d.firstFile[i]; j < d.firstFile[i + 1]; j++) b += d.size[j];
    bytes[i] = b;
    files[i] = d.own[i];
    end[i] = i + 1;
    if (i > 0) {
      depth[i] = depth[parent[i]] + 1;
      place[i] = kids[parent[i]]++;  // among its parent's subfolders, from 0
    }
  }
  // Pre-order: every folder's descendants follow it, so one backward pass adds them up.
  for (i = M - 1; i > 0; i--) {
    var q = parent[i];
    files[q] += files[i];
    bytes[q] += bytes[i];
    if (end[i] > end[q]) end[q] = end[i];
  }
  d.end = end; d.depth = depth; d.totFiles = files; d.totBytes = bytes; d.kids = kids; d.place = place;
  // A volume's name in the address; names repeat (two discs labelled alike): the later ones
  // are told apart by their place among the volumes of that name ("FOTOS~2").
  var seen = {};
  d.volumes.forEach(function (v) {
    var low = v.name.toLowerCase(), n = seen[low] = (seen[low] || 0) + 1;
    v.key = n > 1 ? v.name + '~' + n : v.name;
  });
  d.paths = { made: {}, count: 0 };
}

// Name k (folder i is k = i, file j is k = M + j) ends its line; in a collection the next
// name in the arrays may be another volume's, elsewhere in the text.
function name(d, k) {
  var s = d.starts[k];
  return unescapeName(d.text.slice(s, d.text.indexOf('\n', s)));
}
function folderName(d, i) { return d.collection && i === 0 ? 'Coleção' : name(d, i); }
function fileName(d, j) { return name(d, d.M + j); }

// ---- Volumes ----------------------------------------------------------------------------

// The last volume whose `field` (firstFolder, firstFile) is at or before x.
function volumeAt(d, field, x) {
  var vs = d.volumes, lo = 0, hi = vs.length - 1;
  while (lo < hi) {
    var mid = (lo + hi + 1) >> 1;
    if (vs[mid][field] <= x) lo = mid; else hi = mid - 1;
  }
  return lo;
}

// The volume folder i lies on (an index into d.volumes); -1 for a collection's folder 0.
function volumeOfFolder(d, i) { return d.collection && i === 0 ? -1 : volumeAt(d, 'firstFolder', i); }
function volumeOfFile(d, j) { return volumeAt(d, 'firstFile', j); }

// The root of a volume: a catalogue's folder 0, a collection's folders right below its own.
function isVolumeRoot(d, i) { return d.collection ? i > 0 && d.parent[i] === 0 : i === 0; }

// "1A2B3C4D" as Windows shows it.
function serialText(s) { return s ? s.slice(0, 4) + '-' + s.slice(4) : ''; }

var DRIVE_KINDS = { fixo: 'disco fixo', removivel: 'removível', cd: 'CD/DVD', rede: 'rede', ram: 'RAM' };

// What is known of a volume, one fact a line (a tooltip's text, a title's).
function volumeFacts(v) {
  var out = [];
  if (v.label) out.push('rótulo ' + v.label);
  if (v.serial) out.push('série ' + serialText(v.serial));
  if (v.fileSystem || v.kind) out.push([DRIVE_KINDS[v.kind] || '', v.fileSystem].join(' ').trim());
  if (v.capacity) out.push(sizeText(v.capacity) + ', ' + sizeText(v.free) + ' livres');
  var when = v.date ? dateText(Date.parse(v.date) / 1000) : '';
  if (when) out.push('catalogado em ' + when);
  return out;
}

// The names the search reads, as spans of the text in the order of their entries (folder i is
// entry i, file j entry M + j), every volume's root left out: { from, to, first, count }, where
// the span's names are entries first .. first + count - 1, each ended by a line break.
function nameSpans(d) {
  var spans = [], vs = d.volumes, v, s, at = function (k) { return d.starts[k]; };
  function add(from, first, count) {
    if (count <= 0) return;
    var to = d.text.indexOf('\n', at(first + count - 1)) + 1, last = spans[spans.length - 1];
    if (last && last.to === from && last.first + last.count === first) { last.to = to; last.count += count; }
    else spans.push({ from: from, to: to, first: first, count: count });
  }
  for (v = 0; v < vs.length; v++) {
    s = vs[v];
    add(at(s.firstFolder + 1), s.firstFolder + 1, s.endFolder - s.firstFolder - 1);
  }
  for (v = 0; v < vs.length; v++) {
    s = vs[v];
    add(at(d.M + s.firstFile), d.M + s.firstFile, s.endFile - s.firstFile);
  }
  return spans;
}

// The text of the spans, one name a line, numbered from 0 in order.
function spansText(d, spans) {
  var parts = [];
  for (var k = 0; k < spans.length; k++) parts.push(d.text.slice(spans[k].from, spans[k].to));
  return parts.join('');
}

// The folder holding file j: the last folder whose files start at or before it (an empty
// folder shares its start with the next).
function folderOfFile(d, j) {
  var lo = 0, hi = d.M - 1, ff = d.firstFile;
  while (lo < hi) {
    var mid = (lo + hi + 1) >> 1;
    if (ff[mid] <= j) lo = mid; else hi = mid - 1;
  }
  return lo;
}

function chain(d, i) { // the folder and its ancestors below its volume's root, outermost first
  var out = [];
  for (; i > 0 && !isVolumeRoot(d, i); i = d.parent[i]) out.push(i);
  return out.reverse();
}

// Rows of one folder ask for the same path again and again while scrolling: what was made is
// kept, and all of it dropped once it holds 2,000.
function cached(d, key, make) {
  var paths = d.paths, v = paths.made[key];
  if (v === undefined) {
    if (++paths.count > 2000) { paths.made = {}; paths.count = 1; }
    v = paths.made[key] = make();
  }
  return v;
}

function folderPath(d, i) {
  return cached(d, 'w' + i, function () {
    // A collection's folders begin with their volume's name, a catalogue's with its root's path.
    var v = volumeOfFolder(d, i), c = chain(d, i);
    var s = d.collection && v >= 0 ? d.volumes[v].name : folderName(d, 0);
    for (var k = 0; k < c.length; k++) {
      s += (s.charAt(s.length - 1) === '\\' ? '' : '\\') + folderName(d, c[k]);
    }
    return s;
  });
}

// ---- Links: a path below the root, as URL segments -------------------------------------

var LONE = /[\ud800-\udbff](?![\udc00-\udfff])|(?<![\ud800-\udbff])[\udc00-\udfff]/g;

// A name as a URL segment; link.broken is set when it held a lone surrogate, which has no
// UTF-8 form: such a link cannot reach the file by name.
function encodeSegment(s, link) {
  try {
    return encodeURIComponent(s);
  } catch (e) {
    link.broken = true;
    return encodeURIComponent(s.replace(LONE, '\ufffd'));
  }
}

// The folder's path below the root: { path: its segments joined by '/', broken }.
function folderUrl(d, i) {
  return cached(d, 'u' + i, function () {
    var c = chain(d, i), segs = [], link = { path: '', broken: false };
    for (var k = 0; k < c.length; k++) segs.push(encodeSegment(folderName(d, c[k]), link));
    link.path = segs.join('/');
    return link;
  });
}

// File j's link from the page, from its volume's base: { href, broken }.
function fileHref(d, j) {
  var folder = folderUrl(d, folderOfFile(d, j)), v = d.volumes[volumeOfFile(d, j)];
  var link = { href: '', broken: folder.broken || v.badBase };
  var segment = encodeSegment(fileName(d, j), link);
  link.href = v.base + folder.path + (folder.path ? '/' : '') + segment;
  return link;
}
