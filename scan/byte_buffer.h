// A growable run of bytes with its length: tokens, attribute texts, command lines.
// The first 1024 bytes live inside the object, so the common case never allocates.
#ifndef TSM2OSTRA_SCAN_BYTE_BUFFER_H_
#define TSM2OSTRA_SCAN_BYTE_BUFFER_H_

#include <cstddef>
#include <cstring>
#include <string_view>

namespace tsm2ostra {

class ByteBuffer {
 public:
  static constexpr size_t kInlineCapacity = 1024;

  ByteBuffer() = default;
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
  // Drops bytes from the end; n must not exceed size().
  void Shrink(size_t n) { size_ -= n; }

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
    if (n != 0) std::memcpy(data_ + size_, bytes, n);
    size_ += n;
    return true;
  }
  bool Append(std::string_view text) { return Append(text.data(), text.size()); }
  bool Assign(std::string_view text) {
    Clear();
    return Append(text);
  }

  // Writable room after the current end, for callers that format in place: Reserve first,
  // write at end(), then Commit the count written.
  char* end() { return data_ + size_; }
  void Commit(size_t n) { size_ += n; }

 private:
  bool Grow(size_t extra);

  char inline_[kInlineCapacity];
  char* data_ = inline_;
  size_t size_ = 0;
  size_t capacity_ = kInlineCapacity;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_BYTE_BUFFER_H_
