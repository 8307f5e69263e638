// Prints how long the tree menu takes for a large company's menu: rendering
// a page of N entries, the first search keystroke (script alone, and until
// the browser has laid out the result), later keystrokes, a search of two
// words, and a reload with saved state.
// Usage: node bench_treemenu.js [entries] [--script treemenu.js]
//   (figures only, no verdict; BROWSER=firefox for Firefox ESR)
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const b = require('./browser');

const args = process.argv.slice(2);
const scriptAt = args.indexOf('--script');
const SCRIPT = scriptAt >= 0 ? path.resolve(args.splice(scriptAt, 2)[1])
  : path.join(b.SOURCE, 'assets', 'treemenu', 'treemenu.js');
const COUNT = Number(args[0]) || 2000;

function page(count) {
  let calls = '';
  for (let i = 0; i < count; i++) {
    const folder = i % 10 === 0;
    const text = folder ? `Bereich ${i / 10} Übersicht` : ` Eintrag ${i} Qualitätshandbuch`;
    calls += `tree.${i ? 'add' : 'put'}(${folder ? 1 : 0},'${text}', 'Daten','seite${i}.htm',` +
      `'Tipp ${i} Abteilung ${i % 7}', '',  ''  );\r\n`;
  }
  return '<!DOCTYPE html><html lang="de"><head><title>Bench</title></head><body>\r\n' +
    '<link rel="stylesheet" href="treemenu.css" type="text/css">\r\n' +
    '<script type="text/javascript" src="treemenu.js"></script>\r\n' +
    '<script type="text/javascript">\r\nperformance.mark("start");\r\n' +
    "tree = new treemenu('tree', false, false, false, false);\r\n" + calls +
    'document.write(tree);\r\nperformance.mark("written");\r\n</script></body></html>\r\n';
}

// Types `text` into the search field as one input event; returns the script's
// time and the time until the next frame is laid out, and the hits.
function keystroke(text) {
  return new Promise((resolve) => {
    const field = document.querySelector('.tm-query');
    const t = performance.now();
    field.value = text;
    field.dispatchEvent(new Event('input', { bubbles: true }));
    const script = performance.now() - t;
    requestAnimationFrame(() => {
      document.body.getBoundingClientRect();
      const shown = document.querySelectorAll('.tm-entry:not([hidden])').length;
      resolve([script, performance.now() - t, shown]);
    });
  });
}

(async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'pagetrix-bench-'));
  fs.copyFileSync(SCRIPT, path.join(dir, 'treemenu.js'));
  fs.copyFileSync(path.join(path.dirname(SCRIPT), 'treemenu.css'), path.join(dir, 'treemenu.css'));
  const file = path.join(dir, 'bench.htm');
  fs.writeFileSync(file, Buffer.from(page(COUNT), 'latin1'));
  const browser = await b.launch();
  try {
    const p = browser.page;
    const render = async () => p.evaluate(() => performance.measure('m', 'start', 'written').duration);
    await p.goto(b.fileUrl(file));
    const first = await render();
    const ms = (x) => `${x.toFixed(1)} ms`;
    const line = (what, [script, frame, shown]) =>
      console.log(`${what}: ${ms(script)} script, ${ms(frame)} until laid out (${shown} rows shown)`);
    console.log(`browser: ${b.BROWSER}, script: ${path.relative(b.SOURCE, SCRIPT) || SCRIPT}`);
    console.log(`entries: ${COUNT}`);
    console.log(`render (script block, all folders closed): ${ms(first)}`);
    line('first search keystroke "q"', await p.evaluate(keystroke, 'q'));
    line('next keystroke "qualitae"', await p.evaluate(keystroke, 'qualitae'));
    line('two words "qualitae 17"', await p.evaluate(keystroke, 'qualitae 17'));
    line('tooltip "abteilung 3"', await p.evaluate(keystroke, 'abteilung 3'));
    line('cleared', await p.evaluate(keystroke, ''));
    await p.evaluate(() => {
      document.querySelectorAll('.tm-folder .tm-toggle').forEach((t) => t.click());
    });
    await p.reload();
    const reload = await render();
    const open = await p.$$eval('.tm-open', (l) => l.length);
    console.log(`render after reload with ${open} folders open: ${ms(reload)}`);
  } finally {
    await browser.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
})();
