// The object names of one geometry up to their last number ("P<g>_", "Q<g>_", "M<g>_", the
// "_<g>_" inside a midpoint's name) and its label anchor "P<g>_label", made once per geometry
// so that writing a name copies a piece and formats one number.
#ifndef TSM2OSTRA_TRANSLATE_GEOMETRY_NAMES_H_
#define TSM2OSTRA_TRANSLATE_GEOMETRY_NAMES_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "translate/fixed2_format.h"

namespace tsm2ostra {

// A piece of text of at most kRoom bytes, kept in kRoom bytes so that it is copied whole.
struct NamePiece {
  static constexpr size_t kRoom = 32;
  char text[kRoom];
  size_t size;
};

class GeometryNames {
 public:
  explicit GeometryNames(int64_t geometry = 0)
      : point_(Make('P', geometry, "_")),
        tip_(Make('Q', geometry, "_")),
        midpoint_(Make('M', geometry, "_")),
        between_(Make('_', geometry, "_")),
        label_anchor_(Make('P', geometry, "_label")) {}

  const NamePiece& point() const { return point_; }
  const NamePiece& tip() const { return tip_; }
  const NamePiece& midpoint() const { return midpoint_; }
  const NamePiece& between() const { return between_; }
  const NamePiece& label_anchor() const { return label_anchor_; }

 private:
  static NamePiece Make(char first, int64_t geometry, const char* last) {
    NamePiece piece = {};
    char* at = piece.text;
    *at++ = first;
    at = FormatInt(geometry, at);
    const size_t last_size = std::strlen(last);
    std::memcpy(at, last, last_size);
    piece.size = static_cast<size_t>(at - piece.text) + last_size;
    return piece;
  }
  static_assert(1 + kIntMaxLength + 6 <= NamePiece::kRoom, "a piece must fit its room");

  NamePiece point_;
  NamePiece tip_;
  NamePiece midpoint_;
  NamePiece between_;
  NamePiece label_anchor_;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_GEOMETRY_NAMES_H_
