// libFuzzer target: one whole conversion of the fuzzer's bytes through the library's C
// interface, from memory, with cross-checks that reading in pieces of random sizes, a failing
// output, a failing read and a failing allocation each behave as they must, and that notices
// change nothing and point into the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tsm2ostra/tsm2ostra.h"

namespace {

constexpr size_t kNoLimit = static_cast<size_t>(-1);

// How one run reads, writes and allocates; the sizes of the reads come from seed.
struct Run {
  Run(const uint8_t* bytes, size_t count, uint64_t pieces = 0)
      : data(bytes), size(count), seed(pieces) {}
  const uint8_t* data;
  size_t size;
  uint64_t seed;  // 0: from memory
  size_t write_limit = kNoLimit;
  uint64_t failing_read = 0;
  uint64_t failing_allocation = 0;
  bool notices = false;  // then the input's line count and longest line
  size_t lines = 0;
  size_t longest = 0;

  size_t offset = 0;
  uint64_t reads = 0;
  uint64_t allocations = 0;
  std::string text;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

// The input's line count and longest line, which every notice's place must lie within.
void Extent(const uint8_t* data, size_t size, size_t* lines, size_t* longest) {
  *lines = 1;
  *longest = 0;
  size_t length = 0;
  for (size_t i = 0; i < size; ++i) {
    length = data[i] == '\n' ? 0 : length + 1;
    if (data[i] == '\n') ++*lines;
    if (length > *longest) *longest = length;
  }
}

void Notice(void* context, const tsm2ostra_notice* notice) {
  const Run* run = static_cast<const Run*>(context);
  Check(notice->line >= 1 && notice->line <= run->lines);
  Check(notice->column >= 1 && notice->column <= run->longest);
  Check(notice->tag_size >= 1 && notice->tag_size <= 63 && notice->tag != nullptr);
  Check(notice->kind >= TSM2OSTRA_NOTICE_UNKNOWN_ELEMENT &&
        notice->kind <= TSM2OSTRA_NOTICE_UNDEFINED_VERTEX);
  Check(std::strlen(notice->text) > 0);
}

long Read(void* context, char* buffer, size_t capacity) {
  Run* run = static_cast<Run*>(context);
  if (++run->reads == run->failing_read) return -1;
  run->seed = run->seed * 6364136223846793005u + 1442695040888963407u;
  size_t n = 1 + (run->seed >> 33) % 37;
  if (n > capacity) n = capacity;
  if (n > run->size - run->offset) n = run->size - run->offset;
  if (n != 0) std::memcpy(buffer, run->data + run->offset, n);
  run->offset += n;
  return static_cast<long>(n);
}

int Write(void* context, const char* bytes, size_t size) {
  Run* run = static_cast<Run*>(context);
  const size_t room = run->write_limit - run->text.size();
  run->text.append(bytes, size < room ? size : room);
  return size > room ? 1 : 0;
}

void* Allocate(void* context, size_t size) {
  Run* run = static_cast<Run*>(context);
  return ++run->allocations == run->failing_allocation ? nullptr : std::malloc(size);
}
void Release(void*, void* memory) { std::free(memory); }

tsm2ostra_result Convert(Run* run) {
  const tsm2ostra_allocator allocator = {Allocate, nullptr, Release, run};
  tsm2ostra_options options;
  tsm2ostra_options_init(&options);
  options.allocator = &allocator;
  if (run->notices) {
    options.notice = Notice;
    options.notice_context = run;
  }
  if (run->seed == 0) {
    return tsm2ostra_convert_memory(reinterpret_cast<const char*>(run->data), run->size, Write,
                                    run, &options);
  }
  return tsm2ostra_convert_stream(Read, run, Write, run, &options);
}

bool SameResult(const tsm2ostra_result& a, const tsm2ostra_result& b) {
  return a.status == b.status && a.line == b.line && a.column == b.column &&
         std::strcmp(a.token, b.token) == 0 && a.token_line == b.token_line &&
         a.token_column == b.token_column;
}

// FNV-1a: picks the variations from the input itself, so every run of an input repeats.
uint64_t Hash(const uint8_t* data, size_t size) {
  uint64_t h = 14695981039346656037u;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211u;
  return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint64_t h = Hash(data, size);

  Run whole(data, size);
  const tsm2ostra_result result = Convert(&whole);
  Check(result.status != TSM2OSTRA_WRITE_FAILED && result.status != TSM2OSTRA_READ_FAILED);
  Check(result.line >= 1 && result.column >= 1);
  Check(std::strlen(result.token) < sizeof result.token);
  Check(result.token_line != 0 || result.token[0] == '\0');  // no place, no token

  // With a notice function, every byte of the drawing and of the result is the same.
  Run told{data, size};
  told.notices = true;
  Extent(data, size, &told.lines, &told.longest);
  Check(SameResult(Convert(&told), result) && told.text == whole.text);

  // Reading in pieces of random sizes (carriage returns held across their ends) changes
  // nothing, down to the token where reading stopped.
  if ((h & 1) != 0) {
    Run chunked(data, size, h | 1);
    Check(SameResult(Convert(&chunked), result) && chunked.text == whole.text);
  }
  // An output that takes fewer bytes than were written turns the run into a failed write,
  // unless the input failed before the bytes ran out.
  if ((h & 6) == 2 && !whole.text.empty()) {
    Run cut(data, size);
    cut.write_limit = (h >> 16) % whole.text.size();
    const tsm2ostra_status status = Convert(&cut).status;
    Check(status == TSM2OSTRA_WRITE_FAILED || status == result.status);
    Check(whole.text.compare(0, cut.text.size(), cut.text) == 0);
  }
  // Any failed allocation ends the run with OUT_OF_MEMORY.
  if ((h & 6) == 4 && whole.allocations != 0) {
    Run starved(data, size);
    starved.failing_allocation = 1 + (h >> 16) % whole.allocations;
    Check(Convert(&starved).status == TSM2OSTRA_OUT_OF_MEMORY);
  }
  // A read that fails is never the end of the model, nor a success.
  if ((h & 6) == 6) {
    Run failing(data, size, h | 1);
    failing.failing_read = 1 + (h >> 16) % 8;
    const tsm2ostra_result r = Convert(&failing);
    Check(failing.reads == failing.failing_read ? r.status == TSM2OSTRA_READ_FAILED
                                                 : r.status == result.status);
    Check(whole.text.compare(0, failing.text.size(), failing.text) == 0);
  }
  return 0;
}
