// Writes the picture: one SVG element per drawn command, streamed, and at the end the root's
// viewBox and size, which then take in everything drawn.
#ifndef OSTRA2SVG_PREVIEW_SVG_WRITER_H_
#define OSTRA2SVG_PREVIEW_SVG_WRITER_H_

#include <cstdint>
#include <set>
#include <string>

#include "preview/command_reader.h"
#include "preview/label_text.h"
#include "preview/picture_sink.h"

namespace ostra2svg {

// A point of the drawing, in drawing units, y upwards.
struct Point {
  double x;
  double y;
};

class SvgWriter {
 public:
  enum class LineKind { Segment, DashSegment, Vector };
  enum class TextKind { AtPoint, Above, AboveRight };

  // fit: the viewBox takes in only what is drawn, not the drawing area as well.
  SvgWriter(PictureSink* sink, bool fit);
  SvgWriter(const SvgWriter&) = delete;
  SvgWriter& operator=(const SvgWriter&) = delete;

  // The XML declaration and the root's start tag, with room left for its size.
  void Begin();
  // Colour of what follows, 0xRRGGBB.
  void SetColour(uint32_t rgb) { colour_ = rgb; }
  // The elements; line is the drawing line of their command.
  void Line(LineKind kind, int64_t line, Point a, Point b);
  void Mark(int64_t line, Point p);
  // A text starts: its label's bytes go to the sink returned, then EndText closes it.
  LabelSink* BeginText(TextKind kind, int64_t line, Point p);
  void EndText();
  // The arrowheads, the end of the root, and the root's viewBox and size.
  void Finish();
  bool Failed() const { return sink_->Failed(); }

 private:
  // Hands label bytes to the text being written and lets the buffer go out when full.
  class LabelFeed : public LabelSink {
   public:
    explicit LabelFeed(SvgWriter* writer) : writer_(writer) {}
    void Put(unsigned char byte) override;

   private:
    SvgWriter* writer_;
  };

  // The area in picture units (y downwards) that everything drawn so far covers.
  struct Box {
    double left, top, right, bottom;
    void Take(double x, double y, double reach);
  };

  void StartElement(const char* name, const char* kind, int64_t line);
  void AppendCoordinate(const char* attribute, double v);
  void AppendColour(const char* attribute, uint32_t rgb);
  void FlushIfFull();
  std::string SizeAttributes() const;

  PictureSink* sink_;
  std::string buffer_;
  uint64_t written_ = 0;      // bytes handed to the sink so far
  uint64_t size_offset_ = 0;  // where the root's size attributes go
  uint32_t colour_ = 0;
  Box box_;  // what is drawn, with the drawing area unless fitting
  std::set<uint32_t> arrow_colours_;
  LabelFeed label_feed_;
  LabelText label_{&buffer_};
  TextKind text_kind_ = TextKind::AtPoint;
  double text_x_ = 0;
  double text_y_ = 0;
};

}  // namespace ostra2svg

#endif  // OSTRA2SVG_PREVIEW_SVG_WRITER_H_
