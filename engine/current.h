// The feed-point current model: standing-wave current per band and position,
// equal-impedance count, impedance from a current, base resistance over
// ground, resonance test.
//
// Notation (the function names are the maintainers' own):
//   W      band wavelength value, m: (300 / F) (1 - 2 ins), F the band's
//          frequency for the segment from the wavelength table, MHz
//   L      antenna length, m            x   position from the wire's start, m
//   vk     shortening factor Vk of the wire (e.g. 0.95), no unit
//   ins    insulation fraction: the wave on the wire is (1 - 2 ins) times
//          the free-space wavelength; 0 for a bare wire
//   G      a band's current value at x, 0..1: the geometric mean of the
//          relative currents seen from both ends of the wire
//   I1     the relative current seen from the wire's start alone, 0..1
//   S      a current value (a band's G or the current sum, the mean of G
//          over the counted bands), 0..1 and above
//   Smin   the least current sum the user asks for    n   counted bands
//   f      frequency, MHz    h   height above ground, m    Z, R   ohms
//   ResonanzTest: ind the band segment; qrg preferred
//          frequency, MHz; istQrg frequency of the band under test, MHz;
//          halbwEing half-waves at qrg; laenge antenna length, m; vkProzh
//          1 - Vk as a fraction; vkIso insulation fraction; the result is the
//          band's resonance frequency, MHz, or 0 for none near the band
#pragma once

#include <array>

#include "engine/shortening.h"

namespace lorvant {

struct BandCurrent {
  double G = 0;   // geometric mean of the currents seen from both ends
  double I1 = 0;  // current seen from the start of the wire
};

BandCurrent StromImPunkt(double W, float L, double x, float vk, double ins, const CalculatorState& calc);

// The parts of StromImPunkt that do not depend on the position: a scan
// prepares them once per band and then asks for every position.
struct BandCurrentModel {
  double lambda = 0;  // free-space wavelength of the band frequency, m
  float le = 0;       // electrical length L / (1 - ins), m
  float q = 0;        // g / 4 in wavelengths, g the band's effective shortening factor
  double ins = 0;
};
BandCurrentModel PrepareStromImPunkt(double W, float L, float vk, double ins, const CalculatorState& calc);
BandCurrent StromImPunkt(const BandCurrentModel& model, double x);

// Band wavelength values from Table W for the segment, indexed by band index
// (0 = 1.8 MHz ... 10 = 50 MHz).
std::array<double, kBandCount> BandWellenlaengen(Segment segment, double ins);

// values: G of the counted bands 1.8..28 MHz (index 0..9; 0 when not
// counted) and of the additional band at index 10 (0 when absent).
int GleicheImpedanzen(const std::array<double, kBandCount>& values, float smin, int n);

float ImpedanzAusStromsumme(double S, float f, const CalculatorState& calc);
float FusspunktWiderstand(float f, float h, bool ground);
float ResonanzTest(Segment ind, float qrg, float istQrg, float halbwEing, float laenge, float vkProzh, double vkIso,
                   const CalculatorState& calc);

}  // namespace lorvant
