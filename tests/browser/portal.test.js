// The example portal as the program generated it, used in the browser like an
// employee would: the frameset, the tree menu with mouse, keyboard and search,
// its memory across reload and Back, the links, and an accessibility scan.
//
// PORTAL_RUNS names the output folders of the generation runs as JSON:
// {"schmidt": ..., "schmidt_aussen": ..., "mueller": ..., "becker": ...,
//  "quotes": ...} (run_portal.py). SCREENSHOTS names the folder for pictures.
'use strict';

const assert = require('node:assert/strict');
const path = require('node:path');
const { after, afterEach, before, beforeEach, describe, test } = require('node:test');
const b = require('./browser');

const runs = process.env.PORTAL_RUNS ? JSON.parse(process.env.PORTAL_RUNS) : null;
const skip = runs ? false : 'PORTAL_RUNS not set: run tests/browser/run_portal.py';
const tier = process.env.PORTAL_TIER || 'win';

const TOP = ['Intranet', 'Anwendungen', 'Dokumente', 'Hilfe'];

function startPage(run) {
  return b.fileUrl(path.join(runs[run], 'Pagetrix.htm'));
}

describe('generated portal', { skip }, () => {
  let browser;
  let page;
  let nav;

  before(async () => {
    browser = await b.launch();
  });

  after(async () => {
    if (browser) await browser.close();
  });

  // A tab of its own per test: the menu keeps its state per tab.
  beforeEach(async () => {
    page = await browser.context.newPage();
    await load('schmidt');
  });

  afterEach(async () => {
    await page.close();
  });

  async function load(run) {
    await page.goto(startPage(run));
    await menuReady();
  }

  async function menuReady() {
    nav = page.frame({ name: 'Navigation' });
    await nav.waitForSelector('.treemenu[data-treemenu]');
  }

  function data() {
    return page.frame({ name: 'Daten' });
  }

  async function waitForData(file) {
    await data().waitForURL((url) => url.pathname.endsWith('/' + file));
    await data().waitForLoadState('load');
  }

  async function current() {
    await nav.waitForSelector('.tm-current');
    return nav.$eval('.tm-current .tm-text', (t) => t.textContent);
  }

  async function waitForCurrent(text) {
    await nav.waitForFunction((t) => {
      const c = document.querySelector('.tm-current .tm-text');
      return c && c.textContent === t;
    }, text);
  }

  test('the frameset shows the navigation page and the welcome page', async () => {
    assert.equal(await page.title(), 'Intranet der Muster GmbH');
    const frames = await page.$$eval('frame', (list) => list.map((f) => [f.name, f.getAttribute('src')]));
    assert.deepEqual(frames, [['Navigation', 'navigation.htm'], ['Daten', 'willkommen.htm']]);
    assert.equal(await page.$eval('frameset', (f) => f.getAttribute('cols')), '240,*');
    await waitForData('willkommen.htm');
    // Both pages are German pages with a title, in standards mode.
    for (const frame of [nav, data()]) {
      assert.deepEqual(await frame.evaluate(() => [document.documentElement.lang,
        document.compatMode, document.title.startsWith('Intranet der Muster GmbH: ')]),
      ['de', 'CSS1Compat', true]);
    }
    // No heading repeats the folder below it.
    const heading = await nav.textContent('h1');
    assert.equal(heading, 'Muster GmbH');
    assert.ok(!TOP.includes(heading));
    // The copied style sheet and images arrived beside the pages.
    const logo = await data().$eval('.kopf img', (img) => img.complete && img.naturalWidth);
    assert.equal(logo, 220);
    const navBackground = await nav.$eval('body', (body) => getComputedStyle(body).backgroundColor);
    assert.equal(navBackground, 'rgb(243, 246, 250)');
  });

  test('the tree menu shows its entries with their nesting, folders closed', async () => {
    const entries = await b.treeEntries(nav);
    assert.deepEqual(entries.filter((e) => e.visible).map((e) => e.text), TOP);
    assert.ok(entries.filter((e) => e.visible).every((e) => e.folder && !e.open));
    const depth = Object.fromEntries(entries.map((e) => [e.text, e.depth]));
    assert.equal(depth['Personal'], 1);
    assert.equal(depth['Administration'], 1);
    assert.equal(depth['Benutzerverwaltung'], 2);
    assert.equal(depth['Urlaubsantrag'], 2);
    assert.equal(depth['Qualitätshandbuch'], 1);
    const tips = Object.fromEntries(entries.map((e) => [e.text, e.title]));
    assert.equal(tips['Warenwirtschaft'], undefined);  // schmidt is not in sales
    assert.equal(tips['Serverüberwachung'], 'Zustand der Server (nicht in der Außenstelle)');
    await b.screenshot(page, `${tier}-menu-closed`);

    await b.entry(nav, 'Dokumente').click();
    await b.entry(nav, 'Formulare').click();
    const shown = await b.treeEntries(nav);
    const left = Object.fromEntries(shown.filter((e) => e.visible).map((e) => [e.text, e.left]));
    assert.ok(left['Dokumente'] < left['Formulare'] && left['Formulare'] < left['Urlaubsantrag']);
    assert.equal(left['Formulare'], left['Mitarbeiterhandbuch']);
    await b.screenshot(page, `${tier}-menu-open`);
  });

  test('the entry of the page in the content frame is marked on load', async () => {
    await waitForData('willkommen.htm');
    assert.equal(await current(), 'Intranet');
    assert.equal(await nav.$eval('.tm-current .tm-link', (a) => a.getAttribute('aria-current')), 'page');
  });

  test('a folder folds and unfolds on click', async () => {
    await b.entry(nav, 'Anwendungen').click();
    assert.deepEqual(await b.visibleTexts(nav),
      ['Intranet', 'Anwendungen', 'Zeiterfassung', 'Administration', 'Dokumente', 'Hilfe']);
    await b.toggle(nav, 'Administration').click();
    assert.deepEqual((await b.visibleTexts(nav)).slice(3, 6),
      ['Administration', 'Benutzerverwaltung', 'Serverüberwachung']);
    await b.entry(nav, 'Anwendungen').click();
    assert.deepEqual(await b.visibleTexts(nav), TOP);
    // A folder with a page of its own unfolds and shows the page; its marker only folds.
    await b.entry(nav, 'Intranet').click();
    await waitForData('willkommen.htm');
    assert.deepEqual((await b.visibleTexts(nav)).slice(0, 4), ['Intranet', 'Personal', 'Vertrieb', 'Technik']);
    await b.toggle(nav, 'Intranet').click();
    assert.deepEqual(await b.visibleTexts(nav), TOP);
  });

  test('keyboard: skip link, search field, then one tab stop for the whole tree', async () => {
    await waitForData('willkommen.htm');
    await page.keyboard.press('Tab');
    assert.equal(await b.focusedText(nav), 'Zum Inhalt springen');
    await page.keyboard.press('Tab');
    assert.equal(await nav.evaluate(() => document.activeElement.className), 'tm-query');
    await page.keyboard.press('Tab');
    assert.deepEqual(await b.focusedItem(nav), { text: 'Intranet', role: 'treeitem', level: 1, expanded: 'false' });
    await page.keyboard.press('ArrowDown');
    assert.equal(await b.focusedText(nav), 'Anwendungen');  // Intranet's children are folded away
    await page.keyboard.press('ArrowRight');
    assert.deepEqual((await b.visibleTexts(nav)).slice(1, 4), ['Anwendungen', 'Zeiterfassung', 'Administration']);
    await page.keyboard.press('ArrowRight');
    assert.deepEqual(await b.focusedItem(nav), { text: 'Zeiterfassung', role: 'treeitem', level: 2, expanded: null });
    await page.keyboard.press('ArrowDown');
    assert.equal(await b.focusedText(nav), 'Administration');
    await page.keyboard.press('Enter');
    assert.ok((await b.visibleTexts(nav)).includes('Benutzerverwaltung'));
    await page.keyboard.press('ArrowLeft');
    assert.ok(!(await b.visibleTexts(nav)).includes('Benutzerverwaltung'));
    await page.keyboard.press('ArrowLeft');
    assert.equal(await b.focusedText(nav), 'Anwendungen');
    await page.keyboard.press('ArrowLeft');
    assert.deepEqual(await b.visibleTexts(nav), TOP);
    await page.keyboard.press('ArrowUp');
    assert.equal(await b.focusedText(nav), 'Intranet');
    // A folder with a link folds from the keyboard; Enter then opens the link.
    await page.keyboard.press('ArrowRight');
    assert.equal((await b.focusedItem(nav)).expanded, 'true');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowDown');
    assert.equal(await b.focusedText(nav), 'Vertrieb');
    assert.deepEqual(await b.tabStops(nav), ['Vertrieb']);
    await page.keyboard.press('Enter');
    await waitForData('vertrieb.htm');
    assert.equal(page.url(), startPage('schmidt'));
    assert.equal(await current(), 'Vertrieb');
    // Tab leaves the tree instead of walking through its entries.
    await b.entry(nav, 'Technik').focus();
    await page.keyboard.press('Tab');
    assert.notEqual(await nav.evaluate(() => document.activeElement.className), 'tm-link');
  });

  test('the skip link moves the focus into the content frame', async () => {
    await waitForData('willkommen.htm');
    await page.keyboard.press('Tab');
    await page.keyboard.press('Enter');
    await data().waitForFunction(() => document.hasFocus());
    assert.equal(await nav.evaluate(() => document.hasFocus()), false);
  });

  test('search shows matches with their folders, ignores umlaut spelling, opens with Enter', async () => {
    await b.entry(nav, 'Intranet').focus();
    await page.keyboard.press('/');
    await page.keyboard.type('handbu');
    assert.deepEqual(await b.visibleTexts(nav), ['Dokumente', 'Mitarbeiterhandbuch', 'Qualitätshandbuch']);
    assert.deepEqual(await b.hits(nav), ['handbu', 'handbu']);
    await nav.fill('.tm-query', 'UEBERWACH');
    assert.deepEqual(await b.visibleTexts(nav), ['Anwendungen', 'Administration', 'Serverüberwachung']);
    assert.deepEqual(await b.hits(nav), ['überwach']);
    await b.screenshot(page, `${tier}-menu-search`);
    // Search sees only what the page holds: schmidt has no merchandise system.
    await nav.fill('.tm-query', 'waren');
    assert.deepEqual(await b.visibleTexts(nav), []);
    assert.equal(await nav.textContent('.tm-status'), 'Keine Treffer');
    await page.keyboard.press('Escape');
    assert.deepEqual(await b.visibleTexts(nav), TOP);
    await page.keyboard.type('tech');
    await page.keyboard.press('Enter');
    await waitForData('technik.htm');
    assert.equal(await current(), 'Technik');
  });

  test('open folders and the current entry survive reload, Back and Forward', async () => {
    await b.entry(nav, 'Intranet').click();
    await b.entry(nav, 'Dokumente').click();
    await b.entry(nav, 'Personal').click();
    await waitForData('personal.htm');
    assert.equal(await current(), 'Personal');
    const shown = await b.visibleTexts(nav);
    assert.ok(shown.includes('Formulare') && shown.includes('Vertrieb'));

    await page.reload();
    await menuReady();
    assert.deepEqual(await b.visibleTexts(nav), shown);
    const shownPage = await data().evaluate(() => location.pathname);
    await waitForCurrent(shownPage.endsWith('/personal.htm') ? 'Personal' : 'Intranet');

    // Back and Forward in the content frame move the mark with it.
    await b.entry(nav, 'Personal').click();
    await waitForData('personal.htm');
    await b.entry(nav, 'Technik').click();
    await waitForData('technik.htm');
    await waitForCurrent('Technik');
    // (history.back() of the top page: page.goBack() waits for a top-level load.)
    await page.evaluate(() => history.back());
    await waitForData('personal.htm');
    await waitForCurrent('Personal');
    await page.evaluate(() => history.forward());
    await waitForData('technik.htm');
    await waitForCurrent('Technik');

    // Away from the portal and back: the menu comes back as it was.
    await page.goto(b.fileUrl(path.join(runs.schmidt, 'hilfe.htm')));
    await page.goBack();
    await menuReady();
    assert.deepEqual(await b.visibleTexts(nav), shown);
    await waitForCurrent('Technik');
  });

  test('a link flagged for a new window opens a new page', async () => {
    await b.entry(nav, 'Hilfe').click();
    await waitForData('hilfe.htm');
    const [popup] = await Promise.all([
      browser.context.waitForEvent('page'),
      b.entry(nav, 'Hilfe im neuen Fenster').click(),
    ]);
    // A new page starts out blank: wait for its address, then its load.
    await popup.waitForURL(/\/hilfe\.htm$/);
    await popup.waitForLoadState('load');
    assert.equal(await popup.textContent('.teil b'), 'Hilfe zum Intranet');
    assert.equal(page.url(), startPage('schmidt'));
    assert.equal(await current(), 'Hilfe');  // the new window does not move the mark
    await popup.close();
  });

  test('the help page explains in text rows, not links back to the start', async () => {
    await page.goto(b.fileUrl(path.join(runs.schmidt, 'hilfe.htm')));
    const rows = await page.$$eval('.teil table[cellspacing] tr', (list) => list.map((tr) => {
      const link = tr.cells[0].querySelector('a');
      return [link.textContent, link.getAttribute('href')];
    }));
    assert.deepEqual(rows.slice(0, 4), [['Navigation', null], ['Tastatur', null], ['Suchen', null],
      ['Neue Fenster', null]]);
  });

  test('a link table shows its links with tooltips and descriptions', async () => {
    await page.goto(b.fileUrl(path.join(runs.schmidt, 'vertrieb.htm')));
    const rows = await page.$$eval('.teil table[cellspacing] tr', (list) => list.map((tr) => {
      const cell = tr.cells[0];
      const link = cell.querySelector('a');
      return {
        text: link.textContent,
        href: link.getAttribute('href'),
        target: link.getAttribute('target'),
        title: cell.title,
        description: tr.cells[1] ? tr.cells[1].textContent : null,
      };
    }));
    assert.deepEqual(rows.slice(0, 3), [
      { text: 'Preisliste 2025', href: 'file://fileserver/vertrieb/Preisliste.pdf', target: null,
        title: 'Aktuelle Preisliste (PDF)', description: 'Gültig ab 1. Januar' },
      { text: 'Angebotsvorlagen', href: null, target: null, title: 'Vorlagen für Angebote',
        description: null },
      { text: 'Angebot Inland', href: 'file://fileserver/vertrieb/vorlagen/Angebot.dotx', target: null,
        title: 'Vorlage Inland', description: 'Mit Briefkopf' },
    ]);
    // schmidt is not in sales: the customer database and complaints are left out.
    assert.deepEqual(rows.map((r) => r.text), ['Preisliste 2025', 'Angebotsvorlagen', 'Angebot Inland',
      'Angebot Export', 'Messetermine', 'Hotline-Dienstplan']);
    const indent = await page.$$eval('.teil td[title="Vorlage Inland"]', (cells) => cells[0].innerHTML);
    assert.match(indent, /^<font face="Verdana" size="2">&nbsp;<a /);
    const headings = await page.$$eval('.teil table[border="0"] b', (list) => list.map((el) => el.textContent));
    assert.deepEqual(headings, ['Vertrieb', 'Kundenservice']);
  });

  test('rights of the example users and the server flags decide what shows', async () => {
    const texts = async (run) => {
      await load(run);
      return (await b.treeEntries(nav)).map((e) => e.text);
    };
    const schmidt = await texts('schmidt');
    const aussen = await texts('schmidt_aussen');
    const mueller = await texts('mueller');
    assert.ok(schmidt.includes('Serverüberwachung') && !aussen.includes('Serverüberwachung'));
    assert.deepEqual(aussen, schmidt.filter((t) => t !== 'Serverüberwachung'));
    assert.ok(mueller.includes('Warenwirtschaft') && !schmidt.includes('Warenwirtschaft'));
    for (const adminEntry of ['Administration', 'Benutzerverwaltung', 'Serverüberwachung']) {
      assert.ok(!mueller.includes(adminEntry), adminEntry);
    }
    // The confidential personnel files: only the personnel department's group sees them.
    const personnel = async (run) => {
      await page.goto(b.fileUrl(path.join(runs[run], 'personal.htm')));
      return page.$$eval('.teil a', (list) => list.map((a) => a.textContent));
    };
    for (const run of ['schmidt', 'mueller']) {
      const links = await personnel(run);
      assert.ok(links.includes('Urlaubsantrag') && !links.includes('Personalakten'), run);
    }
    assert.ok((await personnel('becker')).includes('Personalakten'));
  });

  test('dark mode colours the menu; axe-core finds nothing serious in the dark either', async () => {
    const dark = await b.launch({ dark: true });
    try {
      const tab = dark.page;
      await tab.goto(startPage('schmidt'));
      const menu = tab.frame({ name: 'Navigation' });
      await menu.waitForSelector('.treemenu[data-treemenu]');
      await b.entry(menu, 'Intranet').click();
      const colours = await menu.$eval('.treemenu', (m) => [getComputedStyle(m).backgroundColor,
        getComputedStyle(m.querySelector('.tm-link')).color]);
      assert.deepEqual(colours, ['rgb(27, 33, 41)', 'rgb(219, 231, 245)']);
      await b.screenshot(tab, `${tier}-menu-dark`);
      assert.deepEqual(await b.seriousViolations(menu), []);
      assert.deepEqual(await b.seriousViolations(tab.frame({ name: 'Daten' })), []);
      assert.deepEqual(await b.seriousViolations(tab.mainFrame()), []);
      for (const file of ['personal.htm', 'vertrieb.htm', 'technik.htm', 'hilfe.htm']) {
        await tab.goto(b.fileUrl(path.join(runs.becker, file)));
        assert.deepEqual(await b.seriousViolations(tab.mainFrame()), [], file);
      }
    } finally {
      await dark.close();
    }
  });

  test('axe-core finds no serious or critical violation', async () => {
    await waitForData('willkommen.htm');
    await b.entry(nav, 'Intranet').click();
    await b.entry(nav, 'Dokumente').click();
    assert.deepEqual(await b.seriousViolations(nav), []);
    assert.deepEqual(await b.seriousViolations(data()), []);
    // The frameset names its frames and its language.
    assert.deepEqual(await b.seriousViolations(page.mainFrame()), []);
    assert.deepEqual(await page.$$eval('frame', (l) => l.map((f) => f.title)), ['Navigation', 'Inhalt']);
    for (const file of ['personal.htm', 'vertrieb.htm', 'technik.htm', 'hilfe.htm']) {
      await page.goto(b.fileUrl(path.join(runs.becker, file)));
      assert.deepEqual(await b.seriousViolations(page.mainFrame()), [], file);
    }
    // While searching too.
    await load('schmidt');
    await nav.fill('.tm-query', 'ae');
    assert.deepEqual(await b.seriousViolations(nav), []);
  });
});

