// The resonance list: for every band, at its test frequency, the figure of
// ResonanzTest for the wire the run found; 0 where the wire has no
// resonance on that band.
//
// Notation: f0 preferred frequency, MHz; n half-waves; vk shortening factor
// Vk; ins insulation fraction (the wave on the wire is (1 - 2 ins) times the
// free-space wavelength); a figure is a resonance frequency, MHz.
#pragma once

#include <array>

#include "engine/bands.h"
#include "engine/shortening.h"

namespace lorvant {

// Test frequencies of the resonance list, by band index, MHz.
inline constexpr std::array<float, kBandCount> kResonanceTestFrequency = {1.85f, 3.65f, 5.36f, 7.05f, 10.1f, 14.2f,
                                                                          18.1f, 21.2f, 24.9f, 28.5f, 50.15f};

// The wire as the run fixed it.
struct ResonanceWire {
  Segment segment = Segment::Centre;
  float f0 = 0;      // preferred frequency as finally used, MHz
  float n = 0;       // half-waves as finally used
  float length = 0;  // m
  float vk = 0;      // shortening factor
  double ins = 0;    // insulation fraction
  bool extraBand = false;
  CalculatorState calc;
};

// The figure of every band (by band index) and of the additional band
// (at the preferred frequency itself; 0 without it).
struct ResonanceFigures {
  std::array<float, kBandCount> band{};
  float extra = 0;
};
ResonanceFigures BandResonances(const ResonanceWire& wire);

}  // namespace lorvant
