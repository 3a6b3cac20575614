// Builds one command's text straight in the output's buffer, without printf: words, integers,
// object names and two-decimal numbers.
#ifndef TSM2OSTRA_TRANSLATE_COMMAND_BUILDER_H_
#define TSM2OSTRA_TRANSLATE_COMMAND_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "driver/converter.h"
#include "driver/output_stream.h"
#include "scan/always_inline.h"
#include "translate/fixed2_format.h"
#include "translate/geometry_names.h"

namespace tsm2ostra {

// Writes one command straight into the output's buffer, on a line of its own, through a raw
// pointer. Every piece of bounded length is written whole (the buffer keeps kLineSlack bytes
// spare behind its end for that) and the line is spilled once it passes the end.
class CommandBuilder {
 public:
  // Starts a new line in output; Finish ends it. Nothing else may write to output between.
  explicit CommandBuilder(OutputStream* output)
      : output_(output), at_(output->BeginLine()) {}

  // A zero-terminated text, in practice a literal: the compiler then knows its length, and
  // the copy is a few fixed moves.
  template <size_t N>
  CommandBuilder& Text(const char (&literal)[N]) {
    static_assert(N <= OutputStream::kLineSlack, "a literal piece must fit the slack");
    const size_t n = std::char_traits<char>::length(literal);
    std::memcpy(at_, literal, n);
    at_ += n;
    return Check();
  }
  // A text of any length.
  CommandBuilder& Text(std::string_view text) {
    at_ = output_->AppendToLine(at_, text.data(), text.size());
    return *this;
  }
  CommandBuilder& Int(int64_t value) {
    at_ = FormatInt(value, at_);
    return Check();
  }
  // A number with two decimals, an exact half (on 17 significant digits) away from zero.
  CommandBuilder& Fixed2(double value) {
    at_ = FormatFixed2(value, at_);
    return Check();
  }
  // A piece of an object name, such as "P<g>_".
  CommandBuilder& Piece(const NamePiece& piece) {
    std::memcpy(at_, piece.text, NamePiece::kRoom);
    at_ += piece.size;
    return Check();
  }
  // "P<g>_<i>" and the like: the name's piece for its geometry, then its number.
  TSM2OSTRA_ALWAYS_INLINE CommandBuilder& Name(const NamePiece& piece, int64_t number) {
    std::memcpy(at_, piece.text, NamePiece::kRoom);
    at_ = FormatInt(number, at_ + piece.size);
    return Check();
  }
  // "M<g>_<a>_<g>_<b>": the midpoint of the line from point a to point b.
  CommandBuilder& Midpoint(const GeometryNames& names, int64_t a, int64_t b) {
    return Name(names.midpoint(), a).Name(names.between(), b);
  }
  // "{label}": the label as read, nothing escaped.
  CommandBuilder& Braced(std::string_view label) { return Text("{").Text(label).Text("}"); }

  // Ends the line; false when the output has failed.
  bool Finish() const { return output_->EndLine(at_); }

 private:
  static_assert(kFixed2MaxLength <= OutputStream::kLineSlack &&
                    NamePiece::kRoom + kIntMaxLength <= OutputStream::kLineSlack,
                "every bounded piece must fit the slack");

  CommandBuilder& Check() {
    if (at_ > output_->line_end()) at_ = output_->SpillLine(at_);
    return *this;
  }

  OutputStream* output_;
  // Where the next piece goes. Pieces may pass the end of the output's buffer by the slack;
  // the end is asked for each time, as a spilled line may go on in another buffer.
  char* at_;
};

// Inline, as every command of the conversion ends here.
inline ResultCode Converter::WriteLine(const CommandBuilder& command) {
  return command.Finish() ? ResultCode::Ok : ResultCode::WriteFailed;
}

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_COMMAND_BUILDER_H_
