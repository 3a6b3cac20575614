// The usual elements ("<p>", "<c>", "<f>", "<l>", "<v>") are read in one step when they lie
// whole in the window. These tests convert inputs with that shortcut and without it, and
// check that nothing differs: result, output, and the line, column and position reached,
// also when the output fails or an allocation fails in the middle of an element.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "driver/converter.h"
#include "driver/output_stream.h"
#include "scan/allocation.h"
#include "scan/char_source.h"

namespace tsm2ostra {
namespace {

namespace fs = std::filesystem;

constexpr size_t kNoLimit = static_cast<size_t>(-1);

struct Outcome {
  ResultCode result;
  std::string output;
  int64_t line;
  int64_t column;
  int64_t position;
};

Outcome Convert(const std::string& input, bool lookahead, size_t chunk = 0,
                size_t fail_after = kNoLimit) {
  Converter::AllowLookahead(lookahead);
  auto source = std::make_unique<MemoryCharSource>(input.data(), input.size(), chunk);
  auto output = std::make_unique<MemoryOutputStream>(fail_after);
  auto converter = std::make_unique<Converter>();
  ResultCode result = converter->ParseDocument(source.get(), output.get());
  if (!output->Close() && result == ResultCode::Ok) result = ResultCode::WriteFailed;
  Converter::AllowLookahead(true);
  return {result, output->text(), source->line_counter, source->column_counter,
          source->position_counter};
}

void ExpectSame(const Outcome& with, const Outcome& without) {
  EXPECT_EQ(static_cast<int>(with.result), static_cast<int>(without.result));
  EXPECT_EQ(with.output, without.output);
  EXPECT_EQ(with.line, without.line);
  EXPECT_EQ(with.column, without.column);
  EXPECT_EQ(with.position, without.position);
}

void ExpectSameBothWays(const std::string& input, size_t chunk = 0,
                        size_t fail_after = kNoLimit) {
  ExpectSame(Convert(input, true, chunk, fail_after), Convert(input, false, chunk, fail_after));
}

std::string Model(const std::string& points, const std::string& point_colors,
                  const std::string& faces, const std::string& face_colors,
                  const std::string& lines, const std::string& vectors) {
  return "<tsm-model><geometries><geometry>\n<pointSet><points>" + points +
         "</points><colors>" + point_colors + "</colors></pointSet>\n<faceSet><faces>" + faces +
         "</faces><colors>" + face_colors + "</colors></faceSet>\n<lineSet><lines>" + lines +
         "</lines></lineSet>\n<vectorField><vectors>" + vectors +
         "</vectors></vectorField>\n</geometry></geometries></tsm-model>\n";
}

const char kPoints[] = "<p>0.5 1.25 2</p><p name=\"B\">-1 2</p>\n<p>3 4 5</p>";
const char kColors[] = "<c>1 2 3</c><c>4 5 6</c>";
const char kFaces[] = "<f>0 1 2</f>\n<f name=\"F\">2 1 0</f>";
const char kLines[] = "<l>0 1</l><l name=\"M\">1 2</l>";
const char kVectors[] = "<v>1 2 3</v>\n<v>0.5 0.25 0</v>";

TEST(Lookahead, EveryKindOfElementReadsAlikeWithAndWithoutIt) {
  // Each variant takes the place of one kind of element in an otherwise usual model: white
  // space and line feeds inside, a '<' right after a number, too few or too many tokens,
  // non-numbers, values out of range, quotes, '>' and closing tags that do not match.
  const std::vector<std::string> points = {
      "<p>1 2 3</p>", "<p>1 2</p>", "<p>\n1\n\t2 \n3\n</p>", "<p>1 2 3 4</p>", "<p>1</p>",
      "<p></p>", "<p>1 2 x</p>", "<p>x 2 3</p>", "<p>1 2 3</p >", "<p>1 2 3< /p>",
      "<p>1 2 \"3\"</p>", "<p>1 > 2</p>", "<p>1e999 2</p>", "<p>1e307 2</p>", "<p>1 2 1e999</p>",
      "<p>1 2 3</pp>", "<p>1 2 3</p", "<p name=\"" + std::string(300, 'n') + "\">1 2</p>",
      "<p>" + std::string(300, '1') + " 2</p>", "<p>1 2 3<c>4</c></p>"};
  const std::vector<std::string> colors = {
      "<c>1 2 3</c>", "<c>256 -1 3.9</c>", "<c>1 2</c>", "<c>1 2 3 4</c>", "<c>1e10 2 3</c>",
      "<c>\n1\n2\n3\n</c>", "<c>1 2 3</f>", "<c>a b c</c>", "<c>1 2 3</c\n>"};
  const std::vector<std::string> faces = {
      "<f>0 1 2</f>", "<f></f>", "<f>0 1 2 3 4 5 6 7</f>", "<f>0 1 2 3 4 5 6 7 8 9</f>",
      "<f>-0.5 1 2</f>", "<f>2147483647 1 2</f>", "<f>2147483648 1 2</f>", "<f>0 1 x</f>",
      "<f>\n0\n1\n</f>", "<f>0 1 2"};
  const std::vector<std::string> lines = {
      "<l>0 1</l>", "<l>0 1 2</l>", "<l>0</l>", "<l>-2147483649 1</l>", "<l>\n0\n1\n</l>",
      "<l name=\"L\">0\n1</l>", "<l>0 y</l>", "<l>0 1</m>"};
  const std::vector<std::string> vectors = {
      "<v>1 2 3</v>", "<v>1 2</v>", "<v>1 2 3 4</v>", "<v>1e308 1e308 0</v>",
      "<v>\n1\n2\n3\n</v>", "<v>1 2 z</v>", "<v>1 2 3</w>"};
  std::vector<std::string> models = {Model(kPoints, kColors, kFaces, kColors, kLines, kVectors),
                                     Model("", "", "", "", kLines, kVectors)};
  for (const std::string& v : points) {
    models.push_back(Model(v, kColors, kFaces, kColors, kLines, kVectors));
  }
  for (const std::string& v : colors) {
    models.push_back(Model(kPoints, v, kFaces, kColors, kLines, kVectors));
    models.push_back(Model(kPoints, kColors, kFaces, v, kLines, kVectors));
  }
  for (const std::string& v : faces) {
    models.push_back(Model(kPoints, kColors, v, kColors, kLines, kVectors));
  }
  for (const std::string& v : lines) {
    models.push_back(Model(kPoints, kColors, kFaces, kColors, v, kVectors));
  }
  for (const std::string& v : vectors) {
    models.push_back(Model(kPoints, kColors, kFaces, kColors, kLines, v));
  }
  for (const std::string& model : models) {
    SCOPED_TRACE(model);
    for (const size_t chunk : {0, 1, 2, 3, 5, 8, 13}) {
      SCOPED_TRACE(chunk);
      ExpectSameBothWays(model, chunk);
    }
  }
}

TEST(Lookahead, GoldenCasesAndExamplesReadAlikeWithAndWithoutIt) {
  std::vector<fs::path> inputs;
  for (const auto& entry : fs::directory_iterator(fs::path(TSM2OSTRA_SOURCE_DIR) / "tests" /
                                                  "golden")) {
    inputs.push_back(entry.path() / "input.tsm");
  }
  for (const auto& entry : fs::directory_iterator(fs::path(TSM2OSTRA_SOURCE_DIR) / "examples")) {
    if (entry.path().extension() == ".tsm") inputs.push_back(entry.path());
  }
  ASSERT_GT(inputs.size(), 10u);
  for (const fs::path& path : inputs) {
    SCOPED_TRACE(path.string());
    std::ifstream in(path, std::ios::binary);
    const std::string input((std::istreambuf_iterator<char>(in)),
                            std::istreambuf_iterator<char>());
    ExpectSameBothWays(input);
  }
}

// Many points, lines and vectors (each drawn from its point), the first line with a label of
// a length that shifts everything after it, and line feeds inside elements, so that failed
// writes fall on every kind of command, with the reading at different tokens of the element.
std::string ManyLinesAndVectors(size_t shift) {
  std::string lines = "<l name=\"" + std::string(shift, 's') + "\">0 1</l>\n";
  std::string points, vectors;
  for (int i = 0; i < 8000; ++i) {
    points += "<p>1 2</p>";
    lines += i % 3 == 0 ? "<l>0\n1</l>" : i % 3 == 1 ? "<l name=\"m\">1 2\n</l>" : "<l>2 0</l>\n";
    vectors += i % 2 == 0 ? "<v>1 2\n3</v>" : "<v>0.5 0.25 0</v>\n";
  }
  return Model(points, kColors, kFaces, kColors, lines, vectors);
}

TEST(Lookahead, AWriteThatFailsInsideAnElementStopsAtTheSameToken) {
  for (size_t shift = 0; shift < 12; ++shift) {
    SCOPED_TRACE(shift);
    const std::string model = ManyLinesAndVectors(shift);
    const Outcome whole = Convert(model, true);
    ASSERT_EQ(static_cast<int>(whole.result), static_cast<int>(ResultCode::Ok));
    ASSERT_GT(whole.output.size(), 3 * OutputStream::kBufferSize);
    // The memory output takes a buffer at a time: each limit fails at a buffer's end.
    for (size_t buffers = 1; buffers <= whole.output.size() / OutputStream::kBufferSize;
         ++buffers) {
      const size_t limit = buffers * OutputStream::kBufferSize - 1;
      const Outcome with = Convert(model, true, 0, limit);
      EXPECT_EQ(static_cast<int>(with.result), static_cast<int>(ResultCode::WriteFailed));
      ExpectSame(with, Convert(model, false, 0, limit));
    }
  }
}

// Points and faces with labels of many lengths, and faces of one to eight corners, so that
// the lists' memory runs out at every kind of step: a new point, its label, a new face, its
// label, or one of its vertices.
std::string ManyPointsAndFaces() {
  std::string points, faces;
  for (int i = 0; i < 20000; ++i) {
    const std::string label = std::string(static_cast<size_t>(i % 37), 'a');
    points += i % 4 == 0 ? "<p name=\"" + label + "\">1 2 3</p>" : "<p>\n1 2</p>\n";
    std::string vertices = "0";
    for (int k = 1; k < 1 + i % 8; ++k) vertices += (k == 2 ? "\n" : " ") + std::to_string(k);
    faces += i % 5 == 0 ? "<f name=\"" + label + "\">" + vertices + "</f>"
                        : "<f>" + vertices + "</f>\n";
  }
  return Model(points, kColors, faces, kColors, kLines, kVectors);
}

TEST(Lookahead, AnAllocationThatFailsInsideAnElementStopsAtTheSameToken) {
  struct Guard {
    ~Guard() { FailAllocationNumber(0); }
  } guard;
  const std::string model = ManyPointsAndFaces();
  FailAllocationNumber(0);
  ASSERT_EQ(static_cast<int>(Convert(model, true).result), static_cast<int>(ResultCode::Ok));
  const uint64_t allocations = AllocationsAttempted();
  FailAllocationNumber(0);
  Convert(model, false);
  ASSERT_EQ(AllocationsAttempted(), allocations);
  ASSERT_GT(allocations, 10u);
  for (uint64_t k = 1; k <= allocations; ++k) {
    SCOPED_TRACE(k);
    FailAllocationNumber(k);
    const Outcome with = Convert(model, true);
    FailAllocationNumber(k);
    const Outcome without = Convert(model, false);
    EXPECT_EQ(static_cast<int>(with.result), static_cast<int>(ResultCode::OutOfMemory));
    ExpectSame(with, without);
  }
}

}  // namespace
}  // namespace tsm2ostra
