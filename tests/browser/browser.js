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
  return frame.$$eval('.treemenu', (menus, index) => {
    const rows = menus[index] ? menus[index].querySelectorAll('.tm-entry') : [];
    return Array.from(rows, (row) => {
      const link = row.querySelector('.tm-link');
      return {
        text: link.textContent,
        depth: Number(row.getAttribute('data-depth')),
        visible: row.offsetParent !== null,
        folder: row.classList.contains('tm-folder'),
        open: row.classList.contains('tm-open'),
        href: link.getAttribute('href'),
        target: link.getAttribute('target'),
        title: link.getAttribute('title'),
        left: link.getBoundingClientRect().left,
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
  return frame.locator('.treemenu .tm-entry', {
    has: frame.locator('.tm-link', { hasText: exactly(text) }),
  }).locator('.tm-toggle');
}

function exactly(text) {
  return new RegExp('^' + escapeRegExp(text) + '$');
}

function escapeRegExp(text) {
  return text.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
}

module.exports = { launch, fileUrl, treeEntries, visibleTexts, focusedText, entry, toggle, SOURCE };
