// A folder's table: its files (and in a comparison the files removed from it), sorted by a
// column; and the printout of it.

var PRINT_LIMIT = 5000;   // rows a printed folder lists

function FilesView(app, d) {
  var self = this;
  this.d = d;
  this.folder = 0;
  this.order = null;  // Int32Array of entries, or null for the data's own order
  this.columns = [
    { head: 'Nome', cls: 'c-nome', width: 'minmax(0, 1fr)', make: makeNameCell, inOrder: true,
      show: function (cell, it) { self.showName(cell, it); },
      key: function (e) { return self.nameKey(e); },
      print: function (e) { var k = entryKind(d, e); return entryName(d, e) + (k ? ' (' + KINDS[k] + ')' : ''); } },
    sizeColumn(d),
    { head: 'Modificado em', cls: 'c-data', width: '11.5rem',
      show: function (cell, it) {
        cell.textContent = dateText(entryMod(d, it.e));
        cell.title = it.kind === K_CHANGED ? beforeText(d, it.e) : '';
      },
      key: function (e) { return entryMod(d, e); },
      print: function (e) { return dateText(entryMod(d, e)); } },
    { head: 'Atributos', cls: 'c-attr', width: '6.5rem',
      show: function (cell, it) { cell.textContent = attrText(entryAttr(d, it.e)); },
      key: function (e) { return attrText(entryAttr(d, e)); },
      print: function (e) { return attrText(entryAttr(d, e)); } }
  ];
  this.grid = new Grid($('arquivos'), this.columns, {
    rowClass: 'linha arquivo', sort: 0,
    id: function (r) { return 'arquivo-' + r; },
    item: function (r, row) { return self.item(r, row); },
    sorted: function () { self.sort(); self.grid.list.show(entryCount(d, self.folder), self.grid.list.active); },
    key: function (ev) {
      var list = self.grid.list;
      if (ev.key === 'Enter') {
        var e = list.n > 0 ? self.entryAt(list.active) : d.F;
        if (e < d.F) location.href = fileHref(d, e).href;
      } else if (ev.key === 'ArrowLeft' || ev.key === 'Backspace') app.focusTree();
      else return false;
      return true;
    }
  });
  window.addEventListener('beforeprint', function () { self.print(); });
  window.addEventListener('afterprint', function () { $('impressao').textContent = ''; });
}

FilesView.prototype.focus = function () { this.grid.list.focus(); };

// Lists folder i.
FilesView.prototype.show = function (i) {
  var d = this.d, f = d.flags[i], text = '';
  this.folder = i;
  var title = folderPath(d, i), v = volumeOfFolder(d, i);
  // A volume's root: what the volume is, after its name.
  if (d.collection && isVolumeRoot(d, i)) title = [title].concat(volumeFacts(d.volumes[v])).join(' · ');
  $('titulo-lista').textContent = title;
  if (v < 0) text = 'Esta coleção não tem volume nenhum.';
  else if (f & F_LINK) text = 'Esta pasta é um link (junção ou vínculo simbólico): o catálogo não o segue.';
  else if (f & F_UNREADABLE) text = 'Esta pasta não pôde ser lida: ' + (d.reasons[i] || 'motivo desconhecido') + '.';
  else if (f & F_PARTIAL) text = 'Esta pasta foi lida só em parte: ' + (d.reasons[i] || 'motivo desconhecido') + '.';
  else if (entryCount(d, i) === 0) text = 'Nenhum arquivo nesta pasta.';
  if (d.cmp && d.cmp.notCompared[i]) {
    text += (text ? ' ' : '') + 'Esta pasta não foi comparada com o catálogo anterior: não pôde ser lida num dos dois.';
  }
  var note = $('aviso');
  note.textContent = text;
  note.hidden = !text;
  this.sort();
  this.grid.list.show(entryCount(d, i), 0, true);
  this.grid.align();
};

FilesView.prototype.sort = function () {
  var d = this.d, i = this.folder, column = this.columns[this.grid.sortColumn];
  if (column.inOrder && entryCount(d, i) === d.own[i]) { this.order = null; return; }
  var entries = folderEntries(d, i), at = sortedPositions(entries, [{ column: column, down: this.grid.sortDown }]);
  for (var k = 0; k < at.length; k++) at[k] = entries[at[k]];
  this.order = at;
};

// The files are in name order: a removed one goes between the two its name falls between.
FilesView.prototype.nameKey = function (e) {
  var d = this.d, first = d.firstFile[this.folder];
  if (e < d.F) return 2 * (e - first) + 1;
  var want = entryName(d, e).toUpperCase(), lo = 0, hi = d.own[this.folder];
  while (lo < hi) {
    var mid = (lo + hi) >> 1;
    if (fileName(d, first + mid).toUpperCase() < want) lo = mid + 1; else hi = mid;
  }
  return 2 * lo;
};

FilesView.prototype.entryAt = function (r) {
  var d = this.d, n = d.own[this.folder];
  if (this.order) return this.order[r];
  return d.firstFile[this.folder] + (this.grid.sortDown ? n - 1 - r : r);
};

FilesView.prototype.item = function (r, row) {
  var d = this.d, e = this.entryAt(r), kind = entryKind(d, e), link = kind === K_REMOVED ? null : fileHref(d, e);
  row.className = 'linha arquivo' + (entryAttr(d, e) & (A_HIDDEN | A_SYSTEM) ? ' oculta' : '') +
    (link && link.broken ? ' quebrado' : '') + (kind ? ' ' + KINDS[kind] : '');
  return { e: e, kind: kind, link: link };
};

FilesView.prototype.showName = function (cell, it) {
  var d = this.d, link = cell.firstChild, kind = cell.lastChild;
  link.textContent = entryName(d, it.e);
  if (!it.link) {
    link.removeAttribute('href');
    link.title = 'Removido desde o catálogo anterior';
  } else {
    link.href = it.link.href;
    link.title = it.link.broken ? 'O nome tem um caractere que não cabe num endereço: o link pode não abrir o arquivo.' : '';
  }
  kind.textContent = KINDS[it.kind];
  kind.title = it.kind === K_CHANGED ? beforeText(d, it.e) : '';
};

// What a printout shows: the folder shown and its files, as a plain table.
FilesView.prototype.print = function () {
  var d = this.d, box = $('impressao'), n = entryCount(d, this.folder), self = this;
  box.textContent = '';
  var h = document.createElement('h2');
  h.textContent = folderPath(d, this.folder) + ' — ' + countText(n, 'arquivo', 'arquivos');
  box.appendChild(h);
  box.appendChild(printTable(this.columns, Math.min(n, PRINT_LIMIT), function (r) { return self.entryAt(r); }));
  if (n > PRINT_LIMIT) {
    var more = document.createElement('p');
    more.textContent = 'E mais ' + countText(n - PRINT_LIMIT, 'arquivo', 'arquivos') + ', não impressos.';
    box.appendChild(more);
  }
};
