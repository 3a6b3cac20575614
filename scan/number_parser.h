// The converter's own decimal number parser, and the conversions of numbers to integers.
#ifndef TSM2OSTRA_SCAN_NUMBER_PARSER_H_
#define TSM2OSTRA_SCAN_NUMBER_PARSER_H_

#include <cstdint>
#include <string_view>

#include "scan/result_code.h"

namespace tsm2ostra {

// Parses text by the grammar: optional leading '-', then digits with at most one '.', then
// optionally 'e' or 'E' followed by an exponent text of the same grammar (possibly empty).
// The value is built digit by digit in doubles, each step rounded on its own. A value that is
// not finite, in the number or in any of its exponents, is InvalidInput.
ResultCode ParseNumber(std::string_view text, double* out);

// The result ParseNumber would give for text, without its value: for numbers that are only
// checked. A short text of digits, an optional leading '-' and at most one '.' is accepted
// by a scan (it cannot reach infinity); anything else is handed to ParseNumber.
ResultCode ValidateNumber(std::string_view text);

// 10 to the power n as a product of n tens, or of |n| times 0.1, rounded after every step;
// stops early once the factor is infinite or zero.
double ScaleByPowerOfTen(int32_t n);

// Truncates toward zero; false when the result is outside the signed 32-bit range.
inline bool TruncateToInt32(double value, int32_t* out) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return false;
  *out = static_cast<int32_t>(value);
  return true;
}

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_NUMBER_PARSER_H_
