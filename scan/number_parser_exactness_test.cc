// The number parser's quick paths against the digit-by-digit definition: the whole part
// as value * 10 + digit, each fraction digit as value + digit / divisor with divisor * 10,
// every step rounded to a double, then the sign.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "scan/number_parser.h"

namespace tsm2ostra {
namespace {

double DigitByDigit(const std::string& text) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  double value = 0;
  for (; i < text.size() && text[i] != '.'; ++i) value = value * 10 + (text[i] - '0');
  double divisor = 1;
  for (++i; i < text.size(); ++i) {
    divisor = divisor * 10;
    value = value + (text[i] - '0') / divisor;
  }
  return negative ? -value : value;
}

uint64_t Bits(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

TEST(NumberParserExactness, MatchesTheDigitByDigitDefinition) {
  std::mt19937_64 random(20240613);
  auto digits = [&](size_t n, bool zeros_first) {
    std::string s;
    for (size_t i = 0; i < n; ++i) {
      s += static_cast<char>('0' + (zeros_first && random() % 3 != 0 ? 0 : random() % 10));
    }
    return s;
  };
  const char* fixed[] = {"0.5",
                         "-0.25",
                         "0.125",
                         "9.999999999999999999",
                         "0.1",
                         "0.3",
                         ".7",
                         "5.",
                         "999999999999999.9",
                         "1234567890123456",
                         "0.00000000000000000000000000000000000000001"};
  for (const char* text : fixed) {
    double got = 0;
    ASSERT_EQ(ParseNumber(text, &got), ResultCode::Ok) << text;
    EXPECT_EQ(Bits(got), Bits(DigitByDigit(text))) << text;
  }
  for (int n = 0; n < 200000; ++n) {
    std::string text = random() % 2 ? "-" : "";
    text += digits(random() % 18, random() % 4 == 0);
    if (random() % 8 != 0) text += "." + digits(random() % 46, random() % 4 == 0);
    double got = 0;
    ASSERT_EQ(ParseNumber(text, &got), ResultCode::Ok) << text;
    ASSERT_EQ(Bits(got), Bits(DigitByDigit(text))) << text;
  }
}

}  // namespace
}  // namespace tsm2ostra
