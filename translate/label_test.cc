// Tests for taking a label from collected attribute text.
#include "translate/label.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tsm2ostra {
namespace {

TEST(Label, TakesTheTextAfterTheFirstNameKey) {
  // Attribute text as collected (a quoted value has lost its opening quote), whether a label
  // is found, and the label.
  const std::tuple<const char*, bool, const char*> cases[] = {
      {"name=Cube\">", true, "Cube"},
      {"name=A 1\">", true, "A 1"},
      {"name=\">", true, ""},
      {"filename=x\"name=y\">", true, "x"},
      {"name=a name=b\">", true, "a name=b"},
      {"Name=x\">", false, ""},
      // No double quote after the key: the label runs to the end of the tag.
      {"name=abc>", true, "abc"},
      {"name=abc/>", true, "abc"},
      {"name=a/b>", true, "a/b"},
      {"name=>", true, ""},
      // Collection stopped at the end of the input: no tag end to take off.
      {"x=1\"name=abc", true, "abc"},
      {"name=ab/", true, "ab/"},
  };
  for (const auto& [attributes, found, label] : cases) {
    std::string_view got = "unset";
    EXPECT_EQ(FindLabel(attributes, &got), found) << attributes;
    if (found) {
      EXPECT_EQ(got, label) << attributes;
    }
  }
}

}  // namespace
}  // namespace tsm2ostra
