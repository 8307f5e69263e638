// The browsers of the system for the browser tests, and page helpers.
//
// launch() starts headless Chromium through playwright-core, or Firefox ESR
// through puppeteer-core behind playwright's names (firefox.js) when the
// environment says BROWSER=firefox; both run the same tests.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');
const { launchFirefox } = require('./firefox');

const CHROMIUM = process.env.CHROMIUM_PATH || '/usr/bin/chromium';
const ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
const BROWSER = process.env.BROWSER || 'chromium';

const SOURCE = path.resolve(__dirname, '..', '..');

// A browser with a profile of its own, removed again by close(); or with the
// profile folder given, which stays (a user's profile across logons). dark:
// the system asks for dark mode.
async function launch({ profile, dark = false } = {}) {
  const own = !profile;
  const folder = profile || fs.mkdtempSync(path.join(os.tmpdir(), `pagetrix-${BROWSER}-`));
  let opened;
  if (BROWSER === 'firefox') {
    opened = await launchFirefox({ profile: folder, dark });
  } else {
    const context = await chromium.launchPersistentContext(folder, {
      executablePath: CHROMIUM, headless: true, args: ARGS, colorScheme: dark ? 'dark' : 'light',
    });
    opened = { context, page: context.pages()[0] || await context.newPage(), browser: context };
  }
  return {
    name: BROWSER,
    context: opened.context,
    page: opened.page,
    async close() {
      await opened.browser.close();
      if (own) fs.rmSync(folder, { recursive: true, force: true });
    },
  };
}

function fileUrl(file) {
  return pathToFileURL(file).href;
}

// The entries of the first tree menu in a frame or page, as the user sees them.
async function treeEntries(frame, menuIndex = 0) {
  return frame.$$eval('.treemenu[data-treemenu]', (menus, index) => {
    const rows = menus[index] ? menus[index].querySelectorAll('.tm-entry') : [];
    return Array.from(rows, (row) => {
      const link = row.querySelector('.tm-link');
      const text = link.querySelector('.tm-text');
      return {
        text: text.textContent,
        depth: Number(row.getAttribute('data-depth')),
        visible: row.offsetParent !== null,
        folder: row.classList.contains('tm-folder'),
        open: row.classList.contains('tm-open'),
        href: link.getAttribute('href'),
        target: link.getAttribute('target'),
        title: link.getAttribute('title'),
        left: text.getBoundingClientRect().left,
      };
    });
  }, menuIndex);
}

async function visibleTexts(frame, menuIndex = 0) {
  return (await treeEntries(frame, menuIndex)).filter((e) => e.visible).map((e) => e.text);
}

// The text of the focused element of a frame.
async function focusedText(frame) {
  return frame.evaluate(() => (document.activeElement ? document.activeElement.textContent : ''));
}

// An entry of a tree menu by its exact text, one on screen first: click()
// and focus() it. rows: the rows to look in (a selector of .tm-entry).
function entry(frame, text, rows = '.tm-entry') {
  return part(frame, text, rows, 'link');
}

// The fold marker in front of a folder.
function toggle(frame, text, rows = '.tm-entry') {
  return part(frame, text, rows, '.tm-toggle');
}

// The star that pins an entry.
function star(frame, text, rows = '.tm-entry') {
  return part(frame, text, rows, '.tm-star');
}

function part(frame, text, rows, which) {
  const find = async () => {
    const handle = await frame.evaluateHandle(([wanted, selector, piece]) => {
      const links = Array.from(document.querySelectorAll(`.treemenu ${selector} > .tm-link`))
        .filter((l) => (l.querySelector('.tm-text') || {}).textContent === wanted);
      const link = links.find((l) => l.offsetParent !== null) || links[0];
      return !link ? null : piece === 'link' ? link : link.querySelector(piece);
    }, [text, rows, which]);
    const found = handle.asElement();
    if (!found) throw new Error(`no ${which} of the entry "${text}"`);
    return found;
  };
  return {
    async click() { await (await find()).click(); },
    async focus() { await (await find()).focus(); },
  };
}

// The highlighted search hits of a menu, in order.
async function hits(frame, menuIndex = 0) {
  return frame.evaluate((index) => window.treemenu.hits(
    document.querySelectorAll('.treemenu[data-treemenu]')[index]), menuIndex);
}

// The tree's tab stops: entries that Tab can reach.
async function tabStops(frame, menuIndex = 0) {
  return frame.$$eval('.treemenu[data-treemenu]', (menus, index) => Array.from(
    menus[index].querySelectorAll('.tm-link[tabindex="0"]'), (a) => a.textContent), menuIndex);
}

// The ARIA view of the focused element.
async function focusedItem(frame) {
  return frame.evaluate(() => {
    const a = document.activeElement;
    return {
      text: a.textContent,
      role: a.getAttribute('role'),
      level: Number(a.getAttribute('aria-level')),
      expanded: a.getAttribute('aria-expanded'),
    };
  });
}

// Runs axe-core on one document; returns the serious and critical violations.
async function seriousViolations(frame, disabled = []) {
  await frame.addScriptTag({ path: require.resolve('axe-core/axe.min.js') });
  const result = await frame.evaluate(async (rules) => {
    const off = {};
    rules.forEach((id) => { off[id] = { enabled: false }; });
    return window.axe.run(document, { iframes: false, rules: off });
  }, disabled);
  return result.violations
    .filter((v) => v.impact === 'serious' || v.impact === 'critical')
    .map((v) => `${v.id} (${v.impact}): ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

// A screenshot into the build's screenshot folder, where one is named.
async function screenshot(page, name) {
  const dir = process.env.SCREENSHOTS;
  if (!dir) return;
  fs.mkdirSync(dir, { recursive: true });
  await page.screenshot({ path: path.join(dir, `${name}-${BROWSER}.png`), animations: 'disabled' });
}

module.exports = {
  launch, fileUrl, treeEntries, visibleTexts, focusedText, entry, toggle, star, hits, tabStops, focusedItem,
  seriousViolations, screenshot, SOURCE, BROWSER,
};
