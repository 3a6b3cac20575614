// FaceList records: a FaceEntry, its label bytes, then its vertex numbers.
#include "translate/face_list.h"

#include <cstring>

namespace tsm2ostra {

bool FaceList::Append() {
  void* memory = arena_.Append(sizeof(FaceEntry));
  if (memory == nullptr) return false;
  FaceEntry* face = static_cast<FaceEntry*>(memory);
  face->label_size = -1;
  face->vertex_count = 0;
  face->r = 0;
  face->g = 0;
  face->b = 0;
  return true;
}

bool FaceList::SetLastLabel(std::string_view text) {
  // Labels come from one start tag's attribute text, which is at most 1 MiB.
  if (text.size() > INT32_MAX - 3) return false;
  size_t room = (text.size() + 3) & ~static_cast<size_t>(3);
  void* bytes = arena_.Extend(room);
  if (bytes == nullptr) return false;
  if (!text.empty()) std::memcpy(bytes, text.data(), text.size());
  static_cast<FaceEntry*>(arena_.last())->label_size = static_cast<int32_t>(text.size());
  return true;
}

bool FaceList::AppendVertex(int32_t n) {
  if (static_cast<FaceEntry*>(arena_.last())->vertex_count == UINT32_MAX) return false;
  void* bytes = arena_.Extend(sizeof(int32_t));
  if (bytes == nullptr) return false;
  std::memcpy(bytes, &n, sizeof n);
  ++static_cast<FaceEntry*>(arena_.last())->vertex_count;
  return true;
}

void FaceList::SetCurrentColor(uint8_t r, uint8_t g, uint8_t b) {
  if (cursor_ == nullptr) return;
  cursor_->r = r;
  cursor_->g = g;
  cursor_->b = b;
}

FaceEntry* FaceList::Next(Position* at) const {
  const FaceEntry* face = static_cast<const FaceEntry*>(RecordArena::At(*at));
  if (face == nullptr) return nullptr;
  return static_cast<FaceEntry*>(arena_.Next(at, face->RecordSize()));
}

void FaceList::Clear() {
  arena_.Clear();
  cursor_ = nullptr;
  cursor_at_ = Position();
}

}  // namespace tsm2ostra
