// Draws a whole drawing as a picture, in one pass: each command is read, checked and drawn
// before the next is read.
#ifndef OSTRA2SVG_PREVIEW_RENDERER_H_
#define OSTRA2SVG_PREVIEW_RENDERER_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "preview/byte_source.h"
#include "preview/picture_sink.h"

namespace ostra2svg {

struct RenderResult {
  enum class Status { Ok, BadDrawing, ReadFailed, WriteFailed };
  Status status;
  int64_t line;         // with BadDrawing: the line of the command at fault
  std::string message;  // with BadDrawing: what is wrong, as "unknown command 'fly'"
};

struct RenderOptions {
  // The viewBox takes in only what is drawn, not the 140 x 100 drawing area as well.
  bool fit = false;
};

// Reads the drawing from source and writes its picture to sink. On any status but Ok the
// picture is incomplete and must be thrown away.
RenderResult RenderDrawing(ByteSource* source, PictureSink* sink,
                           const RenderOptions& options = RenderOptions());
// The same for a drawing held in memory (the web page's entry, with no files).
RenderResult RenderDrawing(const char* drawing, size_t size, PictureSink* sink,
                           const RenderOptions& options = RenderOptions());

}  // namespace ostra2svg

#endif  // OSTRA2SVG_PREVIEW_RENDERER_H_
