// The feed-point current model: standing-wave current per band and position,
// equal-impedance count, impedance from a current, base resistance over
// ground, resonance test.
#pragma once

#include <array>

#include "engine/shortening.h"

namespace lorvant {

struct BandCurrent {
  double G = 0;   // geometric mean of the currents seen from both ends
  double I1 = 0;  // current seen from the start of the wire
};

// W: band wavelength value (300 / F) * (1 - 2 ins); L antenna length (m);
// x position from the start (m); ins the insulation fraction.
BandCurrent StromImPunkt(double W, float L, double x, float vk, double ins, const CalculatorState& calc);

// The parts of StromImPunkt that do not depend on the position: a scan
// prepares them once per band and then asks for every position.
struct BandCurrentModel {
  double lambda = 0;  // free-space wavelength of the band frequency
  float le = 0;       // electrical length L / (1 - ins)
  float q = 0;        // end shortening in wavelengths, g / 4
  double ins = 0;
};
BandCurrentModel PrepareStromImPunkt(double W, float L, float vk, double ins, const CalculatorState& calc);
BandCurrent StromImPunkt(const BandCurrentModel& model, double x);

// Band wavelength values from Table W for the segment, indexed by band index
// (0 = 1.8 MHz ... 10 = 50 MHz).
std::array<double, kBandCount> BandWellenlaengen(int segment, double ins);

// values: G of the counted bands 1.8..28 MHz (index 0..9; 0 when not
// counted) and of the additional band at index 10 (0 when absent).
int GleicheImpedanzen(const std::array<double, kBandCount>& values, float smin, int n);

float ImpedanzAusStromsumme(double S, float f, const CalculatorState& calc);
float FusspunktWiderstand(float f, float h, bool ground);
float ResonanzTest(int ind, float qrg, float istQrg, float halbwEing, float laenge, float vkProzh, double vkIso,
                   const CalculatorState& calc);

}  // namespace lorvant
