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

}  // namespace lorvant::sweep
