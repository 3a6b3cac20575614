// The command-line driver: banner, file handling, one conversion, the report and exit status.
#ifndef TSM2OSTRA_DRIVER_DRIVER_H_
#define TSM2OSTRA_DRIVER_DRIVER_H_

namespace tsm2ostra {

// Runs the program on its arguments (argv[1]: input file, argv[2]: output file; further
// arguments are ignored) and returns the exit status: 0 after a successful conversion, 1 after
// a failed one, -1 when the command line or a file is unusable.
int RunDriver(int argc, char* argv[]);

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_DRIVER_H_
