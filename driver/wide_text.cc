// Windows only: UTF-8 to UTF-16 and back, with the system's own conversions.
#include "driver/wide_text.h"

#include <climits>
#include <cstdlib>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tsm2ostra {

wchar_t* WideFromUtf8(const char* text, size_t length, bool strict, size_t* wide_length) {
  if (length > static_cast<size_t>(INT_MAX) - 1) return nullptr;
  const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
  const int bytes = static_cast<int>(length);
  // UTF-16 never needs more units than UTF-8 has bytes, so the size is known without asking.
  wchar_t* wide = static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
  if (wide == nullptr) return nullptr;
  const int units = bytes == 0 ? 0 : MultiByteToWideChar(CP_UTF8, flags, text, bytes, wide, bytes);
  if (units == 0 && bytes != 0) {
    std::free(wide);
    return nullptr;
  }
  wide[units] = L'\0';
  if (wide_length != nullptr) *wide_length = static_cast<size_t>(units);
  return wide;
}

char* Utf8FromWide(const wchar_t* text) {
  // A lone surrogate, which no UTF-8 can hold, becomes U+FFFD.
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return nullptr;
  char* utf8 = static_cast<char*>(std::malloc(static_cast<size_t>(bytes)));
  if (utf8 == nullptr) return nullptr;
  if (WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, bytes, nullptr, nullptr) != bytes) {
    std::free(utf8);
    return nullptr;
  }
  return utf8;
}

}  // namespace tsm2ostra
