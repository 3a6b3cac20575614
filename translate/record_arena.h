// Storage for the entries of one geometry: variable-size records packed into reused chunks.
// Clearing keeps the chunks, so geometry after geometry runs without new allocations.
#ifndef TSM2OSTRA_TRANSLATE_RECORD_ARENA_H_
#define TSM2OSTRA_TRANSLATE_RECORD_ARENA_H_

#include <cstddef>

#include "scan/allocation.h"

namespace tsm2ostra {

class RecordArena {
 public:
  // Where a walk stands: a record's chunk and offset.
  struct Position {
    struct Chunk* chunk = nullptr;
    size_t offset = 0;
  };

  static constexpr size_t kFirstChunkBytes = 64 * 1024;

  // Takes its chunks from allocator, which outlives the arena.
  explicit RecordArena(Allocator* allocator) : allocator_(allocator) {}
  ~RecordArena();
  RecordArena(const RecordArena&) = delete;
  RecordArena& operator=(const RecordArena&) = delete;

  // Starts a new record of size bytes (8-aligned) after the last one; nullptr without memory.
  void* Append(size_t size);
  // Adds n bytes to the end of the last record and returns them; the record may move, so
  // callers take it again from last(). nullptr without memory (the record is then unchanged).
  void* Extend(size_t n);
  // The last record, or nullptr.
  void* last() const { return last_; }
  bool empty() const { return last_ == nullptr; }

  // Walks the records in order; Next is told the size of the record it leaves.
  void* First(Position* at) const;
  void* Next(Position* at, size_t record_size) const;
  // The record a walk stands on, or nullptr after the last.
  static void* At(const Position& at);

  // Forgets every record; the chunks stay for reuse.
  void Clear();

 private:
  struct Chunk* NextChunkWithRoom(size_t size);
  struct Chunk* NewChunk(size_t total);

  Allocator* const allocator_;

  struct Chunk* head_ = nullptr;
  struct Chunk* current_ = nullptr;
  void* last_ = nullptr;
  size_t last_size_ = 0;
  // Bytes of the next chunk to be made, unless a record needs more.
  size_t next_chunk_bytes_ = kFirstChunkBytes;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_RECORD_ARENA_H_
