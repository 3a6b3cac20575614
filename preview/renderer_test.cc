// Whole drawings rendered in memory: the element each command draws, the points that
// constructions define, the root's size, and the message for each kind of faulty drawing.
#include "preview/renderer.h"

#include <gtest/gtest.h>

#include <string>

namespace ostra2svg {
namespace {

struct Rendered {
  RenderResult result;
  std::string picture;
};

Rendered Render(const std::string& drawing, size_t chunk = 0, bool fit = false) {
  MemoryByteSource source(drawing.data(), drawing.size(), chunk);
  StringPictureSink sink;
  RenderOptions options;
  options.fit = fit;
  const RenderResult result = RenderDrawing(&source, &sink, options);
  return {result, sink.text()};
}

// The drawn elements: the lines after the root's start tag, up to the markers or the end.
std::string Elements(const std::string& picture) {
  const size_t begin = picture.find(">\n", picture.find("<svg")) + 2;
  size_t end = picture.find("<defs>");
  if (end == std::string::npos) end = picture.find("</svg>");
  return picture.substr(begin, end - begin);
}

std::string Root(const std::string& picture) {
  const size_t begin = picture.find("<svg");
  return picture.substr(begin, picture.find('>', begin) + 1 - begin);
}

TEST(Renderer, EachDrawnCommandBecomesOneElement) {
  const struct {
    const char* drawing;
    const char* elements;
  } kCases[] = {
      {"\npoint A 70.00 50.00\npoint B 110.00 -20.50\ndrawsegment A B",
       "<line class=\"drawsegment\" data-line=\"4\" x1=\"70.00\" y1=\"50.00\" x2=\"110.00\" "
       "y2=\"120.50\" stroke=\"#000000\"/>\n"},
      {"\npoint A 0 0\n\n  \t\npoint B 1 1\r\ncolor 200 0 10\ndrawdashsegment A B",
       "<line class=\"drawdashsegment\" data-line=\"7\" x1=\"0.00\" y1=\"100.00\" x2=\"1.00\" "
       "y2=\"99.00\" stroke=\"#c8000a\" stroke-dasharray=\"1.52% 1.14%\"/>\n"},
      {"\npoint A 0 0\npoint B 1 0\ncolor 0 0 255\ndrawvector A B",
       "<line class=\"drawvector\" data-line=\"5\" x1=\"0.00\" y1=\"100.00\" x2=\"1.00\" "
       "y2=\"100.00\" stroke=\"#0000ff\" marker-end=\"url(#arrow-0000ff)\"/>\n"},
      {"\npoint A 10.005 20\ncmark A",
       "<circle class=\"cmark\" data-line=\"3\" cx=\"10.01\" cy=\"80.00\" r=\"1\" fill=\"none\" "
       "stroke=\"#000000\"/>\n"},
      {"\npoint A 10 20\ncolor 1 2 3\nprintat A {x}",
       "<text class=\"printat\" data-line=\"4\" x=\"10.00\" y=\"80.00\" dy=\"0.35em\" "
       "text-anchor=\"middle\" fill=\"#010203\">x</text>\n"},
      {"\npoint A 10 20\nprintat_t A {a {b} c}",
       "<text class=\"printat_t\" data-line=\"3\" x=\"10.00\" y=\"78.50\" text-anchor=\"middle\" "
       "fill=\"#000000\">a {b} c</text>\n"},
      // A label may span lines; its command stands on the line where it starts.
      {"\npoint A 10 20\nprintat_rt A {one\ntwo}\ncmark A",
       "<text class=\"printat_rt\" data-line=\"3\" x=\"11.50\" y=\"78.50\" fill=\"#000000\">"
       "one\xEF\xBF\xBDtwo</text>\n"
       "<circle class=\"cmark\" data-line=\"5\" cx=\"10.00\" cy=\"80.00\" r=\"1\" fill=\"none\" "
       "stroke=\"#000000\"/>\n"},
      {"\npoint A 1 2\nprintat_rt A {}",
       "<text class=\"printat_rt\" data-line=\"3\" x=\"2.50\" "
       "y=\"96.50\" fill=\"#000000\"></text>\n"},
  };
  for (const auto& c : kCases) {
    for (const size_t chunk : {0, 1, 3}) {
      const Rendered r = Render(c.drawing, chunk);
      ASSERT_EQ(r.result.status, RenderResult::Status::Ok) << c.drawing << r.result.message;
      EXPECT_EQ(Elements(r.picture), c.elements) << c.drawing;
    }
  }
}

TEST(Renderer, ConstructionsDefinePoints) {
  const struct {
    const char* drawing;
    const char* mark;  // where "cmark X" puts its circle
  } kCases[] = {
      {"point A 10 20\npoint B 30 60\nmidpoint X A B", "cx=\"20.00\" cy=\"60.00\""},
      {"point A 10 20\npoint B 30 60\npoint Y 1 1\ntranslate X A B Y", "cx=\"21.00\" cy=\"59.00\""},
      {"point A 10 20\npoint B 30 60\ntowards X A B 0.25", "cx=\"15.00\" cy=\"70.00\""},
      // A face's label anchor, as tsm2ostra builds it: the mean of the corners.
      {"point A 0 0\npoint B 30 0\npoint C 0 30\ntranslate X A A A\ntranslate X A B X\n"
       "translate X A C X\ntowards X A X 0.33",
       "cx=\"9.90\" cy=\"90.10\""},
      {"point X 1 1\npoint X 2 2", "cx=\"2.00\" cy=\"98.00\""},  // defined again
  };
  for (const auto& c : kCases) {
    const Rendered r = Render(std::string(c.drawing) + "\ncmark X");
    ASSERT_EQ(r.result.status, RenderResult::Status::Ok) << c.drawing << r.result.message;
    EXPECT_NE(Elements(r.picture).find(c.mark), std::string::npos) << c.drawing;
  }
}

TEST(Renderer, ViewBoxTakesInWhatIsDrawn) {
  const std::string long_label(100000, 'x');
  const struct {
    std::string drawing;
    bool fit;
    const char* root_size;
  } kCases[] = {
      {"", false, "viewBox=\"-5 -5 150 110\" width=\"600\" height=\"440\""},
      {"\npoint A 200 -50\ncmark A", false,
       "viewBox=\"-5 -5 212 162\" width=\"848\" height=\"648\""},
      // Only what is drawn counts, not the points defined.
      {"\npoint A 9000 -9000\n", false, "viewBox=\"-5 -5 150 110\" width=\"600\" height=\"440\""},
      // A text's width is estimated from its characters.
      {"\npoint A 130 50\nprintat_rt A {abcdefghij}", false,
       "viewBox=\"-5 -5 166 110\" width=\"664\" height=\"440\""},
      // One label widens the view by at most 60 characters.
      {"\npoint A 70 50\nprintat_rt A {" + long_label + "}", false,
       "viewBox=\"-5 -5 226 110\" width=\"904\" height=\"440\""},
      // The arrowhead reaches past a vector's tip; a segment ends at its point.
      {"\npoint A 70 50\npoint B 200 50\ndrawsegment A B", false,
       "viewBox=\"-5 -5 211 110\" width=\"844\" height=\"440\""},
      {"\npoint A 70 50\npoint B 200 50\ndrawvector A B", false,
       "viewBox=\"-5 -5 213 110\" width=\"852\" height=\"440\""},
      // A picture is at most 1600 pixels wide or high, rounding included (530 units).
      {"\npoint A 0 0\npoint B 1000000 0\ndrawsegment A B", false,
       "viewBox=\"-6 -5 1000012 111\" width=\"1600\" height=\"1\""},
      {"\npoint A 0 -1" + std::string(299, '0') + "\ncmark A", false,
       "viewBox=\"-7 -5 152 1.0000000000000001e+299\" width=\"1\" height=\"1600\""},
      {"\npoint A 518.5 50\ncmark A", false,
       "viewBox=\"-5 -5 530 110\" width=\"1600\" height=\"333\""},
      // Fitted: what is drawn alone, far from the drawing area; nothing drawn shows the area.
      {"\npoint A 15000 2000\npoint B 15100 2050\ndrawsegment A B", true,
       "viewBox=\"14994 -1956 112 62\" width=\"448\" height=\"248\""},
      {"\npoint A 15000 2000\n", true, "viewBox=\"-5 -5 150 110\" width=\"600\" height=\"440\""},
  };
  for (const auto& c : kCases) {
    const Rendered r = Render(c.drawing, 0, c.fit);
    ASSERT_EQ(r.result.status, RenderResult::Status::Ok) << c.drawing << r.result.message;
    const std::string root = Root(r.picture);
    EXPECT_NE(root.find(c.root_size), std::string::npos) << root;
  }
  // The long label keeps its whole text.
  const Rendered r = Render("\npoint A 0 0\nprintat A {" + long_label + "}");
  EXPECT_NE(r.picture.find(">" + long_label + "</text>"), std::string::npos);
}

TEST(Renderer, OneMarkerPerArrowColour) {
  const Rendered r = Render(
      "\npoint A 0 0\ndrawvector A A\ncolor 255 0 0\ndrawvector A A\ncolor 0 0 0\ndrawvector A A");
  ASSERT_EQ(r.result.status, RenderResult::Status::Ok);
  const std::string defs = r.picture.substr(r.picture.find("<defs>"));
  EXPECT_EQ(defs,
            "<defs>\n"
            "<marker id=\"arrow-000000\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" "
            "markerWidth=\"7\" markerHeight=\"7\" orient=\"auto\"><path d=\"M0,0L10,5L0,10z\" "
            "fill=\"#000000\"/></marker>\n"
            "<marker id=\"arrow-ff0000\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" "
            "markerWidth=\"7\" markerHeight=\"7\" orient=\"auto\"><path d=\"M0,0L10,5L0,10z\" "
            "fill=\"#ff0000\"/></marker>\n"
            "</defs>\n</svg>\n");
}

TEST(Renderer, FaultyDrawingsNameTheirLine) {
  const std::string k2e300 = "2" + std::string(300, '0');
  const struct {
    std::string drawing;
    int64_t line;
    const char* message;
  } kCases[] = {
      {"\npoint A 1 2\nfly A", 3, "unknown command 'fly'"},
      {"\nPOINT A 1 2", 2, "unknown command 'POINT'"},
      {"\ndrawsegment P1_0 P1_1", 2, "undefined point 'P1_0'"},
      {"\npoint A 1 2\nmidpoint M A B", 3, "undefined point 'B'"},
      {"\npoint A 1 2\nprintat_t B {x}", 3, "undefined point 'B'"},
      {"\npoint A 1 2\ncmark A\nmidpoint A A Z", 4, "undefined point 'Z'"},
      {"\npoint A 1,5 2", 2, "malformed number '1,5'"},
      {"\npoint A 1 2e3", 2, "malformed number '2e3'"},
      {"\npoint A - 2", 2, "malformed number '-'"},
      {"\npoint A 1 2\ntowards X A A 0x1", 3, "malformed number '0x1'"},
      {"\ncolor 256 0 0", 2, "colour component '256' is not a whole number from 0 to 255"},
      {"\ncolor 1 -1 0", 2, "colour component '-1' is not a whole number from 0 to 255"},
      {"\npoint A 1", 2, "'point' takes 3 operands, not 2"},
      {"\npoint A 1 2\ncmark A A", 3, "'cmark' takes 1 operand, not 2"},
      {"\npoint A 1 2\ndrawsegment A A A", 3, "'drawsegment' takes 2 operands, not 3"},
      {"\npoint A 1 2\nprintat A x", 3, "'printat' takes a point and a {label}"},
      {"\npoint A 1 2\nprintat A {x} y", 3, "'printat' takes a point and a {label}"},
      {"\npoint A 1 2\nprintat_rt A", 3, "'printat_rt' takes a point and a {label}"},
      {"\npoint A 1 2\nprintat A {x{y}\ncmark A", 3,
       "label not closed: its '{' has no matching '}'"},
      {"\npoint A 1e4 2", 2, "malformed number '1e4'"},
      {"\npoint A 1 2\ntowards X A B 1", 3, "undefined point 'B'"},
      // Points must stay within 1e300 of the origin, however they are made.
      {"\npoint A " + k2e300 + " 0", 2, "point 'A' lies too far out to be drawn"},
      {"\npoint A 0 -" + k2e300, 2, "point 'A' lies too far out to be drawn"},
      {"\npoint A 0 0\npoint B 1 0\ntowards X A B " + k2e300, 4,
       "point 'X' lies too far out to be drawn"},
      {"\npoint \x01\xFF 1 x", 2, "malformed number 'x'"},
      {"\nfly\xC3\xA9", 2,
       "unknown command 'fly?"
       "?'"},
      {"\nabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz", 2,
       "unknown command 'abcdefghijklmnopqrstuvwxyzabcdefghijklmn...'"},
  };
  for (const auto& c : kCases) {
    const Rendered r = Render(c.drawing);
    EXPECT_EQ(r.result.status, RenderResult::Status::BadDrawing) << c.drawing;
    EXPECT_EQ(r.result.line, c.line) << c.drawing;
    EXPECT_EQ(r.result.message, c.message) << c.drawing;
  }
}

}  // namespace
}  // namespace ostra2svg
