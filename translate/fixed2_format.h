// Number-to-text for the output file: doubles with exactly two decimals, and integers.
// Both write into a caller's buffer and return one past the last char; no terminator.
#ifndef TSM2OSTRA_TRANSLATE_FIXED2_FORMAT_H_
#define TSM2OSTRA_TRANSLATE_FIXED2_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <limits>

namespace tsm2ostra {

// Longest text FormatFixed2 can write: sign, up to 309 integer digits (DBL_MAX is
// about 1.8e308), point, two decimals. 330 leaves headroom; the assert keeps it honest.
constexpr size_t kFixed2MaxLength = 330;
static_assert(kFixed2MaxLength >= 1 + (std::numeric_limits<double>::max_exponent10 + 1) + 1 + 2,
              "kFixed2MaxLength too small for DBL_MAX");

// Longest text FormatInt can write: "-9223372036854775808".
constexpr size_t kIntMaxLength = 20;

// Writes v with exactly two decimals ("0.00", "-0.13", "70.13"). The value is first
// taken to 17 significant decimal digits (later digits read as zeros), and that
// decimal is rounded to two places, an exact half away from zero. A negative value
// keeps its sign even when it rounds to zero ("-0.00"). Non-finite values come out
// as "inf", "-inf" or "nan". Needs room for kFixed2MaxLength chars.
char* FormatFixed2(double v, char* out);

// The same result as FormatFixed2, always by the slow decimal-string route.
// FormatFixed2 uses it whenever its quick arithmetic cannot be trusted.
char* FormatFixed2Exact(double v, char* out);

namespace format_detail {

struct DigitPairs {
  char c[200];
  constexpr DigitPairs() : c() {
    for (int i = 0; i < 100; ++i) {
      c[2 * i] = static_cast<char>('0' + i / 10);
      c[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
  }
};

// "00" "01" ... "99": digits go out two at a time.
inline constexpr DigitPairs kDigitPairs;

}  // namespace format_detail

// Writes v in decimal, '-' first when negative. Needs room for kIntMaxLength chars. Inline,
// as every object name of the output goes through it.
inline char* FormatInt(int64_t v, char* out) {
  using format_detail::kDigitPairs;
  uint64_t n = static_cast<uint64_t>(v);
  if (v < 0) {
    *out++ = '-';
    n = 0 - n;  // unsigned negate: fine for INT64_MIN
  }
  // The digit count: four digits a step, then comparisons, which the usual small numbers
  // reach at once.
  int length = 1;
  uint64_t rest = n;
  for (; rest >= 10000; rest /= 10000) length += 4;
  length += (rest >= 10) + (rest >= 100) + (rest >= 1000);
  char* const end = out + length;
  char* p = end;
  while (n >= 100) {
    const uint64_t pair = n % 100;
    n /= 100;
    p -= 2;
    p[0] = kDigitPairs.c[2 * pair];
    p[1] = kDigitPairs.c[2 * pair + 1];
  }
  if (n >= 10) {
    p[-2] = kDigitPairs.c[2 * n];
    p[-1] = kDigitPairs.c[2 * n + 1];
  } else {
    p[-1] = static_cast<char>('0' + n);
  }
  return end;
}

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_FIXED2_FORMAT_H_
