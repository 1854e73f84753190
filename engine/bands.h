// The band plan: eleven bands, their nominal frequencies, the segment tables,
// and the segment a preferred frequency suggests.
//
// Notation (the function names are the maintainers' own):
//   index, bandIndex   band index 0..10 (below)     segment   the band segment (below)
//   f        a frequency, MHz (single precision)    f0   the preferred frequency, MHz
//   Table S  the segment lookup (single precision); Table W  the band
//            wavelength table (double), equal to S but in three cells
#pragma once

#include <array>
#include <optional>

#include "engine/common.h"

namespace lorvant {

// Band index 0..10 = 1.8, 3.5, 5.3, 7, 10, 14, 18, 21, 24.9, 28, 50 MHz.
inline constexpr int kBandCount = 11;
inline constexpr int kBand1_8 = 0;
inline constexpr int kBand3_5 = 1;
inline constexpr int kBand5_3 = 2;
inline constexpr int kBand7 = 3;
inline constexpr int kBand10 = 4;
inline constexpr int kBand14 = 5;
inline constexpr int kBand18 = 6;
inline constexpr int kBand21 = 7;
inline constexpr int kBand24 = 8;
inline constexpr int kBand28 = 9;
inline constexpr int kBand50 = 10;
// The band segment whose frequencies the tables give: CW, SSB or the band's
// centre. The values are the segment codes the tables and reports use.
enum class Segment : int { Cw = 1, Ssb = 2, Centre = 3 };

// The main form's segment buttons are numbered 0 CW, 1 SSB, 2 centre, and
// kNoSegmentButton when none is chosen (a form that was never set). These
// two are the only places that convert between buttons and segments.
inline constexpr int kNoSegmentButton = -1;
std::optional<Segment> SegmentOfButton(int button);  // nullopt: none chosen
int ButtonOfSegment(std::optional<Segment> segment);
// What the tables read when no segment is chosen: the band's centre.
inline Segment SegmentOrCentre(std::optional<Segment> s) { return s.value_or(Segment::Centre); }

// A band box: not chosen, counted in the sum, or shown grey (its curve is
// drawn but it does not count). The values are those the band boxes,
// the design files and the batch tool's JSON give.
enum class BandState : int { Off = 0, Counted = 1, Grey = 2 };
using BandValues = std::array<BandState, kBandCount>;
// The state of a stored or typed box value; nullopt for any other number.
std::optional<BandState> BandStateOf(int value);
inline int BandBoxValue(BandState s) { return static_cast<int>(s); }

// Nominal frequency of a band; 0 for an index outside 0..10.
float BandNennFrequenz(int index);

// Representative frequency of the band that contains f, for the segment
// (Table S). A frequency whose key is not in the table comes back unchanged.
float SegmentFrequenz(Segment segment, float f);

// Table W, used only for the per-band wavelengths of the optimisation run.
double BandTableWFrequency(int bandIndex, Segment segment);

// Segment suggestion for the preferred frequency.
struct SegmentSuggestion {
  Segment segment = Segment::Centre;  // suggested
  bool outsideBands = false;          // ask the additional-band question
};
SegmentSuggestion SuggestSegment(float f0);

}  // namespace lorvant
