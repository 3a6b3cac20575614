// Reading a drawing from a file or from memory.
#include "preview/byte_source.h"

#include <cerrno>
#include <cstring>

namespace ostra2svg {

size_t FileByteSource::Read(char* buffer, size_t capacity) {
  if (failed_) return 0;
  errno = 0;
  const size_t n = std::fread(buffer, 1, capacity, file_);
  if (n == 0 && std::ferror(file_)) {
    failed_ = true;
    error_number_ = errno;
  }
  return n;
}

size_t MemoryByteSource::Read(char* buffer, size_t capacity) {
  size_t n = size_ - at_;
  if (n > capacity) n = capacity;
  if (chunk_ != 0 && n > chunk_) n = chunk_;
  if (n != 0) std::memcpy(buffer, data_ + at_, n);
  at_ += n;
  return n;
}

}  // namespace ostra2svg
