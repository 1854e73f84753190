#include "calc/neccheck.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "calc/current.h"
#include "calc/necdeck.h"
#include "calc/necoutput.h"
#include "calc/necswr.h"
#include "calc/numparse.h"
#include "calc/reports/strsum.h"

namespace lorvant::nec {

namespace {

// The frequency the engine reports is printed with five digits.
bool SameFrequency(double planned, double reported) { return std::fabs(planned - reported) <= 1e-4 * planned; }

}  // namespace

double TypedDecimal(float v) {
  char buf[32];
  const auto w = std::to_chars(buf, buf + sizeof buf, v);
  double d = 0;
  std::from_chars(buf, w.ptr, d);
  return d;
}

Design DesignFromRun(const RunInput& in, const RunOutput& out) {
  Design d;
  d.length = out.length;
  d.conductorDiameter = TypedDecimal(ParseNumber(in.conductorDiameter));
  d.segment = out.reportData.segment;
  d.bands = out.bands;
  d.extraBand = out.extraBand;
  d.extraFrequency = out.extraFrequency;
  d.reportData = out.reportData;
  d.proposedFeeds = out.candidates;
  return d;
}

Plan PrepareCheck(const Design& design, const Settings& settings) {
  Plan p;
  p.ground = settings.ground;
  p.frequencies =
      PlanFrequencies(design.bands, design.segment, design.extraBand, design.extraFrequency, settings.sweepPoints);
  p.model = MakeModel(TypedDecimal(design.length), settings.feed, settings.height, design.conductorDiameter,
                      p.frequencies.highest(), settings.ground);
  p.deck = WriteDeck(p.model, p.ground, p.frequencies);
  return p;
}

std::optional<ReportedImpedance> ReportedImpedanceAt(const Design& design, double feed, int band) {
  const report::ReportData& d = design.reportData;
  for (const FeedCandidate& c : design.proposedFeeds) {
    // The report's rows show positions to the centimetre.
    if (std::lround(c.x * 100) != std::lround(feed * 100)) continue;
    const report::ResonanceFigures figures = report::BandResonances(d);
    const bool extra = band == kExtraBand;
    if (extra ? !d.extraBand : d.bands[static_cast<std::size_t>(band)] == kBandOff) return std::nullopt;
    const double G = extra ? c.extraG : c.G[static_cast<std::size_t>(band)];
    const float resonance = extra ? figures.extra : figures.band[static_cast<std::size_t>(band)];
    return ReportedImpedance{ImpedanzAusStromsumme(G, resonance, d.calc), report::ImpedanceCell(G, resonance, d)};
  }
  return std::nullopt;
}

Result Evaluate(const Design& design, const Settings& settings, const Plan& plan, std::string_view engineOutput) {
  const std::vector<InputParameters> inputs = ParseInputParameters(engineOutput);
  const int expected = plan.frequencies.count();

  // One source line per frequency, at the source, in the deck's order.
  std::vector<SolvedFrequency> solved;
  std::size_t next = 0;
  for (const FrequencyStep& step : plan.frequencies.steps) {
    for (int i = 0; i < step.count; ++i, ++next) {
      if (next >= inputs.size() || inputs[next].tag != plan.model.sourceTag ||
          inputs[next].segment != plan.model.sourceNumber() ||
          !SameFrequency(step.frequency(i), inputs[next].frequency))
        throw OutputError(static_cast<int>(std::min(next, inputs.size())), expected, LastLine(engineOutput));
      solved.push_back({step.band, step.frequency(i), inputs[next].impedance, 0});
    }
  }

  Result r;
  std::vector<std::complex<double>> bandImpedances;
  next = 0;
  for (const FrequencyStep& step : plan.frequencies.steps) {
    for (int i = 0; i < step.count; ++i, ++next) {
      if (step.sweep)
        r.sweep.push_back(solved[next]);
      else {
        r.bands.push_back({solved[next], ReportedImpedanceAt(design, settings.feed, step.band)});
        bandImpedances.push_back(solved[next].impedance);
      }
    }
  }

  r.balunChosen = !settings.balunRatio;
  r.balunRatio = settings.balunRatio ? *settings.balunRatio : ChooseBalun(bandImpedances).ratio;
  bool first = true;
  for (BandCheck& b : r.bands) {
    b.solved.swr = Swr(b.solved.impedance, r.balunRatio);
    if (first || b.solved.swr > r.worstSwr) {
      r.worstSwr = b.solved.swr;
      r.worstBand = b.solved.band;
    }
    first = false;
  }
  for (SolvedFrequency& s : r.sweep) s.swr = Swr(s.impedance, r.balunRatio);
  return r;
}

std::string OutputErrorText(const OutputError& e, Language lang) {
  std::string text = tr(lang, "Die Ausgabe von nec2c ist unvollständig (", "The output of nec2c is incomplete (") +
                     std::to_string(e.solved) + tr(lang, " von ", " of ") + std::to_string(e.expected) +
                     tr(lang, " Frequenzen)", " frequencies)");
  if (!e.lastLine.empty()) text += ": " + e.lastLine;
  return text;
}

}  // namespace lorvant::nec
