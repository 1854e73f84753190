#include "engine/resonances.h"

#include "engine/common.h"
#include "engine/current.h"

namespace lorvant {

ResonanceFigures BandResonances(const ResonanceWire& w) {
  const float vkRest = sng(1.0 - static_cast<double>(w.vk));
  ResonanceFigures r;
  // From 50 MHz down, the order the list was always computed in.
  for (int b = kBandCount - 1; b >= 0; --b)
    r.band[static_cast<std::size_t>(b)] = ResonanzTest(
        w.segment, w.f0, kResonanceTestFrequency[static_cast<std::size_t>(b)], w.n, w.length, vkRest, w.ins, w.calc);
  if (w.extraBand) r.extra = ResonanzTest(w.segment, w.f0, w.f0, w.n, w.length, vkRest, w.ins, w.calc);
  return r;
}

}  // namespace lorvant
