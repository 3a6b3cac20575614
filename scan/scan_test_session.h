// Test helper: a Scanner reading a text from memory, for driving single scanning steps.
#ifndef TSM2OSTRA_SCAN_SCAN_TEST_SESSION_H_
#define TSM2OSTRA_SCAN_SCAN_TEST_SESSION_H_

#include <string>
#include <utility>

#include "scan/char_source.h"
#include "scan/scanner.h"

namespace tsm2ostra {

struct ScanSession {
  explicit ScanSession(std::string text, size_t chunk = 0)
      : input(std::move(text)), source(input.data(), input.size(), chunk), scanner(&heap) {
    scanner.SetSource(&source);
  }
  std::string input;
  MemoryCharSource source;
  Allocator heap;
  Scanner scanner;
};

// Reads one token: "[token]" after Ok, "end[token]" after EndOfInput, "fail[token]" otherwise.
inline std::string NextTokenText(Scanner* s) {
  const ResultCode r = s->NextToken();
  const char* kind = r == ResultCode::Ok ? "" : r == ResultCode::EndOfInput ? "end" : "fail";
  return kind + ("[" + std::string(s->token()) + "]");
}

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_SCAN_SCAN_TEST_SESSION_H_
