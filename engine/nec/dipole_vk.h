// The shortening factor of a bare half-wave wire as NEC-2 sees it: a
// straight horizontal wire, fed at its centre, cut to the closed-form Vk at
// the calculator's frequency and swept around that frequency. Where its
// reactance crosses zero is its resonance, and the closed-form Vk scaled by
// resonance / frequency is the Vk that would have put the resonance on the
// frequency.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/nec/model.h"

namespace lorvant::nec {

// The sweep reaches this fraction of the frequency below and above it: the
// formulas and NEC-2 differ by a few percent, over a low wire by more.
inline constexpr double kVkSweepSpan = 0.15;
// Its step, as a fraction of the frequency. The reactance of a half-wave
// wire is nearly straight over a step this wide, so the interpolated
// crossing lies within a few parts in a million of a ten times finer sweep
// (far inside the 0,1 % a Vk's third digit needs).
inline constexpr double kVkSweepStep = 0.005;
// Segments are no longer than this fraction of the shortest swept
// wavelength, as fine as the check's source segment.
inline constexpr double kVkSegmentsPerWavelength = 80;
// A wire too thick for segments of eight radii and at most a twentieth of
// the wavelength is outside NEC-2's thin-wire approximation.
inline constexpr double kVkCoarsestSegmentsPerWavelength = 20;

struct DipoleVkInput {
  double frequency = 0;   // MHz
  double vk = 0;          // the closed-form shortening factor
  double diameterMm = 0;  // conductor diameter
  double height = 0;      // m above ground
  Ground ground = Ground::Average;
};

// What the deck holds and what its evaluation needs.
struct DipoleVkPlan {
  DipoleVkInput input;
  double length = 0;  // m, Vk * 300 / (2 f)
  int segments = 0;   // odd: the source segment is the middle one
  int sourceSegment = 0;
  double sweepStart = 0;  // MHz
  double sweepStep = 0;   // MHz
  int sweepCount = 0;
  std::string deck;
};

class DipoleVkError : public std::runtime_error {
 public:
  enum class Kind {
    BadInput,      // frequency, Vk, diameter or height not above 0
    WireTooThick,  // eight radii exceed a twentieth of the shortest swept wavelength
    TooLow,        // lower than ten radii, or than 0,1 m over real ground
    Incomplete,    // the engine solved fewer frequencies than swept; value: how many it solved
    BadImpedance,  // the engine gave a resistance that is not above 0; value: its frequency
    NoResonance,   // the reactance does not cross zero within the sweep
  };
  DipoleVkError(Kind kind, double value) : std::runtime_error("NEC-2 Vk"), kind_(kind), value_(value) {}
  Kind kind() const { return kind_; }
  double value() const { return value_; }

 private:
  Kind kind_;
  double value_;
};

// The wire, its deck and its sweep. Throws DipoleVkError.
DipoleVkPlan PlanDipoleVk(const DipoleVkInput& in);

struct DipoleVk {
  double resonance = 0;  // MHz
  double vk = 0;         // closed-form Vk * resonance / frequency
};

// The resonance nearest the frequency from the engine's output of the
// plan's deck. Throws DipoleVkError.
DipoleVk EvaluateDipoleVk(const DipoleVkPlan& plan, std::string_view output);

}  // namespace lorvant::nec
