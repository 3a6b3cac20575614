// Attribute collection for LookupTag, SkipElement, and the raw skips past the tokenizer.
#include <algorithm>

#include "scan/scanner.h"

namespace tsm2ostra {
namespace {

// A raw skip that the input's end cuts short breaks the format; a failed read stays one.
ResultCode RawSkipFailure(ResultCode r) {
  return r == ResultCode::ReadFailed ? r : ResultCode::InvalidInput;
}

}  // namespace

ResultCode Scanner::CollectAttributes() {
  attributed_tag_place_ = token_place();
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
  const std::string_view tag = StartTag(id);
  skipped_tag_size_ = std::min(tag.size(), kNoteBytes);
  std::memcpy(skipped_tag_, tag.data(), skipped_tag_size_);
  skipped_place_ = StartTagPlace(id);
  skipping_ = true;
  for (;;) {
    ResultCode r = NextToken();
    if (r == ResultCode::EndOfInput) return ResultCode::InvalidInput;
    if (r != ResultCode::Ok) return r;
    if (TokenIs(closing)) {
      skipping_ = false;
      return ResultCode::Ok;
    }
  }
}

ResultCode Scanner::SkipRawThroughTagEnd() {
  // The token stays the keyword that started the skip, whatever the window does meanwhile;
  // a keyword always fits the token buffer's own room.
  KeepToken();
  char c;
  do {
    ResultCode r = source_->Take(&c);
    if (r != ResultCode::Ok) return RawSkipFailure(r);
  } while (c != '>');
  return ResultCode::Ok;
}

ResultCode Scanner::SkipRawThroughEmptyElementEnd() {
  KeepToken();
  char c;
  for (;;) {
    ResultCode r = source_->Take(&c);
    if (r != ResultCode::Ok) return RawSkipFailure(r);
    if (c != '/') continue;
    r = source_->Take(&c);
    if (r != ResultCode::Ok) return RawSkipFailure(r);
    if (c == '>') return ResultCode::Ok;
  }
}

}  // namespace tsm2ostra
