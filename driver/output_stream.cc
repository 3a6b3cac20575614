// Buffering and the concrete sinks of OutputStream.
#include "driver/output_stream.h"

#include <cstring>

#include "scan/allocation.h"

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

FileOutputStream::~FileOutputStream() {
  writer_.WaitForAll();
  for (size_t i = 0; i < added_count_; ++i) FreeBytes(added_buffers_[i]);
}

bool FileOutputStream::Close() {
  Flush();
  CollectAll();
  const bool ok = !failed();
  return file_.Close() && ok;
}

bool FileOutputStream::Sink(const char* data, size_t n) {
  // Text handed over whole (longer than a buffer) goes out after the work handed before.
  return CollectAll() && file_.Write(data, n);
}

bool FileOutputStream::SinkBuffer(size_t n) {
  if (!CheckWriter()) return false;
  if (!file_.is_open() || !writer_.Start()) return file_.Write(buffer(), n);
  if (buffer_count_ == 0) {
    buffers_[0] = buffer();
    for (size_t i = 1; i < kOwnBuffers; ++i) buffers_[i] = spare_buffers_[i - 1];
    buffer_count_ = kOwnBuffers;
  }
  if (!PostJob(&FileOutputStream::WriteHandedBuffer, buffer(), n, nullptr, nullptr, 0)) {
    return false;
  }
  buffer_job_[current_] = writer_.posted();
  // Goes on in the next buffer once the writer is done with it, or in one more.
  size_t next = (current_ + 1) % buffer_count_;
  if (!writer_.HasRun(buffer_job_[next]) && AddBuffer(current_ + 1)) {
    next = current_ + 1;
  } else {
    writer_.WaitFor(buffer_job_[next]);
  }
  current_ = next;
  UseBuffer(buffers_[current_]);
  return true;
}

bool FileOutputStream::AddBuffer(size_t at) {
  constexpr size_t kBufferBytes = kFileBufferSize + kLineSlack;
  if (buffer_count_ == kMostBuffers ||
      (buffer_count_ + 1 - kOwnBuffers) * kBufferBytes > ListBytesOut()) {
    return false;
  }
  char* const added = static_cast<char*>(AllocateBytes(kBufferBytes));
  if (added == nullptr) return false;  // then the stream waits instead
  added_buffers_[added_count_++] = added;
  for (size_t i = buffer_count_; i > at; --i) {
    buffers_[i] = buffers_[i - 1];
    buffer_job_[i] = buffer_job_[i - 1];
  }
  buffers_[at] = added;
  buffer_job_[at] = 0;
  ++buffer_count_;
  return true;
}

size_t FileOutputStream::ListBytesOut() {
  size_t held = 0;
  for (const Job& job : jobs_) {
    if (job.list_writer != nullptr && !writer_.HasRun(job.number)) held += job.held_bytes;
  }
  return held;
}

bool FileOutputStream::WriteList(ListWriter writer, const void* context, size_t held_bytes) {
  if (!file_.is_open() || !writer_.Start()) {
    return OutputStream::WriteList(writer, context, held_bytes);
  }
  // What was written before the list goes first.
  return Flush() &&
         PostJob(&FileOutputStream::WriteHandedList, nullptr, 0, writer, context, held_bytes);
}

bool FileOutputStream::Settle(const void* context) {
  // Waits for the last list job out with this context (with null: any list job).
  uint64_t last = 0;
  for (const Job& job : jobs_) {
    if (job.list_writer != nullptr && (context == nullptr || context == job.list_context) &&
        job.number > last) {
      last = job.number;
    }
  }
  writer_.WaitFor(last);
  return CheckWriter();
}

bool FileOutputStream::PostJob(bool (*run)(void*), const char* data, size_t size,
                               ListWriter list_writer, const void* list_context,
                               size_t held_bytes) {
  if (!CheckWriter()) return false;
  const uint64_t number = writer_.posted() + 1;
  // The entry was last used by the job kQueueLength before this one.
  if (number > BackgroundWorker::kQueueLength) {
    writer_.WaitFor(number - BackgroundWorker::kQueueLength);
  }
  jobs_[number % BackgroundWorker::kQueueLength] =
      Job{this, number, data, size, list_writer, list_context, held_bytes};
  writer_.Post(run, &jobs_[number % BackgroundWorker::kQueueLength]);
  return true;
}

bool FileOutputStream::CollectAll() {
  writer_.WaitForAll();
  return CheckWriter();
}

bool FileOutputStream::CheckWriter() {
  if (writer_.failed()) MarkFailed();
  return !failed();
}

void FileOutputStream::EmptyFile() {
  if (file_.is_open() && writer_.Start()) {
    PostJob(&FileOutputStream::EmptyStream, nullptr, 0, nullptr, nullptr, 0);
  } else if (!file_.Empty()) {
    MarkFailed();
  }
}

bool FileOutputStream::EmptyStream(void* job) {
  return static_cast<Job*>(job)->stream->file_.Empty();
}

bool FileOutputStream::WriteHandedBuffer(void* job) {
  const Job& buffer = *static_cast<Job*>(job);
  return buffer.stream->file_.Write(buffer.data, buffer.size);
}

bool FileOutputStream::WriteHandedList(void* job) {
  const Job& list = *static_cast<Job*>(job);
  OutputStream* const output = &list.stream->list_output_;
  const bool written = list.list_writer(list.list_context, output);
  return output->Flush() && written;
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
