#include "session/nec_check.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "engine/current.h"
#include "engine/nec/deck.h"
#include "engine/nec/output.h"
#include "engine/nec/resonance.h"
#include "engine/nec/swr.h"
#include "engine/numparse.h"
#include "engine/shortening.h"
#include "engine/sweep/model_sweep.h"
#include "io/staged_files.h"
#include "session/messages.h"
#include "session/question.h"
#include "text/catalogue.h"
#include "text/format.h"
#include "text/reports/neccheck.h"
#include "text/reports/sheet.h"
#include "text/reports/strsum.h"

namespace lorvant::nec {

namespace {

// The frequency the engine reports is printed with five digits.
bool SameFrequency(double planned, double reported) { return std::fabs(planned - reported) <= 1e-4 * planned; }

// The crossing nearest the searched band's own frequency, over all that the
// engine solved of the band (own, sweep and search frequencies); `solved`
// in the order of the plan.
std::optional<Resonance> FindResonance(const Design& design, const Plan& plan,
                                       const std::vector<SolvedFrequency>& solved) {
  const std::vector<FrequencyStep>& steps = plan.frequencies.steps;
  const auto search =
      std::find_if(steps.begin(), steps.end(), [](const FrequencyStep& s) { return s.kind == StepKind::Resonance; });
  if (search == steps.end()) return std::nullopt;
  const int band = search->band;
  const auto own = std::find_if(steps.begin(), steps.end(),
                                [&](const FrequencyStep& s) { return s.kind == StepKind::Own && s.band == band; });
  if (own == steps.end()) return std::nullopt;

  std::vector<ReactancePoint> points;
  for (const SolvedFrequency& s : solved)
    if (s.band == band) points.push_back({s.frequency, s.impedance.imag()});
  std::stable_sort(points.begin(), points.end(),
                   [](const ReactancePoint& a, const ReactancePoint& b) { return a.frequency < b.frequency; });
  const std::optional<double> f = ZeroCrossing(points, own->start);
  if (!f) return std::nullopt;
  return Resonance{band, *f, design.shorteningFactor * *f / own->start};
}

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
  d.shorteningFactor = ParseNumber(in.shorteningFactor);
  d.insulation = InsulationOf(in.dielectric, in.outerDiameter);
  return d;
}

std::optional<Insulation> InsulationOf(std::string_view dielectric, std::string_view outerDiameter) {
  const float permittivity = ParseNumber(dielectric);
  if (!IsInsulated(permittivity)) return std::nullopt;
  return Insulation{TypedDecimal(permittivity), TypedDecimal(ParseNumber(outerDiameter))};
}

Plan PrepareCheck(const Design& design, const Settings& settings) {
  Plan p;
  p.ground = settings.ground;
  p.frequencies = PlanFrequencies(design.bands, design.segment, design.extraBand, design.extraFrequency,
                                  settings.sweepPoints, settings.region);
  if (!settings.resonanceSearch)
    std::erase_if(p.frequencies.steps, [](const FrequencyStep& s) { return s.kind == StepKind::Resonance; });
  Loads loads;
  // A conductivity given replaces the material's.
  loads.conductivity = settings.conductivity ? settings.conductivity : ConductivityOf(settings.material);
  loads.insulation = design.insulation;
  p.model = MakeModel(TypedDecimal(design.length), settings.feed, settings.hanging, design.conductorDiameter, loads,
                      p.frequencies, settings.ground);
  p.deck = WriteDeck(p.model, p.ground, p.frequencies, false, settings.groundMethod);
  return p;
}

std::optional<ReportedImpedance> ReportedImpedanceAt(const Design& design, double feed, int band) {
  const report::ReportData& d = design.reportData;
  for (const FeedCandidate& c : design.proposedFeeds) {
    // The report's rows show positions to the centimetre.
    if (std::lround(c.x * 100) != std::lround(feed * 100)) continue;
    const ResonanceFigures figures = report::BandResonances(d);
    const bool extra = band == kExtraBand;
    if (extra ? !d.extraBand : d.bands[static_cast<std::size_t>(band)] == BandState::Off) return std::nullopt;
    const double G = extra ? c.extraG : c.G[static_cast<std::size_t>(band)];
    const float resonance = extra ? figures.extra : figures.band[static_cast<std::size_t>(band)];
    return ReportedImpedance{ImpedanzAusStromsumme(G, resonance, d.calc), report::ImpedanceCell(G, resonance, d)};
  }
  return std::nullopt;
}

Result Evaluate(const Design& design, const Settings& settings, const Plan& plan, std::string_view engineOutput) {
  const std::vector<InputParameters> inputs = ParseInputParameters(engineOutput);
  const int expected = plan.frequencies.count();

  // One source line per frequency, at its structure's source, in the
  // deck's order: structure by structure, each with its band's steps.
  // They are kept in the plan's order.
  std::vector<std::size_t> offset;
  std::size_t total = 0;
  for (const FrequencyStep& step : plan.frequencies.steps) {
    offset.push_back(total);
    total += static_cast<std::size_t>(step.count);
  }
  std::vector<SolvedFrequency> solved(total);
  std::size_t next = 0;
  for (const Structure& structure : plan.model.structures) {
    for (std::size_t index : structure.steps) {
      const FrequencyStep& step = plan.frequencies.steps.at(index);
      for (int i = 0; i < step.count; ++i, ++next) {
        if (next >= inputs.size() || inputs[next].tag != structure.sourceTag ||
            inputs[next].segment != structure.sourceNumber() ||
            !SameFrequency(step.frequency(i), inputs[next].frequency))
          throw OutputError(static_cast<int>(std::min(next, inputs.size())), expected, LastLine(engineOutput));
        const std::complex<double> z = inputs[next].impedance;
        if (!(z.real() > 0 && z.real() <= kMaxImpedance && std::fabs(z.imag()) <= kMaxImpedance))
          throw ImpedanceError(step.frequency(i));
        solved[offset[index] + static_cast<std::size_t>(i)] = {step.band, step.frequency(i), z, 0,
                                                               inputs[next].lossFraction()};
      }
    }
  }

  Result r;
  r.region = settings.region;
  next = 0;
  for (const FrequencyStep& step : plan.frequencies.steps) {
    for (int i = 0; i < step.count; ++i, ++next) {
      if (step.kind == StepKind::Sweep)
        r.sweep.push_back(solved[next]);
      else if (step.kind == StepKind::Own)
        r.bands.push_back({solved[next], ReportedImpedanceAt(design, settings.feed, step.band)});
    }
  }
  SettleBalun(r, settings.balunRatio);
  r.resonance = FindResonance(design, plan, solved);
  return r;
}

std::string OutputErrorText(const OutputError& e, Language lang) {
  std::string text = say(lang, Text::NecOutputIncomplete) + std::to_string(e.solved) + say(lang, Text::NecOutputOf) +
                     std::to_string(e.expected) + say(lang, Text::NecOutputFrequencies);
  if (!e.lastLine.empty()) text += ": " + e.lastLine;
  return text;
}

Question FolderBusyQuestion(Language lang, const std::string& folder) {
  Question q;
  q.text = files::FolderBusyText(lang, folder);
  q.title = say(lang, Text::MessageErrorTitle);
  q.icon = Icon::Exclamation;
  q.buttons = Buttons::AbortRetryIgnore;
  q.defaultButton = 1;
  q.id = QuestionId::FolderBusy;
  return q;
}

namespace {

// Earlier files that no longer belong to the new set step aside under a
// hidden name of the temporary pattern before the set is renamed into
// place, so that a failed commit can put them back and a kill in between
// leaves only a stale temporary; once the set is in place they go.
class StepAside {
 public:
  explicit StepAside(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
      const std::string aside =
          files::FolderOf(path) + "." + files::NameOf(path) + ".lorvant-" + std::to_string(::getpid()) + "-before";
      if (::rename(path.c_str(), aside.c_str()) == 0) {
        moved_.emplace_back(path, aside);
      } else if (errno != ENOENT) {
        const int error = errno;
        putBack();
        throw files::FileError(error, path);
      }
    }
  }
  ~StepAside() { putBack(); }
  bool moved(const std::string& path) const {
    return std::any_of(moved_.begin(), moved_.end(), [&](const auto& m) { return m.first == path; });
  }
  void drop() noexcept {
    for (const auto& [path, aside] : moved_) ::unlink(aside.c_str());
    moved_.clear();
  }

 private:
  void putBack() noexcept {
    for (const auto& [path, aside] : moved_) ::rename(aside.c_str(), path.c_str());
    moved_.clear();
  }
  std::vector<std::pair<std::string, std::string>> moved_;
};

// The files beside a deck that were made from it (the model's sweep, the
// build sheet) and are not in the new set: they belong to the earlier deck.
std::vector<std::string> Companions(const std::vector<std::string>& written) {
  std::vector<std::string> stale;
  for (const std::string& path : written) {
    if (files::NameOf(path) != kDeckFileName) continue;
    for (const char* name : {sweep::kModelSweepFileName, report::kSheetFileName}) {
      const std::string companion = files::FolderOf(path) + name;
      if (std::find(written.begin(), written.end(), companion) == written.end()) stale.push_back(companion);
    }
  }
  return stale;
}

}  // namespace

void CommitCheckFiles(const std::vector<std::pair<std::string, std::string>>& pathsAndBytes) {
  std::vector<std::unique_ptr<files::StagedFile>> staged;
  std::vector<files::StagedFile*> set;
  for (const auto& [path, bytes] : pathsAndBytes) {
    staged.push_back(std::make_unique<files::StagedFile>(path));
    staged.back()->open();
    staged.back()->write(bytes);
    staged.back()->finish();
    set.push_back(staged.back().get());
  }
  std::vector<std::string> written;
  for (const auto& entry : pathsAndBytes) written.push_back(entry.first);
  StepAside aside(Companions(written));
  files::CommitFiles(set);
  aside.drop();
}

bool CommitDeckAlone(const std::string& deckPath, const std::string& deck, const std::string& reportPath) {
  files::StagedFile staged(deckPath);
  staged.open();
  staged.write(deck);
  staged.finish();
  std::vector<std::string> earlier = Companions({deckPath});
  earlier.insert(earlier.begin(), reportPath);
  StepAside aside(earlier);
  const bool hadReport = aside.moved(reportPath);
  files::StagedFile* set[] = {&staged};
  files::CommitFiles(set);
  aside.drop();
  return hadReport;
}

std::string EarlierReportRemovedText(Language lang, const std::string& reportPath) {
  return say(lang, Text::NecEarlierReportBefore) + reportPath + say(lang, Text::NecEarlierReportRemoved);
}

std::string ImpedanceErrorText(const ImpedanceError& e, Language lang, char sep) {
  const std::string mhz = report::FormatPicture(e.frequency, "#0.0###", sep);
  return say(lang, Text::NecNoImpedanceBefore) + mhz + say(lang, Text::NecNoImpedanceAfter);
}

}  // namespace lorvant::nec

namespace lorvant::report {

NecCheckReport MakeNecCheckReport(const nec::Design& design, const nec::Plan& plan, const nec::Result& result,
                                  Language lang, char sep, std::string dateText) {
  NecCheckReport r;
  r.language = lang;
  r.sep = sep;
  r.dateText = std::move(dateText);
  r.conductorDiameter = design.conductorDiameter;
  r.extraFrequency = design.extraFrequency;
  r.model = plan.model;
  r.ground = plan.ground;
  r.result = result;
  return r;
}

}  // namespace lorvant::report
