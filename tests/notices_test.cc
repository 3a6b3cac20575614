// Notices change nothing: every golden input and example converts to the same drawing and
// result with a notice function as without, and its notices, which lie within the input, are
// the same whether the model comes from memory or in pieces.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/conversion_harness.h"

namespace tsm2ostra {
namespace {

namespace fs = std::filesystem;

using tsm2ostra_test::ReadFile;

// Each notice as "line:column kind tag text".
void Collect(void* context, const tsm2ostra_notice* notice) {
  static_cast<std::vector<std::string>*>(context)->push_back(
      std::to_string(notice->line) + ":" + std::to_string(notice->column) + " " +
      std::to_string(notice->kind) + " " + std::string(notice->tag, notice->tag_size) + " " +
      notice->text);
}

// The input's line count and the length of its longest line.
void Extent(const std::string& input, unsigned long* lines, unsigned long* longest) {
  *lines = 1;
  *longest = 0;
  unsigned long length = 0;
  for (char c : input) {
    if (c == '\n') {
      ++*lines;
      length = 0;
    } else if (++length > *longest) {
      *longest = length;
    }
  }
}

TEST(Notices, ChangeNothingAndLieWithinTheInput) {
  std::vector<fs::path> models;
  const fs::path source(TSM2OSTRA_SOURCE_DIR);
  for (const auto& entry : fs::directory_iterator(source / "tests" / "golden")) {
    models.push_back(entry.path() / "input.tsm");
  }
  for (const auto& entry : fs::directory_iterator(source / "examples")) {
    if (entry.path().extension() == ".tsm") models.push_back(entry.path());
  }
  size_t noticed = 0;
  for (const fs::path& model : models) {
    SCOPED_TRACE(model.string());
    const std::string input = ReadFile(model);
    const tsm2ostra_test::Outcome plain = tsm2ostra_test::Convert(input);
    std::vector<std::string> notices, chunked_notices;
    tsm2ostra_test::Trial trial;
    trial.notice = Collect;
    trial.notice_context = &notices;
    const tsm2ostra_test::Outcome told = tsm2ostra_test::Convert(input, trial);
    EXPECT_EQ(told.output, plain.output);
    EXPECT_EQ(told.console, plain.console);
    EXPECT_EQ(std::string(told.result.token), plain.result.token);
    EXPECT_EQ(told.result.token_column, plain.result.token_column);
    trial.chunk = 7;
    trial.notice_context = &chunked_notices;
    tsm2ostra_test::Convert(input, trial);
    EXPECT_EQ(chunked_notices, notices);
    unsigned long lines, longest;
    Extent(input, &lines, &longest);
    for (const std::string& notice : notices) {
      const unsigned long line = std::stoul(notice);
      const unsigned long column = std::stoul(notice.substr(notice.find(':') + 1));
      EXPECT_TRUE(line >= 1 && line <= lines && column >= 1 && column <= longest) << notice;
    }
    noticed += notices.size();
  }
  EXPECT_GT(noticed, 20u);  // the golden inputs hold every kind
}

}  // namespace
}  // namespace tsm2ostra
