// Where the commands go: a buffered byte sink that remembers the first failed write.
#ifndef TSM2OSTRA_DRIVER_OUTPUT_STREAM_H_
#define TSM2OSTRA_DRIVER_OUTPUT_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/background_worker.h"
#include "driver/file_writer.h"
#include "scan/byte_buffer.h"

namespace tsm2ostra {

// Collects bytes in one buffer and hands them to the sink in large writes.
// Once a write has failed, every later call fails too.
class OutputStream {
 public:
  // The buffer of a memory stream; a file stream buffers more, since every write to a file
  // costs the system a fixed amount on top of the copy.
  static constexpr size_t kBufferSize = 64 * 1024;
  static constexpr size_t kFileBufferSize = 1024 * 1024;

  virtual ~OutputStream() = default;
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  // Appends bytes; false when the output has failed (now or earlier).
  bool Write(const char* data, size_t n) {
    if (n <= capacity_ - used_) {
      CopyBytes(buffer_ + used_, data, n);
      used_ += n;
      return !failed_;
    }
    return WriteSlow(data, n);
  }
  // Hands everything buffered to the sink; false when the output has failed.
  bool Flush();

  // A line built in place (CommandBuilder): BeginLine writes "\n" and returns where the
  // line's text starts. The caller writes on from there and may pass line_end() by up to
  // kLineSlack bytes; then it must call SpillLine, which returns where to go on writing.
  // EndLine takes the text up to its argument. The sink sees the same bytes at the same
  // lines as Write("\n") then Write(text): what the buffer held before the text goes out
  // when the text does not fit behind it, and a text of capacity() bytes or more leaves the
  // buffer empty.
  static constexpr size_t kLineSlack = 512;
  char* BeginLine() {
    // As Write("\n", 1): a full buffer goes out first.
    if (used_ == capacity_) Flush();
    buffer_[used_++] = '\n';
    line_start_ = used_;
    line_sunk_ = 0;
    return buffer_ + used_;
  }
  char* line_end() { return buffer_ + capacity_; }
  char* SpillLine(char* at);
  // Appends n bytes of any length to the line at at; returns the new end of the line.
  char* AppendToLine(char* at, const char* data, size_t n) {
    if (n <= static_cast<size_t>(line_end() - at)) {
      CopyBytes(at, data, n);
      return at + n;
    }
    return AppendToLineSlow(at, data, n);
  }
  // False when the output has failed.
  bool EndLine(char* at) {
    used_ = static_cast<size_t>(at - buffer_);
    if (line_sunk_ + (used_ - line_start_) >= capacity_) return Flush();
    return !failed_;
  }
  // Ends the output: flushes, and releases the destination where there is one; false if
  // anything failed, before or now.
  virtual bool Close() { return Flush(); }

  // A piece of work that writes many commands to output, reading data that stays unchanged
  // until Settle; true unless a write failed.
  using ListWriter = bool (*)(const void* context, OutputStream* output);
  // Writes the list through writer, after everything written so far and before anything
  // written later. This stream does it at once; a stream may instead do it on another thread
  // while the caller goes on, and meanwhile keep up to held_bytes (what the list's data
  // takes) of the later output waiting in memory. False when the output has failed.
  virtual bool WriteList(ListWriter writer, const void* context, size_t /*held_bytes*/) {
    return writer(context, this) && !failed_;
  }
  // Waits until the list handed to WriteList with context (with null: every list) is
  // written, so that its data may change; false when the output has failed.
  virtual bool Settle(const void* /*context*/) { return !failed_; }

  bool failed() const { return failed_; }
  size_t capacity() const { return capacity_; }

 protected:
  // storage holds capacity + kLineSlack bytes and lives as long as the stream.
  OutputStream(char* storage, size_t capacity) : buffer_(storage), capacity_(capacity) {}
  // Writes all n bytes to the destination; false if it could not.
  virtual bool Sink(const char* data, size_t n) = 0;
  // Hands the buffer's first n bytes to the destination; false if that failed. A stream may
  // go on in another buffer of the same size (UseBuffer) while the handed one is written.
  virtual bool SinkBuffer(size_t n) { return Sink(buffer_, n); }
  char* buffer() const { return buffer_; }
  void UseBuffer(char* storage) { buffer_ = storage; }
  // Records a failure the sink learnt of outside Sink.
  void MarkFailed() { failed_ = true; }

 private:
  bool WriteSlow(const char* data, size_t n);
  char* AppendToLineSlow(char* at, const char* data, size_t n);

  bool failed_ = false;
  size_t used_ = 0;
  // The line being built: where its text starts in the buffer, and how much of it went to
  // the sink already.
  size_t line_start_ = 0;
  size_t line_sunk_ = 0;
  char* buffer_;
  const size_t capacity_;
};

// An OutputStream that holds its buffer of Capacity bytes (and the slack) itself.
template <size_t Capacity>
class BufferedOutputStream : public OutputStream {
 protected:
  BufferedOutputStream() : OutputStream(storage_, Capacity) {}

 private:
  char storage_[Capacity + kLineSlack];
};

// Writes straight to a file that the caller opened, through its own buffer.
class DirectFileOutputStream final : public BufferedOutputStream<OutputStream::kFileBufferSize> {
 public:
  explicit DirectFileOutputStream(FileWriter* file) : file_(file) {}
  ~DirectFileOutputStream() override = default;

 private:
  bool Sink(const char* data, size_t n) override { return file_->Write(data, n); }
  FileWriter* file_;
};

// Writes to a stream that the caller opened; Close flushes and closes it. A background
// thread does the writing, in order: of full buffers while the stream goes on in the next
// one, and of the lists handed to WriteList, through a buffer of its own, while the caller
// reads on. So the conversion waits neither for the system's copying of the output nor for
// the formatting of whole point and face lists, unless the thread falls behind by all its
// buffers or its queue. While lists are out, more buffers may be taken for the text that
// follows them, as many bytes as the lists hold. A write that failed on the thread is told
// by a later hand-over, Settle or Close. Without a thread, everything is written at once.
class FileOutputStream final : public BufferedOutputStream<OutputStream::kFileBufferSize> {
 public:
  explicit FileOutputStream(FILE* file) : file_(file), list_output_(&file_) {}
  ~FileOutputStream() override;
  // Flushes and closes the file; false if anything failed, before or now.
  bool Close() override;
  // Empties the file, if it is a regular one, before anything is written to it: on the
  // writer thread, while the conversion starts. A file that cannot be emptied fails the
  // output.
  void EmptyFile();
  bool WriteList(ListWriter writer, const void* context, size_t held_bytes) override;
  bool Settle(const void* context) override;

 private:
  // Buffers the stream always has (its own and the spare ones), and the most it takes.
  static constexpr size_t kOwnBuffers = 4;
  static constexpr size_t kMostBuffers = 48;
  // A job for the writer thread: one of its three kinds, with what it works on.
  struct Job {
    FileOutputStream* stream;
    uint64_t number;
    const char* data;  // a buffer to write, of size bytes
    size_t size;
    ListWriter list_writer;  // or a list to write, whose data holds held_bytes
    const void* list_context;
    size_t held_bytes;
  };

  bool Sink(const char* data, size_t n) override;
  bool SinkBuffer(size_t n) override;
  // Fills in the next job's entry and queues it; false if the output has failed.
  bool PostJob(bool (*run)(void*), const char* data, size_t size, ListWriter list_writer,
               const void* list_context, size_t held_bytes);
  // Takes one more buffer, placed at at in the turn, if the lists out hold enough to allow
  // it and there is memory for it; false if not.
  bool AddBuffer(size_t at);
  // Bytes held by the lists still out.
  size_t ListBytesOut();
  // Waits for every job that is out; false if the output has failed.
  bool CollectAll();
  // Takes over a failure of the writer thread; false once the output has failed.
  bool CheckWriter();
  static bool EmptyStream(void* job);
  static bool WriteHandedBuffer(void* job);
  static bool WriteHandedList(void* job);

  FileWriter file_;
  // The buffers in the order they take turns, how many there are, the one in use, and the
  // job that last wrote each (0: none). Those past kOwnBuffers are allocated.
  char spare_buffers_[kOwnBuffers - 1][kFileBufferSize + kLineSlack];
  char* buffers_[kMostBuffers] = {};
  uint64_t buffer_job_[kMostBuffers] = {};
  size_t buffer_count_ = 0;
  size_t current_ = 0;
  char* added_buffers_[kMostBuffers] = {};
  size_t added_count_ = 0;
  // Job n's entry is jobs_[n % kQueueLength].
  Job jobs_[BackgroundWorker::kQueueLength] = {};
  // Writes the lists, on the writer thread only.
  DirectFileOutputStream list_output_;
  // Last, so that it stops before anything it works on goes.
  BackgroundWorker writer_;
};

// Keeps the output in memory; can be told to fail once more than a given number of bytes
// would have been written in all, as a full disk would.
class MemoryOutputStream final : public BufferedOutputStream<OutputStream::kBufferSize> {
 public:
  explicit MemoryOutputStream(size_t fail_after = static_cast<size_t>(-1))
      : fail_after_(fail_after) {}
  ~MemoryOutputStream() override = default;
  // What reached the sink so far (call Flush first for all of it).
  const std::string& text() const { return text_; }

 private:
  bool Sink(const char* data, size_t n) override;
  size_t fail_after_;
  std::string text_;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_OUTPUT_STREAM_H_
