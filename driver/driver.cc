// The command-line program. All console text of tsm2ostra comes from here, written with
// PrintText; the conversion itself goes through the library's interface.
#include "driver/driver.h"

#include <cstdio>
#include <cstring>

#include "driver/console.h"
#include "driver/file_conversion.h"
#include "tsm2ostra/tsm2ostra.h"

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

constexpr char kUsage[] =
    "Usage: tsm2ostra MODEL DRAWING\n"
    "Converts the Tessaro XML model MODEL (.tsm) into the Ostra construction file DRAWING\n"
    "(.ost): its points, lines, faces and vectors, with their colours and labels.\n"
    "\n"
    "  MODEL    the model to read\n"
    "  DRAWING  the drawing to write: created, or emptied if it exists (never the model)\n"
    "\n"
    "Arguments after DRAWING are ignored. Exit status: 0 converted, 1 the conversion\n"
    "failed, 255 a file or the command line is unusable.\n"
    "\n"
    "  -h, --help  print this help and exit\n"
    "  --version   print the version and exit\n"
    "\n"
    "More in the manual: man tsm2ostra.\n"
    "tsmcheck MODEL tells what a model loses and why it is refused.\n";

void Report(tsm2ostra_result result) {
  char words[128];
  tsm2ostra_describe(result, words, sizeof words);
  PrintText(stdout, "%s\n", words);
}

}  // namespace

int RunDriver(int argc, char* argv[]) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintText(stdout, "%s", kUsage);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    PrintText(stdout, "tsm2ostra %s\n", tsm2ostra_version());
    return 0;
  }
  if (argc > 3) {
    PrintText(stderr, "tsm2ostra: warning: %d argument%s after DRAWING ignored, from '%s'\n",
              argc - 3, argc == 4 ? "" : "s", argv[3]);
  }
  PrintText(stdout, "%s", kBanner);
  if (argc < 3) {
    PrintText(stdout, "Error in command line. Input/Output files not specified.\n");
    return -1;
  }
  const char* input_name = argv[1];
  const char* output_name = argv[2];

  std::FILE* model;
  std::FILE* drawing;
  const tsm2ostra_status opened = OpenModelAndDrawing(input_name, output_name, &model, &drawing);
  if (opened != TSM2OSTRA_OK) {
    tsm2ostra_result result = {};
    result.status = opened;
    Report(result);
    return -1;
  }
  PrintText(stdout, "Input file: %s\nOutput file: %s\n\n", input_name, output_name);
  const tsm2ostra_result result = ConvertOpenFiles(model, drawing, nullptr);
  if (result.status == TSM2OSTRA_OK) {
    PrintText(stdout, "File '%s' successfully converted.\n", input_name);
    return 0;
  }
  Report(result);
  return 1;
}

}  // namespace tsm2ostra
