#!/usr/bin/python3
# Writes catalogues with the built Tombarel.exe under Wine and drives the pages in Chromium,
# Firefox ESR and WebKitGTK (browsers.py), each check once per engine: tree, sort, search,
# links to the files, totals, links to folders, long paths, a moved tree. Run by
# scripts/test-catalog-page.sh (or CTest) with WINEPREFIX and DISPLAY set; "--unreadable" is
# the part run as the ordinary user against $TOMBAREL_LOCKED.
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unicodedata
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browsers import By, Keys, check, each_engine, failures, finish, note_axe  # noqa: E402,F401

DRIVE_C = os.path.join(os.environ.get('WINEPREFIX', ''), 'drive_c')


def windows(path):
    return 'C:\\' + os.path.relpath(path, DRIVE_C).replace('/', '\\')


def unix_of_url(url):
    """The file on disk a file: URL names (an absolute C:/ URL is mapped to the prefix)."""
    path = urllib.parse.unquote(urllib.parse.urlsplit(url).path)
    if re.match(r'^/[A-Za-z]:/', path):
        path = os.path.join(DRIVE_C, path[4:])
    return path


def mark_unreadable(page_file, folder, renamed=None):
    """Edits a catalogue's data block as if `folder` (a name below the root) had not been read
    and, given (a name's line, another line), as if that name had been written otherwise."""
    with open(page_file, encoding='utf-8', newline='') as f:
        text = f.read()
    start = text.index('tombarel-catalogo\t1\n')
    end = text.index('\n.\n', start)
    lines = text[start:end].split('\n')
    at = lines.index(folder, lines.index('N')) - lines.index('N') - 1
    p = lines.index('P') + 1 + at
    lines[p] = lines[p][:lines[p].rindex('\t') + 1] + '1'
    digits, number = '0123456789abcdefghijklmnopqrstuvwxyz', ''
    while not number or at:
        at, digit = divmod(at, 36)
        number = digits[digit] + number
    lines.insert(lines.index('E') + 1, '%s\t5\tAcesso negado.' % number)
    lines = ['ilegiveis\t1' if line.startswith('ilegiveis\t') else
             renamed[1] if renamed and line == renamed[0] else line for line in lines]
    with open(page_file, 'w', encoding='utf-8', newline='') as f:
        f.write(text[:start] + '\n'.join(lines) + text[end:])


def write_catalogue(folder, target=None, ok=0):
    args = ['wine', os.environ['TOMBAREL_EXE'], '/catalogo', windows(folder)]
    if target:
        args += [windows(target) if target.startswith(DRIVE_C) else target]
    run = subprocess.run(args + ['/y'], capture_output=True, timeout=120)
    check(run.returncode == ok, 'exit %d (wanted %d) for %s: %s' % (run.returncode, ok, args, run.stderr[-300:]))


def open_page(b, page, fragment=''):
    b.get('file://' + urllib.parse.quote(page) + fragment)
    for _ in range(300):
        state = b.execute_script('var h = document.documentElement; return [h.dataset.pronto, h.dataset.erro];')
        if state[0] or state[1]:
            check(state[0] == '1', 'page %s not ready: %s' % (page, state[1]))
            return
        time.sleep(0.1)
    check(False, 'page %s never ready' % page)


ROWS = '''
var box = document.getElementById(arguments[0]);
return Array.from(box.querySelectorAll('[role=row], [role=listitem]'))
  .sort(function (x, y) { return x.offsetTop - y.offsetTop; })
  .map(function (r) { var a = r.querySelector('a'), w = r.querySelector('.onde');
    return [a.textContent, a.href, r.children[1] ? r.children[1].title || r.children[1].textContent : '',
            w ? w.textContent : '']; });
'''


def rows(b, box='corpo'):
    return b.execute_script(ROWS, box)


def show(b, rel):
    """Shows a folder through the address, as a bookmark would."""
    b.execute_script('location.hash = arguments[0]', '#/' + '/'.join(urllib.parse.quote(s, safe='') for s in rel))
    time.sleep(0.05)


def selected(b):
    return b.find_element(By.CSS_SELECTOR, '#arvore [aria-selected=true]')


def fold(s):
    s = unicodedata.normalize('NFD', s)
    return ''.join(c for c in s if not unicodedata.combining(c)).lower()


def matches(query, name):
    q, n = fold(query), fold(name)
    if '*' not in q and '?' not in q:
        return q in n
    pattern = ''.join('.*' if c == '*' else '.' if c == '?' else re.escape(c) for c in q)
    return re.search(pattern, n) is not None


def search(b, query):
    field = b.find_element(By.ID, 'busca')
    field.clear()
    field.send_keys(query)
    time.sleep(0.05)
    return int(b.execute_script('return document.documentElement.dataset.busca || 0'))


# Names Windows allows that break naive links or markup, each its own file (content: its name).
NAMES = ['a#b.txt', 'x&y.txt', "it's.txt", '100%.txt', 'semi;colon.txt', '%41.txt', '%2e%2E.txt',
         'Relatório Ação.TXT', 'カタログ.txt', '\U0001d11e clave.txt', 'colchete [1].txt',
         '&lt;b&gt;negrito&lt;&#47;b&gt;.txt', '&amp;.txt', '<i>.txt'.replace('<', '\u2039').replace('>', '\u203a'),
         'n' * 251 + '.txt', 'espaço  duplo .txt', '.oculto']


def make_tree(root):
    shutil.rmtree(root, ignore_errors=True)
    for rel, names in (('Nomes', NAMES), ('Fotos/2019/Praia', ['IMG_0001.jpg', 'IMG_0002.jpg']),
                       ('Fotos/Ação & Cia', ['relatório.pdf']), ('Vazia', [])):
        os.makedirs(os.path.join(root, rel), exist_ok=True)
        for k, name in enumerate(names):
            with open(os.path.join(root, rel, name), 'w', encoding='utf-8') as f:
                f.write(name * (k + 1))
    os.symlink('..', os.path.join(root, 'Fotos', 'volta'))
    deep = os.path.join(root, 'Longo', *['%02d-' % k + 'p' * 56 for k in range(5)])
    os.makedirs(deep)
    with open(os.path.join(deep, 'fundo.txt'), 'w') as f:
        f.write('fundo')
    many = os.path.join(root, 'Muitos')
    os.makedirs(many)
    for k in range(3000):
        with open(os.path.join(many, 'arquivo %04d.dat' % k), 'wb') as f:
            f.truncate((k * 7919) % 5000)
    check(len(windows(os.path.join(deep, 'fundo.txt'))) > 260, 'the deep file is not past 260 characters')
    return deep


def counted(root, skip):
    """What the folder holds, counted here: folders (links included, not followed), files, bytes."""
    folders, files, size, names = 1, 0, 0, []
    for top, dirs, fs in os.walk(root):
        folders += len(dirs)
        names += dirs
        for f in fs:
            p = os.path.join(top, f)
            if os.path.abspath(p) != skip:
                files += 1
                size += os.lstat(p).st_size
                names.append(f)
    return folders, files, size, names


def check_totals(b, root, page):
    want = counted(root, page)
    got = b.execute_script('var d = document.documentElement.dataset;'
                           'return [+d.folders, +d.files, +d.bytes, +d.unreadable];')
    check(got == list(want[:3]) + [0], 'totals %s, the folder holds %s' % (got, want[:3]))
    return want[3]


def check_names(b, root):
    """Every awkward name shows exactly as named and its link leads to that file."""
    show(b, ['Nomes'])
    listed = rows(b)
    check(sorted(r[0] for r in listed) == sorted(NAMES), 'Nomes lists %s' % [r[0] for r in listed])
    for name, href, _, _ in listed:
        check(unix_of_url(href) == os.path.join(root, 'Nomes', name), '%r links to %s' % (name, href))
    check(b.find_elements(By.CSS_SELECTOR, '#corpo b, #corpo i') == [], 'a name became markup')
    hidden = [r for r in b.find_elements(By.CSS_SELECTOR, '#corpo .oculta a')]
    check([h.get_attribute('textContent') for h in hidden] == ['.oculto'], 'hidden marks %s' % hidden)


def check_tree(b, root):
    top = b.find_element(By.CSS_SELECTOR, '#arvore [role=treeitem][aria-level="1"]')
    check(top.text.startswith(windows(root)), 'the root reads %r' % top.text)
    for rel in (['Fotos'], ['Fotos', '2019', 'Praia'], ['Fotos', 'Ação & Cia'], ['Vazia'],
                ['Longo', '00-' + 'p' * 56, '01-' + 'p' * 56]):
        show(b, rel)
        item = selected(b)
        check(item.text.startswith(rel[-1]) and item.get_attribute('aria-level') == str(len(rel) + 1),
              'showing %s selects %r (level %s)' % (rel, item.text, item.get_attribute('aria-level')))
        here = os.path.join(root, *rel)
        files = sorted(f for f in os.listdir(here) if os.path.isfile(os.path.join(here, f)))
        check(sorted(r[0] for r in rows(b)) == files, '%s lists %s' % (rel, rows(b)))
    # Fotos, all of it below: 2019/Praia's two files and relatório.pdf.
    show(b, ['Fotos'])
    check(selected(b).text.split('\n')[0].startswith('Fotos') and '3 arquivos' in selected(b).text,
          'Fotos counts %r' % selected(b).text)
    link = b.find_element(By.XPATH, '//*[@role="treeitem"][starts-with(normalize-space(.), "volta")]')
    check(link.get_attribute('aria-expanded') is None and 'link' in link.text,
          'the link back to its parent reads %r, expanded=%s' % (link.text, link.get_attribute('aria-expanded')))
    # Keys: Home goes to the root, Down to its first folder, Left closes it, then goes up;
    # Back returns to the folder shown before.
    tree = b.find_element(By.ID, 'arvore')
    tree.click()
    tree.send_keys(Keys.HOME, Keys.ARROW_DOWN)
    check(selected(b).text.startswith('Fotos'), 'Down after Home selects %r' % selected(b).text)
    tree.send_keys(Keys.ARROW_LEFT)
    check(selected(b).get_attribute('aria-expanded') == 'false', 'Left closes %r' % selected(b).text)
    tree.send_keys(Keys.ARROW_LEFT)
    check(selected(b).get_attribute('aria-level') == '1', 'Left again selects %r' % selected(b).text)
    # * opens a folder and those beside it; letters go to the next folder shown starting with them
    # (case, accents aside), together as one prefix, one letter again to the next such folder.
    for keys, want in (((Keys.ARROW_DOWN, '*'), 'Fotos'), ((Keys.HOME, 'a'), 'Ação'), (('va',), 'Vazia'), (('vvv',), 'volta')):
        time.sleep(1.1)  # the letters typed before are forgotten
        tree.send_keys(*keys)
        check(selected(b).text.startswith(want), '%r selects %r' % (keys, selected(b).text))
    got = [selected(b).get_attribute(a) for a in ('aria-level', 'aria-posinset', 'aria-setsize')] + [f.get_attribute(
        'aria-expanded') for f in b.find_elements(By.CSS_SELECTOR, '#arvore [aria-level="2"][aria-expanded]')]
    check(got == ['3', '3', '3', 'true', 'true'], 'volta: level, place, siblings; * opened Fotos, Longo: %s' % got)
    show(b, ['Vazia'])
    show(b, ['Fotos', '2019'])
    b.back()
    time.sleep(0.1)
    check(selected(b).text.startswith('Vazia'), 'Back shows %r' % selected(b).text)


def check_many(b):
    """A folder of 3,000 files: few rows in the document, scrolling and sorting by size."""
    show(b, ['Muitos'])
    count = len(b.find_elements(By.CSS_SELECTOR, '#corpo [role=row]'))
    check(0 < count < 80, '%d rows in the document for 3,000 files' % count)
    b.execute_script('var c = document.getElementById("corpo"); c.scrollTop = c.scrollHeight;'
                     'c.dispatchEvent(new Event("scroll"));')
    check(rows(b)[-1][0] == 'arquivo 2999.dat', 'scrolled to the end shows %s' % rows(b)[-1][0])
    head = b.find_element(By.CSS_SELECTOR, '#arquivos [role=columnheader] button[data-coluna="1"]')
    for direction in ('ascending', 'descending'):
        head.click()
        b.execute_script('document.getElementById("corpo").scrollTop = 0')
        sizes = [int(r[2].split()[0].replace('.', '')) for r in rows(b)]
        check(sizes == sorted(sizes, reverse=direction == 'descending') and len(sizes) > 10,
              'sorted %s by size: %s' % (direction, sizes[:12]))
        check(head.find_element(By.XPATH, '..').get_attribute('aria-sort') == direction, 'aria-sort')
    b.find_element(By.ID, 'corpo').click()
    b.find_element(By.ID, 'arquivos').send_keys(Keys.END)
    check(b.execute_script('return document.querySelector("#corpo [aria-selected=true] a").textContent')
          == rows(b)[-1][0], 'End selects the last row')


def check_search(b, root, names):
    for query in ('[', '%', '&', '#', '%41', '.', 'relatorio acao', 'RELATÓRIO', 'カタ', '\U0001d11e',
                  'sem?*colon', 'img_*.jpg', 'arquivo 12?4', '&lt;b&gt;', 'nada assim'):
        got = search(b, query)
        want = sorted(n for n in names if matches(query, n))
        check(got == len(want), 'search %r: %d hits, %d names match' % (query, got, len(want)))
        if len(want) <= 30:
            check(sorted(r[0] for r in rows(b, 'resultados')) == want,
                  'search %r shows %s' % (query, [r[0] for r in rows(b, 'resultados')]))
    # A hit followed to its file, then its folder shown in the tree.
    search(b, '%41')
    (name, href, _, where), = rows(b, 'resultados')
    check(name == '%41.txt' and where == windows(os.path.join(root, 'Nomes')), 'the hit reads %r in %r' % (name, where))
    check(unix_of_url(href) == os.path.join(root, 'Nomes', '%41.txt'), 'the hit links to %s' % href)
    b.find_element(By.CSS_SELECTOR, '#resultados .onde').click()
    check(selected(b).text.startswith('Nomes') and b.execute_script('return location.hash') == '#/Nomes',
          'the hit\'s folder shows %r' % selected(b).text)
    b.get(href)
    check(b.find_element(By.TAG_NAME, 'body').text == '%41.txt' * 6, 'the hit opened %r' % b.page_source[:200])


def main_suite():
    base = os.path.join(DRIVE_C, 'tombarel-catalogo')
    root = os.path.join(base, 'arvore')
    deep = make_tree(root)
    inside, outside = os.path.join(root, 'Catalogo.htm'), os.path.join(base, 'fora.htm')
    # Outside first: the one inside the tree leaves itself out, and the totals are the same.
    write_catalogue(root, outside)
    write_catalogue(root)
    try:
        each_engine(browse_main, root, deep, inside, outside)
    finally:
        shutil.rmtree(base, ignore_errors=True)


def browse_main(b, root, deep, inside, outside):
    for page in (inside, outside):
        open_page(b, page)
        if page == inside:
            note_axe(b, 'catalogue, the root folder')
        names = check_totals(b, root, inside)
        check_tree(b, root)
        check_names(b, root)
        show(b, ['Longo'] + deep[len(root) + len('/Longo/'):].split('/'))
        check([unix_of_url(r[1]) for r in rows(b)] == [os.path.join(deep, 'fundo.txt')], 'the deep file\'s link')
    open_page(b, inside)
    check_many(b)
    note_axe(b, 'catalogue, a folder of 3,000 files sorted by size')
    open_page(b, inside)
    search(b, 'relatorio')
    note_axe(b, 'catalogue, search results')
    check_search(b, root, names)
    # The whole tree moved: the page inside it still reaches its files. Moved back for the
    # next engine.
    moved = root + '-movida'
    shutil.rmtree(moved, ignore_errors=True)
    os.rename(root, moved)
    try:
        open_page(b, os.path.join(moved, 'Catalogo.htm'), '#/Nomes')
        for name, href, _, _ in rows(b):
            check(os.path.exists(unix_of_url(href)) and unix_of_url(href).startswith(moved), 'moved: %s' % href)
    finally:
        os.rename(moved, root)


def unreadable_suite():
    """As the ordinary user: $TOMBAREL_LOCKED holds leia.txt and Fechada, which it cannot list."""
    locked = os.environ['TOMBAREL_LOCKED']
    folder = tempfile.mkdtemp(prefix='catalog-page-')
    try:
        page = os.path.join(folder, 'fechada.htm')
        write_catalogue(os.path.join(DRIVE_C, locked[3:].replace('\\', '/')), 'Z:' + page.replace('/', '\\'))
        each_engine(browse_unreadable, page)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def browse_unreadable(b, page):
    open_page(b, page)
    note_axe(b, 'catalogue with a folder not read')
    check(b.execute_script('return document.documentElement.dataset.unreadable') == '1', 'data-unreadable')
    item = b.find_element(By.XPATH, '//*[@role="treeitem"][starts-with(normalize-space(.), "Fechada")]')
    check('não lida' in item.text and len(item.text) > len('Fechada não lida: '), 'Fechada reads %r' % item.text)
    check('Fechada' in b.find_element(By.ID, 'problemas').get_attribute('textContent'), 'the list under the header')
    check([r[0] for r in rows(b)] == ['leia.txt'], 'the readable file is listed')


if __name__ == '__main__':
    (unreadable_suite if '--unreadable' in sys.argv else main_suite)()
    finish('catalog page')
