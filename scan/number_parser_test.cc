// Tests for the number parser against the case files in scan/testdata, its extremes, the
// power-of-ten factor, the integer conversions and ReadNumber.
#include "scan/number_parser.h"
#include "translate/color_component.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "scan/scan_test_session.h"

namespace tsm2ostra {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The case lines of a data file, comments left out.
std::vector<std::string> ReadCases(const std::string& name) {
  std::ifstream in(std::string(TSM2OSTRA_SOURCE_DIR) + "/scan/testdata/" + name);
  EXPECT_TRUE(in.is_open()) << name;
  std::vector<std::string> cases;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') cases.push_back(line);
  }
  return cases;
}

// Bit patterns, so that -0 and 0 differ and every last bit counts.
uint64_t Bits(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

TEST(NumberParser, AcceptsEachCaseOfNumbersOk) {
  for (const std::string& line : ReadCases("numbers_ok.txt")) {
    const size_t blank = line.find(' ');
    const std::string text = line.substr(0, blank) == "\"\"" ? "" : line.substr(0, blank);
    double got = kNaN;
    EXPECT_EQ(ParseNumber(text, &got), ResultCode::Ok) << line;
    EXPECT_EQ(Bits(got), Bits(std::strtod(line.c_str() + blank + 1, nullptr)))
        << line << " gave " << std::hexfloat << got;
  }
}

TEST(NumberParser, RefusesEachCaseOfNumbersFail) {
  for (const std::string& text : ReadCases("numbers_fail.txt")) {
    double v;
    EXPECT_EQ(ParseNumber(text, &v), ResultCode::InvalidInput) << text;
  }
}

TEST(NumberParser, HandlesExtremeTexts) {
  double v = kNaN;
  EXPECT_EQ(ParseNumber(std::string_view("1\0", 2), &v), ResultCode::InvalidInput);
  EXPECT_EQ(ParseNumber("1" + std::string(400, '0'), &v), ResultCode::InvalidInput);
  ASSERT_EQ(ParseNumber("1" + std::string(308, '0'), &v), ResultCode::Ok);
  EXPECT_TRUE(std::isfinite(v));
  // Exponent chains of a million segments, evaluated without deep recursion.
  std::string zeros = "1", empties = "1", ones = "1";
  for (int i = 1; i < 1000000; ++i) zeros += "e0", empties += "e", ones += "e1";
  EXPECT_EQ(ParseNumber(zeros, &v), ResultCode::Ok);
  EXPECT_EQ(v, 1.0);
  v = kNaN;
  EXPECT_EQ(ParseNumber(empties, &v), ResultCode::Ok);
  EXPECT_EQ(v, 1.0);
  EXPECT_EQ(ParseNumber(ones, &v), ResultCode::InvalidInput);  // 1e1e1e1 is already infinite
}

TEST(NumberParser, ScaleByPowerOfTenMultipliesStepByStep) {
  const std::pair<int32_t, double> cases[] = {
      {0, 1},
      {309, kInf},
      {std::numeric_limits<int32_t>::max(), kInf},
      {-2, 0.010000000000000002},
      {-400, 0},
      {std::numeric_limits<int32_t>::min(), 0},
  };
  // The loops stop once the factor is infinite or zero: the extremes take no time (a loop
  // that went on would meet the test run's time limit).
  for (const auto& [n, want] : cases) EXPECT_EQ(Bits(ScaleByPowerOfTen(n)), Bits(want)) << n;
}

TEST(NumberParser, TruncatesToInt32AndColorComponents) {
  // Value, then whether it converts, its integer and its colour component.
  const std::tuple<double, bool, int32_t, int> cases[] = {
      {255.9, true, 255, 255},
      {256, true, 256, 0},
      {-1, true, -1, 255},
      {2147483647.9, true, 2147483647, 255},
      {-2147483648.9, true, -2147483647 - 1, 0},
      {2147483648.0, false, 0, 0},
      {-2147483649.0, false, 0, 0},
      {kNaN, false, 0, 0},
  };
  for (const auto& [value, ok, whole, color] : cases) {
    int32_t got_whole = 7;
    uint8_t got_color = 7;
    EXPECT_EQ(TruncateToInt32(value, &got_whole), ok) << value;
    EXPECT_EQ(ToColorComponent(value, &got_color), ok) << value;
    if (ok) {
      EXPECT_EQ(got_whole, whole) << value;
      EXPECT_EQ(got_color, color) << value;
    }
  }
}

TEST(NumberParser, ReadNumberNeedsACompleteNumberToken) {
  const std::tuple<std::string, ResultCode, double> cases[] = {
      {"-2.5</p>", ResultCode::Ok, -2.5},
      {"1.5", ResultCode::InvalidInput, 0},  // ends with the input
      {"</p>", ResultCode::InvalidInput, 0},
      {std::string(kMaxTokenBytes + 1, '1'), ResultCode::InvalidInput, 0},
  };
  for (const auto& [input, result, value] : cases) {
    ScanSession s(input);
    double v = kNaN;
    EXPECT_EQ(s.scanner.ReadNumber(&v), result) << input.substr(0, 8);
    if (result == ResultCode::Ok) {
      EXPECT_EQ(v, value) << input;
    }
  }
}

}  // namespace
}  // namespace tsm2ostra
