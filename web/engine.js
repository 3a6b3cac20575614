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

// Runs one call of the wasm with the input handed out from bytes and the output gathered;
// onRead(bytesHandedOut, total) follows the reading. An abort (the renderer out of memory)
// leaves the instance unusable: the next call gets a new one.
async function run(bytes, onRead, call) {
  const m = await engine();
  let at = 0;
  const pieces = [];
  let size = 0;
  m.hooks = {
    read(pointer, capacity) {
      const n = Math.min(capacity >>> 0, bytes.length - at);
      m.HEAPU8.set(bytes.subarray(at, at + n), pointer >>> 0);
      at += n;
      if (onRead) onRead(at, bytes.length);
      return n;
    },
    write(pointer, length) {
      pointer >>>= 0;
      pieces.push(m.HEAPU8.slice(pointer, pointer + (length >>> 0)));
      size += length >>> 0;
      return 0;
    },
  };
  try {
    const outcome = call(m);
    const output = new Uint8Array(size);
    let offset = 0;
    for (const piece of pieces) {
      output.set(piece, offset);
      offset += piece.length;
    }
    return { outcome, output };
  } catch (error) {
    enginePromise = null;
    throw error;
  } finally {
    m.hooks = null;
  }
}

function asBytes(data) {
  if (data instanceof Uint8Array) return data;
  if (typeof data === 'string') return new TextEncoder().encode(data);
  return new Uint8Array(data);  // an ArrayBuffer or a typed array's buffer
}

// Converts a model (Uint8Array, ArrayBuffer or string). options.onProgress(read, total) is
// called as the converter reads. Resolves to { ok, status, line, column, message, drawing,
// notices }: message is the program's result line ("" when ok), status the C interface's
// name ("OK", "INVALID_INPUT", ...), drawing the bytes written, whole or up to the failure.
async function convert(model, options = {}) {
  const bytes = asBytes(model);
  const { outcome, output } = await run(bytes, options.onProgress, (m) => {
    const p = m._web_convert() >>> 0;
    const words = new Uint32Array(m.HEAPU8.buffer, p, 4);
    return {
      status: cString(m, words[3]),
      line: words[1],
      column: words[2],
      message: cString(m, p + 16, 256),
    };
  });
  return {
    ok: outcome.status === 'OK',
    status: outcome.status,
    line: outcome.line,
    column: outcome.column,
    message: outcome.message,
    drawing: output,
    notices: [],
  };
}

// Draws a drawing (the bytes convert returned) as an SVG picture; options.fit: the picture
// shows the drawing alone, without the 140 x 100 drawing area. Resolves to { ok, line,
// message, svg }: with ok false, line and message name the fault ("unknown command 'fly'").
async function draw(drawing, options = {}) {
  const bytes = asBytes(drawing);
  try {
    const { outcome } = await run(bytes, null, (m) => {
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
    return outcome;
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
