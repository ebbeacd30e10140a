#!/usr/bin/python3
# Writes a collection with the built Tombarel.exe under Wine (folders named with /nome, a drive
# letter whose label and serial Wine reads from the folder it maps to, a volume catalogued
# again after a change, a catalogue joined, a volume removed) and drives its page in headless
# Chromium, Firefox ESR and WebKitGTK through tables of checks and of searches with filters across
# the volumes: the tree's volumes, folders and links, the header, the
# changes and duplicates views, the addresses, and a page whose data was tampered with.
# Run like catalog_page_test.py.
import os
import shutil
import subprocess
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import catalog_page_test as page  # noqa: E402
from browsers import By, Keys, check, each_engine, finish, note_axe  # noqa: E402
BASE = os.path.join(page.DRIVE_C, 'tombarel-colecao')

# Each disc's files, with their sizes. Duplicates are the same name ignoring case and the same
# size; 0 bytes never count.
DISCS = {
    'A': {'Fotos/IMG_0001.JPG': 300, 'Docs/Relatório.txt': 100, 'vazio.txt': 0, 'nota.txt': 10,
          'Musica/faixa & 1.mp3': 1000},
    'B': {'Backup/img_0001.jpg': 300, 'vazio.txt': 0, 'nota.txt': 11, 'Musica/faixa & 1.mp3': 1000,
          'Copia/faixa & 1.mp3': 1000, 'Docs2/RELATÓRIO.TXT': 100},
    'P': {'foto.png': 77},
    'P2': {'foto.png': 77},
    'D': {'Fotos/IMG_0001.jpg': 300, 'faixa & 1.mp3': 1000},
    'E': {'nota.txt': 10},
}
# Two discs with one label: P's and P2's serial numbers.
LABEL, SERIALS = 'FOTOS2019', {'P': '1a2b3c4d', 'P2': '55667788'}


def fill(folder, files):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for rel, size in files.items():
        path = os.path.join(folder, *rel.split('/'))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(b'x' * size)


def tombarel(*args):
    run = subprocess.run(['wine', os.environ['TOMBAREL_EXE']] + list(args), capture_output=True, timeout=120)
    check(run.returncode == 0, 'exit %d for %s: %s' % (run.returncode, args, run.stderr[-300:]))


def drive_p(folder):
    """P: maps to `folder`; Wine reads its label and serial when the drive is defined."""
    link = os.path.join(os.environ['WINEPREFIX'], 'dosdevices', 'p:')
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(folder, link)
    subprocess.run(['wineserver', '-k'], capture_output=True)
    subprocess.run(['wineserver', '-w'], capture_output=True)


def build():
    """The collection: A, then B named, the drive P:, B again after a change, D's catalogue
    joined, E added and removed. Returns the collection page and B's folder."""
    for disc, files in DISCS.items():
        fill(os.path.join(BASE, disc), files)
    for disc, serial in SERIALS.items():
        for name, text in (('.windows-label', LABEL), ('.windows-serial', serial)):
            with open(os.path.join(BASE, disc, name), 'w') as f:
                f.write(text)
    col, w = os.path.join(BASE, 'col.htm'), page.windows
    tombarel('/colecao', w(col), w(os.path.join(BASE, 'A')))
    tombarel('/colecao', w(col), w(os.path.join(BASE, 'B')), '/nome', 'Disco B')
    for disc in SERIALS:
        drive_p(os.path.join(BASE, disc))
        tombarel('/colecao', w(col), 'P:\\', '/excluir', '.windows-*')
    with open(os.path.join(BASE, 'B', 'nota.txt'), 'wb') as f:
        f.write(b'x' * 12)
    with open(os.path.join(BASE, 'B', 'Docs2', 'novo.txt'), 'wb') as f:
        f.write(b'novo!')
    tombarel('/colecao', w(col), w(os.path.join(BASE, 'B')), '/nome', 'Disco B')
    tombarel('/catalogo', w(os.path.join(BASE, 'D')), w(os.path.join(BASE, 'd.htm')), '/y')
    tombarel('/colecao', w(col), '/juntar', w(os.path.join(BASE, 'd.htm')))
    tombarel('/colecao', w(col), w(os.path.join(BASE, 'E')), '/nome', 'Temporário')
    tombarel('/colecao', w(col), '/remover', 'Temporário')
    # One more inside A: its links are relative to the page.
    tombarel('/colecao', w(os.path.join(BASE, 'A', 'dentro.htm')), w(os.path.join(BASE, 'A')))
    return col


NAMES = [page.windows(os.path.join(BASE, 'A')), 'Disco B', LABEL, LABEL, page.windows(os.path.join(BASE, 'D'))]
# Groups by the bytes their extra copies take: (name as first seen, [(volume, folder, name)]).
GROUPS = [
    ('faixa & 1.mp3', [(NAMES[0], '\\Musica', 'faixa & 1.mp3'), (NAMES[1], '\\Copia', 'faixa & 1.mp3'),
                       (NAMES[1], '\\Musica', 'faixa & 1.mp3'), (NAMES[4], '\\', 'faixa & 1.mp3')]),
    ('IMG_0001.JPG', [(NAMES[0], '\\Fotos', 'IMG_0001.JPG'), (NAMES[1], '\\Backup', 'img_0001.jpg'),
                      (NAMES[4], '\\Fotos', 'IMG_0001.jpg')]),
    ('Relatório.txt', [(NAMES[0], '\\Docs', 'Relatório.txt'), (NAMES[1], '\\Docs2', 'RELATÓRIO.TXT')]),
    ('foto.png', [(LABEL, '\\', 'foto.png'), (LABEL, '\\', 'foto.png')]),
]
DISC_OF = {NAMES[0]: 'A', NAMES[1]: 'B', NAMES[4]: 'D'}

LEVEL_ONE = '''return Array.from(document.querySelectorAll('#arvore [role=treeitem][aria-level="1"]'))
  .sort(function (x, y) { return x.offsetTop - y.offsetTop; })
  .map(function (r) { return [r.querySelector('.nome').textContent, r.title, r.getAttribute('aria-setsize')]; });'''

DUPLICATES = '''return Array.from(document.querySelectorAll('#corpo-duplicados [role=row]'))
  .sort(function (x, y) { return x.offsetTop - y.offsetTop; })
  .map(function (r) { var a = r.querySelector('a'), c = r.children;
    return [r.classList.contains('grupo'), a.textContent, a.getAttribute('href') ? a.href : null,
            c[1].textContent, c[2].textContent]; });'''


def duplicate_groups(b):
    groups = []
    for group, name, href, volume, folder in b.execute_script(DUPLICATES):
        if group:
            groups.append((name, []))
        else:
            groups[-1][1].append((volume, folder, name))
            if volume == LABEL:  # the discs in P:, each in its turn
                check(href == 'file:///P:/' + name, '%s links to %s' % (name, href))
                continue
            want = os.path.join(BASE, DISC_OF.get(volume, '?'), *folder.strip('\\').split('\\'), name)
            check(href and page.unix_of_url(href) == os.path.normpath(want), '%s links to %s' % (name, href))
    return groups


def show(b, segments):
    b.execute_script('location.hash = arguments[0]', '#/' + '/'.join(urllib.parse.quote(s, safe='') for s in segments))
    time.sleep(0.05)


def reload(b):
    b.refresh()
    for _ in range(300):
        if b.execute_script('return document.documentElement.dataset.pronto'):
            return
        time.sleep(0.1)
    check(False, 'the page reloaded never became ready')


def selected(b):
    return page.selected(b).find_element(By.CLASS_NAME, 'nome').text


def keys(b, *sequence):
    tree = b.find_element(By.ID, 'arvore')
    tree.click()
    tree.send_keys(*sequence)
    return selected(b)


def counted():
    folders = files = size = 0
    for disc in ('A', 'B', 'P', 'P2', 'D'):
        for top, dirs, fs in os.walk(os.path.join(BASE, disc)):
            folders += 1
            fs = [f for f in fs if f != 'dentro.htm' and not f.startswith('.windows-')]
            files += len(fs)
            size += sum(os.path.getsize(os.path.join(top, f)) for f in fs)
    return [folders, files, size, 0, 5]


# What the page must show, a row a check: (what, how it is got from the page, what it must be).
def checks(b, col):
    dataset = 'var d = document.documentElement.dataset;'
    return [
        ('the tree\'s first level', lambda: [r[0] for r in b.execute_script(LEVEL_ONE)], NAMES),
        ('each volume row tells its place in the level', lambda: [r[2] for r in b.execute_script(LEVEL_ONE)], ['5'] * 5),
        ('the discs\' labels and serials in their rows\' tooltips',
         lambda: [all(s in r[1] for s in ('rótulo ' + LABEL, 'livres')) and r[1].count('série ') == 1 and
                  r[1].split('série ')[1][:9] for r in b.execute_script(LEVEL_ONE)[2:4]], ['1A2B-3C4D', '5566-7788']),
        ('the second disc of that label, by its address, after a reload',
         lambda: (show(b, [LABEL + '~2']), reload(b), page.selected(b).get_attribute('aria-posinset'),
                  b.find_element(By.ID, 'titulo-lista').text.split(' · ')[:2])[2:], ('4', [LABEL, 'rótulo ' + LABEL])),
        ('the header\'s totals and volumes', lambda: b.execute_script(
            dataset + 'return [+d.folders, +d.files, +d.bytes, +d.unreadable, +d.volumes];'), counted()),
        ('the header lists the volumes', lambda: [e.text for e in b.find_elements(By.CSS_SELECTOR, '.volumes tbody th')], NAMES),
        ('a folder below a volume, by its address',
         lambda: (show(b, ['Disco B', 'Docs2']), selected(b), page.selected(b).get_attribute('aria-level'))[1:], ('Docs2', '2')),
        ('its files link to them', lambda: [(r[0], page.unix_of_url(r[1])) for r in page.rows(b)],
         [(n, os.path.join(BASE, 'B', 'Docs2', n)) for n in ('novo.txt', 'RELATÓRIO.TXT')]),
        ('the address survives a reload', lambda: (reload(b), selected(b))[1], 'Docs2'),
        ('Home selects the first volume', lambda: keys(b, Keys.HOME), NAMES[0]),
        ('Right opens it, Down goes in', lambda: keys(b, Keys.ARROW_RIGHT, Keys.ARROW_DOWN), 'Docs'),
        ('Left goes back up, and no further', lambda: keys(b, Keys.ARROW_LEFT, Keys.ARROW_LEFT, Keys.ARROW_LEFT), NAMES[0]),
        ('the first volume\'s address', lambda: urllib.parse.unquote(b.execute_script('return location.hash')), '#/' + NAMES[0]),
        ('the replaced volume\'s changes, under its name',
         lambda: (b.find_element(By.ID, 'ver-mudancas').click(),
                  sorted((r[1], r[3]) for r in b.execute_script(CHANGES)))[1],
         [('nota.txt', 'Disco B'), ('novo.txt', 'Disco B\\Docs2')]),
        ('the duplicates button', lambda: b.find_element(By.ID, 'ver-duplicados').text, 'Duplicados (4)'),
        ('the duplicates, most bytes first', lambda: (b.find_element(By.ID, 'ver-duplicados').click(), duplicate_groups(b))[1],
         GROUPS),
        ('the duplicates\' address survives a reload',
         lambda: (reload(b), b.execute_script('return [location.hash, document.getElementById("duplicados").hidden]'))[1],
         ['#duplicados', False]),
        ('and shows the same groups', lambda: duplicate_groups(b), GROUPS),
        ('a page inside a volume links relative to itself',
         lambda: (page.open_page(b, os.path.join(BASE, 'A', 'dentro.htm'), '#/' + urllib.parse.quote(NAMES[0], safe='') + '/Docs'),
                  b.execute_script('return Array.from(document.querySelectorAll("#corpo a"), a => a.getAttribute("href"))'))[1],
         ['./Docs/Relat%C3%B3rio.txt']),
    ]


CHANGES = '''return Array.from(document.querySelectorAll('#corpo-mudancas [role=row]:not(.grupo)'))
  .map(function (r) { var c = r.children; return [r.className, c[0].querySelector('a').textContent, '', c[1].textContent]; });'''


def tampered(b, col):
    """A collection edited by hand: a base that would run script, then one cut short."""
    with open(col, encoding='utf-8') as f:
        text = f.read()
    bad = os.path.join(BASE, 'mexida.htm')
    start = text.index('tombarel-colecao\t1\n')
    with open(bad, 'w', encoding='utf-8') as f:
        f.write(text.replace('\nV\t', '\nV\tjavascript:alert(1)//', 1))
    page.open_page(b, bad, '#/' + urllib.parse.quote(NAMES[0], safe='') + '/Docs')
    hrefs = [r[1] for r in page.rows(b)]
    check(hrefs and not any(h.lower().startswith('javascript') for h in hrefs), 'a base that runs script: %s' % hrefs)
    with open(bad, 'w', encoding='utf-8') as f:
        f.write(text[:text.index('\n.\n', start) + 1] + text[text.index('</script>', start):])
    b.get('file://' + urllib.parse.quote(bad))
    time.sleep(0.5)
    error = b.execute_script('return document.documentElement.dataset.erro') or ''
    check('cortad' in error, 'a collection cut short says %r' % error)


# Searches across every volume, with filters: each query and the hits' (name, volume), in
# order of name then volume; an unknown filter finds nothing and says so.
A, B, P, D = NAMES[0], NAMES[1], NAMES[2], NAMES[4]
SEARCHES = [
    ('ext:mp3', [('faixa & 1.mp3', v) for v in sorted([A, B, B, D])]),
    ('faixa volume:disco', [('faixa & 1.mp3', B)] * 2),
    ('tamanho:100b..300b', sorted([('IMG_0001.JPG', A), ('IMG_0001.jpg', D), ('img_0001.jpg', B),
                                   ('Relatório.txt', A), ('RELATÓRIO.TXT', B)])),
    ('foto volume:fotos2019', [('foto.png', P)] * 2),
    ('cor:azul', []),
]
RESULTS = '''return Array.from(document.querySelectorAll('#resultados [role=row]'))
  .map(function (r) { return [r.children[0].textContent, r.children[4] ? r.children[4].textContent : '']; });'''


def check_searches(b):
    field = b.find_element(By.ID, 'busca')
    for query, want in SEARCHES:
        field.clear()
        field.send_keys(query)
        for _ in range(100):
            done = b.execute_script('var h = document.documentElement;'
                                    'return !h.dataset.buscando && h.dataset.busca !== undefined;')
            if done:
                break
            time.sleep(0.05)
        got = sorted(tuple(r) for r in b.execute_script(RESULTS))
        check(got == sorted(want), 'search %r across the volumes: %r' % (query, got))
    status = b.find_element(By.ID, 'busca-estado').text
    check('cor:azul' in status, 'an unknown filter says so: %r' % status)
    field.clear()


def browse(b, col):
    page.open_page(b, col, '#duplicados')
    note_axe(b, 'collection, the duplicates')
    page.open_page(b, col)
    note_axe(b, 'collection, its volumes')
    for what, got, want in checks(b, col):
        value = got()
        check(value == want, '%s: %r, wanted %r' % (what, value, want))
    page.open_page(b, col)
    check_searches(b)
    tampered(b, col)


def main():
    col = build()
    try:
        each_engine(browse, col)
    finally:
        os.remove(os.path.join(os.environ['WINEPREFIX'], 'dosdevices', 'p:'))
        shutil.rmtree(BASE, ignore_errors=True)


if __name__ == '__main__':
    main()
    finish('collection page')
