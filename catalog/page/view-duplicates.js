// The files kept in more than one place: the same name (ignoring case) and the same size, in
// one volume or across volumes, grouped, the groups ordered by the bytes their extra copies
// take. Files of 0 bytes are left out. Found once, when first asked for.

// A name's code units folded as Windows compares file names: each one made upper case where
// that is one code unit too (so "ß" stays itself). Known units are kept.
var upperUnits = null;
function upperUnit(c) {
  if (c < 128) return c >= 97 && c <= 122 ? c - 32 : c;
  if (!upperUnits) upperUnits = new Uint16Array(65536);
  var u = upperUnits[c];
  if (u === 0) {
    var t = String.fromCharCode(c).toUpperCase();
    u = upperUnits[c] = t.length === 1 ? t.charCodeAt(0) : c;
  }
  return u;
}

function foldedFileName(d, j) {
  var s = fileName(d, j), out = '';
  for (var k = 0; k < s.length; k++) out += String.fromCharCode(upperUnit(s.charCodeAt(k)));
  return out;
}

// The hash of a folded name (FNV-1a over its code units), as a string.
function foldedHash(s) {
  for (var h = -2128831035, k = 0; k < s.length; k++) h = Math.imul(h ^ upperUnit(s.charCodeAt(k)), 16777619);
  return h;
}

// Do files a and b have the same name, ignoring case? Compared in the text, unescaped only
// when one of them holds an escape.
function sameFolded(d, a, b) {
  var text = d.text, p = d.starts[d.M + a], q = d.starts[d.M + b];
  for (;;) {
    var x = text.charCodeAt(p++), y = text.charCodeAt(q++);
    if (x === y) { if (x === 10) return true; if (x !== 92) continue; }
    if (x === 92 || y === 92) return foldedFileName(d, a) === foldedFileName(d, b);
    if (x === 10 || y === 10 || upperUnit(x) !== upperUnit(y)) return false;
  }
}

// The groups: { last: a group's last file, prev: the file before a file in its group (-1
// before the first), count, freed: size × (copies − 1), order: the groups, most bytes first }.
// One pass hashes every file's folded name and size (read from the text itself) into a hash
// table that keeps the last file of each key; the files a key gathers are then checked against
// each other, so a collision of keys never joins two names.
function findDuplicates(d) {
  var F = d.F, M = d.M, size = d.size, text = d.text, starts = d.starts, cap = 16, j, t, c, h;
  while (cap < 2 * F) cap *= 2;
  var mask = cap - 1, table = new Int32Array(cap).fill(-1), keys = new Int32Array(F), len = new Int32Array(F);
  var prev = new Int32Array(F).fill(-1), later = new Uint8Array(F);  // later: not a group's last
  for (j = 0; j < F; j++) {
    var s = size[j];
    if (!(s > 0)) continue;
    var p = starts[M + j];
    for (h = -2128831035; (c = text.charCodeAt(p++)) !== 10;) {
      if (c === 92) { h = foldedHash(foldedFileName(d, j)); p = 0; break; }
      h = Math.imul(h ^ (c < 128 ? (c >= 97 && c <= 122 ? c - 32 : c) : upperUnit(c)), 16777619);
    }
    len[j] = p - 1 - starts[M + j];  // below zero for an escaped name
    h = Math.imul(Math.imul(h ^ (s | 0), 16777619) ^ (s / 4294967296 | 0), 16777619);
    keys[j] = h;
    for (var slot = h & mask; ; slot = (slot + 1) & mask) {
      t = table[slot];
      if (t < 0) { table[slot] = j; break; }
      if (keys[t] === h && size[t] === s) { prev[j] = t; later[t] = 1; table[slot] = j; break; }
    }
  }
  table = keys = null;
  var last = [], counts = [], firsts = [];
  function add(chain) { // files in reverse order
    for (var k = 0; k < chain.length; k++) prev[chain[k]] = k + 1 < chain.length ? chain[k + 1] : -1;
    last.push(chain[0]);
    counts.push(chain.length);
    firsts.push(chain[chain.length - 1]);
  }
  // The groups by their last files, in the data's order: the text is read in order too.
  for (j = 0; j < F; j++) {
    if (later[j] || prev[j] < 0) continue;
    var all = true, n = 1, head = j;
    // Most copies are named alike to the letter: the texts compared whole first.
    var at = starts[M + j], size0 = len[j], mine = size0 > 0 ? text.substr(at, size0) : '';
    for (t = prev[j]; t >= 0 && all; t = prev[t], n++) {
      all = len[t] === size0 && size0 > 0 && text.substr(starts[M + t], size0) === mine || sameFolded(d, j, t);
      head = t;
    }
    if (all) { last.push(j); counts.push(n); firsts.push(head); continue; }
    // Keys that collided: the names sorted out by their folded text.
    var byName = new Map();
    for (t = j; t >= 0; t = prev[t]) {
      var name = foldedFileName(d, t), list = byName.get(name);
      if (list) list.push(t); else byName.set(name, [t]);
    }
    byName.forEach(function (chain) { if (chain.length > 1) add(chain); });
  }
  var G = last.length, freed = new Float64Array(G), order = new Int32Array(G), g;
  for (g = 0; g < G; g++) {
    freed[g] = size[last[g]] * (counts[g] - 1);
    order[g] = g;
  }
  order.sort(function (a, b) { return freed[b] - freed[a] || firsts[a] - firsts[b]; });
  return { last: Int32Array.from(last), count: Int32Array.from(counts), prev: prev, freed: freed, order: order };
}

function DuplicatesView(app, d) {
  var self = this;
  this.app = app;
  this.d = d;
  this.found = null;  // findDuplicates(d), once asked for
  this.rows = null;   // a group's row is -(group + 1), a copy's its file
  this.groupOf = null; // each copy's group's place in the order, for sorting within the groups
  this.copies = 0;
  this.bytes = 0;
  var byFolder = {
    head: 'Pasta', cls: 'c-pasta', width: 'minmax(0, 1.2fr)',
    show: function (cell, it) { cell.textContent = it.where; cell.title = it.full; },
    key: function (e) { return folderOfFile(d, e); }
  };
  var columns = [{
    head: 'Nome', cls: 'c-nome', width: 'minmax(0, 1.2fr)', make: makeNameCell,
    show: function (cell, it) {
      var link = cell.firstChild;
      link.textContent = fileName(d, it.e);
      link.href = it.link.href;
      link.title = it.link.broken ? 'O nome tem um caractere que não cabe num endereço: o link pode não abrir o arquivo.' : '';
      cell.lastChild.textContent = '';
    },
    key: function (e) { return fileName(d, e); }
  }, byFolder, sizeColumn(d), {
    head: 'Modificado em', cls: 'c-data', width: '11.5rem',
    show: function (cell, it) { cell.textContent = dateText(d.mod[it.e]); },
    key: function (e) { return d.mod[e]; }
  }];
  if (d.collection) {
    columns.splice(1, 0, {
      head: 'Volume', cls: 'c-volume', width: 'minmax(0, 0.8fr)',
      show: function (cell, it) { cell.textContent = cell.title = d.volumes[it.v].name; },
      key: function (e) { return volumeOfFile(d, e); }
    });
  }
  this.byFolder = byFolder;
  this.grid = new Grid($('duplicados'), columns, {
    rowClass: 'linha arquivo duplicado', sort: columns.indexOf(byFolder),
    id: function (r) { return 'duplicado-' + r; },
    item: function (r, row) { return self.item(r, row); },
    sorted: function () { self.makeRows(); },
    key: function (ev) {
      if (ev.key !== 'Enter') return false;
      var v = self.grid.list.n ? self.rows[self.grid.list.active] : -1;
      if (v >= 0) location.href = fileHref(d, v).href;
      return true;
    }
  });
  $('ver-duplicados').addEventListener('click', function () {
    if (app.mode === 'duplicates') app.select(app.tree.selected, 'push');
    else app.showDuplicates('push');
  });
}

// Finds the duplicates when not yet done; the button that opens the view shows when there are.
DuplicatesView.prototype.offer = function () {
  if (this.found) return;
  var marks = window.performance && performance.mark;
  if (marks) performance.mark('tombarel-duplicados-inicio');
  var f = this.found = findDuplicates(this.d), button = $('ver-duplicados'), copies = 0, bytes = 0;
  for (var g = 0; g < f.last.length; g++) { copies += f.count[g]; bytes += f.freed[g]; }
  this.copies = copies;
  this.bytes = bytes;
  button.textContent = 'Duplicados (' + groupDigits(f.last.length) + ')';
  button.title = countText(copies, 'arquivo', 'arquivos') + ' com o mesmo nome e o mesmo tamanho em mais de um lugar; ' +
    sizeText(bytes) + ' nas cópias a mais';
  button.hidden = f.last.length === 0;
  html.setAttribute('data-duplicados', String(f.last.length));
  if (marks) performance.mark('tombarel-duplicados');
};

DuplicatesView.prototype.show = function () {
  this.offer();
  var f = this.found, title = $('titulo-lista'), note = $('aviso');
  title.textContent = 'Duplicados: ' + countText(f.last.length, 'grupo', 'grupos') + ' · ' +
    countText(this.copies, 'arquivo', 'arquivos') + ' · ' + sizeText(this.bytes) + ' a liberar';
  title.title = 'O mesmo nome (sem contar maiúsculas) e o mesmo tamanho; arquivos de 0 bytes ficam de fora.';
  note.textContent = f.last.length ? '' : 'Nenhum arquivo aparece em mais de um lugar.';
  note.hidden = f.last.length > 0;
  if (!this.rows) this.makeRows();
  else this.grid.list.draw();
  this.grid.align();
};

// The rows: each group's row, then its copies, in the data's order (volume, then folder) or
// sorted by the column chosen, within the group.
DuplicatesView.prototype.makeRows = function () {
  var f = this.found, G = f.last.length, rows = new Int32Array(G + this.copies), m = 0, g, k, t, c;
  var grid = this.grid, column = grid.columns[grid.sortColumn], natural = column === this.byFolder && !grid.sortDown;
  for (k = 0; k < G; k++) {
    g = f.order[k];
    rows[m] = -g - 1;
    m += f.count[g] + 1;
    for (t = f.last[g], c = m - 1; t >= 0; t = f.prev[t]) rows[c--] = t;
  }
  if (!natural) {
    if (!this.groupOf) {
      this.groupOf = new Int32Array(this.d.F);
      for (k = 0, g = 0; k < m; k++) if (rows[k] < 0) g = k; else this.groupOf[rows[k]] = g;
    }
    var groupOf = this.groupOf, copies = new Int32Array(this.copies);
    for (k = 0, c = 0; k < m; k++) if (rows[k] >= 0) copies[c++] = rows[k];
    var at = sortedPositions(copies, [{ column: { key: function (e) { return groupOf[e]; } }, down: false },
                                      { column: column, down: grid.sortDown }]);
    for (k = 0, c = 0; k < m; k++) if (rows[k] >= 0) rows[k] = copies[at[c++]];
  }
  this.rows = rows;
  grid.list.show(m, 0, true);
};

// A copy's row: its name (a link to it), its volume, its folder (below the volume's root in a
// collection, the full path in the tooltip).
DuplicatesView.prototype.item = function (r, row) {
  var d = this.d, e = this.rows[r];
  if (e < 0) return this.showGroup(row, -e - 1, this.rows[r + 1]);
  var folder = folderOfFile(d, e), v = volumeOfFolder(d, folder), full = folderPath(d, folder), link = fileHref(d, e);
  var where = d.collection ? '\\' + full.slice(d.volumes[v].name.length).replace(/^\\/, '') : full;
  row.className = 'linha arquivo duplicado' + (link.broken ? ' quebrado' : '');
  row.title = '';
  if (d.collection) {
    var path = d.volumes[v].path;
    full = where === '\\' ? path : path.replace(/\\$/, '') + where;
  }
  return { e: e, v: v, where: where, full: full, link: link };
};

// A group's row: the name (as its first copy j has it) across the row, how many copies, the
// bytes the extra ones take.
DuplicatesView.prototype.showGroup = function (row, g, j) {
  var f = this.found, cells = row.children, link = cells[0].firstChild;
  row.className = 'linha arquivo duplicado grupo';
  row.title = '';
  link.removeAttribute('href');
  link.title = '';
  link.textContent = fileName(this.d, j);
  cells[0].lastChild.textContent = countText(f.count[g], 'cópia', 'cópias') + ' de ' + sizeText(this.d.size[j]) +
    ' · ' + sizeText(f.freed[g]) + ' a liberar';
  for (var k = 1; k < cells.length; k++) { cells[k].textContent = ''; cells[k].removeAttribute('title'); }
  return null;
};
