// Growth of ByteBuffer beyond its inline storage.
#include "scan/byte_buffer.h"

namespace tsm2ostra {

ByteBuffer::~ByteBuffer() {
  if (data_ != inline_) allocator_->Release(data_);
}

bool ByteBuffer::Grow(size_t extra) {
  if (extra > static_cast<size_t>(-1) / 2 - size_) return false;
  size_t wanted = size_ + extra;
  size_t capacity = capacity_ * 2;
  if (capacity < wanted) capacity = wanted;
  char* grown;
  if (data_ == inline_) {
    grown = static_cast<char*>(allocator_->Allocate(capacity));
    if (grown == nullptr) return false;
    if (size_ != 0) std::memcpy(grown, data_, size_);
  } else {
    grown = static_cast<char*>(allocator_->Reallocate(data_, size_, capacity));
    if (grown == nullptr) return false;
  }
  data_ = grown;
  capacity_ = capacity;
  return true;
}

}  // namespace tsm2ostra
