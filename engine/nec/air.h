// What the wire does on the air, per counted band: its far field and the
// common-mode current on the feed line's shield, with the choke that would
// tame it.
#pragma once

#include <optional>
#include <vector>

#include "engine/nec/feedline.h"
#include "engine/nec/pattern.h"

namespace lorvant::nec {

struct BandAir {
  int band = 0;
  std::optional<PatternSummary> pattern;  // none without patterns
  std::optional<double> commonMode;       // the shield's share of the feed current; none without a feed line
  PatternCuts cuts;                       // the pictures' cuts; empty without patterns
};

struct AirResult {
  bool patterns = false;
  std::optional<Feedline> feedline;
  std::vector<BandAir> bands;  // the counted bands, as Result::bands
  // The smallest of kChokeSteps that keeps every band under
  // kCommonModeLimit; none when none does. Only with a feed line.
  std::optional<double> chokeRecommendation;
  bool chokeSearched = false;  // every run of the search completed
};

}  // namespace lorvant::nec
