// Vector fields: each "<v>" becomes a tip point Q<g>_<k> and a vector drawn to it from the
// k-th point of the geometry, written at once.
#include <cmath>

#include "driver/converter.h"
#include "scan/number_parser.h"
#include "translate/command_builder.h"

namespace tsm2ostra {

ResultCode Converter::ParseVectorField() {
  field_vectors_.Start(points_);
  return ParseChildren(TagId::VectorField, &Converter::VectorFieldChild);
}

ResultCode Converter::VectorFieldChild(TagId child) {
  switch (child) {
    case TagId::Vectors:
      vectors_.Start(points_);
      return ParseChildren(TagId::Vectors, &Converter::VectorsChild);
    case TagId::V: {
      const PointEntry* base = field_vectors_.Take(points_);
      if (base == nullptr && notices_.on()) return ParseVectorFromNothing(field_vectors_.number());
      return ParseVector(field_vectors_.number(), base);
    }
    default:
      return SkipChild(child, TagId::VectorField);
  }
}

// Only "<v>" children take a number and a base point; other children are skipped and
// leave the pairing alone, so vector k is always drawn from point k.
ResultCode Converter::VectorsChild(TagId child) {
  if (child != TagId::V) return SkipChild(child, TagId::Vectors);
  const PointEntry* base = vectors_.Take(points_);
  if (base == nullptr && notices_.on()) return ParseVectorFromNothing(vectors_.number());
  return ParseVector(vectors_.number(), base);
}

ResultCode Converter::ParseVector(int64_t number, const PointEntry* base) {
  double a, b;
  ResultCode r = ReadNumber(&a);
  if (r != ResultCode::Ok) return r;
  r = ReadNumber(&b);
  if (r != ResultCode::Ok) return r;
  r = CheckNumber();  // read and not used
  if (r != ResultCode::Ok) return r;
  if (base != nullptr) {  // a vector with no point to start from writes nothing
    const double tip_x = a * 10 + base->x;
    const double tip_y = b * 10 + base->y;
    if (!std::isfinite(tip_x) || !std::isfinite(tip_y)) return ResultCode::InvalidInput;
    r = WriteLine(CommandBuilder(output_).Text("point ").Name(names_.tip(), number).Text(" ")
                      .Fixed2(tip_x).Text(" ").Fixed2(tip_y));
    if (r != ResultCode::Ok) return r;
    r = WriteLine(CommandBuilder(output_).Text("drawvector ").Name(names_.point(), number).Text(" ")
                      .Name(names_.tip(), number));
    if (r != ResultCode::Ok) return r;
  }
  return ExpectClosingTag(TagId::V);
}

ResultCode Converter::ParseVectorFromNothing(int64_t number) {
  const Place at = StartTagPlace(TagId::V);
  const std::string_view tag = StartTag(TagId::V);
  const ResultCode r = ParseVector(number, nullptr);
  if (r == ResultCode::Ok) notices_.NoBasePoint(at, tag, number, points_.size());
  return r;
}

}  // namespace tsm2ostra
