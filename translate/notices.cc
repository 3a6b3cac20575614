// The sentences of the notices, where each known element belongs, and the guess of the tag
// a mistyped one was meant to be.
#include "translate/notices.h"

#include <algorithm>
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
  static constexpr const char* kHomes[kTagCount] = {
      "at the top of the file", "inside <tsm-model>", "inside <tsm-model>",
      "inside <tsm-model>", "inside <tsm-model>", "inside <tsm-model>", "inside <tsm-model>",
      "inside <geometries>", "inside <geometry>", "inside <pointSet>", "inside <points>",
      "inside <pointSet>", "inside <pointSet> or <faceSet>", "nowhere", "inside <colors>",
      "inside <geometry>", "inside <vectorField>", "inside <vectors>", "inside <geometry>",
      "inside <lineSet>", "inside <lines>", "inside <geometry>", "inside <faceSet>",
      "inside <faces>"};
  return id == TagId::UnknownTag ? "nowhere" : kHomes[static_cast<int>(id)];
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

void AddNotKnown(Sentence* s, std::string_view tag, const char* then) {
  const TagId meant = MeantTag(NameIn(tag));
  s->Add(" is not a known element");
  if (meant != TagId::UnknownTag) {
    s->Add("; did you mean ", OpeningTag(meant), "? I", then);
  } else {
    s->Add(": i", then);
  }
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
  const bool ends = parent == TagId::TsmModel;
  if (id == TagId::UnknownTag) {
    s_.AddTag(tag);
    AddNotKnown(&s_, tag, ends ? "t ends the model's content here."
                             : "t and everything in it are skipped.");
    return Send(at, TSM2OSTRA_NOTICE_UNKNOWN_ELEMENT, tag);
  }
  s_.Add(OpeningTag(id), " inside ", OpeningTag(parent),
         ends ? " ends the model's content: " : " is skipped: ");
  if (id == TagId::Color) {
    s_.Add("a colour is written <c>, inside <colors>.");
  } else if (id == TagId::Colors && (parent == TagId::Points || parent == TagId::Faces)) {
    s_.Add("it belongs after </", NameOf(parent), ">, inside ",
           parent == TagId::Points ? "<pointSet>." : "<faceSet>.");
  } else {
    s_.Add("it belongs ", HomeOf(id), ".");
  }
  Send(at, TSM2OSTRA_NOTICE_MISPLACED_ELEMENT, tag);
}

void Notices::NothingToColor(Place at, std::string_view tag, bool faces, bool none) {
  const char* entries = faces ? "faces" : "points";
  s_.Add(faces ? "<c> colours no face: " : "<c> colours no point: ");
  if (none) {
    s_.Add("none comes before its <colors>; put <colors> after </", entries, ">.");
  } else {
    s_.Add("its <colors> has more entries than the geometry has ", entries, ".");
  }
  Send(at, TSM2OSTRA_NOTICE_NOTHING_TO_COLOR, tag);
}

void Notices::NoBasePoint(Place at, std::string_view tag, int64_t number, int64_t count) {
  if (count == 0) {
    s_.Add("<v> draws nothing: no point comes before its <vectorField>; put the "
           "<vectorField> after the <pointSet>.");
  } else {
    s_.Add("<v> draws nothing: it is vector ");
    s_.AddInt(number);
    s_.Add(", and the geometry has only ");
    s_.AddCount(count, " point");
    s_.Add(" to start vectors from.");
  }
  Send(at, TSM2OSTRA_NOTICE_NO_BASE_POINT, tag);
}

void Notices::UndefinedVertex(Place at, std::string_view tag, int64_t vertex,
                              const NamePiece& point, int64_t number, int64_t count) {
  s_.AddTag(tag);
  s_.Add(" uses vertex ");
  s_.AddInt(vertex);
  s_.Add(", but the geometry has ");
  s_.AddCount(count, " point");
  s_.Add(" by then");
  if (count > 1) {
    s_.Add(" (0 to ");
    s_.AddInt(count - 1);
    s_.Add(")");
  }
  s_.Add(": the drawing uses ", std::string_view(point.text, point.size));
  s_.AddInt(number);
  s_.Add(", which no command defines before it.");
  Send(at, TSM2OSTRA_NOTICE_UNDEFINED_VERTEX, tag);
}

}  // namespace tsm2ostra
