// Temporary picture files: a name nobody uses, then a rename or a removal.
#include "preview/picture_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace ostra2svg {

namespace {

// Mixes the bits of a clock reading and a counter into a name part (splitmix64's finish).
uint64_t Scramble(uint64_t v) {
  v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9u;
  v = (v ^ (v >> 27)) * 0x94D049BB133111EBu;
  return v ^ (v >> 31);
}

}  // namespace

bool PictureFile::Open(const std::string& path, std::string* reason) {
  Discard();
  path_ = path;
  const uint64_t clock =
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  // Names that exist already, a leftover or another run's, are passed over.
  for (uint64_t attempt = 0; attempt < 100; ++attempt) {
    char part[40];
    std::snprintf(part, sizeof part, ".%016llx.tmp",
                  static_cast<unsigned long long>(Scramble(clock + attempt)));
    temporary_ = path + part;
    std::error_code ignored;
    if (std::filesystem::exists(temporary_, ignored)) continue;
    errno = 0;
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (file_ != nullptr) return true;
    *reason = errno != 0 ? std::strerror(errno) : "cannot create a file there";
    return false;
  }
  *reason = "no free name for a temporary file";
  return false;
}

bool PictureFile::Commit(std::string* reason) {
  errno = 0;
  const bool written = std::ferror(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!written || !closed) {
    *reason = errno != 0 ? std::strerror(errno) : "write failed";
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    return false;
  }
  std::error_code error;
  std::filesystem::rename(temporary_, path_, error);
  if (error) {
    *reason = error.message();
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    return false;
  }
  return true;
}

void PictureFile::Discard() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  file_ = nullptr;
  std::error_code ignored;
  std::filesystem::remove(temporary_, ignored);
}

}  // namespace ostra2svg
