// Vector fields: each "<v>" becomes a tip point Q<g>_<k> and a vector drawn to it from the
// k-th point of the geometry, written at once.
#include <cmath>

#include "driver/converter.h"
#include "scan/number_parser.h"
#include "translate/command_builder.h"

namespace tsm2ostra {

ResultCode Converter::ParseVectorField() {
  // "<v>" elements standing directly in the field are numbered on their own, from 1.
  field_vector_number_ = 0;
  field_vector_base_ = points_.First(&field_vector_base_at_);
  return ParseChildren(TagId::VectorField, &Converter::VectorFieldChild);
}

ResultCode Converter::VectorFieldChild(TagId child) {
  switch (child) {
    case TagId::Vectors:
      vector_number_ = 0;
      vector_base_ = points_.First(&vector_base_at_);
      return ParseChildren(TagId::Vectors, &Converter::VectorsChild);
    case TagId::V: {
      const PointEntry* base = field_vector_base_;
      if (base != nullptr) field_vector_base_ = points_.Next(&field_vector_base_at_);
      return ParseVector(++field_vector_number_, base);
    }
    default:
      return SkipElement(start_tag_copy());
  }
}

// Only "<v>" children take a number and a base point; other children are skipped and
// leave the pairing alone, so vector k is always drawn from point k.
ResultCode Converter::VectorsChild(TagId child) {
  if (child != TagId::V) return SkipElement(start_tag_copy());
  const PointEntry* base = vector_base_;
  if (base != nullptr) vector_base_ = points_.Next(&vector_base_at_);
  return ParseVector(++vector_number_, base);
}

ResultCode Converter::ParseVector(int64_t number, const PointEntry* base) {
  double ab[2];
  double tip_x = 0, tip_y = 0;
  // The usual vector, "<v>x y z</v>" whole in the window and valid, is read in one step.
  bool whole = PeekElementRest(ClosingTag(TagId::V)) == 3 && PeekedNumbers(2, ab) &&
               ValidateNumber(peeked(2)) == ResultCode::Ok;
  if (whole && base != nullptr) {
    tip_x = ab[0] * 10 + base->x;
    tip_y = ab[1] * 10 + base->y;
    whole = std::isfinite(tip_x) && std::isfinite(tip_y);
  }
  ResultCode r;
  if (!whole) {
    r = ReadNumber(&ab[0]);
    if (r != ResultCode::Ok) return r;
    r = ReadNumber(&ab[1]);
    if (r != ResultCode::Ok) return r;
    r = CheckNumber();  // read and not used
    if (r != ResultCode::Ok) return r;
    if (base != nullptr) {
      tip_x = ab[0] * 10 + base->x;
      tip_y = ab[1] * 10 + base->y;
      if (!std::isfinite(tip_x) || !std::isfinite(tip_y)) return ResultCode::InvalidInput;
    }
  }
  r = ResultCode::Ok;
  if (base != nullptr) {  // a vector with no point to start from writes nothing
    r = WriteLine(CommandBuilder(output_).Text("point ").Name('Q', geometry_number_, number)
                         .Text(" ").Fixed2(tip_x).Text(" ").Fixed2(tip_y));
    if (r == ResultCode::Ok) {
      r = WriteLine(CommandBuilder(output_).Text("drawvector ")
                           .Name('P', geometry_number_, number).Text(" ")
                           .Name('Q', geometry_number_, number));
    }
  }
  if (whole) {
    // Through the third number if a write failed, else through the closing tag.
    TakePeeked(r == ResultCode::Ok ? 3 : 2);
    return r;
  }
  if (r != ResultCode::Ok) return r;
  return ExpectClosingTag(TagId::V);
}

}  // namespace tsm2ostra
