// The label convention.
#include "translate/label.h"

namespace tsm2ostra {

bool FindLabel(std::string_view attributes, std::string_view* label) {
  size_t key = attributes.find("name=");
  if (key == std::string_view::npos) return false;
  size_t start = key + 5;
  size_t end = attributes.find('"', start);
  if (end == std::string_view::npos) {
    end = attributes.size();
    if (end > start && attributes[end - 1] == '>') {
      --end;
      if (end > start && attributes[end - 1] == '/') --end;
    }
  }
  *label = attributes.substr(start, end - start);
  return true;
}

bool BracesPairUp(std::string_view label) {
  size_t open = 0;
  for (const char c : label) {
    if (c == '{') {
      ++open;
    } else if (c == '}') {
      if (open == 0) return false;
      --open;
    }
  }
  return open == 0;
}

}  // namespace tsm2ostra
