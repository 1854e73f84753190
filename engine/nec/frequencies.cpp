#include "engine/nec/frequencies.h"

#include <algorithm>
#include <cmath>

namespace lorvant::nec {

BandEdges EdgesOf(int band) {
  static constexpr BandEdges kEdges[kBandCount] = {
      {1.81, 2.0},      {3.5, 3.8},    {5.3515, 5.3665}, {7.0, 7.2},   {10.1, 10.15}, {14.0, 14.35},
      {18.068, 18.168}, {21.0, 21.45}, {24.89, 24.99},   {28.0, 29.7}, {50.0, 52.0},
  };
  if (band < 0 || band >= kBandCount) return {};
  return kEdges[band];
}

int FrequencyPlan::count() const {
  int n = 0;
  for (const FrequencyStep& s : steps) n += s.count;
  return n;
}

double FrequencyPlan::highest() const {
  double top = 0;
  for (const FrequencyStep& s : steps) top = std::max(top, s.frequency(s.count - 1));
  return top;
}

FrequencyPlan PlanFrequencies(const BandValues& bands, Segment segment, bool extraBand, float extraFrequency,
                              int sweepPoints) {
  FrequencyPlan plan;
  for (int b = 0; b < kBandCount; ++b) {
    if (bands[static_cast<std::size_t>(b)] != BandState::Counted) continue;
    plan.steps.push_back({b, BandTableWFrequency(b, segment), 0, 1, false});
    if (sweepPoints >= 2) {
      const BandEdges e = EdgesOf(b);
      // The step as the deck writes it, so that the engine sweeps the very
      // frequencies listed here.
      const double step = std::round((e.high - e.low) / (sweepPoints - 1) * 1e9) / 1e9;
      plan.steps.push_back({b, e.low, step, sweepPoints, true});
    }
  }
  if (extraBand) {
    const FrequencyStep extra{kExtraBand, static_cast<double>(extraFrequency), 0, 1, false};
    const auto at = std::find_if(plan.steps.begin(), plan.steps.end(),
                                 [&](const FrequencyStep& s) { return s.start > extra.start; });
    plan.steps.insert(at, extra);
  }
  return plan;
}

float BandLabelFrequency(int band, float extraFrequency) {
  return band == kExtraBand ? extraFrequency : BandNennFrequenz(band);
}

}  // namespace lorvant::nec
