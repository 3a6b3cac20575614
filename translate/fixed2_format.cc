// Two-decimal and integer formatting: a quick arithmetic route for ordinary
// magnitudes, and an exact route through the 17-digit decimal form of the value.
#include "translate/fixed2_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace tsm2ostra {
namespace {

using format_detail::kDigitPairs;

char* WriteText(const char* text, char* out) {
  while (*text != '\0') *out++ = *text++;
  return out;
}

// Writes a (finite, not negative) as "d.dddddddddddddddde+XX", 17 significant digits, into
// sci; returns one past the last char, or nullptr if it did not fit. std::to_chars where the
// standard library has it for doubles; otherwise (the WebAssembly build's library) the C
// library's printf, whose "%.16e" rounds the exact binary value the same way.
char* ScientificDigits(double a, char* sci, size_t size) {
#if defined(__cpp_lib_to_chars)
  const std::to_chars_result res =
      std::to_chars(sci, sci + size, a, std::chars_format::scientific, 16);
  return res.ec == std::errc() ? res.ptr : nullptr;
#else
  const int length = std::snprintf(sci, size, "%.16e", a);
  return length > 0 && static_cast<size_t>(length) < size ? sci + length : nullptr;
#endif
}

// The quick route handles |v| below this. Then y = |v|*100 < 1e12 < 2^53, so y's
// integer and fractional parts are exact, and the margin below stays under 0.06.
constexpr double kFastLimit = 1e10;

// How close (relative to y) the fraction of y may come to .5 before the quick
// route gives up. Let D be |v| to 17 significant digits; the answer is
// floor(100*D + 0.5). |D - |v|| <= 5e-17*|v| (half a unit in the 17th digit) and
// |y - 100*|v|| <= 2^-53*100*|v| (one rounding of the product), so
// |y - 100*D| <= 1.7e-16*y. When y's fraction is further than that from .5, no
// rounding boundary lies between y and 100*D and both round alike. 2^-44
// (about 5.7e-14) is over 300 times the bound; only values within a hair of a
// half pay for the slow route.
constexpr double kHalfMargin = 0x1p-44;

}  // namespace

char* FormatFixed2(double v, char* out) {
  const double a = std::fabs(v);  // false for NaN, so non-finite goes the slow way
  if (a < kFastLimit) {
    const double y = a * 100.0;
    // Signed conversions, one instruction each: y < 1e12.
    const int64_t n = static_cast<int64_t>(y);
    const double frac = y - static_cast<double>(n);  // exact: y < 2^53
    if (std::fabs(frac - 0.5) > y * kHalfMargin) {
      const int64_t hundredths = n + (frac > 0.5 ? 1 : 0);
      if (std::signbit(v)) *out++ = '-';
      out = FormatInt(hundredths / 100, out);
      *out++ = '.';
      std::memcpy(out, kDigitPairs.c + 2 * (hundredths % 100), 2);
      return out + 2;
    }
  }
  return FormatFixed2Exact(v, out);
}

char* FormatFixed2Exact(double v, char* out) {
  if (std::isnan(v)) return WriteText("nan", out);
  if (std::signbit(v)) *out++ = '-';
  const double a = std::fabs(v);
  if (std::isinf(a)) return WriteText("inf", out);

  // "d.dddddddddddddddde+XX": 17 significant digits, then the exponent from index 19.
  char sci[32];
  const char* const sci_end = ScientificDigits(a, sci, sizeof(sci));
  if (sci_end == nullptr) return WriteText("nan", out);  // cannot happen: sci fits
  char digits[17];
  digits[0] = sci[0];
  std::memcpy(digits + 1, sci + 2, 16);
  int exponent = 0;
  for (const char* p = sci + 20; p < sci_end; ++p) exponent = exponent * 10 + (*p - '0');
  if (sci[19] == '-') exponent = -exponent;

  // digits[i] weighs 10^(exponent - i), so the hundredths digit is index exponent+2
  // and the one deciding the rounding is index exponent+3. Digits past the 17th are
  // zeros, which also makes an exact half round up: the rule is simply ">= 5".
  const int kept = exponent + 3;  // digits at or above the hundredths, if positive
  // The value in hundredths, in decimal. Three spare slots in front take a carry
  // and the leading zeros; at most three are ever prepended.
  char whole[kFixed2MaxLength];
  char* first = whole + 3;
  int len = 0;
  for (; len < kept; ++len) first[len] = len < 17 ? digits[len] : '0';
  if (kept >= 0 && kept < 17 && digits[kept] >= '5') {
    int i = len - 1;
    while (i >= 0 && first[i] == '9') first[i--] = '0';
    if (i >= 0) {
      ++first[i];
    } else {
      *--first = '1';
      ++len;
    }
  }
  while (len < 3) {  // at least "0.dd"
    *--first = '0';
    ++len;
  }
  std::memcpy(out, first, static_cast<size_t>(len - 2));
  out += len - 2;
  *out++ = '.';
  out[0] = first[len - 2];
  out[1] = first[len - 1];
  return out + 2;
}

}  // namespace tsm2ostra
