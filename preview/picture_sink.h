// Where the picture's text goes: a file or a string. Text is appended, and one earlier part
// of the same length may be written again (the root's size, known only at the end).
#ifndef OSTRA2SVG_PREVIEW_PICTURE_SINK_H_
#define OSTRA2SVG_PREVIEW_PICTURE_SINK_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace ostra2svg {

class PictureSink {
 public:
  virtual ~PictureSink() = default;
  virtual void Write(const std::string& text) = 0;
  // Writes text over the bytes from offset on, which were written before.
  virtual void Overwrite(uint64_t offset, const std::string& text) = 0;
  // True once a write has failed.
  virtual bool Failed() const = 0;
  // The errno value of the failed write, 0 if unknown.
  virtual int error_number() const { return 0; }
};

class StringPictureSink : public PictureSink {
 public:
  void Write(const std::string& text) override { text_ += text; }
  void Overwrite(uint64_t offset, const std::string& text) override;
  bool Failed() const override { return false; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Writes into an open file, which the caller keeps and closes.
class FilePictureSink : public PictureSink {
 public:
  explicit FilePictureSink(std::FILE* file) : file_(file) {}
  void Write(const std::string& text) override;
  void Overwrite(uint64_t offset, const std::string& text) override;
  bool Failed() const override { return failed_; }
  int error_number() const override { return error_number_; }

 private:
  void Fail();

  std::FILE* file_;
  bool failed_ = false;
  int error_number_ = 0;
};

}  // namespace ostra2svg

#endif  // OSTRA2SVG_PREVIEW_PICTURE_SINK_H_
