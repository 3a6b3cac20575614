// Tests of the file output, which writes its full buffers and whole lists from a background
// thread: every byte arrives in order, and a failed write is still reported, later or at
// Close.
#include "driver/output_stream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "driver/background_worker.h"

namespace tsm2ostra {
namespace {

namespace fs = std::filesystem;

TEST(BackgroundWorker, RunsJobsInTheirOrderAndKeepsAFailure) {
  // More jobs than the queue holds; the third fails.
  struct Log {
    std::vector<int> order;  // written by the worker only, read after WaitForAll
    int next = 0;
  } log;
  BackgroundWorker worker;
  ASSERT_TRUE(worker.Start());
  EXPECT_EQ(worker.posted(), 0u);
  worker.WaitForAll();  // nothing out
  const int jobs = 3 * static_cast<int>(BackgroundWorker::kQueueLength);
  for (int i = 1; i <= jobs; ++i) {
    const uint64_t number = worker.Post(
        [](void* context) -> bool {
          Log& log = *static_cast<Log*>(context);
          log.order.push_back(++log.next);
          return log.next != 3;
        },
        &log);
    EXPECT_EQ(number, static_cast<uint64_t>(i));
  }
  worker.WaitForAll();
  EXPECT_TRUE(worker.failed());
  ASSERT_EQ(log.order.size(), static_cast<size_t>(jobs));
  for (int i = 0; i < jobs; ++i) EXPECT_EQ(log.order[i], i + 1);
}

TEST(BackgroundWorker, EndingWaitsForTheJobsThatAreOut) {
  std::atomic<int> done{0};
  {
    BackgroundWorker worker;
    ASSERT_TRUE(worker.Start());
    for (int i = 0; i < 5; ++i) {
      worker.Post(
          [](void* context) -> bool {
            std::FILE* devnull = std::fopen("/dev/null", "w");
            for (int j = 0; j < 1000 && devnull != nullptr; ++j) std::fputs("x", devnull);
            if (devnull != nullptr) std::fclose(devnull);
            ++*static_cast<std::atomic<int>*>(context);
            return true;
          },
          &done);
    }
  }
  EXPECT_EQ(done.load(), 5);
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
    ASSERT_TRUE(output.WriteList(&WriteLines, &lines, 0));
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
  // Many short lists queued at once, each changed only after Settle for it.
  std::vector<Lines> many(3 * BackgroundWorker::kQueueLength, Lines{"short", 3});
  for (Lines& lines : many) list(lines);
  for (size_t i = 0; i < many.size(); i += 5) {
    ASSERT_TRUE(output.Settle(&many[i]));
    many[i].text = "changed";
    write("then");
  }
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

TEST_P(FileOutput, TextAfterAListWaitsInMoreBuffersWhileTheListIsWritten) {
  if (!GetParam()) GTEST_SKIP() << "without the thread, lists are written at once";
  std::FILE* file = std::fopen(path_.c_str(), "w");
  ASSERT_NE(file, nullptr);
  FileOutputStream output(file);
  // The list is written only once the text after it is in, or after a long wait: with no
  // more buffers than its own, the stream would wait for the list, and the list time out.
  struct Gate {
    mutable std::atomic<bool> open{false};
    mutable bool opened_in_time = false;
  } gate;
  auto wait_for_gate = [](const void* context, OutputStream* out) -> bool {
    const Gate& g = *static_cast<const Gate*>(context);
    for (int i = 0; i < 10000 && !g.open.load(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    g.opened_in_time = g.open.load();
    return out->Write("[list]", 6);
  };
  const size_t after = 10 * OutputStream::kFileBufferSize;
  ASSERT_TRUE(output.WriteList(wait_for_gate, &gate, 2 * after));
  const std::string piece(1000, 't');
  for (size_t written = 0; written < after; written += piece.size()) {
    ASSERT_TRUE(output.Write(piece.data(), piece.size()));
  }
  gate.open = true;
  EXPECT_TRUE(output.Close());
  EXPECT_TRUE(gate.opened_in_time);
  const std::string contents = Contents();
  EXPECT_EQ(contents.size(), 6 + (after + piece.size() - 1) / piece.size() * piece.size());
  EXPECT_EQ(contents.compare(0, 7, "[list]t"), 0);
}

TEST_P(FileOutput, AnEmptiedFileIsRewrittenWholeAcrossTheWriteOutSteps) {
  // A file that held more than the new text, so that the write-out behind the writer runs
  // several times and old bytes would show past the new end.
  const size_t old_size = 3 * static_cast<size_t>(FileWriter::kWriteOutStep);
  {
    std::ofstream old(path_, std::ios::binary);
    old << std::string(old_size, 'o');
  }
  std::FILE* file = std::fopen(path_.c_str(), "r+");
  ASSERT_NE(file, nullptr);
  FileOutputStream output(file);
  output.EmptyFile();
  std::string expected;
  for (int i = 0; expected.size() < old_size - 12345; ++i) {
    const std::string piece = "line " + std::to_string(i) + "\n";
    ASSERT_TRUE(output.Write(piece.data(), piece.size()));
    expected += piece;
  }
  EXPECT_TRUE(output.Close());
  EXPECT_EQ(Contents(), expected);
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
    // Written at once, the failure shows in the Write that hands over the first full buffer;
    // with the thread, by Close at the latest.
    if (!GetParam()) {
      EXPECT_EQ(failed, total > OutputStream::kFileBufferSize);
    }
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
  const bool handed = output.WriteList(&WriteLines, &lines, 0);
  EXPECT_EQ(handed, GetParam());
  EXPECT_FALSE(output.Settle(&lines));
  EXPECT_FALSE(output.Write("x", 1));
  EXPECT_FALSE(output.WriteList(&WriteLines, &lines, 0));
  EXPECT_FALSE(output.Close());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutThread, FileOutput, ::testing::Bool());

}  // namespace
}  // namespace tsm2ostra
