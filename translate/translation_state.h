// What the translation keeps from one element to the next: the geometry number, the current
// geometry's points and faces, and how far the vectors of a vector field have come.
#ifndef TSM2OSTRA_TRANSLATE_TRANSLATION_STATE_H_
#define TSM2OSTRA_TRANSLATE_TRANSLATION_STATE_H_

#include <cstdint>

#include "translate/face_list.h"
#include "translate/geometry_names.h"
#include "translate/notices.h"
#include "translate/point_list.h"

namespace tsm2ostra {

// Vectors pair up with the geometry's points in reading order: the k-th vector gets the
// number k and starts at the k-th point, or at none once the points are used up.
class VectorNumbering {
 public:
  void Start(const PointList& points) {
    number_ = 0;
    base_ = points.First(&base_at_);
  }
  // Numbers the next vector; returns its base point, or nullptr.
  const PointEntry* Take(const PointList& points) {
    ++number_;
    const PointEntry* base = base_;
    if (base != nullptr) base_ = points.Next(&base_at_);
    return base;
  }
  int64_t number() const { return number_; }

 private:
  int64_t number_ = 0;
  PointList::Position base_at_;
  const PointEntry* base_ = nullptr;
};

struct TranslationState {
  // The lists take their memory from allocator, which outlives them.
  explicit TranslationState(Allocator* allocator) : faces_(allocator), points_(allocator) {}

  // A root element was opened and not yet closed by its "</tsm-model>".
  bool root_open_ = false;
  // How many "<geometry>" elements have been entered: the number of the current one.
  int64_t geometry_number_ = 0;
  // The names of the current geometry's objects.
  GeometryNames names_;
  FaceList faces_;
  PointList points_;
  // The children of the current "<vectors>", and the "<v>" standing directly in the
  // current "<vectorField>", numbered on their own.
  VectorNumbering vectors_;
  VectorNumbering field_vectors_;
  // Where the skipped and undrawn parts are told, if anywhere.
  Notices notices_;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_TRANSLATION_STATE_H_
