// What the optimisation run hands to its two reports.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "engine/bands.h"
#include "engine/candidates.h"
#include "engine/shortening.h"

namespace lorvant {

namespace report {

struct ReportData {
  Language language = Language::German;
  char sep = ',';  // decimal separator of the numbers
  float f0 = 0;    // preferred frequency as finally used, MHz
  float n = 0;     // number of half-waves as finally used
  Segment segment = Segment::Centre;
  BandValues bands{};
  bool extraBand = false;
  float extraFrequency = 0;    // fz; 0 without the additional band
  float length = 0;            // L, metres
  float vk = 0;                // shortening factor of the wire
  double ins = 0;              // insulation fraction
  float er = 0;                // relative dielectric constant (parsed)
  std::string dielectricText;  // the insulation field as typed
  std::string heightLine;      // "Antennenhöhe: ..." or empty
  CalculatorState calc;        // for the base impedance and shortening
  bool specialTable = false;   // AntSpezi.txt is written too
  std::string dateText;        // date and time of the closing line
};

// Number of shown bands (box value not 0), plus 1 for the additional band.
int ShownBandCount(const ReportData& d);
// Separator width of the current-sum report.
int SeparatorWidth(const ReportData& d);
// The candidates 0 .. k-1 that are reported: up to (not including) the first
// whose position, in single precision, is not below L / 2.
std::size_t ReportedCandidateCount(std::span<const FeedCandidate> confirmed, float length);

}  // namespace report
}  // namespace lorvant
