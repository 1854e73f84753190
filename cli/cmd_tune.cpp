// lorvant-calc tune: the design of a run tuned with the NEC-2 engine
// nec2c. Runs the optimisation and models the wire as `nec` does, searches
// the length, the feed point and the balun for the lowest worst SWR of the
// usable bands (session/nec_tune.h), and writes the tuned design's deck
// Lorvant.nec with the report NecTune.txt into the results folder.
#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "cli/json.h"
#include "cli/nec_options.h"
#include "cli/options.h"
#include "cli/run_options.h"
#include "cli/shared_options.h"
#include "cli/terminal.h"
#include "engine/nec/deck.h"
#include "engine/nec/swr.h"
#include "engine/nec/tune_score.h"
#include "picture/SwrRaster.h"
#include "picture/swr_picture.h"
#include "session/messages.h"
#include "session/nec_check.h"
#include "session/nec_tune.h"
#include "session/nec_tune_report.h"
#include "text/catalogue.h"
#include "text/nec_texts.h"
#include "text/reports/neccheck.h"
#include "text/reports/nectune.h"

namespace lorvant::cli {

namespace {

struct TuneOptions {
  int jobs = 0;  // 0: one per core
  std::vector<nec::BandWeight> weights;
};

inline constexpr int kMaxJobs = 64;

// "BAND=W": a band as --band takes it and a weight above 0.
nec::BandWeight WeightFromText(const std::string& v) {
  const std::size_t eq = v.find('=');
  if (eq == std::string::npos) throw UsageError("a band and its weight are needed, such as 3.5=2");
  const int band = BandIndexFromText(v.substr(0, eq));
  const double w = FieldNumber(FieldText(v.substr(eq + 1), kDecimalKeys, 0));
  if (!(w > 0)) throw UsageError("the weight lies above 0");
  return {band, w};
}

void DeclareTuneOptions(OptionParser& p, TuneOptions& t) {
  p.section("Tuning");
  p.value("jobs", "N",
          "nec2c processes that solve the candidates side by side: 1 to " + std::to_string(kMaxJobs) +
              " (default --engine-processes, else one per core); the outcome does not depend on it",
          [&t](const std::string& v) {
            const std::string s = FieldText(v, kWholeKeys, 3);
            const int jobs = s.empty() ? -1 : std::stoi(s);
            if (jobs < 1 || jobs > kMaxJobs) throw UsageError("the jobs are 1 to " + std::to_string(kMaxJobs));
            t.jobs = jobs;
          });
  p.value(
      "weight", "BAND=W",
      "weight of a counted band (BAND as for --band, W above 0): its SWR - 1 counts W times in the worst SWR "
      "(default 1; repeatable)",
      [&t](const std::string& v) {
        const nec::BandWeight w = WeightFromText(v);
        for (nec::BandWeight& given : t.weights)
          if (given.band == w.band) throw UsageError("the band's weight is given twice");
        t.weights.push_back(w);
      },
      true);
}

const char* kEpilogue =
    "The design, its model and its check are those of \"lorvant-calc nec\" (see\n"
    "its help) with the same options. The tuning varies the wire's length within\n"
    "10 % of the run's, the feed point from 5 to 50 % of the length from the\n"
    "wire's start (an apex without --apex-at moves with it) and the balun\n"
    "ratio among 1, 2.25, 4, 6 and 9 (or keeps --balun). It starts from the\n"
    "run's length fed at each of its proposed feed points and at --feed; the\n"
    "best of them is the start.\n"
    "\n"
    "A design is ranked by the number of its usable bands first (a band that\n"
    "no balun brings under SWR 3 at its own frequency is not usable and does not\n"
    "count), then by its worst SWR over the usable bands' own and sweep\n"
    "frequencies through the best balun, each band's SWR - 1 multiplied by its\n"
    "--weight; ties go to the shorter wire. The search scores a grid of 9\n"
    "lengths and 10 feed points, then walks from the start and the best three\n"
    "grid points to the best of their eight neighbours, halving the steps when\n"
    "none is better, down to 1 cm and 0.1 % of the length. Over a real ground\n"
    "the grid and the walks down to 4 cm and 0.4 % solve the ground with\n"
    "reflection coefficients, some ten times quicker, which rank the designs\n"
    "as Sommerfeld-Norton does; the best two places they reach walk on over the\n"
    "chosen ground. The tuned design is never ranked after the start. Every\n"
    "figure reported is nec2c's on the chosen --ground.\n"
    "\n"
    "Without --json the report is printed as in NecTune.txt. With --json one\n"
    "object: start and tuned ({length, feed (m), balun, worst_swr (null when no\n"
    "band is usable), usable_bands, weighted_worst_swr (the one ranked)}),\n"
    "bands: [{band, frequency, r, x, swr, usable, worst (over the sweep),\n"
    "start: {r, x, swr, usable, worst}}] of the tuned design and the start,\n"
    "sweep: [{band, frequency, r, x, swr}] of the tuned design, deck and report\n"
    "(paths), ground, evaluations (designs scored), coarse_evaluations (of them\n"
    "over reflection coefficients), engine_runs, jobs, seconds, engine_seconds\n"
    "(of them waiting for nec2c),\n"
    "and vk: the --vk with which the run gives the tuned length (exact for a\n"
    "bare wire in the preferred-frequency length mode with the calculator off).\n"
    "\n"
    "Lorvant.nec (the tuned design's deck), NecTune.txt (and the --picture: the\n"
    "tuned design's SWR, the start's dashed over it) are written together; a tuning that is stopped or fails\n"
    "leaves the earlier files as they were. Without nec2c the start's deck is\n"
    "written alone.\n"
    "\n"
    "Exit status: 0 the tuning completed; 1 it ended without a result (also when\n"
    "stopped by Ctrl-C or another signal, or when another check or run writes\n"
    "into the results folder); 2 unknown option or bad value.\n"
    "\n"
    "Example:\n"
    "  lorvant-calc tune --out results --frequency 3.65 --halfwaves 1 --band 3.5 \\\n"
    "      --band 7 --band 14 --band 28 --weight 3.5=2\n";

int UsableBands(const nec::Result& r) {
  int n = 0;
  for (const nec::BandCheck& b : r.bands) n += b.usable ? 1 : 0;
  return n;
}

// An SWR that is infinite or belongs to no usable band is written as null.
std::optional<double> SwrValue(double swr, bool counts = true) {
  return counts && std::isfinite(swr) ? std::optional(swr) : std::nullopt;
}

void SideJson(JsonWriter& j, const char* name, const nec::CheckedCandidate& c) {
  j.key(name).beginObject();
  j.key("length").value(nec::TypedDecimal(c.candidate.design.length));
  j.key("feed").value(c.candidate.settings.feed);
  j.key("balun").value(c.result.balunRatio);
  Member(j, "worst_swr", SwrValue(c.result.worstSwr, c.result.worstBand >= 0));
  j.key("usable_bands").value(UsableBands(c.result));
  Member(j, "weighted_worst_swr", SwrValue(c.score.worstSwr, c.result.worstBand >= 0));
  j.endObject();
}

void BandMembers(JsonWriter& j, const nec::Result& r, const nec::BandCheck& b) {
  j.key("r").value(b.solved.impedance.real());
  j.key("x").value(b.solved.impedance.imag());
  Member(j, "swr", SwrValue(b.solved.swr));
  j.key("usable").value(b.usable);
  const double worst = report::WorstOverSweep(r, b.solved.band);
  Member(j, "worst", SwrValue(worst, worst > 0));
}

void PrintJson(const nec::TunedDesign& t, const nec::Settings& settings, int jobs, const std::string& deckPath,
               const std::string& reportPath) {
  const float extra = t.tuned.candidate.design.extraFrequency;
  JsonWriter j;
  j.beginObject();
  SideJson(j, "start", t.start);
  SideJson(j, "tuned", t.tuned);
  j.key("bands").beginArray();
  for (const nec::BandCheck& b : t.tuned.result.bands) {
    j.beginObject();
    j.key("band").value(nec::BandLabelFrequency(b.solved.band, extra));
    j.key("frequency").value(b.solved.frequency);
    BandMembers(j, t.tuned.result, b);
    j.key("start").beginObject();
    for (const nec::BandCheck& s : t.start.result.bands)
      if (s.solved.band == b.solved.band) BandMembers(j, t.start.result, s);
    j.endObject();
    j.endObject();
  }
  j.endArray();
  j.key("sweep").beginArray();
  for (const nec::SolvedFrequency& s : t.tuned.result.sweep) {
    j.beginObject();
    j.key("band").value(nec::BandLabelFrequency(s.band, extra));
    j.key("frequency").value(s.frequency);
    j.key("r").value(s.impedance.real());
    j.key("x").value(s.impedance.imag());
    Member(j, "swr", SwrValue(s.swr));
    j.endObject();
  }
  j.endArray();
  j.key("deck").value(deckPath);
  j.key("report").value(reportPath);
  j.key("ground").value(nec::GroundWord(settings.ground));
  j.key("evaluations").value(t.evaluations);
  j.key("coarse_evaluations").value(t.coarseEvaluations);
  j.key("engine_runs").value(t.engineRuns);
  j.key("jobs").value(jobs);
  j.key("seconds").value(t.seconds);
  j.key("engine_seconds").value(t.engineSeconds);
  j.key("vk").value(
      nec::TunedShorteningFactor(t.start.candidate.design, nec::TypedDecimal(t.tuned.candidate.design.length)));
  j.endObject();
  std::cout << j.str() << std::endl;
}

// Without an engine the start's deck still serves for a run by hand.
std::string WriteStartDeck(const nec::Design& design, const nec::Settings& settings, const std::string& deckPath,
                           const std::string& reportPath, const std::string& failure, Language lang) {
  try {
    const nec::Plan plan = nec::PrepareCheck(design, settings);
    if (nec::CommitDeckAlone(deckPath, plan.deck, reportPath))
      return failure + "\n" + nec::EarlierReportRemovedText(lang, reportPath);
    return failure;
  } catch (const files::FileError& e) {
    return FileMessage(e, lang);
  } catch (const nec::ModelError&) {
    return failure;
  }
}

}  // namespace

int TuneCommand(const Args& args) {
  RunOptions o;
  NecOptions n;
  TuneOptions to;
  OptionParser p("tune", "--out DIR [options]",
                 "Tunes the design of the current-sum run with the NEC-2 engine nec2c: runs the optimisation and "
                 "models the wire as \"nec\" does, then searches the length, the feed point and the balun for the "
                 "lowest worst SWR over the usable bands. Writes the tuned design's Lorvant.nec and NecTune.txt into "
                 "DIR.");
  DeclareNecOptions(p, o, n, report::kNecTuneFileName);
  DeclareTuneOptions(p, to);
  p.epilogue(kEpilogue);
  if (!p.parse(args, std::cout)) return kExitOk;
  if (!o.out) throw UsageError("--out DIR is required");
  if (n.apexAt && !n.apexHeight) throw UsageError("--apex-at needs --apex-height");
  RunInput in = MakeRunInput(o);
  const Language lang = in.language;
  const char sep = in.decimalSeparator;
  const std::string folder = OutputFolderOption("out", *o.out);
  const StopOnSignal stopOnSignal;

  RunOutput run;
  if (!RunDesign(in, o, run)) return kExitNoResult;
  const nec::Design design = nec::DesignFromRun(in, run);
  nec::Settings settings;
  if (!SettleCheck(settings, n, design, lang, sep)) return kExitNoResult;
  for (const nec::BandWeight& w : to.weights)
    if (design.bands[static_cast<std::size_t>(w.band)] != BandState::Counted)
      throw UsageError("--weight: the " + report::NecBandName(w.band, 0, '.') + " band is not counted");

  files::FolderLock lock;
  if (!LockFolder(lock, folder, lang)) return kExitNoResult;

  const std::string deckPath = folder + nec::kDeckFileName;
  const std::string reportPath = folder + report::kNecTuneFileName;
  nec::TuneRequest request;
  if (n.feed) request.feed = settings.feed;
  request.weights = to.weights;
  // --engine-processes means the same here when --jobs is not given.
  const int jobs = to.jobs > 0             ? to.jobs
                   : n.engineProcesses > 0 ? n.engineProcesses
                                           : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const std::string program = nec::FindEngine();
  const int timeout = n.engineTimeout;
  nec::TunedDesign tuned;
  try {
    tuned = nec::TuneDesign(
        design, settings, request, [&] { return std::make_unique<nec::Nec2cEngine>(program, timeout, jobs); },
        [] { return !StopRequested(); });
  } catch (const nec::TuneEngineError& e) {
    std::string failure = e.result.status == nec::EngineResult::Status::Cancelled
                              ? say(lang, Text::CliTuneStoppedBySignal)
                              : nec::EngineTroubleText(lang, e.result, deckPath);
    if (e.result.status == nec::EngineResult::Status::Missing)
      failure = WriteStartDeck(design, settings, deckPath, reportPath, failure, lang);
    std::cerr << failure << std::endl;
    return kExitNoResult;
  } catch (const nec::OutputError& e) {
    std::cerr << nec::OutputErrorText(e, lang) << std::endl;
    return kExitNoResult;
  } catch (const nec::ImpedanceError& e) {
    std::cerr << nec::ImpedanceErrorText(e, lang, sep) << std::endl;
    return kExitNoResult;
  } catch (const nec::ModelError& e) {
    std::cerr << nec::ModelErrorText(e, lang, sep) << std::endl;
    return kExitNoResult;
  }

  const report::NecTuneReport data = nec::MakeTuneReport(tuned, settings, to.weights, jobs, lang, sep, in.dateText);
  std::ostringstream bytes;
  report::WriteNecTuneReport(bytes, data);
  std::vector<std::pair<std::string, std::string>> set = {{deckPath, tuned.tuned.plan.deck}, {reportPath, bytes.str()}};
  if (n.picture) {
    // The tuned design's curves, the start's dashed over them, as the window draws them.
    const nec::SwrPicture picture = nec::MakeSwrPicture(tuned.tuned.result, design.extraFrequency, lang, sep,
                                                        nec::TuningStartOverlay(tuned.start.result));
    set.emplace_back(*n.picture, IsPng(*n.picture) ? nec::SwrPicturePng(picture) : nec::SwrPictureSvg(picture));
  }
  try {
    nec::CommitCheckFiles(set);
  } catch (const files::FileError& e) {
    std::cerr << FileMessage(e, lang) << std::endl;
    return kExitNoResult;
  }

  if (o.json) {
    PrintJson(tuned, settings, jobs, deckPath, reportPath);
  } else {
    std::string table;
    for (const std::string& line : report::NecTuneBody(data)) table += line + "\n";
    std::cout << table;
  }
  return kExitOk;
}

}  // namespace lorvant::cli
