// Entry point of tsm2ostra.
#include "driver/driver.h"

int main(int argc, char* argv[]) { return tsm2ostra::RunDriver(argc, argv); }
