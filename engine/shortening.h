// Wire shortening (end effect, slenderness, height, insulation) and the
// antenna length in the three length modes.
//
// Notation (the function names are the maintainers' own):
//   f         frequency, MHz              h   height above ground, m
//   d         conductor (wire) diameter, mm; 0 in VerkuerzungProzent takes
//             the calculator's
//   pDefault  the shortening to use while the calculator is off, percent:
//             (1 - Vk) * 100
//   results of VerkuerzungProzent, HoehenVerkuerzung and
//   SchlankheitsVerkuerzung: the shortening p in percent, s = p / 100
//   er        relative dielectric constant of the insulation
//   outerD    outer diameter over the insulation, mm
//   vk        shortening factor Vk of the wire (e.g. 0.95), no unit
//   ins       insulation fraction: the wave on the wire is (1 - 2 ins) times
//             the free-space wavelength; 0 for a bare wire
//   n         number of half-waves        f0  preferred frequency, MHz
//   the result of AntennenLaenge: the geometric length L, m
#pragma once

#include <string>

#include "engine/bands.h"

namespace lorvant {

// What the shortening-factor calculator window contributes while it is
// active (its fields already parsed with ParseNumber).
struct CalculatorState {
  bool active = false;
  float height = 0;               // height above ground, metres
  float diameter = 0;             // wire diameter, millimetres
  bool groundCorrection = false;  // the ground correction is switched on
  std::string heightText;         // the height as typed, for the reports' height line
};

// Relative dielectric constant of air: a wire whose insulation has a higher
// one counts as insulated.
inline constexpr float kAirPermittivity = 1.00059f;
inline bool IsInsulated(float permittivity) { return permittivity > kAirPermittivity; }

float VerkuerzungProzent(float f, float d, float pDefault, const CalculatorState& calc);
float HoehenVerkuerzung(float f, float h, bool ground);
float SchlankheitsVerkuerzung(float f, float d);
double IsolationsVerkuerzung(float er, float outerD, float d, float vk);

// The three length modes the main form offers: the length for the preferred
// frequency, the length that serves the highest and the lowest chosen band,
// the length that serves all chosen bands. The values are the main form's
// button numbers and the design files' order.
enum class LengthMode : int { Preferred = 0, HighestLowest = 1, All = 2 };

// What AntennenLaenge reads from the main form and the shared settings.
struct LengthContext {
  BandValues bands{};  // which bands are chosen
  Segment segment = Segment::Centre;
  LengthMode lengthMode = LengthMode::Preferred;
  float tolerancePercent = 5;  // allowed length tolerance, percent
  bool extraBand = false;
  float extraFrequency = 0;
  CalculatorState calc;
};

// Geometric length in metres. n and f0 are written back in the modes
// highest-and-lowest and all. Throws ArithmeticError on a failed step.
float AntennenLaenge(float& n, float vk, double ins, float& f0, const LengthContext& ctx);

}  // namespace lorvant
