// The far field of a band's own frequency: the RP card that asks nec2c for
// it over the upper hemisphere, its RADIATION PATTERNS table read back, and
// what a builder wants of it (the strongest direction, its take-off angle,
// the gain at low angles, the efficiency).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lorvant::nec {

// Theta from the zenith down to the horizon, phi round the whole circle.
inline constexpr double kPatternThetaStep = 2;  // degrees
inline constexpr double kPatternPhiStep = 5;    // degrees
// The elevations whose gain is read towards the maximum's azimuth.
inline constexpr std::array<int, 3> kPatternElevations = {10, 20, 30};

// "RP 0 46 72 1001 0 0 2 5": power gains (vertical, horizontal, total), and
// the average power gain over the hemisphere (XNDA's A = 1).
std::string PatternCard();

// One direction of the table: NEC-2's theta (from the zenith) and phi in
// degrees, the total power gain in dBi.
struct PatternPoint {
  double theta = 0;
  double phi = 0;
  double gain = 0;
};

struct PatternTable {
  std::vector<PatternPoint> points;
  // "AVERAGE POWER GAIN: g - SOLID ANGLE USED IN AVERAGING: (s)*PI": the
  // mean power gain (a ratio) over the s * pi steradians of the grid.
  std::optional<double> averageGain;
  std::optional<double> solidAngle;  // in units of pi steradians
};

// Every RADIATION PATTERNS table of the output, in its order.
std::vector<PatternTable> ParsePatterns(std::string_view output);

struct PatternSummary {
  double gainDbi = 0;
  double elevation = 0;  // degrees above the horizon
  double azimuth = 0;    // degrees, NEC-2's phi
  // At kPatternElevations towards the maximum's azimuth; none off the grid.
  std::array<std::optional<double>, 3> gainAt;
  // Radiated over input power; none when it cannot be told.
  std::optional<double> efficiency;
};

// The table's maximum (the highest elevation first on a tie, so that a
// pattern straight up reads 90 degrees) and its gains at low angles. The
// efficiency over a real ground: what reaches the sky, the average power
// gain times the averaged solid angle over 4 pi (the ground's own loss is
// in it); else `budget`, the power budget's efficiency.
PatternSummary SummarisePattern(const PatternTable& table, bool realGround, std::optional<double> budget);

// A direction of a cut and its total gain, dBi.
struct CutPoint {
  double angle = 0;  // degrees, as the cut counts them
  double gain = 0;
};

// The two cuts a band's pictures draw, taken from the table's grid.
struct PatternCuts {
  // Upright through the maximum's azimuth: 0 the horizon towards it, 90
  // the zenith, 180 the horizon behind (azimuth + 180).
  std::vector<CutPoint> elevation;
  // Round the horizon at the take-off angle: the azimuth from 0 to under 360.
  std::vector<CutPoint> azimuth;
};

// Both cuts in the order of their angle; a cut the grid has no row for
// stays empty.
PatternCuts CutPattern(const PatternTable& table, const PatternSummary& summary);

}  // namespace lorvant::nec
