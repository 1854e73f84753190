#include "text/reports/nectune.h"

#include <algorithm>
#include <cmath>

#include "engine/nec/deck.h"
#include "engine/nec/swr.h"
#include "text/catalogue.h"
#include "text/format.h"
#include "text/nec_texts.h"
#include "text/reports/neccheck.h"
#include "text/reports/strsum.h"

namespace lorvant::report {

namespace {

// The side-by-side table: a caption, then start and tuned.
constexpr int kCaptionWidth = 20, kSideWidth = 22;
// The band table: band, MHz, and per side R, X, SWR and the sweep's worst.
constexpr int kBandWidth = 10, kFrequencyWidth = 8, kOhmWidth = 8, kSwrWidth = 7, kWorstWidth = 8;
constexpr int kSideColumns = 2 * kOhmWidth + kSwrWidth + kWorstWidth;
constexpr int kTableWidth = kBandWidth + kFrequencyWidth + 2 * kSideColumns;

std::string Dashes(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += kEmDash;
  return s;
}

std::string Pair(const std::string& caption, const std::string& start, const std::string& tuned) {
  return LeftField(caption, kCaptionWidth) + LeftField(start, kSideWidth) + tuned;
}

int UsableCount(const nec::Result& r) {
  return static_cast<int>(
      std::count_if(r.bands.begin(), r.bands.end(), [](const nec::BandCheck& b) { return b.usable; }));
}

std::string Worst(const NecTuneReport& r, const nec::Result& res) {
  if (res.worstBand < 0) return "-";
  return SwrText(res.worstSwr, r.sep) + " (" + NecBandName(res.worstBand, r.extraFrequency, r.sep) + ")";
}

std::string FeedText(const TunedSide& s, char sep) {
  return FormatPicture(s.feed, "0.00", sep) + " m (" + FormatPicture(100 * s.feed / s.length, "0.0", sep) + " %)";
}

std::vector<std::string> SideBySide(const NecTuneReport& r) {
  const Language lang = r.language;
  const char sep = r.sep;
  const auto usable = [&](const nec::Result& res) {
    return std::to_string(UsableCount(res)) + say(lang, Text::NecOutputOf) + std::to_string(res.bands.size());
  };
  return {
      Pair("", say(lang, Text::TuneStart), say(lang, Text::TuneTuned)),
      Pair(say(lang, Text::TuneLength), FormatPicture(r.start.length, "##0.000", sep) + " m",
           FormatPicture(r.tuned.length, "##0.000", sep) + " m"),
      Pair(say(lang, Text::TuneFeedPoint), FeedText(r.start, sep), FeedText(r.tuned, sep)),
      Pair("Balun", nec::BalunText(r.start.result.balunRatio, sep), nec::BalunText(r.tuned.result.balunRatio, sep)),
      Pair(say(lang, Text::TuneUsableBands), usable(r.start.result), usable(r.tuned.result)),
      Pair(say(lang, Text::TuneWorstSwr), Worst(r, r.start.result), Worst(r, r.tuned.result)),
  };
}

// One side's cells for the band, "*" after the worst of a band that is
// not usable there.
std::string BandCells(const nec::Result& res, int band, char sep) {
  const auto b =
      std::find_if(res.bands.begin(), res.bands.end(), [&](const nec::BandCheck& c) { return c.solved.band == band; });
  if (b == res.bands.end()) return std::string(kSideColumns, ' ');
  const double worst = WorstOverSweep(res, band);
  const std::string mark = b->usable ? " " : "*";
  return RightField(FormatPicture(b->solved.impedance.real(), "0.0", sep), kOhmWidth) +
         RightField(FormatPicture(b->solved.impedance.imag(), "0.0", sep), kOhmWidth) +
         RightField(SwrText(b->solved.swr, sep), kSwrWidth) +
         RightField((worst > 0 ? SwrText(worst, sep) : std::string("-")) + mark, kWorstWidth);
}

std::vector<std::string> BandTable(const NecTuneReport& r) {
  const Language lang = r.language;
  const char sep = r.sep;
  std::vector<std::string> lines;
  lines.push_back(say(lang, Text::TunePerBand) + std::to_string(static_cast<int>(r.tuned.result.region)) + "):");
  const std::string side = RightField("R [Ohm]", kOhmWidth) + RightField("X [Ohm]", kOhmWidth) +
                           RightField(say(lang, Text::ReportSwr), kSwrWidth) +
                           RightField(say(lang, Text::TuneWorstColumn), kWorstWidth);
  const int lead = kBandWidth + kFrequencyWidth;
  lines.push_back(std::string(lead, ' ') + RightField(say(lang, Text::TuneStart), kSideColumns) +
                  RightField(say(lang, Text::TuneTuned), kSideColumns));
  lines.push_back(LeftField("Band", kBandWidth) + RightField("MHz", kFrequencyWidth) + side + side);
  lines.push_back(Dashes(kTableWidth));
  bool anyUnusable = false;
  for (const nec::BandCheck& b : r.tuned.result.bands) {
    const int band = b.solved.band;
    lines.push_back(LeftField(NecBandName(band, r.extraFrequency, sep), kBandWidth) +
                    RightField(FormatPicture(b.solved.frequency, "#0.000#", sep), kFrequencyWidth) +
                    BandCells(r.start.result, band, sep) + BandCells(r.tuned.result, band, sep));
    anyUnusable = anyUnusable || !b.usable;
  }
  for (const nec::BandCheck& b : r.start.result.bands) anyUnusable = anyUnusable || !b.usable;
  if (anyUnusable)
    lines.push_back(say(lang, Text::TuneNotUsableNote) + FormatGeneral(nec::kUsableSwr, sep) +
                    say(lang, Text::TuneNotUsableAfter));
  return lines;
}

}  // namespace

double WorstOverSweep(const nec::Result& result, int band) {
  double worst = 0;
  for (const nec::SolvedFrequency& s : result.sweep)
    if (s.band == band) worst = std::max(worst, s.swr);
  return worst;
}

std::vector<std::string> NecTuneBody(const NecTuneReport& r) {
  const Language lang = r.language;
  const char sep = r.sep;
  std::vector<std::string> lines;
  lines.push_back(say(lang, Text::TuneTitle));
  lines.push_back(say(lang, Text::ReportEnvironment) + nec::GroundName(r.ground, lang));
  lines.push_back(std::string("Deck: ") + nec::kDeckFileName + say(lang, Text::TuneDeckOfTuned));
  lines.emplace_back();
  for (std::string& line : SideBySide(r)) lines.push_back(std::move(line));
  if (r.start.length == r.tuned.length && r.start.feed == r.tuned.feed) lines.push_back(say(lang, Text::TuneNoBetter));
  lines.push_back(say(lang, Text::TuneRanking));
  if (!r.weights.empty()) {
    lines.push_back(Pair(say(lang, Text::TuneWeightedWorst), SwrText(r.start.weightedWorstSwr, sep),
                         SwrText(r.tuned.weightedWorstSwr, sep)));
    std::string weights = say(lang, Text::TuneWeights);
    for (std::size_t i = 0; i < r.weights.size(); ++i)
      weights += (i ? ", " : "") + NecBandName(r.weights[i].band, r.extraFrequency, sep) + " " +
                 FormatGeneral(r.weights[i].weight, sep);
    lines.push_back(weights);
  }
  lines.emplace_back();
  for (std::string& line : BandTable(r)) lines.push_back(std::move(line));
  lines.emplace_back();
  // The main form takes a shortening factor up to 1.
  lines.push_back(say(lang, Text::TuneVkBefore) + FormatPicture(r.tunedShorteningFactor, "0.0000", sep) +
                  say(lang, Text::TuneVkAfter) + FormatGeneral(r.shorteningFactor, sep) +
                  say(lang, r.tunedShorteningFactor > 1 ? Text::TuneVkAboveOne : Text::TuneVkEnd));
  lines.push_back(say(lang, Text::TuneSearchBefore) + std::to_string(r.evaluations) +
                  say(lang, Text::TuneSearchDesigns) + std::to_string(r.engineRuns) + say(lang, Text::TuneSearchRuns) +
                  FormatPicture(r.seconds, "0.0", sep) + say(lang, Text::TuneSearchJobs) + std::to_string(r.jobs) +
                  say(lang, Text::TuneSearchAfter));
  if (r.coarseEvaluations > 0)
    lines.push_back(say(lang, Text::TuneCoarseBefore) + std::to_string(r.coarseEvaluations) +
                    say(lang, Text::TuneCoarseAfter));
  if (r.seconds > 0)
    lines.push_back(say(lang, Text::TuneEngineShareBefore) +
                    FormatPicture(std::min(100.0, 100 * r.engineSeconds / r.seconds), "0", sep) +
                    say(lang, Text::TuneEngineShareAfter));
  return lines;
}

void WriteNecTuneReport(std::ostream& out, const NecTuneReport& r) {
  WriteFramedReport(out, r.language, r.dateText, kTableWidth, NecTuneBody(r));
}

}  // namespace lorvant::report
