// Reading the data block (its format is described in catalog/README.md): the text is kept
// whole, names are found by their starts in it, and every number goes into a typed array.

function Failure(message) { this.message = message; }

// A name is the inside of a JSON string; most carry no escape at all.
function unescapeName(s) {
  if (s.indexOf('\\') < 0) return s;
  try { return JSON.parse('"' + s + '"'); } catch (e) { return s; }
}

function isSection(l) { return l.length === 1 && l >= 'A' && l <= 'Z'; }

function read(text) {
  var p = 0, n = text.length;
  while (p < n && (text.charCodeAt(p) === 10 || text.charCodeAt(p) === 13)) p++;

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
    reasons: reasons, problems: problems, cmp: cmp
  };
}
