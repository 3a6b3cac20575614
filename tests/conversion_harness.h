// Test helper: conversions through the library's C interface, from memory or through a read
// function that hands the model out in chunks, with reads, writes and allocations that can be
// made to fail; the outcome as the program would report it.
#ifndef TSM2OSTRA_TESTS_CONVERSION_HARNESS_H_
#define TSM2OSTRA_TESTS_CONVERSION_HARNESS_H_

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "tsm2ostra/tsm2ostra.h"

namespace tsm2ostra_test {

constexpr size_t kNoLimit = static_cast<size_t>(-1);

struct Trial {
  size_t chunk = 0;                  // 0: from memory; else read, at most chunk bytes a call
  size_t write_limit = kNoLimit;     // writes fail once the drawing would pass this many bytes
  size_t failing_write = 0;          // k > 0: the k-th write call fails (and no other)
  size_t failing_read = 0;           // k > 0: the k-th read call fails, and every later one
  uint64_t failing_allocation = 0;   // k > 0: the k-th allocation fails (and no other)
  tsm2ostra_notice_fn notice = nullptr;  // the notice function and its context, if any
  void* notice_context = nullptr;
};

struct Outcome {
  tsm2ostra_result result;
  int status;           // the program's exit status: 0 or 1
  std::string console;  // the program's report line, with its line feed
  std::string output;   // the bytes the write function took
  int64_t line;
  size_t writes = 0;         // write calls
  size_t bytes_read = 0;     // bytes the read function handed out
  size_t read_at_first_failed_write = 0;
  uint64_t allocations = 0;  // allocations attempted
};

namespace detail {

struct Context {
  const Trial* trial;
  std::string_view model;
  Outcome* outcome;
  size_t reads = 0;
  bool write_failed = false;
};

inline long Read(void* c, char* buffer, size_t capacity) {
  Context* context = static_cast<Context*>(c);
  if (context->trial->failing_read != 0 && ++context->reads >= context->trial->failing_read) {
    return -1;
  }
  size_t n = context->model.size() - context->outcome->bytes_read;
  if (n > capacity) n = capacity;
  if (n > context->trial->chunk) n = context->trial->chunk;
  std::memcpy(buffer, context->model.data() + context->outcome->bytes_read, n);
  context->outcome->bytes_read += n;
  return static_cast<long>(n);
}

inline int Write(void* c, const char* bytes, size_t size) {
  Context* context = static_cast<Context*>(c);
  Outcome* outcome = context->outcome;
  ++outcome->writes;
  bool fail = outcome->writes == context->trial->failing_write;
  const size_t room = context->trial->write_limit - outcome->output.size();
  if (size > room) {
    outcome->output.append(bytes, room);
    fail = true;
  } else if (!fail) {
    outcome->output.append(bytes, size);
  }
  if (fail && !context->write_failed) {
    context->write_failed = true;
    outcome->read_at_first_failed_write = outcome->bytes_read;
  }
  return fail ? 1 : 0;
}

inline void* Allocate(void* c, size_t size) {
  Context* context = static_cast<Context*>(c);
  if (++context->outcome->allocations == context->trial->failing_allocation) return nullptr;
  return std::malloc(size);
}
inline void* Reallocate(void* c, void* memory, size_t, size_t new_size) {
  Context* context = static_cast<Context*>(c);
  if (++context->outcome->allocations == context->trial->failing_allocation) return nullptr;
  return std::realloc(memory, new_size);
}
inline void Release(void*, void* memory) { std::free(memory); }

}  // namespace detail

// The bytes of a file; "" when it can't be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Describe(const tsm2ostra_result& result) {
  char words[128];
  tsm2ostra_describe(result, words, sizeof words);
  return words;
}

// One conversion of model, as the trial says; the console names the model "model.tsm".
inline Outcome Convert(std::string_view model, const Trial& trial = Trial()) {
  Outcome outcome;
  detail::Context context{&trial, model, &outcome};
  const tsm2ostra_allocator allocator = {detail::Allocate, detail::Reallocate, detail::Release,
                                         &context};
  tsm2ostra_options options;
  tsm2ostra_options_init(&options);
  options.allocator = &allocator;
  options.notice = trial.notice;
  options.notice_context = trial.notice_context;
  outcome.result =
      trial.chunk == 0
          ? tsm2ostra_convert_memory(model.data(), model.size(), detail::Write, &context,
                                     &options)
          : tsm2ostra_convert_stream(detail::Read, &context, detail::Write, &context, &options);
  outcome.status = outcome.result.status == TSM2OSTRA_OK ? 0 : 1;
  outcome.console = outcome.status == 0 ? "File 'model.tsm' successfully converted.\n"
                                        : Describe(outcome.result) + "\n";
  outcome.line = static_cast<int64_t>(outcome.result.line);
  return outcome;
}

}  // namespace tsm2ostra_test

#endif  // TSM2OSTRA_TESTS_CONVERSION_HARNESS_H_
