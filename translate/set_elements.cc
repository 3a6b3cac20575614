// What the set elements share: the loop over an element's children, its closing tag, the
// "<c>" colour element and the label step.
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

ResultCode Converter::TakeLabel(std::string_view* label, bool* labelled) {
  *labelled = FindLabel(attributes(), label);
  return !*labelled || BracesPairUp(*label) ? ResultCode::Ok : ResultCode::InvalidInput;
}

}  // namespace tsm2ostra
