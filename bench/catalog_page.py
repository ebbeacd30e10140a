#!/usr/bin/python3
# Times a catalogue page written by Tombarel in headless Chromium from file://: the page
# usable and searches over all names (typical ones and worst cases), each against the floor of
# loading a page of the same size whose bytes sit in one unrendered <script type="text/plain">
# block.
# Usage: bench/catalog_page.py PAGE [runs] [files]   (prints one table, medians and spread)
import os
import re
import shutil
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'catalog'))
import browsers  # noqa: E402


def start_browser():
    """Chromium as the page tests start it, in a private folder removed when it quits."""
    browser = browsers.start_chromium(size=(1280, 900))
    browser.set_page_load_timeout(600)
    browser.set_script_timeout(600)
    return browser


def write_floor(page, folder):
    """The floor page: as many bytes as the catalogue, all in one text/plain block."""
    data = open(page, 'rb').read()
    head = b'<!DOCTYPE html><html><head><meta charset="utf-8"><title>floor</title></head><body>' \
           b'<script type="text/plain">'
    tail = b'</script><script>performance.mark("fim")</script></body></html>'
    body = data.replace(b'<', b' ')[:max(0, len(data) - len(head) - len(tail))]
    path = os.path.join(folder, 'floor.html')
    with open(path, 'wb') as f:
        f.write(head + body + tail)
    return path


def selective_query(page):
    """Part of a file name from the middle of the catalogue: a query with a few hits."""
    text = open(page, encoding='utf-8', errors='replace').read()
    block = text[text.index('id="tombarel-dados"'):]
    lines = block[block.index('\nN\n') + 3:block.index('\nP\n')].split('\n')
    name = lines[len(lines) * 2 // 3].replace('\\', '')
    stem = re.sub(r'\.[^.]*$', '', name)
    return stem[-6:] if len(stem) >= 6 else name


def mark_time(browser, name):
    """Milliseconds from navigation start to a performance mark, once the page has set it."""
    for _ in range(6000):
        t = browser.execute_script(
            'var m = performance.getEntriesByName(arguments[0]);'
            'return m.length ? m[0].startTime : (document.documentElement.dataset.erro ? -1 : null);', name)
        if t is not None:
            if t < 0:
                raise SystemExit('the page could not show the catalogue')
            return t
        browser.execute_script('return 0')
    raise SystemExit('the page did not become usable')


# A search typed into the field, timed until the page has shown its results (a search runs in
# slices: html's data-buscando is set until it is done); also the longest task the page ran
# meanwhile (what typing waits for at worst; the browser reports only tasks of 50 ms or more).
SEARCH = '''
var query = arguments[0], answer = arguments[arguments.length - 1], h = document.documentElement;
var field = document.getElementById('busca'), longest = 0, watch = null;
if (window.PerformanceObserver && (PerformanceObserver.supportedEntryTypes || []).indexOf('longtask') >= 0) {
  watch = new PerformanceObserver(function (list) {
    list.getEntries().forEach(function (e) { longest = Math.max(longest, e.duration); });
  });
  watch.observe({ entryTypes: ['longtask'] });
}
var t0 = performance.now();
field.value = query;
field.dispatchEvent(new Event('input'));
function shown() {
  document.body.getBoundingClientRect();
  var t = performance.now() - t0, hits = +h.dataset.busca;
  field.value = '';
  field.dispatchEvent(new Event('input'));
  setTimeout(function () { if (watch) watch.disconnect(); answer([t, hits, longest]); }, 100);
}
if (!h.hasAttribute('data-buscando')) shown();
else new MutationObserver(function (changes, seen) {
  if (!h.hasAttribute('data-buscando')) { seen.disconnect(); shown(); }
}).observe(h, { attributes: true, attributeFilter: ['data-buscando'] });
'''

# The searches timed: typical ones, then the worst cases for the matcher (rare hits whose
# pieces are common, many '?', a long query, a query every name matches).
TYPICAL = [('selective', None), ('a common word', 'foto'), ('filters', 'ext:pdf tamanho:>10kb')]
WORST = [('every name (*)', '*'), ('every name (?)', '?'), ('rare hit a*q', 'a*q'),
         ('rare hit e*e*e*e*e*z', 'e*e*e*e*e*z'), ('30 x ?', '?' * 30), ('200 characters', 'a*' * 100)]


# The changes view of a compared catalogue, opened and laid out (nothing on a plain page).
CHANGES = '''
var button = document.getElementById('ver-mudancas');
if (!button || button.hidden) return null;
var t0 = performance.now();
button.click();
document.body.getBoundingClientRect();
var t = performance.now() - t0;
button.click();
return t;
'''


def spread(values):
    return statistics.median(values), min(values), max(values)


def main():
    if len(sys.argv) < 2:
        raise SystemExit("usage: catalog_page.py PAGE [runs] [files]")
    page = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    files = sys.argv[3] if len(sys.argv) > 3 else ''
    work = tempfile.mkdtemp(prefix='catalog-bench-')
    try:
        floor_page = write_floor(page, work)
        query = selective_query(page)
        browser = start_browser()
        searches = [(label, q or query) for label, q in TYPICAL + WORST]
        times = {key: [] for key in ['floor', 'usable', 'changes'] + [label for label, _ in searches]}
        hits, longest = {}, {}
        try:
            # Interleaved, so a busy moment on the machine falls on both sides.
            for _ in range(runs):
                browser.get('about:blank')
                browser.get('file://' + floor_page)
                times['floor'].append(mark_time(browser, 'fim'))
                browser.get('about:blank')
                browser.get('file://' + page)
                times['usable'].append(mark_time(browser, 'tombarel-pronto'))
                for key, q in searches:
                    t, n, long_task = browser.execute_async_script(SEARCH, q)
                    times[key].append(t)
                    hits[key] = n
                    longest[key] = max(longest.get(key, 0), long_task)
                shown = browser.execute_script(CHANGES)
                if shown is not None:
                    times['changes'].append(shown)
                    hits['changes'] = browser.execute_script(
                        'var h = document.documentElement.dataset;'
                        'return (+h.added || 0) + (+h.removed || 0) + (+h.changed || 0);')
        finally:
            browser.quit()
    finally:
        shutil.rmtree(work, ignore_errors=True)

    floor = statistics.median(times['floor'])
    size = os.path.getsize(page)
    print('catalog page: %s, %.1f MB, %d runs, query "%s"' % (os.path.basename(page), size / 1e6, runs, query))
    rows = [('catalog floor (text/plain page)', 'floor'), ('catalog page usable', 'usable')]
    rows += [('catalog search ' + label, label) for label, _ in TYPICAL + WORST]
    rows += [('catalog changes view shown', 'changes')]
    print('%-40s %7s %9s %19s %7s %13s %9s %9s' % ('operation', 'files', 'time', '(spread)', 'ratio', '(spread)',
                                                 'hits', 'longtask'))
    for label, key in rows:
        if not times[key]:
            continue
        med, low, high = spread(times[key])
        print('%-40s %7s %6.1f ms (%7.1f..%7.1f) %6.3fx (%5.3f..%5.3f) %9s %9s' % (
            label, files, med, low, high, med / floor, low / floor, high / floor, hits.get(key, '-'),
            '%.0f ms' % longest[key] if longest.get(key) else '-'))
    for kind, group, target in (('typical', TYPICAL, 0.1), ('worst case', WORST, 0.3)):
        label = max((label for label, _ in group), key=lambda k: statistics.median(times[k]))
        print('slowest %s search: %s, %.3fx the floor (target %.1fx)' % (
            kind, label, statistics.median(times[label]) / floor, target))
    print('targets: page usable <= 2x the floor; a typical search <= 0.1x, a worst case <= 0.3x; a compared '
          'page usable as fast as the plain one')


if __name__ == '__main__':
    main()
