// Reading the data block (its format is described in catalog/README.md): the text is kept
// whole, names are found by their starts in it, and every number goes into a typed array.

function Failure(message) { this.message = message; }

// A name is the inside of a JSON string; most carry no escape at all.
function unescapeName(s) {
  if (s.indexOf('\\') < 0) return s;
  try { return JSON.parse('"' + s + '"'); } catch (e) { return s; }
}

function isSection(l) { return l.length === 1 && l >= 'A' && l <= 'Z'; }

// One catalogue block read from text[start]: its own indices (from 0), names found by their
// starts in the whole text; `next` is where the text goes on after the block's last line.
function readBlock(text, start) {
  var p = start;

  function line() {
    var e = text.indexOf('\n', p);
    if (e < 0) throw new Failure('o catálogo termina no meio (foi cortado)');
    var s = text.slice(p, e);
    p = e + 1;
    return s;
  }
  function expect(letter) {
    if (line() !== letter) throw new Failure('falta a seção ' + letter);
  }
  // count lines of base-36 numbers, width fields each (a later version's extra fields are
  // skipped), read in one pass into one array, record after record. A count below zero reads
  // up to the next section's line (a capital letter) or the block's end ('.').
  function records(count, width, what) {
    var open = count < 0, rows = open ? 64 : count;
    var out = new Float64Array(rows * width), r = 0, f = 0, v = 0, neg = false, q = p;
    while (open || r < count) {
      var c = text.charCodeAt(q++);
      if (c >= 48 && c <= 57) v = v * 36 + c - 48;
      else if (c >= 97 && c <= 122) v = v * 36 + c - 87;
      else if (c === 9 || c === 10) {
        if (f < width) out[r * width + f] = neg ? -v : v;
        f++;
        v = 0;
        neg = false;
        if (c === 10) {
          if (f < width) throw new Failure('uma linha da seção ' + what + ' tem campos de menos');
          r++;
          f = 0;
          if (r === rows && open) {
            var more = new Float64Array(out.length * 2);
            more.set(out);
            out = more;
            rows *= 2;
          }
        }
      } else if (c === 45 && v === 0 && !neg) neg = true;
      else if (c !== c) throw new Failure('a seção ' + what + ' foi cortada');
      else if (open && f === 0 && !neg && (q - 1 === p || text.charCodeAt(q - 2) === 10) &&
               (c === 46 || c >= 65 && c <= 90)) { q--; break; }
      else throw new Failure('uma linha da seção ' + what + ' não se entende');
    }
    p = q;
    return open ? out.subarray(0, r * width) : out;
  }
  // The base-36 field text[from, to).
  function number(from, to, what) {
    var v = 0, neg = text.charCodeAt(from) === 45;
    for (var k = neg ? from + 1 : from; k < to; k++) {
      var c = text.charCodeAt(k);
      if (c >= 48 && c <= 57) v = v * 36 + c - 48;
      else if (c >= 97 && c <= 122) v = v * 36 + c - 87;
      else throw new Failure('uma linha da seção ' + what + ' não se entende');
    }
    return neg ? -v : v;
  }

  var first = line().split('\t');
  if (first[0] !== 'tombarel-catalogo') throw new Failure('não são os dados de um catálogo');
  if (first[1] !== '1') {
    throw new Failure('o formato dos dados é a versão ' + first[1] + ', que esta página não conhece');
  }
  expect('H');
  var head = {};
  for (var h = line(); h !== 'N'; h = line()) {
    var tab = h.indexOf('\t');
    if (tab > 0) head[h.slice(0, tab)] = unescapeName(h.slice(tab + 1));
  }
  var numberOf = function (key) {
    var v = head[key], r = 0;
    if (v === undefined || !/^[0-9a-z]*$/.test(v)) throw new Failure('falta o total "' + key + '"');
    for (var i = 0; i < v.length; i++) r = r * 36 + parseInt(v.charAt(i), 36);
    return r;
  };
  var M = numberOf('pastas'), F = numberOf('arquivos');
  if (M < 1) throw new Failure('o catálogo não tem pasta nenhuma');
  // Every folder and file takes a line: totals beyond the text's length are not to be believed.
  if (M + F > text.length - p) throw new Failure('os totais dizem mais nomes do que os dados têm');

  // Names: one line each, kept as the block's own text and found by their starts.
  var starts = new Int32Array(M + F + 1);
  for (var k = 0; k < M + F; k++) {
    starts[k] = p;
    var e = text.indexOf('\n', p);
    if (e < 0) throw new Failure('a lista de nomes foi cortada');
    p = e + 1;
  }
  starts[M + F] = p;

  expect('P');
  var P = records(M, 5, 'P');
  var parent = new Int32Array(M), own = new Int32Array(M), fattr = new Int32Array(M);
  var flags = new Uint8Array(M), firstFile = new Int32Array(M + 1);
  var sum = 0;
  for (var i = 0; i < M; i++) {
    var delta = P[i * 5];
    if (i > 0 && (delta < 1 || delta > i)) throw new Failure('a pasta ' + i + ' tem um pai que não existe');
    parent[i] = i - delta;
    firstFile[i] = sum;
    sum += own[i] = P[i * 5 + 1];
    fattr[i] = P[i * 5 + 2];
    flags[i] = P[i * 5 + 4];
  }
  firstFile[M] = sum;
  if (sum !== F) throw new Failure('as pastas somam ' + sum + ' arquivos, e o total diz ' + F);

  expect('F');
  var R = records(F, 3, 'F'), size = new Float64Array(F), mod = new Float64Array(F), attr = new Int32Array(F);
  for (var j = 0; j < F; j++) {
    size[j] = R[j * 3];
    mod[j] = R[j * 3 + 1];
    attr[j] = R[j * 3 + 2];
  }

  expect('E');
  var reasons = {}, problems = [], l;
  for (l = line(); l !== '.' && !isSection(l); l = line()) {
    var parts = l.split('\t'), at = parseInt(parts[0] || '0', 36);
    if (at >= 0 && at < M) {
      reasons[at] = unescapeName(parts.slice(2).join('\t')) || ('erro ' + parseInt(parts[1] || '0', 36));
    }
  }
  for (var u = 0; u < M; u++) if (flags[u] & (F_UNREADABLE | F_PARTIAL)) problems.push(u);

  // The sections after E: a comparison's, and those of a later version, skipped.
  var cmp = 'comparado' in head ? {} : null;
  function indices(width, limit, what) {
    var v = records(-1, width, what);
    for (var k = 0; k < v.length; k += width) {
      if (v[k] < 0 || v[k] >= limit) throw new Failure('a seção ' + what + ' aponta para o que não existe');
    }
    return v;
  }
  while (l !== '.') {
    if (l === 'A' || l === 'C' || l === 'X') {
      cmp = cmp || {};
      cmp[l] = indices(l === 'C' ? 3 : 1, l === 'X' ? M : F, l);
    } else if (l === 'R') {
      cmp = cmp || {};
      cmp.R = removedLines();
    } else {
      while (!isSection(l = line()) && l !== '.');
      continue;
    }
    l = line();
  }
  // R: folder TAB path TAB size TAB modified TAB attributes; the path stays in the text.
  function removedLines() {
    var cap = 64, n = 0, folder = new Int32Array(cap), from = new Int32Array(cap), to = new Int32Array(cap);
    var num = new Float64Array(cap * 3);
    for (;;) {
      var c = text.charCodeAt(p);
      if (c === 46 || c >= 65 && c <= 90) break;
      var e = text.indexOf('\n', p);
      if (e < 0) throw new Failure('a seção R foi cortada');
      var t1 = text.indexOf('\t', p), t2 = text.indexOf('\t', t1 + 1);
      var t3 = text.indexOf('\t', t2 + 1), t4 = text.indexOf('\t', t3 + 1);
      if (t1 < 0 || t4 < 0 || t4 > e) throw new Failure('uma linha da seção R tem campos de menos');
      var t5 = text.indexOf('\t', t4 + 1);
      if (n === cap) {
        cap *= 2;
        var f2 = new Int32Array(cap), s2 = new Int32Array(cap), e2 = new Int32Array(cap), n2 = new Float64Array(cap * 3);
        f2.set(folder); s2.set(from); e2.set(to); n2.set(num);
        folder = f2; from = s2; to = e2; num = n2;
      }
      folder[n] = number(p, t1, 'R');
      if (folder[n] < 0 || folder[n] >= M) throw new Failure('a seção R aponta para o que não existe');
      from[n] = t1 + 1;
      to[n] = t2;
      num[n * 3] = number(t2 + 1, t3, 'R');
      num[n * 3 + 1] = number(t3 + 1, t4, 'R');
      num[n * 3 + 2] = number(t4 + 1, t5 < 0 || t5 > e ? e : t5, 'R');
      n++;
      p = e + 1;
    }
    return { n: n, folder: folder.subarray(0, n), from: from, to: to, num: num };
  }

  return {
    text: text, head: head, M: M, F: F, starts: starts, parent: parent, own: own, fattr: fattr,
    flags: flags, firstFile: firstFile, size: size, mod: mod, attr: attr,
    reasons: reasons, problems: problems, cmp: cmp, next: p
  };
}

// The data block: a catalogue (one volume) or a collection (several, each a catalogue block).
// Either way one model: folders and files in arrays, the volumes in d.volumes. A collection's
// folder 0 is a root that holds nothing but the volumes' roots; each volume's folders and files
// follow those of the volumes before it, in the data's order.
function read(text) {
  var p = 0, n = text.length;
  while (p < n && (text.charCodeAt(p) === 10 || text.charCodeAt(p) === 13)) p++;
  var e = text.indexOf('\n', p), first = (e < 0 ? text.slice(p) : text.slice(p, e)).split('\t');
  if (first[0] === 'tombarel-catalogo') {
    var d = readBlock(text, p);
    d.collection = false;
    d.volumes = [volumeOf(d, d.head.base, 0, 0)];
    return d;
  }
  if (first[0] !== 'tombarel-colecao') throw new Failure('não são os dados de um catálogo');
  if (first[1] !== '1') {
    throw new Failure('o formato dos dados é a versão ' + first[1] + ', que esta página não conhece');
  }
  var blocks = [], bases = [];
  for (p = e + 1; ;) {
    var end = text.indexOf('\n', p), l = end < 0 ? '' : text.slice(p, end);
    if (end < 0) throw new Failure('a coleção termina no meio (foi cortada)');
    if (l === '.') break;
    if (l.slice(0, 2) !== 'V\t') throw new Failure('o volume ' + (blocks.length + 1) + ' não começa com a linha V');
    bases.push(unescapeName(l.slice(2)));
    try {
      blocks.push(readBlock(text, end + 1));
    } catch (x) {
      if (x instanceof Failure) x.message = 'o volume ' + (blocks.length + 1) + ': ' + x.message;
      throw x;
    }
    p = blocks[blocks.length - 1].next;
  }
  return combine(text, blocks, bases);
}

function base36(v) {
  return typeof v === 'string' && /^-?[0-9a-z]+$/.test(v) ? parseInt(v, 36) : 0;
}

// A link base is only ever relative to the page or a file: URL: nothing that runs.
function safeBase(b) { return typeof b === 'string' && /^(?:file:|\.\.?\/)/i.test(b); }

// What the page tells of a volume: block b's header, its folders and files from `folder` and
// `file` in the model.
function volumeOf(b, base, folder, file) {
  var h = b.head, root = h.raiz || (b.M ? unescapeName(b.text.slice(b.starts[0], b.text.indexOf('\n', b.starts[0]))) : '');
  var serial = /^[0-9A-F]{8}$/.test(h.serie || '') ? h.serie : '', bad = !!base && !safeBase(base);
  return {
    name: h.volume || root, label: h.rotulo || '', serial: serial, fileSystem: h.sistema || '',
    kind: h.unidade || '', capacity: base36(h.capacidade), free: base36(h.livre), date: h.data || '',
    root: folder, base: base && !bad ? base : './', badBase: bad, path: root, below: h.abaixo || '',
    firstFolder: folder, endFolder: folder + b.M, firstFile: file, endFile: file + b.F,
    compared: !!b.cmp, head: h
  };
}

// The blocks of a collection in one model, every index offset by the volumes before it.
function combine(text, blocks, bases) {
  var M = 1, F = 0, v, b, i, k;
  for (v = 0; v < blocks.length; v++) { M += blocks[v].M; F += blocks[v].F; }
  var d = {
    text: text, head: {}, M: M, F: F, starts: new Int32Array(M + F + 1), parent: new Int32Array(M),
    own: new Int32Array(M), fattr: new Int32Array(M), flags: new Uint8Array(M), firstFile: new Int32Array(M + 1),
    size: new Float64Array(F), mod: new Float64Array(F), attr: new Int32Array(F),
    reasons: {}, problems: [], cmp: null, collection: true, volumes: []
  };
  var counts = { A: 0, C: 0, X: 0, R: 0 }, fo = 1, fi = 0;
  for (v = 0; v < blocks.length; v++) {
    b = blocks[v];
    if (!b.cmp) continue;
    for (k in counts) if (b.cmp[k]) counts[k] += k === 'R' ? b.cmp.R.n : b.cmp[k].length;
  }
  var cmp = {
    A: new Float64Array(counts.A), C: new Float64Array(counts.C), X: new Float64Array(counts.X),
    R: { n: counts.R, folder: new Int32Array(counts.R), from: new Int32Array(counts.R),
         to: new Int32Array(counts.R), num: new Float64Array(counts.R * 3) }
  };
  var at = { A: 0, C: 0, X: 0, R: 0 };
  for (v = 0; v < blocks.length; v++) {
    b = blocks[v];
    d.starts.set(b.starts.subarray(0, b.M), fo);
    d.starts.set(b.starts.subarray(b.M, b.M + b.F), M + fi);
    for (i = 0; i < b.M; i++) {
      d.parent[fo + i] = i ? b.parent[i] + fo : 0;
      d.firstFile[fo + i] = b.firstFile[i] + fi;
    }
    d.own.set(b.own, fo);
    d.fattr.set(b.fattr, fo);
    d.flags.set(b.flags, fo);
    d.size.set(b.size, fi);
    d.mod.set(b.mod, fi);
    d.attr.set(b.attr, fi);
    for (k in b.reasons) d.reasons[+k + fo] = b.reasons[k];
    for (k = 0; k < b.problems.length; k++) d.problems.push(b.problems[k] + fo);
    var c = b.cmp;
    if (c) {
      d.cmp = cmp;
      if (c.A) { for (k = 0; k < c.A.length; k++) cmp.A[at.A + k] = c.A[k] + fi; at.A += c.A.length; }
      if (c.X) { for (k = 0; k < c.X.length; k++) cmp.X[at.X + k] = c.X[k] + fo; at.X += c.X.length; }
      if (c.C) {
        cmp.C.set(c.C, at.C);
        for (k = 0; k < c.C.length; k += 3) cmp.C[at.C + k] += fi;
        at.C += c.C.length;
      }
      if (c.R) {
        var r = c.R, q = at.R;
        for (k = 0; k < r.n; k++) cmp.R.folder[q + k] = r.folder[k] + fo;
        cmp.R.from.set(r.from.subarray(0, r.n), q);
        cmp.R.to.set(r.to.subarray(0, r.n), q);
        cmp.R.num.set(r.num.subarray(0, r.n * 3), q * 3);
        at.R += r.n;
      }
    }
    d.volumes.push(volumeOf(b, bases[v], fo, fi));
    fo += b.M;
    fi += b.F;
  }
  d.firstFile[M] = F;
  d.starts[M + F] = text.length;
  return d;
}
