// Headless Chromium of the system for the browser tests, and page helpers.
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const { chromium } = require('playwright-core');

const CHROMIUM = process.env.CHROMIUM_PATH || '/usr/bin/chromium';
const ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

const SOURCE = path.resolve(__dirname, '..', '..');

// A browser with a profile of its own, removed again by close().
async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pagetrix-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM, headless: true, args: ARGS,
  });
  const page = context.pages()[0] || await context.newPage();
  return {
    context,
    page,
    async close() {
      await context.close();
      fs.rmSync(profile, { recursive: true, force: true });
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

// An entry of a tree menu by its exact text.
function entry(frame, text) {
  return frame.locator('.treemenu .tm-link', { hasText: exactly(text) });
}

// The fold marker in front of a folder.
function toggle(frame, text) {
  return entry(frame, text).locator('.tm-toggle');
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
  await page.screenshot({ path: path.join(dir, name + '.png'), animations: 'disabled' });
}

function exactly(text) {
  return new RegExp('^' + escapeRegExp(text) + '$');
}

function escapeRegExp(text) {
  return text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
}

module.exports = {
  launch, fileUrl, treeEntries, visibleTexts, focusedText, entry, toggle, tabStops, focusedItem,
  seriousViolations, screenshot, SOURCE,
};
