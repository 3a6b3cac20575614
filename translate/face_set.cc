// Face sets: "<f>" elements become faces of the current geometry, "<colors>" colours them,
// and at "</faceSet>" every face is written as a closed polygon, a labelled one with its
// label at the mean of its corners.
#include <cstring>

#include "driver/converter.h"
#include "scan/number_parser.h"
#include "translate/command_builder.h"

namespace tsm2ostra {

ResultCode Converter::ParseFaceSet() {
  ResultCode r = ParseChildren(TagId::FaceSet, &Converter::FaceSetChild);
  if (r != ResultCode::Ok) return r;
  return WriteFaces();
}

ResultCode Converter::FaceSetChild(TagId child) {
  switch (child) {
    case TagId::Faces: return ParseChildren(TagId::Faces, &Converter::FacesChild);
    case TagId::F: return ParseFace();
    case TagId::Colors:
      faces_.Rewind();
      return ParseChildren(TagId::Colors, &Converter::FaceColorsChild);
    default: return SkipChild(child, TagId::FaceSet);
  }
}

ResultCode Converter::FacesChild(TagId child) {
  return child == TagId::F ? ParseFace() : SkipChild(child, TagId::Faces);
}

// The k-th child of "<colors>" belongs to the k-th face, whatever its tag.
ResultCode Converter::FaceColorsChild(TagId child) {
  ResultCode r = child != TagId::C                         ? SkipChild(child, TagId::Colors)
                 : faces_.has_current() || !notices_.on() ? ParseFaceColor()
                                                          : ParseColorOfNothing(true);
  if (r == ResultCode::Ok) faces_.Advance();
  return r;
}

ResultCode Converter::ParseFace() {
  const Place at = notices_.on() ? StartTagPlace(TagId::F) : Place();
  faces_.SetGeometryNumber(geometry_number_);
  if (!faces_.Append()) return ResultCode::OutOfMemory;
  std::string_view label;
  bool labelled;
  ResultCode taken = TakeLabel(&label, &labelled);
  if (taken != ResultCode::Ok) return taken;
  if (labelled && !faces_.SetLastLabel(label)) return ResultCode::OutOfMemory;
  for (;;) {
    ResultCode r = NextToken();
    if (IsHardFailure(r)) return r;
    if (r != ResultCode::Ok) return ResultCode::EndOfInput;  // "<f>" still open
    if (TokenIs(ClosingTag(TagId::F))) {
      if (notices_.on()) NoteUndefinedCorner(at);
      return ResultCode::Ok;
    }
    double value;
    r = ParseNumber(token(), &value);
    if (r != ResultCode::Ok) return r;
    // A face truncates before adding one (a line adds first): -0.5 is point 1 here.
    int32_t vertex;
    if (!TruncateToInt32(value, &vertex) || vertex == INT32_MAX) return ResultCode::InvalidInput;
    if (!faces_.AppendVertex(vertex + 1)) return ResultCode::OutOfMemory;
  }
}

void Converter::NoteUndefinedCorner(Place at) {
  const FaceEntry* face = faces_.last();
  for (uint32_t i = 0; i < face->vertex_count; ++i) {
    if (NoteUndefinedVertex(at, TagId::F, face->vertices()[i])) return;
  }
}

ResultCode Converter::ParseFaceColor() {
  uint8_t r, g, b;
  ResultCode result = ReadColorElement(&r, &g, &b);
  if (result != ResultCode::Ok) return result;
  faces_.SetCurrentColor(r, g, b);  // ignored when no face is left to colour
  return ResultCode::Ok;
}

ResultCode Converter::WriteFaces() {
  const GeometryNames names(faces_.geometry_number());
  const NamePiece& point = names.point();
  const NamePiece& anchor = names.label_anchor();
  FaceList::Position at;
  for (const FaceEntry* face = faces_.First(&at); face != nullptr; face = faces_.Next(&at)) {
    ResultCode r = ResultCode::Ok;
    if (face->has_color()) {
      r = WriteLine(CommandBuilder(output_).Text("color ").Int(face->r).Text(" ")
                        .Int(face->g).Text(" ").Int(face->b));
      if (r != ResultCode::Ok) return r;
    }
    const uint32_t count = face->vertex_count;
    if (count == 0) continue;  // no corner to draw from: the colour is all it writes
    const bool labelled = face->has_label();
    const int32_t* vertices = face->vertices();
    const int32_t first = vertices[0];
    // The label anchor starts at the first corner; each further corner adds its offset from
    // the first, and "towards" scales the sum back to the mean of the corners.
    if (labelled) {
      r = WriteLine(CommandBuilder(output_).Text("translate ").Piece(anchor).Text(" ")
                        .Name(point, first).Text(" ").Name(point, first).Text(" ")
                        .Name(point, first));
      if (r != ResultCode::Ok) return r;
    }
    int32_t previous = first;
    for (uint32_t i = 1; i < count; ++i) {
      const int32_t vertex = vertices[i];
      r = WriteLine(CommandBuilder(output_).Text("drawsegment ").Name(point, previous)
                        .Text(" ").Name(point, vertex));
      if (r != ResultCode::Ok) return r;
      if (labelled) {
        r = WriteLine(CommandBuilder(output_).Text("translate ").Piece(anchor).Text(" ")
                          .Name(point, first).Text(" ").Name(point, vertex).Text(" ")
                          .Piece(anchor));
        if (r != ResultCode::Ok) return r;
      }
      previous = vertex;
    }
    r = WriteLine(CommandBuilder(output_).Text("drawsegment ").Name(point, previous)
                      .Text(" ").Name(point, first));
    if (r != ResultCode::Ok) return r;
    if (labelled) {
      r = WriteLine(CommandBuilder(output_).Text("towards ").Piece(anchor).Text(" ")
                        .Name(point, first).Text(" ").Piece(anchor).Text(" ")
                        .Fixed2(1.0 / count));
      if (r != ResultCode::Ok) return r;
      r = WriteLine(CommandBuilder(output_).Text("printat ").Piece(anchor).Text(" ")
                        .Braced(face->label()));
      if (r != ResultCode::Ok) return r;
    }
  }
  return ResultCode::Ok;
}

}  // namespace tsm2ostra
