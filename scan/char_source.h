// The byte source of a conversion: hands the input out one byte at a time and counts lines.
#ifndef TSM2OSTRA_SCAN_CHAR_SOURCE_H_
#define TSM2OSTRA_SCAN_CHAR_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "scan/result_code.h"

namespace tsm2ostra {

// Abstract source. Every byte 0..255 is an ordinary character; the end of the input is told
// only by the result code. A carriage return directly before a line feed is never delivered.
class CharSource {
 public:
  virtual ~CharSource() = default;
  CharSource(const CharSource&) = delete;
  CharSource& operator=(const CharSource&) = delete;

  // Sets the counters back to their start values; the next byte delivered is the next unread.
  virtual int Reset();
  // Delivers the next byte: Ok, EndOfInput (on this and every later call), or InvalidInput
  // when the source has nothing to read from. out and the counters change only with Ok.
  virtual ResultCode ReadChar(char* out) = 0;
  // True once ReadChar has reported the end, or when there is nothing to read from.
  virtual bool AtEnd() = 0;

  // The scanner's per-byte path: a byte from the window that the source has filled,
  // otherwise ReadChar. Same results and counting as ReadChar.
  ResultCode Take(char* out) {
    if (next_ != limit_) {
      Deliver(*next_++, out);
      return ResultCode::Ok;
    }
    return ReadChar(out);
  }

  // Bulk access for scanners: the bytes read ahead and not yet delivered, [begin, end).
  // Empty for a source that keeps no window; Take or ReadChar then fetch more.
  const unsigned char* window_begin() const { return next_; }
  const unsigned char* window_end() const { return limit_; }
  // Start of the block the window lies in: the bytes in [block_begin(), window_begin()) were
  // delivered last, in this order, and can still be read.
  const unsigned char* block_begin() const { return block_; }
  // Delivers the window's bytes before end at once, counted exactly as byte-by-byte
  // delivery would count them. The caller tells how many of them are line feeds and, if
  // any, where the bytes after the last one start.
  void DeliverWindow(const unsigned char* end, int64_t line_feeds,
                     const unsigned char* after_last_line_feed) {
    const int64_t n = end - next_;
    position_counter += n;
    if (line_feeds == 0) {
      column_counter += n;
    } else {
      line_counter += line_feeds;
      column_counter = end - after_last_line_feed;
    }
    next_ = end;
  }

  // 1 + line feeds delivered: the line of the next byte to be delivered.
  int64_t line_counter = 1;
  // Bytes delivered since the last line feed (which is not counted).
  int64_t column_counter = 0;
  // 1 + bytes delivered, line feeds included.
  int64_t position_counter = 1;

 protected:
  CharSource() = default;

  void Deliver(unsigned char c, char* out) {
    *out = static_cast<char>(c);
    ++position_counter;
    if (c == '\n') {
      ++line_counter;
      column_counter = 0;
    } else {
      ++column_counter;
    }
  }

  // Bytes read ahead and not yet delivered, and the start of their block; concrete sources
  // fill them.
  const unsigned char* block_ = nullptr;
  const unsigned char* next_ = nullptr;
  const unsigned char* limit_ = nullptr;
};

// A source that reads the input in blocks into its own buffer, dropping every carriage
// return that directly precedes a line feed, even across block boundaries.
class BlockCharSource : public CharSource {
 public:
  static constexpr size_t kBlockSize = 64 * 1024;

  ResultCode ReadChar(char* out) override;
  bool AtEnd() override;

 protected:
  BlockCharSource() = default;
  // True when there is something to read from at all.
  virtual bool HasInput() const = 0;
  // Reads up to capacity bytes; 0 means the input has ended (or failed, which counts the same).
  virtual size_t ReadBlock(unsigned char* buffer, size_t capacity) = 0;

 private:
  // Fills the window; false at the end of the input.
  bool Refill();

  bool held_carriage_return_ = false;
  bool reported_end_ = false;
  unsigned char buffer_[kBlockSize];
};

// Reads from a stream that the caller opened and will close; the stream may be null.
class FileCharSource final : public BlockCharSource {
 public:
  explicit FileCharSource(FILE* stream) : stream_(stream) {}
  ~FileCharSource() override = default;

 private:
  bool HasInput() const override { return stream_ != nullptr; }
  size_t ReadBlock(unsigned char* buffer, size_t capacity) override;

  FILE* stream_;
};

// Reads from bytes in memory that outlive the source, at most chunk bytes per block
// (0: whole blocks), so tests can cut the input at every place.
class MemoryCharSource final : public BlockCharSource {
 public:
  MemoryCharSource(const void* data, size_t size, size_t chunk = 0)
      : data_(static_cast<const unsigned char*>(data)), size_(size), chunk_(chunk) {}
  ~MemoryCharSource() override = default;

 private:
  bool HasInput() const override { return true; }
  size_t ReadBlock(unsigned char* buffer, size_t capacity) override;

  const unsigned char* data_;
  size_t size_;
  size_t chunk_;
  size_t offset_ = 0;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_CHAR_SOURCE_H_
