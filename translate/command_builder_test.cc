// Tests for CommandBuilder: integers at their extremes, commands longer than the line
// buffer's first room, and a failed growth.
#include "translate/command_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "scan/allocation.h"

namespace tsm2ostra {
namespace {

TEST(CommandBuilder, WritesIntegersAsDecimalText) {
  const int64_t values[] = {
      0,   9,      10,        99,        100,       12345,     -1,
      -10, -99999, INT32_MAX, INT32_MIN, INT64_MAX, INT64_MIN, 1000000000000000000};
  ByteBuffer line;
  for (int64_t v : values) {
    CommandBuilder command(&line);
    command.Int(v).Text(" ").Name('P', v, 7);
    EXPECT_EQ(command.text(), std::to_string(v) + " P" + std::to_string(v) + "_7");
  }
}

TEST(CommandBuilder, GrowsForLongLabelsAndReportsAFailedGrowth) {
  const std::string label(5000, 'x');
  ByteBuffer line;
  {
    CommandBuilder command(&line);
    command.Text("printat_rt ").Name('P', 3, 14).Text(" ").Braced(label).Text(" ").Fixed2(70.125);
    ASSERT_TRUE(command.ok());
    EXPECT_EQ(command.text(), "printat_rt P3_14 {" + label + "} 70.13");
  }
  ByteBuffer fresh;
  FailAllocationNumber(1);
  CommandBuilder command(&fresh);
  command.Text("printat ").Braced(label).Int(5);
  FailAllocationNumber(0);
  EXPECT_FALSE(command.ok());
  EXPECT_EQ(command.text(), "");
}

}  // namespace
}  // namespace tsm2ostra
