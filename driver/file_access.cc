// File opening and identity on POSIX systems.
#include "driver/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tsm2ostra {

std::FILE* OpenInputFile(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  struct stat status;
  if (file != nullptr && (::fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode))) {
    std::fclose(file);  // a folder reads as nothing; it is not an empty model
    file = nullptr;
  }
  return file;
}

std::FILE* OpenOutputFile(const char* path) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) ::close(fd);
  return file;
}

bool IsSameFile(std::FILE* a, std::FILE* b) {
  struct stat first, second;
  if (::fstat(fileno(a), &first) != 0 || ::fstat(fileno(b), &second) != 0) return true;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool EmptyFile(std::FILE* file) {
  struct stat status;
  if (::fstat(fileno(file), &status) != 0) return false;
  // An empty file is left as it is: some file systems write a file that was truncated out
  // in full when it is closed, which costs a new drawing time for nothing.
  if (!S_ISREG(status.st_mode) || status.st_size == 0) return true;
  return ::ftruncate(fileno(file), 0) == 0;
}

}  // namespace tsm2ostra
