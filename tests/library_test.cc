// The library's interface as a caller sees it: each outcome with its line, words and token;
// a write function that fails at each of its calls; the same result from memory, a read
// function and a file; options from older callers; and conversions on eight threads at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/conversion_harness.h"
#include "tsm2ostra/tsm2ostra.h"

namespace {

namespace fs = std::filesystem;
using tsm2ostra_test::Convert;
using tsm2ostra_test::Describe;
using tsm2ostra_test::Outcome;
using tsm2ostra_test::Trial;

using tsm2ostra_test::ReadFile;

std::string Example(const char* name) {
  return ReadFile(fs::path(TSM2OSTRA_SOURCE_DIR) / "examples" / name);
}

TEST(Library, EachOutcomeWithItsLineWordsAndToken) {
  Trial failing_read;
  failing_read.chunk = 8;
  failing_read.failing_read = 2;
  Trial failing_write;
  failing_write.failing_write = 1;
  Trial no_memory;
  no_memory.failing_allocation = 1;
  const std::string point = "<tsm-model><geometries><geometry><pointSet><p>0 0</p>";
  const struct {
    std::string model;
    Trial trial;
    tsm2ostra_status status;
    const char* words;
    const char* token;
    unsigned long token_line, token_column, column;
  } cases[] = {
      {"", Trial(), TSM2OSTRA_OK, "", "", 0, 0, 1},
      {"<tsm-model>\n</tsm-model>\n", Trial(), TSM2OSTRA_OK, "", "</tsm-model>", 2, 1, 1},
      {"<tsm-model>\n  <geometries>", Trial(), TSM2OSTRA_END_OF_INPUT,
       "Error while reading line 2", "<geometries>", 2, 3, 15},
      {"<tsm-model>\n<geometries>\n<geometry>\n  <lineSet><l>1 x</l>", Trial(),
       TSM2OSTRA_INVALID_INPUT, "Error while reading line 4 (Invalid input)", "x", 4, 17, 19},
      // The model ended inside a skipped element: the token is the element's start tag.
      {"<tsm-model>\n<geometries><geometry>\n <!-- a note -->\n<p>0 0</p>\n", Trial(),
       TSM2OSTRA_INVALID_INPUT, "Error while reading line 5 (Invalid input)", "<!--", 3, 2, 1},
      {"<tsm-model><title>" + std::string(100, 't') + "\n", Trial(), TSM2OSTRA_INVALID_INPUT,
       "Error while reading line 2 (Invalid input)", "<title>", 1, 12, 1},
      {point + "\n<p>1 1</p>", failing_read, TSM2OSTRA_READ_FAILED,
       "Error while reading line 1 (Read failed)", "<tsm-mod", 1, 1, 9},
      {point + "</pointSet></geometry></geometries></tsm-model>", failing_write,
       TSM2OSTRA_WRITE_FAILED, "Error while reading line 1 (Write failed)", "</tsm-model>", 1,
       89, 101},
      {point, no_memory, TSM2OSTRA_OUT_OF_MEMORY, "Error while reading line 1 (Out of memory)",
       "", 0, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model);
    const tsm2ostra_result r = Convert(c.model, c.trial).result;
    EXPECT_STREQ(tsm2ostra_status_name(r.status), tsm2ostra_status_name(c.status));
    EXPECT_EQ(Describe(r), c.words);
    EXPECT_STREQ(r.token, c.token);
    EXPECT_EQ(r.token_line, c.token_line);
    EXPECT_EQ(r.token_column, c.token_column);
    EXPECT_EQ(r.column, c.column);
  }
  // The files' own outcomes, and words cut to fit as snprintf cuts them.
  tsm2ostra_result r = tsm2ostra_convert_file("/nonexistent/model.tsm", "out.ost", nullptr);
  EXPECT_EQ(Describe(r), "File error. Cannot open input file.");
  EXPECT_EQ(r.line, 0u);
  const std::string model_path = TSM2OSTRA_SOURCE_DIR "/examples/model.tsm";
  r = tsm2ostra_convert_file(model_path.c_str(), model_path.c_str(), nullptr);
  EXPECT_STREQ(tsm2ostra_status_name(r.status), "CANNOT_OPEN_OUTPUT");
  EXPECT_EQ(Describe(r), "File error. Cannot open output file.");
  char cut[8];
  EXPECT_EQ(tsm2ostra_describe(r, cut, sizeof cut), 36u);
  EXPECT_STREQ(cut, "File er");
  EXPECT_EQ(tsm2ostra_describe(r, nullptr, 0), 36u);
  EXPECT_STREQ(tsm2ostra_version(), "2.00");
  EXPECT_STREQ(tsm2ostra_status_name(static_cast<tsm2ostra_status>(99)), "");
}

TEST(Library, AWriteThatFailsAtAnyCallEndsTheConversionThere) {
  std::string model = "<tsm-model><geometries>";
  for (int g = 0; g < 12; ++g) {
    model += "<geometry><pointSet>";
    for (int i = 0; i < 9000; ++i) model += "<p name=\"label\">1.5 2.25</p>\n";
    model += "</pointSet></geometry>";
  }
  model += "</geometries></tsm-model>";
  const Outcome whole = Convert(model);
  ASSERT_EQ(whole.result.status, TSM2OSTRA_OK);
  ASSERT_GE(whole.writes, 4u);
  for (size_t k = 1; k <= whole.writes; ++k) {
    SCOPED_TRACE(k);
    Trial trial;
    trial.failing_write = k;
    trial.chunk = 65536;
    const Outcome failed = Convert(model, trial);
    EXPECT_EQ(failed.result.status, TSM2OSTRA_WRITE_FAILED);
    EXPECT_EQ(failed.writes, k);  // never called again
    EXPECT_EQ(failed.output, whole.output.substr(0, failed.output.size()));
    EXPECT_EQ(failed.bytes_read, failed.read_at_first_failed_write);
  }
}

TEST(Library, MemoryAReadFunctionAndAFileGiveTheSameResult) {
  const fs::path drawing = fs::temp_directory_path() / ("tsm2ostra_library_" +
                                                       std::to_string(::getpid()) + ".ost");
  for (const char* name : {"model.tsm", "cube.tsm"}) {
    SCOPED_TRACE(name);
    const std::string model = Example(name);
    const Outcome memory = Convert(model);
    Trial pieces;
    pieces.chunk = 5;
    const Outcome stream = Convert(model, pieces);
    const std::string path = std::string(TSM2OSTRA_SOURCE_DIR "/examples/") + name;
    const tsm2ostra_result file = tsm2ostra_convert_file(path.c_str(), drawing.c_str(), nullptr);
    for (const tsm2ostra_result& r : {stream.result, file}) {
      EXPECT_EQ(r.status, memory.result.status);
      EXPECT_EQ(r.line, memory.result.line);
      EXPECT_EQ(r.column, memory.result.column);
      EXPECT_STREQ(r.token, memory.result.token);
    }
    EXPECT_EQ(stream.output, memory.output);
    EXPECT_EQ(ReadFile(drawing), memory.output);
  }
  fs::remove(drawing);
}

TEST(Library, OptionsOfAnOlderCallerKeepTheDefaults) {
  // A caller whose options end before the allocator: the allocator field is not read.
  tsm2ostra_options options;
  tsm2ostra_options_init(&options);
  EXPECT_EQ(options.size, sizeof options);
  options.size = sizeof options.size;
  const tsm2ostra_allocator* garbage = reinterpret_cast<const tsm2ostra_allocator*>(&options);
  options.allocator = garbage;
  const std::string model = Example("model.tsm");
  auto discard = [](void*, const char*, size_t) { return 0; };
  EXPECT_EQ(tsm2ostra_convert_memory(model.data(), model.size(), discard, nullptr, &options).status,
            TSM2OSTRA_OK);
  EXPECT_EQ(tsm2ostra_convert_memory(nullptr, 0, discard, nullptr, nullptr).status, TSM2OSTRA_OK);
  // No write function: the model is only checked.
  EXPECT_EQ(tsm2ostra_convert_memory(model.data(), model.size(), nullptr, nullptr, nullptr).status,
            TSM2OSTRA_OK);
}

TEST(Library, EightConversionsAtOnceAreIndependent) {
  // Different models on eight threads, each with its own failing allocator half of the time:
  // every drawing and result equals the one of the conversion run alone.
  std::vector<std::string> models;
  for (const char* name : {"model.tsm", "cube.tsm"}) models.push_back(Example(name));
  for (int i = 0; i < 6; ++i) {
    std::string m = "<tsm-model><geometries><geometry><pointSet>";
    for (int k = 0; k < 2000 * (i + 1); ++k) m += "<p>" + std::to_string(k % 97) + " 1</p>";
    models.push_back(m + "</pointSet></geometry></geometries></tsm-model>");
  }
  std::vector<Trial> trials(models.size());
  for (size_t i = 0; i < trials.size(); i += 2) trials[i].failing_allocation = 2;
  std::vector<Outcome> alone, together(models.size());
  for (size_t i = 0; i < models.size(); ++i) alone.push_back(Convert(models[i], trials[i]));
  std::vector<std::thread> threads;
  for (size_t i = 0; i < models.size(); ++i) {
    threads.emplace_back([&, i] {
      for (int round = 0; round < 5; ++round) together[i] = Convert(models[i], trials[i]);
    });
  }
  for (std::thread& t : threads) t.join();
  for (size_t i = 0; i < models.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(together[i].result.status, alone[i].result.status);
    EXPECT_EQ(together[i].output, alone[i].output);
    EXPECT_EQ(together[i].allocations, alone[i].allocations);
  }
}

}  // namespace
