#include "engine/sweep/model_sweep.h"

#include <algorithm>
#include <cmath>

#include "engine/sweep/analysis.h"

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

std::vector<double> ModelResonances(const nec::Result& result, int band) {
  Sweep points;
  for (const ModelPoint& m : ModelSweep(result)) points.push_back({m.frequency, m.impedance, SwrOf(m.impedance)});
  std::vector<double> zeros;
  for (const BandFinding& f : AnalyseSweep(points, result.region))
    if (f.band == band && f.resonances) zeros = *f.resonances;
  if (result.resonance && result.resonance->band == band) {
    const double searched = result.resonance->frequency;
    // Two coarse points' straight line misses by well under 1 %.
    std::erase_if(zeros, [searched](double f) { return std::fabs(f - searched) < 0.01 * searched; });
    zeros.insert(std::upper_bound(zeros.begin(), zeros.end(), searched), searched);
  }
  return zeros;
}

}  // namespace lorvant::sweep
