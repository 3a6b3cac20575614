// NextToken: cuts the input into tokens. A token ends at white space (space, tab, line feed),
// before a '<', after a '>', or after a quoted run, which drops its opening quote and keeps
// its closing one.
#include <algorithm>
#include <atomic>
#include <cstring>

#include "driver/converter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__GNUC__)
#define TSM2OSTRA_NOINLINE __attribute__((noinline))
#else
#define TSM2OSTRA_NOINLINE
#endif

namespace tsm2ostra {
namespace {

// Byte classes: 1 white space; 2 a byte that ends or splits a token ('<', '>', '"');
// 0 an ordinary byte.
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

// The first byte in [p, stop) that ends an unquoted run (white space, '<', '>', '"'), or
// stop. Numbers and names are scanned sixteen bytes at a time where SSE2 is at hand.
inline const unsigned char* FindRunEnd(const unsigned char* p, const unsigned char* stop) {
#if defined(__SSE2__)
  while (stop - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Setting bit 1 maps '<' to '>' and ' ' to '"', and no other byte to either.
    const __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(2));
    const __m128i ends = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(folded, _mm_set1_epi8('>')),
                                                   _mm_cmpeq_epi8(folded, _mm_set1_epi8('"'))),
                                      _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')),
                                                   _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(ends));
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != stop && kClasses.of[*p] == 0) ++p;
  return p;
}

// Passes over white space in [p, end), counting line feeds; returns the first other byte's
// address, or end.
inline const unsigned char* SkipWhiteSpace(const unsigned char* p, const unsigned char* end,
                                           int64_t* line_feeds,
                                           const unsigned char** after_line_feed) {
  for (; p != end && IsWhiteSpace(*p); ++p) {
    if (*p == '\n') {
      ++*line_feeds;
      *after_line_feed = p + 1;
    }
  }
  return p;
}

}  // namespace

// Scans straight from the source's window: the source is told how far the scan got only
// when this returns or when the window runs dry (then Take fetches the next byte and
// refills it). Its counters therefore tell, whenever this returns, the same line, column
// and position as byte-by-byte reading would.
ResultCode Converter::NextToken() {
  // The general way, for everything the common case below leaves: the window runs dry, a
  // quoted run, a token that outgrows the buffer. Kept out of line, so that the common case
  // stays small.
  auto byte_by_byte = [this]() TSM2OSTRA_NOINLINE -> ResultCode {
    CharSource* const source = source_;
    const unsigned char* p = source->window_begin();
    const unsigned char* end = source->window_end();
    // Line feeds among the bytes scanned since the source was last told, and where the
    // bytes after the last of them start.
    int64_t line_feeds = 0;
    const unsigned char* after_line_feed = nullptr;
    auto deliver = [&] {
      source->DeliverWindow(p, line_feeds, after_line_feed);
      line_feeds = 0;
    };
    // The next byte: from the window, or through Take once the window is used up.
    unsigned char c;
    auto next = [&]() -> ResultCode {
      if (p != end) {
        c = *p++;
        if (c == '\n') {
          ++line_feeds;
          after_line_feed = p;
        }
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
      if (token_.size() == kMaxTokenBytes) {
        r = ResultCode::InvalidInput;
      } else if (!token_.PushBack(static_cast<char>(c))) {
        r = ResultCode::OutOfMemory;
      }
      if (r != ResultCode::Ok) deliver();
      return r;
    };

    if (pushed_back_) {
      pushed_back_ = false;
      c = '<';
    } else {
      do {
        p = SkipWhiteSpace(p, end, &line_feeds, &after_line_feed);
        ResultCode r = next();
        if (r != ResultCode::Ok) return r;  // the previous token stays in the buffer
      } while (IsWhiteSpace(c));
    }

    token_.Clear();
    for (;;) {
      if (IsWhiteSpace(c)) break;
      if (c == '<' && !token_.empty()) {
        pushed_back_ = true;
        break;
      }
      if (c == '"') {
        // Quoted run: everything up to and including the closing quote belongs to the token.
        for (;;) {
          const unsigned char* stop = end;
          const size_t room = std::min(token_.room(), kMaxTokenBytes - token_.size());
          if (static_cast<size_t>(stop - p) > room) stop = p + room;
          const unsigned char* const start = p;
          char* out = token_.end();
          for (; p != stop && *p != '"'; ++p) {
            if (*p == '\n') {
              ++line_feeds;
              after_line_feed = p + 1;
            }
            *out++ = static_cast<char>(*p);
          }
          token_.Commit(static_cast<size_t>(p - start));
          ResultCode r = next();
          if (r != ResultCode::Ok) return r;
          r = store();
          if (r != ResultCode::Ok) return r;
          if (c == '"') break;
        }
        break;
      }
      ResultCode stored = store();
      if (stored != ResultCode::Ok) return stored;
      if (c == '>') break;
      // A run of ordinary bytes, as far as the buffer has room and the length limit allows.
      const unsigned char* stop = end;
      const size_t room = std::min(token_.room(), kMaxTokenBytes - token_.size());
      if (static_cast<size_t>(stop - p) > room) stop = p + room;
      const unsigned char* const start = p;
      char* out = token_.end();
      while (p != stop && kClasses.of[*p] == 0) *out++ = static_cast<char>(*p++);
      token_.Commit(static_cast<size_t>(p - start));
      ResultCode r = next();
      if (r != ResultCode::Ok) return r;
    }
    deliver();
    return ResultCode::Ok;
  };

  // The common case in one pass: an unquoted token that, with the byte that ends it, lies
  // in the window (a held '<' just before it) and fits the buffer as it is. Anything else
  // goes the general way, which starts over from the same place: nothing is changed here
  // until the token is known whole.
  do {
    CharSource* const source = source_;
    const unsigned char* const end = source->window_end();
    const unsigned char* start = source->window_begin();
    int64_t line_feeds = 0;
    const unsigned char* after_line_feed = nullptr;
    if (pushed_back_) {
      // The held '<' was the last byte delivered, so it normally stands right before the
      // window; any '<' there will do, since the token is the same.
      if (start == end || start == source->block_begin() || start[-1] != '<') break;
      --start;
    } else {
      start = SkipWhiteSpace(start, end, &line_feeds, &after_line_feed);
      if (start == end || *start == '"') break;
    }
    const size_t room = std::min(token_.capacity(), kMaxTokenBytes);
    size_t length = 1;  // the first byte: '<', '>' or ordinary
    const unsigned char* consumed = start + 1;
    bool hold = false;
    if (*start != '>') {
      const unsigned char* stop = static_cast<size_t>(end - start) > room ? start + room : end;
      const unsigned char* const run_end = FindRunEnd(start + 1, stop);
      if (run_end == stop || *run_end == '"') break;
      length = static_cast<size_t>(run_end - start);
      consumed = run_end + 1;
      switch (*run_end) {
        case '>':
          ++length;
          break;
        case '<':
          hold = true;
          break;
        case '\n':
          ++line_feeds;
          after_line_feed = consumed;
          break;
        default:
          break;
      }
    }
    // The token is copied in wide pieces: later reads of it (comparisons, copies) can then
    // take their bytes straight from these stores.
    token_.Clear();
    char* const out = token_.end();
    if (length <= 32 && end - start >= 32) {
      std::memcpy(out, start, 32);
    } else {
      CopyBytes(out, reinterpret_cast<const char*>(start), length);
    }
    token_.Commit(length);
    pushed_back_ = hold;
    source->DeliverWindow(consumed, line_feeds, after_line_feed);
    return ResultCode::Ok;
  } while (false);
  return byte_by_byte();
}

namespace {
std::atomic<bool> lookahead_allowed{true};
}  // namespace

void Converter::AllowLookahead(bool allowed) { lookahead_allowed = allowed; }

int Converter::PeekElementRest(std::string_view closing_tag) {
  if (pushed_back_ || !lookahead_allowed.load(std::memory_order_relaxed)) return -1;
  const unsigned char* p = source_->window_begin();
  const unsigned char* const end = source_->window_end();
  // Tokens longer than this, rare in a simple element, go the general way; so does any
  // token that would not fit the token buffer as it is.
  const size_t longest = std::min<size_t>(token_.capacity(), 256);
  int64_t line_feeds = 0;
  const unsigned char* after_line_feed = nullptr;
  for (int n = 0;; ++n) {
    p = SkipWhiteSpace(p, end, &line_feeds, &after_line_feed);
    if (p == end) return -1;
    if (*p == '<') {
      // The closing tag, ended by its own '>'.
      if (static_cast<size_t>(end - p) < closing_tag.size() ||
          !SameBytes(reinterpret_cast<const char*>(p), closing_tag.data(), closing_tag.size())) {
        return -1;
      }
      peeked_[n] = PeekedToken{std::string_view(reinterpret_cast<const char*>(p),
                                                closing_tag.size()),
                               p + closing_tag.size(), line_feeds, after_line_feed, false};
      return n;
    }
    if (n == kMaxPeekedFields || kClasses.of[*p] != 0) return -1;  // '>' or '"' first
    const unsigned char* const stop =
        static_cast<size_t>(end - p) > longest ? p + longest : end;
    const unsigned char* const run_end = FindRunEnd(p + 1, stop);
    if (run_end == stop || *run_end == '>' || *run_end == '"') return -1;
    // The byte that ends the token is taken with it: white space, or a '<' that is held.
    if (*run_end == '\n') {
      ++line_feeds;
      after_line_feed = run_end + 1;
    }
    peeked_[n] = PeekedToken{std::string_view(reinterpret_cast<const char*>(p),
                                              static_cast<size_t>(run_end - p)),
                             run_end + 1, line_feeds, after_line_feed, *run_end == '<'};
    p = *run_end == '<' ? run_end : run_end + 1;
  }
}

void Converter::TakePeeked(int k) {
  const PeekedToken& taken = peeked_[k];
  token_.Clear();
  CopyBytes(token_.end(), taken.text.data(), taken.text.size());
  token_.Commit(taken.text.size());
  pushed_back_ = taken.holds_lt;
  source_->DeliverWindow(taken.end, taken.line_feeds, taken.after_line_feed);
}

}  // namespace tsm2ostra
