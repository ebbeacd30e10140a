// The search's results: the folders and files that what was typed in the search field finds,
// in a grid (name, size, modified, folder, and the volume when the page holds several),
// sortable by each column. A search runs in slices; html's data-buscando is set while one runs,
// and data-busca holds the number of hits once it is done.

function HitsView(app, d) {
  var self = this, field = $('busca');
  this.app = app;
  this.d = d;
  this.index = null;  // every name but the volumes' roots', folded (made once the tree is shown)
  this.spans = null;  // where the index's lines lie among the entries (nameSpans)
  this.hits = null;   // Int32Array of entries (a folder's index, or M + a file's), or null
  this.order = null;  // the hits in the order sorted by, or null for the data's own order
  this.query = '';
  this.job = null;    // the search running, if any
  this.searches = 0;  // bumped by each search: an older one's answer is dropped
  this.wantFocus = false;
  var columns = [
    { head: 'Nome', cls: 'c-nome', width: 'minmax(0, 1.2fr)',
      make: function (cell) { var a = document.createElement('a'); a.tabIndex = -1; cell.appendChild(a); },
      show: function (cell, it) {
        var link = cell.firstChild;
        link.textContent = it.name;
        if (it.link) link.href = it.link.href; else link.removeAttribute('href');
        link.title = it.link ? '' : 'Mostrar esta pasta na árvore';
      },
      key: function (k) { return self.index.line(self.index.lineOfEntry(k)); } },
    sizeColumn(d, function (k) { return k - d.M; }),
    { head: 'Modificado em', cls: 'c-data', width: '11.5rem',
      show: function (cell, it) { cell.textContent = it.j < 0 ? '' : dateText(d.mod[it.j]); },
      key: function (k) { return k < d.M ? -Infinity : d.mod[k - d.M]; } },
    { head: 'Pasta', cls: 'c-pasta', width: 'minmax(0, 1fr)',
      make: function (cell) {
        var where = document.createElement('button');
        where.type = 'button';
        where.tabIndex = -1;
        where.className = 'onde';
        where.title = 'Mostrar esta pasta na árvore';
        cell.appendChild(where);
      },
      show: function (cell, it) { cell.firstChild.textContent = folderPath(d, it.folder); },
      key: function (k) { return self.folderOf(k); } }
  ];
  if (d.volumes.length > 1) {
    columns.push({ head: 'Volume', cls: 'c-vol', width: '9rem',
      show: function (cell, it) { cell.textContent = d.volumes[volumeOfFolder(d, it.folder)].name; },
      key: function (k) { return fold(d.volumes[volumeOfFolder(d, self.folderOf(k))].name); } });
  }
  this.grid = new Grid($('achados'), columns, {
    rowClass: 'linha arquivo achado', sort: -1,
    id: function (r) { return 'achado-' + r; },
    item: function (r, row) { return self.item(r, row); },
    sorted: function () { self.sort(); self.list.show(self.hits.length, self.list.active); },
    key: function (ev) { return self.key(ev); },
    click: function (r, ev) {
      var k = self.entryAt(r);
      self.list.moveTo(r);
      if (ev.target.closest('button.onde')) app.select(self.folderOf(k), 'push');
      else if (k < d.M) app.select(k, 'push');
      else return;
      app.focusTree();
    }
  });
  this.list = this.grid.list;
  this.box = this.list.focused;
  field.addEventListener('input', function () { self.search(field.value); });
  field.addEventListener('keydown', function (ev) {
    if (ev.key === 'Enter' || ev.key === 'ArrowDown') {
      if (field.value !== self.query) self.search(field.value);
      if (self.job) self.wantFocus = true; else self.reopen();
      ev.preventDefault();
    } else if (ev.key === 'Escape' && field.value) {
      field.value = '';
      self.search('');
      ev.preventDefault();
    }
  });
  $('voltar-busca').addEventListener('click', function () { self.reopen(); });
}

// Indexes the names; the search field answers from then on.
HitsView.prototype.start = function () {
  var d = this.d, field = $('busca');
  // Folding every name once here keeps each search a plain scan (every name but the roots').
  var spans = this.spans = nameSpans(d), n = 0;
  for (var k = 0; k < spans.length; k++) n += spans[k].count;
  this.index = new Index(spansText(d, spans), n, spans);
  field.disabled = false;
  if (field.value) this.search(field.value); // the browser kept what was typed before a reload
};

// The entries (a folder's index, or M + a file's) whose names hold the query, all at once.
HitsView.prototype.find = function (query) { return this.index.find(query); };

// Starts a search for `query`, dropping the one running; its first slice runs now, so a
// small catalogue has its results before this returns.
HitsView.prototype.search = function (query) {
  var self = this, status = $('busca-estado'), token = ++this.searches;
  if (this.job) this.job.cancel();
  this.job = null;
  this.query = query;
  this.wantFocus = false;
  html.removeAttribute('data-busca');
  if (!query) {
    this.hits = null;
    status.textContent = '';
    html.removeAttribute('data-buscando');
    this.app.showFiles();
    return;
  }
  html.setAttribute('data-buscando', '1');
  // How far a long search has come, said at once and then at most four times a second (the
  // status is read out as it changes).
  var said = -Infinity;
  var job = new Search(this.index, this.d, query, function (share) {
    var now = performance.now();
    if (token !== self.searches || now - said < 250) return;
    said = now;
    status.textContent = 'Procurando… ' + Math.floor(share * 100) + '%';
  }, function (hits, errors) {
    if (token === self.searches) self.found(hits, errors);
  });
  if (token === this.searches && html.hasAttribute('data-buscando')) this.job = job;
};

// The search is done: its hits shown, counted and summed.
HitsView.prototype.found = function (hits, errors) {
  var d = this.d, folders = 0, bytes = 0;
  this.job = null;
  for (var k = 0; k < hits.length; k++) {
    if (hits[k] < d.M) folders++; else bytes += d.size[hits[k] - d.M];
  }
  this.hits = hits;
  this.sort();
  $('busca-estado').textContent = errors.length ? errors.join(' · ') : hits.length === 0 ? 'Nada encontrado.' :
    countText(hits.length, 'resultado', 'resultados') + (folders ? ' (' + countText(folders, 'pasta', 'pastas') +
    ', ' + countText(hits.length - folders, 'arquivo', 'arquivos') + ')' : '') + ' · ' + sizeText(bytes);
  this.showTitle();
  this.list.show(hits.length, 0, true);
  this.grid.align();
  html.setAttribute('data-busca', String(hits.length));
  html.removeAttribute('data-buscando');
  if (this.wantFocus) this.reopen();
};

HitsView.prototype.sort = function () {
  var column = this.grid.columns[this.grid.sortColumn], hits = this.hits;
  this.order = null;
  if (!column || !hits) return;
  var at = sortedPositions(hits, [{ column: column, down: this.grid.sortDown }]);
  for (var k = 0; k < at.length; k++) at[k] = hits[at[k]];
  this.order = at;
};

HitsView.prototype.entryAt = function (r) { return this.order ? this.order[r] : this.hits[r]; };

// The folder that entry k lies in.
HitsView.prototype.folderOf = function (k) {
  return k < this.d.M ? this.d.parent[k] : folderOfFile(this.d, k - this.d.M);
};

HitsView.prototype.showTitle = function () {
  $('titulo-lista').textContent = 'Resultados de “' + this.query + '”';
  this.app.showPanel('hits');
};

// Back to the last search's results, from whatever the right side showed.
HitsView.prototype.reopen = function () {
  this.wantFocus = false;
  if (!this.hits) return;
  this.showTitle();
  this.list.draw();
  this.grid.align();
  this.box.focus();
};

// Enter opens the active hit; Escape, or Up on the first row, goes back to the search field.
HitsView.prototype.key = function (ev) {
  var list = this.list;
  if (ev.key === 'Enter') {
    if (list.n > 0) this.open(this.entryAt(list.active));
  } else if (ev.key === 'Escape' || (ev.key === 'ArrowUp' && list.active === 0)) $('busca').focus();
  else return false;
  return true;
};

// A folder is shown in the tree; a file is opened.
HitsView.prototype.open = function (k) {
  if (k < this.d.M) { this.app.select(k, 'push'); this.app.focusTree(); }
  else location.href = fileHref(this.d, k - this.d.M).href;
};

// Row r: what its cells show (a folder's name is no link: a click shows it in the tree).
HitsView.prototype.item = function (r, row) {
  var d = this.d, k = this.entryAt(r), j = k - d.M;
  if (k < d.M) {
    row.className = 'linha arquivo achado e-pasta';
    return { e: k, j: -1, name: folderName(d, k), link: null, folder: d.parent[k] };
  }
  var link = fileHref(d, j);
  row.className = 'linha arquivo achado' + (d.attr[j] & (A_HIDDEN | A_SYSTEM) ? ' oculta' : '') +
    (link.broken ? ' quebrado' : '');
  return { e: k, j: j, name: fileName(d, j), link: link, folder: folderOfFile(d, j) };
};
