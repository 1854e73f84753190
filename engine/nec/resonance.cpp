#include "engine/nec/resonance.h"

#include <cmath>

namespace lorvant::nec {

std::optional<double> ZeroCrossing(std::span<const ReactancePoint> points, double near) {
  std::optional<double> best;
  const auto consider = [&](double f) {
    if (!best || std::fabs(f - near) < std::fabs(*best - near)) best = f;
  };
  for (std::size_t i = 0; i < points.size(); ++i) {
    const ReactancePoint& b = points[i];
    if (b.reactance == 0) {
      consider(b.frequency);
      continue;
    }
    if (i == 0) continue;
    const ReactancePoint& a = points[i - 1];
    if (a.reactance < 0 && b.reactance > 0)
      consider(a.frequency + (b.frequency - a.frequency) * (-a.reactance) / (b.reactance - a.reactance));
  }
  return best;
}

}  // namespace lorvant::nec
