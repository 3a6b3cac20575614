// Turns the bytes of a label into the text of an XML element, whatever bytes it holds.
#ifndef OSTRA2SVG_PREVIEW_LABEL_TEXT_H_
#define OSTRA2SVG_PREVIEW_LABEL_TEXT_H_

#include <cstdint>
#include <string>

#include "preview/command_reader.h"

namespace ostra2svg {

// Appends each byte it is given to *out as XML text: &, <, >, " and ' as references,
// well-formed UTF-8 as it is, and in place of each byte that isn't UTF-8 (or of each
// incomplete sequence) and of each control character, U+FFFD. Also counts the characters
// written, so that the picture can leave room for the text.
class LabelText : public LabelSink {
 public:
  explicit LabelText(std::string* out) : out_(out) {}

  void Put(unsigned char byte) override;
  // Ends the text: a sequence still incomplete becomes U+FFFD.
  void Finish();
  uint64_t characters() const { return characters_; }

 private:
  void PutCharacter(uint32_t code_point);
  void PutReplacement();

  std::string* out_;
  uint64_t characters_ = 0;
  // The sequence being read: its code point so far, the bytes still to come, and the range
  // the next byte must lie in.
  uint32_t code_point_ = 0;
  int missing_ = 0;
  unsigned char low_ = 0x80;
  unsigned char high_ = 0xBF;
};

}  // namespace ostra2svg

#endif  // OSTRA2SVG_PREVIEW_LABEL_TEXT_H_
