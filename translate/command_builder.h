// Builds one command's text in a reusable buffer, without printf: words, integers, object
// names and two-decimal numbers.
#ifndef TSM2OSTRA_TRANSLATE_COMMAND_BUILDER_H_
#define TSM2OSTRA_TRANSLATE_COMMAND_BUILDER_H_

#include <cstdint>
#include <string_view>

#include "scan/byte_buffer.h"
#include "translate/fixed2_format.h"

namespace tsm2ostra {

class CommandBuilder {
 public:
  // Starts a new command in line, dropping what it held.
  explicit CommandBuilder(ByteBuffer* line) : line_(line) { line_->Clear(); }

  CommandBuilder& Text(std::string_view text) {
    ok_ = ok_ && line_->Append(text);
    return *this;
  }
  CommandBuilder& Int(int64_t value) {
    if (ok_ && (ok_ = line_->Reserve(kIntMaxLength))) {
      line_->Commit(static_cast<size_t>(FormatInt(value, line_->end()) - line_->end()));
    }
    return *this;
  }
  // A number with two decimals, an exact half (on 17 significant digits) away from zero.
  CommandBuilder& Fixed2(double value) {
    if (ok_ && (ok_ = line_->Reserve(kFixed2MaxLength))) {
      line_->Commit(static_cast<size_t>(FormatFixed2(value, line_->end()) - line_->end()));
    }
    return *this;
  }
  // "P<g>_<i>" and the like: a prefix, the geometry number, '_', a number.
  CommandBuilder& Name(char prefix, int64_t geometry, int64_t number) {
    char head[1] = {prefix};
    return Text(std::string_view(head, 1)).Int(geometry).Text("_").Int(number);
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
  std::string_view text() const { return line_->view(); }

 private:
  ByteBuffer* line_;
  bool ok_ = true;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_COMMAND_BUILDER_H_
