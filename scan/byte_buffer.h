// A growable run of bytes with its length: tokens, attribute texts, closing tags.
// The first 1024 bytes live inside the object, so the common case never allocates.
#ifndef TSM2OSTRA_SCAN_BYTE_BUFFER_H_
#define TSM2OSTRA_SCAN_BYTE_BUFFER_H_

#include <cstddef>
#include <cstring>
#include <string_view>

#include "scan/allocation.h"

namespace tsm2ostra {

// memcpy for the short runs of a conversion (tokens, tags, command lines): up to 32 bytes
// are moved in two overlapping fixed-size pieces, without a library call; longer runs go to
// memcpy. Reads and writes exactly n bytes.
inline void CopyBytes(char* out, const char* in, size_t n) {
  if (n > 32) {
    std::memcpy(out, in, n);
  } else if (n >= 16) {
    char head[16], tail[16];
    std::memcpy(head, in, 16);
    std::memcpy(tail, in + n - 16, 16);
    std::memcpy(out, head, 16);
    std::memcpy(out + n - 16, tail, 16);
  } else if (n >= 8) {
    char head[8], tail[8];
    std::memcpy(head, in, 8);
    std::memcpy(tail, in + n - 8, 8);
    std::memcpy(out, head, 8);
    std::memcpy(out + n - 8, tail, 8);
  } else if (n >= 4) {
    char head[4], tail[4];
    std::memcpy(head, in, 4);
    std::memcpy(tail, in + n - 4, 4);
    std::memcpy(out, head, 4);
    std::memcpy(out + n - 4, tail, 4);
  } else if (n != 0) {
    const char first = in[0], middle = in[n / 2], last = in[n - 1];
    out[0] = first;
    out[n / 2] = middle;
    out[n - 1] = last;
  }
}

class ByteBuffer {
 public:
  static constexpr size_t kInlineCapacity = 1024;

  // Grows with memory from allocator, which outlives the buffer.
  explicit ByteBuffer(Allocator* allocator) : allocator_(allocator) {}
  ~ByteBuffer();
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  const char* data() const { return data_; }
  char* data() { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::string_view view() const { return std::string_view(data_, size_); }
  char back() const { return data_[size_ - 1]; }

  void Clear() { size_ = 0; }

  // Makes room for at least extra more bytes; false when memory can't be had.
  bool Reserve(size_t extra) {
    return capacity_ - size_ >= extra || Grow(extra);
  }
  bool PushBack(char c) {
    if (size_ == capacity_ && !Grow(1)) return false;
    data_[size_++] = c;
    return true;
  }
  bool Append(const char* bytes, size_t n) {
    if (!Reserve(n)) return false;
    CopyBytes(data_ + size_, bytes, n);
    size_ += n;
    return true;
  }
  bool Append(std::string_view text) { return Append(text.data(), text.size()); }

  // Writable room after the current end, for callers that format in place: Reserve first
  // (or check room()), write at end(), then Commit the count written.
  size_t room() const { return capacity_ - size_; }
  char* end() { return data_ + size_; }
  void Commit(size_t n) { size_ += n; }

 private:
  bool Grow(size_t extra);

  Allocator* const allocator_;
  char inline_[kInlineCapacity];
  char* data_ = inline_;
  size_t size_ = 0;
  size_t capacity_ = kInlineCapacity;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_BYTE_BUFFER_H_
