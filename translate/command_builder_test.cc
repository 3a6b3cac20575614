// Tests for CommandBuilder: integers at their extremes, and lines built in the output's
// buffer whatever its fill, up to labels longer than the whole buffer.
#include "translate/command_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "driver/output_stream.h"

namespace tsm2ostra {
namespace {

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

TEST(CommandBuilder, WritesIntegersAsDecimalText) {
  const int64_t values[] = {
      0,   9,      10,        99,        100,       12345,     -1,
      -10, -99999, INT32_MAX, INT32_MIN, INT64_MAX, INT64_MIN, 1000000000000000000};
  KeepingOutput output;
  std::string expected;
  for (int64_t v : values) {
    EXPECT_TRUE(
        CommandBuilder(&output).Int(v).Text(" ").Name(GeometryNames(v).point(), 7).Finish());
    expected += "\n" + std::to_string(v) + " P" + std::to_string(v) + "_7";
  }
  ASSERT_TRUE(output.Flush());
  EXPECT_EQ(output.text, expected);
}


// How many bytes a plain buffer of the same size would have handed on after each write:
// a write that doesn't fit sends what is buffered first, and one of the buffer's size or
// more goes straight on.
struct PlainBuffer {
  size_t used = 0;
  size_t sunk = 0;
  void Write(size_t n) {
    if (n <= OutputStream::kBufferSize - used) {
      used += n;
      return;
    }
    sunk += used;
    used = 0;
    if (n >= OutputStream::kBufferSize) {
      sunk += n;
    } else {
      used = n;
    }
  }
};

TEST(CommandBuilder, LinesGoOutWholeAndAsWritesOfTheWholeTextWould) {
  const size_t k = OutputStream::kBufferSize;
  // Labels around the buffer's size, after a first line that leaves the next one at the
  // buffer's end.
  for (size_t fill : {size_t{1}, size_t{100}, k - 40, k - 1}) {
    // A command of k - 25 + 25 bytes is exactly the buffer's size.
    for (size_t label_size : {size_t{0}, size_t{5000}, k - 60, k - 26, k - 25, k, 3 * k + 5}) {
      SCOPED_TRACE(std::to_string(fill) + " " + std::to_string(label_size));
      const std::string filler(fill - 1, 'f'), label(label_size, 'x');
      KeepingOutput built;
      PlainBuffer plain;
      ASSERT_TRUE(CommandBuilder(&built).Text(filler).Finish());
      plain.Write(1);
      plain.Write(filler.size());
      ASSERT_TRUE(CommandBuilder(&built).Text("printat_rt ").Name(GeometryNames(3).point(), 14)
                      .Text(" ")
                      .Braced(label).Text(" ").Fixed2(70.125).Finish());
      const std::string command = "printat_rt P3_14 {" + label + "} 70.13";
      plain.Write(1);
      plain.Write(command.size());
      // The same bytes have reached the sink after each command (so a failing sink is
      // noticed at the same command), and every byte arrives.
      EXPECT_EQ(built.text.size(), plain.sunk);
      ASSERT_TRUE(CommandBuilder(&built).Text("cmark ").Int(-12).Finish());
      plain.Write(1);
      plain.Write(9);
      EXPECT_EQ(built.text.size(), plain.sunk);
      ASSERT_TRUE(built.Flush());
      EXPECT_EQ(built.text, "\n" + filler + "\n" + command + "\ncmark -12");
    }
  }
}

}  // namespace
}  // namespace tsm2ostra
