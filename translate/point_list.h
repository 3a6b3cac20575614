// The points of the current geometry, in reading order, with drawing coordinates, colour and
// label.
#ifndef TSM2OSTRA_TRANSLATE_POINT_LIST_H_
#define TSM2OSTRA_TRANSLATE_POINT_LIST_H_

#include <cstdint>
#include <string_view>

#include "translate/record_arena.h"

namespace tsm2ostra {

// One point; its label's bytes follow the entry in the same record.
struct PointEntry {
  double x;
  double y;
  int32_t label_size;  // -1: no label
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
};

class PointList {
 public:
  using Position = RecordArena::Position;

  explicit PointList(Allocator* allocator) : arena_(allocator) {}
  virtual ~PointList() = default;

  // Adds a point without label at the tail; false without memory (nothing changes then).
  bool Append(double x, double y, uint8_t r, uint8_t g, uint8_t b);
  // Gives the tail point (there must be one) a copy of text as its label; false without
  // memory.
  bool SetLastLabel(std::string_view text);

  // The list's own cursor: Rewind sets it to the first point, Advance moves it on
  // (none after the last; with none it stays none).
  PointEntry* Rewind() { return cursor_ = First(&cursor_at_); }
  PointEntry* Advance() { return cursor_ = cursor_ == nullptr ? nullptr : Next(&cursor_at_); }
  // True while the cursor is at a point.
  bool has_current() const { return cursor_ != nullptr; }
  // Colours the point at the cursor; without one, nothing happens.
  void SetCurrentColor(uint8_t r, uint8_t g, uint8_t b);

  // Independent walks, for readers that keep their own place.
  PointEntry* First(Position* at) const { return static_cast<PointEntry*>(arena_.First(at)); }
  PointEntry* Next(Position* at) const;

  // How many points the list holds.
  int64_t size() const { return count_; }
  // Forgets every point; their memory is kept for the next geometry.
  void Clear();

 private:
  RecordArena arena_;
  int64_t count_ = 0;
  Position cursor_at_;
  PointEntry* cursor_ = nullptr;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_POINT_LIST_H_
