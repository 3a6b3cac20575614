// Number parsing by a strict grammar before the C library's conversion, and formatting.
#include "preview/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ostra2svg {

bool ParseDecimal(const std::string& text, double* value) {
  size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
  bool digits = false;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  if (!digits) return false;
  // The text is plain digits by now, so strtod can't read an exponent, "inf" or hex. No
  // locale is ever set, so its decimal point is '.'.
  const double v = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool ParseColourComponent(const std::string& text, int* value) {
  if (text.empty()) return false;
  int v = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > 255) return false;
  }
  *value = v;
  return true;
}

void AppendNumber(double v, int decimals, std::string* out) {
  char text[40];
  const char* format[] = {"%.0f", "%.1f", "%.2f"};
  if (std::fabs(v) >= 1e15) {
    std::snprintf(text, sizeof text, "%.17g", v);
  } else {
    const double half_unit[] = {0.5, 0.05, 0.005};
    if (decimals < 0 || decimals > 2) decimals = 2;
    if (std::fabs(v) < half_unit[decimals]) v = 0.0;  // no "-0.00"
    std::snprintf(text, sizeof text, format[decimals], v);
  }
  out->append(text);
}

}  // namespace ostra2svg
