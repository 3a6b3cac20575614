// The tokenizer's general way, for the tokens that NextToken's quick part (scan/scanner.h)
// leaves: across the window's end, quoted runs and the length limit, byte by byte into the
// token buffer.
#include <algorithm>

#include "scan/scanner.h"

namespace tsm2ostra {

// A token that lies whole in the window never reaches the length limit.
static_assert(BlockCharSource::kBlockSize < kMaxTokenBytes, "the window must hold less");

bool Scanner::KeepToken() {
  if (token_.data() == token_buffer_.data()) return true;
  const std::string_view view = token_;
  token_buffer_.Clear();
  if (!token_buffer_.Append(view.data(), view.size())) return false;
  token_ = token_buffer_.view();
  return true;
}

// Scans straight from the source's window into the token buffer: the source is told how
// far the scan got only when this returns or when the window runs dry (then Take fetches
// the next byte and refills it), so that its counters tell, whenever this returns, the same
// line, column and position as byte-by-byte reading would.
ResultCode Scanner::NextTokenSlow() {
  // The window may move on: a token that lies in it must survive as the previous token.
  if (!KeepToken()) return ResultCode::OutOfMemory;
  CharSource* const source = source_;
  const unsigned char* p = source->window_begin();
  const unsigned char* end = source->window_end();
  auto deliver = [&] { source->DeliverWindow(p); };
  // The next byte: from the window, or through Take once the window is used up.
  unsigned char c;
  auto next = [&]() -> ResultCode {
    if (p != end) {
      c = *p++;
      return ResultCode::Ok;
    }
    deliver();
    char taken = 0;
    ResultCode r = source->Take(&taken);
    c = static_cast<unsigned char>(taken);
    p = source->window_begin();
    end = source->window_end();
    return r;
  };
  // Adds c to the token; a token that would pass kMaxTokenBytes is refused.
  auto store = [&]() -> ResultCode {
    ResultCode r = ResultCode::Ok;
    if (token_buffer_.size() == kMaxTokenBytes) {
      r = ResultCode::InvalidInput;
    } else if (!token_buffer_.PushBack(static_cast<char>(c))) {
      r = ResultCode::OutOfMemory;
    }
    if (r != ResultCode::Ok) deliver();
    return r;
  };
  // Where a bulk copy into the token must stop: the window's end, the buffer's room or the
  // length limit, whichever comes first.
  auto copy_stop = [&]() {
    const size_t room = std::min(token_buffer_.room(), kMaxTokenBytes - token_buffer_.size());
    return static_cast<size_t>(end - p) > room ? p + room : end;
  };
  // Ends the read with r, the token being what the buffer holds.
  auto finish = [&](ResultCode r) {
    token_ = token_buffer_.view();
    token_cut_ = r == ResultCode::EndOfInput;
    return r;
  };

  if (pushed_back_) {
    // The held '<' was the last byte delivered, on the line and column the counters tell.
    pushed_back_ = false;
    c = '<';
    source->MarkLastDeliveredPlace();
  } else {
    do {
      while (p != end && scan_detail::IsWhiteSpace(*p)) ++p;
      ResultCode r = next();
      if (r != ResultCode::Ok) {
        token_cut_ = false;
        return r;  // the previous token stays
      }
    } while (scan_detail::IsWhiteSpace(c));
    // The token's first byte lies in the window, or, from a source without one, was the last
    // byte delivered.
    if (p != nullptr) {
      source->Mark(p - 1);
    } else {
      source->MarkLastDeliveredPlace();
    }
  }

  token_buffer_.Clear();
  for (;;) {
    if (scan_detail::IsWhiteSpace(c)) break;
    if (c == '<' && !token_buffer_.empty()) {
      pushed_back_ = true;
      break;
    }
    if (c == '"') {
      // Quoted run: everything up to and including the closing quote belongs to the token.
      for (;;) {
        const unsigned char* const stop = copy_stop();
        const unsigned char* const start = p;
        char* out = token_buffer_.end();
        for (; p != stop && *p != '"'; ++p) *out++ = static_cast<char>(*p);
        token_buffer_.Commit(static_cast<size_t>(p - start));
        ResultCode r = next();
        if (r != ResultCode::Ok) return finish(r);
        r = store();
        if (r != ResultCode::Ok) return finish(r);
        if (c == '"') break;
      }
      break;
    }
    ResultCode stored = store();
    if (stored != ResultCode::Ok) return finish(stored);
    if (c == '>') break;
    // A run of ordinary bytes, as far as the buffer has room and the length limit allows.
    const unsigned char* const stop = copy_stop();
    const unsigned char* const start = p;
    char* out = token_buffer_.end();
    while (p != stop && scan_detail::kClasses.of[*p] == 0) *out++ = static_cast<char>(*p++);
    token_buffer_.Commit(static_cast<size_t>(p - start));
    ResultCode r = next();
    if (r != ResultCode::Ok) return finish(r);
  }
  deliver();
  return finish(ResultCode::Ok);
}

}  // namespace tsm2ostra
