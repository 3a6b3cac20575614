// Line sets: each "<l>" is written at once as a dashed segment between two points, and a
// labelled line also gets a midpoint with its label.
#include "driver/converter.h"
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
      return SkipChild(child, TagId::LineSet);
  }
}

ResultCode Converter::LinesChild(TagId child) {
  return child == TagId::L ? ParseLine() : SkipChild(child, TagId::Lines);
}

ResultCode Converter::ParseLine() {
  // A line adds one before truncating (a face truncates first): -0.5 is point 0 here.
  const Place at = notices_.on() ? StartTagPlace(TagId::L) : Place();
  double first, second;
  ResultCode r = NextToken();
  if (r != ResultCode::Ok) return r;
  r = ParseNumber(token(), &first);
  if (r != ResultCode::Ok) return r;
  r = NextToken();
  if (r != ResultCode::Ok) return r;
  r = ParseNumber(token(), &second);
  if (r != ResultCode::Ok) return r;
  int32_t a, b;
  if (!TruncateToInt32(first + 1.0, &a) || !TruncateToInt32(second + 1.0, &b)) {
    return ResultCode::InvalidInput;
  }
  const NamePiece& point = names_.point();
  r = WriteLine(CommandBuilder(output_).Text("drawdashsegment ").Name(point, a).Text(" ")
                    .Name(point, b));
  if (r != ResultCode::Ok) return r;
  std::string_view label;
  bool labelled;
  r = TakeLabel(&label, &labelled);
  if (r != ResultCode::Ok) return r;
  if (labelled) {
    r = WriteLine(CommandBuilder(output_).Text("midpoint ").Midpoint(names_, a, b).Text(" ")
                      .Name(point, a).Text(" ").Name(point, b));
    if (r != ResultCode::Ok) return r;
    r = WriteLine(CommandBuilder(output_).Text("printat_t ").Midpoint(names_, a, b).Text(" ")
                      .Braced(label));
    if (r != ResultCode::Ok) return r;
  }
  r = NextToken();
  if (IsHardFailure(r)) return r;
  if (r != ResultCode::Ok) return ResultCode::EndOfInput;  // "<l>" still open
  if (!TokenIs(ClosingTag(TagId::L))) return ResultCode::InvalidInput;
  if (notices_.on() && !NoteUndefinedVertex(at, TagId::L, a)) NoteUndefinedVertex(at, TagId::L, b);
  return ResultCode::Ok;
}

}  // namespace tsm2ostra
