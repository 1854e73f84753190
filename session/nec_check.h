// The NEC-2 check of a design: from a completed run to the deck, and from
// the engine's output to the impedance, SWR and balun of every counted band.
// The batch tool and the window run the same steps:
//   design = DesignFromRun(...); plan = PrepareCheck(design, settings);
//   write plan.deck; engine.run(plan.deck, ...); result = Evaluate(...).
#pragma once

#include <complex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/nec/deck.h"
#include "engine/nec/frequencies.h"
#include "engine/nec/hanging.h"
#include "engine/nec/loads.h"
#include "engine/nec/model.h"
#include "engine/nec/result.h"
#include "session/question.h"
#include "session/run.h"
#include "text/reports/neccheck.h"
#include "text/reports/reportdata.h"

namespace lorvant::nec {

// What a check takes from a completed run.
struct Design {
  float length = 0;                   // the antenna length, m
  double conductorDiameter = 0;       // mm
  Segment segment = Segment::Centre;  // band segment as the run used it
  BandValues bands{};                 // band boxes after the run
  bool extraBand = false;
  float extraFrequency = 0;
  report::ReportData reportData;             // what AntStrSu.txt was written from
  std::vector<FeedCandidate> proposedFeeds;  // its feed points, first = best
  std::optional<Insulation> insulation;      // an insulated wire's sleeve
  float shorteningFactor = 0;                // Vk as the run read it
};
Design DesignFromRun(const RunInput& in, const RunOutput& out);
// The sleeve of the run's dielectric list entry and outer diameter, as
// typed; none for a bare wire.
std::optional<Insulation> InsulationOf(std::string_view dielectric, std::string_view outerDiameter);

// A single-precision input as the decimal that was typed: 41.2f gives 41.2,
// not 41.200000763, so that the deck shows the design's own digits.
double TypedDecimal(float v);

struct Settings {
  double feed = 0;  // m from the wire's start
  Hanging hanging;  // both ends at kDefaultHeight unless told
  Ground ground = Ground::Average;
  Material material = Material::Copper;
  std::optional<double> conductivity;  // S/m; given, it replaces the material's
  Region region = kDefaultRegion;
  std::optional<double> balunRatio;  // empty: the best of kBalunRatios
  int sweepPoints = kDefaultSweepPoints;
  // The lowest band's resonance search; a tuning's candidates go without.
  bool resonanceSearch = true;
  // A tuning's coarse stage alone solves a real ground the cheap way.
  RealGroundMethod groundMethod = RealGroundMethod::SommerfeldNorton;
};

struct Plan {
  Model model;
  Ground ground = Ground::Average;
  FrequencyPlan frequencies;
  std::string deck;
};
// Throws ModelError.
Plan PrepareCheck(const Design& design, const Settings& settings);

// The engine's output does not hold what the deck asked for.
class OutputError : public std::runtime_error {
 public:
  OutputError(int solved, int expected, std::string lastLine)
      : std::runtime_error("NEC-2 output"), solved(solved), expected(expected), lastLine(std::move(lastLine)) {}
  int solved, expected;
  std::string lastLine;
};
std::string OutputErrorText(const OutputError& e, Language lang);

// The engine answered a frequency with a number that is no impedance of a
// wire: not a number, infinite, beyond kMaxImpedance, or no resistance.
class ImpedanceError : public std::runtime_error {
 public:
  explicit ImpedanceError(double frequency) : std::runtime_error("NEC-2 impedance"), frequency(frequency) {}
  double frequency;  // MHz
};
// Ohms; no wire over ground comes near it.
inline constexpr double kMaxImpedance = 1e8;
// "the engine returned no usable impedance at X MHz"
std::string ImpedanceErrorText(const ImpedanceError& e, Language lang, char sep);

// Throws OutputError, ImpedanceError.
Result Evaluate(const Design& design, const Settings& settings, const Plan& plan, std::string_view engineOutput);

// Another check or run writes into the results folder: the run's own
// Abort/Retry/Ignore question.
Question FolderBusyQuestion(Language lang, const std::string& folder);

// The check's files in the results folder. A completed check replaces the
// deck and the report (and a picture, when one is asked for) as one set.
// Without an engine the new deck is written alone, and the report of the
// earlier check goes with the earlier deck: true when there was one.
// Earlier files made from an earlier deck that the new set does not
// replace (Lorvant.s1p, Lorvant-Sheet.pdf beside a Lorvant.nec written) are
// removed with the commit; they stay when it fails.
// Both throw files::FileError and then leave every file as it was; the
// caller holds the folder's lock.
void CommitCheckFiles(const std::vector<std::pair<std::string, std::string>>& pathsAndBytes);
bool CommitDeckAlone(const std::string& deckPath, const std::string& deck, const std::string& reportPath);
// "... NecCheck.txt of the earlier check was removed with its deck."
std::string EarlierReportRemovedText(Language lang, const std::string& reportPath);

// What AntStrSu.txt shows for the band at the feed point; none when the
// feed point is not one of its rows (they are whole centimetres).
std::optional<ReportedImpedance> ReportedImpedanceAt(const Design& design, double feed, int band);

}  // namespace lorvant::nec

namespace lorvant::report {

// The report of a completed check.
NecCheckReport MakeNecCheckReport(const nec::Design& design, const nec::Plan& plan, const nec::Result& result,
                                  Language lang, char sep, std::string dateText);

}  // namespace lorvant::report
