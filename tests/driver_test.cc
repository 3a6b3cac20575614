// End-to-end tests of the built program: command line, opening the files, the console report
// and the exit status. Each test runs the executable in a fresh temporary folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "driver/output_stream.h"
#include "tests/conversion_harness.h"

namespace {

namespace fs = std::filesystem;

const std::string kBanner =
    "\n"
    "Tessaro -> Ostra Converter  Version 2.00\n"
    "Converts Tessaro XML models into Ostra construction commands.\n"
    "Copyright (c) 2026 The tsm2ostra authors.\n"
    "Released under the MIT License; see the LICENSE file.\n"
    "This program comes with ABSOLUTELY NO WARRANTY.\n"
    "\n";
const std::string kCommandLineError =
    kBanner + "Error in command line. Input/Output files not specified.\n";
const std::string kInputError = kBanner + "File error. Cannot open input file.\n";
const std::string kOutputError = kBanner + "File error. Cannot open output file.\n";

// One point; all on one line without a line feed, so every report names line 1.
const std::string kModel =
    "<tsm-model><geometries><geometry><pointSet><p>0 0</p></pointSet></geometry>"
    "</geometries></tsm-model>";
const std::string kModelOutput = "\npoint P1_1 70.00 50.00";

// The console text of a run that opened both files, followed by its outcome.
std::string Opened(const std::string& input, const std::string& output,
                   const std::string& outcome) {
  return kBanner + "Input file: " + input + "\nOutput file: " + output + "\n\n" + outcome;
}

std::string Converted(const std::string& input) {
  return "File '" + input + "' successfully converted.\n";
}

using tsm2ostra_test::ReadFile;

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

struct Outcome {
  std::string console;
  int status = -1;
};

// Runs the program with args (already quoted for the shell) from inside folder.
Outcome RunProgram(const fs::path& folder, const std::string& args) {
  const std::string command =
      "cd '" + folder.string() + "' && '" TSM2OSTRA_BINARY "' " + args +
      (args.find("2>") == std::string::npos ? " 2>/dev/null" : "");
  Outcome run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), pipe)) > 0) run.console.append(chunk, n);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

// A fresh folder holding in.tsm with kModel; removed with everything in it afterwards.
class Driver : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/tsm2ostra_driver_XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
    WriteFile(dir_ / "in.tsm", kModel);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The names of the folder's entries, sorted, joined by blanks.
  std::string Entries() const {
    std::set<std::string> sorted;
    for (const auto& entry : fs::directory_iterator(dir_)) sorted.insert(entry.path().filename());
    std::string names;
    for (const auto& name : sorted) names += (names.empty() ? "" : " ") + name;
    return names;
  }

  fs::path dir_;
};

TEST_F(Driver, FewerThanTwoFileNamesIsACommandLineError) {
  for (const char* args : {"", "in.tsm", "out.ost"}) {
    SCOPED_TRACE(args);
    const Outcome run = RunProgram(dir_, args);
    EXPECT_EQ(run.console, kCommandLineError);
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(Entries(), "in.tsm");
  }
}

TEST_F(Driver, ConvertsIntoAnEmptiedOutputAndIgnoresFurtherArguments) {
  WriteFile(dir_ / "out.ost", std::string(5000, 'x'));
  const Outcome run = RunProgram(dir_, "in.tsm out.ost extra.ost");
  EXPECT_EQ(run.console, Opened("in.tsm", "out.ost", Converted("in.tsm")));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadFile(dir_ / "out.ost"), kModelOutput);
  EXPECT_EQ(Entries(), "in.tsm out.ost");
}

TEST_F(Driver, AnExistingOutputIsEmptiedWhateverTheOutcome) {
  // A large old drawing, then a run that writes a little and one that writes nothing.
  const std::string old_drawing(3 * 1024 * 1024, 'x');
  const struct {
    std::string input;
    std::string output;
    int status;
  } cases[] = {
      {kModel, kModelOutput, 0},
      {"<nonsense>", "", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    WriteFile(dir_ / "out.ost", old_drawing);
    WriteFile(dir_ / "in.tsm", c.input);
    const Outcome run = RunProgram(dir_, "in.tsm out.ost");
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(ReadFile(dir_ / "out.ost"), c.output);
  }
}

// A model of several geometries whose point and face lists outgrow the output's buffers,
// with two point sets and two face sets in one geometry: what the program writes to its file
// must be what a conversion into memory writes.
std::string LargeModel() {
  std::string model = "<tsm-model><geometries>\n";
  for (int g = 0; g < 12; ++g) {
    model += "<geometry>\n";
    for (int set = 0; set < (g % 3 == 0 ? 2 : 1); ++set) {
      model += "<pointSet><points>\n";
      for (int i = 0; i < 20000; ++i) {
        model += i % 7 == 0 ? "<p name=\"v" + std::to_string(i) + "\">" : "<p>";
        model += std::to_string(i % 97) + ".125 -" + std::to_string(i % 89) + ".5 0</p>\n";
      }
      model += "</points><colors><c>1 2 3</c><c>0 0 0</c><c>4 5 6</c></colors></pointSet>\n";
      model += "<faceSet><faces>\n";
      for (int i = 0; i < 15000; ++i) {
        model += i % 11 == 0 ? "<f name=\"f\">" : "<f>";
        model += std::to_string(i) + " " + std::to_string(i + 1) + " " + std::to_string(i + 2) +
                 "</f>\n";
      }
      model += "</faces><colors><c>9 8 7</c></colors></faceSet>\n";
    }
    model += "<lineSet><l>0 1</l><l name=\"m\">1 2</l></lineSet>\n";
    model += "<vectorField><vectors><v>1 1 0</v><v>2 2 0</v></vectors></vectorField>\n";
    model += "</geometry>\n";
  }
  return model + "</geometries></tsm-model>\n";
}

TEST_F(Driver, LargeModelWritesWhatAConversionIntoMemoryWrites) {
  const std::string model = LargeModel();
  WriteFile(dir_ / "in.tsm", model);
  const tsm2ostra_test::Outcome memory = tsm2ostra_test::Convert(model);
  ASSERT_EQ(memory.result.status, TSM2OSTRA_OK);
  ASSERT_GT(memory.output.size(), 8 * tsm2ostra::OutputStream::kBufferSize);

  const Outcome run = RunProgram(dir_, "in.tsm out.ost");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(ReadFile(dir_ / "out.ost") == memory.output);
}

TEST_F(Driver, FilesThatCannotBeOpened) {
  const struct {
    const char* args;
    const std::string& console;
    const char* entries;  // what the folder holds afterwards
  } cases[] = {
      {"missing.tsm out.ost", kInputError, "in.tsm sub"},
      {"sub out.ost", kInputError, "in.tsm sub"},  // a folder is not a model
      {"in.tsm nowhere/out.ost", kOutputError, "in.tsm sub"},
      {"in.tsm sub", kOutputError, "in.tsm sub"},
  };
  fs::create_directory(dir_ / "sub");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const Outcome run = RunProgram(dir_, c.args);
    EXPECT_EQ(run.console, c.console);
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(Entries(), c.entries);
  }
}

TEST_F(Driver, OutputNamingTheInputIsRefusedAndTheInputKept) {
  fs::create_symlink("in.tsm", dir_ / "link.tsm");
  fs::create_hard_link(dir_ / "in.tsm", dir_ / "hard.tsm");
  const std::string own_folder = "../" + dir_.filename().string() + "/in.tsm";
  for (const std::string& output : {std::string("in.tsm"), std::string("./in.tsm"), own_folder,
                                    std::string("link.tsm"), std::string("hard.tsm")}) {
    SCOPED_TRACE(output);
    const Outcome run = RunProgram(dir_, "in.tsm " + output);
    EXPECT_EQ(run.console, kOutputError);
    EXPECT_EQ(run.status, 255);
    EXPECT_EQ(ReadFile(dir_ / "in.tsm"), kModel);
  }
}

TEST_F(Driver, FailedWriteEndsTheConversion) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const Outcome run = RunProgram(dir_, "in.tsm /dev/full");
  EXPECT_EQ(run.console,
            Opened("in.tsm", "/dev/full", "Error while reading line 1 (Write failed)\n"));
  EXPECT_EQ(run.status, 1);
}

TEST_F(Driver, AFailedReadIsReportedAndNeverASuccess) {
  // Reading /proc/self/mem from its start fails: nothing is mapped there.
  if (!fs::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem";
  const Outcome run = RunProgram(dir_, "/proc/self/mem out.ost");
  EXPECT_EQ(run.console, Opened("/proc/self/mem", "out.ost",
                                "Error while reading line 1 (Read failed)\n"));
  EXPECT_EQ(run.status, 1);
}

TEST_F(Driver, HelpAndVersionAloneAndArgumentsIgnoredWithAWarning) {
  const struct {
    const char* args;
    int status;
    const char* console_start;  // banner: the program's usual console
    const char* warning;        // standard error
  } cases[] = {
      {"--help", 0, "Usage: tsm2ostra MODEL DRAWING\n", ""},
      {"-h", 0, "Usage: tsm2ostra MODEL DRAWING\n", ""},
      {"--version", 0, "tsm2ostra 2.00\n", ""},
      {"--help out.ost", 255, "banner", ""},
      {"in.tsm out.ost extra", 0, "banner",
       "tsm2ostra: warning: 1 argument after DRAWING ignored, from 'extra'\n"},
      {"in.tsm -o out.ost", 0, "banner",
       "tsm2ostra: warning: 1 argument after DRAWING ignored, from 'out.ost'\n"},
      {"in.tsm out.ost a b", 0, "banner",
       "tsm2ostra: warning: 2 arguments after DRAWING ignored, from 'a'\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const Outcome run = RunProgram(dir_, std::string(c.args) + " 2>err.txt");
    EXPECT_EQ(run.status, c.status);
    const std::string start = std::string(c.console_start) == "banner" ? kBanner : c.console_start;
    EXPECT_EQ(run.console.substr(0, start.size()), start);
    EXPECT_EQ(ReadFile(dir_ / "err.txt"), c.warning);
    fs::remove(dir_ / "err.txt");
  }
  EXPECT_EQ(RunProgram(dir_, "--help").console.find("man tsm2ostra") == std::string::npos, false);
}

TEST_F(Driver, FailedConversionReportsTheLineAndKeepsWhatWasWritten) {
  const std::string complete = "<tsm-model>\n<geometries>\n<geometry>\n<lineSet><l>0 1</l>\n";
  const struct {
    std::string input;
    std::string report;
  } cases[] = {
      {complete, "Error while reading line 5\n"},  // ends inside an open element
      {complete + "<l>1</l>\n", "Error while reading line 5 (Invalid input)\n"},
      {complete + "</lineSet><l>", "Error while reading line 5 (Invalid input)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    WriteFile(dir_ / "in.tsm", c.input);
    const Outcome run = RunProgram(dir_, "in.tsm out.ost");
    EXPECT_EQ(run.console, Opened("in.tsm", "out.ost", c.report));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadFile(dir_ / "out.ost"), "\ndrawdashsegment P1_1 P1_2");
  }
}

TEST_F(Driver, ExampleModelConverts) {
  const std::string output = (dir_ / "model.ost").string();
  const Outcome run = RunProgram(TSM2OSTRA_SOURCE_DIR, "examples/model.tsm '" + output + "'");
  EXPECT_EQ(run.console, Opened("examples/model.tsm", output, Converted("examples/model.tsm")));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(ReadFile(output).rfind("\npoint P1_1 70.00 50.00", 0), 0u);
}

}  // namespace
