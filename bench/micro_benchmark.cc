// Micro-benchmarks of the conversion's hot helpers: the number parser, the two-decimal
// formatter, command building, and the tokenizer over a generated model in memory.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

#include <string>
#include <string_view>
#include <vector>

#include "driver/converter.h"
#include "driver/output_stream.h"
#include "scan/byte_buffer.h"
#include "scan/char_source.h"
#include "scan/number_parser.h"
#include "translate/command_builder.h"
#include "translate/fixed2_format.h"
#include "tsm2ostra/tsm2ostra.h"

namespace tsm2ostra {
namespace {

// Numbers as an exporter writes them: long decimals, short ones, integers.
const std::vector<std::string_view> kNumbers = {
    "-0.7071067811865476",
    "0.7071067811865476",
    "3.9085630016597568",
    "-2.5679497076026054",
    "0.5",
    "-1.5",
    "0",
    "255",
    "128",
    "12345",
    "1e3",
    "2.5e-1",
};

void BM_ParseNumber(benchmark::State& state) {
  const std::string_view text = kNumbers[static_cast<size_t>(state.range(0))];
  double value;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseNumber(text, &value));
    benchmark::DoNotOptimize(value);
  }
  state.SetLabel(std::string(text));
}
BENCHMARK(BM_ParseNumber)->DenseRange(0, static_cast<int>(kNumbers.size()) - 1);

// Drawing coordinates of ordinary models, and values near a rounding half.
const double kCoordinates[] = {
    62.928932188134524, 77.07106781186548, 109.08563001659757, 44.3205029239739, 70.125, -0.125};

void BM_FormatFixed2(benchmark::State& state) {
  const double value = kCoordinates[state.range(0)];
  char out[kFixed2MaxLength];
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormatFixed2(value, out));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FormatFixed2)->DenseRange(0, 5);

// Commands are built in the output's buffer; this output drops what it is handed.
class DiscardingOutput final : public BufferedOutputStream<OutputStream::kBufferSize> {
  bool Sink(const char*, size_t) override { return true; }
};

void BM_BuildPointCommand(benchmark::State& state) {
  DiscardingOutput output;
  int64_t n = 0;
  for (auto _ : state) {
    CommandBuilder command(&output);
    command.Text("point ")
        .Name(GeometryNames(12).point(), ++n & 4095)
        .Text(" ")
        .Fixed2(62.928932188134524)
        .Text(" ")
        .Fixed2(77.07106781186548);
    benchmark::DoNotOptimize(command.Finish());
  }
}
BENCHMARK(BM_BuildPointCommand);

void BM_BuildSegmentCommand(benchmark::State& state) {
  DiscardingOutput output;
  int32_t n = 0;
  for (auto _ : state) {
    ++n;
    CommandBuilder command(&output);
    command.Text("drawsegment ").Name(GeometryNames(3).point(), n & 4095).Text(" ").Name(GeometryNames(3).point(), (n + 1) & 4095);
    benchmark::DoNotOptimize(command.Finish());
  }
}
BENCHMARK(BM_BuildSegmentCommand);

// A model of point lines, face lines and colour lines, tokenized whole from memory.
std::string MakeModel() {
  std::string text;
  for (int i = 0; i < 20000; ++i) {
    text += "\t\t\t\t\t<p>-0.7071067811865476 0.5 3.9085630016597568</p>\n";
    text += "\t\t\t\t\t<f name=\"side\">" + std::to_string(i) + " " + std::to_string(i + 1) + " " +
            std::to_string(i + 2) + "</f>\n";
    text += "\t\t\t\t\t<c>255 128 0</c>\n";
  }
  return text;
}

void BM_Tokenize(benchmark::State& state) {
  static const std::string model = MakeModel();
  for (auto _ : state) {
    MemoryCharSource source(model.data(), model.size());
    Allocator heap;
    Scanner scanner(&heap);
    scanner.SetSource(&source);
    size_t tokens = 0;
    while (scanner.NextToken() == ResultCode::Ok) ++tokens;
    benchmark::DoNotOptimize(tokens);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(model.size()));
}
BENCHMARK(BM_Tokenize);

// A whole conversion through the interface, from memory and through a read function that
// copies from the same memory: reading in place must cost no more.
std::string MakeWholeModel() {
  std::string text = "<tsm-model><geometries><geometry><pointSet>\n";
  const std::string points = MakeModel();
  for (int i = 0; i < 4; ++i) text += points;
  return text + "</pointSet></geometry></geometries></tsm-model>\n";
}

struct Reader {
  const std::string* model;
  size_t offset;
  static long Read(void* context, char* buffer, size_t capacity) {
    Reader* r = static_cast<Reader*>(context);
    size_t n = std::min(capacity, r->model->size() - r->offset);
    std::memcpy(buffer, r->model->data() + r->offset, n);
    r->offset += n;
    return static_cast<long>(n);
  }
};

int Discard(void*, const char*, size_t) { return 0; }

void BM_ConvertFromMemory(benchmark::State& state) {
  static const std::string model = MakeWholeModel();
  for (auto _ : state) {
    if (state.range(0) == 0) {
      benchmark::DoNotOptimize(
          tsm2ostra_convert_memory(model.data(), model.size(), Discard, nullptr, nullptr));
    } else {
      Reader reader{&model, 0};
      benchmark::DoNotOptimize(
          tsm2ostra_convert_stream(Reader::Read, &reader, Discard, nullptr, nullptr));
    }
  }
  state.SetLabel(state.range(0) == 0 ? "in place" : "through a read function");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(model.size()));
}
BENCHMARK(BM_ConvertFromMemory)->Arg(0)->Arg(1);

}  // namespace
}  // namespace tsm2ostra

BENCHMARK_MAIN();
