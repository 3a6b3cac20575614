// Messages to the console: as bytes, or on a Windows console as UTF-16.
#include "driver/console.h"

#include <cstdarg>

#ifdef _WIN32
#include <io.h>

#include <cstdlib>

#include "driver/wide_text.h"
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace tsm2ostra {

#ifdef _WIN32

namespace {

// True when stream is a console, which takes text rather than bytes. A file or a pipe gets
// the UTF-8 bytes: that is what a program reading them, or a file saved, holds best.
bool IsConsole(std::FILE* stream, HANDLE* console) {
  *console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode;
  return *console != INVALID_HANDLE_VALUE && GetConsoleMode(*console, &mode) != 0;
}

// Writes UTF-8 text to the console as UTF-16; false when it could not be converted.
bool WriteToConsole(HANDLE console, const char* text, size_t length) {
  size_t units = 0;
  wchar_t* wide = WideFromUtf8(text, length, /*strict=*/false, &units);
  if (wide == nullptr) return false;
  for (size_t done = 0; done < units;) {
    const DWORD piece = units - done < 16384 ? static_cast<DWORD>(units - done) : 16384;
    DWORD written = 0;
    if (!WriteConsoleW(console, wide + done, piece, &written, nullptr) || written == 0) break;
    done += written;
  }
  std::free(wide);
  return true;
}

}  // namespace

void PrintText(std::FILE* stream, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  HANDLE console;
  if (IsConsole(stream, &console)) {
    // The text is made whole first: in a small buffer, or one of its size.
    char small[512];
    char* text = small;
    std::va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length >= 0 && static_cast<size_t>(length) >= sizeof small) {
      text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
      if (text != nullptr) std::vsnprintf(text, static_cast<size_t>(length) + 1, format, arguments);
    }
    if (length >= 0 && text != nullptr) {
      // What went through the C runtime before goes out first.
      std::fflush(stream);
      if (!WriteToConsole(console, text, static_cast<size_t>(length))) {
        std::fwrite(text, 1, static_cast<size_t>(length), stream);
      }
      if (text != small) std::free(text);
      va_end(arguments);
      return;
    }
  }
  std::vfprintf(stream, format, arguments);
  va_end(arguments);
}

#else

void PrintText(std::FILE* stream, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stream, format, arguments);
  va_end(arguments);
}

#endif

}  // namespace tsm2ostra
