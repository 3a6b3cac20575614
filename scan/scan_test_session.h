// Test helper: a Converter reading a text from memory, for driving single scanning steps.
#ifndef TSM2OSTRA_SCAN_SCAN_TEST_SESSION_H_
#define TSM2OSTRA_SCAN_SCAN_TEST_SESSION_H_

#include <string>
#include <utility>

#include "driver/converter.h"
#include "driver/output_stream.h"
#include "scan/char_source.h"

namespace tsm2ostra {

struct ScanSession {
  explicit ScanSession(std::string text, size_t chunk = 0)
      : input(std::move(text)), source(input.data(), input.size(), chunk) {
    converter.Attach(&source, &output);
  }
  std::string input;
  MemoryCharSource source;
  MemoryOutputStream output;
  Converter converter;
};

// Reads one token: "[token]" after Ok, "end[token]" after EndOfInput, "fail[token]" otherwise.
inline std::string NextTokenText(Converter* c) {
  const ResultCode r = c->NextToken();
  const char* kind = r == ResultCode::Ok ? "" : r == ResultCode::EndOfInput ? "end" : "fail";
  return kind + ("[" + std::string(c->token()) + "]");
}

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_SCAN_TEST_SESSION_H_
