// Windows only: text between UTF-8, in which the program and the library hold file names,
// and UTF-16, in which Windows takes and gives them.
#ifndef TSM2OSTRA_DRIVER_WIDE_TEXT_H_
#define TSM2OSTRA_DRIVER_WIDE_TEXT_H_

#ifdef _WIN32

#include <cstddef>

namespace tsm2ostra {

// The UTF-16 form of the length bytes of UTF-8 text, with a zero after them, in memory from
// std::malloc that the caller frees; *wide_length (if given) is its length without the zero.
// nullptr when memory runs out, or when strict and the bytes are not UTF-8 (a file name
// that isn't UTF-8 names no file; text for a reader shows U+FFFD instead).
wchar_t* WideFromUtf8(const char* text, size_t length, bool strict, size_t* wide_length);

// The UTF-8 form of a zero-ended UTF-16 text, zero-ended, in memory from std::malloc that
// the caller frees; nullptr when memory runs out.
char* Utf8FromWide(const wchar_t* text);

}  // namespace tsm2ostra

#endif  // _WIN32

#endif  // TSM2OSTRA_DRIVER_WIDE_TEXT_H_
