// The command-line program: banner, arguments, file names, one conversion, its report and
// exit status.
#ifndef TSM2OSTRA_DRIVER_DRIVER_H_
#define TSM2OSTRA_DRIVER_DRIVER_H_

namespace tsm2ostra {

// Runs the program on its arguments (argv[1]: input file, argv[2]: output file; further
// arguments are ignored, with a warning on standard error) and returns the exit status: 0
// after a successful conversion, 1 after a failed one, -1 when the command line or a file is
// unusable. "--help", "-h" or "--version" as the only argument print the usage or the version.
int RunDriver(int argc, char* argv[]);

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_DRIVER_H_
