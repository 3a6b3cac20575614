// The page's worker: converts and draws off the page's thread, so that the page stays
// responsive with big models, and reports how far the converter has read. It follows
// engine.js in the worker's script. Requests carry an id that their answer repeats:
//   { id, type: 'convert', bytes, fit, pictureLimit } -> progress messages, then the outcome,
//       the drawing as a Blob, and the picture (as text up to pictureLimit bytes of drawing,
//       above it as a Blob for the download only)
//   { id, type: 'draw', fit } -> the picture of the last drawing, as text
//   { id, type: 'version' }

let lastDrawing = new Uint8Array(0);

// At most about a hundred progress messages per model.
function progressReporter(id) {
  let next = 0;
  return (read, total) => {
    if (read < next && read < total) return;
    next = read + Math.max(total / 100, 1 << 20);
    postMessage({ id, type: 'progress', read, total });
  };
}

async function picture(drawing, fit) {
  const p = await draw(drawing, { fit });
  return { ok: p.ok, line: p.line, message: p.message, svg: p.svg };
}

async function answer(request) {
  switch (request.type) {
    case 'version':
      return { version: await version() };
    case 'convert': {
      const r = await convert(request.bytes, { onProgress: progressReporter(request.id) });
      lastDrawing = r.drawing;
      const drawingBlob = new Blob([r.drawing], { type: 'text/plain' });
      const outcome = { ok: r.ok, status: r.status, line: r.line, column: r.column,
                        message: r.message, notices: r.notices, drawingSize: r.drawing.length };
      postMessage({ id: request.id, type: 'phase', phase: 'drawing' });
      const p = await picture(r.drawing, request.fit);
      if (r.drawing.length <= request.pictureLimit) {
        return { outcome, drawingBlob, picture: p };
      }
      const pictureBlob = new Blob([p.svg], { type: 'image/svg+xml' });
      return { outcome, drawingBlob, picture: { ok: p.ok, line: p.line, message: p.message },
               pictureBlob };
    }
    case 'draw':
      return { picture: await picture(lastDrawing, request.fit) };
    default:
      throw new Error(`unknown request '${request.type}'`);
  }
}

self.onmessage = async (event) => {
  const request = event.data;
  try {
    postMessage({ id: request.id, type: 'done', ...(await answer(request)) });
  } catch (error) {
    postMessage({ id: request.id, type: 'failed', message: String(error && error.message || error) });
  }
};
