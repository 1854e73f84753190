// A candidate feed point: where on the wire the scan found it and the
// currents there.
//
// Notation: x position from the wire's start, m; G a band's current value
// there, 0..1 (the geometric mean of the relative currents seen from both
// ends); S the current sum, the mean of G over the counted bands.
#pragma once

#include <array>

#include "engine/bands.h"

namespace lorvant {

// One candidate feed point of the run.
struct FeedCandidate {
  double x = 0;  // metres from the wire's start
  double S = 0;  // current sum there
  // G of every band (band index 0 = 1.8 ... 10 = 50 MHz); 0 for a band
  // that is off, the value for a grey band.
  std::array<double, kBandCount> G{};
  double extraG = 0;  // additional band; 0 when absent
};

}  // namespace lorvant
