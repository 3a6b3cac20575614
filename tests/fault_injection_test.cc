// Fault injection through the library's interface: outputs that fail after every byte count,
// a close that fails, allocations that fail one by one, reads that fail, inputs cut at every
// byte, and endless inputs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "driver/file_conversion.h"
#include "driver/output_stream.h"
#include "scan/scanner.h"
#include "tests/conversion_harness.h"

namespace tsm2ostra {
namespace {

std::string ReadModel() {
  std::ifstream in(TSM2OSTRA_SOURCE_DIR "/examples/model.tsm", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

using tsm2ostra_test::Convert;
using tsm2ostra_test::Outcome;
using tsm2ostra_test::Trial;
using Report = Outcome;

Trial WriteLimit(size_t n) {
  Trial trial;
  trial.write_limit = n;
  return trial;
}

std::string Failure(int64_t line, const char* suffix) {
  return "Error while reading line " + std::to_string(line) + suffix;
}

const char kConverted[] = "File 'model.tsm' successfully converted.\n";

// A geometry that makes every growing buffer grow: start tags, tokens, attribute texts and
// command lines over 1 KiB (one command over 64 KiB), point and face
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
    const Report cut = Convert(model, WriteLimit(n));
    EXPECT_EQ(cut.console, Failure(full.line, " (Write failed)\n"));
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(cut.output, full.output.substr(0, n));
  }
}

TEST(FaultInjection, OutputFailingInTheMiddleOfALargeModelStopsThere) {
  const std::string model = Model(BigGeometry() + BigGeometry() + BigGeometry() +
                                  BigGeometry() + BigGeometry() + BigGeometry());
  const Report full = Convert(model);
  ASSERT_EQ(full.status, 0);
  ASSERT_GT(full.output.size(), 4 * OutputStream::kBufferSize);
  const size_t k = OutputStream::kBufferSize;
  for (size_t n : {size_t{0}, k - 1, k, k + 1, 3 * k + 7, full.output.size() - 1}) {
    SCOPED_TRACE(n);
    const Report cut = Convert(model, WriteLimit(n));
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
    std::FILE* drawing = fopencookie(&written, "w", io);
    ASSERT_NE(drawing, nullptr);
    std::setvbuf(drawing, nullptr, _IONBF, 0);
    std::FILE* model_file = std::tmpfile();
    ASSERT_NE(model_file, nullptr);
    std::fwrite(input.data(), 1, input.size(), model_file);
    std::rewind(model_file);
    // The program's own way: both files converted, then closed.
    const tsm2ostra_result r = ConvertOpenFiles(model_file, drawing, nullptr);
    EXPECT_EQ(tsm2ostra_test::Describe(r), Failure(r.line, " (Write failed)"));
    EXPECT_EQ(written, Convert(input).output);
  }
}
#endif

TEST(FaultInjection, ConversionStopsAtTheFirstFailedWriteOfEveryCommandKind) {
  // Every command kind, one element a line, after a padding label that shifts where the
  // output buffer first fills: for some length each command is the one that meets the failure.
  const std::string every_kind =
      "<geometry><pointSet>\n<p name=\"a\">0 0</p>\n<p>1 0</p>\n<p name=\"c\">1 1</p>\n"
      "<colors><c>1 2 3</c></colors>\n</pointSet>\n<vectorField>\n<v>1 1 0</v>\n"
      "<vectors><v>1 0 0</v></vectors>\n</vectorField>\n<lineSet>\n<l>0 1</l>\n"
      "<l name=\"m\">1 2</l>\n</lineSet>\n<faceSet>\n<f>0 1 2</f>\n<f name=\"t\">0 1 2</f>\n"
      "<colors><c>4 5 6</c><c>7 8 9</c></colors>\n</faceSet>\n</geometry>\n";
  const auto model = [&](size_t pad, const std::string& rest) {
    // The padding in 21 labels, each well under the token limit.
    std::string padding;
    for (size_t i = 0; i < 21; ++i) {
      padding += "<p name=\"" + std::string(pad / 21 + (i == 0 ? pad % 21 : 0), 'x') +
                 "\">0 0</p>";
    }
    return "<tsm-model><geometries><geometry><pointSet>" + padding +
           "</pointSet></geometry>\n" + rest + "</geometries></tsm-model>\n";
  };
  // The buffer fills inside the commands of every_kind for these paddings; every third one
  // still meets each command, all longer than three bytes.
  const size_t unpadded = Convert(model(0, every_kind)).output.size();
  const size_t padding_only = Convert(model(0, "")).output.size();
  for (size_t pad = OutputStream::kBufferSize - unpadded;
       pad < OutputStream::kBufferSize - padding_only; pad += 3) {
    SCOPED_TRACE(pad);
    Trial trial;
    trial.chunk = 1000;
    trial.failing_write = 1;
    const Report r = Convert(model(pad, every_kind), trial);
    // Nothing more was read after the first failed write, whose line is reported.
    EXPECT_EQ(r.console, Failure(r.line, " (Write failed)\n"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.bytes_read, r.read_at_first_failed_write);
  }
}

TEST(FaultInjection, EveryFailedAllocationEndsWithOutOfMemory) {
  for (const std::string& model : {ReadModel(), BigModel()}) {
    const Report full = Convert(model);
    ASSERT_EQ(full.status, 0);
    const uint64_t count = full.allocations;
    ASSERT_GT(count, 0u);
    for (uint64_t k = 1; k <= count; ++k) {
      SCOPED_TRACE(k);
      Trial trial;
      trial.failing_allocation = k;
      const Report starved = Convert(model, trial);
      EXPECT_EQ(starved.console, Failure(starved.line, " (Out of memory)\n"));
      EXPECT_EQ(starved.status, 1);
      EXPECT_EQ(full.output.compare(0, starved.output.size(), starved.output), 0);
    }
  }
}

TEST(FaultInjection, LaterGeometriesReuseTheMemoryOfEarlierOnes) {
  // The lists are cleared, not freed, between geometries: once a geometry like the next one
  // was read, nothing new is needed.
  const Report twice = Convert(Model(BigGeometry() + BigGeometry()));
  const Report four_times = Convert(Model(BigGeometry() + BigGeometry() + BigGeometry() +
                                          BigGeometry()));
  EXPECT_EQ(four_times.allocations, twice.allocations);
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
struct Endless {
  std::string prefix, unit;
  uint64_t total;
  uint64_t made = 0;
  static long Read(void* context, char* buffer, size_t capacity) {
    Endless* e = static_cast<Endless*>(context);
    size_t n = 0;
    for (; n < capacity && e->made < e->total; ++n, ++e->made) {
      buffer[n] = e->made < e->prefix.size()
                      ? e->prefix[e->made]
                      : e->unit[(e->made - e->prefix.size()) % e->unit.size()];
    }
    return static_cast<long>(n);
  }
  static int Discard(void*, const char*, size_t) { return 0; }
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
    Endless source{c.prefix, c.unit, 100u << 20};
    const tsm2ostra_result r =
        tsm2ostra_convert_stream(Endless::Read, &source, Endless::Discard, nullptr, nullptr);
    EXPECT_EQ(tsm2ostra_test::Describe(r), "Error while reading line 1 (Invalid input)");
    EXPECT_GT(source.made, 1u << 20);
    EXPECT_LT(source.made, 2u << 20);
  }
}

TEST(FaultInjection, HugeExponentsInPointsFinishAtOnce) {
  const std::string invalid = Failure(1, " (Invalid input)\n");
  for (const auto& [number, console] : {std::pair<const char*, std::string>{"1e999999999", invalid},
                                        {"-1e-999999999", kConverted}}) {
    SCOPED_TRACE(number);
    // A thousand of them: an exponent walked one step at a time would take minutes, and the
    // test run's time limit would stop it.
    std::string points;
    for (int i = 0; i < 1000; ++i) points += std::string("<p>0 ") + number + "</p>";
    const Report r = Convert(Model("<geometry><pointSet>" + points + "</pointSet></geometry>"));
    EXPECT_EQ(r.console, console);
  }
}

TEST(FaultInjection, AFailedReadIsNeverTheEndOfTheModel) {
  // A read that fails at its first call, in the prologue, a comment-like skip, a token and
  // an element being skipped; the model would convert if it ended there.
  const std::string model = ReadModel();
  const Report full = Convert(model);
  for (size_t chunk : {size_t{1}, size_t{7}, size_t{4096}}) {
    for (size_t k : {size_t{1}, size_t{2}, size_t{3}, size_t{10}, size_t{40}}) {
      if (chunk * (k - 1) >= model.size()) continue;
      SCOPED_TRACE(std::to_string(chunk) + " bytes a read, read " + std::to_string(k));
      Trial trial;
      trial.chunk = chunk;
      trial.failing_read = k;
      const Report r = Convert(model, trial);
      EXPECT_EQ(r.result.status, TSM2OSTRA_READ_FAILED);
      EXPECT_EQ(r.console, Failure(r.line, " (Read failed)\n"));
      EXPECT_EQ(full.output.compare(0, r.output.size(), r.output), 0);
    }
  }
  for (const std::string prefix : {"", "<?xml version=\"1.0\"", "<tsm-model><meta a=\"1\"",
                                    "<tsm-model><title>x", "<tsm-model><geometries>"}) {
    SCOPED_TRACE(prefix);
    Trial trial;
    trial.chunk = prefix.empty() ? 1 : prefix.size();
    trial.failing_read = 2;
    EXPECT_EQ(Convert(prefix, trial).result.status,
              prefix.empty() ? TSM2OSTRA_OK : TSM2OSTRA_READ_FAILED);
  }
}

}  // namespace
}  // namespace tsm2ostra
