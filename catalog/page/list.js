// One virtual list: only the rows in view are in the document. It owns its rows, its active
// row, the keys that move it (arrows, Page Up/Down, Home/End) and the ARIA state that tells of
// them; what a row shows is its owner's, which knows nothing of scrolling.

var ROW = 24;             // every list row, in CSS pixels (catalogo.css says the same)
var MAX_SPACE = 8000000;  // browsers cap an element's height; taller lists are scaled

// box: the scrolling element, its first child a spacer as tall as the list. parts:
//   make()        a new row element, empty;   fill(row, r)  shows row r in it
//   id(r)         row r's id, which aria-activedescendant names
//   grid          the role=grid element, when the rows are a grid's: its aria-rowcount counts
//                 them and a header row, and row r is aria-rowindex r + 2
//   key(ev)       the owner's keys, asked first: true when it took the key
//   move(r)       what the keys do with row r (by default it becomes the active row)
//   click(r, ev)  what a click on row r does (by default it becomes the active row)
//   focus         the element that takes the focus, the keys and aria-activedescendant, when
//                 not the box: a grid's own element (a row group may not name an active row)
function VirtualList(box, parts) {
  var focus = this.focus = parts.focus || box;
  this.box = box;
  this.space = box.firstElementChild;
  this.parts = parts;
  this.n = 0;
  this.active = 0;
  this.pool = [];
  this.shown = 0;
  var self = this;
  box.addEventListener('scroll', function () { self.draw(); }, { passive: true });
  window.addEventListener('resize', function () { self.draw(); });
  box.addEventListener('click', function (ev) {
    var r = self.rowOf(ev.target);
    if (r < 0) return;
    if (parts.click) parts.click(r, ev);
    else self.moveTo(r);
  });
  focus.addEventListener('keydown', function (ev) {
    if (focus !== box && ev.target !== focus && !box.contains(ev.target)) return; // a header's
    if (parts.key && parts.key(ev)) { ev.preventDefault(); return; }
    var m = moveKey(ev.key, self.active, self.n, self.page());
    if (m < 0) return;
    ev.preventDefault();
    if (parts.move) parts.move(m);
    else self.moveTo(m);
  });
}

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

// The list now has n rows, row `active` the active one; `top` scrolls back to the first.
VirtualList.prototype.show = function (n, active, top) {
  this.n = n;
  this.active = active;
  if (this.parts.grid) this.parts.grid.setAttribute('aria-rowcount', n + 1);
  if (top) this.box.scrollTop = 0;
  this.space.style.height = Math.min(n * ROW, MAX_SPACE) + 'px';
  this.draw();
  this.mark();
};

VirtualList.prototype.moveTo = function (r) {
  this.active = r;
  this.mark();
  this.reveal(r);
};

VirtualList.prototype.mark = function () {
  if (this.n > 0) this.focus.setAttribute('aria-activedescendant', this.parts.id(this.active));
  else this.focus.removeAttribute('aria-activedescendant');
};

// The row a click landed in, or -1.
VirtualList.prototype.rowOf = function (target) {
  for (var el = target; el && el !== this.box; el = el.parentNode) {
    if (el.parentNode === this.box) return el.listRow === undefined ? -1 : el.listRow;
  }
  return -1;
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
  var count = Math.max(0, last - first), parts = this.parts;
  while (this.pool.length < count) this.pool.push(parts.make());
  for (var k = 0; k < count; k++) {
    var row = this.pool[k], i = first + k;
    row.style.top = (top + i * ROW - off) + 'px';
    row.listRow = i;
    row.id = parts.id(i);
    if (parts.grid) row.setAttribute('aria-rowindex', i + 2);
    row.setAttribute('aria-selected', i === this.active ? 'true' : 'false');
    parts.fill(row, i);
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
