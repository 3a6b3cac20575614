// Tests for the tokenizer's bulk scanning of the source's window: tokens, where they start,
// results and the line, column and position counters must be exactly those of byte-by-byte
// reading.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan/char_source.h"
#include "scan/scanner.h"

namespace tsm2ostra {
namespace {

using namespace std::string_literals;

// A source without a window: every byte comes through ReadChar, so the tokenizer can only
// go its byte-by-byte way. It drops a carriage return before a line feed, as the block
// sources do.
class ByteByByteSource final : public CharSource {
 public:
  explicit ByteByByteSource(std::string text) : text_(std::move(text)) {}
  ResultCode ReadChar(char* out) override {
    if (at_ + 1 < text_.size() && text_[at_] == '\r' && text_[at_ + 1] == '\n') ++at_;
    if (at_ == text_.size()) return ResultCode::EndOfInput;
    Deliver(static_cast<unsigned char>(text_[at_++]), out);
    return ResultCode::Ok;
  }
  bool AtEnd() override { return at_ == text_.size(); }

 private:
  std::string text_;
  size_t at_ = 0;
};

// What a caller can see after each NextToken, up to and including the first result that
// is not Ok.
std::vector<std::string> Observe(CharSource* source) {
  Allocator heap;
  Scanner scanner(&heap);
  scanner.SetSource(source);
  std::vector<std::string> seen;
  for (;;) {
    ResultCode r = scanner.NextToken();
    seen.push_back(
        std::to_string(static_cast<int>(r)) + " " + std::to_string(source->line_counter()) + ":" +
        std::to_string(source->column_counter()) + ":" +
        std::to_string(source->position_counter()) + " [" + std::string(scanner.token()) +
        "] at " + std::to_string(scanner.token_place().line) + ":" +
        std::to_string(scanner.token_place().column));
    if (r != ResultCode::Ok) return seen;
  }
}

TEST(WindowScan, CountsAndTokensMatchByteByByteReading) {
  const std::string long_name(40, 'n');
  const std::string model =
      "<?xml version=\"1.0\"?>\n<tsm-model>\n\t<geometries>\n\t\t<geometry name=\"g 1\">\n"
      "\t\t\t<p name=\"A\">-0.7071067811865476 0.5 3.9085630016597568</p>\n"
      "\t\t\t<f>0 1 2</f><c>255 0 0</c>\r\n\t\t</geometry>\n";
  const std::string inputs[] = {
      model,
      model + model + "\n\n  ",
      "a<b<c<<d>>e\n<\n>\n\"q\nr\"s<\"t\">" + long_name + "<" + long_name + ">" + long_name,
      "x\ty\n\n z \"unclosed\nquote",
      std::string(15, 'a') + " " + std::string(16, 'b') + "<" + std::string(31, 'c') + ">" +
          std::string(32, 'd') + "\n" + std::string(33, 'e'),
      std::string(3000, 'w') + " <" + std::string(1500, 'v') + " \"" + std::string(2500, 'q') +
          "\n\"",
      "\0\xff\x1a \r\r\n\r"s,
      "",
      "<p>",
  };
  for (const std::string& input : inputs) {
    ByteByByteSource reference(input);
    const std::vector<std::string> want = Observe(&reference);
    for (size_t chunk : {0, 1, 2, 7, 16, 31, 33, 100}) {
      MemoryCharSource source(input.data(), input.size(), chunk);
      EXPECT_EQ(Observe(&source), want) << input.substr(0, 40) << " chunk " << chunk;
    }
  }
}

TEST(WindowScan, RefusesAnOversizedTokenWithTheCountersOfByteByByteReading) {
  const std::string inputs[] = {
      "\n" + std::string(kMaxTokenBytes, 'a') + "b ",
      "\n\"" + std::string(kMaxTokenBytes - 2, 'a') + "\n\nbc\"",
      "<" + std::string(kMaxTokenBytes, 'x') + ">",
  };
  for (const std::string& input : inputs) {
    ByteByByteSource reference(input);
    MemoryCharSource source(input.data(), input.size());
    const std::vector<std::string> want = Observe(&reference);
    ASSERT_EQ(want.back().substr(0, 2), "2 ");  // InvalidInput
    EXPECT_EQ(Observe(&source), want);
  }
}

}  // namespace
}  // namespace tsm2ostra
