// Tests for the character sources: counters, dropping a carriage return before a line feed
// at every block edge, every byte value as a character, the end of input, Reset, no stream.
#include "scan/char_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace tsm2ostra {
namespace {

using namespace std::string_literals;

// Everything the source delivers until it stops, through the scanner's path.
std::string Drain(CharSource* src) {
  std::string out;
  for (char c; src->Take(&c) == ResultCode::Ok;) out += c;
  return out;
}

std::tuple<int64_t, int64_t, int64_t> Counters(const CharSource& s) {
  return {s.line_counter(), s.column_counter(), s.position_counter()};
}

TEST(CharSource, DeliversBytesAndCounts) {
  // Input, bytes delivered, then line, column and position after them.
  const std::tuple<std::string, std::string, int64_t, int64_t, int64_t> cases[] = {
      {"", "", 1, 0, 1},         {"ab\ncd", "ab\ncd", 2, 2, 6},
      {"\n\n", "\n\n", 3, 0, 3}, {"a\r\nb", "a\nb", 2, 1, 4},
      {"a\rb", "a\rb", 1, 3, 4}, {"\0\xff\x1a\r"s, "\0\xff\x1a\r"s, 1, 4, 5},
  };
  for (const auto& [text, delivered, line, column, position] : cases) {
    SCOPED_TRACE(text);
    MemoryCharSource src(text.data(), text.size());
    EXPECT_EQ(Counters(src), std::make_tuple(1, 0, 1));
    EXPECT_FALSE(src.AtEnd());
    EXPECT_EQ(Drain(&src), delivered);
    EXPECT_TRUE(src.AtEnd());
    // The end is reported again on every later call; nothing moves.
    char out = 'q';
    EXPECT_EQ(src.ReadChar(&out), ResultCode::EndOfInput);
    EXPECT_EQ(out, 'q');
    EXPECT_EQ(Counters(src), std::make_tuple(line, column, position));
  }
}

TEST(CharSource, DropsCarriageReturnBeforeLineFeedAtEveryBlockEdge) {
  const std::string text = "\r\nab\r\r\n\rc\r\r\r\n\n\rd\r\n\r";
  const std::string want = "\nab\r\n\rc\r\r\n\n\rd\n\r";
  for (size_t chunk = 0; chunk <= 20; ++chunk) {
    MemoryCharSource src(text.data(), text.size(), chunk);
    EXPECT_EQ(Drain(&src), want) << "chunk " << chunk;
    EXPECT_EQ(src.line_counter(), 1 + std::count(want.begin(), want.end(), '\n'));
  }
}

TEST(CharSource, ResetRestartsTheCountersNotTheReading) {
  MemoryCharSource src("a\nbc", 4);
  char c;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(src.ReadChar(&c), ResultCode::Ok);
  EXPECT_EQ(src.Reset(), 1);
  EXPECT_EQ(Counters(src), std::make_tuple(1, 0, 1));
  ASSERT_EQ(src.ReadChar(&c), ResultCode::Ok);
  EXPECT_EQ(c, 'c');
  EXPECT_EQ(Counters(src), std::make_tuple(1, 1, 2));
  EXPECT_FALSE(src.AtEnd());  // the last byte is out, but the end has not been met
}

TEST(CallbackCharSource, AFailedReadStaysAFailureAndIsNeverTheEnd) {
  // Hands out "ab\n" one byte a call, then fails; the function is not called again.
  struct Reads {
    int calls = 0;
    static long Read(void* context, char* buffer, size_t) {
      Reads* reads = static_cast<Reads*>(context);
      if (reads->calls++ == 3) return -1;
      buffer[0] = "ab\n"[reads->calls - 1];
      return 1;
    }
  } reads;
  CallbackCharSource src(Reads::Read, &reads);
  EXPECT_EQ(Drain(&src), "ab\n");
  char c = 'q';
  EXPECT_EQ(src.ReadChar(&c), ResultCode::ReadFailed);
  EXPECT_EQ(src.Take(&c), ResultCode::ReadFailed);
  EXPECT_EQ(c, 'q');
  EXPECT_TRUE(src.AtEnd());
  EXPECT_EQ(reads.calls, 4);
  EXPECT_EQ(Counters(src), std::make_tuple(2, 0, 4));
}

TEST(CallbackCharSource, NoFunctionIsInvalidInputOnEveryCall) {
  CallbackCharSource src(nullptr, nullptr);
  char c = 'q';
  EXPECT_EQ(src.ReadChar(&c), ResultCode::InvalidInput);
  EXPECT_EQ(src.Take(&c), ResultCode::InvalidInput);
  EXPECT_TRUE(src.AtEnd());
  EXPECT_EQ(c, 'q');
  EXPECT_EQ(Counters(src), std::make_tuple(1, 0, 1));
}

}  // namespace
}  // namespace tsm2ostra
