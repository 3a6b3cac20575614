// Command-line arguments in UTF-8: on Windows read from the UTF-16 command line.
#include "driver/utf8_arguments.h"

#ifdef _WIN32
#include <cstdlib>

#include "driver/wide_text.h"
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#endif

namespace tsm2ostra {

#ifdef _WIN32

int RunWithUtf8Arguments(int argc, char* argv[], int (*run)(int argc, char* argv[])) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  char** utf8 = nullptr;
  int converted = 0;
  if (wide != nullptr && count > 0) {
    utf8 = static_cast<char**>(std::calloc(static_cast<size_t>(count) + 1, sizeof(char*)));
    while (utf8 != nullptr && converted < count) {
      utf8[converted] = Utf8FromWide(wide[converted]);
      if (utf8[converted] == nullptr) break;
      ++converted;
    }
  }
  if (wide != nullptr) LocalFree(wide);
  const int status = utf8 != nullptr && converted == count ? run(count, utf8) : run(argc, argv);
  if (utf8 != nullptr) {
    for (int i = 0; i < converted; ++i) std::free(utf8[i]);
    std::free(utf8);
  }
  return status;
}

#else

int RunWithUtf8Arguments(int argc, char* argv[], int (*run)(int argc, char* argv[])) {
  return run(argc, argv);
}

#endif

}  // namespace tsm2ostra
