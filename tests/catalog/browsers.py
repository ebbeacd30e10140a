"""The browsers the catalogue's page is tested in, behind the one set of operations the page
tests use: open a URL, go back, run a script, find elements, click, type keys, clear a field,
read an element's text and attributes. Chromium (headless) and WebKitGTK's MiniBrowser (on the
tests' Xvfb) are driven through Selenium; Firefox ESR (headless) over WebDriver BiDi by
puppeteer-core, through firefox_bridge.js. Each browser gets a short private folder of its own
(profile, temporary files, sockets), removed when it quits, when the test fails and when it is
interrupted.

A test file's checks run once per engine through each_engine(); check() names the engine in
each failure. TOMBAREL_ENGINES (e.g. "firefox" or "chromium,webkit") narrows the engines."""
import atexit
import glob
import json
import os
import queue
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback

from selenium import webdriver
from selenium.common.exceptions import NoSuchElementException
from selenium.webdriver.chrome.service import Service as ChromeService
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.remote.webelement import WebElement

HERE = os.path.dirname(os.path.abspath(__file__))
NODE_MODULES = os.path.join(HERE, 'node_modules')
WIDTH, HEIGHT = 1280, 1000

failures = []
engine = None  # the engine whose checks run now
_live = []     # browsers started and not yet quit
_folders = []  # private folders not yet removed


def check(ok, what):
    if not ok:
        what = '[%s] %s' % (engine, what) if engine else what
        failures.append(what)
        print('FAIL:', what, flush=True)


def private_folder():
    """A new folder only this process reads, on a short path: a Unix socket's path may not pass
    108 characters, wherever the clone is. The scripts give a folder of the run's own in
    TOMBAREL_BROWSER_TMP (removed by their EXIT trap even when this process is killed)."""
    base = os.environ.get('TOMBAREL_BROWSER_TMP', '')
    if not (base and os.path.isdir(base) and os.access(base, os.W_OK | os.X_OK)):
        base = '/tmp'
    folder = tempfile.mkdtemp(prefix='tmb-', dir=base)
    _folders.append(folder)
    return folder


def _remove(folder):
    shutil.rmtree(folder, ignore_errors=True)
    if folder in _folders:
        _folders.remove(folder)


def browser_env(folder):
    """The environment of a browser and its driver: temporary files, home and caches in its
    folder, nothing of the user's own or of another run."""
    env = dict(os.environ, TMPDIR=folder, HOME=folder, XDG_CONFIG_HOME=folder + '/config',
               XDG_CACHE_HOME=folder + '/cache', XDG_DATA_HOME=folder + '/data', NO_AT_BRIDGE='1',
               MESA_SHADER_CACHE_DISABLE='true')
    env.pop('XDG_RUNTIME_DIR', None)
    return env


# The keys the tests send by Selenium's code points, by their KeyboardEvent.key names.
KEY_NAMES = {Keys.HOME: 'Home', Keys.END: 'End', Keys.ENTER: 'Enter', Keys.RETURN: 'Enter',
             Keys.ESCAPE: 'Escape', Keys.TAB: 'Tab', Keys.BACKSPACE: 'Backspace', Keys.DELETE: 'Delete',
             Keys.ARROW_UP: 'ArrowUp', Keys.ARROW_DOWN: 'ArrowDown', Keys.ARROW_LEFT: 'ArrowLeft',
             Keys.ARROW_RIGHT: 'ArrowRight', Keys.PAGE_UP: 'PageUp', Keys.PAGE_DOWN: 'PageDown',
             Keys.SPACE: ' '}


class Selenium:
    """Chromium and WebKitGTK: Selenium's own driver, its folder removed as it quits."""

    def __init__(self, driver, service, folder):
        self.driver, self.service, self.folder = driver, service, folder

    def __getattr__(self, name):
        return getattr(self.driver, name)

    def quit(self):
        try:
            self.driver.quit()
        finally:
            self.service.stop()
            _remove(self.folder)


def start_chromium(size=(WIDTH, HEIGHT)):
    folder = private_folder()
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                 '--disable-background-networking', '--disable-component-update', '--disable-sync',
                 '--window-size=%d,%d' % size, '--user-data-dir=' + folder + '/profile']:
        options.add_argument(flag)
    service = ChromeService('/usr/bin/chromedriver', env=browser_env(folder))
    try:
        return Selenium(webdriver.Chrome(service=service, options=options), service, folder)
    except BaseException:
        service.stop()
        _remove(folder)
        raise


# WebDriver's rendered text of arguments[0]: nothing for what is not shown, each line
# trimmed, no blank lines, no-break spaces as spaces.
RENDERED_TEXT = """var e = arguments[0];
if (e.checkVisibility && !e.checkVisibility()) return "";
return (e.innerText || "").replace(/\\u00a0/g, " ").split("\\n")
  .map(function (l) { return l.trim(); }).filter(function (l) { return l; }).join("\\n");"""


class WebKitElement(WebElement):
    """WebKitWebDriver drops a character past the Basic Multilingual Plane from the keys it
    types (a surrogate pair): such a character is inserted as typed text is, at the caret."""

    @property
    def text(self):
        # WebKitWebDriver leaves out the text of an element whose overflow is hidden, shown
        # or not (a folder's name in the tree): the rendered text is read as in Firefox.
        return self.parent.execute_script(RENDERED_TEXT, self)

    def send_keys(self, *values):
        text = ''.join(str(v) for v in values)
        for part in re.split('([\U00010000-\U0010ffff]+)', text):
            if not part:
                continue
            if ord(part[0]) < 0x10000:
                super().send_keys(part)
            else:
                self.parent.execute_script('arguments[0].focus();'
                                           'document.execCommand("insertText", false, arguments[1]);', self, part)


def start_webkit():
    """WebKitGTK's MiniBrowser has no headless mode: it opens its window on $DISPLAY."""
    from selenium.webdriver.remote.webdriver import WebDriver as Remote
    from selenium.webdriver.webkitgtk.service import Service
    folder = private_folder()
    options = webdriver.WebKitGTKOptions()
    options.binary_location = sorted(glob.glob('/usr/lib/*/webkit2gtk-4.*/MiniBrowser'))[-1]
    options.add_argument('--automation')
    # Selenium's WebKitGTK driver cannot give its service an environment: started here.
    service = Service('/usr/bin/WebKitWebDriver', env=browser_env(folder))
    try:
        service.start()
        driver = Remote(command_executor=service.service_url, desired_capabilities=options.to_capabilities())
        driver._web_element_cls = WebKitElement
        b = Selenium(driver, service, folder)
        driver.set_window_rect(0, 0, WIDTH, HEIGHT)
        return b
    except BaseException:
        service.stop()
        _remove(folder)
        raise


class BridgeElement:
    def __init__(self, browser, ref):
        self.browser, self.ref = browser, ref

    def _call(self, fn, *args):
        return self.browser.request('call', element=self.ref, fn=fn, args=list(args))

    def click(self):
        self.browser.request('click', element=self.ref)

    def send_keys(self, *values):
        keys = []
        for value in values:
            for c in str(value):
                if c in KEY_NAMES:
                    keys.append({'key': KEY_NAMES[c]})
                elif keys and 'text' in keys[-1]:
                    keys[-1]['text'] += c
                else:
                    keys.append({'text': c})
        self.browser.request('keys', element=self.ref, keys=keys)

    def clear(self):
        # As WebDriver's Element Clear: the field emptied, its change announced.
        self._call('var e = arguments[0]; e.focus(); e.value = "";'
                   'e.dispatchEvent(new Event("input", {bubbles: true}));'
                   'e.dispatchEvent(new Event("change", {bubbles: true}));')

    @property
    def text(self):
        return self._call(RENDERED_TEXT)

    def get_attribute(self, name):
        # As Selenium's getAttribute: a boolean attribute as "true" or None, else the
        # property when it is a plain value, else the attribute.
        return self._call('''var e = arguments[0], name = arguments[1];
            var booleans = ["hidden", "disabled", "checked", "selected", "readonly", "required",
                            "multiple", "open", "autofocus", "inert"];
            if (booleans.indexOf(name.toLowerCase()) >= 0)
              return e.hasAttribute(name) || e[name] === true ? "true" : null;
            var p = e[name === "class" ? "className" : name];
            if (p !== undefined && p !== null && typeof p !== "object") return String(p);
            return e.getAttribute(name);''', name)

    def is_displayed(self):
        return self._call('var e = arguments[0]; return e.checkVisibility ?'
                          'e.checkVisibility({visibilityProperty: true}) : e.getClientRects().length > 0;')

    def find_element(self, by, value):
        return self.browser._find_one(self.ref, by, value)

    def find_elements(self, by, value):
        return self.browser._find(self.ref, by, value)


def _selector(by, value):
    if by == By.ID:
        return 'css selector', '[id="%s"]' % value.replace('\\', '\\\\').replace('"', '\\"')
    if by == By.TAG_NAME:
        return 'css selector', value
    if by == By.CLASS_NAME:
        return 'css selector', '.' + value
    if by in (By.CSS_SELECTOR, By.XPATH):
        return by, value
    raise ValueError('no finding by %s' % by)


class Bridge:
    """Firefox ESR through firefox_bridge.js: requests and answers, one JSON line each."""

    TIMEOUT = 120

    def __init__(self):
        self.folder = private_folder()
        self.answers = queue.Queue()
        self.next_id = 0
        self.process = subprocess.Popen(
            ['node', os.path.join(HERE, 'firefox_bridge.js'), '/usr/bin/firefox-esr', self.folder + '/profile',
             str(WIDTH), str(HEIGHT)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            env=dict(browser_env(self.folder), NODE_PATH=NODE_MODULES), cwd=self.folder,
            start_new_session=True)  # Firefox in the bridge's process group, ended with it
        threading.Thread(target=self._read, daemon=True).start()
        try:
            self.request('start')
        except BaseException:
            self.quit()
            raise

    def _read(self):
        for line in self.process.stdout:
            self.answers.put(json.loads(line))
        self.answers.put(None)

    def request(self, op, **fields):
        self.next_id += 1
        fields.update(id=self.next_id, op=op)
        self.process.stdin.write((json.dumps(fields) + '\n').encode())
        self.process.stdin.flush()
        answer = self.answers.get(timeout=self.TIMEOUT)
        if answer is None:
            raise RuntimeError('the Firefox bridge ended (%s)' % op)
        if 'error' in answer:
            if answer['error'].startswith('no such element'):
                raise NoSuchElementException(answer['error'])
            raise RuntimeError('%s: %s' % (op, answer['error']))
        return answer.get('value')

    def _find(self, root, by, value):
        using, value = _selector(by, value)
        return [BridgeElement(self, ref) for ref in self.request('find', root=root, using=using, value=value)]

    def _find_one(self, root, by, value):
        found = self._find(root, by, value)
        if not found:
            raise NoSuchElementException('no element for %s %r' % (by, value))
        return found[0]

    def get(self, url):
        self.request('goto', url=url)

    def back(self):
        self.request('back')

    def refresh(self):
        self.request('reload')

    def execute_script(self, script, *args):
        args = [a.ref if isinstance(a, BridgeElement) else a for a in args]
        return self.request('execute', script=script, args=args)

    def find_element(self, by, value):
        return self._find_one(None, by, value)

    def find_elements(self, by, value):
        return self._find(None, by, value)

    @property
    def page_source(self):
        return self.request('source')

    def quit(self):
        try:
            if self.process.poll() is None:
                try:
                    self.request('quit')
                except Exception:
                    pass
                self.process.stdin.close()
                try:
                    self.process.wait(timeout=30)
                except subprocess.TimeoutExpired:
                    os.killpg(self.process.pid, signal.SIGKILL)
                    self.process.wait()
        finally:
            _remove(self.folder)


ENGINES = {'chromium': start_chromium, 'firefox': Bridge, 'webkit': start_webkit}


def engines():
    wanted = os.environ.get('TOMBAREL_ENGINES', '')
    names = [n.strip() for n in wanted.split(',') if n.strip()] or list(ENGINES)
    unknown = [n for n in names if n not in ENGINES]
    if unknown:
        raise SystemExit('TOMBAREL_ENGINES: no engine %s (there are %s)' % (unknown, ', '.join(ENGINES)))
    return names


def each_engine(suite, *args):
    """Runs suite(browser, *args) once in each engine, in a browser started for it. An error
    that stops one engine's checks is a failure of that engine; the next engine runs."""
    global engine
    for name in engines():
        engine, before, started, b = name, len(failures), time.time(), None
        try:
            b = ENGINES[name]()
            _live.append(b)
            suite(b, *args)
        except Exception:
            check(False, 'stopped by an error:\n' + traceback.format_exc())
        finally:
            if b is not None:
                _live.remove(b)
                try:
                    b.quit()
                except Exception:
                    check(False, 'quitting: ' + traceback.format_exc())
        print('%s: %s, %.0f s' % (name, '%d failures' % (len(failures) - before) if len(failures) > before
                                  else 'all checks passed', time.time() - started), flush=True)
    engine = None


def axe_violations(b, context=None):
    """axe-core's accessibility violations in the page as it is now: [(rule, impact, nodes)]."""
    if not b.execute_script('return typeof window.axe === "object"'):
        with open(os.path.join(NODE_MODULES, 'axe-core', 'axe.min.js'), encoding='utf-8') as f:
            b.execute_script(f.read())
    b.execute_script('window.tombarelAxe = null; axe.run(arguments[0] || document, {resultTypes: ["violations"]}).then('
                     'function (r) { window.tombarelAxe = r.violations.map(function (v) {'
                     '  return [v.id, v.impact, v.nodes.length]; }); },'
                     'function (e) { window.tombarelAxe = String(e); });', context)
    for _ in range(600):
        got = b.execute_script('return window.tombarelAxe')
        if got is not None:
            if isinstance(got, str):
                raise RuntimeError('axe-core: ' + got)
            return [tuple(v) for v in got]
        time.sleep(0.05)
    raise RuntimeError('axe-core did not finish')


# The style sheet's rules for 'print' or 'dark' applied as if the page were shown so ('': not).
LIFT_MEDIA = """var want = arguments[0], css = want === 'dark' ? ':root { color-scheme: dark; }' : '';
for (const s of document.styleSheets) for (const r of s.cssRules)
  if (want && r.media && r.media.mediaText.indexOf(want) >= 0) for (const q of r.cssRules) css += q.cssText + ' ';
var style = document.getElementById('tombarel-emulado') || document.head.appendChild(document.createElement('style'));
style.id = 'tombarel-emulado';
style.textContent = css;"""


def emulate(b, medium='', dark=False):
    """The page printed or dark, or on a light screen: by DevTools in Chromium, else LIFT_MEDIA."""
    if hasattr(b, 'execute_cdp_cmd'):
        b.execute_cdp_cmd('Emulation.setEmulatedMedia', {'media': medium, 'features': [
            {'name': 'prefers-color-scheme', 'value': 'dark' if dark else 'light'}]})
    else:
        b.execute_script(LIFT_MEDIA, medium or ('dark' if dark else ''))
    b.execute_script('window.dispatchEvent(new Event(arguments[0]))', 'beforeprint' if medium else 'afterprint')


axe_seen = []  # (engine, view, violations)


def note_axe(b, view, apart=None):
    """Checks that axe-core finds nothing in a view, light, dark and printed; `apart` (a
    selector) is left out of the check and its violations only reported."""
    try:
        for medium, dark in ('', False), ('', True), ('print', False):
            emulate(b, medium, dark)
            name = view + (' (dark)' if dark else '') + (' (printed)' if medium else '')
            axe_seen.append((engine, name, axe_violations(b, {'exclude': [[apart]]} if apart else None)))
            check(axe_seen[-1][2] == [], 'axe-core in %s: %s' % (name, axe_seen[-1][2]))
            if apart:
                axe_seen.append((engine, name + ' in ' + apart, axe_violations(b, {'include': [[apart]]})))
    finally:
        emulate(b)


def report_axe():
    for name, view, found in axe_seen:
        if isinstance(found, str):
            print('axe [%s] %s: %s' % (name, view, found))
        else:
            print('axe [%s] %s: %d violations%s' % (name, view, len(found), ''.join(
                '\n    %s (%s): %d elements' % v for v in found)))


def _cleanup():
    for b in list(_live):
        try:
            b.quit()
        except Exception:
            pass
    for folder in list(_folders):
        _remove(folder)


def _terminated(signum, _frame):
    # Ended by a signal (a timeout, the script's trap): unwind, so each finally runs.
    raise SystemExit(128 + signum)


atexit.register(_cleanup)
for _signal in (signal.SIGTERM, signal.SIGHUP):
    signal.signal(_signal, _terminated)


def finish(title):
    report_axe()
    print('%d failures' % len(failures) if failures else '%s: all checks passed' % title, flush=True)
    sys.exit(1 if failures else 0)
