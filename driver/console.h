// The program's messages on standard output and standard error, whose file names are UTF-8.
#ifndef TSM2OSTRA_DRIVER_CONSOLE_H_
#define TSM2OSTRA_DRIVER_CONSOLE_H_

#include <cstdio>

namespace tsm2ostra {

// Writes the text that printf would make of format and its arguments to stream. The bytes go
// out as they are, except to a Windows console, which is given the text in UTF-16 so that
// every name shows right whatever the console's code page.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void PrintText(std::FILE* stream, const char* format, ...);

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_CONSOLE_H_
