#include "engine/sweep/model_sweep.h"

#include <algorithm>

namespace lorvant::sweep {

std::vector<ModelPoint> ModelSweep(const nec::Result& result) {
  std::vector<ModelPoint> points;
  points.reserve(result.bands.size() + result.sweep.size());
  for (const nec::BandCheck& b : result.bands) points.push_back({b.solved.frequency, b.solved.impedance});
  for (const nec::SolvedFrequency& s : result.sweep) points.push_back({s.frequency, s.impedance});
  // Stable: of one frequency solved twice the band's own answer is kept.
  std::stable_sort(points.begin(), points.end(),
                   [](const ModelPoint& a, const ModelPoint& b) { return a.frequency < b.frequency; });
  points.erase(std::unique(points.begin(), points.end(),
                           [](const ModelPoint& a, const ModelPoint& b) { return a.frequency == b.frequency; }),
               points.end());
  return points;
}

}  // namespace lorvant::sweep
