// The link entries of generated pages as a browser sees them.
//
//   node page_entries.js FILE...
//
// prints one JSON object: {"pages": {"<file as given>": {"tables": [...],
// "menus": [...], "errors": [...]}}}.
//
// A page is read as Windows-1252 bytes and parsed with parse5, which follows
// the WHATWG parsing rules a browser follows (scripting on, as in a browser).
//
// tables: every link table the generator wrote, in document order: a table
//   with cellspacing="0" right after its heading table. Each row gives the
//   anchor of its first cell as the parsed document holds it:
//   {text, href, target, title, description, symbol}; text is the anchor's
//   text content, title the cell's title, description the text of the second
//   cell (null without one), symbol the src of the icon before the text
//   (null without one); absent attributes are null.
// menus: per tree menu script block (an inline script that calls
//   "new treemenu("), the entries the menu builds: the page's block is run
//   with node's vm against the real assets/treemenu/treemenu.js, with a
//   document stub that offers no querySelector, so the script takes its
//   plain path and builds its entries with its own put/add. Each entry:
//   {text, href, target, title, flag, symbol, depth}; text is what the menu
//   shows (its HTML parsed as the menu inserts it), href and title the
//   attribute values the menu writes, flag the tree flag as the menu reads
//   it (0 or 1), depth the number of leading blanks.
// errors: one message per block that fails to parse or throws; that block's
//   menu is then an empty list.
//
// Also a module: pageEntries(buffer) gives the object of one page, and
// parse(buffer) its parse5 document.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const vm = require('node:vm');
const parse5 = require('parse5');

const TREEMENU = path.resolve(__dirname, '..', '..', 'assets', 'treemenu', 'treemenu.js');
const treemenuScript = new vm.Script(fs.readFileSync(TREEMENU, 'latin1'), { filename: 'treemenu.js' });
const decoder = new TextDecoder('windows-1252');

// ---- Walking parse5's tree ----

function attr(node, name) {
  const found = node.attrs && node.attrs.find((a) => a.name === name);
  return found ? found.value : null;
}

function elements(node, out = []) {
  for (const child of node.childNodes || []) {
    if (child.tagName) {
      out.push(child);
      elements(child, out);
    }
  }
  return out;
}

function children(node, tag) {
  return (node.childNodes || []).filter((c) => c.tagName === tag);
}

// As the DOM's textContent: every text node below, template contents aside.
function textContent(node) {
  if (node.nodeName === '#text') return node.value;
  let text = '';
  for (const child of node.childNodes || []) {
    if (child.nodeName !== '#comment') text += textContent(child);
  }
  return text;
}

function first(node, predicate) {
  for (const child of node.childNodes || []) {
    if (child.tagName && predicate(child)) return child;
    const found = child.tagName ? first(child, predicate) : null;
    if (found) return found;
  }
  return null;
}

function previousElement(node) {
  const siblings = node.parentNode.childNodes;
  for (let i = siblings.indexOf(node) - 1; i >= 0; i--) {
    if (siblings[i].tagName) return siblings[i];
    if (siblings[i].nodeName === '#text' && siblings[i].value.trim()) return null;
  }
  return null;
}

// ---- Link tables ----

function isHeadingTable(node) {
  return node && node.tagName === 'table' && attr(node, 'border') === '0' &&
    attr(node, 'width') === '100%' && attr(node, 'cellspacing') === null;
}

function isLinkTable(node) {
  return node.tagName === 'table' && attr(node, 'cellspacing') === '0' &&
    attr(node, 'width') === '100%' && attr(node, 'border') !== null &&
    isHeadingTable(previousElement(node));
}

function tableRows(table) {
  const rows = [];
  for (const section of table.childNodes) {
    if (section.tagName === 'tr') rows.push(section);
    if (['tbody', 'thead', 'tfoot'].includes(section.tagName)) rows.push(...children(section, 'tr'));
  }
  return rows;
}

function tableEntry(row) {
  const cells = (row.childNodes || []).filter((c) => c.tagName === 'td' || c.tagName === 'th');
  const cell = cells[0];
  const anchor = cell ? first(cell, (n) => n.tagName === 'a') : null;
  const icon = anchor ? first(anchor, (n) => n.tagName === 'img') : null;
  return {
    text: anchor ? textContent(anchor) : null,
    href: anchor ? attr(anchor, 'href') : null,
    target: anchor ? attr(anchor, 'target') : null,
    title: cell ? attr(cell, 'title') : null,
    description: cells[1] ? textContent(cells[1]) : null,
    symbol: icon && (attr(icon, 'class') || '').split(/\s+/).includes('symbol') ? attr(icon, 'src') : null,
  };
}

// ---- Tree menus ----

const spanContext = parse5.parseFragment('<span></span>').childNodes[0];

// A menu text as the menu shows it: parsed as the content of its text span.
function shownText(html) {
  return textContent(parse5.parseFragment(spanContext, html));
}

// An attribute value as the menu writes it and the parser reads it back.
function attributeValue(escape, value) {
  const a = parse5.parseFragment(spanContext, `<a title="${escape(value)}">`).childNodes[0];
  return attr(a, 'title');
}

function isMenuBlock(script) {
  return attr(script, 'src') === null && /new\s+treemenu\s*\(/.test(textContent(script));
}

function runMenus(blocks, raw) {
  const menus = [];
  const errors = [];
  const written = [];
  const document = {
    write(value) { written.push(value); },
    writeln(value) { written.push(value); },
  };
  const context = vm.createContext({ document });
  treemenuScript.runInContext(context);
  const escape = context.treemenu.attribute;
  blocks.forEach((code, n) => {
    written.length = 0;
    try {
      new vm.Script(code, { filename: `menu block ${n + 1}` }).runInContext(context);
      // What document.write does with the object: the browser asks for its text.
      written.forEach((value) => String(value));
    } catch (error) {
      errors.push(`menu block ${n + 1}: ${error && error.name}: ${error && error.message}`);
      menus.push([]);
      return;
    }
    for (const menu of written) {
      if (!menu || typeof menu !== 'object' || !Array.isArray(menu.entries)) continue;
      menus.push(Array.from(menu.entries, (e) => ({
        text: shownText(e.text),
        href: e.link ? attributeValue(escape, e.link) : null,
        target: e.link && e.target ? e.target : null,
        title: e.tooltip ? attributeValue(escape, e.tooltip) : null,
        flag: e.folder ? 1 : 0,
        symbol: e.symbol ? attributeValue(escape, e.symbol) : null,
        depth: e.depth,
        ...(raw ? { raw: { text: e.text, link: e.link, tooltip: e.tooltip, symbol: e.symbol } } : {}),
      })));
    }
  });
  return { menus, errors };
}

// With `raw`, each menu entry also gives the strings the script handed the
// menu, before the menu made HTML of them.
function parse(bytes) {
  return parse5.parse(decoder.decode(bytes));
}

function pageEntries(bytes, { raw = false } = {}) {
  const all = elements(parse(bytes));
  const tables = all.filter(isLinkTable).map((table) => tableRows(table).map(tableEntry));
  const blocks = all.filter((n) => n.tagName === 'script' && isMenuBlock(n)).map(textContent);
  return { tables, ...runMenus(blocks, raw) };
}

module.exports = { pageEntries, parse, elements, attr, textContent };

if (require.main === module) {
  const pages = {};
  for (const file of process.argv.slice(2)) {
    pages[file] = pageEntries(fs.readFileSync(file));
  }
  process.stdout.write(JSON.stringify({ pages }) + '\n');
}
