// Attribute collection for LookupTag, SkipElement, and the raw skips past the tokenizer.
#include "scan/scanner.h"

namespace tsm2ostra {

ResultCode Scanner::CollectAttributes() {
  for (;;) {
    ResultCode r = NextToken();
    // At the end of the input collection just stops; the caller's next read meets it again.
    if (r == ResultCode::EndOfInput) return ResultCode::Ok;
    if (r != ResultCode::Ok) return r;
    if (!attributes_.Append(token_)) return ResultCode::OutOfMemory;
    if (attributes_.size() > kMaxAttributeBytes) return ResultCode::InvalidInput;
    if (token_.back() == '>') return ResultCode::Ok;
  }
}

ResultCode Scanner::SkipElement(TagId id) {
  std::string_view closing;
  if (id != TagId::UnknownTag) {
    // A known start tag is its opening tag, or that without the '>': the same closing tag.
    closing = ClosingTag(id);
  } else {
    const std::string_view start_tag = token_.empty() ? std::string_view("<") : token_;
    closing_tag_.Clear();
    const bool built = closing_tag_.Append("</") && closing_tag_.Append(start_tag.substr(1)) &&
                       (start_tag.back() == '>' || closing_tag_.PushBack('>'));
    if (!built) return ResultCode::OutOfMemory;
    closing = closing_tag_.view();
  }
  for (;;) {
    ResultCode r = NextToken();
    if (r == ResultCode::EndOfInput) return ResultCode::InvalidInput;
    if (r != ResultCode::Ok) return r;
    if (TokenIs(closing)) return ResultCode::Ok;
  }
}

ResultCode Scanner::SkipRawThroughTagEnd() {
  // The token stays the keyword that started the skip, whatever the window does meanwhile.
  if (!KeepToken()) return ResultCode::OutOfMemory;
  char c;
  do {
    if (source_->Take(&c) != ResultCode::Ok) return ResultCode::InvalidInput;
  } while (c != '>');
  return ResultCode::Ok;
}

ResultCode Scanner::SkipRawThroughEmptyElementEnd() {
  if (!KeepToken()) return ResultCode::OutOfMemory;
  char c;
  for (;;) {
    if (source_->Take(&c) != ResultCode::Ok) return ResultCode::InvalidInput;
    if (c != '/') continue;
    if (source_->Take(&c) != ResultCode::Ok) return ResultCode::InvalidInput;
    if (c == '>') return ResultCode::Ok;
  }
}

}  // namespace tsm2ostra
