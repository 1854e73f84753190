// What a measured sweep says about each amateur band it covers: where the
// antenna resonates and where it matches the 50-ohm line best.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "engine/nec/frequencies.h"
#include "engine/sweep/sweep.h"

namespace lorvant::sweep {

struct BandFinding {
  int band = 0;     // 0..10
  float label = 0;  // the band's nominal frequency, MHz (7, 3.5, 24.9 ...)
  int points = 0;   // measured points within the band's edges
  // MHz where the reactance rises through zero (from capacitive to
  // inductive), between two measured points and interpolated straight,
  // lowest first; none known for a sweep of SWR alone.
  std::optional<std::vector<double>> resonances;
  double minSwr = 0;           // the lowest measured SWR in the band
  double minSwrFrequency = 0;  // MHz, the first point that has it
};

// The bands, lowest first, that at least two points of the sweep lie in
// (edges included), by the band plan of the region.
std::vector<BandFinding> AnalyseSweep(std::span<const SweepPoint> sweep, nec::Region region = nec::kDefaultRegion);

}  // namespace lorvant::sweep
