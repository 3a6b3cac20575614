// The byte source of a conversion: hands the input out one byte at a time, counts lines, and
// tells where a marked byte stood.
#ifndef TSM2OSTRA_SCAN_CHAR_SOURCE_H_
#define TSM2OSTRA_SCAN_CHAR_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "scan/result_code.h"

namespace tsm2ostra {

// A place in the input: 1 + the line feeds before it, and its 1-based column in bytes.
struct Place {
  int64_t line = 0;
  int64_t column = 0;
};

// Abstract source. Every byte 0..255 is an ordinary character; the end of the input is told
// only by the result code. A carriage return directly before a line feed is never delivered.
class CharSource {
 public:
  virtual ~CharSource() = default;
  CharSource(const CharSource&) = delete;
  CharSource& operator=(const CharSource&) = delete;

  // Sets the counters back to their start values; the next byte delivered is the next unread.
  virtual int Reset();
  // Delivers the next byte: Ok; EndOfInput or ReadFailed (on this and every later call); or
  // InvalidInput when the source has nothing to read from. out and the counters change only
  // with Ok.
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

  // Marks the byte at p, which lies in the window's block and is not yet counted (at or
  // after the last counted byte: in practice, a byte delivered since the scanner last read
  // a token); its place is worked out only when it is counted. Costs one store.
  void Mark(const unsigned char* p) { mark_ = p; }
  // Marks the byte at p, the last one delivered before window_begin(), which is no line feed
  // and may have been counted already.
  void MarkLastDelivered(const unsigned char* p) {
    if (p < counted_) {
      marked_ = Place{line_, column_};
      mark_ = nullptr;
    } else {
      mark_ = p;
    }
  }
  // Marks the last byte delivered, which is no line feed, wherever it lay.
  void MarkLastDeliveredPlace() {
    CountDelivered();
    mark_ = nullptr;
    marked_ = Place{line_, column_};
  }
  // The place of the last marked byte (a zero Place when none was marked).
  Place marked_place() const {
    CountDelivered();
    return marked_;
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
  // Counts the delivered bytes [begin, end).
  void CountRange(const unsigned char* begin, const unsigned char* end) const;

  mutable int64_t line_ = 1;
  mutable int64_t column_ = 0;
  mutable int64_t position_ = 1;
  // Bytes read ahead and not yet delivered, the start of their block, and how far the
  // delivered ones are counted.
  const unsigned char* block_ = nullptr;
  const unsigned char* next_ = nullptr;
  const unsigned char* limit_ = nullptr;
  mutable const unsigned char* counted_ = nullptr;
  // A marked byte not yet counted, and the place of the last one counted.
  mutable const unsigned char* mark_ = nullptr;
  mutable Place marked_;
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
  // Reads up to capacity bytes: how many, 0 at the end of the input, or -1 for an error.
  virtual long ReadBlock(unsigned char* buffer, size_t capacity) = 0;

 private:
  // Fills the window: Ok, EndOfInput or ReadFailed.
  ResultCode Refill();

  bool held_carriage_return_ = false;
  ResultCode end_ = ResultCode::Ok;  // EndOfInput or ReadFailed once met
  unsigned char buffer_[kBlockSize];
};

// Reads through a function of the caller: read(context, buffer, capacity) returns how many
// bytes it wrote into buffer, 0 at the end of the input, or -1 for an error.
class CallbackCharSource final : public BlockCharSource {
 public:
  using ReadFunction = long (*)(void* context, char* buffer, size_t capacity);
  CallbackCharSource(ReadFunction read, void* context) : read_(read), context_(context) {}
  ~CallbackCharSource() override = default;

 private:
  bool HasInput() const override { return read_ != nullptr; }
  long ReadBlock(unsigned char* buffer, size_t capacity) override;

  ReadFunction read_;
  void* context_;
};

// Reads bytes in memory that outlive the source, without copying them: the window lies in
// them, at most kWindowSize bytes (or chunk bytes, when chunk is not 0) at a time. Only a
// window that holds a carriage return before a line feed is copied, without it.
class MemoryCharSource final : public CharSource {
 public:
  static constexpr size_t kWindowSize = 64 * 1024;

  MemoryCharSource(const void* data, size_t size, size_t chunk = 0)
      : data_(static_cast<const unsigned char*>(data)), size_(size), chunk_(chunk) {}
  ~MemoryCharSource() override = default;

  ResultCode ReadChar(char* out) override;
  bool AtEnd() override { return reported_end_; }

 private:
  // Moves the window on; false at the end of the input.
  bool NextWindow();

  const unsigned char* data_;
  size_t size_;
  size_t chunk_;
  size_t offset_ = 0;
  bool reported_end_ = false;
  unsigned char buffer_[kWindowSize];
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_CHAR_SOURCE_H_
