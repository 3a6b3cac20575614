// The sentences of the notices, where each known element belongs, and the guess of the tag
// a mistyped one was meant to be.
#include "translate/notices.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "scan/scanner.h"

namespace tsm2ostra {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// One letter added, dropped or changed, or two neighbours swapped (letters compared
// without case).
bool OneSlipApart(std::string_view a, std::string_view b) {
  if (a.size() < b.size()) std::swap(a, b);
  if (a.size() - b.size() > 1) return false;
  size_t i = 0;
  while (i < b.size() && Lower(a[i]) == Lower(b[i])) ++i;
  if (a.size() != b.size()) return SameLetters(a.substr(i + 1), b.substr(i));
  if (i == a.size() || SameLetters(a.substr(i + 1), b.substr(i + 1))) return true;
  return i + 1 < a.size() && Lower(a[i]) == Lower(b[i + 1]) &&
         Lower(a[i + 1]) == Lower(b[i]) && SameLetters(a.substr(i + 2), b.substr(i + 2));
}

std::string_view NameOf(TagId id) {
  const std::string_view opening = OpeningTag(id);
  return opening.substr(1, opening.size() - 2);
}

// The element's name in a start tag as written: without '<', and '>' or "/>".
std::string_view NameIn(std::string_view tag) {
  if (!tag.empty() && tag.front() == '<') tag.remove_prefix(1);
  if (!tag.empty() && tag.back() == '>') tag.remove_suffix(1);
  if (!tag.empty() && tag.back() == '/') tag.remove_suffix(1);
  return tag;
}

}  // namespace

const char* HomeOf(TagId id) {
  switch (id) {
    case TagId::TsmModel: return "at the top of the file";
    case TagId::Geometries: return "inside <tsm-model>";
    case TagId::Geometry: return "inside <geometries>";
    case TagId::PointSet:
    case TagId::VectorField:
    case TagId::LineSet:
    case TagId::FaceSet: return "inside <geometry>";
    case TagId::Points:
    case TagId::Thickness: return "inside <pointSet>";
    case TagId::P: return "inside <points>";
    case TagId::Colors: return "inside <pointSet> or <faceSet>";
    case TagId::C: return "inside <colors>";
    case TagId::Vectors: return "inside <vectorField>";
    case TagId::V: return "inside <vectors>";
    case TagId::Lines: return "inside <lineSet>";
    case TagId::L: return "inside <lines>";
    case TagId::Faces: return "inside <faceSet>";
    case TagId::F: return "inside <faces>";
    default: return "elsewhere";
  }
}

TagId MeantTag(std::string_view name) {
  for (int i = 0; i < kTagCount; ++i) {
    if (SameLetters(name, NameOf(static_cast<TagId>(i)))) return static_cast<TagId>(i);
  }
  for (int i = 0; i < kTagCount; ++i) {
    const std::string_view known = NameOf(static_cast<TagId>(i));
    if (known.size() >= 4 && OneSlipApart(name, known)) return static_cast<TagId>(i);
  }
  return TagId::UnknownTag;
}

void Sentence::Add(std::string_view text) {
  const size_t room = sizeof text_ - 1 - size_;
  const size_t n = text.size() < room ? text.size() : room;
  std::memcpy(text_ + size_, text.data(), n);
  size_ += n;
  text_[size_] = '\0';
}

void Sentence::AddShown(std::string_view text) {
  constexpr size_t kShown = 40;
  for (size_t i = 0; i < text.size() && i < kShown; ++i) {
    const char c = text[i];
    Add(c >= ' ' && c <= '~' ? std::string_view(&c, 1) : "?");
  }
  if (text.size() > kShown) Add("...");
}

void Sentence::AddTag(std::string_view tag) {
  const bool element = !tag.empty() && tag.front() == '<';
  Add(element ? "" : "'");
  AddShown(tag);
  Add(!element ? "'" : tag.back() == '>' ? "" : ">");
}

void Sentence::AddInt(int64_t n) {
  char digits[24];
  char* end = FormatInt(n, digits);
  Add(std::string_view(digits, static_cast<size_t>(end - digits)));
}

void Sentence::AddNotKnown(std::string_view tag, const char* then) {
  const TagId meant = MeantTag(NameIn(tag));
  Add(" is not a known element");
  if (meant != TagId::UnknownTag) {
    Add("; did you mean ");
    Add(OpeningTag(meant));
    Add("? I");
  } else {
    Add(": i");
  }
  Add(then);
}

void Notices::Send(Place at, tsm2ostra_notice_kind kind, std::string_view tag) {
  tsm2ostra_notice notice;
  notice.line = static_cast<unsigned long>(at.line);
  notice.column = static_cast<unsigned long>(at.column);
  notice.kind = kind;
  notice.tag = tag.data();
  notice.tag_size = std::min(tag.size(), Scanner::kNoteBytes);
  notice.text = s_.text();
  function_(context_, &notice);
  s_.Clear();
}

void Notices::Skipped(Place at, std::string_view tag, TagId id, TagId parent) {
  if (id == TagId::UnknownTag) {
    s_.AddTag(tag);
    s_.AddNotKnown(tag, "t and everything in it are skipped.");
    Send(at, TSM2OSTRA_NOTICE_UNKNOWN_ELEMENT, tag);
    return;
  }
  s_.Add(OpeningTag(id));
  s_.Add(" inside ");
  s_.Add(OpeningTag(parent));
  s_.Add(" is skipped: ");
  if (id == TagId::Color) {
    s_.Add("a colour is written <c>, inside <colors>.");
  } else if (id == TagId::Colors && (parent == TagId::Points || parent == TagId::Faces)) {
    s_.Add(parent == TagId::Points ? "it belongs after </points>, inside <pointSet>."
                                : "it belongs after </faces>, inside <faceSet>.");
  } else {
    s_.Add("it belongs ");
    s_.Add(HomeOf(id));
    s_.Add(".");
  }
  Send(at, TSM2OSTRA_NOTICE_MISPLACED_ELEMENT, tag);
}

void Notices::EndsModel(Place at, std::string_view tag, TagId id) {
  if (id == TagId::UnknownTag) {
    s_.AddTag(tag);
    s_.AddNotKnown(tag, "t ends the model's content here.");
    Send(at, TSM2OSTRA_NOTICE_UNKNOWN_ELEMENT, tag);
    return;
  }
  s_.Add(OpeningTag(id));
  s_.Add(" inside <tsm-model> ends the model's content: it belongs ");
  s_.Add(HomeOf(id));
  s_.Add(".");
  Send(at, TSM2OSTRA_NOTICE_MISPLACED_ELEMENT, tag);
}

void Notices::NothingToColor(Place at, std::string_view tag, bool faces, int64_t count) {
  s_.Add(faces ? "<c> colours no face: " : "<c> colours no point: ");
  if (count == 0) {
    s_.Add(faces ? "none comes before its <colors>; put <colors> after </faces>."
              : "none comes before its <colors>; put <colors> after </points>.");
  } else {
    s_.Add("its <colors> has more entries than the geometry's ");
    s_.AddInt(count);
    s_.Add(faces ? (count == 1 ? " face." : " faces.") : (count == 1 ? " point." : " points."));
  }
  Send(at, TSM2OSTRA_NOTICE_NOTHING_TO_COLOR, tag);
}

void Notices::NoBasePoint(Place at, std::string_view tag, int64_t number, int64_t count) {
  s_.Add("<v> draws nothing: ");
  if (count == 0) {
    s_.Add("no point comes before its <vectorField>; put the <vectorField> after the "
        "<pointSet>.");
  } else {
    s_.Add("it is vector ");
    s_.AddInt(number);
    s_.Add(", and the geometry has only ");
    s_.AddInt(count);
    s_.Add(count == 1 ? " point to start vectors from." : " points to start vectors from.");
  }
  Send(at, TSM2OSTRA_NOTICE_NO_BASE_POINT, tag);
}

void Notices::UndefinedVertex(Place at, std::string_view tag, int64_t vertex,
                              const NamePiece& point, int64_t number, int64_t count) {
  s_.AddTag(tag);
  s_.Add(" uses vertex ");
  s_.AddInt(vertex);
  if (count == 0) {
    s_.Add(", but the geometry has no points by then");
  } else {
    s_.Add(", but the geometry has ");
    s_.AddInt(count);
    s_.Add(count == 1 ? " point by then (0)" : " points by then (0 to ");
    if (count > 1) {
      s_.AddInt(count - 1);
      s_.Add(")");
    }
  }
  s_.Add(": the drawing uses ");
  s_.Add(std::string_view(point.text, point.size));
  s_.AddInt(number);
  s_.Add(", which no command defines before it.");
  Send(at, TSM2OSTRA_NOTICE_UNDEFINED_VERTEX, tag);
}

}  // namespace tsm2ostra
