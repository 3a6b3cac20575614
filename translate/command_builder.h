// Builds one command's text in a reusable buffer, without printf: words, integers, object
// names and two-decimal numbers.
#ifndef TSM2OSTRA_TRANSLATE_COMMAND_BUILDER_H_
#define TSM2OSTRA_TRANSLATE_COMMAND_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "scan/byte_buffer.h"
#include "translate/fixed2_format.h"

namespace tsm2ostra {

namespace command_detail {

struct DigitPairs {
  char c[200];
  constexpr DigitPairs() : c() {
    for (int i = 0; i < 100; ++i) {
      c[2 * i] = static_cast<char>('0' + i / 10);
      c[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};

// "00" "01" ... "99": digits go out two at a time.
inline constexpr DigitPairs kDigitPairs;

// Writes v in decimal, '-' first when negative; returns one past the last digit. The same
// text as FormatInt, without a detour through a scratch buffer. Needs kIntMaxLength bytes.
inline char* WriteInt(int64_t v, char* out) {
  uint64_t n = static_cast<uint64_t>(v);
  if (v < 0) {
    *out++ = '-';
    n = 0 - n;  // unsigned negate: fine for INT64_MIN
  }
  int length = 1;
  for (uint64_t rest = n; rest >= 10; rest /= 10) ++length;
  char* const end = out + length;
  char* p = end;
  while (n >= 100) {
    const uint64_t pair = n % 100;
    n /= 100;
    p -= 2;
    p[0] = kDigitPairs.c[2 * pair];
    p[1] = kDigitPairs.c[2 * pair + 1];
  }
  if (n >= 10) {
    p[-2] = kDigitPairs.c[2 * n];
    p[-1] = kDigitPairs.c[2 * n + 1];
  } else {
    p[-1] = static_cast<char>('0' + n);
  }
  return end;
}

}  // namespace command_detail

// Writes straight into the line buffer's free room through a raw pointer; the buffer is
// asked to grow (with the same requests, in the same order, as appending piece by piece)
// only when a piece does not fit.
class CommandBuilder {
 public:
  // Starts a new command in line, dropping what it held.
  explicit CommandBuilder(ByteBuffer* line) : line_(line) {
    line_->Clear();
    at_ = line_->end();
    limit_ = at_ + line_->room();
  }

  // A zero-terminated text, in practice a literal: the compiler then knows its length, and
  // the copy is a few fixed moves.
  template <size_t N>
  CommandBuilder& Text(const char (&literal)[N]) {
    const size_t n = std::char_traits<char>::length(literal);
    if (Room(n)) {
      std::memcpy(at_, literal, n);
      at_ += n;
    }
    return *this;
  }
  CommandBuilder& Text(std::string_view text) {
    if (Room(text.size())) {
      CopyBytes(at_, text.data(), text.size());
      at_ += text.size();
    }
    return *this;
  }
  CommandBuilder& Int(int64_t value) {
    if (Room(kIntMaxLength)) at_ = command_detail::WriteInt(value, at_);
    return *this;
  }
  // A number with two decimals, an exact half (on 17 significant digits) away from zero.
  CommandBuilder& Fixed2(double value) {
    if (Room(kFixed2MaxLength)) at_ = FormatFixed2(value, at_);
    return *this;
  }
  // "P<g>_<i>" and the like: a prefix, the geometry number, '_', a number.
  CommandBuilder& Name(char prefix, int64_t geometry, int64_t number) {
    if (Room(2 + 2 * kIntMaxLength)) {
      *at_++ = prefix;
      at_ = command_detail::WriteInt(geometry, at_);
      *at_++ = '_';
      at_ = command_detail::WriteInt(number, at_);
    }
    return *this;
  }
  // "M<g>_<a>_<g>_<b>": the midpoint of the line from point a to point b.
  CommandBuilder& Midpoint(int64_t geometry, int64_t a, int64_t b) {
    return Name('M', geometry, a).Text("_").Int(geometry).Text("_").Int(b);
  }
  // "P<g>_label": the anchor where a face's label is written.
  CommandBuilder& LabelAnchor(int64_t geometry) {
    return Text("P").Int(geometry).Text("_label");
  }
  // "{label}": the label as read, nothing escaped.
  CommandBuilder& Braced(std::string_view label) { return Text("{").Text(label).Text("}"); }

  // False when the buffer could not grow for some part.
  bool ok() const { return ok_; }
  std::string_view text() const {
    return ok_ ? std::string_view(line_->data(), static_cast<size_t>(at_ - line_->data()))
               : std::string_view();
  }

 private:
  // True when n more bytes fit at at_, growing the buffer if need be; false once growing
  // has failed.
  bool Room(size_t n) { return static_cast<size_t>(limit_ - at_) >= n || Grow(n); }
  bool Grow(size_t n) {
    if (!ok_) return false;
    line_->Commit(static_cast<size_t>(at_ - line_->end()));
    ok_ = line_->Reserve(n);
    at_ = line_->end();
    limit_ = ok_ ? at_ + line_->room() : at_;
    return ok_;
  }

  ByteBuffer* line_;
  char* at_;     // where the next piece goes
  char* limit_;  // end of the room the buffer has now
  bool ok_ = true;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_COMMAND_BUILDER_H_
