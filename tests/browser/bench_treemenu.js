// Prints how long the tree menu takes for a large company's menu: rendering
// a page of N entries, one search keystroke, and a reload with saved state.
// Usage: node bench_treemenu.js [entries]   (figures only, no verdict)
'use strict';

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const b = require('./browser');

const COUNT = Number(process.argv[2]) || 1000;

function page(count) {
  let calls = '';
  for (let i = 0; i < count; i++) {
    const folder = i % 10 === 0;
    const text = folder ? `Bereich ${i / 10} Übersicht` : ` Eintrag ${i} Qualitätshandbuch`;
    calls += `tree.${i ? 'add' : 'put'}(${folder ? 1 : 0},'${text}', 'Daten','seite${i}.htm','Tipp ${i}', '',  ''  );\r\n`;
  }
  return '<!DOCTYPE html><html lang="de"><head><title>Bench</title></head><body>\r\n' +
    '<link rel="stylesheet" href="treemenu.css" type="text/css">\r\n' +
    '<script type="text/javascript" src="treemenu.js"></script>\r\n' +
    '<script type="text/javascript">\r\nperformance.mark("start");\r\n' +
    "tree = new treemenu('tree', false, false, false, false);\r\n" + calls +
    'document.write(tree);\r\nperformance.mark("written");\r\n</script></body></html>\r\n';
}

(async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'pagetrix-bench-'));
  for (const name of ['treemenu.js', 'treemenu.css']) {
    fs.copyFileSync(path.join(b.SOURCE, 'assets', 'treemenu', name), path.join(dir, name));
  }
  const file = path.join(dir, 'bench.htm');
  fs.writeFileSync(file, Buffer.from(page(COUNT), 'latin1'));
  const browser = await b.launch();
  try {
    const p = browser.page;
    const render = async () => p.evaluate(() => performance.measure('m', 'start', 'written').duration);
    await p.goto(b.fileUrl(file));
    const first = await render();
    const search = await p.evaluate(() => {
      const field = document.querySelector('.tm-query');
      const t = performance.now();
      field.value = 'qualitae';
      field.dispatchEvent(new Event('input', { bubbles: true }));
      const hits = document.querySelectorAll('mark.tm-hit').length;
      return [performance.now() - t, hits];
    });
    await p.evaluate(() => {
      const field = document.querySelector('.tm-query');
      field.value = '';
      field.dispatchEvent(new Event('input', { bubbles: true }));
      document.querySelectorAll('.tm-folder .tm-toggle').forEach((t) => t.click());
    });
    await p.reload();
    const reload = await render();
    const open = await p.$$eval('.tm-open', (l) => l.length);
    console.log(`entries: ${COUNT}`);
    console.log(`render (script block, all folders closed): ${first.toFixed(1)} ms`);
    console.log(`search keystroke "qualitae" (${search[1]} hits): ${search[0].toFixed(1)} ms`);
    console.log(`render after reload with ${open} folders open: ${reload.toFixed(1)} ms`);
  } finally {
    await browser.close();
    fs.rmSync(dir, { recursive: true, force: true });
  }
})();
