// The band plan: eleven bands, their nominal frequencies, the segment tables,
// and the segment a preferred frequency suggests.
//
// Notation (the function names are the maintainers' own):
//   index, bandIndex   band index 0..10 (below)     segment   segment code (below)
//   f        a frequency, MHz (single precision)    f0   the preferred frequency, MHz
//   Table S  the segment lookup (single precision); Table W  the band
//            wavelength table (double), equal to S but in three cells
#pragma once

#include <array>

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
// Segment code: 1 CW, 2 SSB, 3 band centre (any other value reads as centre).
inline constexpr int kSegmentCw = 1;
inline constexpr int kSegmentSsb = 2;
inline constexpr int kSegmentCentre = 3;

// Check box values of the band boxes.
inline constexpr int kBandOff = 0;
inline constexpr int kBandCounted = 1;
inline constexpr int kBandGrey = 2;
using BandValues = std::array<int, kBandCount>;

// Nominal frequency of a band; 0 for an index outside 0..10.
float BandNennFrequenz(int index);

// Representative frequency of the band that contains f, for the segment
// (Table S). A frequency whose key is not in the table comes back unchanged.
float SegmentFrequenz(int segment, float f);

// Table W, used only for the per-band wavelengths of the optimisation run.
double BandTableWFrequency(int bandIndex, int segment);

// Segment suggestion for the preferred frequency.
struct SegmentSuggestion {
  int segment = kSegmentCentre;  // suggested code
  bool outsideBands = false;     // ask the additional-band question
};
SegmentSuggestion SuggestSegment(float f0);

}  // namespace lorvant
