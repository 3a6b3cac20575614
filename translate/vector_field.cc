// Vector fields: each "<v>" becomes a tip point Q<g>_<k> and a vector drawn to it from the
// k-th point of the geometry, written at once.
#include <cmath>

#include "driver/converter.h"
#include "translate/command_builder.h"

namespace tsm2ostra {

ResultCode Converter::ParseVectorField() {
  // "<v>" elements standing directly in the field are numbered on their own, from 1.
  field_vector_number_ = 0;
  field_vector_base_ = points_->First(&field_vector_base_at_);
  return ParseChildren(TagId::VectorField, &Converter::VectorFieldChild);
}

ResultCode Converter::VectorFieldChild(TagId child) {
  switch (child) {
    case TagId::Vectors:
      vector_number_ = 0;
      vector_base_ = points_->First(&vector_base_at_);
      return ParseChildren(TagId::Vectors, &Converter::VectorsChild);
    case TagId::V: {
      const PointEntry* base = field_vector_base_;
      if (base != nullptr) field_vector_base_ = points_->Next(&field_vector_base_at_);
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
  if (base != nullptr) vector_base_ = points_->Next(&vector_base_at_);
  return ParseVector(++vector_number_, base);
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
    double tip_x = a * 10 + base->x;
    double tip_y = b * 10 + base->y;
    if (!std::isfinite(tip_x) || !std::isfinite(tip_y)) return ResultCode::InvalidInput;
    r = WriteCommand(CommandBuilder(output_).Text("point ").Name('Q', geometry_number_, number)
                         .Text(" ").Fixed2(tip_x).Text(" ").Fixed2(tip_y));
    if (r != ResultCode::Ok) return r;
    r = WriteCommand(CommandBuilder(output_).Text("drawvector ")
                         .Name('P', geometry_number_, number).Text(" ")
                         .Name('Q', geometry_number_, number));
    if (r != ResultCode::Ok) return r;
  }
  return ExpectClosingTag(TagId::V);
}

}  // namespace tsm2ostra
