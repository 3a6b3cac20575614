// Where a drawing's bytes come from: a file, or memory (tests and the fuzz target).
#ifndef OSTRA2SVG_PREVIEW_BYTE_SOURCE_H_
#define OSTRA2SVG_PREVIEW_BYTE_SOURCE_H_

#include <cstddef>
#include <cstdio>

namespace ostra2svg {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to capacity bytes into buffer and returns how many: 0 at the end of the input
  // and after a read error.
  virtual size_t Read(char* buffer, size_t capacity) = 0;
  // True once a read has failed (the plain end of the input is no failure).
  virtual bool Failed() const { return false; }
  // The errno value of the failed read, 0 if unknown.
  virtual int error_number() const { return 0; }
};

// Reads an open file; the caller keeps and closes it.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(std::FILE* file) : file_(file) {}
  size_t Read(char* buffer, size_t capacity) override;
  bool Failed() const override { return failed_; }
  int error_number() const override { return error_number_; }

 private:
  std::FILE* file_;
  bool failed_ = false;
  int error_number_ = 0;
};

// Hands out the bytes of a memory block, at most chunk bytes a read (0: no limit), so that
// tests can put block ends anywhere.
class MemoryByteSource : public ByteSource {
 public:
  MemoryByteSource(const char* data, size_t size, size_t chunk = 0)
      : data_(data), size_(size), chunk_(chunk) {}
  size_t Read(char* buffer, size_t capacity) override;

 private:
  const char* data_;
  size_t size_;
  size_t chunk_;
  size_t at_ = 0;
};

}  // namespace ostra2svg

#endif  // OSTRA2SVG_PREVIEW_BYTE_SOURCE_H_
