// The WebAssembly converter against the native program: every golden model, every example,
// and each example cut short at many places (failures in mid-stream), converted through
// OUTDIR/tsm2ostra.mjs and by the native tsm2ostra, must give the same drawing bytes, the
// same outcome and the same line. Pictures: each example's drawing drawn through the module
// must give the picture that the native ostra2svg draws.
// Usage: node web/tests/node_exactness.mjs OUTDIR NATIVE_BUILD_DIR SOURCE_ROOT
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';

const [outdir, build, root] = process.argv.slice(2).map((p) => resolve(p));
const { convert, draw } = await import(join(outdir, 'tsm2ostra.mjs'));
const work = mkdtempSync(join(tmpdir(), 'tsm2ostra-web-'));
const model = join(work, 'input.tsm');
const drawing = join(work, 'out.ost');

// The native program's result: drawing bytes, whether it converted, and the line it names.
function native(bytes) {
  writeFileSync(model, bytes);
  rmSync(drawing, { force: true });
  const run = spawnSync(join(build, 'tsm2ostra'), ['input.tsm', 'out.ost'], { cwd: work });
  const last = run.stdout.toString().trimEnd().split('\n').pop();
  // tsmcheck prints one warning for each notice, at its line and column.
  const checked = spawnSync(join(build, 'tsmcheck/tsmcheck'), ['input.tsm'], { cwd: work });
  const warnings = checked.stdout.toString().split('\n')
    .map((l) => /^input\.tsm:(\d+):(\d+): warning: /.exec(l)).filter(Boolean)
    .map((m) => `${m[1]}:${m[2]}`);
  return {
    warnings,
    ok: run.status === 0,
    message: run.status === 0 ? '' : last,
    line: run.status === 0 ? null : Number(/line (\d+)/.exec(last)[1]),
    drawing: readFileSync(drawing),
  };
}

const cases = [];
for (const name of readdirSync(join(root, 'tests/golden')).sort()) {
  cases.push([`golden/${name}`, readFileSync(join(root, 'tests/golden', name, 'input.tsm'))]);
}
const examples = readdirSync(join(root, 'examples')).filter((n) => n.endsWith('.tsm')).sort();
for (const name of examples) {
  const bytes = readFileSync(join(root, 'examples', name));
  cases.push([`examples/${name}`, bytes]);
  for (let cut = 1; cut < bytes.length; cut += 37) {
    cases.push([`examples/${name} cut at ${cut}`, bytes.subarray(0, cut)]);
  }
}

let failed = 0;
let checks = 0;
function check(name, condition, what) {
  ++checks;
  if (!condition) {
    console.log(`FAIL ${name}: ${what}`);
    ++failed;
  }
  return condition;
}

for (const [name, bytes] of cases) {
  const want = native(bytes);
  const got = await convert(bytes);
  check(name, Buffer.compare(Buffer.from(got.drawing), want.drawing) === 0, 'drawing differs') &&
    check(name, got.ok === want.ok, `ok ${got.ok}, native ${want.ok}`) &&
    check(name, got.message === want.message, `message '${got.message}', native '${want.message}'`) &&
    check(name, want.ok || got.line === want.line, `line ${got.line}, native ${want.line}`) &&
    check(name, got.ok === (got.status === 'OK') && /^[A-Z_]+$/.test(got.status),
          `status ${got.status}`) &&
    check(name, got.notices.map((n) => `${n.line}:${n.column}`).join() === want.warnings.join() &&
          got.notices.every((n) => n.kind !== '' && n.text !== ''),
          `notices at ${got.notices.map((n) => `${n.line}:${n.column}`)}, tsmcheck's at ${want.warnings}`);
}

// A model read in small pieces by a reader function, the drawing taken piece by piece: the
// same bytes as from memory. A reader that throws fails the conversion with its error, and
// the module converts on afterwards.
{
  const bytes = readFileSync(join(root, 'examples/model.tsm'));
  let at = 0;
  const pieces = [];
  const r = await convert((into) => {
    const n = Math.min(7, into.length, bytes.length - at);
    into.set(bytes.subarray(at, at + n));
    at += n;
    return n;
  }, { onWrite: (piece) => pieces.push(Buffer.from(piece)) });
  check('a model read in pieces', r.ok && r.drawing === null &&
        Buffer.compare(Buffer.concat(pieces), readFileSync(join(root, 'examples/model.ost'))) === 0,
        `ok ${r.ok}, ${Buffer.concat(pieces).length} bytes`);
  const thrown = await convert(() => { throw new Error('disk gone'); }).then(() => '', (e) => e.message);
  check('a reader that throws', thrown === 'disk gone', `'${thrown}'`);
  const again = await convert(bytes);
  check('converting after a failed reader', again.ok, again.message);
}

// Pictures: the renderer in the module against the native ostra2svg.
for (const name of examples) {
  const ost = readFileSync(join(root, 'examples', name.replace(/\.tsm$/, '.ost')));
  for (const fit of [false, true]) {
    execFileSync(join(build, 'preview/ostra2svg'),
                 [...(fit ? ['--fit'] : []), join(root, 'examples', name.replace(/\.tsm$/, '.ost')),
                  join(work, 'out.svg')]);
    const p = await draw(ost, { fit });
    check(`picture of ${name}${fit ? ', fitted' : ''}`,
          p.ok && p.svg === readFileSync(join(work, 'out.svg'), 'utf8'),
          'picture differs from ostra2svg\'s');
  }
}
const fault = await draw('point A 1 2\nfly A\n');
check('picture of a faulty drawing', !fault.ok && fault.line === 2 && fault.message !== '',
      `ok ${fault.ok}, line ${fault.line}, message '${fault.message}'`);

rmSync(work, { recursive: true, force: true });
console.log(`node exactness: ${cases.length} models and ${examples.length} pictures, ` +
            `${checks - failed} of ${checks} checks passed`);
process.exit(failed === 0 ? 0 : 1);
