#!/usr/bin/python3
# Writes a catalogue of a tree, changes the tree, writes the catalogue compared with the first
# (/comparar) and drives the page in each browser engine (browsers.py): the header's counts,
# the "Mudanças" view (rows, links, sorting, its filter, its address), the tree's marks, the
# folder tables' marks and removed rows, a folder not compared. Run like catalog_page_test.py.
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import catalog_page_test as page  # noqa: E402
from browsers import By, Keys, each_engine, finish, note_axe  # noqa: E402

check = page.check

BEFORE = {'Docs/a.txt': 'aaa', 'Docs/Muda.txt': 'curto', 'Docs/Velho.txt': 'velho', 'Docs/Nome.txt': 'nome',
          'Docs/Caixa.txt': 'caixa', 'Docs/igual.txt': 'igual', 'Fotos/capa.jpg': 'capa',
          'Fotos/2019/img1.jpg': 'um', 'Fotos/2019/img2.jpg': 'dois!', 'leia.txt': 'leia'}


def write(root, rel, text):
    path = os.path.join(root, *rel.split('/'))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='utf-8') as f:
        f.write(text)


def touch(root, rel):
    path = os.path.join(root, *rel.split('/'))
    t = os.stat(path).st_mtime - 3600
    os.utime(path, (t, t))


# Each change made to the tree and what the compared page must report for it.
CHANGES = [
    (lambda r: write(r, 'Docs/Novo & cia.txt', 'novo'), [('adicionado', 'Docs/Novo & cia.txt')]),
    (lambda r: os.remove(os.path.join(r, 'Docs', 'Velho.txt')), [('removido', 'Docs/Velho.txt')]),
    (lambda r: shutil.rmtree(os.path.join(r, 'Fotos', '2019')),
     [('removido', 'Fotos/2019/img1.jpg'), ('removido', 'Fotos/2019/img2.jpg')]),
    (lambda r: write(r, 'Docs/Muda.txt', 'bem mais comprido'), [('alterado', 'Docs/Muda.txt')]),
    (lambda r: touch(r, 'Docs/a.txt'), [('alterado', 'Docs/a.txt')]),
    (lambda r: os.rename(os.path.join(r, 'Docs', 'Nome.txt'), os.path.join(r, 'Docs', 'Renomeado.txt')),
     [('removido', 'Docs/Nome.txt'), ('adicionado', 'Docs/Renomeado.txt')]),
    (lambda r: os.rename(os.path.join(r, 'Docs', 'Caixa.txt'), os.path.join(r, 'Docs', 'caixa.txt')),
     [('removido', 'Docs/Caixa.txt'), ('adicionado', 'Docs/caixa.txt')]),
    # Fechada could not be read for the earlier catalogue: what it holds now is not "added".
    (lambda r: write(r, 'Fechada/dentro.txt', 'dentro'), []),
]
EXPECTED = sorted(c for _, cs in CHANGES for c in cs)


CHANGE_ROWS = '''
return Array.from(document.querySelectorAll('#corpo-mudancas [role=row]'))
  .sort(function (x, y) { return x.offsetTop - y.offsetTop; })
  .map(function (r) { var a = r.querySelector('a'), c = r.children;
    return [r.classList.contains('grupo'), a.textContent, a.getAttribute('href') ? a.href : null,
            c[1].title, c[2].textContent, +c[3].title.replace(/\\D/g, ''), c[4].textContent]; });
'''


def change_rows(b):
    return b.execute_script(CHANGE_ROWS)


def grouped(b, root):
    """The changes view's rows as (group path, kind, relative path, href, size, row)."""
    out, group = [], None
    for row in change_rows(b):
        if row[0]:
            group = row[1]
            continue
        folder = row[3][len(page.windows(root)):].strip('\\').replace('\\', '/')
        out.append((group, row[4].split(' ')[0], (folder + '/' if folder else '') + row[1], row[2], row[5], row))
    return out


def header_click(b, column):
    b.find_element(By.CSS_SELECTOR, '#mudancas [role=columnheader] button[data-coluna="%d"]' % column).click()
    time.sleep(0.05)


def check_view(b, root):
    rows = grouped(b, root)
    check(sorted((k, p) for _, k, p, _, _, _ in rows) == EXPECTED, 'changes view lists %s' % [r[1:3] for r in rows])
    for group, kind, rel, href, _, row in rows:
        check(row[3].startswith(group), '%s shown under %s' % (rel, group))
        if kind == 'removido':
            check(href is None, 'removed %s is linked: %s' % (rel, href))
        else:
            check(href and page.unix_of_url(href) == os.path.join(root, *rel.split('/')), '%s links to %s' % (rel, href))
    # Sorting: groups stay in the tree's order, rows sorted within them; Pasta reverses the groups.
    groups = lambda: [r[0] for r in grouped(b, root)]
    in_order = groups()
    check(in_order == sorted(in_order, key=str.lower) and len(set(in_order)) == 2, 'groups %s' % in_order)
    for column, key in ((3, lambda r: r[4]), (2, lambda r: r[1]), (0, lambda r: r[2].rsplit('/', 1)[-1].lower())):
        for down in (False, True):
            header_click(b, column)
            rows = grouped(b, root)
            for g in set(r[0] for r in rows):
                keys = [key(r) for r in rows if r[0] == g]
                check(keys == sorted(keys, reverse=down), 'column %d %s in %s: %s' % (column, down, g, keys))
            check(groups() == in_order, 'sorting by column %d kept the groups: %s' % (column, groups()))
    header_click(b, 1)
    header_click(b, 1)
    check(list(dict.fromkeys(groups())) == list(dict.fromkeys(reversed(in_order))), 'folder order reversed')
    header_click(b, 1)
    # The filter: the view's own, by name, with the search's folding and wildcards.
    field = b.find_element(By.ID, 'filtro')
    for query, want in (('CAIXA', ['Docs/Caixa.txt', 'Docs/caixa.txt']), ('img?.JPG', ['Fotos/2019/img1.jpg', 'Fotos/2019/img2.jpg']),
                        ('& cia', ['Docs/Novo & cia.txt']), ('nada assim', [])):
        field.clear()
        field.send_keys(query)
        time.sleep(0.05)
        got = sorted(r[2] for r in grouped(b, root))
        check(got == want and b.execute_script('return +document.documentElement.dataset.mudancas') == len(want),
              'filter %r shows %s' % (query, got))
    check(b.find_element(By.ID, 'aviso').is_displayed(), 'an empty filter says so')
    field.send_keys(Keys.ESCAPE)
    check(len(grouped(b, root)) == len(EXPECTED), 'Escape clears the filter')


# Per folder: the changes its tree item counts, and its table's marked rows.
FOLDERS = [
    ('', 10, {}),
    ('Docs', 8, {'Novo & cia.txt': 'adicionado', 'Renomeado.txt': 'adicionado', 'caixa.txt': 'adicionado',
                 'Muda.txt': 'alterado', 'a.txt': 'alterado', 'Velho.txt': 'removido', 'Nome.txt': 'removido',
                 'Caixa.txt': 'removido'}),
    ('Fotos', 2, {'2019\\img1.jpg': 'removido', '2019\\img2.jpg': 'removido'}),
    ('Fechada', 0, {}),
]

TABLE = '''return Array.from(document.querySelectorAll('#corpo [role=row]')).map(function (r) {
  var a = r.querySelector('a'), e = r.querySelector('.estado');
  return [a.textContent, e.textContent, a.getAttribute('href'), e.title]; });'''


def check_tree_and_tables(b):
    for rel, count, marks in FOLDERS:
        page.show(b, [rel] if rel else [])
        item = page.selected(b)
        marked = 'mudou' in item.get_attribute('class')
        check(marked == (count > 0) and (not count or '%d mudança' % count in item.text),
              '%r reads %r (%d changes)' % (rel, item.text, count))
        check(('não comparada' in item.text) == (rel == 'Fechada'), '%r compared mark: %r' % (rel, item.text))
        got = b.execute_script(TABLE)
        check({name: kind for name, kind, _, _ in got if kind} == marks, '%r table marks %s' % (rel, got))
        for name, kind, href, title in got:
            check((href is None) == (kind == 'removido'), '%r in %r: link %s' % (name, rel, href))
            check((kind == 'alterado') == title.startswith('antes: '), '%r in %r before: %r' % (name, rel, title))


def main():
    base = os.path.join(page.DRIVE_C, 'tombarel-mudancas')
    root, old = os.path.join(base, 'arvore'), os.path.join(base, 'antes.htm')
    shutil.rmtree(base, ignore_errors=True)
    for rel, text in BEFORE.items():
        write(root, rel, text)
    os.makedirs(os.path.join(root, 'Fechada'))
    page.write_catalogue(root, old)
    page.mark_unreadable(old, 'Fechada')
    for change, _ in CHANGES:
        change(root)
    new = os.path.join(root, 'Catalogo.htm')
    run = subprocess.run(['wine', os.environ['TOMBAREL_EXE'], '/catalogo', page.windows(root), page.windows(new),
                          '/comparar', page.windows(old), '/y'], capture_output=True, timeout=120)
    check(run.returncode == 0, '/comparar exit %d: %s' % (run.returncode, run.stderr[-300:]))
    # A plain page has no changes view at all; a section of a later version, after E, is
    # skipped by a plain page and a compared one alike.
    plain = os.path.join(base, 'simples.htm')
    page.write_catalogue(root, plain)
    futures = []
    for source, button_text in ((plain, ''), (new, 'Mudanças (%d)' % len(EXPECTED))):
        with open(source, encoding='utf-8') as f:
            text = f.read()
        future = source.replace('.htm', '-futuro.htm')
        with open(future, 'w', encoding='utf-8') as f:
            f.write(re.sub(r'\n\.\n</script>', '\nZ\nde uma versão futura\t1\n\n.\n</script>', text, count=1))
        futures.append((source, future, button_text))
    try:
        each_engine(browse, root, new, futures)
    finally:
        shutil.rmtree(base, ignore_errors=True)


def browse(b, root, new, futures):
    page.open_page(b, new)
    note_axe(b, 'compared catalogue, the root folder')
    counts = b.execute_script('var d = document.documentElement.dataset; return [+d.added, +d.removed, +d.changed];')
    want = [sum(1 for k, _ in EXPECTED if k == kind) for kind in ('adicionado', 'removido', 'alterado')]
    check(counts == want, 'data-added/removed/changed %s, wanted %s' % (counts, want))
    line = b.find_element(By.CSS_SELECTOR, '#cabecalho .comparacao').text
    check(all(re.search(r'\b%d (arquivos? )?%s' % (n, w), line) for n, w in zip(want, ('adicionad', 'removid', 'alterad'))),
          'the header reads %r' % line)
    button = b.find_element(By.ID, 'ver-mudancas')
    check(button.text == 'Mudanças (%d)' % len(EXPECTED), 'the button reads %r' % button.text)
    check_tree_and_tables(b)
    button.click()
    note_axe(b, 'compared catalogue, the changes view')
    check(b.execute_script('return location.hash') == '#mudancas', 'the view has its address')
    check_view(b, root)
    # Keys: Home on the first folder's row (Docs), Enter shows it; Back returns to the view.
    b.find_element(By.ID, 'corpo-mudancas').click()
    b.find_element(By.ID, 'mudancas').send_keys(Keys.HOME, Keys.ENTER)
    check(b.find_element(By.ID, 'mudancas').get_attribute('hidden') and page.selected(b).text.startswith('Docs'),
          'Enter on the first folder\'s row shows it: %r' % page.selected(b).text)
    b.back()
    time.sleep(0.1)
    check(not b.find_element(By.ID, 'mudancas').get_attribute('hidden'), 'Back shows the changes again')
    # Opened at its address, with few rows in the document.
    page.open_page(b, new, '#mudancas')
    check(len(change_rows(b)) == len(EXPECTED) + 2, 'opened at #mudancas: %d rows' % len(change_rows(b)))
    for source, future, button_text in futures:
        page.open_page(b, future, '#mudancas')
        check(b.find_element(By.ID, 'ver-mudancas').text == button_text and
              bool(b.find_element(By.ID, 'mudancas').get_attribute('hidden')) == (not button_text),
              '%s with a later section: %r' % (source, b.find_element(By.ID, 'ver-mudancas').text))


if __name__ == '__main__':
    main()
    finish('changes page')
