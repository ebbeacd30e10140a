// The folder tree: one row per folder whose parents are all open, in the data's pre-order;
// the selected folder is the list's active row. A collection's first level is its volumes
// (the folder that holds them is not a row).

function TreeView(app, d) {
  var self = this, box = $('arvore');
  this.app = app;
  this.d = d;
  this.expanded = new Uint8Array(d.M);
  this.expanded[0] = 1;
  this.visible = new Int32Array(0);
  this.selected = 0;
  this.stamp = 0;  // bumped when folders open or close: a row drawn before is filled again
  this.typed = '';  // what type-ahead has gathered, and when its last key came
  this.typedAt = 0;
  this.list = new VirtualList(box, {
    make: makeFolderRow,
    fill: function (row, r) { self.fill(row, r); },
    id: function (r) { return 'pasta-' + self.visible[r]; },
    key: function (ev) { return self.key(ev); },
    move: function (r) { if (self.visible[r] !== self.selected) app.select(self.visible[r], 'replace'); },
    click: function (r, ev) {
      if (ev.target.classList.contains('seta')) self.toggle(self.visible[r]);
      else app.select(self.visible[r], 'push');
      box.focus();
    }
  });
  box.addEventListener('dblclick', function (ev) {
    var r = self.list.rowOf(ev.target);
    if (r >= 0 && !ev.target.classList.contains('seta')) self.toggle(self.visible[r]);
  });
  this.computeVisible();
}

TreeView.prototype.computeVisible = function () {
  var d = this.d, out = new Int32Array(d.M), n = 0, i = d.collection ? 1 : 0;
  while (i < d.M) {
    out[n++] = i;
    i = this.expanded[i] ? i + 1 : d.end[i];
  }
  this.visible = out.subarray(0, n);
  this.stamp++;
  this.list.show(n, this.rowOfFolder(this.selected));
};

TreeView.prototype.rowOfFolder = function (i) {
  var v = this.visible, lo = 0, hi = v.length - 1;
  while (lo <= hi) {
    var mid = (lo + hi) >> 1;
    if (v[mid] === i) return mid;
    if (v[mid] < i) lo = mid + 1; else hi = mid - 1;
  }
  return -1;
};

TreeView.prototype.canExpand = function (i) {
  return this.d.end[i] > i + 1 && !(this.d.flags[i] & F_LINK);
};

// Opens folder i's parents, makes it the selected folder and scrolls to it.
TreeView.prototype.show = function (i) {
  var d = this.d, opened = false;
  for (var a = i; a > 0;) {
    a = d.parent[a];
    if (!this.expanded[a]) { this.expanded[a] = 1; opened = true; }
  }
  this.selected = i;
  if (opened) this.computeVisible();
  this.list.moveTo(this.rowOfFolder(i));
};

TreeView.prototype.toggle = function (i, open) {
  if (!this.canExpand(i)) return;
  if (open === undefined) open = !this.expanded[i];
  if (!!this.expanded[i] === open) return;
  this.expanded[i] = open ? 1 : 0;
  // A folder hidden by closing its parent moves the selection up to that parent.
  if (!open && this.selected > i && this.selected < this.d.end[i]) this.app.select(i, 'replace');
  this.computeVisible();
};

TreeView.prototype.key = function (ev) {
  var d = this.d, i = this.selected, to = -1, open = this.canExpand(i) && this.expanded[i];
  switch (ev.key) {
    case 'ArrowRight':
      if (this.canExpand(i) && !open) this.toggle(i, true);
      else if (open) to = i + 1;
      break;
    case 'ArrowLeft':
      if (open) this.toggle(i, false);
      else if (!isVolumeRoot(d, i)) to = d.parent[i];
      break;
    case 'Enter':
      this.app.select(i, 'push');
      if (entryCount(d, i) > 0) this.app.files.focus();
      else this.toggle(i);
      break;
    case '*':
      this.openSiblings(i);
      break;
    default:
      return this.typeAhead(ev);
  }
  if (to >= 0 && to !== i) this.app.select(to, 'replace');
  return true;
};

// Opens folder i and every folder beside it (the root has none).
TreeView.prototype.openSiblings = function (i) {
  var d = this.d, first = i > 0 ? d.parent[i] + 1 : 0, last = i > 0 ? d.end[d.parent[i]] : 1;
  for (var s = first; s < last; s = d.end[s]) if (this.canExpand(s)) this.expanded[s] = 1;
  this.computeVisible();
  this.list.reveal(this.rowOfFolder(i));
};

// Letters typed in a row move to the next shown folder whose name starts with them (case and
// accents aside); letters typed within a second of each other make one prefix.
TreeView.prototype.typeAhead = function (ev) {
  if (ev.key.length !== 1 || ev.ctrlKey || ev.metaKey || ev.altKey) return false;
  var now = Date.now(), more = now - this.typedAt < 1000 && this.typed;
  if (ev.key === ' ' && !more) return false;
  this.typed = (more ? this.typed : '') + foldForTyping(ev.key);
  this.typedAt = now;
  var v = this.visible, n = v.length, at = this.rowOfFolder(this.selected), want = this.typed;
  // A longer prefix may still fit the folder selected; a first letter, or one letter typed
  // again and again, looks past it.
  var again = /^(.)\1+$/.test(want);
  if (again) want = want.charAt(0);
  for (var k = more && !again ? 0 : 1; k <= n; k++) {
    var i = v[(at + k) % n];
    if (foldForTyping(folderName(this.d, i)).lastIndexOf(want, 0) === 0) {
      if (i !== this.selected) this.app.select(i, 'replace');
      break;
    }
  }
  return true;
};

function foldForTyping(s) { return s.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase(); }

function makeFolderRow() {
  var row = document.createElement('div');
  row.setAttribute('role', 'treeitem');
  row.className = 'linha pasta';
  ['seta', 'nome', 'info', 'marca'].forEach(function (cls) {
    var part = document.createElement('span');
    part.className = cls;
    if (cls === 'seta') part.setAttribute('aria-hidden', 'true');
    row.appendChild(part);
  });
  return row;
}

TreeView.prototype.fill = function (row, r) {
  var d = this.d, i = this.visible[r];
  if (row.folder === i && row.stamp === this.stamp) return;
  row.folder = i;
  row.stamp = this.stamp;
  row.setAttribute('aria-level', d.depth[i] + 1);
  row.setAttribute('aria-setsize', i ? d.kids[d.parent[i]] : 1);
  row.setAttribute('aria-posinset', i ? d.place[i] + 1 : 1);
  if (this.canExpand(i)) row.setAttribute('aria-expanded', this.expanded[i] ? 'true' : 'false');
  else row.removeAttribute('aria-expanded');
  row.style.paddingLeft = (4 + d.depth[i] * 16) + 'px';
  var f = d.flags[i], a = d.fattr[i], cls = 'linha pasta';
  if (f & F_UNREADABLE) cls += ' ilegivel';
  else if (f & F_PARTIAL) cls += ' parcial';
  if (f & F_LINK) cls += ' link';
  if (a & (A_HIDDEN | A_SYSTEM)) cls += ' oculta';
  // A link is not followed and a folder not read holds nothing known: no totals to show.
  var info = f & F_LINK || (f & F_UNREADABLE && d.totFiles[i] === 0) ? '' :
    countText(d.totFiles[i], 'arquivo', 'arquivos') + ' · ' + sizeText(d.totBytes[i]);
  var marks = [], volume = d.collection && isVolumeRoot(d, i) ? d.volumes[volumeOfFolder(d, i)] : null;
  row.children[1].textContent = volume ? volume.name : folderName(d, i);
  if (volume) {
    // A volume: what it is beside what it holds, and all of it with its folder in the tooltip.
    cls += ' volume';
    var facts = volumeFacts(volume);
    info += (info ? ' · ' : '') + facts.join(' · ');
    marks.push(volume.path);
    marks.push.apply(marks, facts);
  }
  row.children[2].textContent = info;
  if (f & F_LINK) marks.push('link, não seguido');
  if (a & A_HIDDEN) marks.push('oculta');
  if (a & A_SYSTEM) marks.push('sistema');
  if (f & F_UNREADABLE) marks.push('não lida: ' + (d.reasons[i] || 'motivo desconhecido'));
  else if (f & F_PARTIAL) marks.push('lida em parte: ' + (d.reasons[i] || 'motivo desconhecido'));
  var c = d.cmp;
  if (c && c.notCompared[i]) { cls += ' nao-comparada'; marks.push('não comparada'); }
  if (c && c.below[i]) { cls += ' mudou'; marks.push(countText(c.below[i], 'mudança', 'mudanças')); }
  row.className = cls;
  row.children[3].textContent = (volume ? marks.slice(1 + facts.length) : marks).join(' · ');
  row.title = marks.length ? marks.join('\n') : '';
};
