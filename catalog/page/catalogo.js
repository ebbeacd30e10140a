// The catalogue page's viewer: reads the data block once into typed arrays and keeps in the
// document only the rows that can be seen (folder tree, file table, search hits).
(function () {
  'use strict';

  var ROW = 24;             // every list row, in CSS pixels (catalogo.css says the same)
  var MAX_SPACE = 8000000;  // browsers cap an element's height; taller lists are scaled
  var PRINT_LIMIT = 5000;   // rows a printed folder lists

  var CHANGES_HASH = '#mudancas';
  var html = document.documentElement;
  var $ = function (id) { return document.getElementById(id); };

  // ---- Formatting -------------------------------------------------------------------

  function groupDigits(n) {
    var s = String(Math.floor(n)), out = '';
    while (s.length > 3) { out = '.' + s.slice(-3) + out; s = s.slice(0, -3); }
    return s + out;
  }

  var UNITS = ['KB', 'MB', 'GB', 'TB', 'PB'];
  function sizeText(n) {
    if (n < 1024) return groupDigits(n) + (n === 1 ? ' byte' : ' bytes');
    var u = -1;
    do { n /= 1024; u++; } while (n >= 1024 && u < UNITS.length - 1);
    var t = n < 100 ? (Math.round(n * 10) / 10).toFixed(1).replace('.', ',') : groupDigits(Math.round(n));
    return t + ' ' + UNITS[u];
  }

  function countText(n, one, many) { return groupDigits(n) + ' ' + (n === 1 ? one : many); }

  function two(n) { return n < 10 ? '0' + n : '' + n; }
  function dateText(seconds) {
    var d = new Date(seconds * 1000);
    if (isNaN(d.getTime())) return '';
    return two(d.getDate()) + '/' + two(d.getMonth() + 1) + '/' + d.getFullYear() + ' ' +
      two(d.getHours()) + ':' + two(d.getMinutes()) + ':' + two(d.getSeconds());
  }

  var A_READONLY = 1, A_HIDDEN = 2, A_SYSTEM = 4, A_ARCHIVE = 32, A_REPARSE = 0x400;
  function attrText(a) {
    return (a & A_ARCHIVE ? 'A' : '') + (a & A_READONLY ? 'R' : '') + (a & A_HIDDEN ? 'H' : '') +
      (a & A_SYSTEM ? 'S' : '') + (a & A_REPARSE ? 'L' : '');
  }

  // ---- Reading the data block -------------------------------------------------------

  function Failure(message) { this.message = message; }

  // A name is the inside of a JSON string; most carry no escape at all.
  function unescapeName(s) {
    if (s.indexOf('\\') < 0) return s;
    try { return JSON.parse('"' + s + '"'); } catch (e) { return s; }
  }

  function isSection(l) { return l.length === 1 && l >= 'A' && l <= 'Z'; }

  function read(text) {
    var p = 0, n = text.length;
    while (p < n && (text.charCodeAt(p) === 10 || text.charCodeAt(p) === 13)) p++;

    function line() {
      var e = text.indexOf('\n', p);
      if (e < 0) throw new Failure('o catálogo termina no meio (foi cortado)');
      var s = text.slice(p, e);
      p = e + 1;
      return s;
    }
    function expect(letter) {
      if (line() !== letter) throw new Failure('falta a seção ' + letter);
    }
    // count lines of base-36 numbers, width fields each (a later version's extra fields are
    // skipped), read in one pass into one array, record after record. A count below zero reads
    // up to the next section's line (a capital letter) or the block's end ('.').
    function records(count, width, what) {
      var open = count < 0, rows = open ? 64 : count;
      var out = new Float64Array(rows * width), r = 0, f = 0, v = 0, neg = false, q = p;
      while (open || r < count) {
        var c = text.charCodeAt(q++);
        if (c >= 48 && c <= 57) v = v * 36 + c - 48;
        else if (c >= 97 && c <= 122) v = v * 36 + c - 87;
        else if (c === 9 || c === 10) {
          if (f < width) out[r * width + f] = neg ? -v : v;
          f++;
          v = 0;
          neg = false;
          if (c === 10) {
            if (f < width) throw new Failure('uma linha da seção ' + what + ' tem campos de menos');
            r++;
            f = 0;
            if (r === rows && open) {
              var more = new Float64Array(out.length * 2);
              more.set(out);
              out = more;
              rows *= 2;
            }
          }
        } else if (c === 45 && v === 0 && !neg) neg = true;
        else if (c !== c) throw new Failure('a seção ' + what + ' foi cortada');
        else if (open && f === 0 && !neg && (q - 1 === p || text.charCodeAt(q - 2) === 10) &&
                 (c === 46 || c >= 65 && c <= 90)) { q--; break; }
        else throw new Failure('uma linha da seção ' + what + ' não se entende');
      }
      p = q;
      return open ? out.subarray(0, r * width) : out;
    }
    // The base-36 field text[from, to).
    function number(from, to, what) {
      var v = 0, neg = text.charCodeAt(from) === 45;
      for (var k = neg ? from + 1 : from; k < to; k++) {
        var c = text.charCodeAt(k);
        if (c >= 48 && c <= 57) v = v * 36 + c - 48;
        else if (c >= 97 && c <= 122) v = v * 36 + c - 87;
        else throw new Failure('uma linha da seção ' + what + ' não se entende');
      }
      return neg ? -v : v;
    }

    var first = line().split('\t');
    if (first[0] !== 'tombarel-catalogo') throw new Failure('não são os dados de um catálogo');
    if (first[1] !== '1') {
      throw new Failure('o formato dos dados é a versão ' + first[1] + ', que esta página não conhece');
    }
    expect('H');
    var head = {};
    for (var h = line(); h !== 'N'; h = line()) {
      var tab = h.indexOf('\t');
      if (tab > 0) head[h.slice(0, tab)] = unescapeName(h.slice(tab + 1));
    }
    var numberOf = function (key) {
      var v = head[key], r = 0;
      if (v === undefined || !/^[0-9a-z]*$/.test(v)) throw new Failure('falta o total "' + key + '"');
      for (var i = 0; i < v.length; i++) r = r * 36 + parseInt(v.charAt(i), 36);
      return r;
    };
    var M = numberOf('pastas'), F = numberOf('arquivos');
    if (M < 1) throw new Failure('o catálogo não tem pasta nenhuma');

    // Names: one line each, kept as the block's own text and found by their starts.
    var starts = new Int32Array(M + F + 1);
    for (var k = 0; k < M + F; k++) {
      starts[k] = p;
      var e = text.indexOf('\n', p);
      if (e < 0) throw new Failure('a lista de nomes foi cortada');
      p = e + 1;
    }
    starts[M + F] = p;

    expect('P');
    var P = records(M, 5, 'P');
    var parent = new Int32Array(M), own = new Int32Array(M), fattr = new Int32Array(M);
    var fmod = new Float64Array(M), flags = new Uint8Array(M), firstFile = new Int32Array(M + 1);
    var sum = 0;
    for (var i = 0; i < M; i++) {
      var delta = P[i * 5];
      if (i > 0 && (delta < 1 || delta > i)) throw new Failure('a pasta ' + i + ' tem um pai que não existe');
      parent[i] = i - delta;
      firstFile[i] = sum;
      sum += own[i] = P[i * 5 + 1];
      fattr[i] = P[i * 5 + 2];
      fmod[i] = P[i * 5 + 3];
      flags[i] = P[i * 5 + 4];
    }
    firstFile[M] = sum;
    if (sum !== F) throw new Failure('as pastas somam ' + sum + ' arquivos, e o total diz ' + F);

    expect('F');
    var R = records(F, 3, 'F'), size = new Float64Array(F), mod = new Float64Array(F), attr = new Int32Array(F);
    for (var j = 0; j < F; j++) {
      size[j] = R[j * 3];
      mod[j] = R[j * 3 + 1];
      attr[j] = R[j * 3 + 2];
    }

    expect('E');
    var reasons = {}, problems = [], l;
    for (l = line(); l !== '.' && !isSection(l); l = line()) {
      var parts = l.split('\t'), at = parseInt(parts[0] || '0', 36);
      if (at >= 0 && at < M) {
        reasons[at] = unescapeName(parts.slice(2).join('\t')) || ('erro ' + parseInt(parts[1] || '0', 36));
      }
    }
    for (var u = 0; u < M; u++) if (flags[u] & 5) problems.push(u);

    // The sections after E: a comparison's, and those of a later version, skipped.
    var cmp = 'comparado' in head ? {} : null;
    function indices(width, limit, what) {
      var v = records(-1, width, what);
      for (var k = 0; k < v.length; k += width) {
        if (v[k] < 0 || v[k] >= limit) throw new Failure('a seção ' + what + ' aponta para o que não existe');
      }
      return v;
    }
    while (l !== '.') {
      if (l === 'A' || l === 'C' || l === 'X') {
        cmp = cmp || {};
        cmp[l] = indices(l === 'C' ? 3 : 1, l === 'X' ? M : F, l);
      } else if (l === 'R') {
        cmp = cmp || {};
        cmp.R = removedLines();
      } else {
        while (!isSection(l = line()) && l !== '.');
        continue;
      }
      l = line();
    }
    // R: folder TAB path TAB size TAB modified TAB attributes; the path stays in the text.
    function removedLines() {
      var cap = 64, n = 0, folder = new Int32Array(cap), from = new Int32Array(cap), to = new Int32Array(cap);
      var num = new Float64Array(cap * 3);
      for (;;) {
        var c = text.charCodeAt(p);
        if (c === 46 || c >= 65 && c <= 90) break;
        var e = text.indexOf('\n', p);
        if (e < 0) throw new Failure('a seção R foi cortada');
        var t1 = text.indexOf('\t', p), t2 = text.indexOf('\t', t1 + 1);
        var t3 = text.indexOf('\t', t2 + 1), t4 = text.indexOf('\t', t3 + 1);
        if (t1 < 0 || t4 < 0 || t4 > e) throw new Failure('uma linha da seção R tem campos de menos');
        var t5 = text.indexOf('\t', t4 + 1);
        if (n === cap) {
          cap *= 2;
          var f2 = new Int32Array(cap), s2 = new Int32Array(cap), e2 = new Int32Array(cap), n2 = new Float64Array(cap * 3);
          f2.set(folder); s2.set(from); e2.set(to); n2.set(num);
          folder = f2; from = s2; to = e2; num = n2;
        }
        folder[n] = number(p, t1, 'R');
        if (folder[n] < 0 || folder[n] >= M) throw new Failure('a seção R aponta para o que não existe');
        from[n] = t1 + 1;
        to[n] = t2;
        num[n * 3] = number(t2 + 1, t3, 'R');
        num[n * 3 + 1] = number(t3 + 1, t4, 'R');
        num[n * 3 + 2] = number(t4 + 1, t5 < 0 || t5 > e ? e : t5, 'R');
        n++;
        p = e + 1;
      }
      return { n: n, folder: folder.subarray(0, n), from: from, to: to, num: num };
    }

    return {
      text: text, head: head, M: M, F: F, starts: starts, parent: parent, own: own, fattr: fattr,
      fmod: fmod, flags: flags, firstFile: firstFile, size: size, mod: mod, attr: attr,
      reasons: reasons, problems: problems, cmp: cmp
    };
  }

  // ---- The tree's derived sums ------------------------------------------------------

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
  }

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
      c.state[j] = 2;
      var grew = d.size[j] - C[at + 1];
      if (grew > 0) c.gained += grew; else c.lost -= grew;
      c.below[folderOfFile(d, j)]++;
    }
    for (k = 0; k < c.added.length; k++) {
      j = c.added[k];
      c.state[j] = 1;
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

  // Entries of a folder's table and of the changes: a file's index, or F + r for removed file r.
  function entrySize(d, e) { return e < d.F ? d.size[e] : d.cmp.rNum[(e - d.F) * 3]; }
  function entryMod(d, e) { return e < d.F ? d.mod[e] : d.cmp.rNum[(e - d.F) * 3 + 1]; }
  function entryAttr(d, e) { return e < d.F ? d.attr[e] : d.cmp.rNum[(e - d.F) * 3 + 2]; }
  // A removed file's path from its folder ("name", or "sub\name" when its folder went too).
  function removedPath(d, r) { return unescapeName(d.text.slice(d.cmp.rFrom[r], d.cmp.rTo[r])); }
  function entryName(d, e) { return e < d.F ? fileName(d, e) : removedPath(d, e - d.F); }

  var KINDS = ['', 'adicionado', 'alterado', 'removido'];
  function entryKind(d, e) { return !d.cmp ? 0 : e < d.F ? d.cmp.state[e] : 3; }

  // What a changed file was, as a tooltip says it.
  function beforeText(d, j) {
    var c = d.cmp, k = changedSlot(c, j);
    return k < 0 ? '' : 'antes: ' + groupDigits(c.oldSize[k]) + ' bytes, ' + dateText(c.oldMod[k]);
  }

  function name(d, k) { return unescapeName(d.text.slice(d.starts[k], d.starts[k + 1] - 1)); }
  function folderName(d, i) { return name(d, i); }
  function fileName(d, j) { return name(d, d.M + j); }

  // The folder holding file j: the last folder whose files start at or before it.
  function folderOfFile(d, j) {
    var lo = 0, hi = d.M - 1, ff = d.firstFile;
    while (lo < hi) {
      var mid = (lo + hi + 1) >> 1;
      if (ff[mid] <= j) lo = mid; else hi = mid - 1;
    }
    return lo; // the last such folder holds it: an empty folder shares its start with the next
  }

  function chain(d, i) { // the folder's ancestors below the root, outermost first
    var out = [];
    for (; i > 0; i = d.parent[i]) out.push(i);
    return out.reverse();
  }

  // Rows of one folder ask for the same path again and again while scrolling.
  var pathCache = {}, pathCount = 0;
  function cached(key, make) {
    var v = pathCache[key];
    if (v === undefined) {
      if (++pathCount > 2000) { pathCache = {}; pathCount = 1; }
      v = pathCache[key] = make();
    }
    return v;
  }

  function folderPath(d, i) {
    return cached('w' + i, function () {
      var c = chain(d, i), s = folderName(d, 0);
      for (var k = 0; k < c.length; k++) {
        s += (s.charAt(s.length - 1) === '\\' ? '' : '\\') + folderName(d, c[k]);
      }
      return s;
    });
  }

  // ---- Links and addresses ----------------------------------------------------------

  var LONE = /[\ud800-\udbff](?![\udc00-\udfff])|(?<![\ud800-\udbff])[\udc00-\udfff]/g;
  var broken = false; // set by encodeSegment when it had to replace a lone surrogate

  function encodeSegment(s) {
    try {
      return encodeURIComponent(s);
    } catch (e) {
      // A lone surrogate has no UTF-8 form: such a link cannot reach the file by name.
      broken = true;
      return encodeURIComponent(s.replace(LONE, '\ufffd'));
    }
  }

  // The folder's path below the root as URL segments; whether it had to replace a lone
  // surrogate is kept with it.
  function folderUrl(d, i) {
    return cached('u' + i, function () {
      var c = chain(d, i), segs = [];
      broken = false;
      for (var k = 0; k < c.length; k++) segs.push(encodeSegment(folderName(d, c[k])));
      return { path: segs.join('/'), broken: broken };
    });
  }

  function relPath(d, i, fileIndex) {
    var f = folderUrl(d, i), path = f.path;
    broken = f.broken;
    if (fileIndex !== undefined) path += (path ? '/' : '') + encodeSegment(fileName(d, fileIndex));
    return path;
  }

  function fileHref(d, j) {
    broken = false;
    var href = (d.head.base || './') + relPath(d, folderOfFile(d, j), j);
    return { href: href, broken: broken };
  }

  function folderHash(d, i) { return '#/' + relPath(d, i); }

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

  // ---- Virtual lists: only the rows in view are in the document -----------------------

  function VirtualList(box, make, fill) {
    this.box = box;
    this.space = box.firstElementChild;
    this.make = make;
    this.fill = fill;
    this.n = 0;
    this.pool = [];
    this.shown = 0;
    var self = this;
    box.addEventListener('scroll', function () { self.draw(); }, { passive: true });
  }
  VirtualList.prototype.setCount = function (n) {
    this.n = n;
    this.space.style.height = Math.min(n * ROW, MAX_SPACE) + 'px';
    this.draw();
  };
  // The list's own offset for a scroll position; lists taller than MAX_SPACE move faster.
  VirtualList.prototype.offsetFor = function (top) {
    var view = this.box.clientHeight, total = this.n * ROW, space = Math.min(total, MAX_SPACE);
    return space > view && total > space ? top * (total - view) / (space - view) : top;
  };
  VirtualList.prototype.topFor = function (offset) {
    var view = this.box.clientHeight, total = this.n * ROW, space = Math.min(total, MAX_SPACE);
    return space > view && total > space ? offset * (space - view) / (total - view) : offset;
  };
  VirtualList.prototype.draw = function () {
    var view = this.box.clientHeight, top = this.box.scrollTop, off = this.offsetFor(top);
    var first = Math.max(0, Math.floor(off / ROW));
    var last = Math.min(this.n, Math.ceil((off + view) / ROW) + 1);
    if (view === 0) last = Math.min(this.n, first + 40); // not laid out (print, hidden)
    var count = Math.max(0, last - first);
    while (this.pool.length < count) this.pool.push(this.make());
    for (var k = 0; k < count; k++) {
      var row = this.pool[k], i = first + k;
      row.style.top = (top + i * ROW - off) + 'px';
      this.fill(row, i);
      if (k >= this.shown) this.box.appendChild(row);
    }
    for (var r = count; r < this.shown; r++) this.box.removeChild(this.pool[r]);
    this.shown = count;
  };
  VirtualList.prototype.reveal = function (i) {
    var view = this.box.clientHeight, off = this.offsetFor(this.box.scrollTop), want = off;
    if (i * ROW < off) want = i * ROW;
    else if ((i + 1) * ROW > off + view) want = (i + 1) * ROW - view;
    if (want !== off) this.box.scrollTop = this.topFor(want);
    this.draw();
  };
  VirtualList.prototype.page = function () { return Math.max(1, Math.floor(this.box.clientHeight / ROW) - 1); };

  // Up, Down, Home, End, PageUp, PageDown over a list of n rows; returns the new row or -1.
  function moveKey(key, at, n, page) {
    if (n === 0) return -1;
    switch (key) {
      case 'ArrowDown': return Math.min(n - 1, at + 1);
      case 'ArrowUp': return Math.max(0, at - 1);
      case 'Home': return 0;
      case 'End': return n - 1;
      case 'PageDown': return Math.min(n - 1, at + page);
      case 'PageUp': return Math.max(0, at - page);
    }
    return -1;
  }

  // ---- Search: one folded string of all names, one scan ------------------------------

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
    if (/^\**$/.test(q)) {
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

  // ---- The viewer -------------------------------------------------------------------

  function Viewer(d) {
    this.d = d;
    this.expanded = new Uint8Array(d.M);
    this.expanded[0] = 1;
    this.visible = new Int32Array(0);
    this.selected = 0;
    this.sortColumn = 0;
    this.sortDown = false;
    this.order = null;  // Int32Array of file indices, or null for the data's own order
    this.activeFile = 0;
    this.hits = null;
    this.activeHit = 0;
    this.index = null;
    this.lastQuery = '';
    var self = this;
    this.tree = new VirtualList($('arvore'), function () { return self.makeFolderRow(); },
      function (row, i) { self.fillFolderRow(row, i); });
    this.table = new VirtualList($('corpo'), function () { return self.makeFileRow(); },
      function (row, i) { self.fillFileRow(row, i); });
    this.hitList = new VirtualList($('resultados'), function () { return self.makeHitRow(); },
      function (row, i) { self.fillHitRow(row, i); });
    this.mode = 'files';
    this.changeRows = null;  // the changes view's rows, made when it is first shown
    this.changeSort = 1;     // by folder, names within each
    this.changeDown = false;
    this.activeChange = 0;
    this.goneIndex = null;
    this.changeList = new VirtualList($('corpo-mudancas'), function () { return self.makeChangeRow(); },
      function (row, i) { self.fillChangeRow(row, i); });
  }

  Viewer.prototype.computeVisible = function () {
    var d = this.d, out = new Int32Array(d.M), n = 0, i = 0;
    while (i < d.M) {
      out[n++] = i;
      i = this.expanded[i] ? i + 1 : d.end[i];
    }
    this.visible = out.subarray(0, n);
    this.tree.setCount(n);
    $('arvore').setAttribute('aria-activedescendant', 'pasta-' + this.selected);
  };

  Viewer.prototype.rowOfFolder = function (i) {
    var v = this.visible, lo = 0, hi = v.length - 1;
    while (lo <= hi) {
      var mid = (lo + hi) >> 1;
      if (v[mid] === i) return mid;
      if (v[mid] < i) lo = mid + 1; else hi = mid - 1;
    }
    return -1;
  };

  Viewer.prototype.canExpand = function (i) {
    return this.d.end[i] > i + 1 && !(this.d.flags[i] & 2);
  };

  Viewer.prototype.makeFolderRow = function () {
    var row = document.createElement('div');
    row.setAttribute('role', 'treeitem');
    row.className = 'linha pasta';
    var arrow = document.createElement('span');
    arrow.className = 'seta';
    arrow.setAttribute('aria-hidden', 'true');
    var nm = document.createElement('span');
    nm.className = 'nome';
    var info = document.createElement('span');
    info.className = 'info';
    var mark = document.createElement('span');
    mark.className = 'marca';
    row.appendChild(arrow);
    row.appendChild(nm);
    row.appendChild(info);
    row.appendChild(mark);
    return row;
  };

  Viewer.prototype.fillFolderRow = function (row, r) {
    var d = this.d, i = this.visible[r];
    if (row.folder === i && row.stamp === this.stamp) return;
    row.folder = i;
    row.stamp = this.stamp;
    row.id = 'pasta-' + i;
    row.setAttribute('aria-level', d.depth[i] + 1);
    row.setAttribute('aria-selected', i === this.selected ? 'true' : 'false');
    if (this.canExpand(i)) row.setAttribute('aria-expanded', this.expanded[i] ? 'true' : 'false');
    else row.removeAttribute('aria-expanded');
    row.style.paddingLeft = (4 + d.depth[i] * 16) + 'px';
    var f = d.flags[i], a = d.fattr[i], cls = 'linha pasta';
    if (f & 1) cls += ' ilegivel';
    else if (f & 4) cls += ' parcial';
    if (f & 2) cls += ' link';
    if (a & (A_HIDDEN | A_SYSTEM)) cls += ' oculta';
    row.children[1].textContent = folderName(d, i);
    // A link is not followed and a folder not read holds nothing known: no totals to show.
    row.children[2].textContent = f & 2 || (f & 1 && d.totFiles[i] === 0) ? '' :
      countText(d.totFiles[i], 'arquivo', 'arquivos') + ' · ' + sizeText(d.totBytes[i]);
    var marks = [];
    if (f & 2) marks.push('link, não seguido');
    if (a & A_HIDDEN) marks.push('oculta');
    if (a & A_SYSTEM) marks.push('sistema');
    if (f & 1) marks.push('não lida: ' + (d.reasons[i] || 'motivo desconhecido'));
    else if (f & 4) marks.push('lida em parte: ' + (d.reasons[i] || 'motivo desconhecido'));
    var c = d.cmp;
    if (c && c.notCompared[i]) { cls += ' nao-comparada'; marks.push('não comparada'); }
    if (c && c.below[i]) { cls += ' mudou'; marks.push(countText(c.below[i], 'mudança', 'mudanças')); }
    row.className = cls;
    row.children[3].textContent = marks.join(' · ');
    row.title = marks.length ? marks.join('\n') : '';
  };

  Viewer.prototype.redrawTree = function () { this.stamp = (this.stamp || 0) + 1; this.tree.draw(); };

  Viewer.prototype.toggle = function (i, open) {
    if (!this.canExpand(i)) return;
    if (open === undefined) open = !this.expanded[i];
    if (!!this.expanded[i] === open) return;
    this.expanded[i] = open ? 1 : 0;
    // A folder hidden by closing its parent moves the selection up to that parent.
    if (!open && this.selected > i && this.selected < this.d.end[i]) this.select(i, 'replace');
    this.stamp = (this.stamp || 0) + 1;
    this.computeVisible();
  };

  // Shows folder i: opens its ancestors, selects it, scrolls to it, lists its files.
  // how: 'push' a new address, 'replace' the current one, or leave it ('none').
  Viewer.prototype.select = function (i, how) {
    var d = this.d, opened = false;
    for (var a = i; a > 0;) {
      a = d.parent[a];
      if (!this.expanded[a]) { this.expanded[a] = 1; opened = true; }
    }
    this.selected = i;
    this.stamp = (this.stamp || 0) + 1;
    if (opened) this.computeVisible();
    $('arvore').setAttribute('aria-activedescendant', 'pasta-' + i);
    this.tree.reveal(this.rowOfFolder(i));
    this.showFiles();
    if (how && how !== 'none') {
      var hash = folderHash(d, i);
      if (location.hash !== hash && !(i === 0 && location.hash === '')) {
        if (how === 'push') location.hash = hash;
        else location.replace(hash);
      }
    }
  };

  Viewer.prototype.showFiles = function () {
    var d = this.d, i = this.selected;
    this.showPanel('files');
    var title = $('titulo-lista');
    title.textContent = folderPath(d, i);
    var note = $('aviso'), f = d.flags[i], text = '';
    if (f & 2) text = 'Esta pasta é um link (junção ou vínculo simbólico): o catálogo não o segue.';
    else if (f & 1) text = 'Esta pasta não pôde ser lida: ' + (d.reasons[i] || 'motivo desconhecido') + '.';
    else if (f & 4) text = 'Esta pasta foi lida só em parte: ' + (d.reasons[i] || 'motivo desconhecido') + '.';
    else if (this.fileCount() === 0) text = 'Nenhum arquivo nesta pasta.';
    if (d.cmp && d.cmp.notCompared[i]) {
      text += (text ? ' ' : '') + 'Esta pasta não foi comparada com o catálogo anterior: não pôde ser lida num dos dois.';
    }
    note.textContent = text;
    note.hidden = !text;
    this.sortFiles();
    this.activeFile = 0;
    $('arquivos').setAttribute('aria-rowcount', this.fileCount() + 1);
    $('corpo').scrollTop = 0;
    this.table.setCount(this.fileCount());
    this.markActiveFile();
    this.alignHeader();
  };

  // The header's columns line up with the rows whatever room the scroll bar takes.
  Viewer.prototype.alignHeader = function () {
    var body = $('corpo');
    document.querySelector('#arquivos .cabeca').style.paddingRight = (body.offsetWidth - body.clientWidth) + 'px';
    body = $('corpo-mudancas');
    document.querySelector('#mudancas .cabeca').style.paddingRight = (body.offsetWidth - body.clientWidth) + 'px';
  };

  // The folder's rows: its files, and in a comparison the files removed from it.
  Viewer.prototype.fileCount = function () {
    var c = this.d.cmp, i = this.selected;
    return this.d.own[i] + (c ? c.rFirst[i + 1] - c.rFirst[i] : 0);
  };

  Viewer.prototype.sortFiles = function () {
    var d = this.d, sel = this.selected, a = d.firstFile[sel], n = d.own[sel], col = this.sortColumn;
    var c = d.cmp, gone = c ? c.rFirst[sel + 1] - c.rFirst[sel] : 0, total = n + gone;
    var heads = document.querySelectorAll('#arquivos [role=columnheader]');
    for (var h = 0; h < heads.length; h++) {
      if (h === col) heads[h].setAttribute('aria-sort', this.sortDown ? 'descending' : 'ascending');
      else heads[h].removeAttribute('aria-sort');
    }
    if (col === 0 && !gone) { this.order = null; return; } // the data are already in name order
    var entries = new Int32Array(total), key = new Float64Array(total), k;
    for (k = 0; k < n; k++) entries[k] = a + k;
    for (k = 0; k < gone; k++) entries[n + k] = d.F + c.rOrder[c.rFirst[sel] + k];
    if (col === 0) {
      // The files are in name order: a removed one goes between the two its name falls between.
      var upper = function (e) { return entryName(d, e).toUpperCase(); };
      for (k = 0; k < n; k++) key[k] = 2 * k + 1;
      for (k = n; k < total; k++) {
        var want = upper(entries[k]), lo = 0, hi = n;
        while (lo < hi) {
          var mid = (lo + hi) >> 1;
          if (upper(a + mid) < want) lo = mid + 1; else hi = mid;
        }
        key[k] = 2 * lo;
      }
    } else if (col === 1 || col === 2) {
      for (k = 0; k < total; k++) key[k] = col === 1 ? entrySize(d, entries[k]) : entryMod(d, entries[k]);
    } else {
      // Attributes sort by their letters, as shown; one rank per distinct value.
      var letters = {}, list = [];
      for (k = 0; k < total; k++) {
        var t = attrText(entryAttr(d, entries[k]));
        if (!(t in letters)) { letters[t] = 0; list.push(t); }
      }
      list.sort();
      for (k = 0; k < list.length; k++) letters[list[k]] = k;
      for (k = 0; k < total; k++) key[k] = letters[attrText(entryAttr(d, entries[k]))];
    }
    var sign = this.sortDown ? -1 : 1, at = new Int32Array(total);
    for (k = 0; k < total; k++) at[k] = k;
    // Equal keys keep the name order whichever the direction.
    at.sort(function (x, y) { var s = key[x] - key[y]; return s ? (s < 0 ? -sign : sign) : x - y; });
    for (k = 0; k < total; k++) at[k] = entries[at[k]];
    this.order = at;
  };

  Viewer.prototype.fileAt = function (r) {
    var d = this.d, n = d.own[this.selected];
    if (this.order) return this.order[r];
    return d.firstFile[this.selected] + (this.sortDown ? n - 1 - r : r);
  };

  Viewer.prototype.makeFileRow = function () {
    var row = document.createElement('div');
    row.setAttribute('role', 'row');
    row.className = 'linha arquivo';
    var cells = ['c-nome', 'c-tam', 'c-data', 'c-attr'];
    for (var c = 0; c < cells.length; c++) {
      var cell = document.createElement('div');
      cell.setAttribute('role', 'gridcell');
      cell.className = cells[c];
      row.appendChild(cell);
    }
    var link = document.createElement('a');
    link.tabIndex = -1;
    row.firstChild.appendChild(link);
    var kind = document.createElement('span');
    kind.className = 'estado';
    row.firstChild.appendChild(kind);
    return row;
  };

  Viewer.prototype.fillFileRow = function (row, r) {
    var d = this.d, j = this.fileAt(r), link = row.firstChild.firstChild, kind = row.firstChild.lastChild;
    row.id = 'arquivo-' + r;
    row.setAttribute('aria-rowindex', r + 2);
    row.setAttribute('aria-selected', r === this.activeFile ? 'true' : 'false');
    var state = entryKind(d, j), a = entryAttr(d, j), size = entrySize(d, j), broken = false;
    link.textContent = entryName(d, j);
    if (state === 3) {
      link.removeAttribute('href');
      link.title = 'Removido desde o catálogo anterior';
    } else {
      var target = fileHref(d, j);
      link.href = target.href;
      broken = target.broken;
      link.title = broken ? 'O nome tem um caractere que não cabe num endereço: o link pode não abrir o arquivo.' : '';
    }
    row.className = 'linha arquivo' + (a & (A_HIDDEN | A_SYSTEM) ? ' oculta' : '') +
      (broken ? ' quebrado' : '') + (state ? ' ' + KINDS[state] : '');
    kind.textContent = KINDS[state];
    kind.title = state === 2 ? beforeText(d, j) : '';
    row.children[1].textContent = sizeText(size);
    row.children[1].title = groupDigits(size) + ' bytes';
    row.children[2].textContent = dateText(entryMod(d, j));
    row.children[2].title = state === 2 ? beforeText(d, j) : '';
    row.children[3].textContent = attrText(a);
  };

  Viewer.prototype.markActiveFile = function () {
    var body = $('corpo');
    if (this.fileCount() > 0) body.setAttribute('aria-activedescendant', 'arquivo-' + this.activeFile);
    else body.removeAttribute('aria-activedescendant');
  };

  Viewer.prototype.moveFile = function (r) {
    this.activeFile = r;
    this.markActiveFile();
    this.table.reveal(r);
    var rows = $('corpo').querySelectorAll('[role=row]');
    for (var k = 0; k < rows.length; k++) {
      rows[k].setAttribute('aria-selected', rows[k].id === 'arquivo-' + r ? 'true' : 'false');
    }
  };

  Viewer.prototype.sortBy = function (col) {
    if (col === this.sortColumn) this.sortDown = !this.sortDown;
    else { this.sortColumn = col; this.sortDown = false; }
    this.sortFiles();
    this.table.setCount(this.fileCount());
  };

  // ---- Search hits ------------------------------------------------------------------

  // The right side shows one of: the folder's files, the search hits, the changes.
  Viewer.prototype.showPanel = function (mode) {
    this.mode = mode;
    $('arquivos').hidden = mode !== 'files';
    $('resultados').hidden = mode !== 'hits';
    $('mudancas').hidden = $('filtro').hidden = $('filtro-estado').hidden = mode !== 'changes';
    $('voltar-busca').hidden = mode === 'hits' || !this.hits;
    $('ver-mudancas').setAttribute('aria-pressed', mode === 'changes' ? 'true' : 'false');
    if (mode === 'hits') $('aviso').hidden = true;
    if (mode !== 'changes') $('titulo-lista').removeAttribute('title');
  };

  Viewer.prototype.search = function (query) {
    var d = this.d, status = $('busca-estado');
    this.lastQuery = query;
    if (!query) {
      this.hits = null;
      status.textContent = '';
      this.showFiles();
      html.removeAttribute('data-busca');
      return;
    }
    var hits = this.index.find(query), folders = 0;
    while (folders < hits.length && hits[folders] < d.M) folders++;
    this.hits = hits;
    this.activeHit = 0;
    status.textContent = hits.length === 0 ? 'Nada encontrado.' :
      countText(hits.length, 'encontrado', 'encontrados') + ' (' +
      countText(folders, 'pasta', 'pastas') + ', ' + countText(hits.length - folders, 'arquivo', 'arquivos') + ')';
    $('titulo-lista').textContent = 'Resultados de “' + query + '”';
    this.showPanel('hits');
    $('resultados').scrollTop = 0;
    this.hitList.setCount(hits.length);
    this.markActiveHit();
    html.setAttribute('data-busca', String(hits.length));
  };

  Viewer.prototype.makeHitRow = function () {
    var row = document.createElement('div');
    row.setAttribute('role', 'listitem');
    row.className = 'linha achado';
    var link = document.createElement('a');
    link.tabIndex = -1;
    var where = document.createElement('button');
    where.type = 'button';
    where.tabIndex = -1;
    where.className = 'onde';
    row.appendChild(link);
    row.appendChild(where);
    return row;
  };

  Viewer.prototype.fillHitRow = function (row, r) {
    var d = this.d, k = this.hits[r], link = row.firstChild, where = row.lastChild;
    row.id = 'achado-' + r;
    row.setAttribute('aria-selected', r === this.activeHit ? 'true' : 'false');
    var folder, broken = false;
    if (k < d.M) {
      folder = k;
      link.removeAttribute('href');
      link.textContent = folderName(d, k);
      row.className = 'linha achado e-pasta';
      where.textContent = folderPath(d, d.parent[k]);
    } else {
      var j = k - d.M, target = fileHref(d, j);
      folder = folderOfFile(d, j);
      link.href = target.href;
      broken = target.broken;
      link.textContent = fileName(d, j);
      row.className = 'linha achado' + (broken ? ' quebrado' : '');
      where.textContent = folderPath(d, folder);
    }
    where.folder = k < d.M ? d.parent[k] : folder;
    row.entry = k < d.M ? k : -1;
    where.title = 'Mostrar esta pasta na árvore';
  };

  Viewer.prototype.markActiveHit = function () {
    var list = $('resultados');
    if (this.hits && this.hits.length) list.setAttribute('aria-activedescendant', 'achado-' + this.activeHit);
    else list.removeAttribute('aria-activedescendant');
  };

  Viewer.prototype.moveHit = function (r) {
    this.activeHit = r;
    this.markActiveHit();
    this.hitList.reveal(r);
    var rows = $('resultados').querySelectorAll('[role=listitem]');
    for (var k = 0; k < rows.length; k++) {
      rows[k].setAttribute('aria-selected', rows[k].id === 'achado-' + r ? 'true' : 'false');
    }
  };

  Viewer.prototype.openHit = function (r) {
    var d = this.d, k = this.hits[r];
    if (k < d.M) { this.select(k, 'push'); $('arvore').focus(); }
    else {
      var target = fileHref(d, k - d.M);
      location.href = target.href;
    }
  };

  // ---- The changes since the earlier catalogue ----------------------------------------

  Viewer.prototype.offerChanges = function (open) {
    var d = this.d, c = d.cmp, self = this, button = $('ver-mudancas');
    button.textContent = 'Mudanças (' + groupDigits(c.total) + ')';
    button.hidden = false;
    var when = d.head.anterior ? dateText(Date.parse(d.head.anterior) / 1000) : '';
    this.changesTitle = 'Mudanças: ' + countText(c.added.length, 'adicionado', 'adicionados') + ' · ' +
      countText(c.nR, 'removido', 'removidos') + ' · ' + countText(c.changed.length, 'alterado', 'alterados');
    this.changesMore = 'Desde o catálogo ' + (d.head.comparado ? d.head.comparado + ' ' : 'anterior ') +
      (when ? 'de ' + when : '') + '\n' + sizeText(c.gained) + ' ganhos · ' + sizeText(c.lost) + ' perdidos';
    button.title = this.changesTitle + '\n' + this.changesMore;
    button.addEventListener('click', function () {
      if (self.mode === 'changes') self.select(self.selected, 'push');
      else self.showChanges('push');
    });
    var box = $('corpo-mudancas'), filter = $('filtro');
    document.querySelector('#mudancas .cabeca').addEventListener('click', function (ev) {
      var b = ev.target.closest('button');
      if (!b) return;
      var col = +b.getAttribute('data-coluna');
      if (col === self.changeSort) self.changeDown = !self.changeDown;
      else { self.changeSort = col; self.changeDown = false; }
      self.listChanges();
    });
    box.addEventListener('click', function (ev) {
      var row = ev.target.closest('[role=row]');
      if (!row) return;
      self.moveChange(+row.id.slice(8));
      if (row.folder >= 0) { self.select(row.folder, 'push'); $('arvore').focus(); }
    });
    box.addEventListener('keydown', function (ev) {
      var rows = self.changeRows, n = rows ? rows.length : 0;
      if (ev.key === 'Enter') {
        var v = n ? rows[self.activeChange] : 0;
        if (v < 0) { self.select(-v - 1, 'push'); $('arvore').focus(); }
        else if (n && v < d.F) location.href = fileHref(d, v).href;
        ev.preventDefault();
        return;
      }
      var m = moveKey(ev.key, self.activeChange, n, self.changeList.page());
      if (m < 0) return;
      ev.preventDefault();
      self.moveChange(m);
    });
    filter.addEventListener('input', function () { self.listChanges(); });
    filter.addEventListener('keydown', function (ev) {
      if (ev.key === 'Enter' || ev.key === 'ArrowDown') { box.focus(); ev.preventDefault(); }
      else if (ev.key === 'Escape' && filter.value) { filter.value = ''; self.listChanges(); ev.preventDefault(); }
    });
    if (open) this.showChanges('none');
  };

  // how: as select's.
  Viewer.prototype.showChanges = function (how) {
    this.showPanel('changes');
    var title = $('titulo-lista');
    title.textContent = this.changesTitle;
    title.title = this.changesMore;
    if (!this.changeRows) this.listChanges();
    else { this.changeList.draw(); this.noteChanges(); }
    this.alignHeader();
    if (how === 'push' && location.hash !== CHANGES_HASH) location.hash = CHANGES_HASH;
    else if (how === 'replace') location.replace(CHANGES_HASH);
  };

  // The rows of the changes view: the changes the filter lets through, grouped by folder (a
  // row for each folder, then its changes), sorted. A row is -(folder + 1) for a folder's row,
  // else a file's index, or F + r for removed file r.
  Viewer.prototype.listChanges = function () {
    var d = this.d, c = d.cmp, F = d.F, query = $('filtro').value, k, n = 0;
    var all = new Int32Array(c.total), keep = null, keepGone = null, found;
    if (query && !/^\**$/.test(query)) {
      keep = new Uint8Array(F);
      found = this.index.find(query);
      for (k = 0; k < found.length; k++) if (found[k] >= d.M) keep[found[k] - d.M] = 1;
      if (!this.goneIndex) {
        var lines = [];
        for (k = 0; k < c.nR; k++) lines.push(shownName(d, F + k)); // names hold no line break
        this.goneIndex = new Index(lines.join('\n') + '\n', c.nR, 0);
      }
      keepGone = new Uint8Array(c.nR);
      found = this.goneIndex.find(query);
      for (k = 0; k < found.length; k++) keepGone[found[k]] = 1;
    }
    for (k = 0; k < c.added.length; k++) if (!keep || keep[c.added[k]]) all[n++] = c.added[k];
    for (k = 0; k < c.changed.length; k++) if (!keep || keep[c.changed[k]]) all[n++] = c.changed[k];
    for (k = 0; k < c.nR; k++) if (!keepGone || keepGone[k]) all[n++] = F + k;

    // Keys by position: the folder, the shown name (compared without case), the column's.
    var group = new Int32Array(n), names = new Array(n), key = null, col = this.changeSort;
    for (k = 0; k < n; k++) {
      var e = all[k];
      group[k] = e < F ? folderOfFile(d, e) : c.rFolder[e - F];
      names[k] = shownName(d, e).toUpperCase();
    }
    if (col >= 2) {
      key = new Float64Array(n);
      for (k = 0; k < n; k++) {
        key[k] = col === 2 ? entryKind(d, all[k]) : col === 3 ? entrySize(d, all[k]) : entryMod(d, all[k]);
      }
    }
    var sign = this.changeDown ? -1 : 1, groupSign = col === 1 ? sign : 1, nameSign = col === 0 ? sign : 1;
    var at = new Int32Array(n);
    for (k = 0; k < n; k++) at[k] = k;
    at.sort(function (x, y) {
      var g = group[x] - group[y];
      if (g) return g * groupSign;
      if (key && key[x] !== key[y]) return key[x] < key[y] ? -sign : sign;
      if (names[x] !== names[y]) return names[x] < names[y] ? -nameSign : nameSign;
      return x - y;
    });
    var rows = new Int32Array(2 * n), sizes = new Int32Array(2 * n), m = 0, head = -1;
    for (k = 0; k < n; k++) {
      if (k === 0 || group[at[k]] !== group[at[k - 1]]) { head = m; rows[m++] = -group[at[k]] - 1; }
      sizes[head]++;
      rows[m++] = all[at[k]];
    }
    this.changeRows = rows.subarray(0, m);
    this.groupSizes = sizes;
    this.shownChanges = n;
    this.activeChange = 0;

    var heads = document.querySelectorAll('#mudancas [role=columnheader]');
    for (var h = 0; h < heads.length; h++) {
      if (h === col) heads[h].setAttribute('aria-sort', this.changeDown ? 'descending' : 'ascending');
      else heads[h].removeAttribute('aria-sort');
    }
    $('mudancas').setAttribute('aria-rowcount', m + 1);
    $('filtro-estado').textContent = keep ? groupDigits(n) + ' de ' + countText(c.total, 'mudança', 'mudanças') : '';
    $('corpo-mudancas').scrollTop = 0;
    this.changeList.setCount(m);
    this.markActiveChange();
    this.noteChanges();
    html.setAttribute('data-mudancas', String(n));
  };

  Viewer.prototype.noteChanges = function () {
    var note = $('aviso'), text = '';
    if (this.shownChanges === 0) {
      text = this.d.cmp.total === 0 ? 'Nada mudou desde o catálogo anterior.' : 'Nenhuma mudança com esse nome.';
    }
    note.textContent = text;
    note.hidden = !text;
  };

  // A removed file's name without the folders that went with it.
  function shownName(d, e) {
    var s = entryName(d, e);
    return e < d.F ? s : s.slice(s.lastIndexOf('\\') + 1);
  }

  Viewer.prototype.makeChangeRow = function () {
    var row = this.makeFileRow();
    row.className = 'linha arquivo mudanca';
    row.children[1].className = 'c-pasta';
    row.children[2].className = 'c-tipo';
    row.children[3].className = 'c-tam';
    var date = document.createElement('div');
    date.setAttribute('role', 'gridcell');
    date.className = 'c-data';
    row.appendChild(date);
    return row;
  };

  Viewer.prototype.fillChangeRow = function (row, r) {
    var d = this.d, c = d.cmp, v = this.changeRows[r], cells = row.children;
    var link = cells[0].firstChild, count = cells[0].lastChild;
    row.id = 'mudanca-' + r;
    row.setAttribute('aria-rowindex', r + 2);
    row.setAttribute('aria-selected', r === this.activeChange ? 'true' : 'false');
    row.folder = -1;
    row.title = '';
    if (v < 0) {
      row.folder = -v - 1;
      row.className = 'linha arquivo mudanca grupo';
      link.removeAttribute('href');
      link.textContent = folderPath(d, row.folder);
      link.title = 'Mostrar esta pasta na árvore';
      count.textContent = countText(this.groupSizes[r], 'mudança', 'mudanças');
      for (var k = 1; k < cells.length; k++) cells[k].textContent = '';
      return;
    }
    // The folder below the root ("\Fotos\2019"); its full path in the tooltip.
    var folder = v < d.F ? folderOfFile(d, v) : c.rFolder[v - d.F], full = folderPath(d, folder);
    var kind = entryKind(d, v), size = entrySize(d, v), where = '\\' + full.slice(folderPath(d, 0).length).replace(/^\\/, '');
    var broken = false, name = entryName(d, v), what = KINDS[kind];
    count.textContent = '';
    link.title = '';
    if (kind === 3) {
      var cut = name.lastIndexOf('\\');
      if (cut >= 0) {
        var sub = name.slice(0, cut);
        where += (where.length > 1 ? '\\' : '') + sub;
        full += (full.charAt(full.length - 1) === '\\' ? '' : '\\') + sub;
        name = name.slice(cut + 1);
      }
      link.removeAttribute('href');
    } else {
      var target = fileHref(d, v);
      link.href = target.href;
      broken = target.broken;
    }
    if (kind === 2) {
      var slot = changedSlot(c, v), grew = slot < 0 ? 0 : size - c.oldSize[slot];
      what += ' (' + (grew ? (grew > 0 ? '+' : '−') + sizeText(Math.abs(grew)) : 'data') + ')';
      row.title = beforeText(d, v);
    }
    row.className = 'linha arquivo mudanca ' + KINDS[kind] + (broken ? ' quebrado' : '');
    link.textContent = name;
    cells[1].textContent = where;
    cells[1].title = full;
    cells[2].textContent = what;
    cells[3].textContent = sizeText(size);
    cells[3].title = groupDigits(size) + ' bytes';
    cells[4].textContent = dateText(entryMod(d, v));
  };

  Viewer.prototype.markActiveChange = function () {
    var box = $('corpo-mudancas');
    if (this.changeRows && this.changeRows.length) box.setAttribute('aria-activedescendant', 'mudanca-' + this.activeChange);
    else box.removeAttribute('aria-activedescendant');
  };

  Viewer.prototype.moveChange = function (r) {
    this.activeChange = r;
    this.markActiveChange();
    this.changeList.reveal(r);
    var rows = $('corpo-mudancas').querySelectorAll('[role=row]');
    for (var k = 0; k < rows.length; k++) {
      rows[k].setAttribute('aria-selected', rows[k].id === 'mudanca-' + r ? 'true' : 'false');
    }
  };

  // ---- Wiring -----------------------------------------------------------------------

  Viewer.prototype.wire = function () {
    var self = this, d = this.d, tree = $('arvore'), body = $('corpo'), hits = $('resultados');
    var field = $('busca');

    tree.addEventListener('click', function (ev) {
      var row = ev.target.closest('[role=treeitem]');
      if (!row) return;
      if (ev.target.classList.contains('seta')) self.toggle(row.folder);
      else self.select(row.folder, 'push');
      tree.focus();
    });
    tree.addEventListener('dblclick', function (ev) {
      var row = ev.target.closest('[role=treeitem]');
      if (row && !ev.target.classList.contains('seta')) self.toggle(row.folder);
    });
    tree.addEventListener('keydown', function (ev) {
      var r = self.rowOfFolder(self.selected), i = self.selected, v = self.visible, to = -1;
      switch (ev.key) {
        case 'ArrowRight':
          if (self.canExpand(i) && !self.expanded[i]) self.toggle(i, true);
          else if (self.canExpand(i)) to = i + 1;
          break;
        case 'ArrowLeft':
          if (self.canExpand(i) && self.expanded[i]) self.toggle(i, false);
          else if (i > 0) to = d.parent[i];
          break;
        case 'Enter':
          self.select(i, 'push');
          if (self.fileCount() > 0) body.focus();
          else self.toggle(i);
          break;
        default:
          var m = moveKey(ev.key, r, v.length, self.tree.page());
          if (m < 0) return;
          to = v[m];
      }
      ev.preventDefault();
      if (to >= 0 && to !== i) self.select(to, 'replace');
    });

    document.querySelector('#arquivos .cabeca').addEventListener('click', function (ev) {
      var b = ev.target.closest('button');
      if (b) self.sortBy(+b.getAttribute('data-coluna'));
    });
    body.addEventListener('click', function (ev) {
      var row = ev.target.closest('[role=row]');
      if (row) self.moveFile(+row.id.slice(8));
    });
    body.addEventListener('keydown', function (ev) {
      var n = self.fileCount();
      if (ev.key === 'Enter') {
        if (n > 0 && self.fileAt(self.activeFile) < d.F) location.href = fileHref(d, self.fileAt(self.activeFile)).href;
        ev.preventDefault();
        return;
      }
      if (ev.key === 'ArrowLeft' || ev.key === 'Backspace') { tree.focus(); ev.preventDefault(); return; }
      var m = moveKey(ev.key, self.activeFile, n, self.table.page());
      if (m < 0) return;
      ev.preventDefault();
      self.moveFile(m);
    });

    hits.addEventListener('click', function (ev) {
      var where = ev.target.closest('button.onde');
      var row = ev.target.closest('[role=listitem]');
      if (!row) return;
      self.moveHit(+row.id.slice(7));
      if (where) { self.select(where.folder, 'push'); tree.focus(); }
      else if (row.entry >= 0) { self.select(row.entry, 'push'); tree.focus(); }
    });
    hits.addEventListener('keydown', function (ev) {
      if (!self.hits) return;
      if (ev.key === 'Enter') {
        if (self.hits.length) self.openHit(self.activeHit);
        ev.preventDefault();
        return;
      }
      var m = moveKey(ev.key, self.activeHit, self.hits.length, self.hitList.page());
      if (m < 0) return;
      ev.preventDefault();
      self.moveHit(m);
    });

    field.addEventListener('input', function () { self.search(field.value); });
    field.addEventListener('keydown', function (ev) {
      if (ev.key === 'Enter' || ev.key === 'ArrowDown') {
        if (field.value !== self.lastQuery) self.search(field.value);
        if (self.hits) { self.showPanel('hits'); self.hitList.draw(); hits.focus(); }
        ev.preventDefault();
      } else if (ev.key === 'Escape' && field.value) {
        field.value = '';
        self.search('');
        ev.preventDefault();
      }
    });
    $('voltar-busca').addEventListener('click', function () {
      if (!self.hits) return;
      $('titulo-lista').textContent = 'Resultados de “' + self.lastQuery + '”';
      self.showPanel('hits');
      self.hitList.draw();
      hits.focus();
    });

    window.addEventListener('hashchange', function () {
      if (location.hash === CHANGES_HASH && d.cmp) {
        if (self.mode !== 'changes') self.showChanges('none');
        return;
      }
      var i = folderFromHash(d, location.hash);
      if (i >= 0 && (i !== self.selected || self.mode === 'changes')) self.select(i, 'none');
    });
    window.addEventListener('resize', function () {
      self.tree.draw();
      self.table.draw();
      self.hitList.draw();
      self.changeList.draw();
      self.alignHeader();
    });
    window.addEventListener('beforeprint', function () { self.printable(); });
    window.addEventListener('afterprint', function () { $('impressao').textContent = ''; });
  };

  // What a printout shows: the folder shown and its files, as a plain table.
  Viewer.prototype.printable = function () {
    var d = this.d, box = $('impressao'), n = this.fileCount();
    box.textContent = '';
    var h = document.createElement('h2');
    h.textContent = folderPath(d, this.selected) + ' — ' + countText(n, 'arquivo', 'arquivos');
    box.appendChild(h);
    var table = document.createElement('table'), tr = table.insertRow();
    ['Nome', 'Tamanho', 'Modificado em', 'Atributos'].forEach(function (t) {
      var th = document.createElement('th');
      th.textContent = t;
      tr.appendChild(th);
    });
    for (var r = 0; r < Math.min(n, PRINT_LIMIT); r++) {
      var j = this.fileAt(r), row = table.insertRow(), state = entryKind(d, j);
      row.insertCell().textContent = entryName(d, j) + (state ? ' (' + KINDS[state] + ')' : '');
      row.insertCell().textContent = groupDigits(entrySize(d, j));
      row.insertCell().textContent = dateText(entryMod(d, j));
      row.insertCell().textContent = attrText(entryAttr(d, j));
    }
    box.appendChild(table);
    if (n > PRINT_LIMIT) {
      var more = document.createElement('p');
      more.textContent = 'E mais ' + countText(n - PRINT_LIMIT, 'arquivo', 'arquivos') + ', não impressos.';
      box.appendChild(more);
    }
  };

  // The folders that could not be read, listed under the header.
  Viewer.prototype.listProblems = function () {
    var d = this.d, list = d.problems, box = $('problemas'), self = this, LIMIT = 200;
    if (!list.length) return;
    var det = document.createElement('details'), sum = document.createElement('summary');
    sum.textContent = list.length === 1 ? 'A pasta que não pôde ser lida' :
      'As ' + groupDigits(list.length) + ' pastas que não puderam ser lidas (ou só em parte)';
    det.appendChild(sum);
    var ul = document.createElement('ul');
    for (var k = 0; k < Math.min(list.length, LIMIT); k++) {
      var i = list[k], li = document.createElement('li'), b = document.createElement('button');
      b.type = 'button';
      b.textContent = folderPath(d, i);
      b.folder = i;
      li.appendChild(b);
      li.appendChild(document.createTextNode(' — ' + (d.flags[i] & 1 ? '' : 'lida em parte: ') +
        (d.reasons[i] || 'motivo desconhecido')));
      ul.appendChild(li);
    }
    det.appendChild(ul);
    if (list.length > LIMIT) {
      var p = document.createElement('p');
      p.textContent = 'E mais ' + groupDigits(list.length - LIMIT) + ', marcadas na árvore.';
      det.appendChild(p);
    }
    det.addEventListener('click', function (ev) {
      var btn = ev.target.closest('button');
      if (btn) { self.select(btn.folder, 'push'); $('arvore').focus(); }
    });
    box.appendChild(det);
    box.hidden = false;
  };

  function fail(message) {
    var t = $('titulo-lista');
    t.textContent = 'Não foi possível mostrar este catálogo: ' + message + '.';
    $('arquivos').hidden = true;
    html.setAttribute('data-erro', message);
  }

  function start() {
    var block = $('tombarel-dados'), d;
    try {
      d = read(block ? block.textContent : '');
    } catch (e) {
      if (e instanceof Failure) { fail(e.message); return; }
      throw e;
    }
    derive(d);
    deriveChanges(d);
    var v = new Viewer(d);
    v.listProblems();
    v.wire();
    v.computeVisible();
    var changes = d.cmp && location.hash === CHANGES_HASH, at = changes ? 0 : folderFromHash(d, location.hash);
    v.select(at < 0 ? 0 : at, 'none');
    // Folding every name once here keeps each search a plain scan.
    // (every name but the root's: entries from 1)
    v.index = new Index(d.text.slice(d.starts[1], d.starts[d.M + d.F]), d.M + d.F - 1, 1);
    var field = $('busca');
    field.disabled = false;
    if (field.value) v.search(field.value); // the browser kept what was typed before a reload
    if (d.cmp) v.offerChanges(changes);
    html.setAttribute('data-pronto', '1');
    if (window.performance && performance.mark) performance.mark('tombarel-pronto');
  }

  start();
})();
