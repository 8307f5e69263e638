// page_entries.js for many pages in one node process: reads one JSON array
// of base64 page bytes per line and answers one JSON array of page objects
// (page_entries.js's contract; {"error": ...} where a page cannot be read).
'use strict';

const readline = require('node:readline');
const { pageEntries } = require('../browser/page_entries.js');

const lines = readline.createInterface({ input: process.stdin, terminal: false });
lines.on('line', (line) => {
  const answers = JSON.parse(line).map((b64) => {
    try {
      return pageEntries(Buffer.from(b64, 'base64'));
    } catch (error) {
      return { error: String(error && error.stack || error) };
    }
  });
  process.stdout.write(JSON.stringify(answers) + '\n');
});
