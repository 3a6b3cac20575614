// libFuzzer target: one whole drawing rendered in memory. Checks that reading it in small
// blocks changes nothing, and that a picture made is well-formed: UTF-8 with no character
// XML forbids, markup only in tags, and '&' only as one of the five references.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "preview/renderer.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Outcome {
  ostra2svg::RenderResult result;
  std::string picture;
};

Outcome Render(const uint8_t* data, size_t size, size_t chunk) {
  ostra2svg::MemoryByteSource source(reinterpret_cast<const char*>(data), size, chunk);
  ostra2svg::StringPictureSink sink;
  ostra2svg::RenderResult result = ostra2svg::RenderDrawing(&source, &sink);
  return {result, sink.text()};
}

// Length of the UTF-8 sequence at text[i] of an XML character, 0 if there is none.
size_t XmlCharacterLength(const std::string& text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char b = byte(i);
  if (b < 0x80) return (b >= 0x20 && b != 0x7F) || b == '\n' ? 1 : 0;
  size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
  if (b < 0xC2 || b > 0xF4 || i + length > text.size()) return 0;
  uint32_t c = b & (0x3Fu >> (length - 1));
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i + k) & 0x3Fu);
  }
  const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  if (c == 0xFFFE || c == 0xFFFF || (c >= 0x80 && c <= 0x9F)) return 0;
  return length;
}

void CheckWellFormed(const std::string& picture) {
  bool in_tag = false, quoted = false;
  for (size_t i = 0; i < picture.size();) {
    const size_t length = XmlCharacterLength(picture, i);
    Check(length != 0);
    const char c = picture[i];
    if (in_tag) {
      Check(c != '<' && c != '&');
      if (c == '"') quoted = !quoted;
      if (c == '>' && !quoted) in_tag = false;
    } else if (c == '<') {
      in_tag = true;
    } else if (c == '&') {
      bool known = false;
      for (const char* name : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
        known = known || picture.compare(i, std::strlen(name), name) == 0;
      }
      Check(known);
    } else {
      Check(c != '>');
    }
    i += length;
  }
  Check(!in_tag);
  const std::string end = "</svg>\n";
  Check(picture.size() > end.size() &&
        picture.compare(picture.size() - end.size(), end.size(), end) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Outcome whole = Render(data, size, 0);
  Check(whole.result.status == ostra2svg::RenderResult::Status::Ok ||
        whole.result.status == ostra2svg::RenderResult::Status::BadDrawing);
  if (whole.result.status == ostra2svg::RenderResult::Status::Ok) CheckWellFormed(whole.picture);

  // Block ends anywhere, inside words, labels and line ends alike, change nothing.
  const size_t chunk = 1 + (size == 0 ? 0 : data[size / 2] % 17);
  const Outcome chunked = Render(data, size, chunk);
  Check(chunked.result.status == whole.result.status && chunked.result.line == whole.result.line &&
        chunked.result.message == whole.result.message && chunked.picture == whole.picture);
  return 0;
}
