// Label bytes to XML text: what stays, what is escaped, and what becomes U+FFFD.
#include "preview/label_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ostra2svg {
namespace {

#define FFFD "\xEF\xBF\xBD"

TEST(LabelText, KeepsUtf8EscapesMarkupAndReplacesTheRest) {
  const struct {
    std::string label;
    const char* text;
    uint64_t characters;
  } kCases[] = {
      {"A 1", "A 1", 3},
      {"Salt &amp; <pepper> \"x\" 'y'", "Salt &amp;amp; &lt;pepper&gt; &quot;x&quot; &apos;y&apos;",
       27},
      {"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8F\xA0", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8F\xA0", 3},
      {"\xEF\xBF\xBD", FFFD, 1},
      {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF", 1},  // U+10FFFF, the last code point
      // Controls, DEL, C1 controls and the non-characters XML leaves out.
      {std::string("a\0b\x1A\t\r\n\x7F", 8), "a" FFFD "b" FFFD FFFD FFFD FFFD FFFD, 8},
      {"\xC2\x85\xEF\xBF\xBE\xEF\xBF\xBF", FFFD FFFD FFFD, 3},
      // Bytes UTF-8 never uses, lone continuation bytes, overlong forms, surrogates,
      // code points past U+10FFFF: each maximal bad part becomes one U+FFFD.
      {"\xFF\xC0\xAF\x80", FFFD FFFD FFFD FFFD, 4},
      {"\xE0\x80\xAF", FFFD FFFD FFFD, 3},
      {"\xED\xA0\x80", FFFD FFFD FFFD, 3},
      {"\xF4\x90\x80\x80", FFFD FFFD FFFD FFFD, 4},
      // A sequence cut short, then an ordinary character, or the end of the label.
      {"\xE2\x82x\xF0\x9F\x8F", FFFD "x" FFFD, 3},
      {"\xC3\xC3\xA9", FFFD "\xC3\xA9", 2},
  };
  for (const auto& c : kCases) {
    std::string out;
    LabelText text(&out);
    for (const char b : c.label) text.Put(static_cast<unsigned char>(b));
    text.Finish();
    EXPECT_EQ(out, c.text) << c.label;
    EXPECT_EQ(text.characters(), c.characters) << c.label;
  }
}

}  // namespace
}  // namespace ostra2svg
