// NextToken: cuts the input into tokens where they lie in the source's window, sixteen bytes
// at a time where SSE2 is at hand; tokens across the window's end, quoted runs and the length
// limit go the general way, byte by byte into the token buffer.
#include <algorithm>

#include "scan/scanner.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tsm2ostra {

namespace {

// Byte classes: 1 white space (space, tab, line feed); 2 a byte that ends or splits a token
// ('<', '>', '"'); 0 an ordinary byte.
struct ByteClasses {
  unsigned char of[256];
  constexpr ByteClasses() : of() {
    of[static_cast<unsigned char>(' ')] = 1;
    of[static_cast<unsigned char>('\n')] = 1;
    of[static_cast<unsigned char>('\t')] = 1;
    of[static_cast<unsigned char>('<')] = 2;
    of[static_cast<unsigned char>('>')] = 2;
    of[static_cast<unsigned char>('"')] = 2;
  }
};
constexpr ByteClasses kClasses;

inline bool IsWhiteSpace(unsigned char c) { return kClasses.of[c] == 1; }

#if defined(__SSE2__)
// The sixteen bytes at p, one bit each: white space, and the bytes that end an unquoted run
// (white space, '<', '>', '"').
struct Classes16 {
  unsigned space;
  unsigned run_end;
};

inline Classes16 Classify16(const unsigned char* p) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i space = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                                                  _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t'))),
                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n')));
  // Setting bit 1 maps '<' to '>', and no other byte but '>' itself.
  const __m128i angle = _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(2)), _mm_set1_epi8('>'));
  const __m128i quote = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'));
  return Classes16{static_cast<unsigned>(_mm_movemask_epi8(space)),
                   static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
                       space, _mm_or_si128(angle, quote))))};
}
#endif

// The first byte in [p, stop) that ends an unquoted run, or stop.
inline const unsigned char* FindRunEnd(const unsigned char* p, const unsigned char* stop) {
#if defined(__SSE2__)
  for (; stop - p >= 16; p += 16) {
    const unsigned ends = Classify16(p).run_end;
    if (ends != 0) return p + __builtin_ctz(ends);
  }
#endif
  while (p != stop && kClasses.of[*p] == 0) ++p;
  return p;
}

}  // namespace

// A token that lies whole in the window never reaches the length limit.
static_assert(BlockCharSource::kBlockSize < kMaxTokenBytes, "the window must hold less");

// The usual token in one pass: unquoted, and lying whole in the window together with the
// byte that ends it. Nothing changes until the token is known whole; anything else goes to
// NextTokenSlow, which starts over from the same place.
ResultCode Scanner::NextToken() {
  CharSource* const source = source_;
  const unsigned char* const end = source->window_end();
  const unsigned char* start = source->window_begin();
  // The run after start holds no end before run_from; run_end is its end once known.
  const unsigned char* run_from = nullptr;
  const unsigned char* run_end = nullptr;
  if (pushed_back_) {
    // The held '<' is the last byte delivered, so it stands right before the window unless
    // the window has moved on since.
    if (start == end || start == source->block_begin() || start[-1] != '<') {
      return NextTokenSlow();
    }
    --start;
  } else {
#if defined(__SSE2__)
    // The white space, and often the whole token, in one load.
    for (; end - start >= 16; start += 16) {
      const Classes16 c = Classify16(start);
      if (c.space == 0xFFFF) continue;
      const int k = __builtin_ctz(~c.space);
      const unsigned later_ends = c.run_end & ~((2u << k) - 1);
      if (later_ends != 0) {
        run_end = start + __builtin_ctz(later_ends);
      } else {
        run_from = start + 16;
      }
      start += k;
      break;
    }
#endif
    if (run_end == nullptr && run_from == nullptr) {
      while (start != end && IsWhiteSpace(*start)) ++start;
    }
    if (start == end || *start == '"') return NextTokenSlow();
  }
  const unsigned char* consumed = start + 1;
  size_t length = 1;  // a '>' alone is a token
  bool hold = false;
  if (*start != '>') {
    if (run_end == nullptr) run_end = FindRunEnd(run_from != nullptr ? run_from : start + 1, end);
    if (run_end == end || *run_end == '"') return NextTokenSlow();
    length = static_cast<size_t>(run_end - start) + (*run_end == '>');
    hold = *run_end == '<';
    consumed = run_end + 1;
  }
  token_ = std::string_view(reinterpret_cast<const char*>(start), length);
  pushed_back_ = hold;
  source->DeliverWindow(consumed);
  return ResultCode::Ok;
}

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
    pushed_back_ = false;
    c = '<';
  } else {
    do {
      while (p != end && IsWhiteSpace(*p)) ++p;
      ResultCode r = next();
      if (r != ResultCode::Ok) {
        token_cut_ = false;
        return r;  // the previous token stays
      }
    } while (IsWhiteSpace(c));
  }

  token_buffer_.Clear();
  for (;;) {
    if (IsWhiteSpace(c)) break;
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
    while (p != stop && kClasses.of[*p] == 0) *out++ = static_cast<char>(*p++);
    token_buffer_.Commit(static_cast<size_t>(p - start));
    ResultCode r = next();
    if (r != ResultCode::Ok) return finish(r);
  }
  deliver();
  return finish(ResultCode::Ok);
}

}  // namespace tsm2ostra
