// ReadNumber and CheckNumber: the next token as a number; PeekedNumbers: peeked tokens.
#include "driver/converter.h"
#include "scan/number_parser.h"

namespace tsm2ostra {

ResultCode Converter::ReadNumber(double* out) {
  ResultCode r = NextToken();
  if (IsHardFailure(r)) return r;
  // A number that ends exactly at the end of the input is refused like any non-number.
  if (r != ResultCode::Ok) return ResultCode::InvalidInput;
  return ParseNumber(token_.view(), out);
}

ResultCode Converter::CheckNumber() {
  ResultCode r = NextToken();
  if (IsHardFailure(r)) return r;
  if (r != ResultCode::Ok) return ResultCode::InvalidInput;
  return ValidateNumber(token_.view());
}

bool Converter::PeekedNumbers(int count, double* values) const {
  for (int k = 0; k < count; ++k) {
    if (ParseNumber(peeked(k), &values[k]) != ResultCode::Ok) return false;
  }
  return true;
}

}  // namespace tsm2ostra
