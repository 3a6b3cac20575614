// Where the commands go: one buffer, handed to its sink in large writes, that remembers the
// first failed write.
#ifndef TSM2OSTRA_DRIVER_OUTPUT_STREAM_H_
#define TSM2OSTRA_DRIVER_OUTPUT_STREAM_H_

#include <cstddef>
#include <cstdio>
#include <string>

#include "scan/byte_buffer.h"

namespace tsm2ostra {

// Commands are built in place at the buffer's end (CommandBuilder). Once a write has failed,
// every later call reports the failure.
class OutputStream {
 public:
  // The buffer of a memory stream; a file stream buffers more, since every write to a file
  // costs the system a fixed amount on top of the copy.
  static constexpr size_t kBufferSize = 64 * 1024;
  static constexpr size_t kFileBufferSize = 1024 * 1024;

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
  // Ends the output: flushes, and releases the destination where there is one; false if
  // anything failed, before or now.
  virtual bool Close() { return Flush(); }
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

// Writes to a file that the caller opened; Close flushes and closes it.
class FileOutputStream final : public BufferedOutputStream<OutputStream::kFileBufferSize> {
 public:
  explicit FileOutputStream(std::FILE* file) : file_(file) {}
  ~FileOutputStream() override = default;
  bool Close() override;

 private:
  bool Sink(const char* data, size_t n) override;
  std::FILE* file_;
};

// Keeps the output in memory; can be told to fail once more than a given number of bytes
// would have been written in all, as a full disk would.
class MemoryOutputStream final : public BufferedOutputStream<OutputStream::kBufferSize> {
 public:
  explicit MemoryOutputStream(size_t fail_after = static_cast<size_t>(-1))
      : fail_after_(fail_after) {}
  ~MemoryOutputStream() override = default;
  // What reached the sink so far (call Flush first for all of it).
  const std::string& text() const { return text_; }

 private:
  bool Sink(const char* data, size_t n) override;
  size_t fail_after_;
  std::string text_;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_OUTPUT_STREAM_H_
