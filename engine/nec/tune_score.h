// What the tuning counts in a checked design: how many bands are usable at
// its feed point and their worst SWR through the balun that serves them
// best, each band's SWR weighted as the user asks.
#pragma once

#include <optional>
#include <vector>

#include "engine/nec/result.h"
#include "engine/nec/tune.h"

namespace lorvant::nec {

// A band's weight: its excess over a perfect match, SWR - 1, counts `weight`
// times. A band weighted 2 at SWR 2 counts as SWR 3 elsewhere; one weighted
// 0.5 at SWR 3 as SWR 2.
struct BandWeight {
  int band = 0;  // 0..10, or kExtraBand
  double weight = 1;
};

// The SWR as it counts for the band: 1 + weight * (swr - 1).
double WeightedSwr(double swr, int band, const std::vector<BandWeight>& weights);

// The score of a solved check (its impedances and usable bands as
// Evaluate settled them): the usable bands, and the lowest over the balun
// ratios (the given one, or each of kBalunRatios, the smaller on a tie) of
// the worst weighted SWR over the usable bands' own and sweep frequencies.
// Without weights the ratio and the worst SWR are those SettleBalun finds.
TuneScore ScoreOf(const Result& result, std::optional<double> givenRatio, const std::vector<BandWeight>& weights);

}  // namespace lorvant::nec
