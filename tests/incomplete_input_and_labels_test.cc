// End-to-end tables for two guarantees: an input that ends before its document is complete is
// never a success, and a label whose braces don't pair up is refused before it is written.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "tests/conversion_harness.h"

namespace tsm2ostra {
namespace {

// Converts input through the library; returns the report line and the drawing.
std::pair<std::string, std::string> Convert(const std::string& input) {
  const tsm2ostra_test::Outcome outcome = tsm2ostra_test::Convert(input);
  return {outcome.console, outcome.output};
}

const char kConverted[] = "File 'model.tsm' successfully converted.\n";

TEST(IncompleteInput, EndsWithSuccessOnlyBetweenTokensAfterAClosedRoot) {
  const std::string point = "<geometries><geometry><p>0 0</p></geometry></geometries>";
  const std::tuple<std::string, const char*> cases[] = {
      {"", kConverted},
      {" \n\t\n", kConverted},
      {"<tsm-model></tsm-model>", kConverted},
      {"<tsm-model></tsm-model>\n", kConverted},
      {"<tsm-model></tsm-model><tsm-model>" + point + "</tsm-model>\n\n", kConverted},
      {"<tsm-mo", "Error while reading line 1\n"},
      {"<tsm-model>\n<geometry>\n", "Error while reading line 3\n"},
      {"<tsm-model>\n<extension/>", "Error while reading line 2\n"},
      {"<tsm-model></tsm-model>\nrest", "Error while reading line 2\n"},
      {"<tsm-model></tsm-model>\n<tsm-model", "Error while reading line 2\n"},
      // A '>' in a quoted identifier ends the raw skip early; the rest is one open quote.
      {"<!DOCTYPE m SYSTEM \"x>y.dtd\">\n<tsm-model>" + point + "</tsm-model>\n",
       "Error while reading line 3\n"},
      // The raw skips keep their own answer at the end of the input.
      {"<?xml version=\"1.0\"?>\n", "Error while reading line 2 (Invalid input)\n"},
      {"<?xml", "Error while reading line 1 (Invalid input)\n"},
      {"<tsm-model><meta a=\"1\"/>", "Error while reading line 1 (Invalid input)\n"},
  };
  for (const auto& [input, report] : cases) {
    SCOPED_TRACE(input);
    EXPECT_EQ(Convert(input).first, report);
  }
}

// Two points, a line and a face, on lines 2 to 4, with the attribute texts given for the
// first point, the line and the face.
std::string LabelModel(const std::string& p, const std::string& l, const std::string& f) {
  return "<tsm-model><geometries><geometry>\n<pointSet><p " + p +
         ">0 0</p><p>1 0</p></pointSet>\n<lineSet><l " + l + ">0 1</l></lineSet>\n<faceSet><f " +
         f + ">0 1</f></faceSet>\n</geometry></geometries></tsm-model>";
}

std::string Named(const std::string& label) { return "name=\"" + label + "\""; }

TEST(Labels, ABraceThatDoesNotPairUpIsRefusedWhereTheLabelIsTaken) {
  // One label in turn on a point, a line and a face; what is written before it stays.
  auto model = [](const std::string& p, const std::string& l, const std::string& f) {
    return LabelModel(Named(p), Named(l), Named(f));
  };
  const std::string fine = "{a}{b}";
  const std::string points = "\npoint P1_1 70.00 50.00\ncmark P1_1\nprintat_rt P1_1 {{a}{b}}"
                             "\npoint P1_2 80.00 50.00";
  const std::string line = "\ndrawdashsegment P1_1 P1_2";
  for (const std::string bad : {"A} drawsegment P1_1 P1_2 {", "}{", "{", "a}", "{{x}"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Convert(model(bad, fine, fine)),
              std::make_pair(std::string("Error while reading line 2 (Invalid input)\n"),
                             std::string()));
    EXPECT_EQ(Convert(model(fine, bad, fine)),
              std::make_pair(std::string("Error while reading line 3 (Invalid input)\n"),
                             points + line));
    EXPECT_EQ(Convert(model(fine, fine, bad)),
              std::make_pair(std::string("Error while reading line 4 (Invalid input)\n"),
                             points + line + "\nmidpoint M1_1_1_2 P1_1 P1_2" +
                                 "\nprintat_t M1_1_1_2 {{a}{b}}"));
  }
  // Braces that pair up are written as they stand.
  for (const std::string good : {"$x^{2}$", "{a}{b}", "\\{s\\}", "", "{{}}"}) {
    SCOPED_TRACE(good);
    const auto [report, drawing] = Convert(model(good, good, good));
    EXPECT_EQ(report, kConverted);
    EXPECT_NE(drawing.find("printat P1_label {" + good + "}"), std::string::npos);
  }
}

TEST(Labels, TheBracesOfOtherAttributesDoNotCount) {
  for (const std::string accepted : {"id=\"{\" name=\"a\"", "name=\"a\" id=\"}\""}) {
    SCOPED_TRACE(accepted);
    EXPECT_EQ(Convert(LabelModel(accepted, accepted, accepted)).first, kConverted);
  }
  // A label of one '{', though the tag's braces pair up.
  const std::string refused = "name=\"{\" id=\"}\"";
  const std::string fine = Named("a");
  EXPECT_EQ(Convert(LabelModel(refused, fine, fine)).first,
            "Error while reading line 2 (Invalid input)\n");
  EXPECT_EQ(Convert(LabelModel(fine, refused, fine)).first,
            "Error while reading line 3 (Invalid input)\n");
  EXPECT_EQ(Convert(LabelModel(fine, fine, refused)).first,
            "Error while reading line 4 (Invalid input)\n");
}

}  // namespace
}  // namespace tsm2ostra
