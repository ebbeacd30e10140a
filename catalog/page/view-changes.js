// The changes since the earlier catalogue: every file added, changed or removed, grouped by
// folder (a row for the folder, then its changes), sorted within the groups, filtered by name.

function ChangesView(app, d) {
  var self = this, filter = $('filtro');
  this.app = app;
  this.d = d;
  this.rows = null;       // a folder's row is -(folder + 1), a change's its entry; made when first shown
  this.groupSizes = null; // on a folder's row, how many changes follow it
  this.shown = 0;         // how many changes the filter lets through
  this.goneIndex = null;  // the removed files' names, indexed when the filter first needs them
  var byFolder = {
    head: 'Pasta', cls: 'c-pasta', width: 'minmax(0, 1fr)',
    show: function (cell, it) { cell.textContent = it.where; cell.title = it.full; },
    key: function (e) { return entryFolder(d, e); }
  };
  var byName = {
    head: 'Nome', cls: 'c-nome', width: 'minmax(0, 1.5fr)', make: makeNameCell,
    show: function (cell, it) {
      var link = cell.firstChild;
      link.textContent = it.name;
      if (it.link) link.href = it.link.href; else link.removeAttribute('href');
      link.title = '';
      cell.lastChild.textContent = '';
    },
    key: function (e) { return shownName(d, e).toUpperCase(); }
  };
  this.byFolder = byFolder;
  this.byName = byName;
  this.grid = new Grid($('mudancas'), [byName, byFolder, {
    head: 'Mudança', cls: 'c-tipo', width: '11.5rem',
    show: function (cell, it) { cell.textContent = self.what(it); },
    key: function (e) { return entryKind(d, e); }
  }, sizeColumn(d), {
    head: 'Modificado em', cls: 'c-data', width: '11.5rem',
    show: function (cell, it) { cell.textContent = dateText(entryMod(d, it.e)); },
    key: function (e) { return entryMod(d, e); }
  }], {
    rowClass: 'linha arquivo mudanca', sort: 1,
    id: function (r) { return 'mudanca-' + r; },
    item: function (r, row) { return self.item(r, row); },
    sorted: function () { self.makeRows(); },
    key: function (ev) {
      if (ev.key !== 'Enter') return false;
      var v = self.grid.list.n ? self.rows[self.grid.list.active] : d.F;
      if (v < 0) { app.select(-v - 1, 'push'); app.focusTree(); }
      else if (v < d.F) location.href = fileHref(d, v).href;
      return true;
    },
    click: function (r) {
      var v = self.rows[r];
      self.grid.list.moveTo(r);
      if (v < 0) { app.select(-v - 1, 'push'); app.focusTree(); }
    }
  });
  filter.addEventListener('input', function () { self.makeRows(); });
  filter.addEventListener('keydown', function (ev) {
    if (ev.key === 'Enter' || ev.key === 'ArrowDown') { self.grid.list.focus(); ev.preventDefault(); }
    else if (ev.key === 'Escape' && filter.value) { filter.value = ''; self.makeRows(); ev.preventDefault(); }
  });
}

// The button that opens the view, and what its title says; open: shown at once.
ChangesView.prototype.offer = function (open) {
  var d = this.d, c = d.cmp, app = this.app, button = $('ver-mudancas');
  button.textContent = 'Mudanças (' + groupDigits(c.total) + ')';
  button.hidden = false;
  this.title = 'Mudanças: ' + countText(c.added.length, 'adicionado', 'adicionados') + ' · ' +
    countText(c.nR, 'removido', 'removidos') + ' · ' + countText(c.changed.length, 'alterado', 'alterados');
  // Since when: each compared volume's earlier catalogue.
  var since = d.volumes.filter(function (v) { return v.compared; }).map(function (v) {
    var h = v.head, when = h.anterior ? dateText(Date.parse(h.anterior) / 1000) : '';
    return (d.collection ? v.name + ': d' : 'D') + 'esde o catálogo ' + (h.comparado ? h.comparado + ' ' : 'anterior ') +
      (when ? 'de ' + when : '');
  });
  this.more = since.join('\n') + '\n' + sizeText(c.gained) + ' ganhos · ' + sizeText(c.lost) + ' perdidos';
  button.title = this.title + '\n' + this.more;
  button.addEventListener('click', function () {
    if (app.mode === 'changes') app.select(app.tree.selected, 'push');
    else app.showChanges('push');
  });
  if (open) app.showChanges('none');
};

ChangesView.prototype.show = function () {
  var title = $('titulo-lista');
  title.textContent = this.title;
  title.title = this.more;
  if (!this.rows) this.makeRows();
  else { this.grid.list.draw(); this.note(); }
  this.grid.align();
};

// Makes the rows: the changes the filter lets through, grouped by folder, sorted.
ChangesView.prototype.makeRows = function () {
  var d = this.d, c = d.cmp, F = d.F, query = $('filtro').value, k, n = 0, found;
  var all = new Int32Array(c.total), keep = null, keepGone = null;
  if (query && !matchesAll(query)) {
    keep = new Uint8Array(F);
    found = this.app.hits.find(query);
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
  all = all.subarray(0, n);

  // The groups come first, then the column sorted by, then the names.
  var grid = this.grid, column = grid.columns[grid.sortColumn], by = [{ column: this.byFolder }];
  if (column !== this.byFolder && column !== this.byName) by.push({ column: column });
  by.push({ column: this.byName });
  for (k = 0; k < by.length; k++) by[k].down = by[k].column === column && grid.sortDown;
  var at = sortedPositions(all, by);

  var rows = new Int32Array(2 * n), sizes = new Int32Array(2 * n), m = 0, head = -1, last = -1;
  for (k = 0; k < n; k++) {
    var e = all[at[k]], folder = entryFolder(d, e);
    if (folder !== last) { head = m; rows[m++] = -folder - 1; last = folder; }
    sizes[head]++;
    rows[m++] = e;
  }
  this.rows = rows.subarray(0, m);
  this.groupSizes = sizes;
  this.shown = n;
  $('filtro-estado').textContent = keep ? groupDigits(n) + ' de ' + countText(c.total, 'mudança', 'mudanças') : '';
  grid.list.show(m, 0, true);
  this.note();
  html.setAttribute('data-mudancas', String(n));
};

ChangesView.prototype.note = function () {
  var note = $('aviso'), text = '';
  if (this.shown === 0) {
    text = this.d.cmp.total === 0 ? 'Nada mudou desde o catálogo anterior.' : 'Nenhuma mudança com esse nome.';
  }
  note.textContent = text;
  note.hidden = !text;
};

// A change's row: its name, its folder below the root ("\Fotos\2019", the full path in the
// tooltip); a removed file's folders that went with it join its folder.
ChangesView.prototype.item = function (r, row) {
  var d = this.d, v = this.rows[r];
  row.title = '';
  if (v < 0) return this.showGroup(row, -v - 1, this.groupSizes[r]);
  var full = folderPath(d, entryFolder(d, v)), kind = entryKind(d, v), name = entryName(d, v), link = null;
  // In a collection the folder begins with its volume's name.
  var where = d.collection ? full : '\\' + full.slice(folderPath(d, 0).length).replace(/^\\/, '');
  if (kind === K_REMOVED) {
    var cut = name.lastIndexOf('\\');
    if (cut >= 0) {
      var sub = name.slice(0, cut);
      where += (where.length > 1 ? '\\' : '') + sub;
      full += (full.charAt(full.length - 1) === '\\' ? '' : '\\') + sub;
      name = name.slice(cut + 1);
    }
  } else link = fileHref(d, v);
  if (kind === K_CHANGED) row.title = beforeText(d, v);
  row.className = 'linha arquivo mudanca ' + KINDS[kind] + (link && link.broken ? ' quebrado' : '');
  return { e: v, kind: kind, name: name, where: where, full: full, link: link };
};

// A folder's row: its path across the whole row, how many changes follow.
ChangesView.prototype.showGroup = function (row, folder, count) {
  var cells = row.children, link = cells[0].firstChild;
  row.className = 'linha arquivo mudanca grupo';
  link.removeAttribute('href');
  link.textContent = folderPath(this.d, folder);
  link.title = 'Mostrar esta pasta na árvore';
  cells[0].lastChild.textContent = countText(count, 'mudança', 'mudanças');
  for (var k = 1; k < cells.length; k++) { cells[k].textContent = ''; cells[k].removeAttribute('title'); }
  return null;
};

// The kind of change; for a changed file, by how much it grew or shrank (or only its date).
ChangesView.prototype.what = function (it) {
  var c = this.d.cmp, what = KINDS[it.kind];
  if (it.kind === K_CHANGED) {
    var slot = changedSlot(c, it.e), grew = slot < 0 ? 0 : entrySize(this.d, it.e) - c.oldSize[slot];
    what += ' (' + (grew ? (grew > 0 ? '+' : '−') + sizeText(Math.abs(grew)) : 'data') + ')';
  }
  return what;
};
