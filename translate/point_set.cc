// Point sets: "<p>" elements become points of the current geometry, "<colors>" colours them,
// and at "</pointSet>" the whole list is written.
#include <cmath>

#include "driver/converter.h"
#include "scan/number_parser.h"
#include "translate/command_builder.h"

namespace tsm2ostra {

ResultCode Converter::ParsePointSet() {
  ResultCode r = ParseChildren(TagId::PointSet, &Converter::PointSetChild);
  if (r != ResultCode::Ok) return r;
  return WritePoints();
}

ResultCode Converter::PointSetChild(TagId child) {
  switch (child) {
    case TagId::Points: return ParseChildren(TagId::Points, &Converter::PointsChild);
    case TagId::P: return ParsePoint();
    case TagId::Thickness: return ParseThickness();
    case TagId::Colors:
      points_.Rewind();
      return ParseChildren(TagId::Colors, &Converter::PointColorsChild);
    default: return SkipChild(child, TagId::PointSet);
  }
}

ResultCode Converter::PointsChild(TagId child) {
  switch (child) {
    case TagId::P: return ParsePoint();
    case TagId::Thickness: return ParseThickness();
    default: return SkipChild(child, TagId::Points);
  }
}

// The k-th child of "<colors>" belongs to the k-th point, whatever its tag.
ResultCode Converter::PointColorsChild(TagId child) {
  ResultCode r = child != TagId::C                          ? SkipChild(child, TagId::Colors)
                 : points_.has_current() || !notices_.on() ? ParsePointColor()
                                                           : ParseColorOfNothing(false);
  if (r == ResultCode::Ok) points_.Advance();
  return r;
}

ResultCode Converter::ParsePoint() {
  double a, b;
  ResultCode r = ReadNumber(&a);
  if (r != ResultCode::Ok) return r;
  r = ReadNumber(&b);
  if (r != ResultCode::Ok) return r;
  const double x = a * 10 + 70;
  const double y = b * 10 + 50;
  if (!std::isfinite(x) || !std::isfinite(y)) return ResultCode::InvalidInput;
  if (!points_.Append(x, y, 0, 0, 0)) return ResultCode::OutOfMemory;
  std::string_view label;
  bool labelled;
  r = TakeLabel(&label, &labelled);
  if (r != ResultCode::Ok) return r;
  if (labelled && !points_.SetLastLabel(label)) return ResultCode::OutOfMemory;
  // Two or three numbers; a third coordinate is checked and dropped.
  r = NextToken();
  if (IsHardFailure(r)) return r;
  if (TokenIs(ClosingTag(TagId::P))) return ResultCode::Ok;
  r = ValidateNumber(token());
  if (r != ResultCode::Ok) return r;
  return ExpectClosingTag(TagId::P);
}

ResultCode Converter::ParseThickness() {
  ResultCode r = CheckNumber();  // read and not used
  if (r != ResultCode::Ok) return r;
  return ExpectClosingTag(TagId::Thickness);
}

ResultCode Converter::ParsePointColor() {
  uint8_t r, g, b;
  ResultCode result = ReadColorElement(&r, &g, &b);
  if (result != ResultCode::Ok) return result;
  points_.SetCurrentColor(r, g, b);  // ignored when no point is left to colour
  return ResultCode::Ok;
}

ResultCode Converter::WritePoints() {
  const NamePiece& point_name = names_.point();
  int64_t n = 0;
  PointList::Position at;
  for (const PointEntry* point = points_.First(&at); point != nullptr;
       point = points_.Next(&at)) {
    ++n;
    ResultCode r = ResultCode::Ok;
    if (point->has_color()) {
      r = WriteLine(CommandBuilder(output_).Text("color ").Int(point->r).Text(" ")
                        .Int(point->g).Text(" ").Int(point->b));
      if (r != ResultCode::Ok) return r;
    }
    r = WriteLine(CommandBuilder(output_).Text("point ").Name(point_name, n).Text(" ")
                      .Fixed2(point->x).Text(" ").Fixed2(point->y));
    if (r != ResultCode::Ok) return r;
    if (point->has_label()) {
      r = WriteLine(CommandBuilder(output_).Text("cmark ").Name(point_name, n));
      if (r != ResultCode::Ok) return r;
      r = WriteLine(CommandBuilder(output_).Text("printat_rt ").Name(point_name, n).Text(" ")
                        .Braced(point->label()));
      if (r != ResultCode::Ok) return r;
    }
  }
  return ResultCode::Ok;
}

}  // namespace tsm2ostra
