// Generated pages whose entries once broke them (tests/browser/eintraege):
// every entry shows, in the menu and in the link table; long entries wrap;
// the search finds tooltips and needs every word; symbols; favourites that
// outlive the run's folder; and no serious accessibility fault, light or dark.
//
// PORTAL_RUNS names the output folders (run_portal.py): "eintraege" for
// schmidt, who sees the entries of the IT administration, "eintraege_mueller"
// for mueller, who does not.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { after, before, describe, test } = require('node:test');
const b = require('./browser');
const { pageEntries } = require('./page_entries');

const runs = process.env.PORTAL_RUNS ? JSON.parse(process.env.PORTAL_RUNS) : null;
const skip = runs && runs.eintraege ? false : 'PORTAL_RUNS not set: run tests/browser/run_portal.py';
const tier = process.env.PORTAL_TIER || 'win';

function startPage(run) {
  return b.fileUrl(path.join(runs[run], 'Pagetrix.htm'));
}

// What the menu of schmidt's run shows: text, href, title, level.
const MENU = [
  ['Ablage', '\\fileserverablage\\', 'Endet mit einem Backslash', 1],
  ["Mitarbeiter's Handbuch", "inhalt.htm?buch='1'", "Tom's Tipp", 1],
  // Texts are HTML: the end tag vanishes from the text, the block survives.
  ['Nicht  hier', 'inhalt.htm', 'Auch </b> im Tooltip', 1],
  ['Ordner', null, 'Mit Unterpunkt', 1],
  ["Kinder's Seite", 'inhalt.htm', null, 2],
  ["Schon 'maskiert'", 'inhalt.htm', null, 1],
  ['Zeichen \\x4 und \\u{110000}', 'inhalt.htm', "\\' am Ende \\", 1],
  ['Kommentar ', 'inhalt.htm', null, 1],
  ['Betriebsversammlung im März mit allen Abteilungen und Gästen der Werke', 'inhalt.htm', null, 1],
  ['Formulare', 'formulare.htm', 'Urlaub, Reisekosten und Anträge', 1],
  ['Personalakten', 'personal.htm', 'Vertraulich', 1],
  ['Urlaubsantrag', 'urlaub.htm', 'Formular für den Urlaub', 1],
];

describe('generated entries that once broke pages', { skip }, () => {
  let browser;
  let page;
  let nav;
  const errors = [];

  async function open(run, tab = page) {
    await tab.goto(startPage(run));
    const frame = tab.frame({ name: 'Navigation' });
    await frame.waitForSelector('.treemenu[data-treemenu]');
    return frame;
  }

  before(async () => {
    browser = await b.launch();
    page = browser.page;
    page.on('pageerror', (error) => errors.push(error.message));
    nav = await open('eintraege');
  });

  after(async () => {
    if (browser) await browser.close();
  });

  test('every entry of the menu shows, a backslash at the end included', async () => {
    const entries = await nav.$$eval('.tm-tree .tm-link', (list) => list.map((a) => [
      a.querySelector('.tm-text').textContent, a.getAttribute('href'), a.getAttribute('title'),
      Number(a.getAttribute('aria-level'))]));
    assert.deepEqual(entries, MENU);
    assert.equal(await nav.$$eval('.tm-error', (l) => l.length), 0);
    assert.deepEqual(errors, []);
    // What the browser built is what page_entries.js reads from the page.
    const file = path.join(runs.eintraege, 'navigation.htm');
    const [menu] = pageEntries(fs.readFileSync(file)).menus;
    assert.deepEqual(menu.map((e) => [e.text, e.href, e.title, e.depth + 1]), MENU);
  });

  test('every row of the link table stays a row, and the page goes on after it', async () => {
    await page.goto(b.fileUrl(path.join(runs.eintraege, 'tabelle.htm')));
    const rows = await page.$$eval('table[cellspacing] tr', (list) => list.map((tr) => [
      tr.cells[0].querySelector('a').textContent, tr.cells[0].querySelector('a').getAttribute('href'),
      tr.cells[0].title, tr.cells[1] ? tr.cells[1].textContent : null]));
    assert.deepEqual(rows, [
      ['Notizen', 'notizen.htm', 'Sagt "Hallo"', 'Text </td></tr> in der Zeile'],
      ['Formulare', 'formulare.htm', 'Urlaub und Reisekosten', ''],
      ['Ablage', '\\\\fileserver\\ablage\\', 'Endet mit einem Backslash', 'Freigabe fett'],
    ]);
    assert.equal(await page.textContent('table[border="0"] b'), 'Einträge ');
    assert.equal(await page.$eval('#ende', (p) => p.parentNode.tagName), 'MAIN');
    const file = path.join(runs.eintraege, 'tabelle.htm');
    assert.deepEqual(pageEntries(fs.readFileSync(file)).tables[0].map((r) => r.text),
      ['Notizen', 'Formulare', 'Ablage']);
    nav = await open('eintraege');
  });

  test('a symbol stands before its text, in the tree and in the table, with an empty alt', async () => {
    const tree = await nav.evaluate(() => {
      const link = [...document.querySelectorAll('.tm-link')]
        .find((a) => a.textContent === 'Formulare');
      const img = link.querySelector('img.tm-symbol');
      return [img.getAttribute('alt'), img.complete && img.naturalWidth,
        img.getBoundingClientRect().right <= link.querySelector('.tm-text').getBoundingClientRect().left];
    });
    assert.deepEqual(tree, ['', 16, true]);
    await page.goto(b.fileUrl(path.join(runs.eintraege, 'tabelle.htm')));
    const table = await page.$eval('img.symbol', (img) => [img.getAttribute('alt'),
      img.complete && img.naturalWidth, img.nextSibling.textContent, img.parentNode.getAttribute('href')]);
    assert.deepEqual(table, ['', 16, 'Formulare', 'formulare.htm']);
    nav = await open('eintraege');
  });

  test('a long entry wraps with a hanging indent; mark, focus ring and highlight stay whole', async () => {
    const name = 'Betriebsversammlung im März mit allen Abteilungen und Gästen der Werke';
    await b.entry(nav, name).click();
    await nav.fill('.tm-query', 'gaeste betriebs');
    await b.entry(nav, name).focus();
    const shape = await nav.evaluate((text) => {
      const link = [...document.querySelectorAll('.tm-link')].find((a) => a.textContent === text);
      const span = link.querySelector('.tm-text');
      const range = document.createRange();
      range.selectNodeContents(span);
      const lines = [...range.getClientRects()];
      const box = link.getBoundingClientRect();
      return {
        lines: new Set(lines.map((r) => Math.round(r.top))).size,
        hanging: lines.every((r) => r.left >= span.getBoundingClientRect().left - 0.5),
        inside: lines.every((r) => r.right <= box.right + 0.5 && r.bottom <= box.bottom + 0.5),
        fits: box.right <= document.documentElement.clientWidth,
        // The marker keeps its width before a long text, as before a short one.
        bullet: Math.abs(link.querySelector('.tm-bullet').getBoundingClientRect().width -
          1.2 * parseFloat(getComputedStyle(link.querySelector('.tm-bullet')).fontSize)) < 0.5,
        current: link.closest('.tm-entry').classList.contains('tm-current'),
      };
    }, name);
    assert.ok(shape.lines >= 2, `${shape.lines} line(s)`);
    assert.deepEqual({ ...shape, lines: 2 }, { lines: 2, hanging: true, inside: true, fits: true,
      bullet: true, current: true });
    assert.deepEqual(await b.hits(nav), ['Betriebs', 'Gäste']);
    await b.screenshot(page, `${tier}-menu-wrap-240px`);
    await nav.fill('.tm-query', '');
  });

  test('search finds tooltips and wants every word', async () => {
    await nav.fill('.tm-query', 'reisekosten');
    assert.deepEqual(await b.visibleTexts(nav), ['Formulare']);
    assert.equal(await nav.textContent('.tm-status'), '1 Treffer');
    await nav.fill('.tm-query', 'URLAUB formular');
    assert.deepEqual(await b.visibleTexts(nav), ['Formulare', 'Urlaubsantrag']);
    assert.deepEqual(await b.hits(nav), ['Formular', 'Urlaub']);
    await nav.fill('.tm-query', 'urlaub vertraulich');
    assert.deepEqual(await b.visibleTexts(nav), []);
    await nav.fill('.tm-query', '');
  });

  test('favourites: pinned by keyboard and mouse, kept in another run\'s folder, gone where hidden', async () => {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pagetrix-profile-'));
    let user = await b.launch({ profile });
    try {
      let tab = user.page;
      let menu = await open('eintraege', tab);
      // The star follows the tree's tab stop and is named for its entry.
      await b.entry(menu, 'Formulare').click();
      await b.entry(menu, 'Formulare').focus();
      await tab.keyboard.press('Tab');
      const star = await menu.evaluate(() => {
        const button = document.activeElement;
        const name = button.getAttribute('aria-labelledby').split(' ')
          .map((id) => document.getElementById(id).textContent).join(' ');
        return [button.className, name, button.getAttribute('aria-pressed')];
      });
      assert.deepEqual(star, ['tm-star', 'Favorit: Formulare', 'false']);
      await tab.keyboard.press('Enter');
      await b.star(menu, 'Personalakten').click();
      const favourites = async (frame) => frame.$$eval('.tm-copy .tm-text', (l) => l.map((t) => t.textContent));
      assert.deepEqual(await favourites(menu), ['Formulare', 'Personalakten']);
      assert.deepEqual((await b.visibleTexts(menu)).slice(0, 3), ['Favoriten', 'Formulare', 'Personalakten']);
      assert.equal(await menu.evaluate(() => document.activeElement.getAttribute('aria-pressed')), 'true');
      await b.screenshot(tab, `${tier}-menu-favourites`);
      assert.deepEqual(await b.seriousViolations(menu), []);
      // A favourite opens its page and marks the entry itself.
      await b.entry(menu, 'Formulare', '.tm-copy').click();
      await tab.frame({ name: 'Daten' }).waitForURL((url) => url.pathname.endsWith('/formulare.htm'));
      assert.deepEqual(await menu.$$eval('.tm-current', (l) => l.map((r) => r.className)),
        ['tm-entry tm-current']);

      // Another run, another folder, the same profile after the browser
      // closed: mueller may not see the personnel files.
      await user.close();
      user = await b.launch({ profile });
      tab = user.page;
      menu = await open('eintraege_mueller', tab);
      assert.deepEqual(await favourites(menu), ['Formulare']);
      assert.ok(!(await b.treeEntries(menu)).some((e) => e.text === 'Personalakten'));
      // Unpinning the last favourite takes the group away.
      await b.star(menu, 'Formulare', '.tm-copy').click();
      assert.deepEqual(await favourites(menu), []);
      assert.equal(await menu.$$eval('.tm-favourites', (l) => l.length), 0);
    } finally {
      await user.close();
      fs.rmSync(profile, { recursive: true, force: true });
    }
  });

  test('axe-core finds nothing serious on the frameset, the menu and the pages, light and dark', async () => {
    for (const dark of [false, true]) {
      const checked = await b.launch({ dark });
      try {
        const tab = checked.page;
        const menu = await open('eintraege', tab);
        assert.deepEqual(await b.seriousViolations(tab.mainFrame()), [], `frameset, dark ${dark}`);
        assert.deepEqual(await b.seriousViolations(menu), [], `menu, dark ${dark}`);
        for (const file of ['tabelle.htm', 'formulare.htm']) {
          await tab.goto(b.fileUrl(path.join(runs.eintraege, file)));
          assert.deepEqual(await b.seriousViolations(tab.mainFrame()), [], `${file}, dark ${dark}`);
        }
      } finally {
        await checked.close();
      }
    }
  });
});
