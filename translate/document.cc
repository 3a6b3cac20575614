// The document structure: prologue, root elements, descriptive elements, the geometries list
// and each geometry, handing set elements to their steps.
#include "driver/converter.h"

namespace tsm2ostra {

ResultCode Converter::ParseDocument(CharSource* source, OutputStream* output) {
  SetSource(source);
  output_ = output;
  ResultCode r = NextToken();
  for (;;) {
    if (IsHardFailure(r)) return r;
    // The token text is tested before the result: at the end of the input it still holds
    // the previous token, so a prologue keyword there starts another skip, which fails.
    if (TokenIs("<?xml") || TokenIs("<!DOCTYPE")) {
      ResultCode skipped = SkipRawThroughTagEnd();
      if (skipped != ResultCode::Ok) return skipped;
    } else {
      // The input may end only between tokens, and after a closed root element.
      if (r == ResultCode::EndOfInput) {
        return token_cut() || root_open_ ? ResultCode::EndOfInput : ResultCode::Ok;
      }
      TagId id;
      ResultCode looked = LookupTag(&id);
      if (looked != ResultCode::Ok) return looked;
      if (id != TagId::TsmModel) return ResultCode::InvalidInput;
      root_open_ = true;
      ResultCode content = ParseModelContent();
      if (content != ResultCode::Ok) return content;
    }
    r = NextToken();
  }
}

ResultCode Converter::ParseModelContent() {
  for (;;) {
    ResultCode r = NextToken();
    if (IsHardFailure(r)) return r;
    while (TokenIs("<meta")) {
      ResultCode skipped = SkipRawThroughEmptyElementEnd();
      if (skipped != ResultCode::Ok) return skipped;
      r = NextToken();
      if (IsHardFailure(r)) return r;
    }
    if (TokenIs(ClosingTag(TagId::TsmModel))) {
      root_open_ = false;
      return ResultCode::Ok;
    }
    if (r == ResultCode::EndOfInput) return ResultCode::EndOfInput;  // root still open
    TagId id;
    ResultCode looked = LookupTag(&id);
    if (looked != ResultCode::Ok) return looked;
    ResultCode child;
    switch (id) {
      case TagId::Meta:
      case TagId::Title:
      case TagId::Version:
      case TagId::Authors:
      case TagId::Description:
        child = SkipElement(id);
        break;
      case TagId::Geometries:
        child = ParseGeometries();
        break;
      default:
        // Anything else ends the root content; the document level reads on.
        if (notices_.on()) notices_.Skipped(StartTagPlace(id), StartTag(id), id, TagId::TsmModel);
        return ResultCode::Ok;
    }
    if (child != ResultCode::Ok) return child;
  }
}

ResultCode Converter::ParseGeometries() {
  ResultCode r = NextToken();
  for (;;) {
    if (IsHardFailure(r)) return r;
    if (TokenIs(ClosingTag(TagId::Geometries))) return ResultCode::Ok;
    if (r == ResultCode::EndOfInput) return ResultCode::EndOfInput;
    TagId id;
    ResultCode looked = LookupTag(&id);
    if (looked != ResultCode::Ok) return looked;
    if (id != TagId::Geometry) return ResultCode::InvalidInput;
    ResultCode geometry = ParseGeometry();
    if (geometry != ResultCode::Ok) return geometry;
    r = NextToken();
  }
}

ResultCode Converter::ParseGeometry() {
  if (geometry_number_ == INT64_MAX) return ResultCode::InvalidInput;
  ++geometry_number_;
  names_ = GeometryNames(geometry_number_);
  faces_.Clear();
  points_.Clear();
  return ParseChildren(TagId::Geometry, &Converter::GeometryChild);
}

ResultCode Converter::GeometryChild(TagId child) {
  switch (child) {
    case TagId::PointSet: return ParsePointSet();
    case TagId::VectorField: return ParseVectorField();
    case TagId::LineSet: return ParseLineSet();
    case TagId::FaceSet: return ParseFaceSet();
    default: return SkipChild(child, TagId::Geometry);
  }
}

}  // namespace tsm2ostra
