// Buffering of OutputStream: flushing, and lines that outgrow the buffer.
#include "driver/output_stream.h"

#include <cstring>

namespace tsm2ostra {

bool OutputStream::Flush() {
  if (used_ != 0 && !failed_) failed_ = !Sink(buffer_, used_);
  used_ = 0;
  return !failed_;
}

char* OutputStream::SpillLine(char* at) {
  size_t text = static_cast<size_t>(at - buffer_) - line_start_;
  if (line_start_ != 0) {
    // What came before the line goes out, and the line moves to the front.
    used_ = line_start_;
    Flush();
    std::memmove(buffer_, buffer_ + line_start_, text);
    line_start_ = 0;
  }
  if (text > capacity_) {
    // The line alone outgrows the buffer: it goes out in pieces, ending in EndLine.
    used_ = text;
    line_sunk_ += text;
    Flush();
    text = 0;
  }
  return buffer_ + text;
}

char* OutputStream::AppendToLineSlow(char* at, const char* data, size_t n) {
  // As many bytes as the slack takes at a time, each time spilled like any other piece.
  for (;;) {
    const size_t room = static_cast<size_t>(line_end() + kLineSlack - at);
    const size_t piece = n < room ? n : room;
    std::memcpy(at, data, piece);
    at += piece;
    data += piece;
    n -= piece;
    if (at > line_end()) at = SpillLine(at);
    if (n == 0) return at;
  }
}

}  // namespace tsm2ostra
