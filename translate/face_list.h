// The faces of the current geometry, in reading order, each with its colour, label and
// 1-based vertex numbers.
#ifndef TSM2OSTRA_TRANSLATE_FACE_LIST_H_
#define TSM2OSTRA_TRANSLATE_FACE_LIST_H_

#include <cstdint>
#include <string_view>

#include "translate/record_arena.h"

namespace tsm2ostra {

// One face; its label's bytes (padded to four) and then its vertex numbers follow the entry
// in the same record.
struct FaceEntry {
  int32_t label_size;  // -1: no label
  uint32_t vertex_count;
  uint8_t r;
  uint8_t g;
  uint8_t b;

  bool has_label() const { return label_size >= 0; }
  bool has_color() const { return (r | g | b) != 0; }
  std::string_view label() const {
    return has_label() ? std::string_view(reinterpret_cast<const char*>(this + 1),
                                          static_cast<size_t>(label_size))
                       : std::string_view();
  }
  const int32_t* vertices() const {
    return reinterpret_cast<const int32_t*>(reinterpret_cast<const char*>(this + 1) +
                                            LabelRoom());
  }
  size_t LabelRoom() const {
    return has_label() ? (static_cast<size_t>(label_size) + 3) & ~static_cast<size_t>(3) : 0;
  }
  size_t RecordSize() const { return sizeof(FaceEntry) + LabelRoom() + 4u * vertex_count; }
};

class FaceList {
 public:
  using Position = RecordArena::Position;

  explicit FaceList(Allocator* allocator) : arena_(allocator) {}
  virtual ~FaceList() = default;

  // The geometry number that names the corners when the faces are written.
  void SetGeometryNumber(int64_t n) { geometry_number_ = n; }
  int64_t geometry_number() const { return geometry_number_; }

  // Adds an empty face (no label, no colour, no vertices) at the tail; false without memory.
  bool Append();
  // Gives the tail face, which has no label or vertex numbers yet, a copy of text as its
  // label. False without memory.
  bool SetLastLabel(std::string_view text);
  // Adds a vertex number to the tail face (there must be one); false without memory.
  bool AppendVertex(int32_t n);

  FaceEntry* Rewind() { return cursor_ = First(&cursor_at_); }
  FaceEntry* Advance() { return cursor_ = cursor_ == nullptr ? nullptr : Next(&cursor_at_); }
  // True while the cursor is at a face.
  bool has_current() const { return cursor_ != nullptr; }
  // Colours the face at the cursor; without one, nothing happens.
  void SetCurrentColor(uint8_t r, uint8_t g, uint8_t b);

  // The face appended last (there must be one).
  const FaceEntry* last() const { return static_cast<const FaceEntry*>(arena_.last()); }
  FaceEntry* First(Position* at) const { return static_cast<FaceEntry*>(arena_.First(at)); }
  FaceEntry* Next(Position* at) const;

  // Forgets every face; their memory is kept for the next geometry.
  void Clear();

 private:
  int64_t geometry_number_ = 0;
  RecordArena arena_;
  Position cursor_at_;
  FaceEntry* cursor_ = nullptr;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_FACE_LIST_H_
