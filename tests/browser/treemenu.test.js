// The tree menu script on pages written here in the generator's format: how it
// nests, folds and escapes entries that the example portal does not have.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
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
    // Pages the entries of the tests open.
    for (const name of ['formulare.htm', 'reise.htm']) {
      fs.writeFileSync(path.join(dir, name), '<title>' + name + '</title>');
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

  test('markup in a text stays in its entry, the menu\'s own class names included', async () => {
    await open([
      [1, 'Ordner', 'Daten', '', ''],
      [0, ' Erster <span class="tm-text">Falsch</span><li class="tm-entry" data-index="3">' +
        '<a class="tm-link" role="treeitem" tabindex="0">x</a></li>', 'Daten', 'eins.htm', ''],
      [0, ' </ul></li></ul><!-- offen', 'Daten', 'zwei.htm', 'Zweiter'],
      [0, ' Letzter <textarea>', 'Daten', 'drei.htm', ''],
    ]);
    // The rows as the tree holds them: each text inside its own entry.
    const rows = () => page.evaluate(() => {
      const walk = (list) => [...list.children].flatMap((li) => [
        [li.firstElementChild.getAttribute('href'), li.firstElementChild.querySelector('.tm-text').textContent],
        ...(li.lastElementChild.nodeName === 'UL' ? walk(li.lastElementChild) : [])]);
      return walk(document.querySelector('.tm-tree'));
    });
    assert.deepEqual(await rows(), [[null, 'Ordner'], ['eins.htm', 'Erster Falschx'],
      ['zwei.htm', ''], ['drei.htm', 'Letzter ']]);
    await b.entry(page, 'Ordner').click();
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowDown');
    assert.equal(await page.evaluate(() => document.activeElement.getAttribute('href')), 'drei.htm');
    await page.fill('.tm-query', 'zweiter');
    assert.equal(await page.textContent('.tm-status'), '1 Treffer');
    assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('.tm-tree a[href]')]
      .filter((a) => a.offsetParent !== null).map((a) => a.getAttribute('href'))), ['zwei.htm']);
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

  test('the tree has tree, treeitem and group roles, levels and one tab stop', async () => {
    await open([
      [1, 'Top', 'Daten', 'top.htm', 'Oben'],
      [0, ' Leaf', 'Daten', 'leaf.htm', ''],
      [0, ' Other', 'Daten', '', ''],
      [0, 'Last', 'Daten', 'last.htm', ''],
    ]);
    const tree = await page.$eval('.treemenu [role="tree"]', (t) => ({
      label: t.getAttribute('aria-label'),
      items: Array.from(t.querySelectorAll('[role="treeitem"]'), (a) => [
        a.querySelector('.tm-text').textContent, Number(a.getAttribute('aria-level')),
        a.getAttribute('aria-expanded'), a.getAttribute('aria-posinset') + '/' + a.getAttribute('aria-setsize'),
        a.closest('[role="group"]') !== null]),
      owns: t.querySelector('[aria-owns]').getAttribute('aria-owns'),
      group: t.querySelector('[role="group"]').id,
    }));
    assert.equal(tree.label, 'Menü');
    assert.deepEqual(tree.items, [
      ['Top', 1, 'false', '1/2', false],
      ['Leaf', 2, null, '1/2', true],
      ['Other', 2, null, '2/2', true],
      ['Last', 1, null, '2/2', false],
    ]);
    assert.equal(tree.owns, tree.group);
    // The current entry (the first one of the content frame) holds the tab stop.
    assert.deepEqual(await b.tabStops(page), ['Top']);
    await page.keyboard.press('ArrowRight');  // focus is not in the tree yet: nothing happens
    assert.deepEqual(await b.visibleTexts(page), ['Top', 'Last']);
  });

  test('keyboard walk: arrows, Home, End, star, type-ahead, Space and Enter', async () => {
    await open([
      [1, 'Anwendungen', 'Daten', '', ''],
      [0, ' Zeit', 'Daten', 'zeit.htm', ''],
      [1, ' Admin', 'Daten', 'admin.htm', ''],
      [0, '  Konten', 'Daten', 'konten.htm', ''],
      [1, 'Dokumente', 'Daten', '', ''],
      [0, ' Formulare', '_self', 'formulare.htm', ''],
      [0, 'Hilfe', 'Daten', 'hilfe.htm', ''],
    ]);
    await b.entry(page, 'Anwendungen').focus();
    await page.keyboard.press('ArrowRight');  // opens, focus stays
    assert.deepEqual(await b.focusedItem(page),
      { text: 'Anwendungen', role: 'treeitem', level: 1, expanded: 'true' });
    await page.keyboard.press('ArrowRight');  // to the first child
    assert.equal(await b.focusedText(page), 'Zeit');
    await page.keyboard.press('ArrowDown');
    // A folder with a page of its own folds from the keyboard too.
    await page.keyboard.press('Space');
    assert.deepEqual(await b.focusedItem(page), { text: 'Admin', role: 'treeitem', level: 2, expanded: 'true' });
    await page.keyboard.press('ArrowLeft');
    assert.equal((await b.focusedItem(page)).expanded, 'false');
    await page.keyboard.press('ArrowRight');
    assert.ok((await b.visibleTexts(page)).includes('Konten'));
    await page.keyboard.press('ArrowLeft');
    await page.keyboard.press('ArrowLeft');  // closed: to the parent
    assert.equal(await b.focusedText(page), 'Anwendungen');
    await page.keyboard.press('End');
    assert.equal(await b.focusedText(page), 'Hilfe');
    await page.keyboard.press('Home');
    assert.equal(await b.focusedText(page), 'Anwendungen');
    // Only the entry with the focus is a tab stop.
    assert.deepEqual(await b.tabStops(page), ['Anwendungen']);
    // Type-ahead: first letters, a repeated letter walks on.
    await page.keyboard.type('do');
    assert.equal(await b.focusedText(page), 'Dokumente');
    await page.waitForTimeout(800);
    await page.keyboard.press('h');
    assert.equal(await b.focusedText(page), 'Hilfe');
    // "*" opens every folder on the level of the focused entry.
    await page.keyboard.press('ArrowLeft');  // top level: focus stays
    await page.keyboard.press('*');
    assert.deepEqual(await b.visibleTexts(page),
      ['Anwendungen', 'Zeit', 'Admin', 'Dokumente', 'Formulare', 'Hilfe']);
    // Enter follows the link.
    await b.entry(page, 'Formulare').focus();
    await Promise.all([page.waitForURL(/formulare\.htm$/), page.keyboard.press('Enter')]);
  });

  test('search filters with folders, highlights, ignores case and umlaut spelling', async () => {
    await open([
      [1, 'Dokumente', 'Daten', '', ''],
      [1, ' Formulare', 'Daten', '', ''],
      [0, '  Qualit&auml;tshandbuch', 'Daten', 'qm.htm', ''],
      [0, '  Reisekosten', '_self', 'reise.htm', ''],
      [0, 'Gr&uuml;&szlig;e', 'Daten', 'gruss.htm', ''],
      [0, 'Hilfe', 'Daten', 'hilfe.htm', ''],
    ]);
    await page.keyboard.press('/');
    assert.equal(await page.evaluate(() => document.activeElement.className), 'tm-query');
    await page.keyboard.type('QUALITAE');
    assert.deepEqual(await b.visibleTexts(page), ['Dokumente', 'Formulare', 'Qualitätshandbuch']);
    assert.deepEqual(await b.hits(page), ['Qualitä']);
    assert.equal(await page.textContent('.tm-status'), '1 Treffer');
    await page.fill('.tm-query', 'grüsse');
    assert.deepEqual(await b.visibleTexts(page), ['Grüße']);
    await page.fill('.tm-query', 'GRUESSE');
    assert.deepEqual(await b.hits(page), ['Grüße']);
    await page.fill('.tm-query', 'nichts');
    assert.deepEqual(await b.visibleTexts(page), []);
    assert.equal(await page.textContent('.tm-status'), 'Keine Treffer');
    // Esc clears and the folders are as before the search.
    await page.keyboard.press('Escape');
    assert.equal(await page.inputValue('.tm-query'), '');
    assert.deepEqual(await b.visibleTexts(page), ['Dokumente', 'Grüße', 'Hilfe']);
    assert.deepEqual(await b.hits(page), []);
    // Enter opens the first match.
    await page.keyboard.type('kosten');
    await Promise.all([page.waitForURL(/reise\.htm$/), page.keyboard.press('Enter')]);
  });

  test('a browser without the needed calls gets a plain open list of links', async () => {
    const old = await browser.context.newPage();
    await old.addInitScript(() => { delete Element.prototype.closest; });
    try {
      const file = path.join(dir, 'old.htm');
      fs.writeFileSync(file, menuBlock([[1, 'Top', 'Daten', '', ''], [0, ' Leaf', '_self', 'leaf.htm', 'Tip']]));
      await old.goto(b.fileUrl(file));
      assert.deepEqual(await old.$$eval('.treemenu li', (l) => l.map((li) => li.firstChild.textContent)),
        ['Top', 'Leaf']);
      assert.equal(await old.getAttribute('.treemenu a', 'href'), 'leaf.htm');
      assert.equal(await old.$$eval('[role="tree"], .tm-query', (l) => l.length), 0);
    } finally {
      await old.close();
    }
  });

  test('on paper every entry shows without the search; reduced motion drops the animation', {
    skip: b.BROWSER === 'firefox' && 'Firefox over BiDi emulates no media',
  }, async () => {
    await open([[1, 'Top', 'Daten', '', ''], [0, ' Leaf', 'Daten', 'leaf.htm', '']]);
    const look = () => page.evaluate(() => ({
      search: getComputedStyle(document.querySelector('.tm-search')).display,
      leaf: document.querySelectorAll('.tm-text')[1].getBoundingClientRect().height > 0,
      transition: getComputedStyle(document.querySelector('.tm-toggle'), '::before').transitionDuration,
    }));
    assert.deepEqual(await look(), { search: 'block', leaf: false, transition: '0.15s' });
    await page.emulateMedia({ media: 'print', reducedMotion: 'reduce' });
    assert.deepEqual(await look(), { search: 'none', leaf: true, transition: '0s' });
    await page.emulateMedia({ media: null, reducedMotion: null });
  });

  test('served from one origin, frames take their page titles and the mark follows', async () => {
    // A frameset as the generator writes it, untitled frames, served over http.
    const frameset = '<html>\r\n<head>\r\n<title>Portal</title>\r\n</head>\r\n' +
      '<frameset cols="200,*">\r\n  <frame src="nav.htm" name="Navigation">\r\n' +
      '  <frame src="zwei.htm" name="Daten">\r\n</frameset>\r\n</html>\r\n';
    const content = (title) => `<title>${title}</title><script src="treemenu.js"></script><p>${title}</p>`;
    fs.writeFileSync(path.join(dir, 'frames.htm'), frameset);
    fs.writeFileSync(path.join(dir, 'eins.htm'), content('Eins'));
    fs.writeFileSync(path.join(dir, 'zwei.htm'), content('Zwei'));
    fs.writeFileSync(path.join(dir, 'nav.htm'), '<html><head><title>Menü</title></head><body>' +
      menuBlock([[0, 'Eins', 'Daten', 'eins.htm', ''], [0, 'Zwei', 'Daten', 'zwei.htm', '']]) +
      '</body></html>', 'latin1');
    const server = http.createServer((req, res) => {
      const file = path.join(dir, path.basename(new URL(req.url, 'http://x').pathname));
      if (!fs.existsSync(file)) { res.writeHead(404); res.end(); return; }
      res.writeHead(200, { 'Content-Type': file.endsWith('.js') ? 'text/javascript' : 'text/html; charset=windows-1252' });
      res.end(fs.readFileSync(file));
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    try {
      await page.goto(`http://127.0.0.1:${server.address().port}/frames.htm`);
      const nav = page.frame({ name: 'Navigation' });
      await nav.waitForSelector('.tm-current');
      await page.waitForFunction(() => [...document.querySelectorAll('frame')].every((f) => f.title));
      assert.deepEqual(await page.$$eval('frame', (l) => l.map((f) => f.title)), ['Menü', 'Zwei']);
      // The content frame's first page is the current entry, not merely the first one.
      assert.equal(await nav.$eval('.tm-current .tm-text', (t) => t.textContent), 'Zwei');
      await b.entry(nav, 'Eins').click();
      await page.frame({ name: 'Daten' }).waitForURL(/eins\.htm$/);
      await page.evaluate(() => history.back());
      await nav.waitForFunction(() => document.querySelector('.tm-current .tm-text').textContent === 'Zwei');
    } finally {
      server.close();
    }
  });

  test('open folders and the current entry survive a reload and Back', async () => {
    await open([
      [1, 'Start', 'Daten', 'start.htm', ''],
      [0, ' Eins', 'Daten', 'eins.htm', ''],
      [1, 'Mehr', 'Daten', '', ''],
      [0, ' Zwei', 'Daten', 'zwei.htm', ''],
    ]);
    // On load the first entry of the content frame is the current one.
    assert.equal(await page.$eval('.tm-current .tm-text', (t) => t.textContent), 'Start');
    await b.entry(page, 'Mehr').click();
    await page.reload();
    assert.deepEqual(await b.visibleTexts(page), ['Start', 'Mehr', 'Zwei']);
    await page.evaluate(() => {  // what a click on a content-frame link does, without leaving
      const a = [...document.querySelectorAll('.tm-link')].find((l) => l.textContent === 'Zwei');
      a.removeAttribute('href');
      a.click();
    });
    const state = async () => ({
      shown: await b.visibleTexts(page),
      current: await page.$eval('.tm-current .tm-text', (t) => t.textContent),
      stop: await b.tabStops(page),
    });
    const before = await state();
    assert.deepEqual(before, { shown: ['Start', 'Mehr', 'Zwei'], current: 'Zwei', stop: ['Zwei'] });
    await page.reload();
    assert.deepEqual(await state(), before);
    await page.goto(b.fileUrl(path.join(dir, 'reise.htm')));
    await page.goBack();
    await page.waitForSelector('.treemenu');
    assert.deepEqual(await state(), before);
  });
});
