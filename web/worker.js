// The page's worker: converts and draws off the page's thread, so that the page stays
// responsive with big models, and reports how far the converter has read. It follows
// engine.js in the worker's script. Requests carry an id that their answer repeats:
//   { id, type: 'convert', bytes } -> progress messages, then the outcome and the drawing as
//       a Blob; the worker keeps the drawing for the pictures
//   { id, type: 'draw', fit, asBlob } -> the picture of the last drawing, as text, or as a
//       Blob only (for the download of a picture too big to show)
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

async function answer(request) {
  switch (request.type) {
    case 'version':
      return { version: await version() };
    case 'convert': {
      const r = await convert(request.bytes, { onProgress: progressReporter(request.id) });
      lastDrawing = r.drawing;
      return {
        outcome: { ok: r.ok, status: r.status, line: r.line, column: r.column,
                   message: r.message, notices: r.notices, drawingSize: r.drawing.length },
        drawingBlob: new Blob([r.drawing], { type: 'text/plain' }),
      };
    }
    case 'draw': {
      const p = await draw(lastDrawing, { fit: request.fit });
      if (!request.asBlob) return { picture: p };
      return { picture: { ok: p.ok, line: p.line, message: p.message },
               pictureBlob: new Blob([p.svg], { type: 'image/svg+xml' }) };
    }
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
