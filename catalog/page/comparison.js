// A catalogue compared with an earlier one: what each file became, the files removed, and the
// entries a folder's table lists. An entry is a file's index, or F + r for removed file r.

// What became of a file: nothing, or one of the kinds a table marks it with.
var K_ADDED = 1, K_CHANGED = 2, K_REMOVED = 3;
var KINDS = ['', 'adicionado', 'alterado', 'removido'];

// A comparison, when there is one: what each file became, and per folder how many changes
// lie at or below it (pre-order again: one backward pass).
function deriveChanges(d) {
  var raw = d.cmp;
  if (!raw) return;
  var M = d.M, F = d.F, A = raw.A || new Float64Array(0), C = raw.C || new Float64Array(0);
  var R = raw.R || { n: 0, folder: new Int32Array(0), from: null, to: null, num: null }, X = raw.X || [];
  var c = {
    added: new Int32Array(A), changed: new Int32Array(C.length / 3), oldSize: new Float64Array(C.length / 3),
    oldMod: new Float64Array(C.length / 3), state: new Uint8Array(F), below: new Int32Array(M),
    notCompared: new Uint8Array(M), nR: R.n, rFolder: R.folder, rFrom: R.from, rTo: R.to,
    rNum: R.num, rFirst: new Int32Array(M + 1), rOrder: new Int32Array(R.n), gained: 0, lost: 0
  };
  var k, j, i;
  // Changed files kept in index order (the data's own), so one is found by a binary search.
  var byIndex = new Int32Array(c.changed.length), sorted = true;
  for (k = 0; k < byIndex.length; k++) {
    byIndex[k] = k;
    if (k > 0 && C[k * 3] < C[k * 3 - 3]) sorted = false;
  }
  if (!sorted) byIndex.sort(function (x, y) { return C[x * 3] - C[y * 3]; });
  for (k = 0; k < byIndex.length; k++) {
    var at = byIndex[k] * 3;
    j = c.changed[k] = C[at];
    c.oldSize[k] = C[at + 1];
    c.oldMod[k] = C[at + 2];
    c.state[j] = K_CHANGED;
    var grew = d.size[j] - C[at + 1];
    if (grew > 0) c.gained += grew; else c.lost -= grew;
    c.below[folderOfFile(d, j)]++;
  }
  for (k = 0; k < c.added.length; k++) {
    j = c.added[k];
    c.state[j] = K_ADDED;
    c.gained += d.size[j];
    c.below[folderOfFile(d, j)]++;
  }
  // Removed files by folder (counting sort, the data's order kept within a folder).
  for (k = 0; k < R.n; k++) {
    c.rFirst[R.folder[k] + 1]++;
    c.below[R.folder[k]]++;
    c.lost += R.num[k * 3];
  }
  for (i = 0; i < M; i++) c.rFirst[i + 1] += c.rFirst[i];
  var fill = c.rFirst.slice(0, M);
  for (k = 0; k < R.n; k++) c.rOrder[fill[R.folder[k]]++] = k;
  for (i = M - 1; i > 0; i--) c.below[d.parent[i]] += c.below[i];
  for (k = 0; k < X.length; k++) c.notCompared[X[k]] = 1;
  c.total = c.added.length + c.changed.length + R.n;
  d.cmp = c;
}

function changedSlot(c, j) {
  var lo = 0, hi = c.changed.length - 1;
  while (lo <= hi) {
    var mid = (lo + hi) >> 1;
    if (c.changed[mid] === j) return mid;
    if (c.changed[mid] < j) lo = mid + 1; else hi = mid - 1;
  }
  return -1;
}

// How many entries folder i's table lists: its files and the files removed from it.
function entryCount(d, i) {
  var c = d.cmp;
  return d.own[i] + (c ? c.rFirst[i + 1] - c.rFirst[i] : 0);
}

// Folder i's entries: its files in name order, then the files removed from it.
function folderEntries(d, i) {
  var first = d.firstFile[i], n = d.own[i], total = entryCount(d, i), out = new Int32Array(total), k;
  for (k = 0; k < n; k++) out[k] = first + k;
  for (k = n; k < total; k++) out[k] = d.F + d.cmp.rOrder[d.cmp.rFirst[i] + k - n];
  return out;
}

function entrySize(d, e) { return e < d.F ? d.size[e] : d.cmp.rNum[(e - d.F) * 3]; }
function entryMod(d, e) { return e < d.F ? d.mod[e] : d.cmp.rNum[(e - d.F) * 3 + 1]; }
function entryAttr(d, e) { return e < d.F ? d.attr[e] : d.cmp.rNum[(e - d.F) * 3 + 2]; }
function entryKind(d, e) { return !d.cmp ? 0 : e < d.F ? d.cmp.state[e] : K_REMOVED; }
function entryFolder(d, e) { return e < d.F ? folderOfFile(d, e) : d.cmp.rFolder[e - d.F]; }
// A removed file's path from its folder ("name", or "sub\name" when its folder went too).
function entryName(d, e) {
  return e < d.F ? fileName(d, e) : unescapeName(d.text.slice(d.cmp.rFrom[e - d.F], d.cmp.rTo[e - d.F]));
}
// The name without the folders that went with a removed file.
function shownName(d, e) {
  var s = entryName(d, e);
  return e < d.F ? s : s.slice(s.lastIndexOf('\\') + 1);
}

// What a changed file was, as a tooltip says it.
function beforeText(d, j) {
  var c = d.cmp, k = changedSlot(c, j);
  return k < 0 ? '' : 'antes: ' + groupDigits(c.oldSize[k]) + ' bytes, ' + dateText(c.oldMod[k]);
}
