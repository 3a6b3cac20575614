// Tests of the file output, which writes its full buffers and whole lists from a background
// thread: every byte arrives in order, and a failed write is still reported, later or at
// Close.
#include "driver/output_stream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "driver/background_worker.h"

namespace tsm2ostra {
namespace {

namespace fs = std::filesystem;

TEST(BackgroundWorker, HandsBackEachJobsResult) {
  BackgroundWorker worker;
  EXPECT_EQ(worker.Wait(), 0u);  // nothing out
  ASSERT_TRUE(worker.Start());
  size_t calls = 0;
  auto job = [](void* context) -> size_t { return ++*static_cast<size_t*>(context) * 10; };
  for (size_t i = 1; i <= 3; ++i) {
    worker.Post(job, &calls);
    EXPECT_TRUE(worker.busy());
    EXPECT_EQ(worker.Wait(), i * 10);
    EXPECT_FALSE(worker.busy());
  }
}

TEST(BackgroundWorker, EndingWaitsForTheJobThatIsOut) {
  std::atomic<bool> done{false};
  {
    BackgroundWorker worker;
    ASSERT_TRUE(worker.Start());
    worker.Post(
        [](void* context) -> size_t {
          std::FILE* devnull = std::fopen("/dev/null", "w");
          for (int i = 0; i < 1000 && devnull != nullptr; ++i) std::fputs("x", devnull);
          if (devnull != nullptr) std::fclose(devnull);
          static_cast<std::atomic<bool>*>(context)->store(true);
          return 1;
        },
        &done);
  }
  EXPECT_TRUE(done.load());
}

// Each test runs with the background thread (true) and as on a system without threads.
class FileOutput : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    BackgroundWorker::AllowThreads(GetParam());
    path_ = fs::temp_directory_path() /
            ("tsm2ostra_output_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + std::to_string(GetParam()));
  }
  void TearDown() override {
    BackgroundWorker::AllowThreads(true);
    fs::remove(path_);
  }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  fs::path path_;
};

TEST_P(FileOutput, EveryByteArrivesInOrder) {
  // Small writes across several full buffers, one write larger than a buffer, then lines.
  std::FILE* file = std::fopen(path_.c_str(), "w");
  ASSERT_NE(file, nullptr);
  FileOutputStream output(file);
  std::string expected;
  for (int i = 0; expected.size() < 3 * OutputStream::kFileBufferSize; ++i) {
    const std::string piece = "piece " + std::to_string(i) + "\n";
    ASSERT_TRUE(output.Write(piece.data(), piece.size()));
    expected += piece;
  }
  const std::string large(OutputStream::kFileBufferSize + OutputStream::kLineSlack + 7, 'L');
  ASSERT_TRUE(output.Write(large.data(), large.size()));
  expected += large;
  // Lines of many lengths, so that some are spilled across the end of a buffer and go on
  // in the other one, and one line longer than both buffers.
  for (int i = 0; i < 3000; ++i) {
    const std::string text((i * 997) % 5000, static_cast<char>('a' + i % 26));
    char* at = output.BeginLine();
    at = output.AppendToLine(at, text.data(), text.size());
    ASSERT_TRUE(output.EndLine(at));
    expected += "\n" + text;
  }
  const std::string long_line(2 * OutputStream::kFileBufferSize + 3, 'W');
  char* at = output.BeginLine();
  at = output.AppendToLine(at, long_line.data(), long_line.size());
  ASSERT_TRUE(output.EndLine(at));
  expected += "\n" + long_line;
  EXPECT_TRUE(output.Close());
  EXPECT_EQ(Contents(), expected);
}

// A list for WriteList: count lines of text.
struct Lines {
  std::string text;
  int count;
};

bool WriteLines(const void* context, OutputStream* output) {
  const Lines& lines = *static_cast<const Lines*>(context);
  for (int i = 0; i < lines.count; ++i) {
    char* at = output->BeginLine();
    at = output->AppendToLine(at, lines.text.data(), lines.text.size());
    if (!output->EndLine(at)) return false;
  }
  return true;
}

TEST_P(FileOutput, ListsArriveInTheirPlaceAmongOtherWrites) {
  std::FILE* file = std::fopen(path_.c_str(), "w");
  ASSERT_NE(file, nullptr);
  FileOutputStream output(file);
  // Lists longer than a buffer, written while more goes into the stream; each list's data
  // changes only after Settle for it.
  Lines first = {"first list", 150000};
  Lines second = {"second", 10};
  std::string expected;
  auto write = [&](const std::string& text) {
    ASSERT_TRUE(output.Write(text.data(), text.size()));
    expected += text;
  };
  auto list = [&](const Lines& lines) {
    ASSERT_TRUE(output.WriteList(&WriteLines, &lines));
    for (int i = 0; i < lines.count; ++i) expected += "\n" + lines.text;
  };
  write("before");
  list(first);
  write(std::string(3 * OutputStream::kFileBufferSize, 'm'));  // passes through two buffers
  list(second);
  ASSERT_TRUE(output.Settle(&first));
  first.text = "changed";
  write("between");
  list(first);
  ASSERT_TRUE(output.Settle(nullptr));
  second.text = "changed too";
  write("after");
  EXPECT_TRUE(output.Close());
  EXPECT_EQ(Contents(), expected);
}

TEST_P(FileOutput, EmptyFileDropsTheOldContentBeforeTheFirstWrite) {
  {
    std::ofstream old(path_, std::ios::binary);
    old << std::string(2 * OutputStream::kFileBufferSize, 'o');
  }
  std::FILE* file = std::fopen(path_.c_str(), "r+");
  ASSERT_NE(file, nullptr);
  FileOutputStream output(file);
  output.EmptyFile();
  ASSERT_TRUE(output.Write("new", 3));
  EXPECT_TRUE(output.Close());
  EXPECT_EQ(Contents(), "new");
}

TEST_P(FileOutput, EmptyFileLeavesADeviceAlone) {
  std::FILE* file = std::fopen("/dev/null", "w");
  ASSERT_NE(file, nullptr);
  FileOutputStream output(file);
  output.EmptyFile();
  EXPECT_TRUE(output.Write("text", 4));
  EXPECT_TRUE(output.Close());
}

TEST_P(FileOutput, AFailedWriteShowsAtALaterWriteOrAtClose) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  for (const size_t total : {size_t{10}, 3 * OutputStream::kFileBufferSize}) {
    SCOPED_TRACE(total);
    std::FILE* file = std::fopen("/dev/full", "w");
    ASSERT_NE(file, nullptr);
    std::setvbuf(file, nullptr, _IONBF, 0);
    FileOutputStream output(file);
    const std::string piece(10, 'x');
    bool failed = false;
    for (size_t written = 0; written < total; written += piece.size()) {
      const bool ok = output.Write(piece.data(), piece.size());
      if (failed) {
        EXPECT_FALSE(ok);  // once failed, always failed
      }
      failed = failed || !ok;
    }
    EXPECT_EQ(failed, total > OutputStream::kFileBufferSize);
    EXPECT_FALSE(output.Close());
    EXPECT_TRUE(output.failed());
  }
}

TEST_P(FileOutput, AListThatFailsShowsAtSettleAndAfter) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::FILE* file = std::fopen("/dev/full", "w");
  ASSERT_NE(file, nullptr);
  std::setvbuf(file, nullptr, _IONBF, 0);
  FileOutputStream output(file);
  // More than a buffer: written at once, the failure shows in WriteList; handed over, at
  // Settle at the latest.
  const Lines lines = {"line", 300000};
  const bool handed = output.WriteList(&WriteLines, &lines);
  EXPECT_EQ(handed, GetParam());
  EXPECT_FALSE(output.Settle(&lines));
  EXPECT_FALSE(output.Write("x", 1));
  EXPECT_FALSE(output.WriteList(&WriteLines, &lines));
  EXPECT_FALSE(output.Close());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutThread, FileOutput, ::testing::Bool());

}  // namespace
}  // namespace tsm2ostra
