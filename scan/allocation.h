// The memory of one conversion: every allocation of a conversion goes through its Allocator,
// which reports failure as a null pointer instead of throwing. A conversion's Allocator is
// its own, so that conversions on different threads share nothing.
#ifndef TSM2OSTRA_SCAN_ALLOCATION_H_
#define TSM2OSTRA_SCAN_ALLOCATION_H_

#include <cstddef>

namespace tsm2ostra {

// Large blocks for the entry lists, from the C library's heap: aligned to this, so that the
// system may back them with large pages (fewer page faults and TLB misses).
constexpr size_t kLargeBlockAlignment = 2 * 1024 * 1024;

class Allocator {
 public:
  using AllocateFunction = void* (*)(void* context, size_t size);
  using ReallocateFunction = void* (*)(void* context, void* memory, size_t old_size,
                                       size_t new_size);
  using ReleaseFunction = void (*)(void* context, void* memory);

  // The C library's heap.
  Allocator() = default;
  // The caller's functions; reallocate may be null.
  Allocator(AllocateFunction allocate, ReallocateFunction reallocate, ReleaseFunction release,
            void* context)
      : allocate_(allocate), reallocate_(reallocate), release_(release), context_(context) {}

  // size bytes of uninitialised memory, or nullptr when none can be had.
  void* Allocate(size_t size);
  // Moves old_size bytes at memory into a block of new_size bytes and releases memory;
  // nullptr (memory unchanged) when the new block can't be had.
  void* Reallocate(void* memory, size_t old_size, size_t new_size);
  // Releases memory from Allocate or Reallocate; nullptr is allowed.
  void Release(void* memory);

  // A block for the entry lists, aligned to kLargeBlockAlignment when it comes from the
  // heap; nullptr when none can be had.
  void* AllocateLargeBlock(size_t size);
  // Releases memory from AllocateLargeBlock; nullptr is allowed.
  void ReleaseLargeBlock(void* memory);

 private:
  AllocateFunction allocate_ = nullptr;
  ReallocateFunction reallocate_ = nullptr;
  ReleaseFunction release_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_ALLOCATION_H_
