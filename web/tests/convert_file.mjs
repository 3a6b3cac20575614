// Converts a model file into a drawing file through OUTDIR/tsm2ostra.mjs, reading and writing
// as it goes, as the native program does, and prints the result line: the Node side of
// web/bench.sh.
// Usage: node web/tests/convert_file.mjs OUTDIR MODEL.tsm DRAWING.ost
import { closeSync, openSync, readSync, writeSync } from 'node:fs';
import { join, resolve } from 'node:path';

const [outdir, model, drawing] = process.argv.slice(2);
const { convert } = await import(join(resolve(outdir), 'tsm2ostra.mjs'));
const input = openSync(model, 'r');
const output = openSync(drawing, 'w');
const r = await convert((into) => readSync(input, into), {
  onWrite(piece) {
    for (let done = 0; done < piece.length;) done += writeSync(output, piece, done);
  },
});
closeSync(input);
closeSync(output);
console.log(r.ok ? `File '${model}' successfully converted.` : r.message);
process.exit(r.ok ? 0 : 1);
