// Tests for CommandBuilder: integers at their extremes, and lines built in the output's
// buffer whatever its fill, up to labels longer than the whole buffer.
#include "translate/command_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "driver/output_stream.h"

namespace tsm2ostra {
namespace {

TEST(CommandBuilder, WritesIntegersAsDecimalText) {
  const int64_t values[] = {
      0,   9,      10,        99,        100,       12345,     -1,
      -10, -99999, INT32_MAX, INT32_MIN, INT64_MAX, INT64_MIN, 1000000000000000000};
  MemoryOutputStream output;
  std::string expected;
  for (int64_t v : values) {
    EXPECT_TRUE(CommandBuilder(&output).Int(v).Text(" ").Name('P', v, 7).Finish());
    expected += "\n" + std::to_string(v) + " P" + std::to_string(v) + "_7";
  }
  ASSERT_TRUE(output.Flush());
  EXPECT_EQ(output.text(), expected);
}

// Keeps what reached the sink, so that a test sees when bytes left the buffer.
class KeepingOutput final : public BufferedOutputStream<OutputStream::kBufferSize> {
 public:
  std::string text;

 private:
  bool Sink(const char* data, size_t n) override {
    text.append(data, n);
    return true;
  }
};

TEST(CommandBuilder, LinesGoOutWholeAndAsWritesOfTheWholeTextWould) {
  const size_t k = OutputStream::kBufferSize;
  // Labels around the buffer's size, after fills that leave the line at the buffer's end.
  for (size_t fill : {size_t{0}, size_t{100}, k - 40, k - 1}) {
    // A command of k - 25 + 25 bytes is exactly the buffer's size.
    for (size_t label_size : {size_t{0}, size_t{5000}, k - 60, k - 26, k - 25, k, 3 * k + 5}) {
      SCOPED_TRACE(std::to_string(fill) + " " + std::to_string(label_size));
      const std::string filler(fill, 'f'), label(label_size, 'x');
      KeepingOutput built, written;
      // Built in place: filler, a command, and one more short line.
      built.Write(filler.data(), filler.size());
      ASSERT_TRUE(CommandBuilder(&built).Text("printat_rt ").Name('P', 3, 14).Text(" ")
                      .Braced(label).Text(" ").Fixed2(70.125).Finish());
      const size_t sunk_after_command = built.text.size();
      ASSERT_TRUE(CommandBuilder(&built).Text("cmark ").Int(-12).Finish());
      // The same lines handed over as the newline and the whole text, in two writes.
      const std::string command = "printat_rt P3_14 {" + label + "} 70.13";
      written.Write(filler.data(), filler.size());
      written.Write("\n", 1);
      written.Write(command.data(), command.size());
      const size_t written_sunk_after_command = written.text.size();
      written.Write("\n", 1);
      written.Write("cmark -12", 9);
      // The same bytes have reached the sink after each command (so a failing sink is
      // noticed at the same command), and every byte arrives.
      EXPECT_EQ(sunk_after_command, written_sunk_after_command);
      EXPECT_EQ(built.text.size(), written.text.size());
      ASSERT_TRUE(built.Flush());
      ASSERT_TRUE(written.Flush());
      EXPECT_EQ(built.text, filler + "\n" + command + "\ncmark -12");
      EXPECT_EQ(built.text, written.text);
    }
  }
}

}  // namespace
}  // namespace tsm2ostra
