// The frequencies of a NEC-2 check: each counted band at the frequency the
// run computed it with, and a sweep across each band from edge to edge.
#pragma once

#include <vector>

#include "engine/bands.h"

namespace lorvant::nec {

// The index the additional band takes in these lists (after 0..10).
inline constexpr int kExtraBand = kBandCount;

// Default number of sweep points per band.
inline constexpr int kDefaultSweepPoints = 5;
// Sweep points per band: 0 (no sweep) or 2 up to this.
inline constexpr int kMaxSweepPoints = 101;

// The IARU region whose band plan gives the sweep's edges.
enum class Region { One = 1, Two = 2, Three = 3 };
inline constexpr Region kDefaultRegion = Region::One;

// The edges of an amateur band in a region, MHz.
struct BandEdges {
  double low = 0;
  double high = 0;
};
BandEdges EdgesOf(int band, Region region = kDefaultRegion);

// What a frequency card is for: a band's own frequency (count 1), its sweep
// from edge to edge, or the search for the lowest counted band's resonance.
enum class StepKind { Own, Sweep, Resonance };

// The resonance search: the lowest counted band's own frequency f and
// f * (1 +- k), f * (1 +- 2k) for this k, as two cards of two frequencies.
// NEC-2 puts a bare wire designed with Vk 0.95 some 1.5 to 2.5 % above f;
// the search finds crossings within 10 % of f. The reactance of a wire is
// so nearly straight around its resonance that interpolating between
// points 5 % apart misses the crossing by less than 0.05 %.
inline constexpr double kResonanceStep = 0.05;

// One frequency card: `count` frequencies from `start` in steps of `step`.
struct FrequencyStep {
  int band = 0;  // 0..10, or kExtraBand
  double start = 0;
  double step = 0;
  int count = 1;
  StepKind kind = StepKind::Own;

  double frequency(int i) const { return start + i * step; }
};

// In the order of the deck: band by band from the lowest frequency up, each
// band's own frequency first and then its sweep; the lowest counted band's
// resonance search after its sweep.
struct FrequencyPlan {
  std::vector<FrequencyStep> steps;

  int count() const;       // frequencies in all
  double highest() const;  // the highest frequency, MHz (0 when empty)
};

// The counted bands (box value 1) at Table W's frequency for the segment, as
// the run computes their currents, the additional band at its frequency, and
// for every counted band `sweepPoints` frequencies from its lower to its
// upper edge in the region (none for 0; the additional band has no edges
// and no sweep), and the resonance search of the lowest counted band.
FrequencyPlan PlanFrequencies(const BandValues& bands, Segment segment, bool extraBand, float extraFrequency,
                              int sweepPoints, Region region = kDefaultRegion);

// The nominal frequency that names a band in the tables (the additional
// band's own frequency for kExtraBand).
float BandLabelFrequency(int band, float extraFrequency);

}  // namespace lorvant::nec
