// A grid made from a table of columns, one entry a column: its header, its rows' cells, its
// sort and its printed form all come from the table, so adding a column is adding one entry.
// A column:
//   head    the header's text;   cls  the class of its header and cells;   width  its CSS track
//   make(cell)       what the cell holds besides text (optional)
//   show(cell, it)   fills the cell from the row's item (what the owner's item(r) made)
//   key(e)           what entry e sorts by: a number, or a text (compared as code units)
//   print(e)         entry e's text in a printout (only the tables that print have it)
//   inOrder          the entries come in this column's order already (optional)

// grid: the role=grid element, holding a header row (.cabeca) and the rows' scrolling box
// (.rolagem). parts: as a VirtualList's, with item(r, row) in place of fill: it sets what
// belongs to the whole row and returns the item the cells show, or null when it showed the
// row itself; rowClass, the class of a new row; sort, the column sorted by at first (-1: none);
// sorted(), called when a header's click changed the sort.
function Grid(grid, columns, parts) {
  var self = this, tracks = [];
  this.columns = columns;
  this.sortColumn = parts.sort;
  this.sortDown = false;
  this.head = grid.querySelector('.cabeca');
  this.body = grid.querySelector('.rolagem');
  for (var k = 0; k < columns.length; k++) {
    var cell = document.createElement('div'), button = document.createElement('button');
    cell.setAttribute('role', 'columnheader');
    cell.className = columns[k].cls;
    button.type = 'button';
    button.setAttribute('data-coluna', k);
    button.textContent = columns[k].head;
    cell.appendChild(button);
    this.head.appendChild(cell);
    tracks.push(columns[k].width);
  }
  grid.style.setProperty('--colunas', tracks.join(' '));
  this.markSort();
  this.head.addEventListener('click', function (ev) {
    var b = ev.target.closest('button');
    if (!b) return;
    var col = +b.getAttribute('data-coluna');
    if (col === self.sortColumn) self.sortDown = !self.sortDown;
    else { self.sortColumn = col; self.sortDown = false; }
    self.markSort();
    parts.sorted();
  });
  window.addEventListener('resize', function () { self.align(); });
  this.list = new VirtualList(this.body, {
    make: function () { return self.makeRow(parts.rowClass); },
    fill: function (row, r) {
      var it = parts.item(r, row);
      if (it) for (var k = 0; k < columns.length; k++) columns[k].show(row.children[k], it);
    },
    id: parts.id, grid: grid, key: parts.key, click: parts.click
  });
}

Grid.prototype.makeRow = function (cls) {
  var row = document.createElement('div');
  row.setAttribute('role', 'row');
  row.className = cls;
  for (var k = 0; k < this.columns.length; k++) {
    var cell = document.createElement('div');
    cell.setAttribute('role', 'gridcell');
    cell.className = this.columns[k].cls;
    if (this.columns[k].make) this.columns[k].make(cell);
    row.appendChild(cell);
  }
  return row;
};

Grid.prototype.markSort = function () {
  var heads = this.head.children;
  for (var h = 0; h < heads.length; h++) {
    if (h === this.sortColumn) heads[h].setAttribute('aria-sort', this.sortDown ? 'descending' : 'ascending');
    else heads[h].removeAttribute('aria-sort');
  }
};

// The header's columns line up with the rows whatever room the scroll bar takes.
Grid.prototype.align = function () {
  this.head.style.paddingRight = (this.body.offsetWidth - this.body.clientWidth) + 'px';
};

// The positions 0 .. n - 1 of the entries, ordered by the columns given (each { column, down },
// the first deciding first), equal ones in the entries' own order whichever the direction.
function sortedPositions(entries, by) {
  var n = entries.length, keys = [], signs = [], k;
  for (k = 0; k < by.length; k++) {
    keys.push(keyValues(entries, by[k].column.key));
    signs.push(by[k].down ? -1 : 1);
  }
  var at = new Int32Array(n), count = keys.length;
  for (k = 0; k < n; k++) at[k] = k;
  at.sort(function (x, y) {
    for (var q = 0; q < count; q++) {
      var a = keys[q][x], b = keys[q][y];
      if (a !== b) return a < b ? -signs[q] : signs[q];
    }
    return x - y;
  });
  return at;
}

// The entries' keys as numbers: texts become their ranks among the distinct texts.
function keyValues(entries, key) {
  var n = entries.length, out = new Float64Array(n), k;
  if (n === 0 || typeof key(entries[0]) !== 'string') {
    for (k = 0; k < n; k++) out[k] = key(entries[k]);
    return out;
  }
  var texts = new Array(n), rank = new Map();
  for (k = 0; k < n; k++) rank.set(texts[k] = key(entries[k]), 0);
  var distinct = Array.from(rank.keys()).sort();
  for (k = 0; k < distinct.length; k++) rank.set(distinct[k], k);
  for (k = 0; k < n; k++) out[k] = rank.get(texts[k]);
  return out;
}

// A printout's table of n rows, entryAt(r) the entry on row r.
function printTable(columns, n, entryAt) {
  var table = document.createElement('table'), head = table.insertRow(), k;
  for (k = 0; k < columns.length; k++) {
    var th = document.createElement('th');
    th.textContent = columns[k].head;
    head.appendChild(th);
  }
  for (var r = 0; r < n; r++) {
    var e = entryAt(r), row = table.insertRow();
    for (k = 0; k < columns.length; k++) {
      var td = row.insertCell();
      td.className = columns[k].cls;
      td.textContent = columns[k].print(e);
    }
  }
  return table;
}

// ---- Columns both tables have -------------------------------------------------------------

// A name cell: the link, then the word that tells what became of the file.
function makeNameCell(cell) {
  var link = document.createElement('a'), kind = document.createElement('span');
  link.tabIndex = -1;
  kind.className = 'estado';
  cell.appendChild(link);
  cell.appendChild(kind);
}

// An entry's size, the exact number of bytes in its tooltip. of(e), when given, is the file
// a grid's entry stands for, below 0 for a folder: a folder has no size of its own.
function sizeColumn(d, of) {
  var size = function (e) { var f = of ? of(e) : e; return f < 0 ? -1 : entrySize(d, f); };
  return {
    head: 'Tamanho', cls: 'c-tam', width: '7.5rem',
    show: function (cell, it) {
      var bytes = size(it.e);
      cell.textContent = bytes < 0 ? '' : sizeText(bytes);
      cell.title = bytes < 0 ? '' : groupDigits(bytes) + ' bytes';
    },
    key: size,
    print: function (e) { return groupDigits(size(e)); }
  };
}
