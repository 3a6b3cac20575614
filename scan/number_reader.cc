// ReadNumber and CheckNumber: the next token as a number.
#include "scan/number_parser.h"
#include "scan/scanner.h"

namespace tsm2ostra {

ResultCode Scanner::ReadNumber(double* out) {
  ResultCode r = NextToken();
  if (IsHardFailure(r)) return r;
  // A number that ends exactly at the end of the input is refused like any non-number.
  if (r != ResultCode::Ok) return ResultCode::InvalidInput;
  return ParseNumber(token_, out);
}

ResultCode Scanner::CheckNumber() {
  ResultCode r = NextToken();
  if (IsHardFailure(r)) return r;
  if (r != ResultCode::Ok) return ResultCode::InvalidInput;
  return ValidateNumber(token_);
}

}  // namespace tsm2ostra
