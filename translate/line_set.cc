// Line sets: each "<l>" is written at once as a dashed segment between two points, and a
// labelled line also gets a midpoint with its label.
#include "driver/converter.h"
#include "scan/label.h"
#include "scan/number_parser.h"
#include "translate/command_builder.h"

namespace tsm2ostra {

ResultCode Converter::ParseLineSet() {
  return ParseChildren(TagId::LineSet, &Converter::LineSetChild);
}

ResultCode Converter::LineSetChild(TagId child) {
  switch (child) {
    case TagId::Lines:
      return ParseChildren(TagId::Lines, &Converter::LinesChild);
    case TagId::L:
      return ParseLine();
    default:
      return SkipElement(start_tag_copy());
  }
}

ResultCode Converter::LinesChild(TagId child) {
  return child == TagId::L ? ParseLine() : SkipElement(start_tag_copy());
}

ResultCode Converter::ParseLine() {
  // A line adds one before truncating (a face truncates first): -0.5 is point 0 here.
  double ends[2];
  int32_t a, b;
  // The usual line, "<l>i j</l>" whole in the window and valid, is read in one step.
  const bool whole = PeekElementRest(ClosingTag(TagId::L)) == 2 && PeekedNumbers(2, ends) &&
                      TruncateToInt32(ends[0] + 1.0, &a) && TruncateToInt32(ends[1] + 1.0, &b);
  ResultCode r;
  if (!whole) {
    r = NextToken();
    if (r != ResultCode::Ok) return r;
    r = ParseNumber(token(), &ends[0]);
    if (r != ResultCode::Ok) return r;
    r = NextToken();
    if (r != ResultCode::Ok) return r;
    r = ParseNumber(token(), &ends[1]);
    if (r != ResultCode::Ok) return r;
    if (!TruncateToInt32(ends[0] + 1.0, &a) || !TruncateToInt32(ends[1] + 1.0, &b)) {
      return ResultCode::InvalidInput;
    }
  }
  const int64_t g = geometry_number_;
  r = WriteLine(CommandBuilder(output_).Text("drawdashsegment ").Name('P', g, a).Text(" ")
                       .Name('P', g, b));
  std::string_view label;
  if (r == ResultCode::Ok && FindLabel(attributes(), &label)) {
    r = WriteLine(CommandBuilder(output_).Text("midpoint ").Midpoint(g, a, b).Text(" ")
                         .Name('P', g, a).Text(" ").Name('P', g, b));
    if (r == ResultCode::Ok) {
      r = WriteLine(CommandBuilder(output_).Text("printat_t ").Midpoint(g, a, b).Text(" ")
                           .Braced(label));
    }
  }
  if (whole) {
    // Through the second number if a write failed, else through the closing tag.
    TakePeeked(r == ResultCode::Ok ? 2 : 1);
    return r;
  }
  if (r != ResultCode::Ok) return r;
  r = NextToken();
  if (IsHardFailure(r)) return r;
  if (r != ResultCode::Ok) return ResultCode::EndOfInput;  // "<l>" still open
  return TokenIs(ClosingTag(TagId::L)) ? ResultCode::Ok : ResultCode::InvalidInput;
}

}  // namespace tsm2ostra
