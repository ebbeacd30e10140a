#!/usr/bin/python3
# The catalogue page's search, driven in Chromium, Firefox ESR and WebKitGTK on a catalogue written by the built
# Tombarel.exe under Wine: a table of queries (wildcards, accents, a surrogate pair, each
# filter at its edges, filters that do not parse) and the names each finds; a worst-case
# query run in slices and overtaken by a newer one; the results grid's roles, keys and sort.
# Run by scripts/test-catalog-page.sh tests/catalog/search_page_test.py (or CTest).
import os
import shutil
import time

from browsers import By, Keys, check, each_engine, finish, note_axe
from catalog_page_test import DRIVE_C, open_page, rows, write_catalogue

KB, MB, GB = 1024, 1024 ** 2, 1024 ** 3
# folder, name, size, modified (local time: year, month, day, hour, minute, second)
FILES = [
    ('Documentos', 'alfa.pdf', KB, (2023, 12, 31, 23, 59, 59)),
    ('Documentos', 'beta.PDF', KB + 1, (2024, 1, 1, 0, 0, 0)),
    ('Documentos', 'gama.txt', MB, (2024, 5, 1, 0, 0, 0)),
    ('Documentos', 'delta.txt', 5 * MB, (2024, 5, 31, 23, 59, 59)),
    ('Documentos', 'Épsilon.doc', 5 * MB + 1, (2024, 6, 1, 0, 0, 0)),
    ('Documentos', 'ação.txt', 10, (2022, 7, 15, 12, 0, 0)),
    ('Música', '\U0001d11e clave.mid', 3, (2025, 1, 1, 10, 0, 0)),
    ('Música', 'a\U0001d11eb.mid', 3, (2025, 1, 1, 10, 0, 0)),
    ('Música', 'aqua.mp3', 100, (2021, 3, 3, 3, 3, 3)),
    ('Quadros', 'imagem.iso', 3 * GB, (2020, 2, 29, 8, 0, 0)),
]
MANY = 4000  # generated names, "dado 0000.dat" ..., none with a q, all from 1990

UNKNOWN, SIZE, DATE = 'Filtro desconhecido: ', 'Tamanho que não se entende: ', 'Data que não se entende: '
# query, the names it finds (None: not listed, only counted), the status it shows when not a count
QUERIES = [
    ('a*q', ['aqua.mp3'], None),
    ('e*e*e*e*e*z', [], None),
    ('a?b', ['a\U0001d11eb.mid'], None),            # a pair of surrogates is one character
    ('a??b', [], None),
    ('? clave', ['\U0001d11e clave.mid'], None),
    ('ACAO*TXT', ['ação.txt'], None),
    ('epsilon', ['Épsilon.doc'], None),
    ('quadros', ['Quadros'], None),                 # a folder
    ('quadros tamanho:>0', [], None),               # a folder has no size
    ('ext:pdf', ['alfa.pdf', 'beta.PDF'], None),
    ('ext:.TXT', ['ação.txt', 'delta.txt', 'gama.txt'], None),
    ('tamanho:1kb', ['alfa.pdf'], None),
    ('ext:pdf tamanho:>1kb', ['beta.PDF'], None),   # strict
    ('ext:pdf tamanho:<1025', ['alfa.pdf'], None),
    ('tamanho:1mb..5mb', ['delta.txt', 'gama.txt'], '2 resultados · 6,0 MB'),  # both ends held
    ('tamanho:>1,5gb', ['imagem.iso'], None),
    ('modificado:2024', ['Épsilon.doc', 'beta.PDF', 'delta.txt', 'gama.txt'], None),
    ('modificado:2024-05', ['delta.txt', 'gama.txt'], None),
    ('modificado:>2024-05-31', ['Épsilon.doc', 'a\U0001d11eb.mid', '\U0001d11e clave.mid'], None),
    ('modificado:<2024 modificado:>1999', ['alfa.pdf', 'aqua.mp3', 'ação.txt', 'imagem.iso'], None),
    ('modificado:2023..2024 d', ['Épsilon.doc', 'alfa.pdf', 'beta.PDF', 'delta.txt'], None),
    ('modificado:2020-02-29', ['imagem.iso'], None),
    ('volume:ARVORE ext:pdf', ['alfa.pdf', 'beta.PDF'], None),
    ('volume:outro', [], None),
    ('cor:azul', [], UNKNOWN + 'cor:azul'),
    ('alfa tamanho:>xyz', [], SIZE + 'tamanho:>xyz'),
    ('modificado:2023-02-29', [], DATE + 'modificado:2023-02-29'),
    ('modificado:2024..', [], DATE + 'modificado:2024..'),
    ('ext:', [], 'Filtro sem valor: ext:'),
    ('dado 12?4', None, None),
]


def make_tree(root):
    shutil.rmtree(root, ignore_errors=True)
    for folder, name, size, when in FILES:
        os.makedirs(os.path.join(root, folder), exist_ok=True)
        path = os.path.join(root, folder, name)
        with open(path, 'wb') as f:
            f.truncate(size)
        t = time.mktime(when + (0, 0, -1))
        os.utime(path, (t, t))
    os.makedirs(os.path.join(root, 'Muitos'))
    old = time.mktime((1990, 1, 1, 0, 0, 0, 0, 0, -1))
    for k in range(MANY):
        path = os.path.join(root, 'Muitos', 'dado %04d.dat' % k)
        open(path, 'wb').close()
        os.utime(path, (old, old))


def state(b):
    return b.execute_script('var h = document.documentElement; return [h.dataset.buscando, h.dataset.busca,'
                            'document.getElementById("busca-estado").textContent];')


def search(b, query):
    field = b.find_element(By.ID, 'busca')
    field.clear()
    field.send_keys(query)
    for _ in range(100):
        running, count, status = state(b)
        if not running and count is not None:
            return int(count), status
        time.sleep(0.05)
    check(False, 'search %r never finished' % query)
    return -1, ''


def check_queries(b):
    for query, want, status in QUERIES:
        count, shown = search(b, query)
        if want is None:
            check(count == 10, 'search %r: %d hits' % (query, count))
            continue
        got = sorted(r[0] for r in rows(b, 'resultados'))
        check(got == sorted(want) and count == len(want), 'search %r shows %s (%d)' % (query, got, count))
        if status:
            check(shown == status, 'search %r says %r' % (query, shown))


def check_slices(b):
    """With a clock that runs fast every slice ends at once: a search takes several, and a newer
    one typed while it runs is the one whose results stay."""
    b.execute_script('var t = 0; performance.now = function () { return t += 50; };')
    running = b.execute_script('''var field = document.getElementById('busca'), h = document.documentElement;
        field.value = 'a*q'; field.dispatchEvent(new Event('input'));
        var running = h.dataset.buscando;
        field.value = 'dado 12?4'; field.dispatchEvent(new Event('input'));
        return running;''')
    check(running == '1', 'a search of %d names ran in one slice' % MANY)
    time.sleep(0.5)
    count, status = state(b)[1:]
    got = sorted(r[0] for r in rows(b, 'resultados'))
    check(count == '10' and got == ['dado %04d.dat' % k for k in range(1204, 1300, 10)],
          'the newer query left %s hits: %s (%s)' % (count, got, status))
    count, _ = search(b, 'a*q')
    check(count == 1, 'a*q in slices: %d hits' % count)


def check_grid(b):
    search(b, 'a')
    roles = b.execute_script('''var g = document.getElementById('achados'), r = g.querySelector('.rolagem [role=row]');
        return [g.getAttribute('role'), Array.from(g.querySelectorAll('[role=columnheader]')).map(function (h) { return h.textContent; }),
                r && Array.from(r.children).map(function (c) { return c.getAttribute('role'); }).join(),
                g.querySelectorAll('[role=list], [role=listitem]').length];''')
    check(roles == ['grid', ['Nome', 'Tamanho', 'Modificado em', 'Pasta'], ','.join(['gridcell'] * 4), 0],
          'the results grid: %s' % roles)
    note_axe(b, 'search results in a grid')
    head = b.find_element(By.CSS_SELECTOR, '#achados [role=columnheader] button[data-coluna="1"]')
    head.click()
    head.click()
    sizes = [int(r[2].split()[0].replace('.', '')) for r in rows(b, 'resultados') if r[2]]
    check(sizes == sorted(sizes, reverse=True) and sizes[0] == 3 * GB and
          head.find_element(By.XPATH, '..').get_attribute('aria-sort') == 'descending', 'sorted by size: %s' % sizes[:8])
    # Keys: Home, Down; Enter on a folder shows it in the tree; Escape goes back to the field.
    search(b, 'quadros')
    body = b.find_element(By.ID, 'achados')
    body.click()
    body.send_keys(Keys.ESCAPE)
    check(b.execute_script('return document.activeElement.id') == 'busca', 'Escape goes back to the field')
    body.click()
    body.send_keys(Keys.HOME, Keys.ENTER)
    check(b.execute_script('return location.hash') == '#/Quadros', 'Enter on a folder hit shows it')


def browse(b, page):
    open_page(b, page)
    check_queries(b)
    check_grid(b)
    open_page(b, page)
    check_slices(b)


def main():
    base = os.path.join(DRIVE_C, 'tombarel-busca')
    root = os.path.join(base, 'arvore')
    make_tree(root)
    page = os.path.join(base, 'busca.htm')
    write_catalogue(root, page)
    try:
        each_engine(browse, page)
    finally:
        shutil.rmtree(base, ignore_errors=True)


if __name__ == '__main__':
    main()
    finish('search page')
