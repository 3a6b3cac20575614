// Conversions at the edges of the number ranges: coordinates that overflow, and vertex
// numbers and colour components at the ends of the signed 32-bit range.
#include <string>

#include <gtest/gtest.h>

#include "tests/conversion_harness.h"

namespace tsm2ostra {
namespace {

struct RangeCase {
  const char* geometry;  // the content of one geometry
  tsm2ostra_status status;
  const char* output;
};

TEST(RangeChecks, NumbersAtTheEdgesConvertOrFailWhole) {
  const RangeCase cases[] = {
      // A coordinate or a vector tip that overflows is refused before anything is kept.
      {"<pointSet><p>1e308 0</p></pointSet>", TSM2OSTRA_INVALID_INPUT, ""},
      {"<pointSet><p>0 -1e308</p></pointSet>", TSM2OSTRA_INVALID_INPUT, ""},
      {"<pointSet><p>0 0</p></pointSet><vectorField><v>1e308 0 0</v></vectorField>",
       TSM2OSTRA_INVALID_INPUT, "\npoint P1_1 70.00 50.00"},
      // A line adds one, then truncates: the sum must fit.
      {"<lineSet><l>2147483646 -2147483649</l></lineSet>", TSM2OSTRA_OK,
       "\ndrawdashsegment P1_2147483647 P1_-2147483648"},
      {"<lineSet><l>2147483647 0</l></lineSet>", TSM2OSTRA_INVALID_INPUT, ""},
      {"<lineSet><l>0 -2147483650</l></lineSet>", TSM2OSTRA_INVALID_INPUT, ""},
      // A face truncates, then adds one: both steps must fit.
      {"<faceSet><f>2147483646.9 -2147483648.9</f></faceSet>", TSM2OSTRA_OK,
       "\ndrawsegment P1_2147483647 P1_-2147483647\ndrawsegment P1_-2147483647 P1_2147483647"},
      {"<faceSet><f>2147483647</f></faceSet>", TSM2OSTRA_INVALID_INPUT, ""},
      {"<faceSet><f>-2147483649</f></faceSet>", TSM2OSTRA_INVALID_INPUT, ""},
      // Colour components keep their low eight bits of a 32-bit integer.
      {"<pointSet><p>0 0</p><colors><c>-2147483648.5 2147483647 -1</c></colors></pointSet>",
       TSM2OSTRA_OK, "\ncolor 0 255 255\npoint P1_1 70.00 50.00"},
      {"<pointSet><p>0 0</p><colors><c>2147483648 0 0</c></colors></pointSet>",
       TSM2OSTRA_INVALID_INPUT, ""},
      {"<pointSet><p>0 0</p><colors><c>0 -2147483649 0</c></colors></pointSet>",
       TSM2OSTRA_INVALID_INPUT, ""},
      {"<pointSet><p>0 0</p></pointSet><vectorField><v>0 1e308 0</v></vectorField>",
       TSM2OSTRA_INVALID_INPUT, "\npoint P1_1 70.00 50.00"},
  };
  for (const RangeCase& c : cases) {
    const std::string model = std::string("<tsm-model><geometries><geometry>") + c.geometry +
                              "</geometry></geometries></tsm-model>";
    const tsm2ostra_test::Outcome outcome = tsm2ostra_test::Convert(model);
    EXPECT_EQ(outcome.result.status, c.status) << c.geometry;
    EXPECT_EQ(outcome.output, c.output) << c.geometry;
  }
}

}  // namespace
}  // namespace tsm2ostra
