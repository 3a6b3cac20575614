// The C interface: one conversion per call, from memory, a read function or a file, each with
// its own memory and nothing shared between calls.
#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>

#include "driver/converter.h"
#include "driver/file_conversion.h"
#include "driver/output_stream.h"
#include "driver/refusal_explanation.h"
#include "scan/allocation.h"
#include "scan/char_source.h"
#include "tsm2ostra/tsm2ostra.h"

namespace tsm2ostra {
namespace {

// The options a caller compiled against: fields past its size keep their defaults.
tsm2ostra_options KnownOptions(const tsm2ostra_options* given) {
  tsm2ostra_options options;
  tsm2ostra_options_init(&options);
  if (given != nullptr) {
    const size_t size = given->size < sizeof options ? given->size : sizeof options;
    if (size > sizeof options.size) {
      std::memcpy(reinterpret_cast<char*>(&options) + sizeof options.size,
                  reinterpret_cast<const char*>(given) + sizeof options.size,
                  size - sizeof options.size);
    }
  }
  return options;
}

// The caller's allocator when it gives both required functions, else the heap.
Allocator AllocatorOf(const tsm2ostra_options& options) {
  const tsm2ostra_allocator* given = options.allocator;
  if (given == nullptr || given->allocate == nullptr || given->release == nullptr) {
    return Allocator();
  }
  return Allocator(given->allocate, given->reallocate, given->release, given->context);
}

tsm2ostra_status StatusOf(ResultCode code) {
  switch (code) {
    case ResultCode::Ok: return TSM2OSTRA_OK;
    case ResultCode::EndOfInput: return TSM2OSTRA_END_OF_INPUT;
    case ResultCode::InvalidInput: return TSM2OSTRA_INVALID_INPUT;
    case ResultCode::OutOfMemory: return TSM2OSTRA_OUT_OF_MEMORY;
    case ResultCode::WriteFailed: return TSM2OSTRA_WRITE_FAILED;
    case ResultCode::ReadFailed: return TSM2OSTRA_READ_FAILED;
  }
  return TSM2OSTRA_INVALID_INPUT;
}

tsm2ostra_result EmptyResult(tsm2ostra_status status) {
  tsm2ostra_result result;
  std::memset(&result, 0, sizeof result);
  result.status = status;
  return result;
}

unsigned long Count(int64_t n) { return n < 0 ? 0 : static_cast<unsigned long>(n); }

// Everything one conversion needs beside its allocator, taken from it in one piece.
template <class Source>
struct Conversion {
  template <class... SourceArguments>
  Conversion(Allocator* allocator, tsm2ostra_write_fn write, void* write_context,
             SourceArguments... source_arguments)
      : source(source_arguments...), output(write, write_context), converter(allocator) {}

  Source source;
  CallbackOutputStream output;
  Converter converter;
};

template <class Source, class... SourceArguments>
tsm2ostra_result Convert(const tsm2ostra_options* given, tsm2ostra_write_fn write,
                         void* write_context, SourceArguments... source_arguments) {
  const tsm2ostra_options options = KnownOptions(given);
  Allocator allocator = AllocatorOf(options);
  void* memory = allocator.Allocate(sizeof(Conversion<Source>));
  if (memory == nullptr) {
    tsm2ostra_result result = EmptyResult(TSM2OSTRA_OUT_OF_MEMORY);
    result.line = 1;
    result.column = 1;
    return result;
  }
  Conversion<Source>* conversion =
      new (memory) Conversion<Source>(&allocator, write, write_context, source_arguments...);
  conversion->converter.SetNoticeFunction(options.notice, options.notice_context);
  ResultCode code = conversion->converter.ParseDocument(&conversion->source, &conversion->output);
  // What the buffer holds goes out after a failure too, as far as the output works.
  if (!conversion->output.Flush() && code == ResultCode::Ok) code = ResultCode::WriteFailed;

  tsm2ostra_result result = EmptyResult(StatusOf(code));
  result.line = Count(conversion->source.line_counter());
  result.column = Count(conversion->source.column_counter()) + 1;
  const std::string_view token = conversion->converter.stop_token();
  const size_t kept = token.size() < sizeof result.token ? token.size() : sizeof result.token - 1;
  std::memcpy(result.token, token.data(), kept);
  result.token[kept] = '\0';
  if (!token.empty()) {
    const Place place = conversion->converter.stop_place();
    result.token_line = Count(place.line);
    result.token_column = Count(place.column);
  }
  conversion->~Conversion();
  allocator.Release(memory);
  return result;
}

// The words after "Error while reading line N" for each failed read.
const char* FailureSuffix(tsm2ostra_status status) {
  switch (status) {
    case TSM2OSTRA_OUT_OF_MEMORY: return " (Out of memory)";
    case TSM2OSTRA_INVALID_INPUT: return " (Invalid input)";
    case TSM2OSTRA_WRITE_FAILED: return " (Write failed)";
    case TSM2OSTRA_READ_FAILED: return " (Read failed)";
    default: return "";
  }
}

// Copies text, NUL-terminated and cut to capacity, into buffer; returns its length.
size_t CopyOut(const char* text, char* buffer, size_t capacity) {
  const size_t length = std::strlen(text);
  if (capacity != 0) {
    const size_t kept = length < capacity ? length : capacity - 1;
    std::memcpy(buffer, text, kept);
    buffer[kept] = '\0';
  }
  return length;
}

}  // namespace
}  // namespace tsm2ostra

using tsm2ostra::CallbackCharSource;
using tsm2ostra::MemoryCharSource;

extern "C" {

const char* tsm2ostra_version(void) { return TSM2OSTRA_VERSION_STRING; }

const char* tsm2ostra_status_name(tsm2ostra_status status) {
  switch (status) {
    case TSM2OSTRA_OK: return "OK";
    case TSM2OSTRA_END_OF_INPUT: return "END_OF_INPUT";
    case TSM2OSTRA_INVALID_INPUT: return "INVALID_INPUT";
    case TSM2OSTRA_OUT_OF_MEMORY: return "OUT_OF_MEMORY";
    case TSM2OSTRA_WRITE_FAILED: return "WRITE_FAILED";
    case TSM2OSTRA_READ_FAILED: return "READ_FAILED";
    case TSM2OSTRA_CANNOT_OPEN_INPUT: return "CANNOT_OPEN_INPUT";
    case TSM2OSTRA_CANNOT_OPEN_OUTPUT: return "CANNOT_OPEN_OUTPUT";
  }
  return "";
}

tsm2ostra_result tsm2ostra_convert_memory(const char* model, size_t size,
                                          tsm2ostra_write_fn write, void* write_context,
                                          const tsm2ostra_options* options) {
  if (model == nullptr) size = 0;
  return tsm2ostra::Convert<MemoryCharSource>(options, write, write_context,
                                              static_cast<const void*>(model), size);
}

tsm2ostra_result tsm2ostra_convert_stream(tsm2ostra_read_fn read, void* read_context,
                                          tsm2ostra_write_fn write, void* write_context,
                                          const tsm2ostra_options* options) {
  return tsm2ostra::Convert<CallbackCharSource>(options, write, write_context, read,
                                                read_context);
}

tsm2ostra_result tsm2ostra_convert_file(const char* model_path, const char* drawing_path,
                                        const tsm2ostra_options* options) {
  std::FILE* model;
  std::FILE* drawing;
  const tsm2ostra_status opened =
      model_path == nullptr ? TSM2OSTRA_CANNOT_OPEN_INPUT
      : drawing_path == nullptr
          ? TSM2OSTRA_CANNOT_OPEN_OUTPUT
          : tsm2ostra::OpenModelAndDrawing(model_path, drawing_path, &model, &drawing);
  if (opened != TSM2OSTRA_OK) return tsm2ostra::EmptyResult(opened);
  return tsm2ostra::ConvertOpenFiles(model, drawing, options);
}

size_t tsm2ostra_describe(tsm2ostra_result result, char* buffer, size_t capacity) {
  char line[96];
  const char* text = line;
  switch (result.status) {
    case TSM2OSTRA_OK: text = ""; break;
    case TSM2OSTRA_CANNOT_OPEN_INPUT: text = "File error. Cannot open input file."; break;
    case TSM2OSTRA_CANNOT_OPEN_OUTPUT: text = "File error. Cannot open output file."; break;
    case TSM2OSTRA_END_OF_INPUT:
    case TSM2OSTRA_INVALID_INPUT:
    case TSM2OSTRA_OUT_OF_MEMORY:
    case TSM2OSTRA_WRITE_FAILED:
    case TSM2OSTRA_READ_FAILED:
      std::snprintf(line, sizeof line, "Error while reading line %lu%s", result.line,
                    tsm2ostra::FailureSuffix(result.status));
      break;
    default: text = ""; break;
  }
  return tsm2ostra::CopyOut(text, buffer, capacity);
}

size_t tsm2ostra_explain(tsm2ostra_result result, char* buffer, size_t capacity) {
  if (result.status != TSM2OSTRA_INVALID_INPUT && result.status != TSM2OSTRA_END_OF_INPUT) {
    return tsm2ostra_describe(result, buffer, capacity);
  }
  result.token[sizeof result.token - 1] = '\0';
  tsm2ostra::Sentence sentence;
  tsm2ostra::ExplainRefusal(result, &sentence);
  return tsm2ostra::CopyOut(sentence.text(), buffer, capacity);
}

}  // extern "C"
