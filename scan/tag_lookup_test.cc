// Tests for start-tag classification with attribute collection, and for element skipping.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

#include "scan/scan_test_session.h"
#include "scan/tag_table.h"

namespace tsm2ostra {
namespace {

constexpr TagId kUnknown = TagId::UnknownTag;

// Reads the first token of input and classifies it, as the parse steps do.
struct Lookup : ScanSession {
  explicit Lookup(const std::string& text) : ScanSession(text) {
    EXPECT_EQ(scanner.NextToken(), ResultCode::Ok) << text;
    result = scanner.LookupTag(&id);
  }
  TagId id = kUnknown;
  ResultCode result;
};

TEST(TagLookup, KnowsEachOpeningTagInTableOrder) {
  std::istringstream names(
      "tsm-model meta title version authors description geometries geometry pointSet points p "
      "thickness colors color c vectorField vectors v lineSet lines l faceSet faces f");
  std::string name;
  for (int i = 0; names >> name; ++i) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ClosingTag(static_cast<TagId>(i)), "</" + name + ">");
    EXPECT_EQ(Lookup("<" + name + ">").id, static_cast<TagId>(i));
    Lookup with_attributes("<" + name + " k=\"v\"/>");
    EXPECT_EQ(with_attributes.id, static_cast<TagId>(i));
    EXPECT_EQ(with_attributes.scanner.attributes(), "k=v\"/>");
    for (const std::string& other : {"</" + name + ">", "<" + name + "/>", "<" + name + "x>"}) {
      EXPECT_EQ(Lookup(other).id, kUnknown) << other;
    }
  }
}

TEST(TagLookup, CollectsAttributesThroughTheTagEnd) {
  // Input, then the tag, the attribute text and the token buffer after the lookup.
  const std::tuple<const char*, TagId, const char*, const char*> cases[] = {
      {"<p name=\"A 1\">", TagId::P, "name=A 1\">", ">"},
      {"<p >", TagId::P, ">", ">"},
      {"<color\n>", TagId::Color, ">", ">"},
      {"<po x", kUnknown, "", "<po"},
      {"<PointSet>", kUnknown, "", "<PointSet>"},
      {"<x a=\"1\">", kUnknown, "", "<x"},  // the attribute tokens stay unread
      // The input ends inside the start tag: collection stops quietly, the tag stands.
      {"<p a=\"1\" name=abc", TagId::P, "a=1\"", "name=abc"},
      {"<p ", TagId::P, "", "<p"},
  };
  for (const auto& [input, id, attributes, token_after] : cases) {
    SCOPED_TRACE(input);
    Lookup l(input);
    EXPECT_EQ(l.result, ResultCode::Ok);
    EXPECT_EQ(l.id, id);
    EXPECT_EQ(l.scanner.attributes(), attributes);
    EXPECT_EQ(l.scanner.token(), token_after);
  }
}

TEST(TagLookup, RefusesAttributeTextOverOneMebibyte) {
  const std::string a(kMaxAttributeBytes - 1, 'a');
  Lookup fits("<p " + a + " >");
  EXPECT_EQ(fits.result, ResultCode::Ok);
  EXPECT_EQ(fits.scanner.attributes().size(), kMaxAttributeBytes);
  EXPECT_EQ(Lookup("<p " + a + "b >").result, ResultCode::InvalidInput);
  EXPECT_EQ(Lookup("<p x=1 " + a + " >").result, ResultCode::InvalidInput);
  EXPECT_EQ(Lookup("<p " + a + "bc").result, ResultCode::InvalidInput);  // the token itself
}

TEST(SkipElement, EndsAtTheFirstTokenEqualToTheClosingTag) {
  // Input, the result of skipping its first element, and the token the caller reads next.
  const std::tuple<const char*, ResultCode, const char*> cases[] = {
      {"<a>1</a>2</a>", ResultCode::Ok, "[2]"},
      {"<a><a></a>X</a>", ResultCode::Ok, "[X]"},  // no nesting count
      {"<a>1</a >2</a>", ResultCode::Ok, "end[</a>]"},
      {"<x/></x></x/>z", ResultCode::Ok, "end[z]"},
      {"<x k=\"v\">k</x>z", ResultCode::Ok, "end[z]"},
      {"<title lang=\"en\">T</title>Z", ResultCode::Ok, "end[Z]"},
      {"<title>\"</title>\"</title>Z", ResultCode::Ok, "end[Z]"},
      {"<a>\"</a>", ResultCode::InvalidInput, ""},
      {"abc x</bc>y", ResultCode::Ok, "end[y]"},
      {"< a </ </>y", ResultCode::Ok, "end[y]"},  // a lone '<' closes with "</>"
  };
  for (const auto& [input, result, next] : cases) {
    SCOPED_TRACE(input);
    Lookup l(input);
    ASSERT_EQ(l.scanner.SkipElement(l.id), result);
    if (result == ResultCode::Ok) {
      EXPECT_EQ(NextTokenText(&l.scanner), next);
    }
  }
  // A refused token ends the skip even though the closing tag follows.
  Lookup over("<a>" + std::string(kMaxTokenBytes + 1, 'b') + " </a>");
  EXPECT_EQ(over.scanner.SkipElement(over.id), ResultCode::InvalidInput);
}

}  // namespace
}  // namespace tsm2ostra
