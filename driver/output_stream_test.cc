// Tests of the output stream: every byte arrives in order, across buffer ends and through
// lines longer than the buffer, and once a write has failed nothing more is written and the
// failure stays.
#include "driver/output_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace tsm2ostra {
namespace {

// Keeps what it is handed; fails only its fail_at-th write call (0: none), as a disk that
// was full for a moment would, keeping none of its bytes.
struct Sink {
  std::string text;
  int calls = 0;
  int fail_at = 0;
  static int Write(void* context, const char* bytes, size_t size) {
    Sink* sink = static_cast<Sink*>(context);
    if (++sink->calls == sink->fail_at) return 1;
    sink->text.append(bytes, size);
    return 0;
  }
};

// Writes one line through the in-place interface, as the commands are written.
bool WriteOneLine(OutputStream* output, const std::string& text) {
  char* at = output->BeginLine();
  at = output->AppendToLine(at, text.data(), text.size());
  return output->EndLine(at);
}

TEST(OutputStream, EveryByteArrivesInOrderInWholeBuffers) {
  Sink sink;
  CallbackOutputStream output(Sink::Write, &sink);
  // Lines of many lengths, so that some are spilled across the end of the buffer, and two
  // lines longer than the buffer.
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    const std::string text((i * 997) % 5000, static_cast<char>('a' + i % 26));
    ASSERT_TRUE(WriteOneLine(&output, text));
    expected += "\n" + text;
    if (i == 1000 || i == 2999) {
      const std::string long_line(2 * OutputStream::kBufferSize + 3, 'W');
      ASSERT_TRUE(WriteOneLine(&output, long_line));
      expected += "\n" + long_line;
    }
  }
  EXPECT_TRUE(output.Flush());
  EXPECT_EQ(sink.text, expected);
  // One call per buffer: the line longer than two buffers goes out in a few pieces.
  EXPECT_LE(static_cast<size_t>(sink.calls), expected.size() / OutputStream::kBufferSize + 8);
}

TEST(OutputStream, AfterAFailedWriteNothingMoreIsWrittenAndTheFailureStays) {
  for (const int fail_at : {1, 2}) {
    SCOPED_TRACE(fail_at);
    Sink sink;
    sink.fail_at = fail_at;
    CallbackOutputStream output(Sink::Write, &sink);
    // Short lines that fill the buffer, then, after the failure, one line longer than the
    // buffer that would go out in pieces.
    const std::string piece(1000, 'x');
    int lines = 0;
    while (WriteOneLine(&output, piece)) ++lines;
    EXPECT_EQ(sink.calls, fail_at);  // the line that filled the buffer met the failure
    EXPECT_GT(static_cast<size_t>(lines + 1) * 1001, (fail_at - 1) * OutputStream::kBufferSize);
    const size_t kept = sink.text.size();
    EXPECT_FALSE(WriteOneLine(&output, std::string(2 * OutputStream::kBufferSize, 'L')));
    EXPECT_FALSE(WriteOneLine(&output, piece));
    EXPECT_FALSE(output.Flush());
    EXPECT_TRUE(output.failed());
    EXPECT_EQ(sink.calls, fail_at);  // nothing was handed on after the failure
    EXPECT_EQ(sink.text.size(), kept);
    EXPECT_EQ(kept != 0, fail_at > 1);
  }
}

}  // namespace
}  // namespace tsm2ostra
