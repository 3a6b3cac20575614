// UTF-8 decoding by the table of well-formed byte sequences, and XML escaping.
#include "preview/label_text.h"

namespace ostra2svg {

namespace {

// Characters that XML forbids or that would only confuse a reader of the picture: the C0
// and C1 controls, DEL, and the two non-characters that XML leaves out.
bool ShownAsReplacement(uint32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFFFE || c == 0xFFFF;
}

void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

void LabelText::PutReplacement() { PutCharacter(0xFFFD); }

void LabelText::PutCharacter(uint32_t c) {
  ++characters_;
  if (ShownAsReplacement(c)) c = 0xFFFD;
  switch (c) {
    case '&':
      out_->append("&amp;");
      break;
    case '<':
      out_->append("&lt;");
      break;
    case '>':
      out_->append("&gt;");
      break;
    case '"':
      out_->append("&quot;");
      break;
    case '\'':
      out_->append("&apos;");
      break;
    default:
      AppendUtf8(c, out_);
  }
}

void LabelText::Put(unsigned char b) {
  if (missing_ != 0) {
    if (b >= low_ && b <= high_) {
      code_point_ = (code_point_ << 6) | (b & 0x3Fu);
      low_ = 0x80;
      high_ = 0xBF;
      if (--missing_ == 0) PutCharacter(code_point_);
      return;
    }
    // The sequence broke off: one replacement for it, then b starts afresh.
    missing_ = 0;
    PutReplacement();
  }
  if (b < 0x80) {
    PutCharacter(b);
    return;
  }
  low_ = 0x80;
  high_ = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    missing_ = 1;
    code_point_ = b & 0x1Fu;
  } else if (b >= 0xE0 && b <= 0xEF) {
    missing_ = 2;
    code_point_ = b & 0x0Fu;
    if (b == 0xE0) low_ = 0xA0;   // no overlong forms
    if (b == 0xED) high_ = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    missing_ = 3;
    code_point_ = b & 0x07u;
    if (b == 0xF0) low_ = 0x90;   // no overlong forms
    if (b == 0xF4) high_ = 0x8F;  // nothing past U+10FFFF
  } else {
    PutReplacement();  // a continuation byte on its own, or a byte UTF-8 never uses
  }
}

void LabelText::Finish() {
  if (missing_ != 0) {
    missing_ = 0;
    PutReplacement();
  }
}

}  // namespace ostra2svg
