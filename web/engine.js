// The converter and the renderer in WebAssembly, behind convert, draw and version. web/build.sh
// puts this file after the module factory (createTsm2ostraEngine) and the wasm's bytes in
// base64 (TSM2OSTRA_WASM), in tsm2ostra.mjs (which exports the three) and in the page's
// worker.

let enginePromise = null;

// One instance serves every call; each call runs to its end before the next starts.
function engine() {
  if (enginePromise === null) {
    const text = atob(TSM2OSTRA_WASM);
    const wasmBinary = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) wasmBinary[i] = text.charCodeAt(i);
    enginePromise = createTsm2ostraEngine({ wasmBinary, hooks: null });
  }
  return enginePromise;
}

const utf8 = new TextDecoder();

function cString(m, pointer, limit = Infinity) {
  const heap = m.HEAPU8;
  let end = pointer;
  while (end - pointer < limit && heap[end] !== 0) ++end;
  return utf8.decode(heap.subarray(pointer, end));
}

// A reader for bytes in memory: copies the next bytes into `into` and returns how many, 0 at
// the end; onProgress(read, total) follows it.
function bytesReader(data, onProgress) {
  const bytes = asBytes(data);
  let at = 0;
  return (into) => {
    const n = Math.min(into.length, bytes.length - at);
    into.set(bytes.subarray(at, at + n));
    at += n;
    if (onProgress) onProgress(at, bytes.length);
    return n;
  };
}

// Gathers the output in one buffer: room for `expected` bytes, doubled when it runs out.
function gatherer(expected) {
  let output = new Uint8Array(expected);
  let size = 0;
  return {
    write(piece) {
      if (size + piece.length > output.length) {
        const grown = new Uint8Array(Math.max(2 * output.length, size + piece.length));
        grown.set(output.subarray(0, size));
        output = grown;
      }
      output.set(piece, size);
      size += piece.length;
    },
    bytes: () => output.subarray(0, size),
  };
}

function asBytes(data) {
  if (data instanceof Uint8Array) return data;
  if (typeof data === 'string') return new TextEncoder().encode(data);
  return new Uint8Array(data);  // an ArrayBuffer
}

// Runs call(m) on the instance with its input from read(into) and its output to write(piece)
// (a view of the wasm's memory, valid during the call only). A reader or writer that throws
// fails the input or the output, and its error is thrown once the wasm has returned. An abort
// (the renderer out of memory) leaves the instance unusable: the next call gets a new one.
async function run(read, write, call, notice = () => {}) {
  const m = await engine();
  let failure = null;
  m.hooks = {
    notice(line, column, kind, text) {
      notice({ line: line >>> 0, column: column >>> 0, kind: NOTICE_KINDS[kind] || '',
               text: cString(m, text >>> 0) });
    },
    read(pointer, capacity) {
      try {
        return read(m.HEAPU8.subarray(pointer >>> 0, (pointer >>> 0) + (capacity >>> 0)));
      } catch (error) {
        failure = failure || { error };
        return -1;
      }
    },
    write(pointer, length) {
      try {
        write(m.HEAPU8.subarray(pointer >>> 0, (pointer >>> 0) + (length >>> 0)));
        return 0;
      } catch (error) {
        failure = failure || { error };
        return 1;
      }
    },
  };
  let outcome;
  try {
    outcome = call(m);
  } catch (error) {
    enginePromise = null;
    throw error;
  } finally {
    m.hooks = null;
  }
  if (failure) throw failure.error;
  return outcome;
}

// The notice kinds of the C interface, by number, without the TSM2OSTRA_NOTICE_ prefix.
const NOTICE_KINDS = ['', 'UNKNOWN_ELEMENT', 'MISPLACED_ELEMENT', 'NOTHING_TO_COLOR',
                      'NO_BASE_POINT', 'UNDEFINED_VERTEX'];

// Converts a model: a Uint8Array, an ArrayBuffer, a string, or a reader function (into:
// Uint8Array) => bytes copied into it, 0 at the end. options.onProgress(read, total) follows
// the reading of a model in memory; options.onWrite(piece), if given, receives the drawing
// piece by piece (each a view valid during the call only), and drawing is then null. Resolves
// to { ok, status, line, column, message, drawing, notices }: message is the program's result
// line ("" when ok), status the C interface's name ("OK", "INVALID_INPUT", ...), drawing the
// bytes written, whole or up to the failure.
async function convert(model, options = {}) {
  const read = typeof model === 'function' ? model : bytesReader(model, options.onProgress);
  // A drawing is about as long as its model.
  const output = options.onWrite ? null : gatherer((model.length || model.byteLength || 0) + 65536);
  const notices = [];
  const outcome = await run(read, options.onWrite || output.write, (m) => {
    const p = m._web_convert() >>> 0;
    const words = new Uint32Array(m.HEAPU8.buffer, p, 4);
    return {
      status: cString(m, words[3]),
      line: words[1],
      column: words[2],
      message: cString(m, p + 16, 256),
    };
  }, (notice) => notices.push(notice));
  return {
    ok: outcome.status === 'OK',
    status: outcome.status,
    line: outcome.line,
    column: outcome.column,
    message: outcome.message,
    drawing: output && output.bytes(),
    notices,
  };
}

// Draws a drawing (the bytes convert returned) as an SVG picture; options.fit: the picture
// shows the drawing alone, without the 140 x 100 drawing area. Resolves to { ok, line,
// message, svg }: with ok false, line and message name the fault ("unknown command 'fly'").
async function draw(drawing, options = {}) {
  try {
    return await run(bytesReader(drawing), () => {}, (m) => {
      const p = m._web_draw(options.fit ? 1 : 0) >>> 0;
      const words = new Uint32Array(m.HEAPU8.buffer, p, 5);
      const result = {
        ok: words[0] !== 0,
        line: words[1],
        message: cString(m, words[2]),
        svg: utf8.decode(m.HEAPU8.subarray(words[3], words[3] + words[4])),
      };
      m._web_release();
      return result;
    });
  } catch (error) {
    if (!(error instanceof WebAssembly.RuntimeError)) throw error;
    return { ok: false, line: 0, message: 'out of memory', svg: '' };
  }
}

// The converter's version, "2.00".
async function version() {
  const m = await engine();
  return cString(m, m._web_version() >>> 0);
}
