// The elements the converter knows: their opening and closing tags, and start-tag
// classification.
#ifndef TSM2OSTRA_SCAN_TAG_TABLE_H_
#define TSM2OSTRA_SCAN_TAG_TABLE_H_

#include <string_view>

namespace tsm2ostra {

enum class TagId : int {
  TsmModel = 0,
  Meta = 1,
  Title = 2,
  Version = 3,
  Authors = 4,
  Description = 5,
  Geometries = 6,
  Geometry = 7,
  PointSet = 8,
  Points = 9,
  P = 10,
  Thickness = 11,
  Colors = 12,
  Color = 13,
  C = 14,
  VectorField = 15,
  Vectors = 16,
  V = 17,
  LineSet = 18,
  Lines = 19,
  L = 20,
  FaceSet = 21,
  Faces = 22,
  F = 23,
  UnknownTag = 24,
};

constexpr int kTagCount = 24;

struct TagPair {
  std::string_view opening;
  std::string_view closing;
};

// The 24 pairs, indexed by TagId. Defined here, so that a tag named by a constant is known,
// with its length, where it is compared.
inline constexpr TagPair kTagTable[kTagCount] = {
    {"<tsm-model>", "</tsm-model>"},
    {"<meta>", "</meta>"},
    {"<title>", "</title>"},
    {"<version>", "</version>"},
    {"<authors>", "</authors>"},
    {"<description>", "</description>"},
    {"<geometries>", "</geometries>"},
    {"<geometry>", "</geometry>"},
    {"<pointSet>", "</pointSet>"},
    {"<points>", "</points>"},
    {"<p>", "</p>"},
    {"<thickness>", "</thickness>"},
    {"<colors>", "</colors>"},
    {"<color>", "</color>"},
    {"<c>", "</c>"},
    {"<vectorField>", "</vectorField>"},
    {"<vectors>", "</vectors>"},
    {"<v>", "</v>"},
    {"<lineSet>", "</lineSet>"},
    {"<lines>", "</lines>"},
    {"<l>", "</l>"},
    {"<faceSet>", "</faceSet>"},
    {"<faces>", "</faces>"},
    {"<f>", "</f>"},
};

constexpr std::string_view ClosingTag(TagId id) {
  return kTagTable[static_cast<int>(id)].closing;
}
constexpr std::string_view OpeningTag(TagId id) {
  return kTagTable[static_cast<int>(id)].opening;
}

// The element whose name is the one letter c, or UnknownTag.
constexpr TagId OneLetterTag(char c) {
  switch (c) {
    case 'p': return TagId::P;
    case 'c': return TagId::C;
    case 'v': return TagId::V;
    case 'l': return TagId::L;
    case 'f': return TagId::F;
    default: return TagId::UnknownTag;
  }
}

// ClassifyStartTag for tokens other than "<x" and "<x>", so for names of other lengths.
TagId ClassifyOtherStartTag(std::string_view token, bool* has_attributes);

// Classifies a start-tag token. It names an entry when it equals the entry's opening tag
// exactly, or the opening tag without its final '>' (attributes or blanks follow): then
// *has_attributes is set, telling the caller to collect the attribute tokens.
// Case-sensitive; every other token is UnknownTag.
inline TagId ClassifyStartTag(std::string_view token, bool* has_attributes) {
  // The one-letter elements, by far the most frequent, without a call.
  const size_t n = token.size();
  if ((n == 2 || (n == 3 && token[2] == '>')) && token[0] == '<') {
    const TagId id = OneLetterTag(token[1]);
    *has_attributes = n == 2 && id != TagId::UnknownTag;
    return id;
  }
  return ClassifyOtherStartTag(token, has_attributes);
}

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_TAG_TABLE_H_
