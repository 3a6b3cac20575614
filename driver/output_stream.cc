// Buffering and the concrete sinks of OutputStream.
#include "driver/output_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace tsm2ostra {

bool OutputStream::Flush() {
  if (used_ != 0 && !failed_) failed_ = !SinkBuffer(used_);
  used_ = 0;
  return !failed_;
}

bool OutputStream::WriteSlow(const char* data, size_t n) {
  if (!Flush()) return false;
  if (n >= capacity_) {
    failed_ = !Sink(data, n);
    return !failed_;
  }
  std::memcpy(buffer_, data, n);
  used_ = n;
  return true;
}

char* OutputStream::SpillLine(char* at) {
  size_t text = static_cast<size_t>(at - buffer_) - line_start_;
  if (line_start_ != 0) {
    // What came before the line goes out, and the line moves to the front (of the buffer
    // the stream goes on in, which may be another).
    const char* const line = buffer_ + line_start_;
    used_ = line_start_;
    Flush();
    std::memmove(buffer_, line, text);
    line_start_ = 0;
  }
  if (text > capacity_) {
    // The line alone outgrows the buffer: it goes out in pieces, ending in EndLine.
    used_ = text;
    line_sunk_ += text;
    Flush();
    text = 0;
  }
  return buffer_ + text;
}

char* OutputStream::AppendToLineSlow(char* at, const char* data, size_t n) {
  // As many bytes as the slack takes at a time, each time spilled like any other piece.
  for (;;) {
    const size_t room = static_cast<size_t>(line_end() + kLineSlack - at);
    const size_t piece = n < room ? n : room;
    std::memcpy(at, data, piece);
    at += piece;
    data += piece;
    n -= piece;
    if (at > line_end()) at = SpillLine(at);
    if (n == 0) return at;
  }
}

bool WriteToFile(FILE* file, const char* data, size_t n) {
  return file != nullptr && std::fwrite(data, 1, n, file) == n && std::fflush(file) == 0;
}

bool FileOutputStream::Close() {
  Flush();
  CollectWrite();
  bool ok = !failed();
  if (file_ == nullptr) return false;
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  return ok;
}

bool FileOutputStream::Sink(const char* data, size_t n) {
  // Text handed over whole (longer than a buffer) goes out after the work handed before.
  return CollectWrite() && WriteToFile(file_, data, n);
}

bool FileOutputStream::SinkBuffer(size_t n) {
  if (!CollectWrite()) return false;
  if (file_ == nullptr || !writer_.Start()) return WriteToFile(file_, buffer(), n);
  handed_ = buffer();
  handed_size_ = n;
  writer_.Post(&FileOutputStream::WriteHandedBuffer, this);
  UseBuffer(spare_);
  spare_ = handed_;
  return true;
}

bool FileOutputStream::WriteList(ListWriter writer, const void* context) {
  if (file_ == nullptr || !writer_.Start()) return OutputStream::WriteList(writer, context);
  // What was written before the list goes first.
  if (!Flush() || !CollectWrite()) return false;
  list_writer_ = writer;
  list_context_ = context;
  list_out_ = true;
  writer_.Post(&FileOutputStream::WriteHandedList, this);
  return true;
}

bool FileOutputStream::Settle(const void* context) {
  // One piece of work is out at a time: a list handed before another one is written.
  if (list_out_ && (context == nullptr || context == list_context_)) CollectWrite();
  return !failed();
}

bool FileOutputStream::CollectWrite() {
  list_out_ = false;
  if (writer_.busy() && writer_.Wait() == 0) MarkFailed();
  return !failed();
}

void FileOutputStream::EmptyFile() {
  if (file_ != nullptr && writer_.Start()) {
    writer_.Post(&FileOutputStream::EmptyStream, this);
  } else if (EmptyStream(this) == 0) {
    MarkFailed();
  }
}

size_t FileOutputStream::EmptyStream(void* self) {
  FILE* const file = static_cast<FileOutputStream*>(self)->file_;
  if (file == nullptr) return 0;
  const int fd = fileno(file);
  struct stat status;
  if (::fstat(fd, &status) != 0) return 0;
  // Devices and pipes have nothing to empty, as with opening them for writing.
  return !S_ISREG(status.st_mode) || ::ftruncate(fd, 0) == 0 ? 1 : 0;
}

size_t FileOutputStream::WriteHandedBuffer(void* self) {
  FileOutputStream* const stream = static_cast<FileOutputStream*>(self);
  return WriteToFile(stream->file_, stream->handed_, stream->handed_size_) ? 1 : 0;
}

size_t FileOutputStream::WriteHandedList(void* self) {
  FileOutputStream* const stream = static_cast<FileOutputStream*>(self);
  OutputStream* const output = &stream->list_output_;
  const bool written = stream->list_writer_(stream->list_context_, output);
  return output->Flush() && written ? 1 : 0;
}

bool MemoryOutputStream::Sink(const char* data, size_t n) {
  // The memory stream is for tests and fuzzing; a failed allocation here is not a concern
  // of the conversion, so std::string's own handling is accepted.
  size_t room = fail_after_ - text_.size();
  if (n > room) {
    text_.append(data, room);
    return false;
  }
  text_.append(data, n);
  return true;
}

}  // namespace tsm2ostra
