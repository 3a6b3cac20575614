// SVG elements for the drawn commands, the arrowhead markers, and the root's size.
#include "preview/svg_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "preview/number_text.h"

namespace ostra2svg {

namespace {

// Picture y runs downwards: SVG y = 100 - drawing y.
double PictureY(double y) { return 100.0 - y; }

constexpr double kFontSize = 4;
constexpr double kStrokeWidth = 0.4;
constexpr double kMarkRadius = 1;
// How far an arrowhead reaches around its tip: markerWidth 7 times the stroke width.
constexpr double kArrowReach = 7 * kStrokeWidth;
// The drawing area, in picture units.
constexpr double kAreaWidth = 140;
constexpr double kAreaHeight = 100;
// Room kept around everything drawn.
constexpr double kMargin = 5;
// Pixels per drawing unit of the picture's own size, unless that would pass kMaxPixels.
constexpr double kPixelsPerUnit = 4;
constexpr double kMaxPixels = 1600;
// Where a text stands against its point, and how wide a character is taken to be.
constexpr double kTextOffset = 1.5;
constexpr double kCharacterWidth = 0.6 * kFontSize;
// A label widens the view by at most this many characters, so that one long label can't
// shrink the drawing to a line; its whole text is still written.
constexpr uint64_t kMaxLabelCharacters = 60;
// Dashes are a share of the picture's size (percentages of the viewport's diagonal), so a
// drawing in huge coordinates has as few dashes as a small one: in the 150 x 110 view of the
// drawing area they are 2 units long with gaps of 1.5.
const char kDashes[] = " stroke-dasharray=\"1.52% 1.14%\"";
// Room for the root's viewBox, width and height: four numbers of at most 24 characters
// ("-1.2345678901234567e+300") and two sizes of at most 4 digits, with their names.
constexpr size_t kSizeRoom = 140;

const char kRootStart[] =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" font-family=\"sans-serif\" font-size=\"4\" "
    "stroke-width=\"0.4\" style=\"background-color:#fff\" ";

const char* const kLineClass[] = {"drawsegment", "drawdashsegment", "drawvector"};
const char* const kTextClass[] = {"printat", "printat_t", "printat_rt"};

}  // namespace

SvgWriter::SvgWriter(PictureSink* sink, bool fit) : sink_(sink), label_feed_(this) {
  const double inf = std::numeric_limits<double>::infinity();
  // Fitting starts from nothing: the first thing drawn sets every side.
  box_ = fit ? Box{inf, inf, -inf, -inf} : Box{0, 0, kAreaWidth, kAreaHeight};
}

void SvgWriter::Box::Take(double x, double y, double reach) {
  left = std::min(left, x - reach);
  right = std::max(right, x + reach);
  top = std::min(top, y - reach);
  bottom = std::max(bottom, y + reach);
}

void SvgWriter::LabelFeed::Put(unsigned char byte) {
  writer_->label_.Put(byte);
  writer_->FlushIfFull();
}

void SvgWriter::FlushIfFull() {
  if (buffer_.size() < 65536) return;
  sink_->Write(buffer_);
  written_ += buffer_.size();
  buffer_.clear();
}

void SvgWriter::Begin() {
  buffer_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  buffer_ += kRootStart;
  size_offset_ = written_ + buffer_.size();
  buffer_.append(kSizeRoom, ' ');
  buffer_ += ">\n";
}

void SvgWriter::StartElement(const char* name, const char* kind, int64_t line) {
  buffer_ += '<';
  buffer_ += name;
  buffer_ += " class=\"";
  buffer_ += kind;
  buffer_ += "\" data-line=\"";
  buffer_ += std::to_string(line);
  buffer_ += '"';
}

void SvgWriter::AppendCoordinate(const char* attribute, double v) {
  buffer_ += ' ';
  buffer_ += attribute;
  buffer_ += "=\"";
  AppendNumber(v, 2, &buffer_);
  buffer_ += '"';
}

void SvgWriter::AppendColour(const char* attribute, uint32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFFu));
  buffer_ += ' ';
  buffer_ += attribute;
  buffer_ += "=\"";
  buffer_ += text;
  buffer_ += '"';
}

void SvgWriter::Line(LineKind kind, int64_t line, Point a, Point b) {
  StartElement("line", kLineClass[static_cast<int>(kind)], line);
  AppendCoordinate("x1", a.x);
  AppendCoordinate("y1", PictureY(a.y));
  AppendCoordinate("x2", b.x);
  AppendCoordinate("y2", PictureY(b.y));
  AppendColour("stroke", colour_);
  double reach_at_end = kStrokeWidth / 2;
  if (kind == LineKind::DashSegment) buffer_ += kDashes;
  if (kind == LineKind::Vector) {
    char text[40];
    std::snprintf(text, sizeof text, " marker-end=\"url(#arrow-%06x)\"",
                  static_cast<unsigned>(colour_ & 0xFFFFFFu));
    buffer_ += text;
    arrow_colours_.insert(colour_);
    reach_at_end = kArrowReach;
  }
  buffer_ += "/>\n";
  box_.Take(a.x, PictureY(a.y), kStrokeWidth / 2);
  box_.Take(b.x, PictureY(b.y), reach_at_end);
  FlushIfFull();
}

void SvgWriter::Mark(int64_t line, Point p) {
  StartElement("circle", "cmark", line);
  AppendCoordinate("cx", p.x);
  AppendCoordinate("cy", PictureY(p.y));
  buffer_ += " r=\"1\" fill=\"none\"";
  AppendColour("stroke", colour_);
  buffer_ += "/>\n";
  box_.Take(p.x, PictureY(p.y), kMarkRadius + kStrokeWidth / 2);
  FlushIfFull();
}

LabelSink* SvgWriter::BeginText(TextKind kind, int64_t line, Point p) {
  text_kind_ = kind;
  text_x_ = p.x;
  text_y_ = PictureY(p.y);
  if (kind == TextKind::Above) text_y_ -= kTextOffset;
  if (kind == TextKind::AboveRight) {
    text_x_ += kTextOffset;
    text_y_ -= kTextOffset;
  }
  StartElement("text", kTextClass[static_cast<int>(kind)], line);
  AppendCoordinate("x", text_x_);
  AppendCoordinate("y", text_y_);
  // A face's label is centred on its point; the others stand above theirs.
  if (kind == TextKind::AtPoint) buffer_ += " dy=\"0.35em\"";
  if (kind != TextKind::AboveRight) buffer_ += " text-anchor=\"middle\"";
  AppendColour("fill", colour_);
  buffer_ += '>';
  label_ = LabelText(&buffer_);
  return &label_feed_;
}

void SvgWriter::EndText() {
  label_.Finish();
  buffer_ += "</text>\n";
  // The text's extent, from its length: the baseline, a font size above it and a quarter
  // below; the width starts at x or is centred on it.
  const double width =
      static_cast<double>(std::min(label_.characters(), kMaxLabelCharacters)) * kCharacterWidth;
  const double baseline = text_y_ + (text_kind_ == TextKind::AtPoint ? 0.35 * kFontSize : 0.0);
  const double left = text_kind_ == TextKind::AboveRight ? text_x_ : text_x_ - width / 2;
  box_.Take(left, baseline - kFontSize, 0);
  box_.Take(left + width, baseline + kFontSize / 4, 0);
  FlushIfFull();
}

std::string SvgWriter::SizeAttributes() const {
  // Whole units, rounded outwards, around everything drawn (the drawing area when fitting a
  // drawing that draws nothing) and the margin.
  Box box = box_;
  if (!(box.left <= box.right)) box = {0, 0, kAreaWidth, kAreaHeight};
  const double left = std::floor(box.left - kMargin);
  const double top = std::floor(box.top - kMargin);
  const double width = std::ceil(box.right + kMargin) - left;
  const double height = std::ceil(box.bottom + kMargin) - top;
  const double scale = std::min(kPixelsPerUnit, kMaxPixels / std::max(width, height));
  // Rounding up may pass the limit by a pixel.
  const double pixels_wide = std::min(kMaxPixels, std::ceil(width * scale));
  const double pixels_high = std::min(kMaxPixels, std::ceil(height * scale));
  std::string text = "viewBox=\"";
  AppendNumber(left, 0, &text);
  text += ' ';
  AppendNumber(top, 0, &text);
  text += ' ';
  AppendNumber(width, 0, &text);
  text += ' ';
  AppendNumber(height, 0, &text);
  text += "\" width=\"";
  AppendNumber(pixels_wide, 0, &text);
  text += "\" height=\"";
  AppendNumber(pixels_high, 0, &text);
  text += '"';
  return text;
}

void SvgWriter::Finish() {
  if (!arrow_colours_.empty()) {
    buffer_ += "<defs>\n";
    for (const uint32_t rgb : arrow_colours_) {
      char text[200];
      std::snprintf(text, sizeof text,
                    "<marker id=\"arrow-%06x\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" "
                    "markerWidth=\"7\" markerHeight=\"7\" orient=\"auto\">"
                    "<path d=\"M0,0L10,5L0,10z\" fill=\"#%06x\"/></marker>\n",
                    static_cast<unsigned>(rgb), static_cast<unsigned>(rgb));
      buffer_ += text;
    }
    buffer_ += "</defs>\n";
  }
  buffer_ += "</svg>\n";
  sink_->Write(buffer_);
  written_ += buffer_.size();
  buffer_.clear();
  std::string size = SizeAttributes();
  size.resize(kSizeRoom, ' ');  // never longer than the room: see kSizeRoom
  sink_->Overwrite(size_offset_, size);
}

}  // namespace ostra2svg
