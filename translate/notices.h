// Notices: the parts of a model that the conversion reads and leaves out of the drawing, each
// told to the caller's notice function in one sentence; and the known tag that a mistyped
// one was meant to be.
#ifndef TSM2OSTRA_TRANSLATE_NOTICES_H_
#define TSM2OSTRA_TRANSLATE_NOTICES_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/char_source.h"
#include "scan/tag_table.h"
#include "driver/sentence.h"
#include "translate/geometry_names.h"
#include "tsm2ostra/tsm2ostra.h"

namespace tsm2ostra {

// The known element whose name differs from name (a tag without its '<', '>' or "/>") only
// in case, or by one typing slip (a letter added, dropped, changed or two swapped; names of
// four letters or more); UnknownTag when there is none.
TagId MeantTag(std::string_view name);

// Adds " is not a known element" to s, which one tag was meant to be when MeantTag knows,
// and then, after "I" (a new sentence) or ": i".
void AddNotKnown(Sentence* s, std::string_view tag, const char* then);

// Where the known element id is read, as in "it belongs inside <geometry>".
const char* HomeOf(TagId id);

// The documentation elements, which are meant to be skipped.
constexpr bool IsDocumentation(TagId id) {
  return id >= TagId::Meta && id <= TagId::Description;
}

// Builds each sentence in a fixed buffer for the caller's function: taking no memory, notices
// can't change a result. Callers test on() first, on their slow paths only.
class Notices {
 public:
  void SetFunction(tsm2ostra_notice_fn function, void* context) {
    function_ = function;
    context_ = context;
  }
  bool on() const { return function_ != nullptr; }

  // An element skipped with its content: tag is its start tag as written, id what it
  // classified as, parent the element it stood in. In <tsm-model> it is not skipped but
  // ends the root element's content.
  void Skipped(Place at, std::string_view tag, TagId id, TagId parent);
  // A "<c>" with no point (or face) left to colour; none: the geometry has none at all.
  void NothingToColor(Place at, std::string_view tag, bool faces, bool none);
  // Vector number with no point to start from; count: the geometry's points.
  void NoBasePoint(Place at, std::string_view tag, int64_t number, int64_t count);
  // A line or face (tag) whose vertex names point number (named with point) of a geometry
  // that has count points.
  void UndefinedVertex(Place at, std::string_view tag, int64_t vertex, const NamePiece& point,
                       int64_t number, int64_t count);

 private:
  void Send(Place at, tsm2ostra_notice_kind kind, std::string_view tag);

  tsm2ostra_notice_fn function_ = nullptr;
  void* context_ = nullptr;
  Sentence s_;
};

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_NOTICES_H_
