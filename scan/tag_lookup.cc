// Attribute collection for LookupTag, the copy of a long start tag, and SkipElement.
#include "driver/converter.h"

namespace tsm2ostra {

ResultCode Converter::CollectAttributes() {
  for (;;) {
    ResultCode r = NextToken();
    // At the end of the input collection just stops; the caller's next read meets it again.
    if (r == ResultCode::EndOfInput) return ResultCode::Ok;
    if (r != ResultCode::Ok) return r;
    if (!attributes_.Append(token_.view())) return ResultCode::OutOfMemory;
    if (attributes_.size() > kMaxAttributeBytes) return ResultCode::InvalidInput;
    if (token_.back() == '>') return ResultCode::Ok;
  }
}

ResultCode Converter::CopyLongStartTag() {
  return start_tag_.Assign(token_.view()) ? ResultCode::Ok : ResultCode::OutOfMemory;
}

ResultCode Converter::SkipElement(std::string_view start_tag) {
  // No nesting count: the first token equal to the closing tag ends the skip.
  closing_tag_.Clear();
  if (start_tag.empty()) start_tag = "<";  // never from the loops, which copy real tokens
  bool built = closing_tag_.Append("</") && closing_tag_.Append(start_tag.substr(1)) &&
               (start_tag.back() == '>' || closing_tag_.PushBack('>'));
  if (!built) return ResultCode::OutOfMemory;
  for (;;) {
    ResultCode r = NextToken();
    if (r == ResultCode::EndOfInput) return ResultCode::InvalidInput;
    if (r != ResultCode::Ok) return r;
    if (TokenIs(closing_tag_.view())) return ResultCode::Ok;
  }
}

}  // namespace tsm2ostra
