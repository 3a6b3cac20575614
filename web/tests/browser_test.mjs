// The page in a real browser: headless Chromium, driven by puppeteer-core, opens
// OUTDIR/index.html from file:// and loads each bundled example (the first through
// ?example=NAME, the others from the list), one refused model (through the file input) and,
// if given, a big model. Each time it checks #result against the native program's words, the
// drawn elements in #picture against the native ostra2svg's picture, the notices, and what
// the two download links save. Every control must have a label, the page must report no
// error, and no request may leave the page. Saves a screenshot of the main example.
// Usage: node web/tests/browser_test.mjs OUTDIR NATIVE_BUILD_DIR SOURCE_ROOT SCREENSHOT.png [BIG.tsm]
// CHROMIUM names the browser (default /usr/bin/chromium).
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const [outdir, build, root, screenshot, big] = process.argv.slice(2).map((p) => p && resolve(p));
const pageUrl = pathToFileURL(join(outdir, 'index.html')).href;
const work = mkdtempSync(join(tmpdir(), 'tsm2ostra-browser-'));
const downloads = join(work, 'downloads');

let failures = 0;
function check(what, condition, detail = '') {
  console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}${condition || !detail ? '' : `: ${detail}`}`);
  if (!condition) ++failures;
  return condition;
}

// What the native programs make of a model: the result line, the drawing, and its picture
// fitted (when ostra2svg offers it; the page shows the fitted one) and with the whole area.
const ostra2svg = join(build, 'preview/ostra2svg');
const canFit = spawnSync(ostra2svg, ['--help']).stdout.toString().includes('--fit');
function native(name, bytes) {
  writeFileSync(join(work, name), bytes);
  const run = spawnSync(join(build, 'tsm2ostra'), [name, 'out.ost'], { cwd: work });
  const drawing = readFileSync(join(work, 'out.ost'));
  const picture = (fit) => {
    execFileSync(ostra2svg, [...(fit ? ['--fit'] : []), 'out.ost', 'out.svg'], { cwd: work });
    return readFileSync(join(work, 'out.svg'), 'utf8');
  };
  // tsmcheck prints one warning for each notice the page must show.
  const checked = spawnSync(join(build, 'tsmcheck/tsmcheck'), [name], { cwd: work });
  return {
    result: run.stdout.toString().trimEnd().split('\n').pop(),
    notices: (checked.stdout.toString().match(/: warning: /g) || []).length,
    drawing,
    fitted: picture(canFit),
    whole: picture(false),
  };
}
const drawnElements = (svg) => (svg.match(/ data-line="/g) || []).length;

async function downloaded(page, id, fileName) {
  const path = join(downloads, fileName);
  rmSync(path, { force: true });
  await page.waitForSelector(`#${id}:not([hidden])`, { timeout: 120000 });
  await page.click(`#${id}`);
  // The browser writes elsewhere and renames the file when it is whole.
  for (let i = 0; i < 600 && !existsSync(path); ++i) await new Promise((r) => setTimeout(r, 50));
  if (!existsSync(path)) console.log(`     no ${fileName}; the downloads: ${readdirSync(downloads).join(', ')}`);
  return existsSync(path) ? readFileSync(path) : Buffer.alloc(0);
}

// Waits until #result names the model, then checks the page against the native results.
async function checkOutcome(page, name, want, { showsPicture = true } = {}) {
  const started = Date.now();
  const base = name.replace(/\.tsm$/, '');
  await page.waitForFunction(
    (text) => document.querySelector('#result').textContent === text &&
              document.querySelector('#progress-area').hidden,
    { timeout: 120000 }, want.result).catch(() => {});
  const result = await page.$eval('#result', (e) => e.textContent);
  const seconds = (Date.now() - started) / 1000;
  check(`${name}: #result`, result === want.result, `'${result}', native '${want.result}'`);
  const notices = await page.$$eval('#notices li', (items) => items.length);
  check(`${name}: notices`, notices === want.notices, `${notices} shown, tsmcheck ${want.notices}`);
  const ost = await downloaded(page, 'download-ost', `${base}.ost`);
  check(`${name}: ${base}.ost downloaded`, Buffer.compare(ost, want.drawing) === 0,
        `${ost.length} bytes, native ${want.drawing.length}`);
  const svg = (await downloaded(page, 'download-svg', `${base}.svg`)).toString();
  check(`${name}: ${base}.svg downloaded`, svg === want.fitted, `${svg.length} bytes`);
  if (showsPicture) {
    const drawn = await page.$$eval('#picture [data-line]', (elements) => elements.length);
    check(`${name}: elements in #picture`, drawn === drawnElements(want.fitted),
          `${drawn}, native ${drawnElements(want.fitted)}`);
  } else {
    console.log(`     ${name}: converted in the page in ${seconds.toFixed(1)} s`);
    const hidden = await page.$eval('#picture-area', (e) => e.hidden);
    const note = await page.$eval('#size-note', (e) => (e.hidden ? '' : e.textContent));
    check(`${name}: no picture, and a note says why`, hidden && note.includes('MB'), note);
  }
}

const launchArguments = process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [];
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: launchArguments,  // the sandbox can't run as root; nothing else is changed
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 900 });
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  const outside = [];
  const errors = [];
  page.on('request', (request) => {
    const url = request.url();
    if (!url.startsWith('blob:') && url.split('?')[0] !== pageUrl) outside.push(url);
  });
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(message.text());
  });

  const examples = readdirSync(join(root, 'examples')).filter((n) => n.endsWith('.tsm')).sort();
  const [first, ...others] = examples;
  await page.goto(`${pageUrl}?example=${basename(first, '.tsm')}`);
  await checkOutcome(page, first, native(first, readFileSync(join(root, 'examples', first))));

  const unlabelled = await page.$$eval('input, select, textarea',
                                       (controls) => controls.filter((c) => c.labels.length === 0)
                                         .map((c) => c.id || c.outerHTML));
  check('every control has a label', unlabelled.length === 0, unlabelled.join(', '));

  for (const name of others) {
    await page.select('#example', basename(name, '.tsm'));
    await checkOutcome(page, name, native(name, readFileSync(join(root, 'examples', name))));
  }

  // The whole drawing area instead of the fitted picture: a new picture to download.
  const fittedLink = await page.$eval('#download-svg', (e) => e.href);
  await page.click('#whole-area');
  const last = others[others.length - 1];
  const lastNative = native(last, readFileSync(join(root, 'examples', last)));
  await page.waitForFunction((old) => document.querySelector('#download-svg').href !== old,
                             {}, fittedLink);
  const whole = (await downloaded(page, 'download-svg', last.replace(/\.tsm$/, '.svg'))).toString();
  check(`${last}: the whole drawing area`, whole === lastNative.whole, `${whole.length} bytes`);
  await page.click('#whole-area');

  // A refused model: the cube cut short inside a point.
  const cube = readFileSync(join(root, 'examples/cube.tsm'), 'utf8');
  const refused = cube.slice(0, cube.indexOf('</p>', cube.indexOf('<points>')) - 2) + 'x</p>\n';
  writeFileSync(join(work, 'refused.tsm'), refused);
  const refusedNative = native('refused.tsm', refused);
  check('the refused model is refused natively', refusedNative.result.startsWith('Error'));
  await (await page.$('#file')).uploadFile(join(work, 'refused.tsm'));
  await checkOutcome(page, 'refused.tsm', refusedNative);
  const failedStyle = await page.$eval('#result', (e) => e.classList.contains('failed'));
  check('refused.tsm: the result is marked as a failure', failedStyle);

  // A model that loses parts of its drawing: each notice is shown, and a click on the last
  // one scrolls the model's text to its line.
  const noticed = cube.replace('<faceSet>', '<faceset>').replace('</faceSet>', '</faceset>')
    .replace('<pointSet>', '<vectorField><v>1 0 0</v><v>0 1 0</v></vectorField><pointSet>');
  const noticedNative = native('noticed.tsm', noticed);
  check('the noticed model has notices natively', noticedNative.notices > 1,
        `${noticedNative.notices}`);
  await (await page.$('#file')).uploadFile(join(work, 'noticed.tsm'));
  await checkOutcome(page, 'noticed.tsm', noticedNative);
  const buttons = await page.$$('#notices li button');
  if (buttons.length > 0) {
    await buttons[buttons.length - 1].click();
    const scrolled = await page.$eval('#model-text', (v) => v.scrollTop > 0 &&
                                      !v.querySelector('.mark').hidden);
    check('noticed.tsm: a click on a notice scrolls the model to its line', scrolled);
  }

  if (big) {
    const bigNative = native(basename(big), readFileSync(big));
    await (await page.$('#file')).uploadFile(big);
    await checkOutcome(page, basename(big), bigNative, { showsPicture: false });
  }

  // The screenshot: the main example, fitted.
  await page.goto(`${pageUrl}?example=model`);
  await page.waitForFunction(() => document.querySelector('#picture svg') !== null);
  await page.screenshot({ path: screenshot, fullPage: true });

  check('no error on the page', errors.length === 0, errors.join(' | '));
  check('no request left the page', outside.length === 0, outside.join(' '));
} finally {
  await browser.close();
  rmSync(work, { recursive: true, force: true });
}
console.log(failures === 0 ? 'browser test: all checks passed' : `browser test: ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
