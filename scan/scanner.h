// The Scanner: everything between the input's bytes and the parse steps. It cuts tokens where
// they lie in the source's window, classifies start tags, skips elements and reads numbers.
#ifndef TSM2OSTRA_SCAN_SCANNER_H_
#define TSM2OSTRA_SCAN_SCANNER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "scan/always_inline.h"
#include "scan/byte_buffer.h"
#include "scan/char_source.h"
#include "scan/result_code.h"
#include "scan/tag_table.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif


namespace tsm2ostra {

// Longest token, and longest attribute text of one start tag, that a conversion accepts.
constexpr size_t kMaxTokenBytes = 1024 * 1024;
constexpr size_t kMaxAttributeBytes = 1024 * 1024;

// True when the n bytes at a and at b are equal. Inline and without a library call: fixed-size
// loads that may overlap but never reach past the n bytes of either side.
inline bool SameBytes(const char* a, const char* b, size_t n) {
  if (n >= 8) {
    for (;;) {
      uint64_t x, y;
      std::memcpy(&x, a, 8);
      std::memcpy(&y, b, 8);
      if (x != y) return false;
      if (n <= 16) {
        std::memcpy(&x, a + n - 8, 8);
        std::memcpy(&y, b + n - 8, 8);
        return x == y;
      }
      a += 8;
      b += 8;
      n -= 8;
    }
  }
  if (n >= 4) {
    uint32_t x, y, u, v;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    std::memcpy(&u, a + n - 4, 4);
    std::memcpy(&v, b + n - 4, 4);
    return ((x ^ y) | (u ^ v)) == 0;
  }
  if (n == 0) return true;
  return a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1];
}

class Scanner {
 public:
  // The scanner's buffers grow with memory from allocator, which outlives it.
  explicit Scanner(Allocator* allocator)
      : token_buffer_(allocator), attributes_(allocator), closing_tag_(allocator) {}
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;

  // Reads from source, which is borrowed.
  void SetSource(CharSource* source) { source_ = source; }

  // Reads the next token: Ok with a complete token; EndOfInput when the input ended (inside
  // a token: the part read; before one: the previous token stays); a token over
  // kMaxTokenBytes is InvalidInput, as is a source with nothing to read from. A token ends
  // at white space, before a '<', after a '>', or after a quoted run, which drops its
  // opening quote and keeps its closing one.
  ResultCode NextToken();
  // The current token: a view into the source's window when it lies there whole, else a
  // copy. Valid until the next read.
  std::string_view token() const { return token_; }
  // Where the current token starts (a zero Place before the first token).
  Place token_place() const { return source_->marked_place(); }
  // What reading stopped at: while SkipElement runs, or after it failed, the start tag of the
  // element it skips (its first kNoteBytes bytes); otherwise the current token.
  static constexpr size_t kNoteBytes = 63;
  std::string_view stop_token() const {
    return skipping_ ? std::string_view(skipped_tag_, skipped_tag_size_) : token_;
  }
  Place stop_place() const { return skipping_ ? skipped_place_ : token_place(); }
  // The start tag of the element SkipElement skipped last, and where it starts.
  std::string_view skipped_tag() const { return {skipped_tag_, skipped_tag_size_}; }
  Place skipped_place() const { return skipped_place_; }
  // The start tag that LookupTag just classified as id, as written but without attributes
  // (for a known element, a view of the tag table), and where it starts: after attributes,
  // token() has moved on to the last of them.
  std::string_view StartTag(TagId id) const {
    if (id == TagId::UnknownTag) return token_;
    const std::string_view opening = OpeningTag(id);
    return TokenIs(opening) ? opening : opening.substr(0, opening.size() - 1);
  }
  Place StartTagPlace(TagId id) const {
    return id == TagId::UnknownTag || TokenIs(OpeningTag(id)) ? token_place()
                                                              : attributed_tag_place_;
  }
  // True when the last NextToken that met the end of the input met it inside a token.
  bool token_cut() const { return token_cut_; }
  // True when token() is exactly text; the length is compared first.
  bool TokenIs(std::string_view text) const {
    return token_.size() == text.size() && SameBytes(token_.data(), text.data(), text.size());
  }

  // Classifies the start-tag token held in token(). For a tag with attributes, collects the
  // attribute tokens into attributes(), joined, through the first one that ends in '>'.
  // Only an oversized attribute text or a failure other than the end of input is not Ok.
  ResultCode LookupTag(TagId* id) {
    attributes_.Clear();
    bool has_attributes;
    *id = ClassifyStartTag(token_, &has_attributes);
    return has_attributes ? CollectAttributes() : ResultCode::Ok;
  }
  std::string_view attributes() const { return attributes_.view(); }

  // Reads tokens through the first one equal to the closing tag of the element that
  // LookupTag just classified as id: the table's closing tag for a known element; for
  // UnknownTag, "</", the start tag (still token()) without its first character, and '>'
  // unless it ends in one. No nesting count. InvalidInput when the input ends first; the
  // start tag (for a known element, without the attributes) is then what stop_token() tells.
  ResultCode SkipElement(TagId id);

  // Reads raw bytes, past the tokenizer, through the next '>'; InvalidInput if the input
  // ends first, ReadFailed if reading fails. The token stays the one that started the skip.
  ResultCode SkipRawThroughTagEnd();
  // Reads raw bytes through a '/' directly followed by '>'; the byte after a '/' is only
  // compared with '>', never taken as a new '/'. Ends like SkipRawThroughTagEnd.
  ResultCode SkipRawThroughEmptyElementEnd();

  // Reads a token and parses it as a number; InvalidInput unless both succeed.
  ResultCode ReadNumber(double* out);
  // The same result as ReadNumber, for a number whose value is not used.
  ResultCode CheckNumber();

 private:
  // NextToken for everything its quick part leaves: a token that crosses the window's end
  // or starts after it, a quoted run, a held '<' that is not in the window.
  ResultCode NextTokenSlow();
  // Copies a token that is a view into the token buffer, before the window may move on.
  bool KeepToken();
  ResultCode CollectAttributes();

  CharSource* source_ = nullptr;
  std::string_view token_;
  ByteBuffer token_buffer_;
  ByteBuffer attributes_;
  ByteBuffer closing_tag_;
  // A '<' that ended a token and starts the next one; it was delivered with the token
  // before it.
  bool pushed_back_ = false;
  bool token_cut_ = false;
  // Where the last start tag whose attributes were collected starts.
  Place attributed_tag_place_;
  // The start tag of the element SkipElement skips, while it runs or after it failed.
  bool skipping_ = false;
  size_t skipped_tag_size_ = 0;
  Place skipped_place_;
  char skipped_tag_[kNoteBytes];
};

namespace scan_detail {

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
inline constexpr ByteClasses kClasses;

inline bool IsWhiteSpace(unsigned char c) { return kClasses.of[c] == 1; }

#if defined(__SSE2__)
// The sixteen bytes at p, one bit each: white space, and the bytes that end an unquoted run
// (white space, '<', '>', '"').
struct Classes16 {
  unsigned space;
  unsigned run_end;
};

TSM2OSTRA_ALWAYS_INLINE Classes16 Classify16(const unsigned char* p) {
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
TSM2OSTRA_ALWAYS_INLINE const unsigned char* FindRunEnd(const unsigned char* p,
                                                        const unsigned char* stop) {
#if defined(__SSE2__)
  for (; stop - p >= 16; p += 16) {
    const unsigned ends = Classify16(p).run_end;
    if (ends != 0) return p + __builtin_ctz(ends);
  }
#endif
  while (p != stop && kClasses.of[*p] == 0) ++p;
  return p;
}

}  // namespace scan_detail

// The usual token in one pass: unquoted, and lying whole in the window together with the
// byte that ends it. Nothing changes until the token is known whole; anything else goes to
// NextTokenSlow, which starts over from the same place.
TSM2OSTRA_ALWAYS_INLINE ResultCode Scanner::NextToken() {
  CharSource* const source = source_;
  const unsigned char* const end = source->window_end();
  const unsigned char* start = source->window_begin();
  // The run after start holds no end before run_from; run_end is its end once known.
  const unsigned char* run_from = nullptr;
  const unsigned char* run_end = nullptr;
  const bool held = pushed_back_;
  if (held) {
    // The held '<' is the last byte delivered, so it stands right before the window unless
    // the window has moved on since.
    if (start == end || start == source->block_begin() || start[-1] != '<') {
      return NextTokenSlow();
    }
    --start;
    source->MarkLastDelivered(start);
  } else {
#if defined(__SSE2__)
    // The white space, and often the whole token, in one load.
    for (; end - start >= 16; start += 16) {
      const scan_detail::Classes16 c = scan_detail::Classify16(start);
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
      while (start != end && scan_detail::IsWhiteSpace(*start)) ++start;
    }
    if (start == end || *start == '"') return NextTokenSlow();
  }
  const unsigned char* consumed = start + 1;
  size_t length = 1;  // a '>' alone is a token
  bool hold = false;
  if (*start != '>') {
    if (run_end == nullptr) {
      run_end = scan_detail::FindRunEnd(run_from != nullptr ? run_from : start + 1, end);
    }
    if (run_end == end || *run_end == '"') return NextTokenSlow();
    length = static_cast<size_t>(run_end - start) + (*run_end == '>');
    hold = *run_end == '<';
    consumed = run_end + 1;
  }
  token_ = std::string_view(reinterpret_cast<const char*>(start), length);
  pushed_back_ = hold;
  if (!held) source->Mark(start);
  source->DeliverWindow(consumed);
  return ResultCode::Ok;
}

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_SCANNER_H_
