// Where the drawing goes: one buffer, handed to its sink in large writes, that remembers the
// first failed write.
#ifndef TSM2OSTRA_DRIVER_OUTPUT_STREAM_H_
#define TSM2OSTRA_DRIVER_OUTPUT_STREAM_H_

#include <cstddef>

#include "scan/byte_buffer.h"

namespace tsm2ostra {

// Lines are built in place at the buffer's end. Once a write has failed, nothing more is
// written and every later call reports the failure.
class OutputStream {
 public:
  // Large, since every write to a file or a caller costs a fixed amount on top of the copy.
  static constexpr size_t kBufferSize = 1024 * 1024;

  virtual ~OutputStream() = default;
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  // A line built in place: BeginLine writes "\n" and returns where the line's text starts.
  // The caller writes on from there and may pass line_end() by up to kLineSlack bytes; then
  // it must call SpillLine, which returns where to go on writing. EndLine takes the text up
  // to its argument. The sink sees the same bytes at the same points as writing "\n" and
  // then the text would give: what the buffer held before the text goes out when the text
  // does not fit behind it, and a text of the buffer's size or more leaves the buffer empty.
  static constexpr size_t kLineSlack = 512;
  char* BeginLine() {
    if (used_ == capacity_) Flush();  // a full buffer goes out first
    buffer_[used_++] = '\n';
    line_start_ = used_;
    line_sunk_ = 0;
    return buffer_ + used_;
  }
  char* line_end() { return buffer_ + capacity_; }
  char* SpillLine(char* at);
  // Appends n bytes of any length to the line at at; returns the new end of the line.
  char* AppendToLine(char* at, const char* data, size_t n) {
    if (n <= static_cast<size_t>(line_end() - at)) {
      CopyBytes(at, data, n);
      return at + n;
    }
    return AppendToLineSlow(at, data, n);
  }
  // False when the output has failed.
  bool EndLine(char* at) {
    used_ = static_cast<size_t>(at - buffer_);
    if (line_sunk_ + (used_ - line_start_) >= capacity_) return Flush();
    return !failed_;
  }

  // Hands everything buffered to the sink; false when the output has failed.
  bool Flush();
  bool failed() const { return failed_; }

 protected:
  // storage holds capacity + kLineSlack bytes and lives as long as the stream.
  OutputStream(char* storage, size_t capacity) : buffer_(storage), capacity_(capacity) {}
  // Writes all n bytes to the destination; false if it could not.
  virtual bool Sink(const char* data, size_t n) = 0;

 private:
  char* AppendToLineSlow(char* at, const char* data, size_t n);

  bool failed_ = false;
  size_t used_ = 0;
  // The line being built: where its text starts in the buffer, and how much of it went to
  // the sink already.
  size_t line_start_ = 0;
  size_t line_sunk_ = 0;
  char* const buffer_;
  const size_t capacity_;
};

// An OutputStream that holds its buffer of Capacity bytes (and the slack) itself.
template <size_t Capacity>
class BufferedOutputStream : public OutputStream {
 protected:
  BufferedOutputStream() : OutputStream(storage_, Capacity) {}

 private:
  char storage_[Capacity + kLineSlack];
};

// Hands the buffer to a function of the caller: write(context, bytes, size) returns 0, or
// nonzero when it failed. Without a function the drawing is dropped, as by a check.
class CallbackOutputStream final : public BufferedOutputStream<OutputStream::kBufferSize> {
 public:
  using WriteFunction = int (*)(void* context, const char* bytes, size_t size);
  CallbackOutputStream(WriteFunction write, void* context) : write_(write), context_(context) {}
  ~CallbackOutputStream() override = default;

 private:
  bool Sink(const char* data, size_t n) override {
    return write_ == nullptr || write_(context_, data, n) == 0;  // none: the bytes are dropped
  }
  WriteFunction write_;
  void* context_;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_OUTPUT_STREAM_H_
