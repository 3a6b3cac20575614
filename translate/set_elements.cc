// What the set elements share: the loop over an element's children, skipping a child, its
// closing tag, the "<c>" colour element, the label step and the vertex check.
#include "driver/converter.h"
#include "translate/color_component.h"
#include "translate/label.h"

namespace tsm2ostra {

ResultCode Converter::ParseChildren(TagId element, ChildStep step) {
  std::string_view closing = ClosingTag(element);
  for (;;) {
    ResultCode r = NextToken();
    if (IsHardFailure(r)) return r;
    // The text first: an end of input that leaves the closing tag in the buffer closes it.
    if (TokenIs(closing)) return ResultCode::Ok;
    if (r == ResultCode::EndOfInput) return ResultCode::EndOfInput;  // element still open
    TagId id;
    ResultCode looked = LookupTag(&id);
    if (looked != ResultCode::Ok) return looked;
    ResultCode child = (this->*step)(id);
    if (child != ResultCode::Ok) return child;
  }
}

ResultCode Converter::SkipChild(TagId child, TagId parent) {
  const ResultCode r = SkipElement(child);
  if (r == ResultCode::Ok && notices_.on() && !IsDocumentation(child)) {
    notices_.Skipped(skipped_place(), skipped_tag(), child, parent);
  }
  return r;
}

bool Converter::NoteUndefinedVertex(Place at, TagId element, int64_t number) {
  const int64_t count = points_.size();
  if (number >= 1 && number <= count) return false;
  notices_.UndefinedVertex(at, OpeningTag(element), number - 1, names_.point(), number, count);
  return true;
}

ResultCode Converter::ExpectClosingTag(TagId element) {
  ResultCode r = NextToken();
  if (IsHardFailure(r)) return r;
  return TokenIs(ClosingTag(element)) ? ResultCode::Ok : ResultCode::InvalidInput;
}

ResultCode Converter::ReadColorElement(uint8_t* r, uint8_t* g, uint8_t* b) {
  double red, green, blue;
  ResultCode result = ReadNumber(&red);
  if (result != ResultCode::Ok) return result;
  result = ReadNumber(&green);
  if (result != ResultCode::Ok) return result;
  result = ReadNumber(&blue);
  if (result != ResultCode::Ok) return result;
  // All three are read before any range is checked.
  if (!ToColorComponent(red, r) || !ToColorComponent(green, g) || !ToColorComponent(blue, b)) {
    return ResultCode::InvalidInput;
  }
  return ExpectClosingTag(TagId::C);
}

ResultCode Converter::ParseColorOfNothing(bool faces) {
  const Place at = StartTagPlace(TagId::C);
  const std::string_view tag = StartTag(TagId::C);
  uint8_t r, g, b;
  const ResultCode result = ReadColorElement(&r, &g, &b);
  RecordArena::Position first;
  const bool none = faces ? faces_.First(&first) == nullptr : points_.First(&first) == nullptr;
  if (result == ResultCode::Ok) notices_.NothingToColor(at, tag, faces, none);
  return result;
}

ResultCode Converter::TakeLabel(std::string_view* label, bool* labelled) {
  *labelled = FindLabel(attributes(), label);
  return !*labelled || BracesPairUp(*label) ? ResultCode::Ok : ResultCode::InvalidInput;
}

}  // namespace tsm2ostra
