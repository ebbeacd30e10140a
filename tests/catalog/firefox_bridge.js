// Drives Firefox ESR over WebDriver BiDi for the page tests (browsers.py), one request a line
// on standard input, one answer a line on standard output, both JSON:
//   {"id": 1, "op": "goto", "url": "file:///..."}  ->  {"id": 1, "value": null}
//   a failure                                      ->  {"id": 1, "error": "message"}
// An element crosses as {"element": n}, a number this bridge keeps for it.
// Usage: node firefox_bridge.js FIREFOX PROFILE_DIR WIDTH HEIGHT
'use strict';
const readline = require('readline');
const puppeteer = require('puppeteer-core');

const [firefox, profile, width, height] = process.argv.slice(2);
const handles = new Map();
let nextHandle = 1;
let browser, page;

function keep(handle) {
  const id = nextHandle++;
  handles.set(id, handle);
  return {element: id};
}

function handleOf(value) {
  const handle = value && handles.get(value.element);
  if (!handle) throw new Error('no such element: ' + JSON.stringify(value));
  return handle;
}

// A function whose text is `body` run as a function's body, as WebDriver's Execute Script
// does; handed to puppeteer as its text, so the page's own rules on eval do not apply.
function scriptFunction(body) {
  const f = function () {};
  f.toString = () => 'function () {\n' + body + '\n}';
  return f;
}

async function find(root, using, value) {
  const list = await page.evaluateHandle((r, using, value) => {
    const from = r || document;
    if (using === 'css selector') return Array.from(from.querySelectorAll(value));
    const found = document.evaluate(value, from, null, XPathResult.ORDERED_NODE_SNAPSHOT_TYPE, null);
    const out = [];
    for (let k = 0; k < found.snapshotLength; k++) out.push(found.snapshotItem(k));
    return out;
  }, root || null, using, value);
  const out = [];
  for (const handle of (await list.getProperties()).values()) {
    const element = handle.asElement();
    if (element) out.push(keep(element));
  }
  await list.dispose();
  return out;
}

// Named keys arrive by their KeyboardEvent.key names; anything else is typed as text.
async function sendKeys(element, keys) {
  await element.focus();
  for (const k of keys) {
    if (k.key) await page.keyboard.press(k.key);
    else await page.keyboard.type(k.text);
  }
}

const ops = {
  async start() {
    browser = await puppeteer.launch({
      browser: 'firefox', executablePath: firefox, headless: true, userDataDir: profile,
      defaultViewport: {width: +width, height: +height},
      // Nothing from the network, no updates, no first-run pages.
      extraPrefsFirefox: {'network.proxy.type': 0, 'app.update.enabled': false,
        'browser.shell.checkDefaultBrowser': false, 'datareporting.policy.dataSubmissionEnabled': false},
    });
    page = (await browser.pages())[0] || await browser.newPage();
    // The first tab is not given the default viewport.
    await page.setViewport({width: +width, height: +height});
    return null;
  },
  async goto({url}) {
    handles.clear();
    await page.goto(url, {waitUntil: 'load'});
    return null;
  },
  async back() {
    handles.clear();
    const before = page.url();
    await page.evaluate(() => history.back());
    for (let k = 0; k < 50 && page.url() === before; k++) await new Promise(r => setTimeout(r, 20));
    return null;
  },
  async reload() {
    handles.clear();
    await page.reload({waitUntil: 'load'});
    return null;
  },
  async execute({script, args}) {
    const resolved = args.map(a => (a && a.element ? handleOf(a) : a));
    return await page.evaluate(scriptFunction(script), ...resolved);
  },
  async find({root, using, value}) {
    return await find(root ? handleOf(root) : null, using, value);
  },
  async click({element}) {
    await handleOf(element).click();
    return null;
  },
  async keys({element, keys}) {
    await sendKeys(handleOf(element), keys);
    return null;
  },
  async call({element, fn, args}) {
    return await handleOf(element).evaluate(scriptFunction(fn), ...(args || []));
  },
  async source() {
    return await page.content();
  },
  async quit() {
    if (browser) await browser.close();
    browser = null;
    return null;
  },
};

const input = readline.createInterface({input: process.stdin});
let queue = Promise.resolve();
input.on('line', line => {
  queue = queue.then(async () => {
    const request = JSON.parse(line);
    let answer;
    try {
      answer = {id: request.id, value: await ops[request.op](request)};
    } catch (e) {
      answer = {id: request.id, error: String(e && e.message || e)};
    }
    process.stdout.write(JSON.stringify(answer === undefined ? null : answer) + '\n');
    if (request.op === 'quit') process.exit(0);
  });
});
// The test ended without saying so: the browser goes with it.
input.on('close', () => queue.then(async () => {
  if (browser) await browser.close().catch(() => {});
  process.exit(0);
}));
