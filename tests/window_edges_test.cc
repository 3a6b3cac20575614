// Tokens are cut where they lie in the source's window, and copied only when they cross its
// end. These tests convert the usual elements, and their odd variants, with the window ending
// at every place, and check that nothing differs from reading the input in one piece: result,
// output, the line and column reached and the token there, also when the output fails in the middle
// of an element.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver/output_stream.h"
#include "tests/conversion_harness.h"

namespace tsm2ostra {
namespace {

using tsm2ostra_test::Outcome;

// From memory (chunk 0), or read chunk bytes at a time; writes fail past write_limit bytes.
Outcome Convert(const std::string& input, size_t chunk,
                size_t write_limit = tsm2ostra_test::kNoLimit) {
  tsm2ostra_test::Trial trial;
  trial.chunk = chunk;
  trial.write_limit = write_limit;
  return tsm2ostra_test::Convert(input, trial);
}

// The same outcome, down to where reading stopped and the token it stopped at.
void ExpectSame(const Outcome& chunked, const Outcome& whole) {
  EXPECT_EQ(chunked.result.status, whole.result.status);
  EXPECT_EQ(chunked.output, whole.output);
  EXPECT_EQ(chunked.result.line, whole.result.line);
  EXPECT_EQ(chunked.result.column, whole.result.column);
  EXPECT_STREQ(chunked.result.token, whole.result.token);
  EXPECT_EQ(chunked.result.token_line, whole.result.token_line);
  EXPECT_EQ(chunked.result.token_column, whole.result.token_column);
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

TEST(WindowEdges, EveryKindOfElementReadsAlikeWhereverTheWindowEnds) {
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
    const Outcome whole = Convert(model, 0);
    for (const size_t chunk : {1, 2, 3, 5, 8, 13}) {
      SCOPED_TRACE(chunk);
      ExpectSame(Convert(model, chunk), whole);
    }
  }
}

TEST(WindowEdges, AFaultAfterThousandsOfLineFeedsIsOnTheLineThatHoldsIt) {
  // Line feeds are counted sixteen bytes at a time, in byte-wide sums that must not overflow:
  // a run of them at the start, between elements, between the numbers of an element and
  // inside a label, each followed on the run's last line by a fault. The run starts at every
  // place of a 16-byte block, and the windows end anywhere in it. (A sum overflows after
  // 4096 line feeds counted at once from where the count starts; inside the model that is
  // the window's start, hence the longer run.)
  const std::string open = "<tsm-model><geometries><geometry>";
  for (const size_t count : {5000, 10000}) {
    const std::string feeds(count, '\n');
    for (size_t shift = 0; shift < 16; ++shift) {
      const std::string run = std::string(shift, ' ') + feeds;
      for (const std::string& model : {run + open + "<lineSet><l>1</l>",
                                       open + "<lineSet>" + run + "<l>1</l>",
                                       open + "<pointSet><p>1" + run + " x</p>",
                                       open + "<lineSet><l name=\"{" + run + "\">0 1</l>"}) {
        SCOPED_TRACE(std::to_string(count) + " line feeds, shift " + std::to_string(shift) +
                     ": " + model.substr(0, 40));
        for (const size_t chunk : {0, 1, 2, 3, 5, 8, 13, 16, 4097, 8191}) {
          SCOPED_TRACE(chunk);
          const Outcome cut = Convert(model, chunk);
          EXPECT_EQ(cut.result.status, TSM2OSTRA_INVALID_INPUT);
          EXPECT_EQ(cut.line, 1 + static_cast<int64_t>(count));
        }
      }
    }
  }
}

// Many points, lines and vectors (each drawn from its point), the first line with a label of
// a length that shifts everything after it, and line feeds inside elements, so that failed
// writes fall on every kind of command, with the reading at different tokens of the element.
std::string ManyLinesAndVectors(size_t shift) {
  std::string lines = "<l name=\"" + std::string(shift, 's') + "\">0 1</l>\n";
  std::string points, vectors;
  for (int i = 0; i < 70000; ++i) {
    points += "<p>1 2</p>";
    lines += i % 3 == 0 ? "<l>0\n1</l>" : i % 3 == 1 ? "<l name=\"m\">1 2\n</l>" : "<l>2 0</l>\n";
    vectors += i % 2 == 0 ? "<v>1 2\n3</v>" : "<v>0.5 0.25 0</v>\n";
  }
  return Model(points, kColors, kFaces, kColors, lines, vectors);
}

TEST(WindowEdges, AWriteThatFailsInsideAnElementStopsAtTheSameToken) {
  for (const size_t shift : {0, 1, 3, 6, 8, 11}) {
    SCOPED_TRACE(shift);
    const std::string model = ManyLinesAndVectors(shift);
    const Outcome whole = Convert(model, 0);
    ASSERT_EQ(whole.result.status, TSM2OSTRA_OK);
    ASSERT_GT(whole.output.size(), 3 * OutputStream::kBufferSize);
    // The memory output takes a buffer at a time: each limit fails at a buffer's end.
    for (size_t buffers = 1; buffers <= whole.output.size() / OutputStream::kBufferSize;
         ++buffers) {
      const size_t limit = buffers * OutputStream::kBufferSize - 1;
      const Outcome at_once = Convert(model, 0, limit);
      EXPECT_EQ(at_once.result.status, TSM2OSTRA_WRITE_FAILED);
      ExpectSame(Convert(model, 1021, limit), at_once);
    }
  }
}

}  // namespace
}  // namespace tsm2ostra
