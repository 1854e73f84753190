// The worked examples the tests share, and their figures. Each figure is
// asserted where it is computed (the engine's formula, the run, the
// feed-point session); reports, pictures, the batch tool and the windows
// take it from here rather than writing it out again. Plain C++ without Qt,
// so that engine and session tests use it too.
#pragma once

#include <array>
#include <string>

#include "tests/support/Boxes.h"

namespace lorvant::test::worked {

// A figure's text, written below with the comma, in another separator.
inline std::string WithSeparator(std::string text, char sep) {
  for (char& c : text)
    if (c == ',') c = sep;
  return text;
}

// ---- the run: the main form at load with 3.5, 7, 14, 21 and 28 MHz ticked --

inline constexpr float kPreferredFrequency = 14.2f;  // MHz, the centre of 20 m: no segment question
inline constexpr int kHalfWaves = 4;
inline constexpr float kShorteningFactor = 0.95f;  // Vk of the bare wire
inline constexpr float kDielectric = 1.00059f;     // air: no insulation shortening
// Band values by the form's boxes, 1.8 MHz up to 50 MHz: 3.5, 7, 14, 21 and
// 28 MHz counted.
inline const BandValues kBands = Boxes({0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0});
inline constexpr const char* kDateText = "08.12.2026 15:44:35";  // the reports' closing line, fixed

// The geometric length: the end effect takes 1 - Vk = 0.05 of a half-wave,
// so 3.95 half-waves of 150 / 14.2 m, in single precision.
inline constexpr float kLength = 41.725353f;
// The length as notes, reports, pictures and the feed-point window print
// it: three decimals.
inline std::string LengthText(char sep) { return WithSeparator("41,725", sep); }
// The length in centimetre steps, rounded: where the scan and the picture
// end.
inline constexpr int kSteps = 4173;
// The feed points the run finds, as its note lists them.
inline constexpr const char* kFeedPoints = " 8,29 m, 12,55 m, 17,41 m,";

// ---- the feed-point window after a run of 41.7 m ---------------------------
// Same frequency, half-waves and Vk as the run; 3.5, 7 and 14 MHz counted,
// Smin 0.4; the feed point 13.9 m from the start.

inline constexpr float kFeedWireLength = 41.7f;
inline std::string FeedWireLengthText(char sep) { return WithSeparator("41,7", sep); }
inline std::string FeedDistanceText(char sep) { return WithSeparator("13,9", sep); }

}  // namespace lorvant::test::worked
