// Tests for the two-decimal and integer formatters: rounding of halves, huge and
// tiny values, signs, and agreement of the quick route with the exact one.
#include "translate/fixed2_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace tsm2ostra {
namespace {

// Formats through fn and checks nothing is written past the returned end.
std::string Run(char* (*fn)(double, char*), double v) {
  char buf[kFixed2MaxLength + 8];
  std::memset(buf, '#', sizeof(buf));
  char* end = fn(v, buf);
  const size_t len = static_cast<size_t>(end - buf);
  EXPECT_LE(len, kFixed2MaxLength) << v;
  EXPECT_EQ(buf[len], '#') << "wrote past the end for " << v;
  return std::string(buf, len);
}

std::string Fmt(double v) { return Run(FormatFixed2, v); }
std::string Exact(double v) { return Run(FormatFixed2Exact, v); }

TEST(Fixed2Format, KnownValues) {
  const double a1 = 0.0125, a2 = -1.3195, a3 = 3.4565;
  const struct {
    double v;
    const char* want;
  } cases[] = {
      {0.0, "0.00"},
      {-0.0, "-0.00"},
      {1.0, "1.00"},
      {0.5, "0.50"},
      {1.0 / 3, "0.33"},
      {1.0 / 8, "0.13"},
      {70.0, "70.00"},
      {70.125, "70.13"},
      {0.125, "0.13"},
      {-0.125, "-0.13"},
      {-0.001, "-0.00"},
      {-1.0 / 3, "-0.33"},
      // 17 digits decide, not the binary value.
      {a1 * 10 + 70, "70.13"},   // 70.125000000000000
      {a2 * 10 + 70, "56.81"},   // 56.805000000000000 (binary is below it)
      {a3 * 10 + 70, "104.57"},  // 104.56500000000000
      {0.995, "1.00"},           // 0.99500000000000000: half, carries over the point
      {9.995, "9.99"},           // 9.9949999999999992: not a half
      {99.995, "100.00"},        // 99.995000000000000|5 rounds up to 100.00
      {999.995, "1000.00"},      // 999.99500000000000: carries through every digit
      {-999.995, "-1000.00"},
      {1.005, "1.00"},  // 1.0049999999999999
      {2.675, "2.67"},
      {0.015, "0.01"},  // 0.014999999999999999
      {0.005, "0.01"},  // 0.0050000000000000001: above the half
      {0.004999, "0.00"},
      {0.0049999999999999999, "0.01"},  // parses to 0.005
      {1e-300, "0.00"},
      {-1e-300, "-0.00"},
      {DBL_TRUE_MIN, "0.00"},
      {123.456, "123.46"},
      {-45.67, "-45.67"},
      {1e10, "10000000000.00"},
      {123456789012345678.0, "123456789012345680.00"},  // zeros past digit 17
      {1e22, "10000000000000000000000.00"},
      // Exact binary values; 17 digits end at the tenths, hundredths, thousandths.
      {1e15 + 0.125, "1000000000000000.10"},
      {1e14 + 0.125, "100000000000000.12"},  // the 17th digit is a tie, kept even
      {1e14 + 0.375, "100000000000000.38"},
      {1e13 + 0.125, "10000000000000.13"},  // the half is within the 17 digits
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Fmt(c.v), c.want) << c.v;
    EXPECT_EQ(Exact(c.v), c.want) << c.v;
  }
}

TEST(Fixed2Format, HugeValuesKeepOnly17Digits) {
  // 1e300 is 1.0000000000000001e300 to 17 digits.
  EXPECT_EQ(Fmt(1e300), "10000000000000001" + std::string(284, '0') + ".00");
  const std::string max = Fmt(DBL_MAX);  // 1.7976931348623157e308
  EXPECT_EQ(max, "17976931348623157" + std::string(292, '0') + ".00");
  EXPECT_EQ(Fmt(-DBL_MAX), "-" + max);
  EXPECT_EQ(Fmt(-DBL_MAX).size(), 313u);
}

TEST(Fixed2Format, NonFinite) {
  EXPECT_EQ(Fmt(HUGE_VAL), "inf");
  EXPECT_EQ(Fmt(-HUGE_VAL), "-inf");
  EXPECT_EQ(Fmt(std::nan("")), "nan");
  EXPECT_EQ(Fmt(-std::nan("")), "nan");
}

// Away from halves the 17-digit detour cannot matter, so the C library's own
// rounding of the binary value is an independent check of the exact route.
TEST(Fixed2Format, ExactMatchesPrintfAwayFromHalves) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mant(1.0, 10.0);
  int compared = 0;
  for (int i = 0; i < 20000; ++i) {
    const double v = (i % 2 ? -1 : 1) * mant(rng) * std::pow(10.0, i % 10 - 4);
    char exact[400];
    std::snprintf(exact, sizeof(exact), "%.40f", v);
    // Below 1e6 the 17-digit value is within 5e-11 of v: skip v within 1e-10 of a half.
    const char* after = std::strchr(exact, '.') + 3;
    if (!std::strncmp(after, "49999999", 8) || !std::strncmp(after, "50000000", 8)) continue;
    char want[64];
    std::snprintf(want, sizeof(want), "%.2f", v);
    ASSERT_EQ(Exact(v), want) << exact;
    ++compared;
  }
  EXPECT_GT(compared, 19000);
}

TEST(Fixed2Format, QuickRouteMatchesExact) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> mant(1.0, 10.0);
  std::uniform_int_distribution<int64_t> k_dist(0, 1000000000);
  auto check = [](double v) { ASSERT_EQ(Fmt(v), Exact(v)) << v; };
  int count = 0;
  // Magnitudes from 1e-5 to 1e12, across the quick route's upper limit.
  for (int i = 0; i < 100000; ++i, ++count) {
    check((i % 2 ? -1 : 1) * mant(rng) * std::pow(10.0, i % 18 - 5));
  }
  // Just around the halves k/100 + 0.005, in ulps and in relative steps near the margin.
  for (int i = 0; i < 12000; ++i) {
    const double half = (static_cast<double>(k_dist(rng) >> (i % 30)) + 0.5) / 100;
    for (int step = -2; step <= 2; ++step, count += 2) {
      check(half * (1 + step * 0x1p-46));
      double v = half;
      for (int s = 0; s < std::abs(step); ++s) v = std::nextafter(v, step * HUGE_VAL);
      check(v);
    }
  }
  // a*10+70 for short decimals a, as the product computes them.
  std::uniform_int_distribution<long long> frac_dist(0, 99999);
  for (int i = 0; i < 60000; ++i, ++count) {
    char text[40];
    const int places = 1 + i % 5;
    std::snprintf(text, sizeof(text), "%s%d.%0*lld", i % 3 ? "" : "-", i % 50, places,
                  frac_dist(rng) % static_cast<long long>(std::pow(10, places)));
    check(std::strtod(text, nullptr) * 10 + 70);
  }
  for (int k = -20000; k <= 20000; ++k, ++count) check(k / 8.0);
  for (int n = 1; n <= 1000; ++n, count += 2) {
    check(1.0 / n);
    check(-1.0 / n);
  }
  // Arbitrary bit patterns, finite ones only.
  for (int i = 0; i < 20000; ++i, ++count) {
    const uint64_t bits = rng();
    double v;
    std::memcpy(&v, &bits, sizeof(v));
    if (std::isfinite(v)) check(v);
  }
  EXPECT_GT(count, 280000);
}

TEST(Fixed2Format, FormatInt) {
  const struct {
    int64_t v;
    const char* want;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {-1, "-1"},
      {9, "9"},
      {10, "10"},
      {99, "99"},
      {100, "100"},
      {-100, "-100"},
      {1000000000000000000, "1000000000000000000"},
      {INT64_MAX, "9223372036854775807"},
      {INT64_MIN, "-9223372036854775808"},
  };
  for (const auto& c : cases) {
    char buf[kIntMaxLength + 4];
    std::memset(buf, '#', sizeof(buf));
    char* end = FormatInt(c.v, buf);
    EXPECT_EQ(std::string(buf, end), c.want);
    EXPECT_EQ(*end, '#');
  }
}

}  // namespace
}  // namespace tsm2ostra
