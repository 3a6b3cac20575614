// Tests of the output: every byte arrives in order, across buffer ends and through lines
// longer than the buffer, and a failed write is reported by the write that met it and by
// every call after it.
#include "driver/output_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "driver/file_access.h"

namespace tsm2ostra {
namespace {

namespace fs = std::filesystem;

// Writes one line through the in-place interface, as CommandBuilder does.
bool WriteOneLine(OutputStream* output, const std::string& text) {
  char* at = output->BeginLine();
  at = output->AppendToLine(at, text.data(), text.size());
  return output->EndLine(at);
}

TEST(FileOutput, EveryByteArrivesInOrder) {
  const fs::path path = fs::temp_directory_path() /
                        ("tsm2ostra_output_" + std::to_string(::getpid()));
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::setvbuf(file, nullptr, _IONBF, 0);
  FileOutputStream output(file);
  // Lines of many lengths, so that some are spilled across the end of the buffer, and two
  // lines longer than the buffer.
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    const std::string text((i * 997) % 5000, static_cast<char>('a' + i % 26));
    ASSERT_TRUE(WriteOneLine(&output, text));
    expected += "\n" + text;
    if (i == 1000 || i == 2999) {
      const std::string long_line(2 * OutputStream::kFileBufferSize + 3, 'W');
      ASSERT_TRUE(WriteOneLine(&output, long_line));
      expected += "\n" + long_line;
    }
  }
  EXPECT_TRUE(output.Close());
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            expected);
  fs::remove(path);
}

TEST(FileOutput, AFailedWriteShowsAtTheWriteThatMetItAndAfter) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  for (const size_t total : {size_t{10}, 3 * OutputStream::kFileBufferSize}) {
    SCOPED_TRACE(total);
    std::FILE* file = OpenOutputFile("/dev/full");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(EmptyFile(file));  // a device is left alone
    std::setvbuf(file, nullptr, _IONBF, 0);
    FileOutputStream output(file);
    const std::string piece(9, 'x');
    size_t written = 0;
    while (written < total && WriteOneLine(&output, piece)) written += piece.size() + 1;
    // The first line that fills the buffer hands it to the file and fails; so does every
    // later call.
    EXPECT_EQ(written < total, total > OutputStream::kFileBufferSize);
    EXPECT_GE(written + piece.size() + 1, std::min(total, OutputStream::kFileBufferSize));
    EXPECT_FALSE(output.Close());
    EXPECT_TRUE(output.failed());
  }
}

// A sink whose first write fails and whose later writes would succeed, as a disk that was
// full for a moment would.
class FailsFirstWrite final : public BufferedOutputStream<OutputStream::kBufferSize> {
 public:
  int writes = 0;
  std::string written;  // what the later writes were handed

 private:
  bool Sink(const char* data, size_t n) override {
    if (writes++ == 0) return false;
    written.append(data, n);
    return true;
  }
};

TEST(OutputStream, AfterAFailedWriteNothingMoreIsWrittenAndTheFailureStays) {
  FailsFirstWrite output;
  // Short lines that fill the buffer, and one line longer than the buffer that goes out in
  // pieces.
  int first_failed = -1;
  for (int i = 0; i < 300; ++i) {
    const std::string text(i == 150 ? 2 * OutputStream::kBufferSize : 1000, 'x');
    const bool written = WriteOneLine(&output, text);
    if (!written && first_failed < 0) first_failed = i;
    if (first_failed >= 0) {
      EXPECT_FALSE(written) << i;
    }
  }
  EXPECT_GT(first_failed, 0);
  EXPECT_FALSE(output.Flush());
  EXPECT_FALSE(output.Close());
  EXPECT_TRUE(output.failed());
  EXPECT_EQ(output.writes, 1);
  EXPECT_EQ(output.written, "");
}

}  // namespace
}  // namespace tsm2ostra
