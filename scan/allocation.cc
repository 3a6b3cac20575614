// Nothrow heap allocation with an injectable failure for tests.
#include "scan/allocation.h"

#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tsm2ostra {
namespace {
uint64_t g_attempted = 0;
uint64_t g_fail_at = 0;
}  // namespace

void* AllocateBytes(size_t size) {
  ++g_attempted;
  if (g_fail_at != 0 && g_attempted == g_fail_at) return nullptr;
  return ::operator new(size, std::nothrow);
}

void FreeBytes(void* memory) { ::operator delete(memory); }

void* AllocateLargeBlock(size_t size) {
  ++g_attempted;
  if (g_fail_at != 0 && g_attempted == g_fail_at) return nullptr;
  void* memory = ::operator new(size, std::align_val_t(kLargeBlockAlignment), std::nothrow);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Only advice: where large pages are not to be had, the block works the same.
  if (memory != nullptr) ::madvise(memory, size, MADV_HUGEPAGE);
#endif
  return memory;
}

void FreeLargeBlock(void* memory) {
  ::operator delete(memory, std::align_val_t(kLargeBlockAlignment));
}

void FailAllocationNumber(uint64_t index) {
  g_attempted = 0;
  g_fail_at = index;
}

uint64_t AllocationsAttempted() { return g_attempted; }

}  // namespace tsm2ostra
