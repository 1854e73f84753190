#include "calc/common.h"

#include <cmath>
#include <limits>

namespace lorvant {

std::string JoinLines(std::initializer_list<const char*> lines) {
  std::string text;
  bool first = true;
  for (const char* line : lines) {
    if (!first) text += "\r\n";
    text += line;
    first = false;
  }
  return text;
}

double roundHalfEven(double v) { return std::nearbyint(v); }

std::optional<std::int16_t> toInt16(double v) {
  const double r = roundHalfEven(v);
  if (!(r >= std::numeric_limits<std::int16_t>::min() && r <= std::numeric_limits<std::int16_t>::max()))
    return std::nullopt;
  return static_cast<std::int16_t>(r);
}

std::optional<std::int32_t> toInt32(double v) {
  const double r = roundHalfEven(v);
  if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max()))
    return std::nullopt;
  return static_cast<std::int32_t>(r);
}

}  // namespace lorvant
