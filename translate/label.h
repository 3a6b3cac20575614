// The label convention: an element's name taken from its collected attribute text.
#ifndef TSM2OSTRA_TRANSLATE_LABEL_H_
#define TSM2OSTRA_TRANSLATE_LABEL_H_

#include <string_view>

namespace tsm2ostra {

// Finds the label in attribute text: what follows the first "name=" up to the next double
// quote (the tokenizer keeps a value's closing quote only). Without a closing quote the label
// runs to the end of the text, less the tag's final '>' and a '/' directly before it.
// Returns false when the text holds no "name=". The label may be empty.
bool FindLabel(std::string_view attributes, std::string_view* label);

// True when the label's braces pair up, counted as bytes from left to right: no '}' closes
// more than was opened before it, and no '{' is open at the end. A label is written between
// braces, so one that doesn't pair up would end them early or take the commands after it in.
bool BracesPairUp(std::string_view label);

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_LABEL_H_
