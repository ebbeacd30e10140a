// The catalogue page's viewer: reads the data block once into typed arrays and keeps in the
// document only the rows that can be seen (folder tree, file table, search hits).
(function () {
  'use strict';

  var ROW = 24;             // every list row, in CSS pixels (catalogo.css says the same)
  var MAX_SPACE = 8000000;  // browsers cap an element's height; taller lists are scaled
  var PRINT_LIMIT = 5000;   // rows a printed folder lists

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
    // skipped), read in one pass into one array, record after record.
    function records(count, width, what) {
      var out = new Float64Array(count * width), r = 0, f = 0, v = 0, neg = false, q = p;
      while (r < count) {
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
          }
        } else if (c === 45 && v === 0 && !neg) neg = true;
        else if (c !== c) throw new Failure('a seção ' + what + ' foi cortada');
        else throw new Failure('uma linha da seção ' + what + ' não se entende');
      }
      p = q;
      return out;
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
    var reasons = {}, problems = [];
    for (var l = line(); l !== '.'; l = line()) {
      var parts = l.split('\t'), at = parseInt(parts[0] || '0', 36);
      if (at >= 0 && at < M) {
        reasons[at] = unescapeName(parts.slice(2).join('\t')) || ('erro ' + parseInt(parts[1] || '0', 36));
      }
    }
    for (var u = 0; u < M; u++) if (flags[u] & 5) problems.push(u);

    return {
      text: text, head: head, M: M, F: F, starts: starts, parent: parent, own: own, fattr: fattr,
      fmod: fmod, flags: flags, firstFile: firstFile, size: size, mod: mod, attr: attr,
      reasons: reasons, problems: problems
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

  function Index(d) {
    var raw = d.text.slice(d.starts[1], d.starts[d.M + d.F]); // every name but the root's
    if (raw.indexOf('\\') >= 0) raw = unescapeForSearch(raw);
    var n = d.M + d.F - 1, starts = new Int32Array(n + 1), text = this.text = fold(raw), p = 0;
    for (var k = 0; k < n; k++) { starts[k] = p; p = text.indexOf('\n', p) + 1; }
    starts[n] = text.length;
    this.starts = starts;
    this.n = n;
  }
  // Entries (name lines, 1-based past the root) whose folded name holds the query.
  Index.prototype.find = function (query) {
    var q = fold(query), text = this.text, starts = this.starts, n = this.n;
    var out = new Int32Array(16), count = 0, line = 0;
    function add(k) {
      if (count === out.length) { var bigger = new Int32Array(out.length * 2); bigger.set(out); out = bigger; }
      out[count++] = k + 1;
    }
    if (/^\**$/.test(q)) {
      out = new Int32Array(n);
      for (var a = 0; a < n; a++) out[a] = a + 1;
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
      // test() leaves no match object behind; a match is never empty and never spans lines,
      // so its last character tells its line.
      var re = new RegExp(src, 'gu');
      while (re.test(text)) {
        var last = re.lastIndex - 1;
        while (starts[line + 1] <= last) line++;
        add(line);
        if (line + 1 >= n) break;
        re.lastIndex = starts[line + 1];
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
    row.className = cls;
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
    this.showingHits(false);
    var title = $('titulo-lista');
    title.textContent = folderPath(d, i);
    var note = $('aviso'), f = d.flags[i], text = '';
    if (f & 2) text = 'Esta pasta é um link (junção ou vínculo simbólico): o catálogo não o segue.';
    else if (f & 1) text = 'Esta pasta não pôde ser lida: ' + (d.reasons[i] || 'motivo desconhecido') + '.';
    else if (f & 4) text = 'Esta pasta foi lida só em parte: ' + (d.reasons[i] || 'motivo desconhecido') + '.';
    else if (d.own[i] === 0) text = 'Nenhum arquivo nesta pasta.';
    note.textContent = text;
    note.hidden = !text;
    this.sortFiles();
    this.activeFile = 0;
    $('arquivos').setAttribute('aria-rowcount', d.own[i] + 1);
    $('corpo').scrollTop = 0;
    this.table.setCount(d.own[i]);
    this.markActiveFile();
    this.alignHeader();
  };

  // The header's columns line up with the rows whatever room the scroll bar takes.
  Viewer.prototype.alignHeader = function () {
    var body = $('corpo');
    document.querySelector('#arquivos .cabeca').style.paddingRight = (body.offsetWidth - body.clientWidth) + 'px';
  };

  Viewer.prototype.sortFiles = function () {
    var d = this.d, a = d.firstFile[this.selected], n = d.own[this.selected], col = this.sortColumn;
    var heads = document.querySelectorAll('#arquivos [role=columnheader]');
    for (var h = 0; h < heads.length; h++) {
      if (h === col) heads[h].setAttribute('aria-sort', this.sortDown ? 'descending' : 'ascending');
      else heads[h].removeAttribute('aria-sort');
    }
    if (col === 0) { this.order = null; return; } // the data are already in name order
    var idx = new Int32Array(n), key;
    for (var k = 0; k < n; k++) idx[k] = a + k;
    if (col === 1) key = d.size;
    else if (col === 2) key = d.mod;
    else {
      // Attributes sort by their letters, as shown; one rank per distinct value.
      var letters = {}, list = [];
      key = new Float64Array(d.F);
      for (k = 0; k < n; k++) {
        var t = attrText(d.attr[a + k]);
        if (!(t in letters)) { letters[t] = 0; list.push(t); }
      }
      list.sort();
      for (k = 0; k < list.length; k++) letters[list[k]] = k;
      for (k = 0; k < n; k++) key[a + k] = letters[attrText(d.attr[a + k])];
    }
    var sign = this.sortDown ? -1 : 1;
    // Equal keys keep the name order whichever the direction.
    this.order = idx.sort(function (x, y) { var s = key[x] - key[y]; return s ? (s < 0 ? -sign : sign) : x - y; });
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
    return row;
  };

  Viewer.prototype.fillFileRow = function (row, r) {
    var d = this.d, j = this.fileAt(r), link = row.firstChild.firstChild;
    row.id = 'arquivo-' + r;
    row.setAttribute('aria-rowindex', r + 2);
    row.setAttribute('aria-selected', r === this.activeFile ? 'true' : 'false');
    var target = fileHref(d, j), a = d.attr[j];
    link.textContent = fileName(d, j);
    link.href = target.href;
    row.className = 'linha arquivo' + (a & (A_HIDDEN | A_SYSTEM) ? ' oculta' : '') +
      (target.broken ? ' quebrado' : '');
    link.title = target.broken ? 'O nome tem um caractere que não cabe num endereço: o link pode não abrir o arquivo.' : '';
    row.children[1].textContent = sizeText(d.size[j]);
    row.children[1].title = groupDigits(d.size[j]) + ' bytes';
    row.children[2].textContent = dateText(d.mod[j]);
    row.children[3].textContent = attrText(a);
  };

  Viewer.prototype.markActiveFile = function () {
    var body = $('corpo');
    if (this.d.own[this.selected] > 0) body.setAttribute('aria-activedescendant', 'arquivo-' + this.activeFile);
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
    this.table.setCount(this.d.own[this.selected]);
  };

  // ---- Search hits ------------------------------------------------------------------

  Viewer.prototype.showingHits = function (on) {
    $('arquivos').hidden = on;
    $('resultados').hidden = !on;
    $('voltar-busca').hidden = on || !this.hits;
    if (on) $('aviso').hidden = true;
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
    this.showingHits(true);
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
          if (d.own[i] > 0) body.focus();
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
      var n = d.own[self.selected];
      if (ev.key === 'Enter') {
        if (n > 0) location.href = fileHref(d, self.fileAt(self.activeFile)).href;
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
        if (self.hits) { self.showingHits(true); self.hitList.draw(); hits.focus(); }
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
      self.showingHits(true);
      self.hitList.draw();
      hits.focus();
    });

    window.addEventListener('hashchange', function () {
      var i = folderFromHash(d, location.hash);
      if (i >= 0 && i !== self.selected) self.select(i, 'none');
    });
    window.addEventListener('resize', function () {
      self.tree.draw();
      self.table.draw();
      self.hitList.draw();
      self.alignHeader();
    });
    window.addEventListener('beforeprint', function () { self.printable(); });
    window.addEventListener('afterprint', function () { $('impressao').textContent = ''; });
  };

  // What a printout shows: the folder shown and its files, as a plain table.
  Viewer.prototype.printable = function () {
    var d = this.d, box = $('impressao'), n = d.own[this.selected];
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
      var j = this.fileAt(r), row = table.insertRow();
      row.insertCell().textContent = fileName(d, j);
      row.insertCell().textContent = groupDigits(d.size[j]);
      row.insertCell().textContent = dateText(d.mod[j]);
      row.insertCell().textContent = attrText(d.attr[j]);
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
    var v = new Viewer(d);
    v.listProblems();
    v.wire();
    v.computeVisible();
    var at = folderFromHash(d, location.hash);
    v.select(at < 0 ? 0 : at, 'none');
    // Folding every name once here keeps each search a plain scan.
    v.index = new Index(d);
    var field = $('busca');
    field.disabled = false;
    if (field.value) v.search(field.value); // the browser kept what was typed before a reload
    html.setAttribute('data-pronto', '1');
    if (window.performance && performance.mark) performance.mark('tombarel-pronto');
  }

  start();
})();
