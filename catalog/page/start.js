// Start-up: the data block read, the views made and tied together (which one the right side
// shows, the folder selected, the address), the folders not read listed under the header.

function Viewer(d) {
  this.d = d;
  this.mode = 'files';  // what the right side shows: 'files', 'hits', 'changes' or 'duplicates'
  this.tree = new TreeView(this, d);
  this.files = new FilesView(this, d);
  this.hits = new HitsView(this, d);
  this.changes = new ChangesView(this, d);
  this.duplicates = new DuplicatesView(this, d);
}

Viewer.prototype.showPanel = function (mode) {
  this.mode = mode;
  $('arquivos').hidden = mode !== 'files';
  $('achados').hidden = mode !== 'hits';
  $('mudancas').hidden = $('filtro').hidden = $('filtro-estado').hidden = mode !== 'changes';
  $('duplicados').hidden = mode !== 'duplicates';
  $('voltar-busca').hidden = mode === 'hits' || !this.hits.hits;
  $('ver-mudancas').setAttribute('aria-pressed', mode === 'changes' ? 'true' : 'false');
  $('ver-duplicados').setAttribute('aria-pressed', mode === 'duplicates' ? 'true' : 'false');
  if (mode === 'hits') $('aviso').hidden = true;
  $('titulo-lista').removeAttribute('title');
};

// Shows folder i: selected in the tree, its files on the right. how: as goTo's.
Viewer.prototype.select = function (i, how) {
  this.tree.show(i);
  this.showFiles();
  goTo(folderHash(this.d, i), how);
};

// The selected folder's files on the right.
Viewer.prototype.showFiles = function () {
  this.showPanel('files');
  this.files.show(this.tree.selected);
};

// how: as goTo's.
Viewer.prototype.showChanges = function (how) {
  this.showPanel('changes');
  this.changes.show();
  goTo(CHANGES_HASH, how);
};

Viewer.prototype.showDuplicates = function (how) {
  this.showPanel('duplicates');
  this.duplicates.show();
  goTo(DUPLICATES_HASH, how);
};

Viewer.prototype.focusTree = function () { this.tree.list.box.focus(); };

// The folders that could not be read, listed under the header.
function listProblems(app, d) {
  var list = d.problems, box = $('problemas'), LIMIT = 200;
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
    li.appendChild(document.createTextNode(' — ' + (d.flags[i] & F_UNREADABLE ? '' : 'lida em parte: ') +
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
    if (btn) { app.select(btn.folder, 'push'); app.focusTree(); }
  });
  box.appendChild(det);
  box.hidden = false;
}

function fail(message) {
  $('titulo-lista').textContent = 'Não foi possível mostrar este catálogo: ' + message + '.';
  $('arquivos').hidden = true;
  html.setAttribute('data-erro', message);
}

function start() {
  var block = $('tombarel-dados'), d;
  try {
    d = read(block ? block.textContent : '');
  } catch (e) {
    // Whatever the data holds, the page says it could not read it.
    fail(e instanceof Failure ? e.message : 'os dados não se entendem (' + e + ')');
    return;
  }
  derive(d);
  deriveChanges(d);
  var app = new Viewer(d), at = addressed(d);
  listProblems(app, d);
  followAddress(app, d);
  app.select(at.folder, 'none');
  app.hits.start();
  if (d.cmp) app.changes.offer(at.view === 'changes');
  if (at.view === 'duplicates') app.showDuplicates('none');
  html.setAttribute('data-pronto', '1');
  if (window.performance && performance.mark) performance.mark('tombarel-pronto');
  // The button to the duplicates is offered once they are found, after the page is usable.
  if (at.view !== 'duplicates') setTimeout(function () { app.duplicates.offer(); }, 50);
}

start();
