// Why a conversion was refused, in one sentence; for the refused forms that look normal, what
// to write instead.
#include "driver/refusal_explanation.h"

#include <string_view>

#include "scan/tag_table.h"
#include "translate/notices.h"
#include "tsm2ostra/tsm2ostra.h"

namespace tsm2ostra {
namespace {

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

// A number written with a '+' ("1e+06", "+5"): only digits, '.', 'e', 'E', '-' and '+'.
bool IsNumberWithPlus(std::string_view token) {
  bool digit = false;
  for (char c : token) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c != '.' && c != 'e' && c != 'E' && c != '-' && c != '+') {
      return false;
    }
  }
  return digit && token.find('+') != std::string_view::npos;
}

void AddQuoted(Sentence* s, std::string_view token) {
  s->Add("'");
  s->AddShown(token);
  s->Add("'");
}

// A start tag refused where it stands, or (when reading went on to a later line) one that
// was being skipped when the model ended.
void ExplainStartTag(Sentence* s, std::string_view token, const tsm2ostra_result& result) {
  bool has_attributes;
  const TagId id = ClassifyStartTag(token, &has_attributes);
  std::string_view name = token.substr(1);
  if (!name.empty() && name.back() == '>') name.remove_suffix(1);
  const TagId meant = id != TagId::UnknownTag ? id : MeantTag(name);
  AddQuoted(s, token);
  if (result.line != result.token_line) {
    s->Add(" is refused: nothing closes it before the model ends");
  } else if (id != TagId::UnknownTag) {
    s->Add(" is refused: it does not belong here (it belongs ");
    s->Add(HomeOf(id));
    s->Add("), or an element before it is not closed");
  } else {
    s->Add(" is refused: it does not belong here");
  }
  if (id == TagId::UnknownTag && meant != TagId::UnknownTag) {
    s->Add("; did you mean ");
    s->Add(OpeningTag(meant));
    s->Add("?");
  } else {
    s->Add(".");
  }
}

void ExplainInvalidInput(Sentence* s, const tsm2ostra_result& result) {
  const std::string_view token(result.token);
  if (token.empty()) {
    s->Add("the model is refused.");
  } else if (StartsWith(token, "\xEF\xBB\xBF")) {
    s->Add("a byte-order mark is refused: save the model without it.");
  } else if (token.find('\r') != std::string_view::npos) {
    s->Add("a carriage return that ends no line is refused: save the model with line feeds "
           "as line ends.");
  } else if (StartsWith(token, "<!--")) {
    AddQuoted(s, token);
    s->Add(" is refused: comments are not read; remove <!-- ... -->.");
  } else if (token == "<?xml" || token == "<!DOCTYPE") {
    AddQuoted(s, token);
    s->Add(" is refused: the model ends in its prologue, before <tsm-model>.");
  } else if (StartsWith(token, "<?")) {
    AddQuoted(s, token);
    s->Add(" is refused: of the processing instructions only <?xml followed by a blank is "
           "read; remove it.");
  } else if (StartsWith(token, "<!") || StartsWith(token, "]")) {
    AddQuoted(s, token);
    s->Add(" is refused: a <!DOCTYPE> with an internal subset [...] is not read; remove the "
           "subset.");
  } else if (token.size() > 3 && token[0] == '<' && token.substr(token.size() - 2) == "/>") {
    const std::string_view name = token.substr(1, token.size() - 3);
    AddQuoted(s, token);
    s->Add(" is refused: an element is not closed by '/>'; write <");
    s->AddShown(name);
    s->Add("></");
    s->AddShown(name);
    s->Add(">.");
  } else if (IsNumberWithPlus(token)) {
    AddQuoted(s, token);
    const bool exponent = token.find("e+") != std::string_view::npos ||
                          token.find("E+") != std::string_view::npos;
    s->Add(exponent ? " is refused: an exponent takes no '+'; write "
                    : " is refused: a number takes no '+'; write ");
    for (char c : token) {
      if (c != '+') s->Add(std::string_view(&c, 1));
    }
    s->Add(".");
  } else if (StartsWith(token, "</")) {
    AddQuoted(s, token);
    s->Add(" is refused: it comes too early, or closes no element that is open here.");
  } else if (token[0] == '<') {
    ExplainStartTag(s, token, result);
  } else {
    AddQuoted(s, token);
    s->Add(" is refused here.");
  }
}

}  // namespace

void ExplainRefusal(const tsm2ostra_result& result, Sentence* s) {
  if (result.status == TSM2OSTRA_INVALID_INPUT) {
    ExplainInvalidInput(s, result);
  } else if (result.status == TSM2OSTRA_END_OF_INPUT) {
    s->Add("the model ends before </tsm-model>: it is cut short, or an element is not "
           "closed.");
  }
}

}  // namespace tsm2ostra

