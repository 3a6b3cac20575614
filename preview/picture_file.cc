// Opening the drawing and writing the picture: the parts all systems share, then the POSIX
// part (an unnamed file linked into place on Linux, a named one elsewhere) and the Windows
// part (a named file moved into place).
#include "preview/picture_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ostra2svg {

namespace {

// Mixes the bits of a clock reading and a counter into a name part (splitmix64's finish).
uint64_t Scramble(uint64_t v) {
  v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9u;
  v = (v ^ (v >> 27)) * 0x94D049BB133111EBu;
  return v ^ (v >> 31);
}

// A temporary file's name: short, so that any picture name that fits fits it too.
std::string TemporaryName(uint64_t attempt) {
  static const uint64_t clock =
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  char name[40];
  std::snprintf(name, sizeof name, ".ostra2svg-%016llx.tmp",
                static_cast<unsigned long long>(Scramble(clock + attempt)));
  return name;
}

// Names that exist already, a leftover or another run's, are passed over.
constexpr uint64_t kNameAttempts = 100;

// The folder a path's file lies in: "." for a bare name.
std::string FolderOf(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && (path[end - 1] == '/' || path[end - 1] == '\\')) --end;
  const size_t slash = path.find_last_of("/\\", end - 1);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string Reason(int error_number) {
  return error_number != 0 ? std::strerror(error_number) : "input/output error";
}

#if defined(_WIN32)

int WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
    const int n = _write(fd, data, chunk);
    if (n <= 0) return n < 0 ? errno : EIO;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

#else

int WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

// The named temporary file while it exists, so that a signal that ends the run removes it.
char leftover[4096];

void RemoveLeftover(int signal_number) {
  if (leftover[0] != '\0') unlink(leftover);
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

void NoteLeftover(const std::string& folder, const std::string& name) {
  const std::string path = folder + "/" + name;
  if (path.size() >= sizeof leftover) return;
  std::memcpy(leftover, path.c_str(), path.size() + 1);
  for (const int s : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE}) signal(s, RemoveLeftover);
}

void ForgetLeftover() { leftover[0] = '\0'; }

// Follows the symbolic links at path to the file they lead to; a link to nothing leads to
// where the new file goes. On failure returns false and sets *error.
bool FollowLinks(const std::string& path, std::string* target, int* error) {
  std::string at = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat info;
    if (lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      *target = at;
      return true;
    }
    std::string link(256, '\0');
    for (;;) {
      const ssize_t n = readlink(at.c_str(), &link[0], link.size());
      if (n < 0) {
        *error = errno;
        return false;
      }
      if (static_cast<size_t>(n) < link.size()) {
        link.resize(static_cast<size_t>(n));
        break;
      }
      link.resize(link.size() * 2);
    }
    at = link[0] == '/' ? link : FolderOf(at) + "/" + link;
  }
  *error = ELOOP;
  return false;
}

#endif

}  // namespace

// The parts all systems share.

void CloseDrawing(std::FILE* file) {
  if (file != stdin) std::fclose(file);
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a == "-" || b == "-") return false;
  std::error_code ignored;
  return std::filesystem::equivalent(a, b, ignored);
}

bool PictureFile::Fail(const std::string& what, int error_number, std::string* message) {
  *message = "cannot " + what + ": " + Reason(error_number);
  Discard();
  return false;
}

bool PictureFile::Open(const std::string& path, std::string* message) {
  Discard();
  path_ = path;
  switch (OpenStream(message)) {
    case StreamOpen::NotStream:
      return OpenReplacement(message);
    case StreamOpen::Opened:
      return true;
    case StreamOpen::Failed:
      break;
  }
  return false;
}

bool PictureFile::Commit(std::string* message) {
  if (sink_.Failed()) {
    const std::string what = kind_ == Kind::Stream ? "write a temporary file for '" + path_ + "'"
                                                   : "write '" + path_ + "'";
    return Fail(what, sink_.error_number(), message);
  }
  errno = 0;
  if (std::fflush(file_) != 0) return Fail("write '" + path_ + "'", errno, message);
  return kind_ == Kind::Stream ? CopyToStream(message) : SaveReplacement(message);
}

// A stream, fd (-1 when it couldn't be opened, with errno set): the picture is spooled to
// an unnamed temporary file, since its size, at the start, is known only at the end.
PictureFile::StreamOpen PictureFile::Spool(int fd, std::string* message) {
  if (fd < 0) {
    Fail("write '" + path_ + "'", errno, message);
    return StreamOpen::Failed;
  }
  kind_ = Kind::Stream;
  stream_fd_ = fd;
  errno = 0;
  file_ = std::tmpfile();
  if (file_ == nullptr) {
    Fail("create a temporary file for '" + path_ + "'", errno, message);
    return StreamOpen::Failed;
  }
  sink_ = FilePictureSink(file_);
  return StreamOpen::Opened;
}

// A stream's spool is copied out in one pass.
bool PictureFile::CopyToStream(std::string* message) {
  std::rewind(file_);
  static char block[65536];
  for (;;) {
    const size_t n = std::fread(block, 1, sizeof block, file_);
    if (n == 0) {
      if (std::ferror(file_)) {
        return Fail("read the temporary file for '" + path_ + "'", errno, message);
      }
      break;
    }
    const int error = WriteAll(stream_fd_, block, n);
    if (error != 0) return Fail("write '" + path_ + "'", error, message);
  }
  std::fclose(file_);
  file_ = nullptr;
  const int fd = stream_fd_;
  stream_fd_ = -1;
  kind_ = Kind::None;
  if (fd != 1) {
#if defined(_WIN32)
    if (_close(fd) != 0) return Fail("write '" + path_ + "'", errno, message);
#else
    if (close(fd) != 0 && errno != EINTR) return Fail("write '" + path_ + "'", errno, message);
#endif
  }
  return true;
}

#if defined(_WIN32)

// The Windows part: a named temporary file beside the picture, moved over it.

std::FILE* OpenDrawing(const std::string& path, std::string* reason) {
  if (path == "-") {
    _setmode(_fileno(stdin), _O_BINARY);
    return stdin;
  }
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) *reason = Reason(errno);
  return file;
}

PictureFile::StreamOpen PictureFile::OpenStream(std::string* message) {
  int fd = -1;
  if (path_ == "-") {
    _setmode(1, _O_BINARY);
    fd = 1;
  } else {
    // What exists and opens as a character device (NUL, CON) or a pipe is a stream.
    fd = _open(path_.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) return StreamOpen::NotStream;
    const DWORD type = GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
    if (type != FILE_TYPE_CHAR && type != FILE_TYPE_PIPE) {
      _close(fd);
      return StreamOpen::NotStream;
    }
  }
  return Spool(fd, message);
}

bool PictureFile::OpenReplacement(std::string* message) {
  kind_ = Kind::Replace;
  target_ = path_;
  folder_ = FolderOf(path_);
  for (uint64_t attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = TemporaryName(attempt);
    errno = 0;
    const int fd = _open((folder_ + "/" + name).c_str(),
                         _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                         _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) {
      const int error = errno;
      struct _stat64 info;
      if (_stat64(folder_.c_str(), &info) != 0) return Fail("write '" + path_ + "'", error, message);
      return Fail("create a temporary file in '" + folder_ + "'", error, message);
    }
    temporary_ = name;
    file_ = _fdopen(fd, "wb");
    if (file_ == nullptr) {
      _close(fd);
      return Fail("create a temporary file in '" + folder_ + "'", errno, message);
    }
    sink_ = FilePictureSink(file_);
    return true;
  }
  return Fail("create a temporary file in '" + folder_ + "'", EEXIST, message);
}

bool PictureFile::SaveReplacement(std::string* message) {
  errno = 0;
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) return Fail("write '" + path_ + "'", errno, message);
  const std::string temporary = folder_ + "/" + temporary_;
  if (!MoveFileExA(temporary.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    *message = "cannot write '" + path_ + "': " +
               std::system_category().message(static_cast<int>(GetLastError()));
    Discard();
    return false;
  }
  temporary_.clear();
  kind_ = Kind::None;
  return true;
}

void PictureFile::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) _unlink((folder_ + "/" + temporary_).c_str());
  temporary_.clear();
  if (stream_fd_ > 1) _close(stream_fd_);
  stream_fd_ = -1;
  kind_ = Kind::None;
}

#else

// The POSIX part.

std::FILE* OpenDrawing(const std::string& path, std::string* reason) {
  if (path == "-") return stdin;
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) *reason = Reason(errno);
  return file;
}

// Standard output, or whatever is no regular file nor folder, is a stream.
PictureFile::StreamOpen PictureFile::OpenStream(std::string* message) {
  // A file-size limit then fails a write with "File too large" instead of ending the run.
  signal(SIGXFSZ, SIG_IGN);
  int fd = -1;
  struct stat info, out;
  if (path_ == "-") {
    fd = 1;
  } else if (stat(path_.c_str(), &info) != 0) {
    return StreamOpen::NotStream;
  } else if (fstat(1, &out) == 0 && info.st_dev == out.st_dev && info.st_ino == out.st_ino) {
    fd = 1;
  } else if (S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) {
    return StreamOpen::NotStream;
  } else {
    errno = 0;
    fd = open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  }
  return Spool(fd, message);
}

bool PictureFile::OpenReplacement(std::string* message) {
  kind_ = Kind::Replace;
  int error = 0;
  if (!FollowLinks(path_, &target_, &error)) return Fail("write '" + path_ + "'", error, message);
  folder_ = FolderOf(target_);
  errno = 0;
  folder_fd_ = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd_ < 0) return Fail("write '" + path_ + "'", errno, message);
  const std::string cannot_create = "create a temporary file in '" + folder_ + "'";

  int fd = -1;
#if defined(O_TMPFILE)
  // Unnamed until it is linked into place whole: a run that ends any other way, even
  // killed, leaves nothing. Linking it by its /proc name needs no privilege.
  anonymous_ = access("/proc/self/fd", X_OK) == 0;
  if (anonymous_) {
    errno = 0;
    fd = openat(folder_fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
      return Fail(cannot_create, errno, message);
    }
    anonymous_ = fd >= 0;
  }
#endif
  // Elsewhere a named file, removed on every way out but a kill that can't be caught.
  for (uint64_t attempt = 0; fd < 0 && attempt < kNameAttempts; ++attempt) {
    const std::string name = TemporaryName(attempt);
    errno = 0;
    fd = openat(folder_fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return Fail(cannot_create, errno, message);
    if (fd >= 0) {
      temporary_ = name;
      NoteLeftover(folder_, name);
    }
  }
  if (fd < 0) return Fail(cannot_create, EEXIST, message);

  // An existing picture keeps its owner, where allowed, and its mode.
  struct stat info;
  if (stat(target_.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    if (fchown(fd, info.st_uid, info.st_gid) != 0) {
      // Not allowed: the new picture is the user's own.
    }
    fchmod(fd, info.st_mode & 07777);
  }
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    return Fail(cannot_create, errno, message);
  }
  sink_ = FilePictureSink(file_);
  return true;
}

bool PictureFile::SaveReplacement(std::string* message) {
  const std::string cannot_write = "write '" + path_ + "'";
  if (anonymous_) {
    const std::string proc_name = "/proc/self/fd/" + std::to_string(fileno(file_));
    for (uint64_t attempt = 0; temporary_.empty() && attempt < kNameAttempts; ++attempt) {
      const std::string name = TemporaryName(attempt);
      errno = 0;
      if (linkat(AT_FDCWD, proc_name.c_str(), folder_fd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        temporary_ = name;
        NoteLeftover(folder_, name);
      } else if (errno != EEXIST) {
        return Fail(cannot_write, errno, message);
      }
    }
    if (temporary_.empty()) return Fail(cannot_write, EEXIST, message);
  }
  errno = 0;
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) return Fail(cannot_write, errno, message);
  errno = 0;
  if (renameat(folder_fd_, temporary_.c_str(), AT_FDCWD, target_.c_str()) != 0) {
    return Fail(cannot_write, errno, message);
  }
  ForgetLeftover();
  temporary_.clear();
  Discard();
  return true;
}

void PictureFile::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) unlinkat(folder_fd_, temporary_.c_str(), 0);
  temporary_.clear();
  ForgetLeftover();
  if (folder_fd_ >= 0) close(folder_fd_);
  folder_fd_ = -1;
  if (stream_fd_ > 1) close(stream_fd_);
  stream_fd_ = -1;
  anonymous_ = false;
  kind_ = Kind::None;
}

#endif

}  // namespace ostra2svg
