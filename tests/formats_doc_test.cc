// Checks the user's format reference, docs/formats.md: every example model converts to exactly
// the drawing (and, for a failing one, the error line) printed under it.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/conversion_harness.h"

namespace tsm2ostra {
namespace {

const std::string kReference = std::string(TSM2OSTRA_SOURCE_DIR) + "/docs/formats.md";

struct Block {
  std::string info;  // the word after the opening fence
  std::string text;  // the lines between the fences, each with its line feed
  int line;          // line of the opening fence
};

std::vector<Block> ReadFencedBlocks(const std::string& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in) << "cannot open " << path;
  std::vector<Block> blocks;
  std::string line;
  bool inside = false;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.compare(0, 3, "```") == 0) {
      if (!inside) blocks.push_back({line.substr(3), "", number});
      inside = !inside;
    } else if (inside) {
      blocks.back().text += line + "\n";
    }
  }
  EXPECT_FALSE(inside) << "unclosed fence in " << path;
  return blocks;
}

// The drawing file for the commands shown one per line: each preceded by a line feed.
std::string DrawingFor(const std::string& shown) {
  std::string file;
  std::istringstream lines(shown);
  for (std::string command; std::getline(lines, command);) file += "\n" + command;
  return file;
}

TEST(FormatsDoc, EveryExampleConvertsToTheDrawingShown) {
  const std::vector<Block> blocks = ReadFencedBlocks(kReference);
  int pairs = 0;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Block& model = blocks[i];
    if (model.info != "tsm") {
      EXPECT_TRUE(model.info != "ost" && model.info != "console")
          << "the block at line " << model.line << " follows no tsm block";
      continue;
    }
    if (i + 1 == blocks.size() || blocks[i + 1].info != "ost") {
      ADD_FAILURE() << "the tsm block at line " << model.line << " has no ost block after it";
      continue;
    }
    const std::string drawing = DrawingFor(blocks[++i].text);
    const bool fails = i + 1 < blocks.size() && blocks[i + 1].info == "console";
    const std::string report = fails ? blocks[++i].text : "";
    ++pairs;

    const tsm2ostra_test::Outcome outcome = tsm2ostra_test::Convert(model.text);
    EXPECT_EQ(outcome.output, drawing) << "example at line " << model.line;
    EXPECT_EQ(outcome.status == 0 ? "" : outcome.console, report)
        << "example at line " << model.line;
  }
  EXPECT_GT(pairs, 0) << "no examples found";
}

// A command-table row, "| `name` | ... | `example` |"; false for every other line.
bool ParseCommandRow(const std::string& line, std::string* name, std::string* example) {
  const std::string open = "| `", close = "` |";
  if (line.compare(0, open.size(), open) != 0 || line.size() < 2 * (open.size() + 1)) {
    return false;
  }
  const size_t name_end = line.find(close, open.size());
  if (name_end == std::string::npos) return false;
  *name = line.substr(open.size(), name_end - open.size());
  if (name->empty() ||
      name->find_first_not_of("abcdefghijklmnopqrstuvwxyz_") != std::string::npos) {
    return false;
  }
  if (line.compare(line.size() - close.size(), close.size(), close) != 0) return false;
  const size_t example_begin = line.rfind(open, line.size() - close.size() - 1);
  if (example_begin == std::string::npos || example_begin < name_end + close.size()) return false;
  *example = line.substr(example_begin + open.size(),
                         line.size() - close.size() - example_begin - open.size());
  return !example->empty() && example->find('`') == std::string::npos;
}

// The command table quotes its examples; each must be a line that some example really writes.
TEST(FormatsDoc, CommandTableExamplesAreWrittenByAnExample) {
  std::set<std::string> written;
  for (const Block& block : ReadFencedBlocks(kReference)) {
    if (block.info != "ost") continue;
    std::istringstream lines(block.text);
    for (std::string line; std::getline(lines, line);) written.insert(line);
  }
  std::ifstream in(kReference);
  int rows = 0;
  for (std::string line; std::getline(in, line);) {
    std::string name, example;
    if (!ParseCommandRow(line, &name, &example)) continue;
    ++rows;
    EXPECT_EQ(example.compare(0, name.size() + 1, name + " "), 0) << line;
    EXPECT_EQ(written.count(example), 1u) << "not written by any example: " << example;
  }
  EXPECT_EQ(rows, 12) << "one row per command";
}

}  // namespace
}  // namespace tsm2ostra
