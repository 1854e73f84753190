// How the run fits the antenna to a wire-length limit: the count of
// half-waves that fits, and the bands the wire is too short for.
#pragma once

#include "engine/bands.h"
#include "engine/shortening.h"
#include "session/run.h"
#include "session/run_errors.h"

namespace lorvant {

// The length mode's context for the run's inputs and `bands`; segment 0
// stands for the form's segment.
LengthContext RunLengthContext(const RunInput& in, const BandValues& bands,
                               std::optional<Segment> segment = std::nullopt, bool extraBand = false,
                               float extraFrequency = 0);

struct WireFit {
  float halfWaves = 0;           // the count that fits, at least 1
  float preferredFrequency = 0;  // as the length mode left it
};

// The count of half-waves within `wireLimit` metres for the preferred
// frequency and shortening factor; bands below the wire's fundamental turn
// grey in `bands`. A failing step goes to the error box.
WireFit FitWireLimit(const RunInput& in, float wireLimit, float preferredFrequency, float shorteningFactor,
                     BandValues& bands, RunErrors& errors);

}  // namespace lorvant
