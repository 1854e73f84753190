#include "engine/nec/frequencies.h"

#include <algorithm>
#include <cmath>

namespace lorvant::nec {

BandEdges EdgesOf(int band, Region region) {
  // The allocations of the regions' band plans, 160 m to 6 m. 60 m is the
  // world-wide allocation of 2015 in all three.
  static constexpr BandEdges kRegion1[kBandCount] = {
      {1.81, 2.0},      {3.5, 3.8},    {5.3515, 5.3665}, {7.0, 7.2},   {10.1, 10.15}, {14.0, 14.35},
      {18.068, 18.168}, {21.0, 21.45}, {24.89, 24.99},   {28.0, 29.7}, {50.0, 52.0},
  };
  static constexpr BandEdges kRegion2[kBandCount] = {
      {1.8, 2.0},       {3.5, 4.0},    {5.3515, 5.3665}, {7.0, 7.3},   {10.1, 10.15}, {14.0, 14.35},
      {18.068, 18.168}, {21.0, 21.45}, {24.89, 24.99},   {28.0, 29.7}, {50.0, 54.0},
  };
  static constexpr BandEdges kRegion3[kBandCount] = {
      {1.8, 2.0},       {3.5, 3.9},    {5.3515, 5.3665}, {7.0, 7.2},   {10.1, 10.15}, {14.0, 14.35},
      {18.068, 18.168}, {21.0, 21.45}, {24.89, 24.99},   {28.0, 29.7}, {50.0, 54.0},
  };
  if (band < 0 || band >= kBandCount) return {};
  const auto b = static_cast<std::size_t>(band);
  switch (region) {
    case Region::Two:
      return kRegion2[b];
    case Region::Three:
      return kRegion3[b];
    case Region::One:
      break;
  }
  return kRegion1[b];
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
                              int sweepPoints, Region region) {
  // Numbers as the deck writes them, so that the engine solves the very
  // frequencies listed here.
  const auto asWritten = [](double mhz) { return std::round(mhz * 1e9) / 1e9; };
  FrequencyPlan plan;
  bool lowest = true;
  for (int b = 0; b < kBandCount; ++b) {
    if (bands[static_cast<std::size_t>(b)] != BandState::Counted) continue;
    const double own = BandTableWFrequency(b, segment);
    plan.steps.push_back({b, own, 0, 1, StepKind::Own});
    if (sweepPoints >= 2) {
      const BandEdges e = EdgesOf(b, region);
      plan.steps.push_back({b, e.low, asWritten((e.high - e.low) / (sweepPoints - 1)), sweepPoints, StepKind::Sweep});
    }
    if (lowest) {
      // The own frequency is the middle point; the sweep's points add to
      // the search.
      const double step = asWritten(own * kResonanceStep);
      plan.steps.push_back({b, asWritten(own - 2 * step), step, 2, StepKind::Resonance});
      plan.steps.push_back({b, asWritten(own + step), step, 2, StepKind::Resonance});
      lowest = false;
    }
  }
  if (extraBand) {
    // Before the first band above it, never inside a band's steps.
    const FrequencyStep extra{kExtraBand, static_cast<double>(extraFrequency), 0, 1, StepKind::Own};
    const auto at = std::find_if(plan.steps.begin(), plan.steps.end(), [&](const FrequencyStep& s) {
      return s.kind == StepKind::Own && s.start > extra.start;
    });
    plan.steps.insert(at, extra);
  }
  return plan;
}

float BandLabelFrequency(int band, float extraFrequency) {
  return band == kExtraBand ? extraFrequency : BandNennFrequenz(band);
}

}  // namespace lorvant::nec
