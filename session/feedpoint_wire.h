// The wire's numbers that the checks and the scan share.
#pragma once

#include "engine/numparse.h"
#include "session/mainform.h"

namespace lorvant::feedpoint {

// The wavelength on the wire for a frequency (double).
inline double WireWavelength(double insulation, float f) { return (1.0 - 2.0 * insulation) * 300.0 / f; }

// Vk as the main form gives it: 0.946 while its field is empty.
inline float MainVk(const MainFormValues& main) {
  return main.shorteningFactor.empty() ? kTypicalShorteningFactor : ParseNumber(main.shorteningFactor);
}

}  // namespace lorvant::feedpoint
