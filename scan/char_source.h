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
      *out = static_cast<char>(*next_++);
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
  // Delivers the window's bytes before end at once.
  void DeliverWindow(const unsigned char* end) { next_ = end; }

  // The counters, exactly as if every byte delivered had been counted as it went out. The
  // bytes of the window are counted only when a counter is asked for or the window moves on,
  // so that scanning them costs nothing per token.
  // 1 + line feeds delivered: the line of the next byte to be delivered.
  int64_t line_counter() const {
    CountDelivered();
    return line_;
  }
  // Bytes delivered since the last line feed (which is not counted).
  int64_t column_counter() const {
    CountDelivered();
    return column_;
  }
  // 1 + bytes delivered, line feeds included.
  int64_t position_counter() const {
    CountDelivered();
    return position_;
  }

 protected:
  CharSource() = default;

  // Delivers one byte that is not in the window, counting it at once.
  void Deliver(unsigned char c, char* out) {
    *out = static_cast<char>(c);
    ++position_;
    if (c == '\n') {
      ++line_;
      column_ = 0;
    } else {
      ++column_;
    }
  }
  // Sets the window to [begin, end) of a new block; the old window's delivered bytes are
  // counted first.
  void SetWindow(const unsigned char* begin, const unsigned char* end) {
    CountDelivered();
    block_ = begin;
    next_ = begin;
    limit_ = end;
    counted_ = begin;
  }

  // Counts the window's bytes delivered since the last count; a source calls it before it
  // writes over the window's bytes.
  void CountDelivered() const;

 private:
  mutable int64_t line_ = 1;
  mutable int64_t column_ = 0;
  mutable int64_t position_ = 1;
  // Bytes read ahead and not yet delivered, the start of their block, and how far the
  // delivered ones are counted.
  const unsigned char* block_ = nullptr;
  const unsigned char* next_ = nullptr;
  const unsigned char* limit_ = nullptr;
  mutable const unsigned char* counted_ = nullptr;
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
