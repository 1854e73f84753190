// The pruning calculator's numbers: from the length and resonance measured
// on a built wire and the resonance wanted, its whole half-waves, its total
// shortening factor, the new length and the change.
//
// Notation:
//   la  measured length, m             fa  measured resonance, MHz
//   fs  desired resonance, MHz         n   whole half-waves of the wire
//   vk  total shortening factor Vk     change  new length - la, cm
#pragma once

namespace lorvant::pruning {

// Measured over desired frequency: the range within which the wire keeps
// its number of half-waves.
inline constexpr float kLowestRatio = 0.66f;
inline constexpr float kHighestRatio = 1.4f;

struct Figures {
  float la = 0, fa = 0, fs = 0;
};

// Why nothing was calculated.
enum class Refusal { None, NoLength, NoMeasuredFrequency, NoDesiredFrequency, RatioOutside, LengthTooLarge };

struct Result {
  Refusal refusal = Refusal::None;
  float ratio = 0;  // fa / fs, set from RatioOutside on
  int halfWaves = 0;
  float vk = 0;
  float newLength = 0;  // m
  float change = 0;     // cm, negative = cut off
  bool computed() const { return refusal == Refusal::None; }
};

Result Compute(const Figures& in);

}  // namespace lorvant::pruning
