// The page's script: opens a model (file, drop, pasted text or bundled example), has the
// worker convert and draw it, and shows the outcome, the notices, the picture, the texts and
// the downloads. Runs from file:// as well: the worker comes from a Blob of its inline source.
'use strict';

// Drawings above this size get no picture and no text on the page (the browser would crawl),
// only the outcome, the notices and the downloads.
const SHOW_LIMIT = 4 * 1024 * 1024;

const $ = (id) => document.getElementById(id);

// The worker, made anew when a model is opened while another is still being converted.
let worker = null;
let nextId = 1;
const pending = new Map();

function startWorker() {
  const source = $('worker-source').textContent;
  const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
  worker = new Worker(url);
  URL.revokeObjectURL(url);
  worker.onmessage = (event) => {
    const message = event.data;
    const request = pending.get(message.id);
    if (!request) return;
    if (message.type === 'progress') {
      request.onUpdate(message);
      return;
    }
    pending.delete(message.id);
    if (message.type === 'done') request.resolve(message);
    else request.reject(new Error(message.message));
  };
  worker.onerror = (event) => {
    for (const request of pending.values()) request.reject(new Error(event.message));
    pending.clear();
  };
}

function ask(request, onUpdate = () => {}) {
  if (worker === null) startWorker();
  const id = nextId++;
  return new Promise((resolve, reject) => {
    pending.set(id, { type: request.type, resolve, reject, onUpdate });
    worker.postMessage({ ...request, id }, request.bytes ? [request.bytes.buffer] : []);
  });
}

// Ends a conversion still running, which is of no use any more once another model is opened.
function stopConversion() {
  if (![...pending.values()].some((request) => request.type === 'convert')) return;
  worker.terminate();
  worker = null;
  for (const request of pending.values()) request.reject(new Error('stopped'));
  pending.clear();
}

function megabytes(n) {
  return `${(n / (1024 * 1024)).toFixed(1)} MB`;
}

// ---- Texts with line numbers -------------------------------------------------------------

function showText(paneId, viewId, text) {
  const view = $(viewId);
  const lineCount = text.split('\n').length;
  let numbers = '';
  for (let i = 1; i <= lineCount; ++i) numbers += `${i}\n`;
  view.querySelector('.numbers').textContent = numbers;
  view.querySelector('.lines').textContent = text;
  view.querySelector('.mark').hidden = true;
  view.scrollTop = 0;
  $(paneId).hidden = false;
}

function hideText(paneId) {
  const pane = $(paneId);
  pane.hidden = true;
  pane.querySelector('.numbers').textContent = '';
  pane.querySelector('.lines').textContent = '';
}

// Scrolls a text view to a line (1-based) and marks it.
function goToLine(viewId, line) {
  const view = $(viewId);
  const height = parseFloat(getComputedStyle(view).getPropertyValue('--code-line')) || 20;
  const top = 4 + (line - 1) * height;
  const mark = view.querySelector('.mark');
  mark.style.top = `${top}px`;
  mark.hidden = false;
  view.scrollTop = Math.max(0, top - view.clientHeight / 3);
  view.focus({ preventScroll: true });
}

// ---- Outcome ----------------------------------------------------------------------------

let current = null;  // { name, base, token }
let downloadUrls = [];

function setDownload(id, blob, fileName, label) {
  const link = $(id);
  const url = URL.createObjectURL(blob);
  downloadUrls.push(url);
  link.href = url;
  link.download = fileName;
  link.textContent = `${label} (${fileName})`;
  link.hidden = false;
}

function clearOutcome() {
  for (const url of downloadUrls) URL.revokeObjectURL(url);
  downloadUrls = [];
  for (const id of ['download-ost', 'download-svg']) {
    $(id).hidden = true;
    $(id).removeAttribute('href');
  }
  $('notices').replaceChildren();
  $('size-note').hidden = true;
  $('picture-area').hidden = true;
  $('picture').replaceChildren();
  hideText('drawing-pane');
  hideText('model-pane');
  $('result').classList.remove('failed');
}

function showNotices(notices) {
  const list = $('notices');
  list.replaceChildren();
  for (const notice of notices) {
    const item = document.createElement('li');
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = `Line ${notice.line}${notice.column ? `, column ${notice.column}` : ''}: ` +
                         notice.text;
    button.addEventListener('click', () => goToLine('model-text', notice.line));
    item.append(button);
    list.append(item);
  }
}

function showPicture(picture) {
  const holder = $('picture');
  if (!picture.ok) {
    const note = document.createElement('p');
    note.textContent = `The picture could not be drawn: line ${picture.line}: ${picture.message}`;
    holder.replaceChildren(note);
    return;
  }
  const parsed = new DOMParser().parseFromString(picture.svg, 'image/svg+xml');
  holder.replaceChildren(document.importNode(parsed.documentElement, true));
}

// Converts the model's bytes and shows everything; name is the model's file name.
async function openModel(name, bytes) {
  stopConversion();
  clearOutcome();
  const token = {};
  current = { name, base: name.replace(/\.[^./\\]*$/, '') || 'model', token };
  const modelText = bytes.length <= SHOW_LIMIT ? new TextDecoder().decode(bytes) : null;
  const total = bytes.length;

  $('result').textContent = `Converting '${name}'…`;
  const progress = $('progress');
  const progressLabel = $('progress-label');
  progress.max = Math.max(total, 1);
  progress.value = 0;
  progressLabel.textContent = `Reading the model: 0 of ${megabytes(total)}`;
  $('progress-area').hidden = false;

  let answer;
  try {
    answer = await ask({ type: 'convert', bytes }, (update) => {
      progress.value = update.read;
      progressLabel.textContent =
        `Reading the model: ${megabytes(update.read)} of ${megabytes(update.total)}`;
    });
  } catch (error) {
    if (current.token !== token) return;
    $('progress-area').hidden = true;
    $('result').textContent = `The conversion stopped: ${error.message}`;
    $('result').classList.add('failed');
    return;
  }
  if (current.token !== token) return;
  $('progress-area').hidden = true;

  const outcome = answer.outcome;
  $('result').textContent =
    outcome.ok ? `File '${name}' successfully converted.` : outcome.message;
  $('result').classList.toggle('failed', !outcome.ok);
  showNotices(outcome.notices);
  setDownload('download-ost', answer.drawingBlob, `${current.base}.ost`, 'Download the drawing');

  const notes = [];
  if (!outcome.ok && outcome.drawingSize > 0) {
    notes.push('The drawing holds what was written before the error.');
  }
  const shown = outcome.drawingSize <= SHOW_LIMIT;
  if (!shown) {
    notes.push(`The drawing has ${megabytes(outcome.drawingSize)}: the page shows the picture ` +
               `and the text of drawings up to ${megabytes(SHOW_LIMIT)} only, as bigger ones ` +
               'would make the browser very slow. Both can be downloaded.');
  }
  if (modelText !== null) {
    showText('model-pane', 'model-text', modelText);
  } else {
    notes.push(`The model has ${megabytes(total)}: its text is shown up to ` +
               `${megabytes(SHOW_LIMIT)} only.`);
  }
  if (notes.length > 0) {
    $('size-note').textContent = notes.join(' ');
    $('size-note').hidden = false;
  }
  if (shown) {
    showText('drawing-pane', 'drawing-text', await answer.drawingBlob.text());
    $('picture-area').hidden = false;
    await redraw();
  } else {
    // The picture for the download only, drawn after the outcome is shown.
    const drawn = await ask({ type: 'draw', fit: !$('whole-area').checked, asBlob: true })
      .catch(() => null);
    if (drawn && current.token === token && drawn.picture.ok) {
      setDownload('download-svg', drawn.pictureBlob, `${current.base}.svg`,
                  'Download the picture');
    }
  }
}

// Draws the last drawing, fitted or with the whole drawing area, and offers it for download.
async function redraw() {
  if (current === null || $('picture-area').hidden) return;
  const token = current.token;
  const answer = await ask({ type: 'draw', fit: !$('whole-area').checked }).catch(() => null);
  if (answer === null || current.token !== token) return;
  showPicture(answer.picture);
  if (answer.picture.ok) {
    setDownload('download-svg', new Blob([answer.picture.svg], { type: 'image/svg+xml' }),
                `${current.base}.svg`, 'Download the picture');
  } else {
    $('download-svg').hidden = true;
  }
}

async function openFile(file) {
  openModel(file.name, new Uint8Array(await file.arrayBuffer()));
}

function openExample(name) {
  if (!Object.prototype.hasOwnProperty.call(EXAMPLES, name)) {
    $('result').textContent = `There is no bundled example called '${name}'.`;
    $('result').classList.add('failed');
    return;
  }
  $('example').value = name;
  openModel(`${name}.tsm`, new TextEncoder().encode(EXAMPLES[name]));
}

// ---- Controls ---------------------------------------------------------------------------

function setUp() {
  const select = $('example');
  for (const name of Object.keys(EXAMPLES)) {
    const option = document.createElement('option');
    option.value = name;
    option.textContent = `${name}.tsm`;
    select.append(option);
  }
  select.addEventListener('change', () => {
    if (select.value !== '') openExample(select.value);
  });
  $('file').addEventListener('change', (event) => {
    const file = event.target.files[0];
    if (file) openFile(file);
  });
  $('convert-paste').addEventListener('click', () => {
    openModel('pasted.tsm', new TextEncoder().encode($('paste').value));
  });
  $('whole-area').addEventListener('change', redraw);
  // A click on a drawn element shows its command in the drawing's text.
  $('picture').addEventListener('click', (event) => {
    const element = event.target.closest('[data-line]');
    if (element) goToLine('drawing-text', Number(element.getAttribute('data-line')));
  });

  // Dropping a file anywhere opens it.
  const overlay = $('drop-overlay');
  let depth = 0;
  const carriesFiles = (event) => event.dataTransfer && [...event.dataTransfer.types].includes('Files');
  document.addEventListener('dragenter', (event) => {
    if (!carriesFiles(event)) return;
    ++depth;
    overlay.hidden = false;
  });
  document.addEventListener('dragleave', () => {
    if (depth > 0 && --depth === 0) overlay.hidden = true;
  });
  document.addEventListener('dragover', (event) => {
    if (carriesFiles(event)) event.preventDefault();
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    depth = 0;
    overlay.hidden = true;
    const file = event.dataTransfer.files[0];
    if (file) openFile(file);
  });

  ask({ type: 'version' }).then((answer) => { $('version').textContent = answer.version; },
                                () => {});
  const example = new URLSearchParams(location.search).get('example');
  if (example !== null) openExample(example);
}

setUp();
