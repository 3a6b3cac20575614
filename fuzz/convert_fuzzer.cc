// libFuzzer target: one whole conversion of the fuzzer's bytes, in memory, with cross-checks
// that chunked reading, a failing output and a failing allocation each behave as they must.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/converter.h"
#include "driver/output_stream.h"
#include "scan/allocation.h"
#include "scan/char_source.h"

namespace {

struct Outcome {
  tsm2ostra::ResultCode result;
  int64_t line;
  std::string text;
  int64_t position;
};

// One conversion, then the output closed. As in the driver: an output that fails when closed
// makes a clean parse a failed write.
tsm2ostra::ResultCode ConvertAndClose(tsm2ostra::CharSource* source,
                                      tsm2ostra::OutputStream* output) {
  tsm2ostra::Converter* converter = new tsm2ostra::Converter();
  tsm2ostra::ResultCode result = converter->ParseDocument(source, output);
  if (!output->Close() && result == tsm2ostra::ResultCode::Ok) {
    result = tsm2ostra::ResultCode::WriteFailed;
  }
  delete converter;
  return result;
}

Outcome Convert(const uint8_t* data, size_t size, size_t chunk, size_t fail_after) {
  tsm2ostra::MemoryCharSource source(data, size, chunk);
  tsm2ostra::MemoryOutputStream output(fail_after);
  const tsm2ostra::ResultCode result = ConvertAndClose(&source, &output);
  return Outcome{result, source.line_counter(), output.text(), source.position_counter()};
}

// FNV-1a: picks the variations from the input itself, so every run of an input repeats.
uint64_t Hash(const uint8_t* data, size_t size) {
  uint64_t h = 14695981039346656037u;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 1099511628211u;
  return h;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint64_t h = Hash(data, size);
  const size_t kNoLimit = static_cast<size_t>(-1);

  tsm2ostra::FailAllocationNumber(0);
  const Outcome whole = Convert(data, size, 0, kNoLimit);
  const uint64_t allocations = tsm2ostra::AllocationsAttempted();
  Check(whole.result != tsm2ostra::ResultCode::WriteFailed);

  // Reading in small blocks (carriage returns held across block ends) changes nothing.
  if ((h & 1) != 0) {
    const Outcome chunked = Convert(data, size, 1 + (h >> 8) % 17, kNoLimit);
    Check(chunked.result == whole.result && chunked.line == whole.line &&
          chunked.position == whole.position && chunked.text == whole.text);
  }
  // An output that takes fewer bytes than were written turns the run into a failed write,
  // unless the input failed before the bytes ran out.
  if ((h & 6) == 2 && !whole.text.empty()) {
    const size_t limit = (h >> 16) % whole.text.size();
    const Outcome cut = Convert(data, size, 0, limit);
    Check(cut.result == tsm2ostra::ResultCode::WriteFailed || cut.result == whole.result);
    Check(whole.text.compare(0, cut.text.size(), cut.text) == 0);
  }
  // Any failed allocation ends the run with OutOfMemory.
  if ((h & 6) == 4 && allocations != 0) {
    tsm2ostra::FailAllocationNumber(1 + (h >> 16) % allocations);
    const Outcome starved = Convert(data, size, 0, kNoLimit);
    tsm2ostra::FailAllocationNumber(0);
    Check(starved.result == tsm2ostra::ResultCode::OutOfMemory);
  }
  return 0;
}
