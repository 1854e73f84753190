// The shortening-factor calculator's numbers: the input checks, the limits
// of the wire diameter and the two shortenings combined into one factor.
//
// Notation:
//   f   frequency, MHz                 h   height above ground, m
//   d   wire diameter, mm              s1  slenderness shortening, percent
//   s2  height shortening, percent     vk  shortening factor Vk (about 0.9 .. 1)
#pragma once

namespace lorvant::vk {

// The height the calculator offers when it opens, m.
inline constexpr float kDefaultHeight = 10.0f;
// Below 1 cm the height formula has no meaning; such a height is refused.
inline constexpr float kLowestHeight = 0.01f;
// The thinnest wire the slenderness formula describes, mm.
inline constexpr float kThinnestWire = 0.1f;

struct Figures {
  float f = 0, h = 0, d = 0;
  bool groundCorrection = false;
};

// Why nothing was calculated.
enum class Refusal { None, NoFrequency, HeightTooLow };

// Which limit the diameter was held to.
enum class DiameterLimit { None, TooThin, AboveTwiceHeight, AboveHalfWave };

struct Result {
  Refusal refusal = Refusal::None;
  DiameterLimit limit = DiameterLimit::None;
  float d = 0;  // after the limits
  float slenderness = 0;
  float heightShortening = 0;
  float vk = 0;
  // The shortenings outside the range the formulas were fitted to:
  // 2 .. 9 % from the slenderness, 2 .. 10 % from the height.
  bool slendernessOutside = false;
  bool heightShorteningOutside = false;
  bool computed() const { return refusal == Refusal::None; }
};

Result Compute(const Figures& in);

}  // namespace lorvant::vk
