// The tree model over the arrays read from the data block: each folder's sums, names, paths
// and links. Folders are in pre-order: a folder's descendants are the folders i + 1 .. end - 1.

function derive(d) {
  var M = d.M, parent = d.parent;
  var end = new Int32Array(M), depth = new Int32Array(M);
  var files = new Float64Array(M), bytes = new Float64Array(M);
  var i, j;
  for (i = 0; i < M; i++) {
    var b = 0;
    for (j = d.firstFile[i]; j < d.firstFile[i + 1]; j++) b += d.size[j];
    bytes[i] = b;
    files[i] = d.own[i];
    end[i] = i + 1;
    if (i > 0) depth[i] = depth[parent[i]] + 1;
  }
  // Pre-order: every folder's descendants follow it, so one backward pass adds them up.
  for (i = M - 1; i > 0; i--) {
    var q = parent[i];
    files[q] += files[i];
    bytes[q] += bytes[i];
    if (end[i] > end[q]) end[q] = end[i];
  }
  d.end = end; d.depth = depth; d.totFiles = files; d.totBytes = bytes;
  d.paths = { made: {}, count: 0 };
  // A plain catalogue is one volume, named by its header or else by the folder catalogued.
  if (!d.volumes) d.volumes = [{ name: d.head.volume || folderName(d, 0) }];
}

// The volume folder i lies on: its index in d.volumes.
function volumeOfFolder(d, i) { return 0; }

function name(d, k) { return unescapeName(d.text.slice(d.starts[k], d.starts[k + 1] - 1)); }
function folderName(d, i) { return name(d, i); }
function fileName(d, j) { return name(d, d.M + j); }

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

function chain(d, i) { // the folder's ancestors below the root, outermost first
  var out = [];
  for (; i > 0; i = d.parent[i]) out.push(i);
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
    var c = chain(d, i), s = folderName(d, 0);
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

// File j's link from the page: { href, broken }.
function fileHref(d, j) {
  var folder = folderUrl(d, folderOfFile(d, j)), link = { href: '', broken: folder.broken };
  var segment = encodeSegment(fileName(d, j), link);
  link.href = (d.head.base || './') + folder.path + (folder.path ? '/' : '') + segment;
  return link;
}
