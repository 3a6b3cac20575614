// Writes a large, realistic Tessaro model for benchmarking, the same bytes on every run.
// Usage: generate_model OUTPUT MEGABYTES [many|single]
//   many   (default): geometries of a few thousand points each, as an exporter writes them;
//   single: one huge geometry holding every point, face, line and vector.
#include <cinttypes>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// SplitMix64: small, fast and fully determined by its seed.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n).
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>((Next() >> 32) * n >> 32); }
  // Uniform in [-1, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-52 - 1.0; }

 private:
  uint64_t state_;
};

// Output through one large buffer; counts the bytes written.
class Writer {
 public:
  explicit Writer(FILE* file) : file_(file) {}
  ~Writer() { Flush(); }
  void Put(const char* text) { Put(text, std::strlen(text)); }
  void Put(const char* text, size_t n) {
    if (used_ + n > sizeof(buffer_)) Flush();
    std::memcpy(buffer_ + used_, text, n);
    used_ += n;
    written_ += n;
  }
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char line[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n > 0)
      Put(line, static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n) : sizeof line - 1);
  }
  void Indent(int depth) { Put("\t\t\t\t\t\t\t\t", static_cast<size_t>(depth)); }
  void Flush() {
    if (used_ != 0 && std::fwrite(buffer_, 1, used_, file_) != used_) ok_ = false;
    used_ = 0;
  }
  uint64_t written() const { return written_; }
  bool ok() const { return ok_; }

 private:
  FILE* file_;
  char buffer_[1 << 16];
  size_t used_ = 0;
  uint64_t written_ = 0;
  bool ok_ = true;
};

// A coordinate the way exporters print doubles: up to 16 decimals, such as
// -0.7071067811865476; some are short round values like 1.5 or 0.
void Coordinate(Random& random, char* out, size_t size) {
  uint32_t kind = random.Below(16);
  double value = random.Unit() * (kind < 8 ? 1.0 : 4.0);
  if (kind == 0) {
    std::snprintf(out, size, "%d", static_cast<int>(value * 4));
  } else if (kind == 1) {
    std::snprintf(out, size, "%.1f", value);
  } else {
    std::snprintf(out, size, "%.16f", value);
  }
}

struct Shape {
  uint32_t points;
  uint32_t faces;
  uint32_t lines;
  uint32_t vectors;
};

// One geometry with its four sets; its point count decides the rest.
void Geometry(Writer& w, Random& random, uint64_t number, const Shape& shape) {
  char a[32], b[32], c[32];
  w.Indent(2);
  w.Printf("<geometry name=\"part %" PRIu64 "\">\n", number);

  w.Indent(3);
  w.Put("<pointSet dim=\"3\">\n");
  w.Indent(4);
  w.Put("<points>\n");
  for (uint32_t i = 0; i < shape.points; ++i) {
    Coordinate(random, a, sizeof a);
    Coordinate(random, b, sizeof b);
    Coordinate(random, c, sizeof c);
    w.Indent(5);
    if (random.Below(20) == 0) {
      w.Printf("<p name=\"V%" PRIu32 "\">%s %s %s</p>\n", i, a, b, c);
    } else {
      w.Printf("<p>%s %s %s</p>\n", a, b, c);
    }
  }
  w.Indent(4);
  w.Put("</points>\n");
  w.Indent(4);
  w.Put("<thickness>2</thickness>\n");
  w.Indent(4);
  w.Put("<colors>\n");
  for (uint32_t i = 0; i < shape.points; ++i) {
    w.Indent(5);
    if (random.Below(4) == 0) {
      w.Put("<c>0 0 0</c>\n");
    } else {
      w.Printf("<c>%" PRIu32 " %" PRIu32 " %" PRIu32 "</c>\n", random.Below(256), random.Below(256),
               random.Below(256));
    }
  }
  w.Indent(4);
  w.Put("</colors>\n");
  w.Indent(3);
  w.Put("</pointSet>\n");

  // Triangles and quads over neighbouring points, as a meshed surface gives them.
  w.Indent(3);
  w.Put("<faceSet>\n");
  w.Indent(4);
  w.Put("<faces>\n");
  for (uint32_t i = 0; i < shape.faces; ++i) {
    uint32_t first = random.Below(shape.points - 3);
    w.Indent(5);
    const char* open = random.Below(50) == 0 ? "<f name=\"side\">" : "<f>";
    if (random.Below(3) == 0) {
      w.Printf("%s%" PRIu32 " %" PRIu32 " %" PRIu32 " %" PRIu32 "</f>\n", open, first, first + 1,
               first + 3, first + 2);
    } else {
      w.Printf("%s%" PRIu32 " %" PRIu32 " %" PRIu32 "</f>\n", open, first, first + 1, first + 2);
    }
  }
  w.Indent(4);
  w.Put("</faces>\n");
  w.Indent(4);
  w.Put("<colors>\n");
  for (uint32_t i = 0; i < shape.faces; ++i) {
    w.Indent(5);
    w.Printf("<c>%" PRIu32 " %" PRIu32 " %" PRIu32 "</c>\n", 64 + random.Below(192),
             64 + random.Below(192), 64 + random.Below(192));
  }
  w.Indent(4);
  w.Put("</colors>\n");
  w.Indent(3);
  w.Put("</faceSet>\n");

  w.Indent(3);
  w.Put("<lineSet>\n");
  w.Indent(4);
  w.Put("<lines>\n");
  for (uint32_t i = 0; i < shape.lines; ++i) {
    uint32_t from = random.Below(shape.points);
    uint32_t to = random.Below(shape.points);
    w.Indent(5);
    if (random.Below(40) == 0) {
      w.Printf("<l name=\"edge %" PRIu32 "\">%" PRIu32 " %" PRIu32 "</l>\n", i, from, to);
    } else {
      w.Printf("<l>%" PRIu32 " %" PRIu32 "</l>\n", from, to);
    }
  }
  w.Indent(4);
  w.Put("</lines>\n");
  w.Indent(3);
  w.Put("</lineSet>\n");

  w.Indent(3);
  w.Put("<vectorField>\n");
  w.Indent(4);
  w.Put("<vectors>\n");
  for (uint32_t i = 0; i < shape.vectors; ++i) {
    Coordinate(random, a, sizeof a);
    Coordinate(random, b, sizeof b);
    Coordinate(random, c, sizeof c);
    w.Indent(5);
    w.Printf("<v>%s %s %s</v>\n", a, b, c);
  }
  w.Indent(4);
  w.Put("</vectors>\n");
  w.Indent(3);
  w.Put("</vectorField>\n");

  w.Indent(2);
  w.Put("</geometry>\n");
}

// Bytes one geometry of this shape takes, roughly: enough to size the single geometry.
constexpr double kBytesPerPoint = 165.0;

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT MEGABYTES [many|single]\n", argv[0]);
    return 2;
  }
  const double megabytes = std::atof(argv[2]);
  const bool single = argc > 3 && std::strcmp(argv[3], "single") == 0;
  if (!(megabytes > 0) || (argc > 3 && !single && std::strcmp(argv[3], "many") != 0)) {
    std::fprintf(stderr, "%s: MEGABYTES must be positive; mode is many or single\n", argv[0]);
    return 2;
  }
  FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const uint64_t target = static_cast<uint64_t>(megabytes * 1e6);
  Random random(single ? 0x5EED5EEDull : 0xC0FFEEull);
  {
    Writer w(file);
    w.Put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    w.Put("<tsm-model>\n");
    w.Put("\t<meta name=\"generator\" content=\"tsm2ostra bench/generate_model\"/>\n");
    w.Put("\t<title>Generated benchmark model</title>\n");
    w.Put("\t<geometries>\n");
    uint64_t number = 0;
    if (single) {
      Shape shape;
      shape.points = static_cast<uint32_t>(target / kBytesPerPoint) + 4;
      shape.faces = shape.points * 2 / 3;
      shape.lines = shape.points / 4;
      shape.vectors = shape.points / 2;
      Geometry(w, random, ++number, shape);
    } else {
      while (w.written() < target) {
        Shape shape;
        shape.points = 2000 + random.Below(3000);
        shape.faces = shape.points * 2 / 3;
        shape.lines = shape.points / 4;
        shape.vectors = shape.points / 2;
        Geometry(w, random, ++number, shape);
      }
    }
    w.Put("\t</geometries>\n");
    w.Put("</tsm-model>\n");
    w.Flush();
    if (!w.ok()) {
      std::fprintf(stderr, "%s: write failed\n", argv[1]);
      std::fclose(file);
      return 1;
    }
  }
  if (std::fclose(file) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
