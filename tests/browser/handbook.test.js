// The rendered handbook in Chromium: its chapters, the worked rights table and
// the page's internal links, with screenshots of the first page and the table.
//
// HANDBOOK_HTML names the rendered file, SCREENSHOTS the folder for the
// pictures (test_release_package.py sets both, from the unpacked zip).
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { after, before, describe, test } = require('node:test');
const b = require('./browser');

const html = process.env.HANDBOOK_HTML;
const shots = process.env.SCREENSHOTS;
const skip = html ? false : 'HANDBOOK_HTML not set: run tests/e2e/test_release_package.py';

describe('rendered handbook', { skip }, () => {
  let browser;
  let page;

  before(async () => {
    browser = await b.launch();
    page = browser.page;
    await page.setViewportSize({ width: 1280, height: 1024 });
    await page.goto(b.fileUrl(html));
  });

  after(async () => {
    if (browser) await browser.close();
  });

  test('is one German page with a table of contents and every chapter', async () => {
    assert.equal(await page.getAttribute('html', 'lang'), 'de');
    assert.match(await page.title(), /^Pagetrix \d+\.\d+\.\d+\.\d+ – Handbuch/);
    const chapters = await page.$$eval('section.level1', (ss) => ss.map((s) => s.id));
    for (const id of ['einfuehrung', 'installation', 'aufruf', 'hauptkonfiguration',
      'kommandodateien', 'platzhalter', 'linkeintraege', 'rechte', 'umgebungsdatei', 'kopieren',
      'protokoll', 'pruefmodus', 'baummenue', 'fehlersuche', 'anhang']) {
      assert.ok(chapters.includes(id), `chapter #${id} missing (have ${chapters})`);
    }
    const toc = await page.$$eval('nav#TOC a', (as) => as.length);
    assert.ok(toc > chapters.length, 'table of contents');
  });

  test('every internal link leads to an element of the page', async () => {
    const broken = await page.$$eval('a[href^="#"]', (as) => as
      .map((a) => decodeURIComponent(a.getAttribute('href').slice(1)))
      .filter((id) => !document.getElementById(id)));
    assert.deepEqual(broken, []);
  });

  test('shows the rights table with a verdict per user and link', async () => {
    const rows = await page.$$eval('#rechtetabelle tbody tr',
      (trs) => trs.map((tr) => Array.from(tr.cells, (td) => td.textContent.trim())));
    assert.equal(rows.length, 5);
    for (const row of rows) {
      for (const verdict of row.slice(3, 6)) assert.match(verdict, /^(ja|nein)$/);
    }
    assert.deepEqual(rows.map((r) => r[0]), ['Telefonbuch', 'Mitarbeiterportal',
      'Vertriebszahlen', 'Personalakten', 'Serverüberwachung']);
  });

  test('shows umlauts of the Windows-1252 example files decoded', async () => {
    const examples = await page.$$eval('.beispiel pre', (ps) => ps.map((p) => p.textContent));
    assert.ok(examples.length >= 30, `only ${examples.length} example files shown`);
    const all = examples.join('\n');
    assert.ok(all.includes('Häufig gebraucht') && all.includes('Fünf Links'));
    assert.ok(!all.includes('Ã'), 'mis-decoded umlauts in an example file');
  });

  test('takes the screenshots', { skip: shots ? false : 'SCREENSHOTS not set' }, async () => {
    fs.mkdirSync(shots, { recursive: true });
    await page.evaluate(() => window.scrollTo(0, 0));
    await page.screenshot({ path: path.join(shots, 'handbuch-erste-seite.png') });
    const section = page.locator('section#ein-durchgerechnetes-beispiel');
    await section.locator('#rechtetabelle').scrollIntoViewIfNeeded();
    await page.locator('#rechtetabelle').screenshot({
      path: path.join(shots, 'handbuch-rechtetabelle.png'),
    });
  });
});
