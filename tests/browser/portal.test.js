// The example portal as Pagetrix.exe generated it, used in the browser like a
// user would: the frameset, the tree menu with mouse and keyboard, the links.
//
// PORTAL_RUNS names the output folders of the generation runs as JSON:
// {"schmidt": ..., "schmidt_aussen": ..., "mueller": ...} (run_portal.py).
'use strict';

const assert = require('node:assert/strict');
const path = require('node:path');
const { after, before, beforeEach, describe, test } = require('node:test');
const b = require('./browser');

const runs = process.env.PORTAL_RUNS ? JSON.parse(process.env.PORTAL_RUNS) : null;
const skip = runs ? false : 'PORTAL_RUNS not set: run tests/browser/run_portal.py';

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
    page = browser.page;
  });

  after(async () => {
    if (browser) await browser.close();
  });

  async function load(run) {
    await page.goto(startPage(run));
    nav = page.frame({ name: 'Navigation' });
    await nav.waitForSelector('.treemenu');
  }

  function data() {
    return page.frame({ name: 'Daten' });
  }

  async function waitForData(file) {
    await data().waitForURL((url) => url.pathname.endsWith('/' + file));
    await data().waitForLoadState('load');
  }

  beforeEach(async () => {
    await load('schmidt');
  });

  test('the frameset shows the navigation page and the welcome page', async () => {
    assert.equal(await page.title(), 'Intranet der Muster GmbH');
    const frames = await page.$$eval('frame', (list) => list.map((f) => [f.name, f.getAttribute('src')]));
    assert.deepEqual(frames, [['Navigation', 'navigation.htm'], ['Daten', 'willkommen.htm']]);
    assert.equal(await page.$eval('frameset', (f) => f.getAttribute('cols')), '240,*');
    await waitForData('willkommen.htm');
    assert.match(await nav.textContent('h1'), /Intranet/);
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

    await b.entry(nav, 'Dokumente').click();
    await b.entry(nav, 'Formulare').click();
    const shown = await b.treeEntries(nav);
    const left = Object.fromEntries(shown.filter((e) => e.visible).map((e) => [e.text, e.left]));
    assert.ok(left['Dokumente'] < left['Formulare'] && left['Formulare'] < left['Urlaubsantrag']);
    assert.equal(left['Formulare'], left['Mitarbeiterhandbuch']);
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

  test('the keyboard moves through the entries and folds them', async () => {
    // The first Tab from the freshly loaded frameset enters the menu.
    await page.keyboard.press('Tab');
    assert.equal(await b.focusedText(nav), 'Intranet');
    await page.keyboard.press('Tab');
    assert.equal(await b.focusedText(nav), 'Anwendungen');  // Intranet's children are folded away
    await page.keyboard.press('ArrowRight');
    assert.deepEqual((await b.visibleTexts(nav)).slice(1, 4), ['Anwendungen', 'Zeiterfassung', 'Administration']);
    await page.keyboard.press('ArrowRight');
    assert.equal(await b.focusedText(nav), 'Zeiterfassung');
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
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('ArrowDown');
    assert.equal(await b.focusedText(nav), 'Vertrieb');
    await page.keyboard.press('Enter');
    await waitForData('vertrieb.htm');
    assert.equal(page.url(), startPage('schmidt'));
  });

  test('Tab stops at every entry on screen and at nothing folded away', async () => {
    await b.entry(nav, 'Dokumente').click();
    const expected = await b.visibleTexts(nav);
    await b.entry(nav, 'Intranet').focus();
    const reached = [await b.focusedText(nav)];
    for (let i = 1; i < expected.length; i++) {
      await page.keyboard.press('Tab');
      reached.push(await b.focusedText(nav));
    }
    assert.deepEqual(reached, expected);
  });

  test('a link opens in the Daten frame and is marked as current', async () => {
    await b.entry(nav, 'Intranet').click();
    await b.entry(nav, 'Personal').click();
    await waitForData('personal.htm');
    assert.equal(page.url(), startPage('schmidt'));
    assert.equal(await data().textContent('.teil b'), 'Personalabteilung');
    assert.equal(await nav.$eval('.tm-current .tm-link', (a) => a.textContent), 'Personal');
  });

  test('a link flagged for a new window opens a new page', async () => {
    await b.entry(nav, 'Hilfe').click();
    await waitForData('hilfe.htm');
    const [popup] = await Promise.all([
      browser.context.waitForEvent('page'),
      b.entry(nav, 'Hilfe im neuen Fenster').click(),
    ]);
    await popup.waitForLoadState();
    assert.ok(popup.url().endsWith('/hilfe.htm'));
    assert.equal(await popup.textContent('.teil b'), 'Hilfe zum Intranet');
    assert.equal(page.url(), startPage('schmidt'));
    await popup.close();
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

  test('rights of the example users and the server flags decide what shows', { skip: !runs || !runs.mueller }, async () => {
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
    await page.goto(b.fileUrl(path.join(runs.mueller, 'personal.htm')));
    const links = await page.$$eval('.teil a', (list) => list.map((a) => a.textContent));
    assert.ok(links.includes('Urlaubsantrag') && !links.includes('Personalakten'));
  });
});
