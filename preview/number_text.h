// Numbers read from a drawing and numbers written into a picture.
#ifndef OSTRA2SVG_PREVIEW_NUMBER_TEXT_H_
#define OSTRA2SVG_PREVIEW_NUMBER_TEXT_H_

#include <string>

namespace ostra2svg {

// Reads a plain decimal: an optional '-', digits with at most one '.', at least one digit
// (so "70.00", "-0.13", "5" and ".5"). Any number of digits, rounded to the nearest double.
// False for anything else, and for a value too large for a double.
bool ParseDecimal(const std::string& text, double* value);

// Reads a colour component: digits only, with a value from 0 to 255.
bool ParseColourComponent(const std::string& text, int* value);

// Appends v with the given number of decimals (0 to 2). From 1e15 on, where a double holds
// no fraction anyway, it is written to 17 significant digits, exactly, with an exponent once
// that is shorter ("1e+20"). A value that rounds to zero is written without a sign.
void AppendNumber(double v, int decimals, std::string* out);

}  // namespace ostra2svg

#endif  // OSTRA2SVG_PREVIEW_NUMBER_TEXT_H_
