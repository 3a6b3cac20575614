// Block reading and line-end handling of the character sources.
#include "scan/char_source.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tsm2ostra {

namespace {

// The number of line feeds in [p, end): sixteen bytes at a time where SSE2 is at hand, the
// matches summed in byte counters that are added up before they can overflow.
int64_t CountLineFeeds(const unsigned char* p, const unsigned char* end) {
  int64_t count = 0;
#if defined(__SSE2__)
  const __m128i line_feed = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    __m128i sums = _mm_setzero_si128();
    for (int i = 0; i < 255 && end - p >= 16; ++i, p += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(bytes, line_feed));
    }
    const __m128i totals = _mm_sad_epu8(sums, _mm_setzero_si128());
    count += _mm_cvtsi128_si32(totals) + _mm_cvtsi128_si32(_mm_srli_si128(totals, 8));
  }
#endif
  for (; p != end; ++p) count += *p == '\n';
  return count;
}

}  // namespace

int CharSource::Reset() {
  counted_ = next_;
  line_ = 1;
  column_ = 0;
  position_ = 1;
  return 1;
}

void CharSource::CountDelivered() const {
  const unsigned char* begin = counted_;
  const unsigned char* const end = next_;
  if (begin == end) return;
  counted_ = end;
  if (mark_ != nullptr && mark_ < end) {
    CountRange(begin, mark_);
    marked_ = Place{line_, column_ + 1};
    begin = mark_;
    mark_ = nullptr;
  }
  CountRange(begin, end);
}

void CharSource::CountRange(const unsigned char* begin, const unsigned char* end) const {
  if (begin == end) return;
  position_ += end - begin;
  const unsigned char* after_last = end;  // the bytes after the last line feed
  while (after_last != begin && after_last[-1] != '\n') --after_last;
  if (after_last == begin) {
    column_ += end - begin;
    return;
  }
  column_ = end - after_last;
  line_ += CountLineFeeds(begin, after_last);
}

ResultCode BlockCharSource::ReadChar(char* out) {
  if (!HasInput()) return ResultCode::InvalidInput;
  if (window_begin() == window_end()) {
    if (end_ == ResultCode::Ok) end_ = Refill();
    if (end_ != ResultCode::Ok) return end_;
  }
  return Take(out);
}

bool BlockCharSource::AtEnd() { return !HasInput() || end_ != ResultCode::Ok; }

ResultCode BlockCharSource::Refill() {
  CountDelivered();
  for (;;) {
    size_t start = 0;
    if (held_carriage_return_) {
      buffer_[0] = '\r';
      start = 1;
      held_carriage_return_ = false;
    }
    const long read = ReadBlock(buffer_ + start, kBlockSize - start);
    if (read < 0 || static_cast<unsigned long>(read) > kBlockSize - start) {
      return ResultCode::ReadFailed;
    }
    size_t total = start + static_cast<size_t>(read);
    if (total == 0) return ResultCode::EndOfInput;
    // A carriage return at the end of a block waits until the next byte is known.
    if (read != 0 && buffer_[total - 1] == '\r') {
      held_carriage_return_ = true;
      --total;
    }
    unsigned char* end = buffer_ + total;
    unsigned char* write = static_cast<unsigned char*>(std::memchr(buffer_, '\r', total));
    if (write != nullptr) {
      for (const unsigned char* read_at = write; read_at != end; ++read_at) {
        if (*read_at == '\r' && read_at + 1 != end && read_at[1] == '\n') continue;
        *write++ = *read_at;
      }
      end = write;
    }
    if (end != buffer_) {
      SetWindow(buffer_, end);
      return ResultCode::Ok;
    }
  }
}

long CallbackCharSource::ReadBlock(unsigned char* buffer, size_t capacity) {
  return read_(context_, reinterpret_cast<char*>(buffer), capacity);
}

ResultCode MemoryCharSource::ReadChar(char* out) {
  if (window_begin() == window_end() && !NextWindow()) {
    reported_end_ = true;
    return ResultCode::EndOfInput;
  }
  return Take(out);
}

bool MemoryCharSource::NextWindow() {
  CountDelivered();  // before the buffer may be written over
  const size_t most = chunk_ != 0 && chunk_ < kWindowSize ? chunk_ : kWindowSize;
  while (offset_ != size_) {
    const size_t n = size_ - offset_ < most ? size_ - offset_ : most;
    const unsigned char* const begin = data_ + offset_;
    const unsigned char* const end = begin + n;
    offset_ += n;
    const unsigned char* cr = static_cast<const unsigned char*>(std::memchr(begin, '\r', n));
    // A carriage return before a line feed is dropped, also when the line feed lies in the
    // next window; any other window is used where it lies.
    while (cr != nullptr && (cr + 1 == data_ + size_ || cr[1] != '\n')) {
      cr = static_cast<const unsigned char*>(
          std::memchr(cr + 1, '\r', static_cast<size_t>(end - cr - 1)));
    }
    if (cr == nullptr) {
      SetWindow(begin, end);
      return true;
    }
    unsigned char* out = buffer_;
    for (const unsigned char* p = begin; p != end; ++p) {
      if (*p == '\r' && p + 1 != data_ + size_ && p[1] == '\n') continue;
      *out++ = *p;
    }
    if (out != buffer_) {
      SetWindow(buffer_, out);
      return true;
    }
  }
  return false;
}

}  // namespace tsm2ostra
