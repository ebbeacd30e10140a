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

// File j's folded name and size hashed (FNV-1a over the code units, then the size's halves),
// read from the text itself; an escaped name is unescaped first.
function duplicateKey(d, j) {
  var text = d.text, p = d.starts[d.M + j], h = -2128831035, c, k;
  for (;;) {
    c = text.charCodeAt(p++);
    if (c === 10) break;
    if (c === 92) {
      var s = foldedFileName(d, j);
      for (h = -2128831035, k = 0; k < s.length; k++) h = Math.imul(h ^ s.charCodeAt(k), 16777619);
      break;
    }
    h = Math.imul(h ^ upperUnit(c), 16777619);
  }
  var size = d.size[j];
  h = Math.imul(h ^ (size % 4294967296), 16777619);
  return Math.imul(h ^ Math.floor(size / 4294967296), 16777619);
}

// Do files a and b have the same name, ignoring case? Compared in the text, unescaped only
// when one of them holds an escape.
function sameFolded(d, a, b) {
  var text = d.text, p = d.starts[d.M + a], q = d.starts[d.M + b];
  for (;;) {
    var x = text.charCodeAt(p++), y = text.charCodeAt(q++);
    if (x === 92 || y === 92) return foldedFileName(d, a) === foldedFileName(d, b);
    if (x === 10 || y === 10) return x === y;
    if (x !== y && upperUnit(x) !== upperUnit(y)) return false;
  }
}

// The groups: { first: a group's first file, next: the file after a file in its group (-1
// after the last), count, freed: size × (copies − 1), order: the groups, most bytes first }.
// One pass puts every file into a hash table by its key; the files a key gathers are then
// checked against each other, so a collision of keys never joins two names.
function findDuplicates(d) {
  var F = d.F, size = d.size, cap = 16;
  while (cap < 2 * F) cap *= 2;
  var mask = cap - 1, table = new Int32Array(cap).fill(-1), keys = new Int32Array(F);
  var next = new Int32Array(F), tail = new Int32Array(F), count = new Int32Array(F), j, t;
  for (j = 0; j < F; j++) {
    next[j] = -1;
    if (!(size[j] > 0)) continue;
    var h = keys[j] = duplicateKey(d, j), slot = h & mask;
    for (;;) {
      t = table[slot];
      if (t < 0) { table[slot] = tail[j] = j; count[j] = 1; break; }
      if (keys[t] === h && size[t] === size[j]) { next[tail[t]] = j; tail[t] = j; count[t]++; break; }
      slot = (slot + 1) & mask;
    }
  }
  table = keys = tail = null;
  var first = [], counts = [];
  function add(chain) {
    for (var k = 0; k < chain.length; k++) next[chain[k]] = k + 1 < chain.length ? chain[k + 1] : -1;
    first.push(chain[0]);
    counts.push(chain.length);
  }
  for (j = 0; j < F; j++) {
    if (count[j] < 2) continue;
    var all = true, n = 0;
    for (t = next[j]; t >= 0 && all; t = next[t]) all = sameFolded(d, j, t);
    if (all) { first.push(j); counts.push(count[j]); continue; }
    // Keys that collided: the names sorted out by their folded text.
    var byName = new Map();
    for (t = j; t >= 0; t = next[t], n++) {
      var s = foldedFileName(d, t), list = byName.get(s);
      if (list) list.push(t); else byName.set(s, [t]);
    }
    byName.forEach(function (chain) { if (chain.length > 1) add(chain); });
  }
  var G = first.length, freed = new Float64Array(G), order = new Int32Array(G), g;
  for (g = 0; g < G; g++) {
    freed[g] = size[first[g]] * (counts[g] - 1);
    order[g] = g;
  }
  order.sort(function (a, b) { return freed[b] - freed[a] || first[a] - first[b]; });
  return { first: Int32Array.from(first), count: Int32Array.from(counts), next: next, freed: freed, order: order };
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
  var f = this.found = findDuplicates(this.d), button = $('ver-duplicados'), copies = 0, bytes = 0;
  for (var g = 0; g < f.first.length; g++) { copies += f.count[g]; bytes += f.freed[g]; }
  this.copies = copies;
  this.bytes = bytes;
  button.textContent = 'Duplicados (' + groupDigits(f.first.length) + ')';
  button.title = countText(copies, 'arquivo', 'arquivos') + ' com o mesmo nome e o mesmo tamanho em mais de um lugar; ' +
    sizeText(bytes) + ' nas cópias a mais';
  button.hidden = f.first.length === 0;
  html.setAttribute('data-duplicados', String(f.first.length));
};

DuplicatesView.prototype.show = function () {
  this.offer();
  var f = this.found, title = $('titulo-lista'), note = $('aviso');
  title.textContent = 'Duplicados: ' + countText(f.first.length, 'grupo', 'grupos') + ' · ' +
    countText(this.copies, 'arquivo', 'arquivos') + ' · ' + sizeText(this.bytes) + ' a liberar';
  title.title = 'O mesmo nome (sem contar maiúsculas) e o mesmo tamanho; arquivos de 0 bytes ficam de fora.';
  note.textContent = f.first.length ? '' : 'Nenhum arquivo aparece em mais de um lugar.';
  note.hidden = f.first.length > 0;
  if (!this.rows) this.makeRows();
  else this.grid.list.draw();
  this.grid.align();
};

// The rows: each group's row, then its copies, in the data's order (volume, then folder) or
// sorted by the column chosen, within the group.
DuplicatesView.prototype.makeRows = function () {
  var f = this.found, G = f.first.length, rows = new Int32Array(G + this.copies), m = 0, g, k, t;
  var grid = this.grid, column = grid.columns[grid.sortColumn], natural = column === this.byFolder && !grid.sortDown;
  for (k = 0; k < G; k++) {
    g = f.order[k];
    rows[m++] = -g - 1;
    for (t = f.first[g]; t >= 0; t = f.next[t]) rows[m++] = t;
  }
  if (!natural) {
    if (!this.groupOf) {
      this.groupOf = new Int32Array(this.d.F);
      for (k = 0, g = 0; k < m; k++) if (rows[k] < 0) g = k; else this.groupOf[rows[k]] = g;
    }
    var groupOf = this.groupOf, copies = new Int32Array(this.copies), c = 0;
    for (k = 0; k < m; k++) if (rows[k] >= 0) copies[c++] = rows[k];
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
  if (e < 0) return this.showGroup(row, -e - 1);
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

// A group's row: the name (as its first copy has it) across the row, how many copies, the
// bytes the extra ones take.
DuplicatesView.prototype.showGroup = function (row, g) {
  var f = this.found, cells = row.children, link = cells[0].firstChild, j = f.first[g];
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
