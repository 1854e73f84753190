// The wire length whose model resonates where the measured antenna does:
// the check's model with only its length changed (the feed point, and an
// apex given along the wire, kept at the same fraction of it; the heights
// and the rest as given), searched by a few engine runs on the lowest band
// that both the check counts and the measurement shows a resonance in.
#pragma once

#include <optional>
#include <vector>

#include "engine/sweep/analysis.h"
#include "io/engine_runner.h"
#include "session/nec_check.h"

namespace lorvant::nec {

// The search stops within this share of the measured resonance.
inline constexpr double kFitTolerance = 2e-4;
// Engine runs at most, after the first guess.
inline constexpr int kFitRuns = 6;

struct LengthFit {
  int band = -1;                    // the band fitted on; -1: none both know
  double measured = 0;              // its measured resonance, MHz
  std::optional<double> length;     // m; none when the search found no resonance or did not settle
  std::optional<double> resonance;  // the fitted model's resonance, MHz
  int runs = 0;                     // engine runs it took
};

// The band and measured resonance to fit on: the lowest counted band of
// the check with a measured crossing, the crossing nearest the band's own
// frequency.
LengthFit FitBand(const Result& check, const std::vector<sweep::BandFinding>& measured);

// Runs the engine on the one band's model (its own frequency and the
// resonance search, no sweep) for other lengths. `check` is the completed
// check of `design`; a failing engine or model ends the search without a
// length. `stop` is asked between runs.
LengthFit FitLength(const Design& design, const Settings& settings, const Result& check,
                    const std::vector<sweep::BandFinding>& measured, Engine& engine, const EngineProgress& progress);

}  // namespace lorvant::nec
