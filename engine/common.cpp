#include "engine/common.h"

#include <cmath>
#include <limits>

namespace lorvant {

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
