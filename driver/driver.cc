// The command-line driver. All console text of the program comes from here.
#include "driver/driver.h"

#include <cinttypes>
#include <cstdio>
#include <new>

#include "driver/converter.h"
#include "driver/file_access.h"
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

}  // namespace

int RunDriver(int argc, char* argv[]) {
  std::fputs(kBanner, stdout);
  if (argc < 3) {
    std::fputs("Error in command line. Input/Output files not specified.\n", stdout);
    return -1;
  }
  const char* input_name = argv[1];
  const char* output_name = argv[2];

  FILE* input = OpenInputFile(input_name);
  if (input == nullptr) {
    std::fputs("File error. Cannot open input file.\n", stdout);
    return -1;
  }
  // The output is opened without being emptied, and emptied only once it is known not to be
  // the input (whatever name, path or link leads to it).
  FILE* output_file = OpenOutputFile(output_name);
  if (output_file != nullptr && (IsSameFile(input, output_file) || !EmptyFile(output_file))) {
    std::fclose(output_file);
    output_file = nullptr;
  }
  if (output_file == nullptr) {
    std::fputs("File error. Cannot open output file.\n", stdout);
    std::fclose(input);
    return -1;
  }
  // The output stream buffers on its own; its writes then go straight to the file, and a
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
    ReportFailure(console, source->line_counter(), result);
  }
  if (converter != nullptr) {
    converter->~Converter();
    FreeBytes(memory);
  }
  return result == ResultCode::Ok ? 0 : 1;
}

}  // namespace tsm2ostra
