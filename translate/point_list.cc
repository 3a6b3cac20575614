// PointList records: a PointEntry followed by its label bytes.
#include "translate/point_list.h"

#include <cstring>

namespace tsm2ostra {

bool PointList::Append(double x, double y, uint8_t r, uint8_t g, uint8_t b) {
  void* memory = arena_.Append(sizeof(PointEntry));
  if (memory == nullptr) return false;
  PointEntry* entry = static_cast<PointEntry*>(memory);
  entry->x = x;
  entry->y = y;
  entry->label_size = -1;
  entry->r = r;
  entry->g = g;
  entry->b = b;
  ++count_;
  return true;
}

bool PointList::SetLastLabel(std::string_view text) {
  // Labels come from one start tag's attribute text, which is at most 1 MiB.
  if (text.size() > INT32_MAX) return false;
  void* bytes = arena_.Extend(text.size());
  if (bytes == nullptr) return false;
  if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
  static_cast<PointEntry*>(arena_.last())->label_size = static_cast<int32_t>(text.size());
  return true;
}

void PointList::SetCurrentColor(uint8_t r, uint8_t g, uint8_t b) {
  if (cursor_ == nullptr) return;
  cursor_->r = r;
  cursor_->g = g;
  cursor_->b = b;
}

PointEntry* PointList::Next(Position* at) const {
  const PointEntry* entry = static_cast<const PointEntry*>(RecordArena::At(*at));
  if (entry == nullptr) return nullptr;
  size_t size = sizeof(PointEntry) + (entry->has_label() ? entry->label_size : 0);
  return static_cast<PointEntry*>(arena_.Next(at, size));
}

void PointList::Clear() {
  arena_.Clear();
  count_ = 0;
  cursor_ = nullptr;
  cursor_at_ = Position();
}

}  // namespace tsm2ostra
