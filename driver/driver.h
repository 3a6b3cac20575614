// The command-line driver: banner, file handling, one conversion, the report and exit status.
#ifndef TSM2OSTRA_DRIVER_DRIVER_H_
#define TSM2OSTRA_DRIVER_DRIVER_H_

#include <cstdio>

namespace tsm2ostra {

class CharSource;
class OutputStream;

// Runs the program on its arguments (argv[1]: input file, argv[2]: output file; further
// arguments are ignored) and returns the exit status: 0 after a successful conversion, 1 after
// a failed one, -1 when the command line or a file is unusable.
int RunDriver(int argc, char* argv[]);

// The part of RunDriver after both files are open: converts source into output, closes output
// (a failed close after a clean parse counts as a failed write), writes the success message or
// the error report to console and returns 0 or 1. source and output stay the caller's.
int ConvertAndReport(const char* input_name, CharSource* source, OutputStream* output,
                     FILE* console);

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_DRIVER_H_
