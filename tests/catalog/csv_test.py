#!/usr/bin/python3
# CSV files written by the built Tombarel.exe under Wine, read back with Python's csv module
# against the tree on disk (every field, the order, the quoting), the exit codes, and a tree
# changed since a catalogue, compared. Run by CTest, or alone by
# scripts/test-catalog-page.sh tests/catalog/csv_test.py.
import calendar
import csv
import datetime
import html
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from catalog_page_test import DRIVE_C, check, failures, mark_unreadable, windows  # noqa: E402

HEADER = ['caminho', 'nome', 'tipo', 'tamanho', 'modificado', 'atributos']
FORMULA = ('=', '+', '-', '@', '\t', '\r')


def tombarel(*args):
    run = subprocess.run(['wine', os.environ['TOMBAREL_EXE']] + list(args), capture_output=True, timeout=120)
    return run.returncode, run.stderr.decode('utf-8', 'replace')


def write_csv(tree, target, *more):
    code, err = tombarel('/csv', windows(tree), windows(target), '/y', *more)
    check(code == 0, 'exit %d for /csv %s %s: %s' % (code, target, more, err[-300:]))


# Names a CSV writer or reader could get wrong (CR and LF Windows does not allow; a quote it
# does not either, but Wine lists one from the Unix side, though it opens no path through it).
NAMES = ['vírgula, sim.txt', 'aspas "duplas".txt', 'ponto;vírgula.txt', 'a#b.txt', '100%.txt',
         'Relatório Ação.TXT', '\U0001d11e clave.txt', '=SOMA(1+1).txt', '-menos', '+mais', '@arroba',
         "it's.txt", ' espaço à frente.txt', '"".txt', 'カタログ.txt',
         # A spreadsheet takes these for formulas (a tab or CR Windows does not allow in a name).
         '=1+1', '+x', '-menos.txt', '@soma', "'aspas", "''duas", '=HYPERLINK("x","y")', '@a, b.txt']


# Times that are easy to get wrong: before 1970, a 29 February, the last second of a year.
TIMES = {'raiz.txt': (1969, 7, 20, 20, 17, 40), '100%.txt': (2024, 2, 29, 12, 0, 0), '+mais': (2026, 12, 31, 23, 59, 59)}


def write_file(path, size, when=1700000000):
    with open(path, 'wb') as f:
        f.write(b'v' * size)
    os.utime(path, (when, when))


def make_tree(root):
    shutil.rmtree(root, ignore_errors=True)
    for rel, names in (('', ['raiz.txt', '-raiz']), ('Nomes', NAMES), ('sub, pasta;#/mais fundo', ['ção.txt', 'b']),
                       ('Vazia', []), ('=pasta', ['x']), ("'pasta", ['+y'])):
        os.makedirs(os.path.join(root, rel), exist_ok=True)
        for k, name in enumerate(names):
            write_file(os.path.join(root, rel, name), k * 37, calendar.timegm(TIMES.get(name, (2025, 1, 2, 3, 4, 5))))
    write_file(os.path.join(root, '.oculto'), 1)  # Wine shows a dot file as hidden
    os.chmod(os.path.join(root, 'Nomes', 'a#b.txt'), 0o444)
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
            path, folder = os.path.join(top, name), name in dirs
            rows[os.path.relpath(path, root).replace('/', '\\')] = (
                name, 'pasta' if folder else 'arquivo', '' if folder else str(os.stat(path).st_size),
                None if os.path.islink(path) else iso(os.stat(path).st_mtime), os.path.islink(path))
    return rows


def read_csv(path, header=HEADER):
    raw = open(path, 'rb').read()
    check(raw.startswith(b'\xef\xbb\xbf'), '%s has no byte-order mark' % path)
    check(raw.endswith(b'\r\n') and raw.count(b'\n') == raw.count(b'\r\n'), '%s: not every line ends in CR LF' % path)
    with open(path, encoding='utf-8-sig', newline='') as f:
        rows = list(csv.reader(f))
    check(rows[:1] == [header], 'header %s' % rows[:1])
    # As the README says: no path or name field begins as a formula does, and one leading
    # apostrophe, where there is one, is not part of the name.
    for row in rows[1:]:
        check(not row[0].startswith(FORMULA) and not row[1].startswith(FORMULA), 'a formula: %s' % row[:2])
        row[:2] = [field[1:] if field.startswith("'") else field for field in row[:2]]
    return rows[1:]


def check_rows(all_rows, root, skip_hidden=False, touched=None):
    want = expected(root, skip_hidden)
    if touched:  # the folder a file was written into and taken from: its time moved since
        want[touched] = want[touched][:3] + (None,) + want[touched][4:]
    rows = [r for r in all_rows if not r[6:] == ['removido']]
    got = {r[0]: r for r in rows}
    check(len(rows) == len(got) and sorted(got) == sorted(want),
          '%d rows, extra %s, missing %s' % (len(rows), sorted(set(got) - set(want)), sorted(set(want) - set(got))))
    for path in set(got) & set(want):
        row, (name, kind, size, modified, link) = got[path], want[path]
        check(row[1:4] == [name, kind, size], '%s: %s, wanted %s' % (path, row[1:4], [name, kind, size]))
        check(modified is None or row[4] == modified, '%s modified %s, wanted %s' % (path, row[4], modified))
        letters = 'R' * (name == 'a#b.txt') + 'H' * name.startswith('.') + 'L' * link
        check(row[5].replace('A', '') == letters and row[5] in (letters, letters + 'A', letters.replace('L', 'AL')),
              '%s: attributes %r, wanted %r (and maybe A)' % (path, row[5], letters))
    # Tree order: a folder's row comes before everything in it, and its files (then the files
    # removed from it or from folders gone below it) right after it.
    seen, current = set(), ''
    for row in all_rows:
        parent = row[0].rpartition('\\')[0]
        if row[6:] == ['removido']:
            check(current == '' or row[0].startswith(current + '\\'), '%s is among the rows of %r' % (row[0], current))
            continue
        check(parent == '' or parent in seen, '%s comes before its folder' % row[0])
        if row[2] == 'arquivo':
            check(parent == current, '%s follows the rows of %r' % (row[0], current))
        else:
            current = row[0]
        seen.add(row[0])


def spreadsheet_check(path, base):
    """A spreadsheet (LibreOffice Calc, which setup installs) shows every path and name field
    as written, as text, never as a formula's result."""
    out = os.path.join(base, 'calc')
    subprocess.run(['soffice', '-env:UserInstallation=file://' + out, '--headless', '--infilter=CSV:44,34,76,1',
                    '--convert-to', 'html', '--outdir', out, path], capture_output=True, timeout=300)
    page = open(os.path.join(out, os.path.basename(path)[:-4] + '.html'), encoding='utf-8').read()
    shown = [[html.unescape(re.sub('<[^>]*>', '', td)) for td in re.findall('<td[^>]*>(.*?)</td>', tr, re.S)][:2]
             for tr in re.findall('<tr[^>]*>(.*?)</tr>', page, re.S)]
    written = [row[:2] for row in csv.reader(open(path, encoding='utf-8-sig', newline=''))]
    check(shown == written, 'Calc shows %s' % [s for s, w in zip(shown, written) if s != w][:5])


def plain_suite(base):
    tree = os.path.join(base, 'árvore')
    make_tree(tree)
    target = os.path.join(base, 'dados.csv')
    write_csv(tree, target)
    check_rows(read_csv(target), tree)
    spreadsheet_check(target, base)
    # Written inside the tree: neither the file nor its temporary file is a row of it.
    inside = os.path.join(tree, 'Nomes', 'dentro.csv')
    write_csv(tree, inside)
    rows = read_csv(inside)
    os.remove(inside)
    check_rows(rows, tree, touched='Nomes')  # a temporary file left would be a row missing
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


# The earlier tree: files (size; all at one time) of folder "muda", and how each changes.
BEFORE = {'igual.txt': 10, 'cresce.txt': 20, 'tempo.txt': 30, 'velho.txt': 40, 'Caixa.txt': 50,
          'remover.txt': 60, 'some/x.txt': 70, 'some/y.txt': 80}
RENAMED = {'velho.txt': 'novo nome.txt', 'Caixa.txt': 'caixa.txt'}  # a removal and an addition each
SAID = {'novo.txt': 'adicionado', 'novo nome.txt': 'adicionado', 'caixa.txt': 'adicionado',
        'cresce.txt': 'alterado', 'tempo.txt': 'alterado'}


def compare_suite(base):
    tree = os.path.join(base, 'comparada')
    make_tree(tree)
    muda = os.path.join(tree, 'muda')
    os.makedirs(os.path.join(muda, 'some'))
    os.makedirs(os.path.join(tree, 'fechada'))
    for rel, size in BEFORE.items():
        write_file(os.path.join(muda, rel), size)
    old = os.path.join(base, 'anterior.htm')
    code, err = tombarel('/catalogo', windows(tree), windows(old), '/y')
    check(code == 0, 'the earlier catalogue: exit %d, %s' % (code, err))
    # A lone surrogate, which a file system may hold and UTF-8 cannot, is read as U+FFFD.
    mark_unreadable(old, 'fechada', ('remover.txt', 'remover\\ud800.txt'))
    gone = {'muda\\' + rel.replace('/', '\\'): [rel.split('/')[-1], 'arquivo', str(size), iso(1700000000)]
            for rel, size in BEFORE.items() if rel not in SAID and rel != 'igual.txt'}
    gone['muda\\remover\ufffd.txt'] = ['remover\ufffd.txt'] + gone.pop('muda\\remover.txt')[1:]
    write_file(os.path.join(muda, 'novo.txt'), 5)
    write_file(os.path.join(muda, 'cresce.txt'), 21)
    write_file(os.path.join(muda, 'tempo.txt'), 30, 1700000100)
    for was, now in RENAMED.items():
        os.rename(os.path.join(muda, was), os.path.join(muda, now))
    os.remove(os.path.join(muda, 'remover.txt'))
    shutil.rmtree(os.path.join(muda, 'some'))
    write_file(os.path.join(tree, 'fechada', 'dentro.txt'), 1)
    target = os.path.join(base, 'mudou.csv')
    write_csv(tree, target, '/comparar', windows(old))
    rows = read_csv(target, HEADER + ['mudança'])
    check_rows(rows, tree)
    said = {r[0]: r[6] for r in rows if not r[6:] == ['removido']}
    for path, row in expected(tree).items():
        name = path.rpartition('\\')[2]
        wanted = ('' if row[1] == 'pasta' else 'não comparado' if path.startswith('fechada\\') else
                  SAID.get(name, 'igual') if path.startswith('muda\\') else 'igual')
        check(said.get(path) == wanted, '%s: mudança %r, wanted %r' % (path, said.get(path), wanted))
    got = {r[0]: r[1:5] for r in rows if r[6:] == ['removido']}
    check(got == gone, 'removed rows %s, wanted %s' % (got, gone))
    # An earlier catalogue that is not one, or is not there: exit 1 with the reason, nothing written.
    not_one = os.path.join(base, 'não é.htm')
    write_file(not_one, 100)
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
