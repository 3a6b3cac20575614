// Start-tag classification of tokens other than the one-letter tags: by name length, then a
// few comparisons.
#include "scan/tag_table.h"

namespace tsm2ostra {

namespace {

// The entry whose name (the opening tag without '<' and '>') is name, or UnknownTag.
// Names are told apart by length first, then by at most a few comparisons.
TagId FindName(std::string_view name) {
  auto is = [name](TagId id) {
    std::string_view opening = OpeningTag(id);
    return name == opening.substr(1, opening.size() - 2);
  };
  auto first_of = [&](std::initializer_list<TagId> candidates) {
    for (TagId id : candidates) {
      if (is(id)) return id;
    }
    return TagId::UnknownTag;
  };
  switch (name.size()) {
    case 4: return first_of({TagId::Meta});
    case 5: return first_of({TagId::Title, TagId::Color, TagId::Lines, TagId::Faces});
    case 6: return first_of({TagId::Points, TagId::Colors});
    case 7:
      return first_of(
          {TagId::Version, TagId::Authors, TagId::Vectors, TagId::LineSet, TagId::FaceSet});
    case 8: return first_of({TagId::Geometry, TagId::PointSet});
    case 9: return first_of({TagId::TsmModel, TagId::Thickness});
    case 10: return first_of({TagId::Geometries});
    case 11: return first_of({TagId::Description, TagId::VectorField});
    default: return TagId::UnknownTag;
  }
}

}  // namespace

TagId ClassifyOtherStartTag(std::string_view token, bool* has_attributes) {
  *has_attributes = false;
  if (token.size() < 2 || token[0] != '<') return TagId::UnknownTag;
  bool closed = token.back() == '>';
  std::string_view name = token.substr(1, token.size() - (closed ? 2 : 1));
  TagId id = FindName(name);
  if (id != TagId::UnknownTag) *has_attributes = !closed;
  return id;
}

}  // namespace tsm2ostra
