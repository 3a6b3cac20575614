// File opening and identity, on POSIX systems and on Windows.
#include "driver/file_access.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "driver/wide_text.h"
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tsm2ostra {

#ifdef _WIN32

// Paths are UTF-8 and opened by their UTF-16 names, so that every name a Windows file system
// holds can be reached, not only those of the ANSI code page. Binary mode throughout: the C
// runtime would otherwise turn CR-LF into LF, end the input at a Ctrl-Z byte, and write
// every "\n" as CR-LF.

namespace {

// A path's UTF-16 form for as long as it is needed; null when the path is not UTF-8 (or
// memory ran out), and then no file is opened.
class WidePath {
 public:
  explicit WidePath(const char* path)
      : wide_(WideFromUtf8(path, std::strlen(path), /*strict=*/true, nullptr)) {}
  ~WidePath() { std::free(wide_); }
  WidePath(const WidePath&) = delete;
  WidePath& operator=(const WidePath&) = delete;
  const wchar_t* get() const { return wide_; }

 private:
  wchar_t* const wide_;
};

}  // namespace

std::FILE* OpenInputFile(const char* path) {
  const WidePath wide(path);
  if (wide.get() == nullptr) return nullptr;
  std::FILE* file = _wfopen(wide.get(), L"rb");
  struct _stat64 status;
  if (file != nullptr &&
      (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) == _S_IFDIR)) {
    std::fclose(file);  // a folder reads as nothing; it is not an empty model
    file = nullptr;
  }
  return file;
}

std::FILE* OpenOutputFile(const char* path) {
  const WidePath wide(path);
  if (wide.get() == nullptr) return nullptr;
  const int fd =
      _wopen(wide.get(), _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) _close(fd);
  return file;
}

bool IsSameFile(std::FILE* a, std::FILE* b) {
  // A file is known by the serial number of its volume and its index there, whatever name,
  // path or link opened it. A device or pipe (NUL, the console) has no such identity, but it
  // is never the same as a file on a disk.
  const HANDLE first_handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(a)));
  const HANDLE second_handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(b)));
  if (first_handle == INVALID_HANDLE_VALUE || second_handle == INVALID_HANDLE_VALUE) return true;
  const bool first_on_disk = GetFileType(first_handle) == FILE_TYPE_DISK;
  const bool second_on_disk = GetFileType(second_handle) == FILE_TYPE_DISK;
  if (first_on_disk != second_on_disk) return false;
  BY_HANDLE_FILE_INFORMATION first, second;
  if (!first_on_disk || !GetFileInformationByHandle(first_handle, &first) ||
      !GetFileInformationByHandle(second_handle, &second)) {
    return true;
  }
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

bool EmptyFile(std::FILE* file) {
  struct _stat64 status;
  if (_fstat64(_fileno(file), &status) != 0) return false;
  // Devices such as NUL and the console are left alone, and so is an empty file.
  if ((status.st_mode & _S_IFMT) != _S_IFREG || status.st_size == 0) return true;
  return _chsize_s(_fileno(file), 0) == 0;
}

#else

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
  return IsSameFileStatus(first, second);
}

bool IsSameFileStatus(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool EmptyFile(std::FILE* file) {
  struct stat status;
  if (::fstat(fileno(file), &status) != 0) return false;
  // An empty file is left as it is: some file systems write a file that was truncated out
  // in full when it is closed, which costs a new drawing time for nothing.
  if (!S_ISREG(status.st_mode) || status.st_size == 0) return true;
  return ::ftruncate(fileno(file), 0) == 0;
}

#endif

}  // namespace tsm2ostra
