// ValidateNumber must give exactly ParseNumber's result, on random and on extreme texts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "scan/number_parser.h"

namespace tsm2ostra {
namespace {

ResultCode Parsed(const std::string& text) {
  double unused;
  return ParseNumber(text, &unused);
}

TEST(ValidateNumber, AgreesWithParseNumberOnRandomTexts) {
  // Mostly digits, so that many texts are numbers and have runs of eight digits; the rest
  // are the bytes that make or break one, and the neighbours of the digits' byte range.
  const std::string alphabet = "01234567890123456789012345678901234567890123456789..--eEx+ /:\xfa";
  std::mt19937 random(20260);
  for (int i = 0; i < 200000; ++i) {
    std::string text(random() % 24, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    ASSERT_EQ(ValidateNumber(text), Parsed(text)) << '"' << text << '"';
  }
}

TEST(ValidateNumber, AgreesWithParseNumberAroundTheLargestDouble) {
  // About 309 whole digits is where a number without exponent stops being finite.
  for (const char* lead : {"", "-", "0", "."}) {
    for (char digit : {'1', '2', '9'}) {
      for (size_t n = 295; n <= 315; ++n) {
        for (const char* tail : {"", ".5", "e0", "x"}) {
          const std::string text = lead + std::string(n, digit) + tail;
          EXPECT_EQ(ValidateNumber(text), Parsed(text)) << lead << n << digit << tail;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tsm2ostra
