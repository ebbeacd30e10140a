// The search's results: the folders and files whose names hold what was typed in the search
// field, each with the folder it lies in.

function HitsView(app, d) {
  var self = this, box = this.box = $('resultados'), field = $('busca');
  this.app = app;
  this.d = d;
  this.index = null;  // every name but the volumes' roots', folded (made once the tree is shown)
  this.spans = null;  // where the index's lines lie among the entries (nameSpans)
  this.hits = null;   // Int32Array of entries (a folder's index, or M + a file's), or null
  this.query = '';
  this.list = new VirtualList(box, {
    make: makeHitRow,
    fill: function (row, r) { self.fill(row, r); },
    id: function (r) { return 'achado-' + r; },
    key: function (ev) {
      if (ev.key !== 'Enter' || !self.hits) return false;
      if (self.hits.length) self.open(self.hits[self.list.active]);
      return true;
    },
    click: function (r, ev) {
      var k = self.hits[r];
      self.list.moveTo(r);
      if (ev.target.closest('button.onde')) app.select(k < d.M ? d.parent[k] : folderOfFile(d, k - d.M), 'push');
      else if (k < d.M) app.select(k, 'push');
      else return;
      app.focusTree();
    }
  });
  field.addEventListener('input', function () { self.search(field.value); });
  field.addEventListener('keydown', function (ev) {
    if (ev.key === 'Enter' || ev.key === 'ArrowDown') {
      if (field.value !== self.query) self.search(field.value);
      self.reopen();
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
  this.index = new Index(spansText(d, spans), n, 0);
  field.disabled = false;
  if (field.value) this.search(field.value); // the browser kept what was typed before a reload
};

// The entries (a folder's index, or M + a file's) whose names hold the query, in order.
HitsView.prototype.find = function (query) {
  return entriesOfLines(this.spans, this.index.find(query));
};

HitsView.prototype.search = function (query) {
  var d = this.d, status = $('busca-estado');
  this.query = query;
  if (!query) {
    this.hits = null;
    status.textContent = '';
    this.app.showFiles();
    html.removeAttribute('data-busca');
    return;
  }
  var hits = this.find(query), folders = 0;
  while (folders < hits.length && hits[folders] < d.M) folders++;
  this.hits = hits;
  status.textContent = hits.length === 0 ? 'Nada encontrado.' :
    countText(hits.length, 'encontrado', 'encontrados') + ' (' +
    countText(folders, 'pasta', 'pastas') + ', ' + countText(hits.length - folders, 'arquivo', 'arquivos') + ')';
  this.showTitle();
  this.list.show(hits.length, 0, true);
  html.setAttribute('data-busca', String(hits.length));
};

HitsView.prototype.showTitle = function () {
  $('titulo-lista').textContent = 'Resultados de “' + this.query + '”';
  this.app.showPanel('hits');
};

// Back to the last search's results, from whatever the right side showed.
HitsView.prototype.reopen = function () {
  if (!this.hits) return;
  this.showTitle();
  this.list.draw();
  this.box.focus();
};

// A folder is shown in the tree; a file is opened.
HitsView.prototype.open = function (k) {
  if (k < this.d.M) { this.app.select(k, 'push'); this.app.focusTree(); }
  else location.href = fileHref(this.d, k - this.d.M).href;
};

function makeHitRow() {
  var row = document.createElement('div');
  row.setAttribute('role', 'listitem');
  row.className = 'linha achado';
  var link = document.createElement('a');
  link.tabIndex = -1;
  var where = document.createElement('button');
  where.type = 'button';
  where.tabIndex = -1;
  where.className = 'onde';
  where.title = 'Mostrar esta pasta na árvore';
  row.appendChild(link);
  row.appendChild(where);
  return row;
}

HitsView.prototype.fill = function (row, r) {
  var d = this.d, k = this.hits[r], link = row.firstChild, where = row.lastChild;
  if (k < d.M) {
    link.removeAttribute('href');
    link.textContent = folderName(d, k);
    row.className = 'linha achado e-pasta';
    where.textContent = folderPath(d, d.parent[k]);
  } else {
    var j = k - d.M, target = fileHref(d, j);
    link.href = target.href;
    link.textContent = fileName(d, j);
    row.className = 'linha achado' + (target.broken ? ' quebrado' : '');
    where.textContent = folderPath(d, folderOfFile(d, j));
  }
};
