// The tree menu script on pages written here in the generator's format: how it
// nests, folds and escapes entries that the example portal does not have.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { after, before, describe, test } = require('node:test');
const b = require('./browser');

// A page block exactly as the generator writes it for a list of entries.
function menuBlock(entries) {
  let calls = '';
  entries.forEach(([folder, text, target, link, tip], i) => {
    calls += `tree.${i ? 'add' : 'put'}(${folder},'${text}', '${target}','${link}','${tip}', '',  ''  );\r\n`;
  });
  return '\r\n<!--     Beginn TreeMenu     -->\r\n' +
    '<link rel="stylesheet" href="treemenu.css" type="text/css">\r\n' +
    '<script type="text/javascript" src="treemenu.js"></script>\r\n' +
    '<script type="text/javascript">\r\n<!--\r\n' +
    "tree = new treemenu('tree', false, false, false, false);\r\n" + calls +
    'document.write(tree);\r\n-->\r\n</script>\r\n<noscript>\r\n' +
    '<h1>Der Browser unterst\xfctzt kein Javascript.</h1>\r\n</noscript>\r\n' +
    '<!--     Ende TreeMenu     -->\r\n';
}

describe('tree menu script', () => {
  let dir;
  let browser;
  let page;

  async function open(...blocks) {
    const file = path.join(dir, `page${Date.now()}${Math.random().toString(16).slice(2)}.htm`);
    const html = '<html>\r\n<head>\r\n<title>Test</title>\r\n</head>\r\n<body>\r\n' +
      blocks.map(menuBlock).join('<hr>\r\n') + '</body>\r\n</html>\r\n';
    fs.writeFileSync(file, Buffer.from(html, 'latin1'));
    await page.goto(b.fileUrl(file));
  }

  before(async () => {
    dir = fs.mkdtempSync(path.join(os.tmpdir(), 'pagetrix-treemenu-'));
    for (const name of ['treemenu.js', 'treemenu.css']) {
      fs.copyFileSync(path.join(b.SOURCE, 'assets', 'treemenu', name), path.join(dir, name));
    }
    browser = await b.launch();
    page = browser.page;
  });

  after(async () => {
    await browser.close();
    fs.rmSync(dir, { recursive: true, force: true });
  });

  test('children are the deeper entries that follow, also after a jump in depth', async () => {
    await open([
      [1, 'A', 'Daten', '', ''],
      [0, '   deep', 'Daten', 'deep.htm', ''],
      [0, ' a1', 'Daten', 'a1.htm', ''],
      [0, 'B', 'Daten', 'b.htm', ''],
      [0, ' b1', 'Daten', 'b1.htm', ''],
      [1, 'C', 'Daten', '', ''],
    ]);
    assert.deepEqual(await b.visibleTexts(page), ['A', 'B', 'b1', 'C']);
    await b.entry(page, 'A').click();
    assert.deepEqual(await b.visibleTexts(page), ['A', 'deep', 'a1', 'B', 'b1', 'C']);
    const entries = await b.treeEntries(page);
    assert.deepEqual(entries.map((e) => e.depth), [0, 3, 1, 0, 1, 0]);
    assert.ok(entries[1].left > entries[2].left && entries[2].left > entries[0].left);
    // A folder without children folds and unfolds without effect on the rest.
    await b.entry(page, 'C').click();
    await b.entry(page, 'C').click();
    assert.deepEqual(await b.visibleTexts(page), ['A', 'deep', 'a1', 'B', 'b1', 'C']);
  });

  test('a folded parent keeps the state of the folders inside it', async () => {
    await open([
      [1, 'Top', 'Daten', '', ''],
      [1, ' Inner', 'Daten', '', ''],
      [0, '  Leaf', 'Daten', 'leaf.htm', ''],
    ]);
    await b.entry(page, 'Top').click();
    await b.entry(page, 'Inner').click();
    assert.deepEqual(await b.visibleTexts(page), ['Top', 'Inner', 'Leaf']);
    await b.entry(page, 'Top').click();
    assert.deepEqual(await b.visibleTexts(page), ['Top']);
    await b.entry(page, 'Top').click();
    assert.deepEqual(await b.visibleTexts(page), ['Top', 'Inner', 'Leaf']);
  });

  test('folding a folder moves the focus off its hidden children', async () => {
    await open([
      [1, 'Top', 'Daten', 'top.htm', ''],
      [0, ' Leaf', 'Daten', 'leaf.htm', ''],
    ]);
    await b.toggle(page, 'Top').click();
    await b.entry(page, 'Leaf').focus();
    await b.toggle(page, 'Top').click();
    assert.deepEqual(await b.visibleTexts(page), ['Top']);
    assert.equal(await b.focusedText(page), 'Top');
    // Home and End reach the first and last entries on screen.
    await page.keyboard.press('End');
    assert.equal(await b.focusedText(page), 'Top');
  });

  test('texts are HTML, attributes keep quotes and ampersands', async () => {
    await open([
      [0, 'Caf&eacute; <b>neu</b>', 'Daten', 'a.htm?x=1&y=2', 'Sagt "Hallo" & mehr'],
    ]);
    const [e] = await b.treeEntries(page);
    assert.equal(e.text, 'Café neu');
    assert.equal(e.href, 'a.htm?x=1&y=2');
    assert.equal(e.title, 'Sagt "Hallo" & mehr');
    assert.equal(e.target, 'Daten');
  });

  test('two menus on one page, both named tree, fold independently', async () => {
    await open(
      [[1, 'First', 'Daten', '', ''], [0, ' one', 'Daten', '1.htm', '']],
      [[1, 'Second', 'Daten', '', ''], [0, ' two', 'Daten', '2.htm', '']],
    );
    await b.entry(page, 'Second').click();
    assert.deepEqual(await b.visibleTexts(page, 0), ['First']);
    assert.deepEqual(await b.visibleTexts(page, 1), ['Second', 'two']);
    await b.entry(page, 'First').click();
    assert.deepEqual(await b.visibleTexts(page, 0), ['First', 'one']);
    assert.deepEqual(await b.visibleTexts(page, 1), ['Second', 'two']);
  });

  test('Space folds a folder, entries without a link are keyboard stops', async () => {
    await open([
      [1, 'Top', 'Daten', '', ''],
      [0, ' Note', 'Daten', '', 'Only text'],
      [0, 'Last', 'Daten', 'last.htm', ''],
    ]);
    await page.keyboard.press('Tab');
    assert.equal(await b.focusedText(page), 'Top');
    await page.keyboard.press('Space');
    await page.keyboard.press('Tab');
    assert.equal(await b.focusedText(page), 'Note');
    await page.keyboard.press('Enter');  // nothing to open: stays
    assert.equal(await b.focusedText(page), 'Note');
    await page.keyboard.press('ArrowLeft');
    assert.equal(await b.focusedText(page), 'Top');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowDown');
    assert.equal(await b.focusedText(page), 'Last');
    await page.keyboard.press('ArrowDown');  // stays on the last entry
    assert.equal(await b.focusedText(page), 'Last');
  });
});
