// The HTML report of the check mode in headless Chromium: the filter by user
// leaves only the columns of the runs that user makes, the headings stay in
// view while the long table scrolls, and a screenshot lands in SCREENSHOTS.
//
// CHECK_REPORT names the Pruefbericht.htm (tests/e2e/test_check_mode.py).
'use strict';

const assert = require('node:assert/strict');
const path = require('node:path');
const { after, before, test } = require('node:test');
const b = require('./browser');

const report = process.env.CHECK_REPORT;
const skip = report ? false : 'CHECK_REPORT not set: run tests/e2e/test_check_mode.py';

let browser;
let page;

before(async () => {
  if (skip) return;
  browser = await b.launch();
  page = browser.page;
  await page.setViewportSize({ width: 1280, height: 900 });
  await page.goto(b.fileUrl(report));
});

after(async () => {
  if (browser) await browser.close();
});

// The users of each visible column of runs, as "|a|b|" lists.
async function visibleColumns() {
  return page.$$eval('#matrix thead th[data-users]', (cells) =>
    cells.filter((c) => c.offsetParent !== null).map((c) => c.getAttribute('data-users')));
}

test('the filter by user keeps only the runs of that user', { skip }, async () => {
  const all = await visibleColumns();
  const users = await page.$$eval('#benutzer option', (options) =>
    options.map((o) => o.value).filter((v) => v !== '*'));
  assert.ok(users.length >= 3, 'listed users and one not listed');
  for (const user of users) {
    await page.selectOption('#benutzer', user);
    const shown = await visibleColumns();
    assert.ok(shown.length > 0, `${user} makes some run`);
    assert.ok(shown.every((list) => list.includes(`|${user}|`)), `${user}: ${shown}`);
    assert.equal(shown.length, all.filter((list) => list.includes(`|${user}|`)).length);
    const rowCells = await page.$$eval('#matrix tbody tr:first-child td',
      (cells) => cells.filter((c) => c.offsetParent !== null).length);
    assert.equal(rowCells, shown.length, 'body cells follow the heading');
  }
  await page.selectOption('#benutzer', '*');
  assert.deepEqual(await visibleColumns(), all);
});

test('headings stay in view while the matrix scrolls', { skip }, async () => {
  await page.selectOption('#benutzer', '*');
  // Narrow enough that the matrix scrolls sideways too.
  await page.setViewportSize({ width: 480, height: 900 });
  const last = page.locator('#matrix tbody tr').last();
  await last.scrollIntoViewIfNeeded();
  // Sideways, but not so far that the row headings' column would have to
  // leave the table to stay in view.
  const sideways = await page.$eval('#matrix', (table) => {
    const box = table.getBoundingClientRect();
    const heading = table.querySelector('tbody th').getBoundingClientRect();
    return Math.min(600, box.right + window.scrollX - window.innerWidth,
      box.width - heading.width);
  });
  assert.ok(sideways > 0, 'the matrix is wider than the window');
  await page.mouse.wheel(sideways, 0);
  const heading = await page.$eval('#matrix thead th[data-users]',
    (cell) => cell.getBoundingClientRect().top);
  const rowHead = await page.$eval('#matrix tbody tr:last-child th',
    (cell) => cell.getBoundingClientRect().left);
  assert.ok(Math.abs(heading) < 1, `column heading at ${heading}`);
  assert.ok(Math.abs(rowHead) < 1, `row heading at ${rowHead}`);
  await page.setViewportSize({ width: 1280, height: 900 });
  await page.evaluate(() => window.scrollTo(0, 0));
  await page.screenshot({ path: path.join(process.env.SCREENSHOTS || '.', 'pruefbericht.png') });
  await page.locator('h2', { hasText: 'Wer sieht welchen Link' }).scrollIntoViewIfNeeded();
  await page.evaluate(() => window.scrollBy(0, 300));
  await page.screenshot({ path: path.join(process.env.SCREENSHOTS || '.', 'pruefbericht_matrix.png') });
});
