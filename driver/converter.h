// The Converter: the whole state of one conversion, and every step of it as an operation.
#ifndef TSM2OSTRA_DRIVER_CONVERTER_H_
#define TSM2OSTRA_DRIVER_CONVERTER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "driver/output_stream.h"
#include "scan/byte_buffer.h"
#include "scan/char_source.h"
#include "scan/result_code.h"
#include "scan/tag_table.h"
#include "translate/face_list.h"
#include "translate/point_list.h"

namespace tsm2ostra {

// Longest token, and longest attribute text of one start tag, that a conversion accepts.
constexpr size_t kMaxTokenBytes = 1024 * 1024;
constexpr size_t kMaxAttributeBytes = 1024 * 1024;

// True when the n bytes at a and at b are equal. Inline and without a library call: fixed-size
// loads that may overlap but never reach past the n bytes of either side.
inline bool SameBytes(const char* a, const char* b, size_t n) {
  if (n >= 8) {
    for (;;) {
      uint64_t x, y;
      std::memcpy(&x, a, 8);
      std::memcpy(&y, b, 8);
      if (x != y) return false;
      if (n <= 16) {
        std::memcpy(&x, a + n - 8, 8);
        std::memcpy(&y, b + n - 8, 8);
        return x == y;
      }
      a += 8;
      b += 8;
      n -= 8;
    }
  }
  if (n >= 4) {
    uint32_t x, y, u, v;
    std::memcpy(&x, a, 4);
    std::memcpy(&y, b, 4);
    std::memcpy(&u, a + n - 4, 4);
    std::memcpy(&v, b + n - 4, 4);
    return ((x ^ y) | (u ^ v)) == 0;
  }
  if (n == 0) return true;
  return a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1];
}

class Converter {
 public:
  Converter() = default;
  virtual ~Converter() = default;
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts the whole input from source into output; both are borrowed.
  ResultCode ParseDocument(CharSource* source, OutputStream* output);

  // Sets source and output without parsing, for driving single steps.
  void Attach(CharSource* source, OutputStream* output) {
    source_ = source;
    output_ = output;
  }

  // Reads the next token into token(): Ok with a complete token; EndOfInput when the input
  // ended (inside a token: the part read; before one: the previous token stays); a token over
  // kMaxTokenBytes is InvalidInput, as is a source with nothing to read from.
  ResultCode NextToken();
  std::string_view token() const { return token_.view(); }
  // True when token() is exactly text; the length is compared first.
  bool TokenIs(std::string_view text) const {
    return token_.size() == text.size() && SameBytes(token_.data(), text.data(), text.size());
  }

  // Classifies the start-tag token held in token(). For a tag with attributes, collects the
  // attribute tokens into attributes(), joined, through the first one that ends in '>'.
  // Only an oversized attribute text or a failure other than the end of input is not Ok.
  ResultCode LookupTag(TagId* id) {
    attributes_.Clear();
    bool has_attributes;
    *id = ClassifyStartTag(token_.view(), &has_attributes);
    start_tag_id_ = *id;
    return has_attributes ? CollectAttributes() : ResultCode::Ok;
  }
  std::string_view attributes() const { return attributes_.view(); }

  // Keeps the start tag in token() for SkipElement before LookupTag reads on. Only a token
  // longer than the copy's present room is copied: a known element's start tag closes like
  // its opening tag, and an unknown one is still token() when it is skipped, since LookupTag
  // reads on only after known ones. So the copy asks for memory exactly when a copy of every
  // token would.
  ResultCode CopyStartTag() {
    start_tag_deferred_ = token_.size() <= start_tag_.capacity();
    return start_tag_deferred_ ? ResultCode::Ok : CopyLongStartTag();
  }
  // The start tag kept by CopyStartTag, or the opening tag of the element LookupTag found.
  std::string_view start_tag_copy() const {
    if (!start_tag_deferred_) return start_tag_.view();
    return start_tag_id_ != TagId::UnknownTag ? OpeningTag(start_tag_id_) : token();
  }
  // Reads tokens through the first one equal to the closing tag built from start_tag:
  // "</", start_tag without its first character, and '>' unless it ends in one.
  // InvalidInput when the input ends first.
  ResultCode SkipElement(std::string_view start_tag);

  // The fast way through the rest of a simple element, right after its start tag: when the
  // window holds, before anything else, up to kMaxPeekedFields tokens and then the closing
  // tag, each as NextToken would cut it and none quoted, returns the number of those tokens
  // and keeps them in peeked(0) ... peeked(n), the closing tag last. Else returns -1. Nothing
  // is read either way: TakePeeked(k) then leaves everything as if NextToken had just
  // returned peeked(k).
  static constexpr int kMaxPeekedFields = 8;
  int PeekElementRest(std::string_view closing_tag);
  std::string_view peeked(int k) const { return peeked_[k].text; }
  void TakePeeked(int k);
  // True when peeked(0) ... peeked(count - 1) are all numbers; stores their values.
  bool PeekedNumbers(int count, double* values) const;
  // Test hook: while false, PeekElementRest finds nothing, so that every element is read
  // token by token.
  static void AllowLookahead(bool allowed);

  // Reads a token and parses it as a number; InvalidInput unless both succeed.
  ResultCode ReadNumber(double* out);
  // The same result as ReadNumber, for a number whose value is not used.
  ResultCode CheckNumber();

  int64_t geometry_number() const { return geometry_number_; }
  const PointList& point_list() const { return points_; }
  const FaceList& face_list() const { return faces_; }

 private:
  using ChildStep = ResultCode (Converter::*)(TagId);

  // Document structure.
  ResultCode ParseModelContent();
  ResultCode ParseGeometries();
  ResultCode ParseGeometry();
  ResultCode SkipRawThroughTagEnd();
  ResultCode SkipRawThroughEmptyElementEnd();
  // The loop every element with children shares: reads children up to the element's
  // closing tag (Ok), hands each classified child to step; EndOfInput if the input ends first.
  ResultCode ParseChildren(TagId element, ChildStep step);
  ResultCode GeometryChild(TagId child);

  // Point sets.
  ResultCode ParsePointSet();
  ResultCode PointSetChild(TagId child);
  ResultCode PointsChild(TagId child);
  ResultCode PointColorsChild(TagId child);
  ResultCode ParsePoint();
  // Adds a point, with the start tag's label if it has one; false without memory.
  bool AppendPoint(double x, double y);
  ResultCode ParseThickness();
  ResultCode ParsePointColor();
  // Writes every point of the list.
  ResultCode WritePoints();

  // Vector fields.
  ResultCode ParseVectorField();
  ResultCode VectorFieldChild(TagId child);
  ResultCode VectorsChild(TagId child);
  ResultCode ParseVector(int64_t number, const PointEntry* base);

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
  // Adds an empty face, with the start tag's label if it has one; false without memory.
  bool AppendFace();
  ResultCode ParseFaceColor();
  // Writes every face of the list.
  ResultCode WriteFaces();

  // The out-of-line parts of LookupTag and CopyStartTag.
  ResultCode CollectAttributes();
  ResultCode CopyLongStartTag();

  // Shared by the set steps.
  // The rest of a "<c>" element: three numbers as colour components, then "</c>".
  ResultCode ReadColorElement(uint8_t* r, uint8_t* g, uint8_t* b);
  ResultCode ExpectClosingTag(TagId element);
  // Ends a command built on the output (see CommandBuilder), the one way commands go out;
  // WriteFailed once the output has failed.
  ResultCode WriteLine(const class CommandBuilder& command);

  OutputStream* output_ = nullptr;
  CharSource* source_ = nullptr;
  ByteBuffer token_;
  ByteBuffer attributes_;
  ByteBuffer start_tag_;
  // CopyStartTag left the start tag to start_tag_copy(), and what LookupTag found last.
  bool start_tag_deferred_ = false;
  TagId start_tag_id_ = TagId::UnknownTag;
  ByteBuffer closing_tag_;
  int64_t geometry_number_ = 0;
  // The lists of the current geometry.
  FaceList faces_;
  PointList points_;
  // Vectors of the current "<vectors>": the last number given, and the next base point.
  int64_t vector_number_ = 0;
  PointList::Position vector_base_at_;
  PointEntry* vector_base_ = nullptr;
  // Vectors standing directly in the current "<vectorField>", numbered on their own.
  int64_t field_vector_number_ = 0;
  PointList::Position field_vector_base_at_;
  PointEntry* field_vector_base_ = nullptr;
  // A '<' that ended a token and starts the next one.
  bool pushed_back_ = false;
  // What PeekElementRest found: each token's text in the window, and how reading stands
  // once NextToken has returned it (the bytes taken, line feeds among them and where the
  // bytes after the last one start, and whether a '<' is held).
  struct PeekedToken {
    std::string_view text;
    const unsigned char* end;
    int64_t line_feeds;
    const unsigned char* after_line_feed;
    bool holds_lt;
  };
  PeekedToken peeked_[kMaxPeekedFields + 1];
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_DRIVER_CONVERTER_H_
