// The picture's file: written under a temporary name in the same folder and renamed once
// complete, so that a failed run never leaves half a picture behind.
#ifndef OSTRA2SVG_PREVIEW_PICTURE_FILE_H_
#define OSTRA2SVG_PREVIEW_PICTURE_FILE_H_

#include <cstdio>
#include <string>

namespace ostra2svg {

class PictureFile {
 public:
  PictureFile() = default;
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;
  ~PictureFile() { Discard(); }

  // Opens a new temporary file beside path for writing. On failure returns false and sets
  // *reason to the system's text.
  bool Open(const std::string& path, std::string* reason);
  std::FILE* file() const { return file_; }
  // Closes the temporary file and renames it to the path given to Open, replacing what was
  // there. On failure removes it, returns false and sets *reason.
  bool Commit(std::string* reason);
  // Closes and removes the temporary file, if one is open.
  void Discard();

 private:
  std::string path_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
};

}  // namespace ostra2svg

#endif  // OSTRA2SVG_PREVIEW_PICTURE_FILE_H_
