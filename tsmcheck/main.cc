// tsmcheck: checks models without writing a drawing, and prints what each one loses (the
// converter's notices) and why it is refused, one line per finding, as compilers do.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver/console.h"
#include "driver/file_access.h"
#include "driver/file_conversion.h"
#include "driver/utf8_arguments.h"
#include "tsm2ostra/tsm2ostra.h"

namespace {

using tsm2ostra::PrintText;

constexpr char kUsage[] =
    "Usage: tsmcheck [-q] MODEL...\n"
    "Checks each Tessaro XML model MODEL (.tsm) as tsm2ostra would convert it, without\n"
    "writing a drawing, and prints one line per finding:\n"
    "  MODEL:LINE:COLUMN: warning: ...  a part of the model that the drawing leaves out\n"
    "  MODEL:LINE:COLUMN: error: ...    why the model is refused\n"
    "then one summary line per model.\n"
    "\n"
    "  -q          print no findings and no file errors; only the exit status tells\n"
    "  -h, --help  print this help and exit\n"
    "  --version   print the version and exit\n"
    "  --          take the arguments after it as models, even if they begin with '-'\n"
    "\n"
    "Exit status: 0 no model has a finding, 1 some model has one, 2 a usage error or a\n"
    "model that can't be read. More in the manual: man tsmcheck.\n";

struct Check {
  const char* name;
  bool quiet;
  unsigned long warnings = 0;
};

int Discard(void*, const char*, size_t) { return 0; }

void PrintNotice(void* context, const tsm2ostra_notice* notice) {
  Check* check = static_cast<Check*>(context);
  ++check->warnings;
  if (!check->quiet) {
    PrintText(stdout, "%s:%lu:%lu: warning: %s\n", check->name, notice->line, notice->column,
                notice->text);
  }
}

// Checks one model; returns its exit status.
int CheckModel(const char* name, bool quiet) {
  errno = 0;
  std::FILE* model = tsm2ostra::OpenInputFile(name);
  if (model == nullptr) {
    if (quiet) return 2;
    PrintText(stderr, "tsmcheck: cannot read '%s': %s\n", name,
              errno != 0 ? std::strerror(errno) : "not a file");
    return 2;
  }
  Check check{name, quiet};
  tsm2ostra_options options;
  tsm2ostra_options_init(&options);
  options.notice = PrintNotice;
  options.notice_context = &check;
  const tsm2ostra_result result = tsm2ostra::ConvertOpenModel(model, Discard, nullptr, &options);
  switch (result.status) {
    case TSM2OSTRA_OK:
      if (!quiet && check.warnings == 0) PrintText(stdout, "%s: converts cleanly\n", name);
      if (!quiet && check.warnings != 0) {
        PrintText(stdout, "%s: %lu warning%s\n", name, check.warnings,
                  check.warnings == 1 ? "" : "s");
      }
      return check.warnings == 0 ? 0 : 1;
    case TSM2OSTRA_INVALID_INPUT:
    case TSM2OSTRA_END_OF_INPUT: {
      // A refusal is told at its token; the end of the model where it came.
      const bool at_token = result.status == TSM2OSTRA_INVALID_INPUT && result.token_line != 0;
      const unsigned long line = at_token ? result.token_line : result.line;
      if (!quiet) {
        char why[512];
        tsm2ostra_explain(result, why, sizeof why);
        PrintText(stdout, "%s:%lu:%lu: error: %s\n", name, line,
                at_token ? result.token_column : result.column, why);
        PrintText(stdout, "%s: refused at line %lu\n", name, line);
      }
      return 1;
    }
    default: {
      if (quiet) return 2;
      char why[128];
      tsm2ostra_describe(result, why, sizeof why);
      PrintText(stderr, "tsmcheck: cannot check '%s': %s\n", name, why);
      return 2;
    }
  }
}

int UsageError(const char* what, const char* argument) {
  PrintText(stderr, "tsmcheck: %s%s%s\nTry 'tsmcheck --help'.\n", what,
            argument != nullptr ? " " : "", argument != nullptr ? argument : "");
  return 2;
}

int Run(int argc, char* argv[]) {
  bool quiet = false;
  int first = 1;
  for (; first < argc && argv[first][0] == '-' && argv[first][1] != '\0'; ++first) {
    const char* option = argv[first];
    if (std::strcmp(option, "--") == 0) {
      ++first;
      break;
    }
    if (std::strcmp(option, "-h") == 0 || std::strcmp(option, "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(option, "--version") == 0) {
      PrintText(stdout, "tsmcheck %s\n", tsm2ostra_version());
      return 0;
    }
    if (std::strcmp(option, "-q") != 0) return UsageError("unknown option", option);
    quiet = true;
  }
  if (first == argc) return UsageError("no model given", nullptr);
  int status = 0;
  for (int i = first; i < argc; ++i) {
    const int model_status = CheckModel(argv[i], quiet);
    if (model_status > status) status = model_status;
  }
  return status;
}

}  // namespace

// On Windows the model names come in UTF-8, as the converter's file functions take them.
int main(int argc, char* argv[]) { return tsm2ostra::RunWithUtf8Arguments(argc, argv, Run); }
