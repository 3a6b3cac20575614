// Writing to an open file: emptying it first, and starting the system's write-out of what was
// written a few MiB behind the writer where closing would otherwise do all of it at once.
#ifndef TSM2OSTRA_DRIVER_FILE_WRITER_H_
#define TSM2OSTRA_DRIVER_FILE_WRITER_H_

#include <sys/types.h>

#include <cstddef>
#include <cstdio>

namespace tsm2ostra {

// Not thread-safe: the caller orders the calls (one writing thread at a time).
class FileWriter {
 public:
  // How much written data may wait before its write-out is started.
  static constexpr off_t kWriteOutStep = 8 * 1024 * 1024;

  explicit FileWriter(std::FILE* file) : file_(file) {}
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Writes all n bytes at data; false if it could not.
  bool Write(const char* data, size_t n);
  // Empties a regular file that holds anything, as opening it for writing would; leaves
  // devices, pipes and empty files alone. False if the file could not be emptied.
  bool Empty();
  // Closes the file; false if that failed or there was no file.
  bool Close();
  bool is_open() const { return file_ != nullptr; }

 private:
  std::FILE* file_;
  // Some file systems write out a file emptied by truncation in full when it is closed, on
  // the closing thread. Once such a file is being written, the write-out of each step is
  // started as soon as it is written, on the writing thread.
  bool write_out_behind_ = false;
  off_t written_ = 0;
  off_t written_out_ = 0;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_FILE_WRITER_H_
