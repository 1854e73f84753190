#include "engine/nec/tune_score.h"

#include <algorithm>

#include "engine/nec/swr.h"

namespace lorvant::nec {

namespace {

double WorstWeighted(const Result& result, double ratio, const std::vector<BandWeight>& weights) {
  double worst = 0;
  const auto consider = [&](const SolvedFrequency& s) {
    worst = std::max(worst, WeightedSwr(Swr(s.impedance, ratio), s.band, weights));
  };
  for (const BandCheck& b : result.bands) {
    if (!b.usable) continue;
    consider(b.solved);
    for (const SolvedFrequency& s : result.sweep)
      if (s.band == b.solved.band) consider(s);
  }
  return worst;
}

}  // namespace

double WeightedSwr(double swr, int band, const std::vector<BandWeight>& weights) {
  for (const BandWeight& w : weights)
    if (w.band == band) return 1 + w.weight * (swr - 1);
  return swr;
}

TuneScore ScoreOf(const Result& result, std::optional<double> givenRatio, const std::vector<BandWeight>& weights) {
  TuneScore score;
  score.valid = true;
  score.usableBands = static_cast<int>(
      std::count_if(result.bands.begin(), result.bands.end(), [](const BandCheck& b) { return b.usable; }));
  if (givenRatio) {
    score.balunRatio = *givenRatio;
    score.worstSwr = WorstWeighted(result, *givenRatio, weights);
    return score;
  }
  score.balunRatio = kBalunRatios[0];
  score.worstSwr = WorstWeighted(result, kBalunRatios[0], weights);
  for (double ratio : kBalunRatios) {
    const double worst = WorstWeighted(result, ratio, weights);
    if (worst < score.worstSwr) score.balunRatio = ratio, score.worstSwr = worst;
  }
  return score;
}

}  // namespace lorvant::nec
