// Numbers as a drawing writes them, read back; numbers as a picture needs them, written.
#include "preview/number_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ostra2svg {
namespace {

TEST(NumberText, ParsesPlainDecimalsOnly) {
  const struct {
    std::string text;
    bool ok;
    double value;
  } kCases[] = {
      {"70.00", true, 70},
      {"-0.13", true, -0.13},
      {"5", true, 5},
      {".5", true, 0.5},
      {"5.", true, 5},
      {"-0.00", true, 0},
      {"", false, 0},
      {"-", false, 0},
      {".", false, 0},
      {"+1", false, 0},
      {"1e2", false, 0},
      {"1.2.3", false, 0},
      {"0x10", false, 0},
      {"inf", false, 0},
      {"nan", false, 0},
      {" 1", false, 0},
      {"1 ", false, 0},
      {"--1", false, 0},
      // Hundreds of digits, as a drawing of a huge model holds, rounded to a double.
      {"1" + std::string(300, '0') + ".00", true, 1e300},
      {"0." + std::string(400, '0') + "1", true, 0},
      {"1" + std::string(400, '0'), false, 0},
  };
  for (const auto& c : kCases) {
    double value = -1;
    EXPECT_EQ(ParseDecimal(c.text, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(NumberText, ColourComponentsAreWholeNumbersUpTo255) {
  for (const char* text : {"0", "255", "007"}) {
    int value = -1;
    EXPECT_TRUE(ParseColourComponent(text, &value)) << text;
    EXPECT_EQ(value, std::stoi(text));
  }
  for (const char* text : {"", "256", "-1", "1.0", "99999999999999999999", "1 "}) {
    int value = -1;
    EXPECT_FALSE(ParseColourComponent(text, &value)) << text;
  }
}

TEST(NumberText, WritesFixedDecimalsThenExponents) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } kCases[] = {
      {70, 2, "70.00"},
      {-0.13, 2, "-0.13"},
      {-0.001, 2, "0.00"},
      {-0.4, 0, "0"},
      {9.9, 0, "10"},
      {123.456, 1, "123.5"},
      {999999999999999.9, 2, "999999999999999.88"},
      {1e15, 2, "1000000000000000"},
      {-1e300, 0, "-1.0000000000000001e+300"},
  };
  for (const auto& c : kCases) {
    std::string out;
    AppendNumber(c.value, c.decimals, &out);
    EXPECT_EQ(out, c.text) << c.value;
  }
}

}  // namespace
}  // namespace ostra2svg
