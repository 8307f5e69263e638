// The judge of tests/fuzz/menu_entries_fuzzer.cc: reads one request per line
// on stdin and answers each with one line, "ok" or what is wrong.
//
// A request is JSON: {"page": base64 of the page's bytes, "entries": [{
// "text", "link", "description", "tooltip", "symbol": base64 of each field's
// bytes as the command file holds them after the "#" of the indent (NUL
// bytes cut), "indent": the number of those "#", "flags", and "has_link",
// "has_description", "has_symbol": whether the field held anything, a NUL
// byte included}]} with the entries the run's user may see, in order. The page holds one tree menu block and one link table of the same
// section, then a paragraph with the id "ende".
//
// What the page must show, worked out here independently of the generator:
// - the menu runs without an error and builds exactly these entries; each
//   string the script hands the menu is the field read as a script reads
//   it, leniently: an escape sequence the language accepts means what it
//   means, every other character (a backslash beginning no escape, a quote,
//   a line break) stands for itself;
// - the table has one row per entry with its link, tooltip, target and
//   symbol as attribute values (references decoded, a quote standing for
//   itself), two cells exactly where there is a description, and a text
//   without markup shown as written;
// - the paragraph after both is still there.
'use strict';

const readline = require('node:readline');
const entities = require('entities');
const { pageEntries, parse, elements, attr } = require('./page_entries');

const decoder = new TextDecoder('windows-1252');
const field = (base64) => decoder.decode(Buffer.from(base64, 'base64'));

// The escape sequences of a single-quoted string in a classic script.
const ESCAPE = new RegExp('^\\\\(?:\\r\\n|[\\r\\n]|x[0-9a-fA-F]{2}|u[0-9a-fA-F]{4}|u\\{[0-9a-fA-F]+\\}|' +
  '[0-3][0-7]{0,2}|[4-7][0-7]?|[89]|[^xu0-9\\r\\n])');
const escapes = new Map();

function escapeValue(sequence) {
  if (!escapes.has(sequence)) {
    let value = null;
    try {
      value = Function(`return '${sequence}';`)();  // eslint-disable-line no-new-func
    } catch (error) {
      value = null;  // \u{...} beyond 10FFFF
    }
    escapes.set(sequence, value);
  }
  return escapes.get(sequence);
}

function scriptValue(body) {
  let out = '';
  for (let i = 0; i < body.length;) {
    const match = body[i] === '\\' ? ESCAPE.exec(body.slice(i, i + 16)) : null;
    const value = match ? escapeValue(match[0]) : null;
    if (value === null) {
      out += body[i++];
    } else {
      out += value;
      i += match[0].length;
    }
  }
  return out;
}

function check(request) {
  const page = Buffer.from(request.page, 'base64');
  const wanted = request.entries.map((e) => ({
    text: field(e.text), link: field(e.link), description: field(e.description),
    tooltip: field(e.tooltip), symbol: field(e.symbol), indent: e.indent, flags: e.flags,
    hasLink: e.has_link, hasDescription: e.has_description, hasSymbol: e.has_symbol,
  }));
  const found = pageEntries(page, { raw: true });
  const problems = [];
  const expect = (what, got, want) => {
    if (got !== want) problems.push(`${what}: got ${JSON.stringify(got)}, want ${JSON.stringify(want)}`);
  };

  expect('script errors', found.errors.join('; '), '');
  const menu = found.menus[0] || [];
  expect('menus', found.menus.length, wanted.length ? 1 : 0);
  expect('menu entries', menu.length, wanted.length);
  menu.forEach((got, k) => {
    const want = wanted[k];
    if (!want) return;
    const text = ' '.repeat(want.indent) + scriptValue(want.text);
    const depth = text.length - text.replace(/^ +/, '').length;
    expect(`menu ${k} depth`, got.depth, depth);
    expect(`menu ${k} text`, got.raw.text, text.slice(depth));
    expect(`menu ${k} link`, got.raw.link, scriptValue(want.link));
    expect(`menu ${k} tooltip`, got.raw.tooltip, scriptValue(want.tooltip));
    expect(`menu ${k} symbol`, got.raw.symbol, scriptValue(want.symbol));
    expect(`menu ${k} flag`, got.flag, (want.flags & 4) ? 1 : 0);
    expect(`menu ${k} target`, got.target,
      got.raw.link ? ((want.flags & 1) && want.hasLink ? '_blank' : 'Daten') : null);
  });

  const rows = found.tables[0] || [];
  expect('tables', found.tables.length, wanted.length ? 1 : 0);
  expect('table rows', rows.length, wanted.length);
  // The HTML parser reads every CR as a line feed.
  const html = (value) => value.replace(/\r\n?/g, '\n');
  const attribute = (value) => entities.decodeHTMLAttribute(html(value));
  rows.forEach((got, k) => {
    const want = wanted[k];
    if (!want) return;
    expect(`row ${k} href`, got.href, want.hasLink ? attribute(want.link) : null);
    expect(`row ${k} title`, got.title, attribute(want.tooltip));
    expect(`row ${k} target`, got.target, want.hasLink && (want.flags & 1) ? '_blank' : null);
    // A text with markup may show an image of its own where no symbol was asked for.
    if (want.hasSymbol || !/</.test(want.text)) {
      expect(`row ${k} symbol`, got.symbol, want.hasSymbol ? attribute(want.symbol) : null);
    }
    expect(`row ${k} description cell`, got.description !== null, want.hasDescription);
    if (!/[<&]/.test(want.text)) expect(`row ${k} text`, got.text, html(want.text));
    if (!/[<&]/.test(want.description) && want.hasDescription) {
      expect(`row ${k} description`, got.description, html(want.description));
    }
  });

  const end = elements(parse(page)).find((n) => attr(n, 'id') === 'ende');
  expect('paragraph after the table', end ? end.parentNode.tagName : null, 'body');
  return problems.length ? problems.join('\n') : 'ok';
}

const lines = readline.createInterface({ input: process.stdin, terminal: false });
lines.on('line', (line) => {
  let answer;
  try {
    answer = check(JSON.parse(line));
  } catch (error) {
    answer = `oracle failed: ${error.stack}`;
  }
  process.stdout.write(answer.replace(/\n/g, '\\n') + '\n');
});
