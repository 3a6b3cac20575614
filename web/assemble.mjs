// Puts the page together from emcc's output and the files of web/: OUTDIR/tsm2ostra.mjs (the
// module for Node and for pages served over http) and OUTDIR/index.html, which holds its
// style, its script, the worker's script with the wasm, and the bundled examples inline, as a
// page opened from file:// can load nothing else.
// Usage: node web/assemble.mjs ROOT ENGINE.js ENGINE.wasm OUTDIR
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';

const [root, factoryPath, wasmPath, out] = process.argv.slice(2);
const read = (path) => readFileSync(path, 'utf8');
const web = (name) => read(join(root, 'web', name));

// The factory, the wasm in base64, and the three functions.
const engine = [
  read(factoryPath),
  `const TSM2OSTRA_WASM = "${readFileSync(wasmPath).toString('base64')}";`,
  web('engine.js'),
].join('\n');

writeFileSync(join(out, 'tsm2ostra.mjs'),
              `${engine}\nexport { convert, draw, version };\n`);

// Every example, the main one first.
const examples = {};
const names = readdirSync(join(root, 'examples'))
  .filter((name) => name.endsWith('.tsm'))
  .map((name) => basename(name, '.tsm'))
  .sort((a, b) => (b === 'model') - (a === 'model') || (a < b ? -1 : 1));
for (const name of names) examples[name] = read(join(root, 'examples', `${name}.tsm`));

// Text inside a script element must not close it.
function scriptText(text, what) {
  if (/<\/script/i.test(text)) throw new Error(`${what} holds "</script": it cannot go inline`);
  return text;
}
const parts = {
  style: web('page.css'),
  worker: scriptText(`${engine}\n${web('worker.js')}`, 'the worker'),
  // JSON with "<" escaped is a script-safe JavaScript literal.
  examples: JSON.stringify(examples).replace(/</g, '\\u003c'),
  script: scriptText(web('page.js'), 'the page script'),
};
let page = web('index.html');
for (const [name, text] of Object.entries(parts)) {
  const marker = `@@${name}@@`;
  if (!page.includes(marker)) throw new Error(`web/index.html has no ${marker}`);
  page = page.split(marker).join(text);
}
writeFileSync(join(out, 'index.html'), page);
