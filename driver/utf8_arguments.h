// A program's command-line arguments in UTF-8 on every system.
#ifndef TSM2OSTRA_DRIVER_UTF8_ARGUMENTS_H_
#define TSM2OSTRA_DRIVER_UTF8_ARGUMENTS_H_

namespace tsm2ostra {

// Calls run with main's arguments and returns what it returns. On Windows, main's argv holds
// the arguments in the ANSI code page, which can't spell every file name, so run gets them
// from the UTF-16 command line instead, in UTF-8 (main's argv only if memory runs out);
// elsewhere argv is passed as it is.
int RunWithUtf8Arguments(int argc, char* argv[], int (*run)(int argc, char* argv[]));

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_UTF8_ARGUMENTS_H_
