// Every file ostra2svg opens: the drawing, read from a file or standard input, and the
// picture. A picture that replaces a file appears whole or not at all; a device, a FIFO or
// standard output is written in place.
#ifndef OSTRA2SVG_PREVIEW_PICTURE_FILE_H_
#define OSTRA2SVG_PREVIEW_PICTURE_FILE_H_

#include <cstdio>
#include <string>

#include "preview/picture_sink.h"

namespace ostra2svg {

// Opens the drawing for reading; "-" is standard input. On failure returns nullptr and sets
// *reason to the system's text.
std::FILE* OpenDrawing(const std::string& path, std::string* reason);
// Closes a drawing from OpenDrawing, leaving standard input open.
void CloseDrawing(std::FILE* file);
// True when the two paths name the same existing file ("-" names none).
bool SameFile(const std::string& a, const std::string& b);

class PictureFile {
 public:
  PictureFile() = default;
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;
  ~PictureFile() { Discard(); }

  // Gets ready to write the picture at path; "-" is standard output. A regular file, or a
  // name that holds nothing yet, is written as a new file that replaces it at Commit (a
  // symbolic link is followed, and an existing file's mode kept). A device, a FIFO, a
  // socket or standard output is opened now and written, as a stream, at Commit. On failure
  // returns false and sets *message, as "cannot write 'x.svg': Permission denied".
  bool Open(const std::string& path, std::string* message);
  // Where the picture's text goes; a file that can be written over.
  PictureSink* sink() { return &sink_; }
  // Puts the picture in place. On any failure, the sink's included, removes what it wrote,
  // returns false and sets *message.
  bool Commit(std::string* message);
  // Removes what was written, if anything.
  void Discard();

 private:
  enum class Kind { None, Replace, Stream };
  enum class StreamOpen { NotStream, Opened, Failed };

  StreamOpen OpenStream(std::string* message);
  StreamOpen Spool(int fd, std::string* message);
  bool OpenReplacement(std::string* message);
  bool SaveReplacement(std::string* message);
  bool CopyToStream(std::string* message);
  bool Fail(const std::string& what, int error_number, std::string* message);

  Kind kind_ = Kind::None;
  std::string path_;        // as given
  std::string target_;      // a replacement: the file replaced, its symbolic links followed
  std::string folder_;      // a replacement: the folder of target_
  std::string temporary_;   // the temporary file's name in folder_, once it has one
  bool anonymous_ = false;  // the temporary file has no name until SaveReplacement
  int folder_fd_ = -1;
  int stream_fd_ = -1;      // a stream: where the picture goes
  std::FILE* file_ = nullptr;  // the new file, or a stream's spool
  FilePictureSink sink_{nullptr};
};

}  // namespace ostra2svg

#endif  // OSTRA2SVG_PREVIEW_PICTURE_FILE_H_
