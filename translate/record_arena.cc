// Chunk management of RecordArena.
#include "translate/record_arena.h"

#include <cstdint>
#include <cstring>


namespace tsm2ostra {

struct Chunk {
  Chunk* next;
  size_t capacity;
  size_t used;
  bool large;  // from AllocateLargeBlock
  alignas(8) unsigned char data[1];
};

namespace {

// Chunks start small (kFirstChunkBytes), so that a small model stays small, and double up
// to the largest size as a geometry grows: few chunks, and for a huge geometry blocks that
// large pages can back, which saves most of the page faults of filling them.
constexpr size_t kLargestChunkBytes = 4 * 1024 * 1024;
constexpr size_t kMaxRecord = (SIZE_MAX >> 4) + 1;  // 2^60 bytes, or 2^28 on 32-bit systems

size_t RoundUp8(size_t n) { return (n + 7) & ~static_cast<size_t>(7); }

}  // namespace

// A chunk of total bytes, the header included; total is at least the header's size.
Chunk* RecordArena::NewChunk(size_t total) {
  const bool large = total >= kLargeBlockAlignment;
  void* memory = large ? allocator_->AllocateLargeBlock(total) : allocator_->Allocate(total);
  if (memory == nullptr) return nullptr;
  Chunk* chunk = static_cast<Chunk*>(memory);
  chunk->next = nullptr;
  chunk->capacity = total - offsetof(Chunk, data);
  chunk->used = 0;
  chunk->large = large;
  return chunk;
}

RecordArena::~RecordArena() {
  while (head_ != nullptr) {
    Chunk* next = head_->next;
    if (head_->large) {
      allocator_->ReleaseLargeBlock(head_);
    } else {
      allocator_->Release(head_);
    }
    head_ = next;
  }
}

void RecordArena::Clear() {
  for (Chunk* chunk = head_; chunk != nullptr; chunk = chunk->next) chunk->used = 0;
  current_ = head_;
  last_ = nullptr;
  last_size_ = 0;
}

// The chunk after the current one, made ready to take size bytes at its start: a kept chunk
// when it is large enough, else a new one linked in before it.
Chunk* RecordArena::NextChunkWithRoom(size_t size) {
  Chunk* const following = current_ == nullptr ? head_ : current_->next;
  if (following != nullptr && following->capacity >= size) return following;
  const size_t header = offsetof(Chunk, data);
  const size_t total = size > next_chunk_bytes_ - header ? 2 * (header + size) : next_chunk_bytes_;
  Chunk* chunk = NewChunk(total);
  if (chunk == nullptr) return nullptr;
  if (next_chunk_bytes_ < kLargestChunkBytes) next_chunk_bytes_ *= 2;
  chunk->next = following;
  if (current_ == nullptr) {
    head_ = chunk;
  } else {
    current_->next = chunk;
  }
  return chunk;
}

void* RecordArena::Append(size_t size) {
  if (size > kMaxRecord) return nullptr;
  size_t at = current_ == nullptr ? 0 : RoundUp8(current_->used);
  if (current_ == nullptr || current_->capacity < at || current_->capacity - at < size) {
    Chunk* chunk = NextChunkWithRoom(size);
    if (chunk == nullptr) return nullptr;
    current_ = chunk;
    at = 0;
  }
  last_ = current_->data + at;
  last_size_ = size;
  current_->used = at + size;
  return last_;
}

void* RecordArena::Extend(size_t n) {
  if (n > kMaxRecord - last_size_) return nullptr;
  if (current_->capacity - current_->used < n) {
    // Move the last record to a chunk with room for it and what it grows by.
    size_t wanted = last_size_ + n;
    Chunk* old_chunk = current_;
    Chunk* chunk = NextChunkWithRoom(wanted);
    if (chunk == nullptr) return nullptr;
    std::memcpy(chunk->data, last_, last_size_);
    old_chunk->used = static_cast<size_t>(static_cast<unsigned char*>(last_) - old_chunk->data);
    current_ = chunk;
    last_ = chunk->data;
    chunk->used = last_size_;
  }
  unsigned char* added = current_->data + current_->used;
  current_->used += n;
  last_size_ += n;
  return added;
}

void* RecordArena::At(const Position& at) {
  return at.chunk == nullptr ? nullptr : at.chunk->data + at.offset;
}

void* RecordArena::First(Position* at) const {
  for (Chunk* chunk = head_; chunk != nullptr; chunk = chunk->next) {
    if (chunk->used != 0) {
      at->chunk = chunk;
      at->offset = 0;
      return chunk->data;
    }
    if (chunk == current_) break;
  }
  at->chunk = nullptr;
  return nullptr;
}

void* RecordArena::Next(Position* at, size_t record_size) const {
  Chunk* chunk = at->chunk;
  if (chunk == nullptr) return nullptr;
  size_t offset = RoundUp8(at->offset + record_size);
  if (offset < chunk->used) {
    at->offset = offset;
    return chunk->data + offset;
  }
  while (chunk != current_) {
    chunk = chunk->next;
    if (chunk->used != 0) {
      at->chunk = chunk;
      at->offset = 0;
      return chunk->data;
    }
  }
  at->chunk = nullptr;
  return nullptr;
}

}  // namespace tsm2ostra
