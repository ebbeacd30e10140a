// The search: names folded once into one string, then found by scanning it. new Index(raw, n,
// where) takes n escaped names, each ended by a line break, and where they stand among the
// entries; find(query) answers the entries whose names hold the query, in order. * and ? are wildcards. A query in the
// search field also takes filters (parseQuery) and runs in slices (Search).

// Folding ignores case and accents: lower case, then each other character decomposed with
// its combining marks dropped, remembered per character; names and query alike.
var MARKS = /[\u0300-\u036f\u1ab0-\u1aff\u1dc0-\u1dff\u20d0-\u20ff\ufe20-\ufe2f]/g;
var BEYOND_ASCII = /[\ud800-\udbff][\udc00-\udfff]|[^\x00-\x7f]/g;
var foldedChars = { '\u03c2': '\u03c3' }; // a final sigma is a sigma
function foldChar(c) {
  var r = foldedChars[c];
  if (r === undefined) r = foldedChars[c] = c.normalize('NFD').replace(MARKS, '').toLowerCase();
  return r;
}
function fold(text) {
  var low = text.toLowerCase();
  BEYOND_ASCII.lastIndex = 0;
  return BEYOND_ASCII.test(low) ? low.replace(BEYOND_ASCII, foldChar) : low;
}

function unescapeForSearch(s) {
  // Escapes decoded in place; a control character must not become a line break.
  return s.replace(/\\(u[0-9a-fA-F]{4}|.)/g, function (m, e) {
    if (e.length === 5) {
      var c = parseInt(e.slice(1), 16);
      return c < 32 ? '\ufffd' : String.fromCharCode(c);
    }
    return e === '\\' || e === '"' || e === '/' ? e : '\ufffd';
  });
}

// n escaped names, each ended by a line break, standing for entries: line k is entry k + base
// when `where` is a number, else `where` holds the runs of lines as nameSpans gives them (the
// entry each run begins with, and its count). find() answers entries.
function Index(raw, n, where) {
  if (raw.indexOf('\\') >= 0) raw = unescapeForSearch(raw);
  var starts = new Int32Array(n + 1), text = this.text = fold(raw), p = 0;
  for (var k = 0; k < n; k++) { starts[k] = p; p = text.indexOf('\n', p) + 1; }
  starts[n] = text.length;
  this.starts = starts;
  this.n = n;
  var runs = typeof where === 'number' ? [{ first: where, count: n }] : where;
  this.runFirst = new Float64Array(runs.length);  // the entry each run begins with
  this.runLine = new Float64Array(runs.length + 1);  // the line each run begins at
  for (var r = 0; r < runs.length; r++) {
    this.runFirst[r] = runs[r].first;
    this.runLine[r + 1] = this.runLine[r] + runs[r].count;
  }
}

// The last run whose `at` is at or before x.
function runAt(at, count, x) {
  var lo = 0, hi = count - 1;
  while (lo < hi) {
    var mid = (lo + hi + 1) >> 1;
    if (at[mid] <= x) lo = mid; else hi = mid - 1;
  }
  return lo;
}
Index.prototype.entryOf = function (line) {
  var r = runAt(this.runLine, this.runFirst.length, line);
  return this.runFirst[r] + line - this.runLine[r];
};
// The line of an entry the index holds.
Index.prototype.lineOfEntry = function (e) {
  var r = runAt(this.runFirst, this.runFirst.length, e);
  return this.runLine[r] + e - this.runFirst[r];
};

// Line k's folded name.
Index.prototype.line = function (k) { return this.text.slice(this.starts[k], this.starts[k + 1] - 1); };

// The line holding text position `at`, at `lo` or after it.
Index.prototype.lineOf = function (at, lo) {
  var starts = this.starts, hi = this.n;
  while (lo < hi) {
    var mid = (lo + hi + 1) >> 1;
    if (starts[mid] <= at) lo = mid; else hi = mid - 1;
  }
  return lo;
};

// The lines whose folded name holds the query, all at once.
Index.prototype.find = function (query) {
  var pieces = namePieces(fold(query)), out = new HitList(), self = this;
  if (!pieces) return out.all(this);
  new Matcher(this, pieces).scan(0, this.n, function (line) { out.add(self.entryOf(line)); });
  return out.result();
};

// A query that every name matches (empty, or only stars).
function matchesAll(query) { return /^\**$/.test(query); }

// A growing Int32Array of hits.
function HitList() { this.at = new Int32Array(64); this.n = 0; }
HitList.prototype.add = function (k) {
  if (this.n === this.at.length) { var more = new Int32Array(this.n * 2); more.set(this.at); this.at = more; }
  this.at[this.n++] = k;
};
HitList.prototype.result = function () { return this.at.subarray(0, this.n); };
// Every entry of an index, in order.
HitList.prototype.all = function (index) {
  var out = new Int32Array(index.n);
  for (var r = 0; r < index.runFirst.length; r++)
    for (var k = index.runLine[r]; k < index.runLine[r + 1]; k++) out[k] = index.runFirst[r] + k - index.runLine[r];
  return out;
};

// ---- Matching: a pattern split at its stars, each piece at its earliest place ----------------
//
// "Part of a name" holds the pieces in order. Taking each piece at its earliest place after the
// one before (greedy) finds a match whenever there is one. A piece's next place is kept and only
// moves forward, so whatever the query each piece's search covers the text at most once; a
// piece not found before a line ends tells where the next line that can match lies, and the
// lines before it are skipped. No search starts again from each line.

// The folded query's pieces, or null when every name matches.
function namePieces(q) {
  var pieces = [], parts = q.split('*');
  for (var k = 0; k < parts.length; k++) if (parts[k]) pieces.push(new Piece(parts[k]));
  return pieces.length ? pieces : null;
}

// Text between two stars; '?' is any one character but a line break (a pair of surrogates is
// one). Its parts are texts and counts of '?': "a??b" is ['a', 2, 'b'].
function Piece(text) {
  var parts = this.parts = text.match(/\?+|[^?]+/g), k;
  for (k = 0; k < parts.length; k++) if (parts[k].charAt(0) === '?') parts[k] = parts[k].length;
  this.literal = parts.length === 1 && typeof parts[0] === 'string' ? parts[0] : null;
  // The longest text is looked for; the parts around it are checked where it is found.
  this.anchor = -1;
  for (k = 0; k < parts.length; k++) {
    if (typeof parts[k] === 'string' && (this.anchor < 0 || parts[k].length > parts[this.anchor].length)) this.anchor = k;
  }
  this.least = 0;  // the fewest code units the parts before the anchor take
  for (k = 0; k < this.anchor; k++) this.least += typeof parts[k] === 'string' ? parts[k].length : parts[k];
  this.fresh = this.anchor < 0; // only '?': matched where the line goes on, never kept
  this.end = 0;   // where the match last found ends
}

// Past `count` characters from x, or -1 when a line break comes first.
function forwardChars(text, x, count) {
  for (var k = 0; k < count; k++) {
    var c = text.charCodeAt(x);
    if (c === 10 || c !== c) return -1;
    x += c >= 0xd800 && c <= 0xdbff && (text.charCodeAt(x + 1) & 0xfc00) === 0xdc00 ? 2 : 1;
  }
  return x;
}
// Back `count` characters from y, or -1 when a line break or the text's start comes first.
function backChars(text, y, count) {
  for (var k = 0; k < count; k++) {
    var c = text.charCodeAt(y - 1);
    if (y <= 0 || c === 10) return -1;
    y -= (c & 0xfc00) === 0xdc00 && y >= 2 && (text.charCodeAt(y - 2) & 0xfc00) === 0xd800 ? 2 : 1;
  }
  return y;
}
function forwardPart(text, x, part) {
  if (typeof part !== 'string') return forwardChars(text, x, part);
  return text.startsWith(part, x) ? x + part.length : -1;
}
function backPart(text, y, part) {
  if (typeof part !== 'string') return backChars(text, y, part);
  return y >= part.length && text.startsWith(part, y - part.length) ? y - part.length : -1;
}

// The earliest place at or after `from` where the piece matches (within one line: neither a
// text nor '?' holds a line break), or -1 when there is none; this.end is where it ends. A
// piece of only '?' is tried at `from` alone: it matches there when the line (ending at stop)
// goes on that far.
Piece.prototype.find = function (text, from, stop) {
  var lit = this.literal, parts = this.parts, k;
  if (lit !== null) {
    var at = text.indexOf(lit, from);
    this.end = at + lit.length;
    return at;
  }
  if (this.fresh) {
    if (stop - 1 - from < parts[0]) return -1;  // fewer code units left than characters wanted
    return (this.end = forwardChars(text, from, parts[0])) < 0 ? -1 : from;
  }
  var anchor = this.anchor, word = parts[anchor];
  for (var a = text.indexOf(word, from + this.least); a >= 0; a = text.indexOf(word, a + 1)) {
    var start = a, end = a + word.length;
    for (k = anchor - 1; k >= 0 && start >= from; k--) start = backPart(text, start, parts[k]);
    if (start < from) continue;
    for (k = anchor + 1; k < parts.length && end >= 0; k++) end = forwardPart(text, end, parts[k]);
    if (end >= 0) { this.end = end; return start; }
  }
  return -1;
};

// The lines of an index that hold the pieces in order. scan(line, to, hit) calls hit(l) for
// each such line l in [line, to) and answers where the next scan starts (to, or past it when
// the lines after `to` cannot match either); scans follow one another, in order.
function Matcher(index, pieces) {
  this.index = index;
  this.pieces = pieces;
  this.at = new Float64Array(pieces.length).fill(-1);  // each piece's next place
  this.ends = new Float64Array(pieces.length);          // and where that match ends
}

Matcher.prototype.scan = function (line, to, hit) {
  var index = this.index, text = index.text, starts = index.starts, none = text.length;
  var pieces = this.pieces, m = pieces.length, at = this.at, ends = this.ends;
  while (line < to) {
    var pos = starts[line], stop = starts[line + 1], p, a = 0;
    for (p = 0; p < m; p++) {
      var piece = pieces[p];
      a = at[p];
      if (a < pos || piece.fresh) {
        a = piece.find(text, pos, stop);
        if (a < 0) a = piece.fresh ? stop : none;
        at[p] = a;
        ends[p] = piece.end;
      }
      if (a >= stop) break;
      pos = ends[p];
    }
    if (p === m) { hit(line); line++; }
    // Piece p is nowhere between here and a: no line before the one holding a can match.
    else line = a >= none ? index.n : index.lineOf(a, line + 1);
  }
  return line;
};

// ---- The query: part of a name, and filters --------------------------------------------------

// A query's words of the form key:value (no name holds a colon) are filters, all of which must
// hold; what remains is the part of the name. The result: { pieces (null: any name), files
// (only files can match), sizes, dates (ranges), exts, volumes (a flag per volume, or null),
// errors (texts to show; with any, nothing matches) }.
function parseQuery(query, d) {
  var q = { pieces: null, files: false, sizes: [], dates: [], exts: [], volumes: null, errors: [] };
  var filtered = false;
  var rest = query.replace(/(^|\s+)(\S*:\S*)(?=\s|$)/g, function (m, space, word) {
    filtered = true;
    var colon = word.indexOf(':'), key = fold(word.slice(0, colon)), value = word.slice(colon + 1), r;
    if (!value && /^(ext|tamanho|modificado|volume)$/.test(key)) q.errors.push('Filtro sem valor: ' + word);
    else if (key === 'ext') q.exts.push('.' + fold(value.replace(/^\./, '')));
    else if (key === 'volume') {
      var want = fold(value);
      if (!q.volumes) q.volumes = d.volumes.map(function () { return true; });
      for (var v = 0; v < d.volumes.length; v++) q.volumes[v] = q.volumes[v] && fold(d.volumes[v].name).indexOf(want) >= 0;
    } else if (key === 'tamanho') {
      if ((r = parseRange(value, sizeValue))) q.sizes.push(r);
      else q.errors.push('Tamanho que não se entende: ' + word);
    } else if (key === 'modificado') {
      if ((r = parseRange(value, datePeriod))) q.dates.push(r);
      else q.errors.push('Data que não se entende: ' + word);
    } else q.errors.push('Filtro desconhecido: ' + word);
    return '';
  });
  q.pieces = namePieces(fold(filtered ? rest.trim() : rest));
  q.files = q.sizes.length + q.dates.length + q.exts.length > 0;
  return q;
}

// ">x" (after x), "<x" (before x), "a..b" (from a to b, both held) or "x" (within x), where a
// value is a span { lo, hi } (a size is a span of one number, a day or a month or a year a span
// of seconds). The range: { lo, hi, above, below }, above and below meaning strict; or null.
function parseRange(text, value) {
  var c = text.charAt(0), a, b, two = text.split('..');
  if (c === '>' || c === '<') {
    a = value(text.slice(1));
    return a && (c === '>' ? { lo: a.hi, hi: Infinity, above: true } : { lo: -Infinity, hi: a.lo, below: true });
  }
  if (two.length === 2) {
    a = value(two[0]);
    b = value(two[1]);
    return a && b && { lo: a.lo, hi: b.hi };
  }
  a = value(text);
  return a && { lo: a.lo, hi: a.hi };
}

function inRange(r, v) {
  return (r.above ? v > r.lo : v >= r.lo) && (r.below ? v < r.hi : v <= r.hi);
}

// "10kb", "1,5 gb" written without the space, "300": bytes, in powers of 1024.
var SIZE_UNITS = { b: 1, kb: 1024, mb: 1048576, gb: 1073741824, tb: 1099511627776 };
function sizeValue(text) {
  var m = /^(\d+(?:[.,]\d+)?)([kmgt]?b)?$/i.exec(text);
  if (!m) return null;
  var v = parseFloat(m[1].replace(',', '.')) * (m[2] ? SIZE_UNITS[m[2].toLowerCase()] : 1);
  return { lo: v, hi: v };
}

// "2024", "2024-05", "2024-05-01": the whole year, month or day on the viewer's clock, as the
// seconds from its first to its last (files' times are whole seconds).
function datePeriod(text) {
  var m = /^(\d{4})(?:-(\d\d?)(?:-(\d\d?))?)?$/.exec(text);
  if (!m) return null;
  var y = +m[1], month = m[2] ? m[2] - 1 : 0, day = m[3] ? +m[3] : 1;
  if (month > 11 || day < 1 || day > new Date(y, month + 1, 0).getDate()) return null;
  var lo = localMidnight(y, month, day);
  var hi = m[3] ? localMidnight(y, month, day + 1) : m[2] ? localMidnight(y, month + 1, 1) : localMidnight(y + 1, 0, 1);
  return { lo: lo, hi: hi - 1 };
}
function localMidnight(y, month, day) {
  var t = new Date(2000, 0, 1);
  t.setFullYear(y, month, day);
  t.setHours(0, 0, 0, 0);
  return Math.floor(t.getTime() / 1000);
}

// ---- A search in slices -------------------------------------------------------------------------

var SLICE_MS = 10;       // work between two yields to the page
var SLICE_LINES = 2048;  // lines between two looks at the clock

// Runs f soon, after what the page has to do (input, drawing); unlike setTimeout, never held
// back to 4 ms.
var soon = (function () {
  if (typeof MessageChannel !== 'function') return function (f) { setTimeout(f, 0); };
  var channel = new MessageChannel(), waiting = [];
  channel.port1.onmessage = function () { waiting.shift()(); };
  return function (f) { waiting.push(f); channel.port2.postMessage(0); };
})();

// The entries (a folder's index, or M + a file's) that a query finds among the index's names,
// in slices: the first runs at once, the rest each after the
// page has had its turn. progress(share done) after each slice but the last; done(hits, errors)
// at the end. cancel() stops it for good.
function Search(index, d, query, progress, done) {
  var q = this.q = parseQuery(query, d);
  this.index = index;
  this.d = d;
  this.progress = progress;
  this.done = done;
  this.cancelled = false;
  this.hits = new HitList();
  // Without a part of the name, an extension is found as what ends a line: only the files that
  // have it are tested.
  var ext = !q.pieces && q.exts.length && !/[*?]/.test(q.exts[0]) ? [new Piece(q.exts[0] + '\n')] : null;
  this.matcher = q.pieces || ext ? new Matcher(index, q.pieces || ext) : null;
  // Files only: from the first file (the index holds the folders' names first).
  this.line = q.files ? (d.F > 0 ? index.lineOfEntry(d.M) : index.n) : 0;
  this.folder = 0;  // the folder of the file last tested, followed forward
  var none = q.errors.length > 0 || (q.volumes && q.volumes.indexOf(true) < 0);
  if (q.volumes && q.volumes.indexOf(false) < 0) q.volumes = null;  // every volume: no filter
  if (none) { this.line = index.n; done(new Int32Array(0), q.errors); }
  else this.step();
}

Search.prototype.cancel = function () { this.cancelled = true; };

Search.prototype.step = function () {
  if (this.cancelled) return;
  var self = this, index = this.index, n = index.n, until = performance.now() + SLICE_MS;
  var hits = this.hits, q = this.q, any = !q.files && !q.volumes;  // any: every name found passes
  var keep = function (line) {
    var e = index.entryOf(line);
    if (any || self.passes(e, line)) hits.add(e);
  };
  while (this.line < n) {
    var to = Math.min(n, this.line + SLICE_LINES), line = this.line;
    if (this.matcher) line = this.matcher.scan(line, to, keep);
    else for (; line < to; line++) keep(line);
    this.line = line;
    if (performance.now() > until) break;
  }
  if (this.line < n) {
    this.progress(this.line / n);
    soon(function () { self.step(); });
  } else this.done(this.hits.result(), this.q.errors);
};

// Does entry k (the index's line `line`) pass the filters? A folder has no size, date or
// extension of its own.
Search.prototype.passes = function (k, line) {
  var q = this.q, d = this.d, i, f;
  if (k < d.M) return !q.files && (!q.volumes || q.volumes[volumeOfFolder(d, k)]);
  var j = k - d.M;
  for (i = 0; i < q.sizes.length; i++) if (!inRange(q.sizes[i], d.size[j])) return false;
  for (i = 0; i < q.dates.length; i++) if (!inRange(q.dates[i], d.mod[j])) return false;
  if (q.exts.length) {
    var index = this.index, end = index.starts[line + 1] - 1;
    for (i = 0; i < q.exts.length; i++) {
      f = end - q.exts[i].length;
      if (f < index.starts[line] || !index.text.startsWith(q.exts[i], f)) return false;
    }
  }
  if (q.volumes) {
    var first = d.firstFile;
    if (first[this.folder] > j) this.folder = 0;
    while (this.folder + 1 < d.M && first[this.folder + 1] <= j) this.folder++;
    if (!q.volumes[volumeOfFolder(d, this.folder)]) return false;
  }
  return true;
};
