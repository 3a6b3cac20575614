// Block reading and line-end handling of the character sources.
#include "scan/char_source.h"

#include <cstring>

namespace tsm2ostra {

int CharSource::Reset() {
  counted_ = next_;
  line_ = 1;
  column_ = 0;
  position_ = 1;
  return 1;
}

void CharSource::CountDelivered() const {
  const unsigned char* const begin = counted_;
  const unsigned char* const end = next_;
  if (begin == end) return;
  counted_ = end;
  position_ += end - begin;
  const unsigned char* after_last = end;  // the bytes after the last line feed
  while (after_last != begin && after_last[-1] != '\n') --after_last;
  if (after_last == begin) {
    column_ += end - begin;
    return;
  }
  column_ = end - after_last;
  for (const unsigned char* p = begin; p != after_last; ++line_) {
    p = static_cast<const unsigned char*>(std::memchr(p, '\n', after_last - p)) + 1;
  }
}

ResultCode BlockCharSource::ReadChar(char* out) {
  if (!HasInput()) return ResultCode::InvalidInput;
  if (window_begin() == window_end() && !Refill()) {
    reported_end_ = true;
    return ResultCode::EndOfInput;
  }
  return Take(out);
}

bool BlockCharSource::AtEnd() { return !HasInput() || reported_end_; }

bool BlockCharSource::Refill() {
  CountDelivered();
  for (;;) {
    size_t start = 0;
    if (held_carriage_return_) {
      buffer_[0] = '\r';
      start = 1;
      held_carriage_return_ = false;
    }
    size_t read = ReadBlock(buffer_ + start, kBlockSize - start);
    size_t total = start + read;
    if (total == 0) return false;
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
      return true;
    }
  }
}

size_t FileCharSource::ReadBlock(unsigned char* buffer, size_t capacity) {
  return std::fread(buffer, 1, capacity, stream_);
}

size_t MemoryCharSource::ReadBlock(unsigned char* buffer, size_t capacity) {
  size_t n = size_ - offset_;
  if (n > capacity) n = capacity;
  if (chunk_ != 0 && n > chunk_) n = chunk_;
  if (n != 0) std::memcpy(buffer, data_ + offset_, n);
  offset_ += n;
  return n;
}

}  // namespace tsm2ostra
