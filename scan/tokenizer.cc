// NextToken: cuts the input into tokens. A token ends at white space (space, tab, line feed),
// before a '<', after a '>', or after a quoted run, which drops its opening quote and keeps
// its closing one.
#include "driver/converter.h"

namespace tsm2ostra {
namespace {

inline bool IsWhiteSpace(char c) { return c == ' ' || c == '\n' || c == '\t'; }

}  // namespace

ResultCode Converter::NextToken() {
  char c;
  do {
    if (pushed_back_) {
      pushed_back_ = false;
      c = '<';
    } else {
      ResultCode r = source_->Take(&c);
      if (r != ResultCode::Ok) return r;  // the previous token stays in the buffer
    }
  } while (IsWhiteSpace(c));

  token_.Clear();
  for (;;) {
    if (IsWhiteSpace(c)) return ResultCode::Ok;
    if (c == '<' && !token_.empty()) {
      pushed_back_ = true;
      return ResultCode::Ok;
    }
    if (c == '"') break;
    if (token_.size() == kMaxTokenBytes) return ResultCode::InvalidInput;
    if (!token_.PushBack(c)) return ResultCode::OutOfMemory;
    if (c == '>') return ResultCode::Ok;
    ResultCode r = source_->Take(&c);
    if (r != ResultCode::Ok) return r;
  }

  // Quoted run: everything up to and including the closing quote belongs to the token.
  do {
    ResultCode r = source_->Take(&c);
    if (r != ResultCode::Ok) return r;
    if (token_.size() == kMaxTokenBytes) return ResultCode::InvalidInput;
    if (!token_.PushBack(c)) return ResultCode::OutOfMemory;
  } while (c != '"');
  return ResultCode::Ok;
}

}  // namespace tsm2ostra
