// Heap allocation that reports failure as a null pointer instead of throwing.
// Every allocation of the conversion goes through here, so tests can make the k-th one fail.
#ifndef TSM2OSTRA_SCAN_ALLOCATION_H_
#define TSM2OSTRA_SCAN_ALLOCATION_H_

#include <cstddef>
#include <cstdint>

namespace tsm2ostra {

// Returns size bytes of uninitialised memory, or nullptr when none can be had.
void* AllocateBytes(size_t size);
// Releases memory from AllocateBytes; nullptr is allowed.
void FreeBytes(void* memory);

// Large blocks for the entry lists: size bytes at an address aligned to kLargeBlockAlignment,
// which the system may back with large pages (fewer page faults and TLB misses); nullptr when
// none can be had. Counted and failed like AllocateBytes.
constexpr size_t kLargeBlockAlignment = 2 * 1024 * 1024;
void* AllocateLargeBlock(size_t size);
// Releases memory from AllocateLargeBlock; nullptr is allowed.
void FreeLargeBlock(void* memory);

// Test hook: makes the allocation with this 1-based index (counted from the call) fail,
// and every later one succeed; 0 switches failure injection off.
void FailAllocationNumber(uint64_t index);
// Test hook: how many allocations were attempted since the last FailAllocationNumber call.
uint64_t AllocationsAttempted();

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_ALLOCATION_H_
