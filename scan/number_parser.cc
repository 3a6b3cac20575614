// Digit-by-digit decimal parsing, number validation and power-of-ten factors.
#include "scan/number_parser.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tsm2ostra {
namespace {

constexpr int kQuotientDigits = 40;

// d / 10^k for the k-th fraction digit, where 10^k is the product of k tens rounded at each
// step: the same divisions the digit loop would make, done once.
struct FractionQuotients {
  double value[kQuotientDigits + 1][10];
  FractionQuotients() {
    double divisor = 1;
    for (int k = 1; k <= kQuotientDigits; ++k) {
      divisor = divisor * 10;
      for (int d = 0; d < 10; ++d) value[k][d] = d / divisor;
    }
  }
};

const FractionQuotients kQuotients;

// Integers below this are exact in a double, and so is ten times one of them plus a digit.
constexpr uint64_t kExactIntegerLimit = static_cast<uint64_t>(1) << 49;

// Parses one exponent-free segment [p, end): optional '-', digits, at most one '.'.
// Stores the unsigned value and whether a '-' led. On failure, *stop is where parsing
// stopped (the first byte that no segment may hold here).
bool ParseSegment(const char* p, const char* end, double* magnitude, bool* negative,
                  const char** stop) {
  *negative = p != end && *p == '-';
  if (*negative) ++p;
  // Whole digits add up in an integer while every step is exact, which gives the same
  // value as multiplying and adding in doubles; longer runs go on in doubles.
  uint64_t whole = 0;
  for (; p != end && *p != '.' && whole < kExactIntegerLimit; ++p) {
    unsigned digit = static_cast<unsigned char>(*p) - '0';
    if (digit > 9) {
      *stop = p;
      return false;
    }
    whole = whole * 10 + digit;
  }
  double value = static_cast<double>(whole);
  for (; p != end && *p != '.'; ++p) {
    unsigned digit = static_cast<unsigned char>(*p) - '0';
    if (digit > 9) {
      *stop = p;
      return false;
    }
    value = value * 10 + digit;
  }
  if (p != end) {
    ++p;  // the point
    int k = 0;
    double divisor = 1;
    for (; p != end; ++p) {
      unsigned digit = static_cast<unsigned char>(*p) - '0';
      if (digit > 9) {
        *stop = p;
        return false;
      }
      ++k;
      if (k <= kQuotientDigits) {
        value = value + kQuotients.value[k][digit];
      } else {
        if (k == kQuotientDigits + 1) {
          for (int i = 0; i < kQuotientDigits; ++i) divisor = divisor * 10;
        }
        divisor = divisor * 10;
        value = value + digit / divisor;
      }
    }
  }
  *magnitude = value;
  return true;
}

int32_t ClampExponent(double value) {
  double truncated = std::trunc(value);
  if (truncated >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (truncated <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(truncated);
}

}  // namespace

double ScaleByPowerOfTen(int32_t n) {
  double factor = 1;
  if (n > 0) {
    for (int32_t i = 0; i < n && !std::isinf(factor); ++i) factor = factor * 10;
  } else {
    for (int32_t i = n; i < 0 && factor != 0; ++i) factor = factor * 0.1;
  }
  return factor;
}

namespace {

// True when the eight bytes at p are all decimal digits: each byte's high nibble is 3, and
// still is after adding 6 (which moves 0x3A to 0x3F out of it; a carry out of a byte only
// happens where the first test already failed).
inline bool EightDigits(const char* p) {
  uint64_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  constexpr uint64_t kHigh = 0xF0F0F0F0F0F0F0F0u, kThrees = 0x3030303030303030u;
  return (bytes & kHigh) == kThrees && ((bytes + 0x0606060606060606u) & kHigh) == kThrees;
}

// The usual number in one tight pass: an optional '-', at most 15 whole digits, and an
// optional point with at most kQuotientDigits fraction digits. The same steps as
// ParseSegment, so the same value; false for anything else, which the caller then parses
// the general way.
inline bool ParsePlainNumber(const char* p, const char* end, double* out) {
  const bool negative = p != end && *p == '-';
  if (negative) ++p;
  // 15 digits stay below 10^15, so the integer is exact and the value finite.
  const char* whole_end = end - p > 15 ? p + 15 : end;
  uint64_t whole = 0;
  for (; p != whole_end; ++p) {
    const unsigned digit = static_cast<unsigned char>(*p) - '0';
    if (digit > 9) break;
    whole = whole * 10 + digit;
  }
  double value = static_cast<double>(whole);
  if (p != end) {
    if (*p != '.') return false;  // a 16th digit, an exponent, or no number at all
    ++p;
    if (end - p > kQuotientDigits) return false;
    // The digits are checked first, eight at a time, so that the additions, which wait on
    // one another, run as a short loop with nothing else in it.
    const char* check = p;
    while (end - check >= 8 && EightDigits(check)) check += 8;
    for (; check != end; ++check) {
      if (static_cast<unsigned>(static_cast<unsigned char>(*check) - '0') > 9) return false;
    }
    const double* quotients = kQuotients.value[1];
    for (; p != end; ++p, quotients += 10) {
      value = value + quotients[static_cast<unsigned char>(*p) - '0'];
    }
  }
  *out = negative ? -value : value;
  return true;
}

}  // namespace

ResultCode ParseNumber(std::string_view text, double* out) {
  const char* begin = text.data();
  const char* segment_end = begin + text.size();
  if (ParsePlainNumber(begin, segment_end, out)) return ResultCode::Ok;
  // Without an exponent the whole text is one segment.
  {
    double value;
    bool negative;
    const char* stop;
    if (ParseSegment(begin, segment_end, &value, &negative, &stop)) {
      if (negative) value = -value;
      if (!std::isfinite(value)) return ResultCode::InvalidInput;
      *out = value;
      return ResultCode::Ok;
    }
    if (*stop != 'e' && *stop != 'E') return ResultCode::InvalidInput;
  }
  // An exponent text is a number of its own, so "1e2e1" is 1 times 10^(2e1). The segments
  // are evaluated from the last one back, which needs no recursion however many there are.
  bool has_exponent = false;
  double exponent = 0;
  for (;;) {
    const char* segment_begin = segment_end;
    while (segment_begin != begin && segment_begin[-1] != 'e' && segment_begin[-1] != 'E') {
      --segment_begin;
    }
    double value;
    bool negative;
    const char* stop;
    if (!ParseSegment(segment_begin, segment_end, &value, &negative, &stop)) {
      return ResultCode::InvalidInput;
    }
    if (has_exponent && value != 0) value = ScaleByPowerOfTen(ClampExponent(exponent)) * value;
    if (negative) value = -value;
    if (!std::isfinite(value)) return ResultCode::InvalidInput;
    if (segment_begin == begin) {
      *out = value;
      return ResultCode::Ok;
    }
    exponent = value;
    has_exponent = true;
    segment_end = segment_begin - 1;
  }
}

// Up to this many bytes, a number without exponent has at most 300 whole digits and stays
// below 10^301, far from the largest double.
constexpr size_t kSurelyFiniteBytes = 300;

namespace {

inline bool IsDigit(char c) {
  return static_cast<unsigned>(static_cast<unsigned char>(c) - '0') <= 9;
}

}  // namespace

ResultCode ValidateNumber(std::string_view text) {
  if (text.size() <= kSurelyFiniteBytes) {
    // '-'? digits* ('.' digits*)?, the fraction digits eight at a time.
    const char* p = text.data();
    const char* const end = p + text.size();
    if (p != end && *p == '-') ++p;
    while (p != end && IsDigit(*p)) ++p;
    if (p != end && *p == '.') {
      ++p;
      while (end - p >= 8 && EightDigits(p)) p += 8;
      while (p != end && IsDigit(*p)) ++p;
    }
    if (p == end) return ResultCode::Ok;
  }
  double unused;
  return ParseNumber(text, &unused);
}

}  // namespace tsm2ostra
