#include "engine/sweep/analysis.h"

#include "engine/bands.h"

namespace lorvant::sweep {

namespace {

bool Within(double f, const nec::BandEdges& e) { return f >= e.low && f <= e.high; }

// The rising zero crossings of the reactance inside the edges. A pair of
// points may reach over an edge: its crossing counts where it falls.
std::vector<double> RisingZeros(std::span<const SweepPoint> sweep, const nec::BandEdges& e) {
  std::vector<double> zeros;
  for (std::size_t i = 1; i < sweep.size(); ++i) {
    const SweepPoint& a = sweep[i - 1];
    const SweepPoint& b = sweep[i];
    if (!a.impedance || !b.impedance) continue;
    const double xa = a.impedance->imag(), xb = b.impedance->imag();
    // A reactance of exactly 0 is the crossing of the pair that rises to it.
    if (!(xa < 0 && xb >= 0)) continue;
    const double f = a.frequency + (0 - xa) * (b.frequency - a.frequency) / (xb - xa);
    if (Within(f, e)) zeros.push_back(f);
  }
  return zeros;
}

bool HasImpedances(std::span<const SweepPoint> sweep) {
  for (const SweepPoint& p : sweep)
    if (p.impedance) return true;
  return false;
}

}  // namespace

std::vector<BandFinding> AnalyseSweep(std::span<const SweepPoint> sweep, nec::Region region) {
  std::vector<BandFinding> findings;
  const bool impedances = HasImpedances(sweep);
  for (int band = 0; band < kBandCount; ++band) {
    const nec::BandEdges edges = nec::EdgesOf(band, region);
    BandFinding f;
    f.band = band;
    f.label = BandNennFrequenz(band);
    for (const SweepPoint& p : sweep) {
      if (!Within(p.frequency, edges)) continue;
      if (f.points == 0 || p.swr < f.minSwr) {
        f.minSwr = p.swr;
        f.minSwrFrequency = p.frequency;
      }
      ++f.points;
    }
    if (f.points < 2) continue;
    if (impedances) f.resonances = RisingZeros(sweep, edges);
    findings.push_back(std::move(f));
  }
  return findings;
}

}  // namespace lorvant::sweep
