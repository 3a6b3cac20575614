// The colour rule of the drawing: how a number of a "<c>" element becomes a component.
#ifndef TSM2OSTRA_TRANSLATE_COLOR_COMPONENT_H_
#define TSM2OSTRA_TRANSLATE_COLOR_COMPONENT_H_

#include <cstdint>

#include "scan/number_parser.h"

namespace tsm2ostra {

// The value truncated toward zero, low eight bits kept (255.9 -> 255, 256 -> 0, -1 -> 255).
// False outside the signed 32-bit range.
inline bool ToColorComponent(double value, uint8_t* out) {
  int32_t whole;
  if (!TruncateToInt32(value, &whole)) return false;
  *out = static_cast<uint8_t>(static_cast<uint32_t>(whole) & 0xFFu);
  return true;
}

}  // namespace tsm2ostra

#endif  // TSM2OSTRA_TRANSLATE_COLOR_COMPONENT_H_
