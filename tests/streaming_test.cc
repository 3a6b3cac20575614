// Converts every golden input and example model in memory, handed over in chunks of 1 to 20
// bytes, and checks that the output, the result and the line reached never depend on the cut.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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

using tsm2ostra_test::Outcome;

// From memory (chunk 0), or read chunk bytes at a time.
Outcome Convert(const std::string& input, size_t chunk) {
  tsm2ostra_test::Trial trial;
  trial.chunk = chunk;
  return tsm2ostra_test::Convert(input, trial);
}

void ExpectSameAtEveryChunkSize(const std::string& input, const Outcome& whole) {
  for (size_t chunk = 1; chunk <= 20; ++chunk) {
    SCOPED_TRACE("chunk size " + std::to_string(chunk));
    const Outcome cut = Convert(input, chunk);
    EXPECT_EQ(cut.result.status, whole.result.status);
    EXPECT_EQ(cut.output, whole.output);
    EXPECT_EQ(cut.line, whole.line);
    EXPECT_EQ(cut.result.column, whole.result.column);
  }
}

std::vector<fs::path> SortedEntries(const fs::path& folder) {
  std::vector<fs::path> entries;
  for (const auto& entry : fs::directory_iterator(folder)) entries.push_back(entry.path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

TEST(Streaming, GoldenCasesGiveTheirExpectedOutputAtEveryChunkSize) {
  const auto cases = SortedEntries(fs::path(TSM2OSTRA_SOURCE_DIR) / "tests" / "golden");
  ASSERT_GT(cases.size(), 10u);
  for (const fs::path& folder : cases) {
    SCOPED_TRACE(folder.filename().string());
    const std::string input = ReadFile(folder / "input.tsm");
    const Outcome whole = Convert(input, 0);
    EXPECT_EQ(whole.output, ReadFile(folder / "expected.ost"));
    const bool succeeds = std::stoi(ReadFile(folder / "expected.status")) == 0;
    EXPECT_EQ(whole.result.status == TSM2OSTRA_OK, succeeds);
    ExpectSameAtEveryChunkSize(input, whole);
  }
}

TEST(Streaming, ExampleModelsDoNotDependOnChunkSize) {
  int models = 0;
  for (const fs::path& path : SortedEntries(fs::path(TSM2OSTRA_SOURCE_DIR) / "examples")) {
    if (path.extension() != ".tsm") continue;
    SCOPED_TRACE(path.filename().string());
    ++models;
    const std::string input = ReadFile(path);
    const Outcome whole = Convert(input, 0);
    EXPECT_EQ(whole.result.status, TSM2OSTRA_OK);
    ExpectSameAtEveryChunkSize(input, whole);
  }
  EXPECT_GT(models, 0);
}

}  // namespace
}  // namespace tsm2ostra
