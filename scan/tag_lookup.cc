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
    // The start tag is a token, which is never empty.
    closing_tag_.Clear();
    if (!closing_tag_.Reserve(token_.size() + 2)) return ResultCode::OutOfMemory;
    closing_tag_.Append("</");
    closing_tag_.Append(token_.substr(1));
    if (token_.back() != '>') closing_tag_.PushBack('>');
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
  // The token stays the keyword that started the skip, whatever the window does meanwhile;
  // a keyword always fits the token buffer's own room.
  KeepToken();
  char c;
  do {
    if (source_->Take(&c) != ResultCode::Ok) return ResultCode::InvalidInput;
  } while (c != '>');
  return ResultCode::Ok;
}

ResultCode Scanner::SkipRawThroughEmptyElementEnd() {
  KeepToken();
  char c;
  for (;;) {
    if (source_->Take(&c) != ResultCode::Ok) return ResultCode::InvalidInput;
    if (c != '/') continue;
    if (source_->Take(&c) != ResultCode::Ok) return ResultCode::InvalidInput;
    if (c == '>') return ResultCode::Ok;
  }
}

}  // namespace tsm2ostra
