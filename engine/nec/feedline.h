// The coax's outer shield as the wire it is to the antenna: from the feed
// point straight down, joined at the source segment's end away from the
// wire's start (the leg the shield is soldered to), with a resistive choke
// on its top segment; and the common-mode current it carries, read from the
// engine's CURRENTS AND LOCATION table.
#pragma once

#include <array>
#include <complex>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/common.h"
#include "engine/nec/model.h"

namespace lorvant::nec {

inline constexpr double kDefaultFeedlineDiameterMm = 6;  // RG-58's and RG-8X's jacket class
// Where the shield ends: over a real ground this far above it (the
// Sommerfeld-Norton tables take no wire into or onto the ground); over a
// perfect ground on it, joined to its image (an earth rod); in free space at
// the same height as over a real ground, so that the wire is as long.
inline constexpr double kShieldClearance = kMinRealGroundHeight;
// The chokes a recommendation chooses from, ohms, and the common-mode share
// it keeps every band under.
inline constexpr std::array<double, 5> kChokeSteps = {500, 1000, 2000, 5000, 10000};
inline constexpr double kCommonModeLimit = 0.10;

struct Feedline {
  double diameterMm = kDefaultFeedlineDiameterMm;
  double chokeOhms = 0;  // 0: no choke
};

// Where the shield joins the structure: the source segment's end away from
// the wire's start.
Point ShieldTop(const Structure& s);
// The height the shield ends at.
double ShieldBottom(Ground ground);

// Adds the shield to every structure, a wire after the antenna's, in
// segments no longer than the band's longest and twice its source segment
// (its top one meets the source's neighbours within NEC-2's factor of
// two). Throws ModelError (TooLow) when the feed point hangs no higher than
// the shield's end.
void AddFeedline(Model& model, Ground ground, const Feedline& feedline);

// One row of a current table: the segment counted over all wires, its tag
// and its current, amperes.
struct SegmentCurrent {
  int segment = 0;
  int tag = 0;
  std::complex<double> current;
};

// Every CURRENTS AND LOCATION table of the output in its order (one per
// solved frequency when the deck asks for them).
std::vector<std::vector<SegmentCurrent>> ParseCurrentTables(std::string_view output);

// The shield's top segment's current over the feed current (1 V over the
// feed impedance); none when the table does not name the segment.
std::optional<double> CommonModeFraction(const std::vector<SegmentCurrent>& table, int shieldTopSegment,
                                         std::complex<double> feedImpedance);

}  // namespace lorvant::nec
