// Chunk management of RecordArena.
#include "translate/record_arena.h"

#include <cstdint>
#include <cstring>

#include "scan/allocation.h"

namespace tsm2ostra {

struct Chunk {
  Chunk* next;
  size_t capacity;
  size_t used;
  alignas(8) unsigned char data[1];
};

namespace {

constexpr size_t kChunkSize = 64 * 1024;
constexpr size_t kMaxRecord = (SIZE_MAX >> 4) + 1;  // 2^60 bytes, or 2^28 on 32-bit systems

size_t RoundUp8(size_t n) { return (n + 7) & ~static_cast<size_t>(7); }

Chunk* NewChunk(size_t capacity) {
  void* memory = AllocateBytes(offsetof(Chunk, data) + capacity);
  if (memory == nullptr) return nullptr;
  Chunk* chunk = static_cast<Chunk*>(memory);
  chunk->next = nullptr;
  chunk->capacity = capacity;
  chunk->used = 0;
  return chunk;
}

}  // namespace

RecordArena::~RecordArena() {
  while (head_ != nullptr) {
    Chunk* next = head_->next;
    FreeBytes(head_);
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
  if (current_ == nullptr) {
    if (head_ != nullptr && head_->capacity >= size) return head_;
    Chunk* chunk = NewChunk(size > kChunkSize ? size * 2 : kChunkSize);
    if (chunk == nullptr) return nullptr;
    memory_ += chunk->capacity;
    chunk->next = head_;
    head_ = chunk;
    return chunk;
  }
  Chunk* following = current_->next;
  if (following != nullptr && following->capacity >= size) return following;
  Chunk* chunk = NewChunk(size > kChunkSize ? size * 2 : kChunkSize);
  if (chunk == nullptr) return nullptr;
  memory_ += chunk->capacity;
  chunk->next = following;
  current_->next = chunk;
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
