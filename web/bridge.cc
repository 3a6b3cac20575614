// The WebAssembly side of the page: one conversion or one picture at a time, with the bytes
// read from and written to JavaScript through the hooks the module object carries
// (Module.hooks.read, Module.hooks.write, Module.hooks.notice; see engine.js). Outcomes stay in static storage
// until the next call, where JavaScript reads them by their fixed layout.
#include <emscripten.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "tsm2ostra/tsm2ostra.h"
#include "preview/byte_source.h"
#include "preview/picture_sink.h"
#include "preview/renderer.h"

// Copies up to capacity bytes of the input into buffer; returns how many, 0 at the end.
EM_JS(long, web_read, (char* buffer, size_t capacity), {
  return Module["hooks"].read(buffer, capacity);
});
// Takes size bytes of output at bytes; returns 0, or nonzero to fail the output.
EM_JS(int, web_write, (const char* bytes, size_t size), {
  return Module["hooks"].write(bytes, size);
});
// Takes one notice: its place, its kind (the interface's number) and its sentence.
EM_JS(void, web_notice, (unsigned long line, unsigned long column, int kind, const char* text), {
  Module["hooks"].notice(line, column, kind, text);
});

namespace {

// Read as consecutive 32-bit words by engine.js: keep the order and the types.
struct ConvertOutcome {
  int32_t status;
  uint32_t line;
  uint32_t column;
  const char* status_name;
  char message[256];
};

struct DrawOutcome {
  int32_t ok;
  uint32_t line;
  const char* message;
  const char* svg;
  uint32_t svg_size;
};

ConvertOutcome convert_outcome;
DrawOutcome draw_outcome;
// The last picture and message, kept for JavaScript to copy out.
std::unique_ptr<ostra2svg::StringPictureSink> picture;
std::string draw_message;

long ReadFromPage(void*, char* buffer, size_t capacity) { return web_read(buffer, capacity); }
int WriteToPage(void*, const char* bytes, size_t size) { return web_write(bytes, size); }
void NoticeToPage(void*, const tsm2ostra_notice* notice) {
  web_notice(notice->line, notice->column, static_cast<int>(notice->kind), notice->text);
}

class PageByteSource : public ostra2svg::ByteSource {
 public:
  size_t Read(char* buffer, size_t capacity) override {
    const long n = web_read(buffer, capacity);
    return n > 0 ? static_cast<size_t>(n) : 0;
  }
};

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* web_version() { return tsm2ostra_version(); }

// Converts the model that the read hook delivers into the write hook, each notice to the
// notice hook.
EMSCRIPTEN_KEEPALIVE const ConvertOutcome* web_convert() {
  tsm2ostra_options options;
  tsm2ostra_options_init(&options);
  options.notice = NoticeToPage;
  const tsm2ostra_result result =
      tsm2ostra_convert_stream(ReadFromPage, nullptr, WriteToPage, nullptr, &options);
  convert_outcome.status = result.status;
  convert_outcome.line = static_cast<uint32_t>(result.line);
  convert_outcome.column = static_cast<uint32_t>(result.column);
  convert_outcome.status_name = tsm2ostra_status_name(result.status);
  tsm2ostra_describe(result, convert_outcome.message, sizeof convert_outcome.message);
  return &convert_outcome;
}

// Draws the drawing that the read hook delivers; the picture stays here until web_release.
// fit: the picture shows the drawing alone, without the drawing area around it.
EMSCRIPTEN_KEEPALIVE const DrawOutcome* web_draw(int fit) {
  PageByteSource source;
  picture.reset(new ostra2svg::StringPictureSink());
  ostra2svg::RenderOptions options;
  options.fit = fit != 0;
  const ostra2svg::RenderResult result =
      ostra2svg::RenderDrawing(&source, picture.get(), options);
  const bool ok = result.status == ostra2svg::RenderResult::Status::Ok;
  if (!ok) picture.reset(new ostra2svg::StringPictureSink());  // an unfinished picture goes
  draw_message = result.message;
  draw_outcome.ok = ok ? 1 : 0;
  draw_outcome.line = static_cast<uint32_t>(result.line);
  draw_outcome.message = draw_message.c_str();
  draw_outcome.svg = picture->text().data();
  draw_outcome.svg_size = static_cast<uint32_t>(picture->text().size());
  return &draw_outcome;
}

// Gives back the memory of the last picture.
EMSCRIPTEN_KEEPALIVE void web_release() {
  picture.reset();
  std::string().swap(draw_message);
}

}  // extern "C"
