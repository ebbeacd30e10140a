#!/usr/bin/python3
# Writes CSV files with the built Tombarel.exe under Wine and reads them back with Python's csv
# module against the tree on disk: every path, name, type, size, time and attribute, the order,
# the quoting, the exit codes; then a tree changed since a catalogue, compared. Run by
# scripts/test-csv.sh (or CTest) with WINEPREFIX and DISPLAY set.
import csv
import datetime
import os
import shutil
import subprocess
import sys
import tempfile

DRIVE_C = os.path.join(os.environ.get('WINEPREFIX', ''), 'drive_c')
HEADER = ['caminho', 'nome', 'tipo', 'tamanho', 'modificado', 'atributos']
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print('FAIL:', what, flush=True)


def windows(path):
    return 'C:\\' + os.path.relpath(path, DRIVE_C).replace('/', '\\')


def tombarel(*args):
    run = subprocess.run(['wine', os.environ['TOMBAREL_EXE']] + list(args), capture_output=True, timeout=120)
    return run.returncode, run.stderr.decode('utf-8', 'replace')


def write_csv(tree, target, *more, ok=0):
    code, err = tombarel('/csv', windows(tree), windows(target), '/y', *more)
    check(code == ok, 'exit %d (wanted %d) for /csv %s %s: %s' % (code, ok, target, more, err[-300:]))


# Names a CSV writer or reader could get wrong (CR and LF Windows does not allow; a quote it
# does not either, but Wine lists one from the Unix side, though it opens no path through it).
NAMES = ['vírgula, sim.txt', 'aspas "duplas".txt', 'ponto;vírgula.txt', 'a#b.txt', '100%.txt',
         'Relatório Ação.TXT', '\U0001d11e clave.txt', '=SOMA(1+1).txt', '-menos', '+mais', '@arroba',
         "it's.txt", ' espaço à frente.txt', '"".txt', 'カタログ.txt']


def make_tree(root):
    shutil.rmtree(root, ignore_errors=True)
    for rel, names in (('', ['raiz.txt']), ('Nomes', NAMES), ('sub, pasta;#/mais fundo', ['ção.txt', 'b']),
                       ('Vazia', []), ('=pasta', ['x'])):
        os.makedirs(os.path.join(root, rel), exist_ok=True)
        for k, name in enumerate(names):
            with open(os.path.join(root, rel, name), 'wb') as f:
                f.write(b'x' * (k * 37))
    with open(os.path.join(root, '.oculto'), 'w') as f:  # Wine shows a dot file as hidden
        f.write('oculto')
    read_only = os.path.join(root, 'Nomes', 'a#b.txt')
    os.chmod(read_only, 0o444)
    # Times that are easy to get wrong: before 1970, a 29 February, the last second of a year.
    for name, when in (('raiz.txt', '1969-07-20T20:17:40Z'), ('100%.txt', '2024-02-29T12:00:00Z'),
                       ('+mais', '2026-12-31T23:59:59Z')):
        seconds = datetime.datetime.strptime(when, '%Y-%m-%dT%H:%M:%SZ').replace(
            tzinfo=datetime.timezone.utc).timestamp()
        path = os.path.join(root, 'Nomes' if name != 'raiz.txt' else '', name)
        os.utime(path, (seconds, seconds))
    os.symlink('..', os.path.join(root, 'Vazia', 'volta'))


def iso(seconds):
    return datetime.datetime.fromtimestamp(seconds // 1, datetime.timezone.utc).strftime('%Y-%m-%dT%H:%M:%SZ')


def expected(root, skip_hidden=False):
    """The rows the tree should give, by path: (name, type, size, modified, a link)."""
    rows = {}
    for top, dirs, files in os.walk(root):
        if skip_hidden:
            dirs[:] = [d for d in dirs if not d.startswith('.')]
            files = [f for f in files if not f.startswith('.')]
        for name in dirs + files:
            path = os.path.join(top, name)
            st = os.stat(path)
            link = os.path.islink(path)
            folder = os.path.isdir(path)
            rows[os.path.relpath(path, root).replace('/', '\\')] = (
                name, 'pasta' if folder else 'arquivo', '' if folder else str(st.st_size),
                None if link else iso(st.st_mtime), link)
    return rows


def read_csv(path, header=HEADER):
    with open(path, 'rb') as f:
        raw = f.read()
    check(raw.startswith(b'\xef\xbb\xbf'), '%s has no byte-order mark' % path)
    check(raw.endswith(b'\r\n') and raw.count(b'\n') == raw.count(b'\r\n'), '%s: not every line ends in CR LF' % path)
    with open(path, encoding='utf-8-sig', newline='') as f:
        rows = list(csv.reader(f))
    check(rows[:1] == [header], 'header %s' % rows[:1])
    return rows[1:]


def removed(row):
    return len(row) > 6 and row[6] == 'removido'


def check_rows(all_rows, root, skip_hidden=False):
    want = expected(root, skip_hidden)
    rows = [r for r in all_rows if not removed(r)]
    got = {r[0]: r for r in rows}
    check(len(rows) == len(want) == len(got), '%d rows (%d distinct), the tree holds %d' % (len(rows), len(got), len(want)))
    check(sorted(got) == sorted(want), 'paths: extra %s, missing %s' % (sorted(set(got) - set(want)), sorted(set(want) - set(got))))
    for path, (name, kind, size, modified, link) in want.items():
        row = got.get(path)
        if not row:
            continue
        check(row[1:4] == [name, kind, size], '%s: %s, wanted %s' % (path, row[1:4], [name, kind, size]))
        check(modified is None or row[4] == modified, '%s modified %s, wanted %s' % (path, row[4], modified))
        attributes = row[5]
        check(attributes == ''.join(a for a in 'RHSAL' if a in attributes), '%s: attributes %r out of order' % (path, attributes))
        check(('L' in attributes) == link, '%s: attributes %r, a link: %s' % (path, attributes, link))
        check(('R' in attributes) == (name == 'a#b.txt'), '%s: attributes %r' % (path, attributes))
        check(('H' in attributes) == name.startswith('.'), '%s: attributes %r' % (path, attributes))
    # Tree order: a folder's row comes before everything in it, and its files (then the files
    # removed from it or from folders gone below it) right after it.
    seen, current = set(), ''
    for row in all_rows:
        parent = row[0].rpartition('\\')[0]
        if removed(row):
            check(current == '' or row[0].startswith(current + '\\'), '%s is among the rows of %r' % (row[0], current))
            continue
        check(parent == '' or parent in seen, '%s comes before its folder' % row[0])
        if row[2] == 'arquivo':
            check(parent == current, '%s follows the rows of %r' % (row[0], current))
        else:
            current = row[0]
        seen.add(row[0])


def plain_suite(base):
    tree = os.path.join(base, 'árvore')
    make_tree(tree)
    target = os.path.join(base, 'dados.csv')
    write_csv(tree, target)
    check_rows(read_csv(target), tree)
    # Written inside the tree: neither the file nor its temporary file is a row of it.
    inside = os.path.join(tree, 'Nomes', 'dentro.csv')
    write_csv(tree, inside)
    rows = read_csv(inside)
    check(not any(r[1] == 'dentro.csv' or r[1].startswith('~tombarel') for r in rows), 'the CSV lists itself')
    os.remove(inside)
    check_rows(rows, tree)
    check(not [f for f in os.listdir(os.path.join(tree, 'Nomes')) if f.startswith('~tombarel')], 'a temporary file is left')
    write_csv(tree, target, '/semocultos')
    check_rows(read_csv(target), tree, skip_hidden=True)
    # Refused: an existing target without /y (kept as it was), bad usage, a folder that is not there.
    before = open(target, 'rb').read()
    code, _ = tombarel('/csv', windows(tree), windows(target))
    check(code == 2 and open(target, 'rb').read() == before, '/csv over an existing file without /y: exit %d' % code)
    for args in (['/csv', windows(tree)], ['/csv', windows(tree), windows(target), '/ask'],
                 ['/csv', windows(tree), windows(target), '/comparar'], ['/txt', windows(tree), windows(target), '/comparar', 'x'],
                 ['/csv', windows(tree), windows(target), 'a mais']):
        code, err = tombarel(*args)
        check(code == 3 and 'Tombarel /csv' in err, '%s: exit %d, %r' % (args, code, err[:200]))
    gone = os.path.join(base, 'nada.csv')
    code, err = tombarel('/csv', windows(os.path.join(base, 'não existe')), windows(gone))
    check(code == 1 and err.strip() and not os.path.exists(gone), 'a missing folder: exit %d, %r' % (code, err))


def change(tree):
    """Changes the tree of a catalogue; returns what the comparison should say of each path."""
    os.makedirs(os.path.join(tree, 'muda', 'some'))
    os.makedirs(os.path.join(tree, 'fechada'))
    files = {'muda/igual.txt': 10, 'muda/cresce.txt': 20, 'muda/tempo.txt': 30, 'muda/velho.txt': 40,
             'muda/Caixa.txt': 50, 'muda/remover.txt': 60, 'muda/some/x.txt': 70, 'muda/some/y.txt': 80}
    for rel, size in files.items():
        with open(os.path.join(tree, rel), 'wb') as f:
            f.write(b'v' * size)
        os.utime(os.path.join(tree, rel), (1700000000, 1700000000))
    yield  # the earlier catalogue is written here
    d = os.path.join(tree, 'muda')
    with open(os.path.join(d, 'novo.txt'), 'wb') as f:
        f.write(b'n' * 5)
    with open(os.path.join(d, 'cresce.txt'), 'ab') as f:
        f.write(b'+')
    os.utime(os.path.join(d, 'cresce.txt'), (1700000000, 1700000000))
    os.utime(os.path.join(d, 'tempo.txt'), (1700000100, 1700000100))
    os.rename(os.path.join(d, 'velho.txt'), os.path.join(d, 'novo nome.txt'))
    os.rename(os.path.join(d, 'Caixa.txt'), os.path.join(d, 'caixa.txt'))
    os.remove(os.path.join(d, 'remover.txt'))
    shutil.rmtree(os.path.join(d, 'some'))
    with open(os.path.join(tree, 'fechada', 'dentro.txt'), 'wb') as f:
        f.write(b'f')


def mark_unreadable(page, folder_name):
    """Edits an earlier catalogue as if `folder_name` (empty then) could not be read when it was made."""
    with open(page, encoding='utf-8', newline='') as f:
        text = f.read()
    start = text.index('tombarel-catalogo\t1\n')
    block = text[start:text.index('\n.\n', start) + 3]
    lines = block.split('\n')
    names = lines[lines.index('N') + 1:lines.index('P')]
    index = names.index(folder_name)
    p = lines.index('P') + 1 + index
    fields = lines[p].split('\t')
    fields[4] = '1'
    lines[p] = '\t'.join(fields)
    lines.insert(lines.index('E') + 1, '%s\t5\tAcesso negado.' % base36(index))
    lines = [('ilegiveis\t1' if line.startswith('ilegiveis\t') else line) for line in lines]
    with open(page, 'w', encoding='utf-8', newline='') as f:
        f.write(text[:start] + '\n'.join(lines) + text[start + len(block):])


def base36(n):
    digits = ''
    while n:
        digits = '0123456789abcdefghijklmnopqrstuvwxyz'[n % 36] + digits
        n //= 36
    return digits


def compare_suite(base):
    tree = os.path.join(base, 'comparada')
    make_tree(tree)
    steps = change(tree)
    next(steps)
    old = os.path.join(base, 'anterior.htm')
    code, err = tombarel('/catalogo', windows(tree), windows(old), '/y')
    check(code == 0, 'the earlier catalogue: exit %d, %s' % (code, err))
    mark_unreadable(old, 'fechada')
    old_stat = {rel: os.stat(os.path.join(tree, 'muda', rel)) for rel in
                ('velho.txt', 'Caixa.txt', 'remover.txt', 'some/x.txt', 'some/y.txt')}
    next(steps, None)
    target = os.path.join(base, 'mudou.csv')
    write_csv(tree, target, '/comparar', windows(old))
    rows = read_csv(target, HEADER + ['mudança'])
    check_rows(rows, tree)
    said = {r[0]: r[6] for r in rows if not removed(r)}
    m = 'muda\\'
    want = {m + 'novo.txt': 'adicionado', m + 'novo nome.txt': 'adicionado', m + 'caixa.txt': 'adicionado',
            m + 'cresce.txt': 'alterado', m + 'tempo.txt': 'alterado', 'fechada\\dentro.txt': 'não comparado'}
    for path, row in expected(tree).items():
        wanted = '' if row[1] == 'pasta' else want.get(path, 'igual')
        check(said.get(path) == wanted, '%s: mudança %r, wanted %r' % (path, said.get(path), wanted))
    gone = {r[0]: r for r in rows if removed(r)}
    check(sorted(gone) == sorted(m + rel.replace('/', '\\') for rel in old_stat), 'removed rows %s' % sorted(gone))
    for rel, st in old_stat.items():
        row = gone.get(m + rel.replace('/', '\\'))
        check(row is not None and row[1:5] == [rel.split('/')[-1], 'arquivo', str(st.st_size), iso(st.st_mtime)],
              'removed %s reads %s' % (rel, row))
    # An earlier catalogue that is not one, or is not there: exit 1 with the reason, nothing written.
    not_one = os.path.join(base, 'não é.htm')
    with open(not_one, 'w') as f:
        f.write('<html><body>outra coisa</body></html>')
    for bad in (not_one, os.path.join(base, 'sumiu.htm')):
        for command, written in (('/csv', os.path.join(base, 'ruim.csv')), ('/catalogo', os.path.join(base, 'ruim.htm'))):
            code, err = tombarel(command, windows(tree), windows(written), '/comparar', windows(bad))
            check(code == 1 and len(err.strip()) > 10 and not os.path.exists(written),
                  '%s /comparar %s: exit %d, %r' % (command, bad, code, err[:200]))
    check(not [f for f in os.listdir(base) if f.startswith('~tombarel')], 'a temporary file is left')


def main():
    base = tempfile.mkdtemp(prefix='csv-', dir=DRIVE_C)
    try:
        plain_suite(base)
        compare_suite(base)
    finally:
        shutil.rmtree(base, ignore_errors=True)
    print('%d failures' % len(failures) if failures else 'csv: all checks passed')
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
