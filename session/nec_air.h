// The check's far field and feed line: the deck of PrepareCheck with the
// RP cards and the shield added, their tables read from the same engine
// output that Evaluate reads, and the extra runs that choose a choke.
#pragma once

#include <optional>
#include <string_view>

#include "engine/nec/air.h"
#include "io/engine_runner.h"
#include "session/nec_check.h"

namespace lorvant::nec {

struct AirSettings {
  bool patterns = false;
  std::optional<Feedline> feedline;
  bool any() const { return patterns || feedline.has_value(); }
};

// Adds the shield to the plan's model and writes its deck again, with the
// patterns when asked. Throws ModelError.
void PrepareAir(Plan& plan, const AirSettings& air);

// The shield's top segment counted over all wires of the structure.
int ShieldTopSegment(const Structure& s);

// The counted bands' patterns and common-mode shares from the output of
// the plan's deck, in the order of Result::bands. Throws OutputError when a
// table is missing.
AirResult EvaluateAir(const Plan& plan, const AirSettings& air, std::string_view engineOutput);

// Each counted band's common-mode share at its own frequency with a choke
// of `ohms` on the shield, from one run of `engine` on a deck of only those
// frequencies; none when the engine did not complete. Throws OutputError.
std::optional<std::vector<double>> CommonModeWithChoke(const Plan& plan, double ohms, Engine& engine,
                                                       const EngineProgress& progress);

// What the check tells of the air from the output of the plan's deck:
// EvaluateAir, and with a feed line RecommendChoke's runs on `engine`.
// Throws OutputError.
AirResult CheckAir(const Plan& plan, const AirSettings& air, std::string_view engineOutput, Engine& engine,
                   const EngineProgress& progress);

// The smallest of kChokeSteps that keeps every band under kCommonModeLimit
// (none when none does); `completed` false when an engine run did not
// complete.
std::optional<double> RecommendChoke(const Plan& plan, Engine& engine, const EngineProgress& progress, bool& completed);

}  // namespace lorvant::nec
