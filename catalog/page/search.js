// The search: names folded once into one string, then found by scanning it. new Index(raw, n,
// base) takes n escaped names, each ended by a line break; find(query) answers the numbers
// (plus base) of the names that hold the query, in order. * and ? are wildcards.

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

// n escaped names, each ended by a line break; find() answers their numbers plus base.
function Index(raw, n, base) {
  if (raw.indexOf('\\') >= 0) raw = unescapeForSearch(raw);
  var starts = new Int32Array(n + 1), text = this.text = fold(raw), p = 0;
  this.base = base;
  for (var k = 0; k < n; k++) { starts[k] = p; p = text.indexOf('\n', p) + 1; }
  starts[n] = text.length;
  this.starts = starts;
  this.n = n;
}
// The lines whose folded name holds the query.
Index.prototype.find = function (query) {
  var q = fold(query), text = this.text, starts = this.starts, n = this.n, base = this.base;
  var out = new Int32Array(16), count = 0, line = 0;
  function add(k) {
    if (count === out.length) { var bigger = new Int32Array(out.length * 2); bigger.set(out); out = bigger; }
    out[count++] = k + base;
  }
  if (matchesAll(q)) {
    out = new Int32Array(n);
    for (var a = 0; a < n; a++) out[a] = a + base;
    return out;
  }
  if (q.indexOf('*') < 0 && q.indexOf('?') < 0) {
    for (var at = text.indexOf(q); at >= 0; at = text.indexOf(q, starts[line + 1])) {
      while (starts[line + 1] <= at) line++;
      add(line);
      if (line + 1 >= n) break;
    }
  } else {
    var src = q.replace(/[\\^$.+()[\]{}|\/]/g, '\\$&').replace(/\*/g, '[^\\n]*').replace(/\?/g, '[^\\n]');
    var re = new RegExp(src, 'gu');
    // Does line k match? A match never spans lines: one that starts in the line ends there.
    var matches = function (k) {
      re.lastIndex = starts[k];
      return re.test(text) && re.lastIndex <= starts[k + 1];
    };
    // The longest piece without wildcards must be in every matching line: only the lines
    // an indexOf scan finds it in are tried. Without one ("?", "??*"), a line long enough
    // to hold a character for each "?" matches: only lines near that length are tried.
    var pieces = q.split(/[*?]+/), piece = '';
    for (var i = 0; i < pieces.length; i++) if (pieces[i].length > piece.length) piece = pieces[i];
    if (piece) {
      for (var hit = text.indexOf(piece); hit >= 0; hit = text.indexOf(piece, starts[line + 1])) {
        while (starts[line + 1] <= hit) line++;
        if (matches(line)) add(line);
        if (line + 1 >= n) break;
      }
    } else {
      var wanted = q.split('?').length - 1;  // characters; a pair of surrogates is one
      for (var k = 0; k < n; k++) {
        var units = starts[k + 1] - starts[k] - 1;
        if (units >= 2 * wanted || (units >= wanted && matches(k))) add(k);
      }
    }
  }
  return out.subarray(0, count);
};

// A query that every name matches (empty, or only stars).
function matchesAll(query) { return /^\**$/.test(query); }
