// Fault injection through the driver's report logic: outputs that fail after every byte count,
// a close that fails, allocations that fail one by one, inputs cut at every byte, and
// endless inputs.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "driver/driver.h"
#include "driver/output_stream.h"
#include "scan/allocation.h"
#include "scan/char_source.h"
#include "scan/scanner.h"

namespace tsm2ostra {
namespace {

constexpr size_t kNoLimit = static_cast<size_t>(-1);

std::string ReadModel() {
  std::ifstream in(TSM2OSTRA_SOURCE_DIR "/examples/model.tsm", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Report {
  int status;
  std::string console;
  std::string output;
  int64_t line;  // the source's line counter when the conversion stopped
};

// One conversion through ConvertAndReport, the console captured.
Report Convert(CharSource* source, OutputStream* output) {
  char* console = nullptr;
  size_t console_size = 0;
  FILE* console_file = open_memstream(&console, &console_size);
  Report report;
  report.status = ConvertAndReport("model.tsm", source, output, console_file);
  std::fclose(console_file);
  report.console.assign(console, console_size);
  std::free(console);
  report.line = source->line_counter();
  return report;
}

Report Convert(const std::string& input, size_t fail_after = kNoLimit) {
  MemoryCharSource source(input.data(), input.size());
  MemoryOutputStream output(fail_after);
  Report report = Convert(&source, &output);
  report.output = output.text();
  return report;
}

std::string Failure(int64_t line, const char* suffix) {
  return "Error while reading line " + std::to_string(line) + suffix;
}

const char kConverted[] = "File 'model.tsm' successfully converted.\n";

// A geometry that makes every growing buffer grow: start tags, tokens, attribute texts and
// command lines over 1 KiB (one command over the output buffer's 64 KiB), point and face
// records over several 64 KiB chunks, and a face whose record outgrows its chunk and moves.
std::string BigGeometry() {
  const std::string long_name(3000, 'n');
  std::string m = "<geometry>\n<x" + long_name + ">1</x" + long_name +
                  ">\n<pointSet><points>\n<p name=\"" + std::string(70000, 'L') + "\">0 0</p>\n";
  for (int i = 0; i < 6000; ++i) m += "<p name=\"p" + std::to_string(i) + "\">1 2</p>\n";
  m += "</points><colors><c>1 2 3</c><c>4 5 6</c></colors></pointSet>\n"
       "<vectorField><vectors><v>1 1 0</v><v>2 2 0</v></vectors></vectorField>\n"
       "<lineSet><l name=\"" +
       std::string(1500, 'l') + "\">0 1</l></lineSet>\n<faceSet><faces>\n";
  for (int i = 0; i < 4000; ++i) m += "<f>0 1 2</f>\n";
  m += "<f name=\"" + std::string(40000, 'F') + "\">";
  for (int i = 0; i < 30000; ++i) m += std::to_string(i % 9) + " ";
  return m + "</f>\n</faces><colors><c>9 9 9</c></colors></faceSet>\n</geometry>\n";
}

std::string Model(const std::string& geometries) {
  return "<tsm-model><geometries>" + geometries + "</geometries></tsm-model>\n";
}

std::string BigModel() { return Model(BigGeometry()); }

// Switches allocation failure off again however a test ends.
struct AllocationGuard {
  ~AllocationGuard() { FailAllocationNumber(0); }
};

TEST(FaultInjection, OutputFailingAfterAnyByteCountIsAFailedWrite) {
  const std::string model = ReadModel();
  const Report full = Convert(model);
  ASSERT_EQ(full.console, kConverted);
  ASSERT_EQ(full.status, 0);
  ASSERT_LT(full.output.size(), OutputStream::kBufferSize);
  // The whole output sits in the stream's buffer, so every failure shows when it is closed,
  // after the whole input was read.
  for (size_t n = 0; n < full.output.size(); ++n) {
    SCOPED_TRACE(n);
    const Report cut = Convert(model, n);
    EXPECT_EQ(cut.console, Failure(full.line, " (Write failed)\n"));
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.output, full.output.substr(0, n));
  }
}

TEST(FaultInjection, OutputFailingInTheMiddleOfALargeModelStopsThere) {
  const std::string model = BigModel();
  const Report full = Convert(model);
  ASSERT_EQ(full.status, 0);
  ASSERT_GT(full.output.size(), 4 * OutputStream::kBufferSize);
  const size_t k = OutputStream::kBufferSize;
  for (size_t n : {size_t{0}, k - 1, k, k + 1, 3 * k + 7, full.output.size() - 1}) {
    SCOPED_TRACE(n);
    const Report cut = Convert(model, n);
    EXPECT_EQ(cut.console, Failure(cut.line, " (Write failed)\n"));
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.output, full.output.substr(0, n));
    // A buffer that fills before the end of the input fails during the parse, not after it.
    if (n + k < full.output.size()) {
      EXPECT_LT(cut.line, full.line);
    }
  }
}

#ifdef __GLIBC__
TEST(FaultInjection, AFailedCloseIsAFailedWrite) {
  // A file whose writes all succeed and whose close fails, as a network disk's may: the
  // drawing is written whole, and still it is not reported converted.
  const std::string model = ReadModel();
  for (const std::string& input : {model, std::string()}) {
    SCOPED_TRACE(input.size());
    std::string written;
    cookie_io_functions_t io = {};
    io.write = [](void* to, const char* data, size_t n) -> ssize_t {
      static_cast<std::string*>(to)->append(data, n);
      return static_cast<ssize_t>(n);
    };
    io.close = [](void*) { return -1; };
    std::FILE* file = fopencookie(&written, "w", io);
    ASSERT_NE(file, nullptr);
    MemoryCharSource source(input.data(), input.size());
    FileOutputStream output(file);
    const Report r = Convert(&source, &output);
    EXPECT_EQ(r.console, Failure(r.line, " (Write failed)\n"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(written, Convert(input).output);
  }
}
#endif

// An output whose every write fails, noting the input line at the first failed write.
class BrokenOutput final : public BufferedOutputStream<OutputStream::kBufferSize> {
 public:
  explicit BrokenOutput(const CharSource* source) : source_(source) {}
  int64_t line_at_failure = 0;

 private:
  bool Sink(const char*, size_t) override {
    if (line_at_failure == 0) line_at_failure = source_->line_counter();
    return false;
  }
  const CharSource* source_;
};

TEST(FaultInjection, ConversionStopsAtTheFirstFailedWriteOfEveryCommandKind) {
  // Every command kind, one element a line, after a padding label that shifts where the
  // output buffer first fills: for some length each command is the one that meets the failure.
  const std::string every_kind =
      "<geometry><pointSet>\n<p name=\"a\">0 0</p>\n<p>1 0</p>\n<p name=\"c\">1 1</p>\n"
      "<colors><c>1 2 3</c></colors>\n</pointSet>\n<vectorField>\n<v>1 1 0</v>\n"
      "<vectors><v>1 0 0</v></vectors>\n</vectorField>\n<lineSet>\n<l>0 1</l>\n"
      "<l name=\"m\">1 2</l>\n</lineSet>\n<faceSet>\n<f>0 1 2</f>\n<f name=\"t\">0 1 2</f>\n"
      "<colors><c>4 5 6</c><c>7 8 9</c></colors>\n</faceSet>\n</geometry>\n";
  const auto model = [&](size_t pad) {
    return "<tsm-model><geometries><geometry><pointSet><p name=\"" + std::string(pad, 'x') +
           "\">0 0</p></pointSet></geometry>\n" + every_kind + "</geometries></tsm-model>\n";
  };
  const size_t unpadded = Convert(model(0)).output.size();
  for (size_t pad = OutputStream::kBufferSize - unpadded; pad < OutputStream::kBufferSize; ++pad) {
    SCOPED_TRACE(pad);
    const std::string input = model(pad);
    MemoryCharSource source(input.data(), input.size());
    BrokenOutput output(&source);
    const Report r = Convert(&source, &output);
    // Reported on the line of the first failed write: nothing more was read after it.
    EXPECT_EQ(r.console, Failure(output.line_at_failure, " (Write failed)\n"));
    EXPECT_EQ(r.status, 1);
  }
}

TEST(FaultInjection, EveryFailedAllocationEndsWithOutOfMemory) {
  AllocationGuard guard;
  for (const std::string& model : {ReadModel(), BigModel()}) {
    FailAllocationNumber(0);
    const Report full = Convert(model);
    ASSERT_EQ(full.status, 0);
    const uint64_t count = AllocationsAttempted();
    ASSERT_GT(count, 0u);
    for (uint64_t k = 1; k <= count; ++k) {
      SCOPED_TRACE(k);
      FailAllocationNumber(k);
      const Report starved = Convert(model);
      EXPECT_EQ(starved.console, Failure(starved.line, " (Out of memory)\n"));
      EXPECT_EQ(starved.status, 1);
      EXPECT_EQ(full.output.compare(0, starved.output.size(), starved.output), 0);
    }
  }
}

TEST(FaultInjection, LaterGeometriesReuseTheMemoryOfEarlierOnes) {
  AllocationGuard guard;
  // Two sets of lists take turns: from the third geometry on, nothing new is needed.
  FailAllocationNumber(0);
  const Report twice = Convert(Model(BigGeometry() + BigGeometry()));
  const uint64_t allocations = AllocationsAttempted();
  FailAllocationNumber(0);
  const Report four_times = Convert(Model(BigGeometry() + BigGeometry() + BigGeometry() +
                                          BigGeometry()));
  EXPECT_EQ(AllocationsAttempted(), allocations);
  // Later geometries on reused memory write what they write on fresh memory.
  const std::string empty = "<geometry></geometry>";
  const Report third = Convert(Model(empty + empty + BigGeometry()));
  const Report fourth = Convert(Model(empty + empty + empty + BigGeometry()));
  EXPECT_EQ(four_times.output, twice.output + third.output + fourth.output);
}

TEST(FaultInjection, ModelCutAtEveryByteFailsUnlessItEndsAfterTheRoot) {
  const std::string model = ReadModel();
  const Report full = Convert(model);
  ASSERT_EQ(full.console, kConverted);
  const size_t root_closed = model.find("</tsm-model>") + 12;
  for (size_t cut = 0; cut <= model.size(); ++cut) {
    SCOPED_TRACE(cut);
    const Report r = Convert(model.substr(0, cut));
    // What a cut writes is what the whole model writes up to that point.
    EXPECT_EQ(full.output.compare(0, r.output.size(), r.output), 0);
    if (cut >= root_closed) {
      EXPECT_EQ(r.console, kConverted);
      EXPECT_EQ(r.output, full.output);
    } else if (cut == 0) {
      EXPECT_EQ(r.console, kConverted);  // an empty file
    } else {
      EXPECT_EQ(r.status, 1);
      EXPECT_NE(r.console, kConverted);
    }
  }
}

// Hands out prefix, then unit over and over up to total bytes, made on the fly.
class EndlessSource final : public BlockCharSource {
 public:
  EndlessSource(std::string prefix, std::string unit, uint64_t total)
      : prefix_(std::move(prefix)), unit_(std::move(unit)), total_(total) {}

 private:
  bool HasInput() const override { return true; }
  size_t ReadBlock(unsigned char* buffer, size_t capacity) override {
    size_t n = 0;
    for (; n < capacity && made_ < total_; ++n, ++made_) {
      buffer[n] =
          made_ < prefix_.size() ? prefix_[made_] : unit_[(made_ - prefix_.size()) % unit_.size()];
    }
    return n;
  }

  std::string prefix_, unit_;
  uint64_t total_;
  uint64_t made_ = 0;
};

TEST(FaultInjection, ATokenOverOneMebibyteIsRefusedWhereverItStands) {
  // Each case puts the token, or an attribute text over the limit, at one place where a
  // token is read; the rest of the model is well formed.
  const std::string big(kMaxTokenBytes + 1, 'x');
  const std::string attribute = " a=\"" + std::string(kMaxAttributeBytes, 'a') + "\">";
  auto model = [](const std::string& geometry) {
    return "<tsm-model><geometries><geometry>" + geometry + "</geometry></geometries></tsm-model>";
  };
  const std::string places[] = {
      big,
      "<tsm-model" + attribute,
      "<tsm-model>" + big,
      "<tsm-model><meta a=\"1\"/>" + big,
      "<tsm-model><title" + attribute,
      "<tsm-model><geometries>" + big,
      "<tsm-model><geometries><geometry" + attribute,
      model(big),
      model("<pointSet><p>" + big + " 0</p></pointSet>"),
      model("<pointSet><p>0 0 " + big + "</p></pointSet>"),
      model("<pointSet><thickness>" + big + "</thickness></pointSet>"),
      model("<pointSet><p>0 0</p><colors><c>0 0 " + big + "</c></colors></pointSet>"),
      model("<faceSet><f>0 " + big + "</f></faceSet>"),
      model("<lineSet><l>0 " + big + "</l></lineSet>"),
      model("<lineSet><l>0 1 " + big + "</l></lineSet>"),
      model("<vectorField><v>0 0 " + big + "</v></vectorField>"),
      model("<vectorField><v>0 0 0" + big + "</v></vectorField>"),
  };
  for (const std::string& input : places) {
    SCOPED_TRACE(input.substr(0, 60));
    EXPECT_EQ(Convert(input).console, "Error while reading line 1 (Invalid input)\n");
  }
}

TEST(FaultInjection, EndlessTokensAndStartTagsStopAfterAboutOneMebibyte) {
  const std::string open = "<tsm-model><geometries><geometry><pointSet>";
  const struct {
    const char* name;
    std::string prefix, unit;
  } cases[] = {
      {"quoted run", open + "<p name=\"", "a"},
      {"plain token", open + "<p>", "7"},
      {"start tag", open + "<p", " a=1\""},
      {"start tag, quoted values", open + "<p", " a=\"1\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EndlessSource source(c.prefix, c.unit, 100u << 20);
    MemoryOutputStream output;
    const Report r = Convert(&source, &output);
    EXPECT_EQ(r.console, "Error while reading line 1 (Invalid input)\n");
    EXPECT_GT(source.position_counter(), 1 << 20);
    EXPECT_LT(source.position_counter(), 2 << 20);
  }
}

TEST(FaultInjection, HugeExponentsInPointsFinishAtOnce) {
  const std::string invalid = Failure(1, " (Invalid input)\n");
  for (const auto& [number, console] : {std::pair<const char*, std::string>{"1e999999999", invalid},
                                        {"-1e-999999999", kConverted}}) {
    SCOPED_TRACE(number);
    // A thousand of them: an exponent walked one step at a time would take minutes.
    std::string points;
    for (int i = 0; i < 1000; ++i) points += std::string("<p>0 ") + number + "</p>";
    const auto start = std::chrono::steady_clock::now();
    const Report r = Convert(Model("<geometry><pointSet>" + points + "</pointSet></geometry>"));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(r.console, console);
  }
}

}  // namespace
}  // namespace tsm2ostra
