// The commands a drawing may hold, their operands, the points they define and what they draw.
#include "preview/renderer.h"

#include <cmath>
#include <memory>
#include <unordered_map>

#include "preview/command_reader.h"
#include "preview/number_text.h"
#include "preview/svg_writer.h"

namespace ostra2svg {

namespace {

enum class Op {
  // Define a point.
  Point,
  Midpoint,
  Translate,
  Towards,
  // Draw at points.
  Cmark,
  DrawSegment,
  DrawDashSegment,
  DrawVector,
  // Write a label at a point.
  Printat,
  PrintatT,
  PrintatRt,
  // Set the colour.
  Color,
};

struct CommandInfo {
  const char* name;
  Op op;
  int operands;  // words after the command's name; label commands: the point and the label
};

const CommandInfo kCommands[] = {
    {"point", Op::Point, 3},
    {"midpoint", Op::Midpoint, 3},
    {"translate", Op::Translate, 4},
    {"towards", Op::Towards, 4},
    {"cmark", Op::Cmark, 1},
    {"drawsegment", Op::DrawSegment, 2},
    {"drawdashsegment", Op::DrawDashSegment, 2},
    {"drawvector", Op::DrawVector, 2},
    {"printat", Op::Printat, 2},
    {"printat_t", Op::PrintatT, 2},
    {"printat_rt", Op::PrintatRt, 2},
    {"color", Op::Color, 3},
};

bool TakesLabel(Op op) { return op == Op::Printat || op == Op::PrintatT || op == Op::PrintatRt; }

// Points defined beyond this size could not be drawn with finite sizes around them; no
// drawing made from a model comes near it.
constexpr double kMaxCoordinate = 1e300;

// A word for a message: printable ASCII as it is, other bytes as '?', long words cut short.
std::string Quoted(const std::string& word) {
  const size_t kShown = 40;
  std::string text = "'";
  for (size_t i = 0; i < word.size() && i < kShown; ++i) {
    const char c = word[i];
    text += (c >= ' ' && c <= '~') ? c : '?';
  }
  if (word.size() > kShown) text += "...";
  return text + "'";
}

class Renderer {
 public:
  Renderer(ByteSource* source, PictureSink* sink, const RenderOptions& options)
      : source_(source), reader_(source), writer_(sink, options.fit) {}

  RenderResult Run();

 private:
  // Each returns false after it has set the failure.
  bool Command();
  bool ReadOperands(const CommandInfo& info);
  bool LabelCommand(const CommandInfo& info);
  bool Lookup(const std::string& name, Point* point);
  bool Define(const std::string& name, Point point);
  bool Fail(std::string message);

  ByteSource* source_;
  CommandReader reader_;
  SvgWriter writer_;
  std::unordered_map<std::string, Point> points_;
  std::string words_[5];  // the command's name and its operands
  RenderResult result_ = {RenderResult::Status::Ok, 0, std::string()};
};

RenderResult Renderer::Run() {
  writer_.Begin();
  while (reader_.NextCommand()) {
    if (!Command()) return result_;
    if (writer_.Failed()) return {RenderResult::Status::WriteFailed, 0, std::string()};
  }
  if (source_->Failed()) return {RenderResult::Status::ReadFailed, 0, std::string()};
  writer_.Finish();
  if (writer_.Failed()) return {RenderResult::Status::WriteFailed, 0, std::string()};
  return result_;
}

bool Renderer::Fail(std::string message) {
  // A failed read ends the input early, and what is missing may look like a fault.
  if (source_->Failed()) {
    result_ = {RenderResult::Status::ReadFailed, 0, std::string()};
  } else {
    result_ = {RenderResult::Status::BadDrawing, reader_.line(), std::move(message)};
  }
  return false;
}

bool Renderer::Lookup(const std::string& name, Point* point) {
  const auto found = points_.find(name);
  if (found == points_.end()) return Fail("undefined point " + Quoted(name));
  *point = found->second;
  return true;
}

bool Renderer::Define(const std::string& name, Point point) {
  if (!(std::fabs(point.x) <= kMaxCoordinate && std::fabs(point.y) <= kMaxCoordinate)) {
    return Fail("point " + Quoted(name) + " lies too far out to be drawn");
  }
  points_[name] = point;
  return true;
}

// Reads the operands of a command without a label into words_[1..]; a wrong count fails.
bool Renderer::ReadOperands(const CommandInfo& info) {
  int count = 0;
  for (;;) {
    std::string* word = count < info.operands ? &words_[count + 1] : nullptr;
    const CommandReader::Token token = reader_.Next(word, false);
    if (token == CommandReader::Token::End) break;
    if (token == CommandReader::Token::TooLong) return Fail("operand too long");
    ++count;
  }
  if (count == info.operands) return true;
  return Fail(Quoted(info.name) + " takes " + std::to_string(info.operands) +
              (info.operands == 1 ? " operand, not " : " operands, not ") +
              std::to_string(count));
}

bool Renderer::LabelCommand(const CommandInfo& info) {
  const std::string shape = Quoted(info.name) + " takes a point and a {label}";
  CommandReader::Token token = reader_.Next(&words_[1], false);
  if (token == CommandReader::Token::TooLong) return Fail("operand too long");
  if (token != CommandReader::Token::Word) return Fail(shape);
  Point at = {0, 0};
  if (reader_.Next(nullptr, true) != CommandReader::Token::Label) return Fail(shape);
  if (!Lookup(words_[1], &at)) return false;
  SvgWriter::TextKind kind = SvgWriter::TextKind::AtPoint;
  if (info.op == Op::PrintatT) kind = SvgWriter::TextKind::Above;
  if (info.op == Op::PrintatRt) kind = SvgWriter::TextKind::AboveRight;
  if (!reader_.ReadLabel(writer_.BeginText(kind, reader_.line(), at))) {
    return Fail("label not closed: its '{' has no matching '}'");
  }
  writer_.EndText();
  if (reader_.Next(nullptr, false) != CommandReader::Token::End) return Fail(shape);
  return true;
}

bool Renderer::Command() {
  const CommandReader::Token token = reader_.Next(&words_[0], false);
  if (token == CommandReader::Token::TooLong) return Fail("command name too long");
  const CommandInfo* info = nullptr;
  for (const CommandInfo& candidate : kCommands) {
    if (words_[0] == candidate.name) info = &candidate;
  }
  if (info == nullptr) return Fail("unknown command " + Quoted(words_[0]));
  if (TakesLabel(info->op)) return LabelCommand(*info);
  if (!ReadOperands(*info)) return false;

  const std::string* operand = &words_[1];
  Point a = {0, 0}, b = {0, 0}, c = {0, 0};
  switch (info->op) {
    case Op::Point:
      if (!ParseDecimal(operand[1], &a.x)) return Fail("malformed number " + Quoted(operand[1]));
      if (!ParseDecimal(operand[2], &a.y)) return Fail("malformed number " + Quoted(operand[2]));
      return Define(operand[0], a);
    case Op::Midpoint:
      if (!Lookup(operand[1], &a) || !Lookup(operand[2], &b)) return false;
      return Define(operand[0], {(a.x + b.x) / 2, (a.y + b.y) / 2});
    case Op::Translate:  // X = Y + (B - A)
      if (!Lookup(operand[1], &a) || !Lookup(operand[2], &b) || !Lookup(operand[3], &c)) {
        return false;
      }
      return Define(operand[0], {c.x + (b.x - a.x), c.y + (b.y - a.y)});
    case Op::Towards: {  // X = A + f (B - A)
      double f;
      if (!Lookup(operand[1], &a) || !Lookup(operand[2], &b)) return false;
      if (!ParseDecimal(operand[3], &f)) return Fail("malformed number " + Quoted(operand[3]));
      return Define(operand[0], {a.x + f * (b.x - a.x), a.y + f * (b.y - a.y)});
    }
    case Op::Cmark:
      if (!Lookup(operand[0], &a)) return false;
      writer_.Mark(reader_.line(), a);
      return true;
    case Op::DrawSegment:
    case Op::DrawDashSegment:
    case Op::DrawVector: {
      if (!Lookup(operand[0], &a) || !Lookup(operand[1], &b)) return false;
      SvgWriter::LineKind kind = SvgWriter::LineKind::Segment;
      if (info->op == Op::DrawDashSegment) kind = SvgWriter::LineKind::DashSegment;
      if (info->op == Op::DrawVector) kind = SvgWriter::LineKind::Vector;
      writer_.Line(kind, reader_.line(), a, b);
      return true;
    }
    case Op::Color: {
      int rgb[3];
      for (int i = 0; i < 3; ++i) {
        if (!ParseColourComponent(operand[i], &rgb[i])) {
          return Fail("colour component " + Quoted(operand[i]) +
                      " is not a whole number from 0 to 255");
        }
      }
      writer_.SetColour(static_cast<uint32_t>(rgb[0] << 16 | rgb[1] << 8 | rgb[2]));
      return true;
    }
    case Op::Printat:
    case Op::PrintatT:
    case Op::PrintatRt:
      break;  // drawn by LabelCommand, above
  }
  return true;
}

}  // namespace

RenderResult RenderDrawing(ByteSource* source, PictureSink* sink, const RenderOptions& options) {
  // On the heap: the reader's block buffer is large for a stack.
  const std::unique_ptr<Renderer> renderer(new Renderer(source, sink, options));
  return renderer->Run();
}

RenderResult RenderDrawing(const char* drawing, size_t size, PictureSink* sink,
                           const RenderOptions& options) {
  MemoryByteSource source(drawing, size);
  return RenderDrawing(&source, sink, options);
}

}  // namespace ostra2svg
