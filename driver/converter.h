// The Converter: the whole state of one conversion, and every step of it as an operation.
// It is built on the scanner (scan/) and the translation's state (translate/), with the output.
#ifndef TSM2OSTRA_DRIVER_CONVERTER_H_
#define TSM2OSTRA_DRIVER_CONVERTER_H_

#include <cstdint>

#include "driver/output_stream.h"
#include "scan/allocation.h"
#include "scan/char_source.h"
#include "scan/result_code.h"
#include "scan/scanner.h"
#include "scan/tag_table.h"
#include "translate/translation_state.h"

namespace tsm2ostra {

class CommandBuilder;

class Converter : private Scanner, private TranslationState {
 public:
  // Takes its memory from allocator, which outlives it.
  explicit Converter(Allocator* allocator) : Scanner(allocator), TranslationState(allocator) {}
  ~Converter() = default;

  // Tells function, from now on, what the conversion skips and can't draw (nothing when it
  // is null).
  void SetNoticeFunction(tsm2ostra_notice_fn function, void* context) {
    notices_.SetFunction(function, context);
  }
  // Converts the whole input from source into output; both are borrowed.
  ResultCode ParseDocument(CharSource* source, OutputStream* output);
  // What reading stopped at, and where it starts.
  using Scanner::stop_place;
  using Scanner::stop_token;

 private:
  using ChildStep = ResultCode (Converter::*)(TagId);

  // Document structure.
  ResultCode ParseModelContent();
  ResultCode ParseGeometries();
  ResultCode ParseGeometry();
  // The loop every element with children shares: reads children up to the element's
  // closing tag (Ok), hands each classified child to step; EndOfInput if the input ends first.
  ResultCode ParseChildren(TagId element, ChildStep step);
  ResultCode GeometryChild(TagId child);
  // SkipElement for a child of parent, told as a notice unless it is documentation.
  ResultCode SkipChild(TagId child, TagId parent);
  // Tells that element (a line or a face, starting at at) uses point number of the geometry,
  // when it has no such point yet; true then.
  bool NoteUndefinedVertex(Place at, TagId element, int64_t number);
  // Reads a token: Ok if it is the element's closing tag, else InvalidInput.
  ResultCode ExpectClosingTag(TagId element);

  // Point sets.
  ResultCode ParsePointSet();
  ResultCode PointSetChild(TagId child);
  ResultCode PointsChild(TagId child);
  ResultCode PointColorsChild(TagId child);
  ResultCode ParsePoint();
  ResultCode ParseThickness();
  ResultCode ParsePointColor();
  ResultCode WritePoints();

  // Vector fields.
  ResultCode ParseVectorField();
  ResultCode VectorFieldChild(TagId child);
  ResultCode VectorsChild(TagId child);
  ResultCode ParseVector(int64_t number, const PointEntry* base);
  // ParseVector for a vector with no point to start from, told as a notice.
  ResultCode ParseVectorFromNothing(int64_t number);

  // Line sets.
  ResultCode ParseLineSet();
  ResultCode LineSetChild(TagId child);
  ResultCode LinesChild(TagId child);
  ResultCode ParseLine();

  // Face sets.
  ResultCode ParseFaceSet();
  ResultCode FaceSetChild(TagId child);
  ResultCode FacesChild(TagId child);
  ResultCode FaceColorsChild(TagId child);
  ResultCode ParseFace();
  ResultCode ParseFaceColor();
  // Tells of the first corner of the face just read (starting at at) that names no point yet.
  void NoteUndefinedCorner(Place at);
  ResultCode WriteFaces();

  // The label of the element whose start tag was just classified: *labelled is false when
  // it has none; InvalidInput when its braces don't pair up.
  ResultCode TakeLabel(std::string_view* label, bool* labelled);
  // A "<c>" with no point (or face) left to colour: read, and told as a notice.
  ResultCode ParseColorOfNothing(bool faces);
  // The rest of a "<c>" element: three numbers as colour components, then "</c>".
  ResultCode ReadColorElement(uint8_t* r, uint8_t* g, uint8_t* b);
  // Ends a command built on the output, the one way commands go out; WriteFailed once the
  // output has failed.
  ResultCode WriteLine(const CommandBuilder& command);

  OutputStream* output_ = nullptr;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_CONVERTER_H_
