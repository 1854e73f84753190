// The model's feed impedance over frequency as a check solved it, for
// putting beside a measured sweep.
#pragma once

#include <vector>

#include "engine/nec/result.h"
#include "engine/sweep/touchstone.h"

namespace lorvant::sweep {

// The file a check writes them into, beside its deck.
inline constexpr const char* kModelSweepFileName = "Lorvant.s1p";

// Every frequency of the check's bands and sweeps, rising: a band's own
// frequency that is also a sweep point (or another band's) appears once.
std::vector<ModelPoint> ModelSweep(const nec::Result& result);

// Where the model of a band resonates (its reactance rising through zero),
// MHz, lowest first: the crossings between the band's solved frequencies
// within its edges, and the check's resonance search of the lowest band
// (finer, and reaching 10 % beyond the band) in place of the sweep's
// crossing near it. Empty where the sweep is too coarse or the band has
// none.
std::vector<double> ModelResonances(const nec::Result& result, int band);

}  // namespace lorvant::sweep
