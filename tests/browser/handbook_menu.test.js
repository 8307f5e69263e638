// The handbook's chapters on link entries (7) and the tree menu (13) against
// the script that ships: the texts the menu shows, its keys, its search
// rules and the fields of an entry, as the chapters state them.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const { test } = require('node:test');

const ROOT = path.resolve(__dirname, '..', '..');
const chapter = (name) => fs.readFileSync(path.join(ROOT, 'docs', 'handbuch', name), 'utf8');
// Chapter 13 with its lines joined, as it reads.
const menu = chapter('13-baummenue.md').replace(/\n> ?/g, ' ').replace(/\s+/g, ' ');
const entries = chapter('07-linkeintraege.md');
const source = fs.readFileSync(path.join(ROOT, 'assets', 'treemenu', 'treemenu.js'), 'latin1');
// The script's strings, its \u escapes read.
const script = source.replace(/\\u([0-9a-fA-F]{4})/g, (m, hex) => String.fromCharCode(parseInt(hex, 16)));
// The script itself, loaded as a browser without a DOM would load it.
const loaded = vm.createContext({ document: {} });
vm.runInContext(source, loaded);

test('the texts the chapter quotes are the texts the menu shows', () => {
  for (const text of ['Suchen (/)', 'Keine Treffer', 'Favoriten', 'Zum Inhalt springen', 'Favorit:']) {
    assert.ok(script.includes(text), `script lacks "${text}"`);
    assert.ok(menu.includes(text.replace(':', '')), `chapter lacks "${text}"`);
  }
  assert.ok(menu.includes(loaded.treemenu.message), 'the message of a menu that cannot run');
  assert.match(menu, /„3 Treffer“/);
  assert.match(script, /hits \+ ' Treffer'/);
});

test('every key of the chapter\'s table is one the menu handles', () => {
  const keys = {
    'Pfeil runter': 'ArrowDown', 'Pfeil hoch': 'ArrowUp', 'Pfeil rechts': 'ArrowRight',
    'Pfeil links': 'ArrowLeft', Pos1: 'Home', Ende: 'End', '`*`': '*', Eingabe: 'Enter', Leertaste: ' ',
  };
  for (const [word, key] of Object.entries(keys)) {
    assert.ok(menu.includes(word), `chapter lacks ${word}`);
    assert.ok(script.includes(`case '${key}':`), `script handles no ${key}`);
  }
  // "weniger als 0,7 Sekunden Abstand" and "/" for the search field.
  assert.match(menu, /0,7 Sekunden/);
  assert.match(script, /now - typedAt > 700/);
  assert.match(script, /event\.key === '\/'/);
});

test('the search rules of the chapter: umlauts, text and tooltip, every word', () => {
  const spelled = vm.runInNewContext(`(${/var SPELLED = (\{[^}]*\})/.exec(script)[1]})`);
  for (const [letter, spelling] of Object.entries(spelled)) {
    assert.ok(menu.includes(`\`${letter}\` wie \`${spelling}\``), `${letter} as ${spelling}`);
  }
  assert.match(menu, /Gesucht wird im Linktext und im Tooltip/);
  assert.match(script, /item\.tip\.indexOf\(needles\[w\]\) < 0/);
  assert.match(menu, /müssen \*\*alle\*\* vorkommen/);
  assert.match(script, /split\(\/\\s\+\/\)/);
});

test('chapter 7 lists the seven fields the menu and the generator read', () => {
  assert.match(entries, /Linktext\|Link\|Beschreibung\|Tooltip\|Rechte\|Flags\|Symbol/);
  assert.match(entries, /\| 7 \| `Symbol` \|/);
  assert.match(source, /prototype\.add = function \(folder, text, target, link, tooltip, symbol\)/);
  assert.match(menu, /Favoriten/);
  assert.match(script, /localStorage/);
  assert.match(menu, /`localStorage`/);
});
