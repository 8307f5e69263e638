// Debian's Firefox ESR for the browser tests, driven by puppeteer-core over
// WebDriver BiDi (playwright-core cannot drive it), behind the part of
// playwright's page and frame interface that the tests use, so that one
// test serves both browsers.
//
// What BiDi does not offer here: emulated media. Dark mode is a preference
// of the profile (launch with dark), and print and reduced motion are not
// emulated (emulateMedia throws for them).
'use strict';

const puppeteer = require('puppeteer-core');

const FIREFOX = process.env.FIREFOX_PATH || '/usr/bin/firefox-esr';

// playwright's key names where BiDi knows another.
const KEYS = { Space: ' ' };

function sleep(ms) {
  return new Promise((resolve) => setTimeout(resolve, ms));
}

async function poll(condition, timeout = 30000, what = 'condition') {
  const end = Date.now() + timeout;
  for (;;) {
    if (await condition()) return;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await sleep(50);
  }
}

function urlMatches(url, wanted) {
  if (typeof wanted === 'function') return wanted(new URL(url));
  if (wanted instanceof RegExp) return wanted.test(url);
  return url === wanted;
}

// A frame with playwright's names. `find` gives the puppeteer frame: frames
// of a frameset are looked up by name again for every call, as they come
// and go with the loads of the page.
class Frame {
  constructor(find) {
    this.find = find;
  }

  async f() {
    const frame = await this.find();
    if (!frame) throw new Error('no such frame');
    return frame;
  }

  async $$(selector) { return (await this.f()).$$(selector); }

  async $eval(selector, fn, arg) { return (await this.f()).$eval(selector, fn, arg); }

  async $$eval(selector, fn, arg) { return (await this.f()).$$eval(selector, fn, arg); }

  async evaluate(fn, arg) { return (await this.f()).evaluate(fn, arg); }

  async evaluateHandle(fn, arg) { return (await this.f()).evaluateHandle(fn, arg); }

  async waitForSelector(selector) {
    await poll(async () => !!(await this.find()), 30000, 'the frame');
    return (await this.f()).waitForSelector(selector);
  }

  async waitForFunction(fn, arg) {
    await poll(async () => !!(await this.find()), 30000, 'the frame');
    return (await this.f()).waitForFunction(fn, { polling: 50 }, arg);
  }

  url() { throw new Error('url() of a frame: use waitForURL or evaluate'); }

  async waitForURL(wanted) {
    await poll(async () => {
      const frame = await this.find();
      return frame && urlMatches(frame.url(), wanted);
    }, 30000, `URL ${wanted}`);
  }

  async waitForLoadState() {
    await poll(async () => {
      const frame = await this.find();
      return frame && frame.evaluate(() => document.readyState === 'complete').catch(() => false);
    });
  }

  async click(selector) { return (await this.f()).click(selector); }

  async focus(selector) { return (await this.f()).focus(selector); }

  async fill(selector, value) {
    return (await this.f()).$eval(selector, (field, text) => {
      field.focus();
      field.value = text;
      field.dispatchEvent(new Event('input', { bubbles: true }));
    }, value);
  }

  textContent(selector) { return this.$eval(selector, (e) => e.textContent); }

  inputValue(selector) { return this.$eval(selector, (e) => e.value); }

  getAttribute(selector, name) { return this.$eval(selector, (e, n) => e.getAttribute(n), name); }

  async addScriptTag(options) { return (await this.f()).addScriptTag(options); }
}

// A child frame by its name (window.name; BiDi does not report the frame
// element's name attribute).
async function frameNamed(page, name) {
  for (const frame of page.frames()) {
    if (frame === page.mainFrame()) continue;
    const own = await frame.evaluate(() => window.name).catch(() => null);
    if (own === name) return frame;
  }
  return null;
}

class Page extends Frame {
  constructor(page, context) {
    super(() => page.mainFrame());
    this.page = page;
    this.owner = context;
    this.keyboard = {
      press: (key) => page.keyboard.press(KEYS[key] || key),
      type: (text) => page.keyboard.type(text),
    };
  }

  url() { return this.page.url(); }

  async goto(url) { await this.page.goto(url); }

  async reload() { await this.page.reload(); }

  // Without waiting for a load: a page from the back-forward cache has none.
  async goBack() {
    const here = () => this.page.evaluate(() => location.href).catch(() => null);
    const from = await here();
    await this.page.evaluate(() => history.back());
    await poll(async () => {
      const now = await here();
      return now !== null && now !== from;
    }, 30000, 'the previous page');
  }

  title() { return this.page.title(); }

  context() { return this.owner; }

  mainFrame() { return new Frame(() => this.page.mainFrame()); }

  frame({ name }) {
    return new Frame(() => frameNamed(this.page, name));
  }

  on(event, listener) { this.page.on(event, listener); }

  addInitScript(fn) { return this.page.evaluateOnNewDocument(fn); }

  setViewportSize({ width, height }) { return this.page.setViewport({ width, height }); }

  waitForTimeout(ms) { return sleep(ms); }

  async emulateMedia(options) {
    if (options.media || options.reducedMotion || options.colorScheme) {
      throw new Error('Firefox over BiDi emulates no media: launch with { dark: true }');
    }
  }

  screenshot(options) { return this.page.screenshot({ path: options.path }); }

  close() { return this.page.close(); }
}

// A browser like launch() of browser.js: { context, page, close() }.
async function launchFirefox({ profile, dark }) {
  const browser = await puppeteer.launch({
    browser: 'firefox',
    executablePath: FIREFOX,
    headless: true,
    userDataDir: profile,
    extraPrefsFirefox: {
      // 0 dark, 1 light: what the page's prefers-color-scheme says.
      'layout.css.prefers-color-scheme.content-override': dark ? 0 : 1,
    },
  });
  const context = {
    async newPage() { return new Page(await browser.newPage(), context); },
    waitForEvent(event) {
      if (event !== 'page') throw new Error(`no event ${event}`);
      return new Promise((resolve) => {
        browser.once('targetcreated', async (target) => resolve(new Page(await target.page(), context)));
      });
    },
  };
  const first = (await browser.pages())[0] || await browser.newPage();
  return { context, page: new Page(first, context), browser };
}

module.exports = { launchFirefox };
