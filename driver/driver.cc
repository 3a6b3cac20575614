// The command-line driver. All console text of the program comes from here.
#include "driver/driver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <new>

#include "driver/converter.h"
#include "driver/output_stream.h"
#include "scan/allocation.h"
#include "scan/char_source.h"

namespace tsm2ostra {
namespace {

constexpr char kBanner[] =
    "\n"
    "Tessaro -> Ostra Converter  Version 2.00\n"
    "Converts Tessaro XML models into Ostra construction commands.\n"
    "Copyright (c) 2026 The tsm2ostra authors.\n"
    "Released under the MIT License; see the LICENSE file.\n"
    "This program comes with ABSOLUTELY NO WARRANTY.\n"
    "\n";

const char* FailureSuffix(ResultCode result) {
  switch (result) {
    case ResultCode::OutOfMemory: return " (Out of memory)\n";
    case ResultCode::InvalidInput: return " (Invalid input)\n";
    case ResultCode::WriteFailed: return " (Write failed)\n";
    default: return "\n";
  }
}

void ReportFailure(FILE* console, int64_t line, ResultCode result) {
  std::fprintf(console, "Error while reading line %" PRId64 "%s", line, FailureSuffix(result));
}

// True when path names the file already open as input (same name, another path or a link),
// which opening it for writing would destroy.
bool IsSameFile(const struct stat& input, const char* path) {
  struct stat output;
  return ::stat(path, &output) == 0 && output.st_dev == input.st_dev &&
         output.st_ino == input.st_ino;
}

// Opens path for writing, creating it if need be, as fopen(path, "w") would, but without
// emptying it: the output stream does that on its writer thread (EmptyFile), since dropping
// a large old drawing takes the system a while.
FILE* OpenForWriting(const char* path) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  FILE* file = ::fdopen(fd, "w");
  if (file == nullptr) ::close(fd);
  return file;
}

}  // namespace

int RunDriver(int argc, char* argv[]) {
  std::fputs(kBanner, stdout);
  if (argc < 3) {
    std::fputs("Error in command line. Input/Output files not specified.\n", stdout);
    return -1;
  }
  const char* input_name = argv[1];
  const char* output_name = argv[2];

  FILE* input = std::fopen(input_name, "rt");
  struct stat input_status;
  if (input != nullptr &&
      (::fstat(fileno(input), &input_status) != 0 || S_ISDIR(input_status.st_mode))) {
    std::fclose(input);  // a folder reads as nothing; it is not an empty model
    input = nullptr;
  }
  if (input == nullptr) {
    std::fputs("File error. Cannot open input file.\n", stdout);
    return -1;
  }
  FILE* output_file = IsSameFile(input_status, output_name) ? nullptr
                                                            : OpenForWriting(output_name);
  if (output_file == nullptr) {
    std::fputs("File error. Cannot open output file.\n", stdout);
    std::fclose(input);
    return -1;
  }
  // The output stream buffers on its own; writes then go straight to the file, and a
  // failure shows at the write that met it.
  std::setvbuf(output_file, nullptr, _IONBF, 0);
  std::printf("Input file: %s\nOutput file: %s\n\n", input_name, output_name);

  FileOutputStream* output = new (std::nothrow) FileOutputStream(output_file);
  CharSource* source = new (std::nothrow) FileCharSource(input);
  if (output == nullptr || source == nullptr) {
    ReportFailure(stdout, 1, ResultCode::OutOfMemory);
    delete source;
    std::fclose(input);
    if (output != nullptr) {
      output->Close();
      delete output;
    } else {
      std::fclose(output_file);
    }
    return 1;
  }

  output->EmptyFile();
  int status = ConvertAndReport(input_name, source, output, stdout);
  std::fclose(input);
  delete source;
  delete output;
  return status;
}

int ConvertAndReport(const char* input_name, CharSource* source, OutputStream* output,
                     FILE* console) {
  // Allocated through AllocateBytes like the rest of the conversion, so tests can fail it too.
  void* memory = AllocateBytes(sizeof(Converter));
  Converter* converter = memory == nullptr ? nullptr : new (memory) Converter();
  ResultCode result = converter == nullptr ? ResultCode::OutOfMemory
                                           : converter->ParseDocument(source, output);
  // Only an output written whole counts as converted.
  bool closed = output->Close();
  if (result == ResultCode::Ok && !closed) result = ResultCode::WriteFailed;
  if (result == ResultCode::Ok) {
    std::fprintf(console, "File '%s' successfully converted.\n", input_name);
  } else {
    ReportFailure(console, source->line_counter, result);
  }
  if (converter != nullptr) {
    converter->~Converter();
    FreeBytes(memory);
  }
  return result == ResultCode::Ok ? 0 : 1;
}

}  // namespace tsm2ostra
