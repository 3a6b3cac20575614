// Appending and overwriting picture text in a string or a file.
#include "preview/picture_sink.h"

#include <cerrno>
#include <limits>

namespace ostra2svg {

void StringPictureSink::Overwrite(uint64_t offset, const std::string& text) {
  if (offset <= text_.size() && text.size() <= text_.size() - offset) {
    text_.replace(static_cast<size_t>(offset), text.size(), text);
  }
}

void FilePictureSink::Fail() {
  failed_ = true;
  error_number_ = errno;
}

void FilePictureSink::Write(const std::string& text) {
  if (failed_) return;
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) Fail();
}

void FilePictureSink::Overwrite(uint64_t offset, const std::string& text) {
  // The part written again is the root element near the start of the file, so a long
  // offset always holds it.
  if (failed_) return;
  errno = 0;
  if (offset > static_cast<uint64_t>(std::numeric_limits<long>::max())) {
    Fail();
    return;
  }
  if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 ||
      std::fwrite(text.data(), 1, text.size(), file_) != text.size() ||
      std::fseek(file_, 0, SEEK_END) != 0 || std::fflush(file_) != 0) {
    Fail();
  }
}

}  // namespace ostra2svg
