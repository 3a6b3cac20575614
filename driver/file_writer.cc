// FileWriter: plain writes, emptying, and the write-out kept close behind the writer.
#include "driver/file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tsm2ostra {

bool FileWriter::Write(const char* data, size_t n) {
  if (file_ == nullptr || std::fwrite(data, 1, n, file_) != n || std::fflush(file_) != 0) {
    return false;
  }
  if (write_out_behind_) {
    written_ += static_cast<off_t>(n);
    if (written_ - written_out_ >= kWriteOutStep) {
#if defined(__linux__)
      // Only starts the write-out; a failure here leaves it to the system, as before.
      ::sync_file_range(fileno(file_), written_out_, written_ - written_out_,
                        SYNC_FILE_RANGE_WRITE);
#endif
      written_out_ = written_;
    }
  }
  return true;
}

bool FileWriter::Empty() {
  if (file_ == nullptr) return false;
  const int fd = fileno(file_);
  struct stat status;
  if (::fstat(fd, &status) != 0) return false;
  if (!S_ISREG(status.st_mode) || status.st_size == 0) return true;
  if (::ftruncate(fd, 0) != 0) return false;
  write_out_behind_ = true;
  return true;
}

bool FileWriter::Close() {
  if (file_ == nullptr) return false;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed;
}

}  // namespace tsm2ostra
