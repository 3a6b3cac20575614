// Entry point of tsm2ostra.
#include "driver/driver.h"
#include "driver/utf8_arguments.h"

int main(int argc, char* argv[]) {
  return tsm2ostra::RunWithUtf8Arguments(argc, argv, tsm2ostra::RunDriver);
}
