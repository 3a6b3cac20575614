// A conversion's memory: the C library's heap, or the caller's functions.
#include "scan/allocation.h"

#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tsm2ostra {

void* Allocator::Allocate(size_t size) {
  if (allocate_ != nullptr) return allocate_(context_, size);
  return ::operator new(size, std::nothrow);
}

void* Allocator::Reallocate(void* memory, size_t old_size, size_t new_size) {
  if (reallocate_ != nullptr) return reallocate_(context_, memory, old_size, new_size);
  void* moved = Allocate(new_size);
  if (moved == nullptr) return nullptr;
  std::memcpy(moved, memory, old_size < new_size ? old_size : new_size);
  Release(memory);
  return moved;
}

void Allocator::Release(void* memory) {
  if (memory == nullptr) return;
  if (release_ != nullptr) {
    release_(context_, memory);
  } else {
    ::operator delete(memory);
  }
}

void* Allocator::AllocateLargeBlock(size_t size) {
  if (allocate_ != nullptr) return allocate_(context_, size);
  void* memory = ::operator new(size, std::align_val_t(kLargeBlockAlignment), std::nothrow);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Only advice: where large pages are not to be had, the block works the same.
  if (memory != nullptr) ::madvise(memory, size, MADV_HUGEPAGE);
#endif
  return memory;
}

void Allocator::ReleaseLargeBlock(void* memory) {
  if (memory == nullptr) return;
  if (release_ != nullptr) {
    release_(context_, memory);
  } else {
    ::operator delete(memory, std::align_val_t(kLargeBlockAlignment));
  }
}

}  // namespace tsm2ostra
