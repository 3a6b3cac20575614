// The result that every step of a conversion returns.
#ifndef TSM2OSTRA_SCAN_RESULT_CODE_H_
#define TSM2OSTRA_SCAN_RESULT_CODE_H_

namespace tsm2ostra {

// A step that gets anything but Ok from a callee returns it at once, unchanged.
enum class ResultCode : int {
  Ok = 0,
  OutOfMemory = 1,
  InvalidInput = 2,
  EndOfInput = 4,
  WriteFailed = 5,
  ReadFailed = 6,  // the source reported an error: never taken for the end of the input
};

// Failures that end the conversion wherever they occur: everything but Ok and EndOfInput.
// (EndOfInput is an ordinary event for the tokenizer; each loop decides what it means.)
inline bool IsHardFailure(ResultCode r) {
  return r != ResultCode::Ok && r != ResultCode::EndOfInput;
}

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_RESULT_CODE_H_
