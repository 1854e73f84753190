// lorvant-calc nec: the design of a run checked with the NEC-2 engine
// nec2c. Runs the optimisation as `run` does (in a folder of its own), turns
// the wire and a feed point into a NEC-2 deck, runs nec2c on it and writes
// only Lorvant.nec and NecCheck.txt (and, when asked, the model's sweep
// Lorvant.s1p) into the results folder.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/json.h"
#include "cli/nec_air_options.h"
#include "cli/nec_options.h"
#include "cli/options.h"
#include "cli/run_options.h"
#include "cli/terminal.h"
#include "engine/nec/deck.h"
#include "engine/nec/hanging.h"
#include "engine/nec/loads.h"
#include "engine/nec/swr.h"
#include "engine/numparse.h"
#include "engine/sweep/model_sweep.h"
#include "io/engine_runner.h"
#include "io/staged_files.h"
#include "picture/SwrRaster.h"
#include "picture/polar_picture.h"
#include "picture/swr_picture.h"
#include "session/feedpoint.h"
#include "session/measured.h"
#include "session/measured_check.h"
#include "session/messages.h"
#include "session/nec_check.h"
#include "text/bilingual.h"
#include "text/catalogue.h"
#include "text/format.h"
#include "text/nec_texts.h"
#include "text/reports/neccheck.h"
#include "text/reports/sheet.h"

namespace lorvant::cli {

// The last four characters of a file name, in lower case: the picture's type.
std::string LowerSuffix(const std::string& name) {
  std::string lower = name.size() >= 4 ? name.substr(name.size() - 4) : std::string();
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool IsPng(const std::string& name) { return LowerSuffix(name) == ".png"; }

// The message of a file operation that failed: its cause and the file.
std::string FileMessage(const files::FileError& e, Language lang) {
  return OneLine(files::FileErrorText(lang, e.error(), e.path()));
}

bool LockFolder(files::FolderLock& lock, const std::string& folder, Language lang) {
  try {
    if (lock.tryLock(folder)) return true;
    std::cerr << OneLine(nec::FolderBusyQuestion(lang, folder).text) << std::endl;
  } catch (const files::FileError& e) {
    std::cerr << FileMessage(e, lang) << std::endl;
  }
  return false;
}

namespace {

// A length or height in m as the fields take it, above 0.
float Metres(const std::string& v, const char* what) {
  const float m = FieldNumber(FieldText(v, kDecimalKeys, 0));
  if (!(m > 0)) throw UsageError(std::string(what) + " lies above 0 m");
  return m;
}

// A conductivity such as 5.8e7 or 58000000, above 0.
double SiemensPerMetre(const std::string& v) {
  std::string t = v;
  std::replace(t.begin(), t.end(), ',', '.');
  double s = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), s);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(s))
    throw UsageError("a number is needed (such as 5.8e7)");
  if (!(s > 0)) throw UsageError("the conductivity lies above 0 S/m");
  return s;
}

}  // namespace

void DeclareNecOptions(OptionParser& p, RunOptions& o, NecOptions& n, const std::string& reportName) {
  p.section("Results");
  p.value("out", "DIR",
          "folder for the deck Lorvant.nec and the report " + reportName +
              " (required; made when missing; nothing else is written there but the nec command's --touchstone "
              "file)",
          FolderValue(o.out));
  p.flag("json", "print one JSON object on stdout instead of the table (see below)", [&o] { o.json = true; });

  p.section("NEC-2 check");
  p.value("feed", "M", "feed point in m from the start of the wire (default the run's first proposed feed point)",
          [&n](const std::string& v) {
            const float f = FieldNumber(FieldText(v, kDecimalKeys, 0));
            if (!(f > 0)) throw UsageError("the feed point lies above 0 m");
            n.feed = f;
          });
  p.value("height", "M", "height of both ends of the wire above ground in m (default 10)",
          [&n](const std::string& v) { n.height = Metres(v, "the height"); });
  p.value("start-height", "M", "height of the wire's start (x = 0) above ground in m (default --height)",
          [&n](const std::string& v) { n.startHeight = Metres(v, "the height"); });
  p.value("end-height", "M", "height of the wire's end above ground in m (default --height); two heights make a sloper",
          [&n](const std::string& v) { n.endHeight = Metres(v, "the height"); });
  p.value("apex-height", "M",
          "height in m of a support between the ends (an inverted-V); the wire runs straight from each end up or "
          "down to it (default none)",
          [&n](const std::string& v) { n.apexHeight = Metres(v, "the apex height"); });
  p.value("apex-at", "M", "where the apex lies, in m along the wire from its start (default the feed point)",
          [&n](const std::string& v) { n.apexAt = Metres(v, "the apex"); });
  p.value("plan-angle", "DEG",
          "angle in degrees between the wire's two legs seen from above, which meet at the apex or else the feed "
          "point: above 0 up to 180 (default 180, straight; 90 an L)",
          [&n](const std::string& v) {
            const float a = FieldNumber(FieldText(v, kDecimalKeys, 0));
            if (!(a > 0 && a <= 180)) throw UsageError("the plan angle lies above 0 and at most 180 degrees");
            n.planAngle = a;
          });
  p.value("material", "copper|aluminium|lossless",
          "the conductor, for its loss in the model: copper (5.8E7 S/m; default), aluminium (3.5E7 S/m) or "
          "lossless (a perfect conductor)",
          [&n](const std::string& v) {
            const auto m = nec::MaterialFromWord(v);
            if (!m) throw UsageError("'" + v + "' is not one of copper, aluminium, lossless");
            n.material = *m;
          });
  p.value("conductivity", "S_PER_M",
          "the conductor's conductivity in S/m, above 0 (such as 5.8e7); it replaces the --material's",
          [&n](const std::string& v) { n.conductivity = SiemensPerMetre(v); });
  p.value("ground", "free|perfect|poor|average|good",
          "free space, perfect ground, or a real ground by the Sommerfeld-Norton method: poor (relative "
          "permittivity 5, 0,001 S/m), average (13, 0,005 S/m; default), good (20, 0,03 S/m)",
          [&n](const std::string& v) {
            const auto g = nec::GroundFromWord(v);
            if (!g) throw UsageError("'" + v + "' is not one of free, perfect, poor, average, good");
            n.ground = *g;
          });
  p.value("balun", "auto|1|2.25|4|6|9",
          "impedance ratio of the balun to the 50-ohm line; auto (default) takes the ratio whose worst SWR over "
          "the usable bands and their sweeps is the lowest (see below)",
          [&n](const std::string& v) {
            if (v == "auto") {
              n.balun.reset();
              return;
            }
            const auto ratio = nec::BalunFromText(v);
            if (!ratio) throw UsageError("'" + v + "' is not one of auto, 1, 2.25, 4, 6, 9");
            n.balun = *ratio;
          });
  p.value("points", "N",
          "frequencies of the sweep across each band from edge to edge: 0 (none) or 2 to 101 (default 5)",
          [&n](const std::string& v) {
            const std::string t = FieldText(v, kWholeKeys, 3);
            const int points = t.empty() ? -1 : std::stoi(t);
            if (points != 0 && (points < 2 || points > nec::kMaxSweepPoints))
              throw UsageError("the sweep has 0 or 2 to 101 points");
            n.points = points;
          });
  p.value("engine-timeout", "S",
          "seconds nec2c may take for one frequency before it is stopped: 1 to 86400 (default 300)",
          [&n](const std::string& v) {
            const std::string t = FieldText(v, kWholeKeys, 5);
            const long s = t.empty() ? -1 : std::stol(t);
            if (s < 1 || s > 86400) throw UsageError("the engine time-out lies between 1 and 86400 s");
            n.engineTimeout = static_cast<int>(s);
          });
  p.value("engine-processes", "N",
          "nec2c processes that solve the bands' structures side by side: 1 to " +
              std::to_string(nec::kMaxEngineProcesses) + " (default one per core, at most " +
              std::to_string(nec::kMaxEngineProcesses) + ")",
          [&n](const std::string& v) {
            const std::string t = FieldText(v, kWholeKeys, 2);
            const int count = t.empty() ? -1 : std::stoi(t);
            if (count < 1 || count > nec::kMaxEngineProcesses)
              throw UsageError("the engine processes are 1 to " + std::to_string(nec::kMaxEngineProcesses));
            n.engineProcesses = count;
          });
  p.value("picture", "FILE",
          "also write the SWR picture of the check, as the NEC-2 window shows it, into FILE (.svg or .png by the "
          "name; written with the deck and the report, or not at all); with --pattern also each band's polar "
          "pictures beside it, FILE's stem with the band and the cut, in FILE's type (Check.svg: "
          "Check-7MHz-elevation.svg, Check-7MHz-azimuth.svg)",
          [&n](const std::string& v) {
            const std::string suffix = LowerSuffix(v);
            if (suffix != ".svg" && suffix != ".png")
              throw UsageError("--picture: the file's name ends in .svg or .png");
            n.picture = v;
          });
  p.value("region", "1|2|3",
          "the IARU region whose band plan gives the sweep's band edges (default 1: Europe, Africa, the Middle "
          "East; 2: the Americas; 3: Asia and the Pacific)",
          [&n](const std::string& v) {
            if (v != "1" && v != "2" && v != "3") throw UsageError("'" + v + "' is not one of the regions 1, 2, 3");
            n.region = static_cast<nec::Region>(v[0] - '0');
          });
  DeclareDesignOptions(p, o);
}

namespace {

const char* kEpilogue =
    "The run's own files (AntStrSu.txt, ...) are not written; --special-table has no\n"
    "effect here. The model is the wire of the run's length as it hangs: from\n"
    "--start-height at its start to --end-height at its end, straight or over one\n"
    "support at --apex-height (an inverted-V; at --apex-at, else at the feed\n"
    "point), its two legs --plan-angle degrees apart seen from above (meeting at\n"
    "the apex, else at the feed point); radius half the --conductor diameter.\n"
    "Its loads: the conductor's loss (--material, --conductivity) and, for an\n"
    "insulated wire, the insulation as a distributed series inductance. Each\n"
    "counted band is a structure of its own, segmented finer for that band\n"
    "(segments of similar length on both sides of a bend), with a 1 V source on a\n"
    "segment centred on the feed point; it is checked at the frequency the run\n"
    "computed it with, and swept across its edges in the band plan of IARU Region\n"
    "--region (default 1). The structures are solved by nec2c processes running\n"
    "in parallel, one per core (at most four); nec2c is looked up on PATH\n"
    "(Debian: apt install nec2c).\n"
    "\n"
    "Without --json the check is printed as in NecCheck.txt. With --json one\n"
    "object is printed once the deck is written: length (m), feed (m), height (m,\n"
    "the start's), start_height and end_height (m), apex ({height, at} in m; null\n"
    "without), plan_angle (degrees), material, conductivity (S/m; null for a\n"
    "lossless conductor), ground, region (1, 2 or 3), balun (the ratio; null when\n"
    "it could not be chosen), deck and report (paths; report null when not\n"
    "written), bands: [{band, frequency, r, x, swr, usable, loss,\n"
    "model_impedance}],\n"
    "sweep: [{band, frequency, r, x, swr}] and resonance: {band, frequency, vk} or\n"
    "null. band is the band's nominal frequency, frequency in MHz, r and x in ohms\n"
    "(null when nec2c gave none), swr through the balun, usable false for a band\n"
    "that no balun brings under SWR 3 at its own frequency (null without a\n"
    "result), loss the share of the input power that the conductor turns into\n"
    "heat (from nec2c's power budget; null without one), model_impedance the\n"
    "approximate impedance that AntStrSu.txt shows\n"
    "at this feed point (null where it shows none).\n"
    "With --measured the object also holds measured: {file, bands: [{band,\n"
    "x_zero, min_swr, min_swr_frequency, model_resonance}], fitted_length,\n"
    "length_change}: per band of the sweep its resonances (null for SWR alone)\n"
    "and lowest SWR, the model's resonances (null for a band not checked), and\n"
    "the wire length in m whose model resonates at the measured resonance of the\n"
    "lowest counted band that shows one (the feed point at the same fraction of\n"
    "the length; a few more nec2c runs), with its difference to the design\n"
    "(null when none was found).\n"
    "\n"
    "--balun auto takes, of 1, 2.25, 4, 6 and 9, the ratio whose worst SWR over\n"
    "the usable bands, at their own frequencies and across their sweeps, is the\n"
    "lowest (the smaller ratio on a tie; 1 when no band is usable). A band that\n"
    "is not usable at this feed point is named and does not choose the ratio; a\n"
    "given --balun leaves it so. The lowest counted band is also solved 5 and 10 %\n"
    "below and above its own frequency; resonance is where its reactance turns\n"
    "from capacitive to inductive nearest that frequency (interpolated between\n"
    "the solved frequencies), vk the --vk that would put the design's band\n"
    "there: Vk * resonance / own frequency (null when there is no such crossing).\n"
    "\n"
    "Lorvant.nec, NecCheck.txt (and the --picture, Lorvant.s1p, Lorvant-Sheet.pdf)\n"
    "are written together when the check completed; an earlier Lorvant.s1p or\n"
    "Lorvant-Sheet.pdf that this check was not asked for is removed with them, as\n"
    "it belonged to the earlier deck. A check that is stopped (Ctrl-C, SIGTERM,\n"
    "SIGHUP) or fails leaves the files of the earlier check as they were. Without\n"
    "nec2c the deck is written alone, and an earlier NecCheck.txt, Lorvant.s1p and\n"
    "Lorvant-Sheet.pdf are removed with the earlier deck.\n"
    "Each nec2c runs in a process group of its own and ends with lorvant-calc;\n"
    "one that solves no new frequency for --engine-timeout seconds is stopped,\n"
    "and a failing one stops the others. While a check or a run writes into DIR,\n"
    "a second one ends at once with status 1.\n"
    "\n"
    "Exit status: 0 the check completed; 1 it ended without a result (the run\n"
    "ended early, no feed point, the folder busy, nec2c missing, failing, stopped\n"
    "or answering with no usable impedance; the message on stderr); 2 unknown\n"
    "option or bad value.\n"
    "\n"
    "Example:\n"
    "  lorvant-calc nec --out results --frequency 7,1 --halfwaves 1 --band 7 \\\n"
    "      --band 14 --band 21 --band 28 --height 10 --ground average\n";

void SolvedMembers(JsonWriter& j, const nec::SolvedFrequency* s) {
  // An infinite SWR is written as null as well.
  Member(j, "r", s ? std::optional(s->impedance.real()) : std::nullopt);
  Member(j, "x", s ? std::optional(s->impedance.imag()) : std::nullopt);
  Member(j, "swr", s ? std::optional(s->swr) : std::nullopt);
}

void MeasuredMember(JsonWriter& j, const report::MeasuredCheck& m);

void PrintJson(const nec::Design& design, const nec::Settings& settings, const nec::Plan& plan,
               const std::string& deckPath, const std::string& reportPath, const nec::Result* result,
               const nec::AirResult* air, const report::MeasuredCheck* measured = nullptr) {
  JsonWriter j;
  j.beginObject();
  j.key("length").value(design.length);
  j.key("feed").value(settings.feed);
  j.key("height").value(settings.hanging.startHeight);
  j.key("start_height").value(settings.hanging.startHeight);
  j.key("end_height").value(settings.hanging.endHeight);
  j.key("apex");
  if (settings.hanging.apex) {
    j.beginObject();
    j.key("height").value(settings.hanging.apex->height);
    j.key("at").value(settings.hanging.apex->at.value_or(settings.feed));
    j.endObject();
  } else {
    j.null();
  }
  j.key("plan_angle").value(settings.hanging.planAngle);
  j.key("material").value(std::string(nec::MaterialWord(settings.material)));
  Member(j, "conductivity", settings.conductivity ? settings.conductivity : nec::ConductivityOf(settings.material));
  j.key("ground").value(nec::GroundWord(settings.ground));
  j.key("region").value(static_cast<int>(settings.region));
  Member(j, "balun", result ? std::optional(result->balunRatio) : settings.balunRatio);
  j.key("deck").value(deckPath);
  Member(j, "report", reportPath.empty() ? std::nullopt : std::optional(reportPath));

  // The bands and the sweep in the order of the plan, solved or not.
  std::size_t band = 0, sweep = 0;
  j.key("bands").beginArray();
  for (const nec::FrequencyStep& step : plan.frequencies.steps) {
    if (step.kind != nec::StepKind::Own) continue;
    const std::size_t index = band++;
    const nec::BandCheck* checked = result ? &result->bands[index] : nullptr;
    j.beginObject();
    j.key("band").value(nec::BandLabelFrequency(step.band, design.extraFrequency));
    j.key("frequency").value(step.frequency(0));
    SolvedMembers(j, checked ? &checked->solved : nullptr);
    Member(j, "usable", checked ? std::optional(checked->usable) : std::nullopt);
    Member(j, "loss", checked ? checked->solved.loss : std::nullopt);
    const auto model = nec::ReportedImpedanceAt(design, settings.feed, step.band);
    Member(j, "model_impedance", model ? std::optional(model->ohms) : std::nullopt);
    AirBandMembers(j, air, index);
    j.endObject();
  }
  j.endArray();
  j.key("sweep").beginArray();
  for (const nec::FrequencyStep& step : plan.frequencies.steps) {
    if (step.kind != nec::StepKind::Sweep) continue;
    for (int i = 0; i < step.count; ++i) {
      j.beginObject();
      j.key("band").value(nec::BandLabelFrequency(step.band, design.extraFrequency));
      j.key("frequency").value(step.frequency(i));
      SolvedMembers(j, result ? &result->sweep[sweep++] : nullptr);
      j.endObject();
    }
  }
  j.endArray();
  j.key("resonance");
  if (result && result->resonance) {
    const nec::Resonance& res = *result->resonance;
    j.beginObject();
    j.key("band").value(nec::BandLabelFrequency(res.band, design.extraFrequency));
    j.key("frequency").value(res.frequency);
    j.key("vk").value(res.vk);
    j.endObject();
  } else {
    j.null();
  }
  AirTopMembers(j, air);
  if (measured) MeasuredMember(j, *measured);
  j.endObject();
  std::cout << j.str() << std::endl;
}

// "measured": the sweep beside the model and the fitted length (only with
// --measured).
void MeasuredMember(JsonWriter& j, const report::MeasuredCheck& m) {
  const auto list = [&j](const std::vector<double>& values) {
    j.beginArray();
    for (const double v : values) j.value(v);
    j.endArray();
  };
  j.key("measured").beginObject();
  j.key("file").value(m.file);
  j.key("bands").beginArray();
  for (const report::MeasuredBandRow& b : m.bands) {
    j.beginObject();
    j.key("band").value(nec::BandLabelFrequency(b.band, 0));
    j.key("x_zero");
    if (b.measured)
      list(*b.measured);
    else
      j.null();
    j.key("min_swr").value(b.minSwr);
    j.key("min_swr_frequency").value(b.minSwrFrequency);
    j.key("model_resonance");
    if (b.counted)
      list(b.model);
    else
      j.null();
    j.endObject();
  }
  j.endArray();
  Member(j, "fitted_length", m.fittedLength);
  Member(j, "length_change", m.fittedLength ? std::optional(*m.fittedLength - m.designLength) : std::nullopt);
  j.endObject();
}

}  // namespace

// Runs the optimisation into a folder of its own that goes with it: the
// nec check writes none of the run's files. False, with the message on
// stderr, when the run gave no result.
bool RunDesign(RunInput& in, const RunOptions& o, RunOutput& run) {
  const Language lang = in.language;
  BatchHost host(o, lang, false);
  {
    const nec::PrivateFolder runFolder;
    if (!runFolder.ok()) {
      std::cerr << say(lang, Text::CliNoTemporaryFolder) << runFolder.base() << ": "
                << files::FileErrorCause(lang, runFolder.error()) << std::endl;
      return false;
    }
    in.resultsFolder = runFolder.path();
    run = RunOptimisation(in, host);
  }
  if (run.outcome != RunOutcome::Completed) {
    std::cerr << NoResultMessage(run, host, lang) << std::endl;
    return false;
  }
  return true;
}

// The check's settings; the feed point as given, else the run's first
// proposal. False, with the message on stderr, when there is none.
bool SettleCheck(nec::Settings& settings, const NecOptions& n, const nec::Design& design, Language lang, char sep) {
  settings.hanging.startHeight = nec::TypedDecimal(n.startHeight.value_or(n.height));
  settings.hanging.endHeight = nec::TypedDecimal(n.endHeight.value_or(n.height));
  if (n.apexHeight) {
    nec::Apex apex;
    apex.height = nec::TypedDecimal(*n.apexHeight);
    if (n.apexAt) apex.at = nec::TypedDecimal(*n.apexAt);
    settings.hanging.apex = apex;
  }
  settings.hanging.planAngle = nec::TypedDecimal(n.planAngle);
  settings.material = n.material;
  settings.conductivity = n.conductivity;
  settings.ground = n.ground;
  settings.balunRatio = n.balun;
  settings.sweepPoints = n.points;
  settings.region = n.region;
  if (n.feed) {
    settings.feed = nec::TypedDecimal(*n.feed);
    if (!(settings.feed < nec::TypedDecimal(design.length)))
      throw UsageError("--feed: " + feedpoint::OffWireText(lang, design.length, sep));
    return true;
  }
  if (!design.proposedFeeds.empty()) {
    settings.feed = design.proposedFeeds.front().x;
    return true;
  }
  std::cerr << say(lang, Text::CliNoFeedPoint) << std::endl;
  return false;
}

namespace {

// The build sheet and the measured sweep beside the model: the nec
// command's own, not the tuning's.
struct SheetOptions {
  bool sheet = false;
  double allowance = report::kDefaultAllowance;  // m per end
  std::optional<std::string> measured;           // an analyser's sweep of the built antenna
};

void DeclareSheetOptions(OptionParser& p, SheetOptions& s) {
  p.section("Build sheet");
  p.flag("sheet",
         std::string("also write the build sheet ") + report::kSheetFileName +
             " beside the deck: one A4 page (PDF) with both legs from the feed point as designed and to cut, the "
             "heights, the balun, each band's SWR, resonance and pruning, and a side view (written with the deck "
             "and the report, or not at all)",
         [&s] { s.sheet = true; });
  p.section("Measured sweep");
  p.value("measured", "FILE",
          "an antenna analyser's sweep of the built antenna (Touchstone .s1p or CSV, as lorvant-calc measured reads "
          "it): per band its resonances and lowest SWR beside the model's in the report and the JSON, and the wire "
          "length whose model resonates where the antenna does (a few more nec2c runs)",
          [&s](const std::string& v) { s.measured = v; });
  p.value("sheet-allowance", "CM", "wire added at each end of each leg for its knot, in cm: 0 to 100 (default 15)",
          [&s](const std::string& v) {
            const float cm = FieldNumber(FieldText(v, kDecimalKeys, 0));
            if (!(cm >= 0 && cm <= 100)) throw UsageError("the allowance lies between 0 and 100 cm");
            s.allowance = nec::TypedDecimal(cm) / 100;
          });
}

// Runs nec2c on the deck and evaluates its output; the failure's message,
// or empty. `missing`: there was no engine to run.
std::string RunEngine(const nec::Design& design, const nec::Settings& settings, const nec::Plan& plan,
                      const NecOptions& n, const std::string& deckPath, Language lang, char sep, nec::Result& result,
                      bool& missing, const nec::AirSettings& air, std::optional<nec::AirResult>& airResult) {
  nec::Nec2cEngine engine({}, n.engineTimeout, n.engineProcesses);
  const nec::EngineResult engineResult = engine.run(plan.deck, [](int) { return !StopRequested(); });
  missing = engineResult.status == nec::EngineResult::Status::Missing;
  if (engineResult.status == nec::EngineResult::Status::Cancelled) return say(lang, Text::CliNecStoppedBySignal);
  if (engineResult.status != nec::EngineResult::Status::Completed)
    return nec::EngineTroubleText(lang, engineResult, deckPath);
  try {
    result = nec::Evaluate(design, settings, plan, engineResult.output);
    if (air.any()) airResult = EvaluateAirCheck(plan, air, n, engineResult.output);
    if (StopRequested()) return say(lang, Text::CliNecStoppedBySignal);
  } catch (const nec::OutputError& e) {
    return nec::OutputErrorText(e, lang);
  } catch (const nec::ImpedanceError& e) {
    return nec::ImpedanceErrorText(e, lang, sep);
  }
  return {};
}

// Without an engine the deck still serves for a run by hand. The message
// to print: why, and what became of the earlier report.
std::string WriteDeckAlone(const nec::Plan& plan, const std::string& deckPath, const std::string& reportPath,
                           const std::string& failure, Language lang) {
  try {
    if (nec::CommitDeckAlone(deckPath, plan.deck, reportPath))
      return failure + "\n" + nec::EarlierReportRemovedText(lang, reportPath);
    return failure;
  } catch (const files::FileError& e) {
    return FileMessage(e, lang);
  }
}

}  // namespace

int NecCommand(const Args& args) {
  RunOptions o;
  NecOptions n;
  OptionParser p("nec", "--out DIR [options]",
                 "Checks the design of the current-sum run with the NEC-2 engine nec2c: runs the optimisation with the "
                 "inputs below as \"run\" does, models the wire with a feed point, runs nec2c and prints the feed "
                 "impedance, the SWR through the balun and the run's approximate impedance on every counted band. "
                 "Writes Lorvant.nec and NecCheck.txt into DIR.");
  DeclareNecOptions(p, o, n, report::kNecCheckFileName);
  p.section("Model sweep");
  p.flag("touchstone",
         "also write the model's feed impedance at every solved frequency of the bands and their sweeps as "
         "Lorvant.s1p beside the deck (Touchstone, S11 on 50 ohms; written with the deck and the report, or not at "
         "all)",
         [&n] { n.touchstone = true; });
  SheetOptions sheet;
  DeclareSheetOptions(p, sheet);
  AirOptions air;
  DeclareAirOptions(p, air);
  std::string epilogue = kEpilogue;
  epilogue.insert(epilogue.find("Exit status:"), std::string(kAirEpilogue) + "\n");
  p.epilogue(epilogue);
  if (!p.parse(args, std::cout)) return kExitOk;
  if (!o.out) throw UsageError("--out DIR is required");
  if (n.apexAt && !n.apexHeight) throw UsageError("--apex-at needs --apex-height");
  const nec::AirSettings airSettings = air.settings();
  RunInput in = MakeRunInput(o);
  const Language lang = in.language;
  const char sep = in.decimalSeparator;
  const std::string folder = OutputFolderOption("out", *o.out);
  const StopOnSignal stopOnSignal;
  sweep::MeasuredFile measured;
  if (sheet.measured) {
    measured = sweep::ReadMeasured(*sheet.measured, n.region);
    if (!measured.read) {
      std::cerr << measured.refusal.in(lang) << std::endl;
      return kExitNoResult;
    }
  }

  RunOutput run;
  if (!RunDesign(in, o, run)) return kExitNoResult;
  const nec::Design design = nec::DesignFromRun(in, run);
  nec::Settings settings;
  if (!SettleCheck(settings, n, design, lang, sep)) return kExitNoResult;

  nec::Plan plan;
  try {
    plan = nec::PrepareCheck(design, settings);
    if (airSettings.any()) nec::PrepareAir(plan, airSettings);
  } catch (const nec::ModelError& e) {
    std::cerr << nec::ModelErrorText(e, lang, sep) << std::endl;
    return kExitNoResult;
  }
  // The folder is this check's from before the engine starts until its
  // files are in place: two checks never mix their decks and reports.
  files::FolderLock lock;
  if (!LockFolder(lock, folder, lang)) return kExitNoResult;

  const std::string deckPath = folder + nec::kDeckFileName;
  const std::string reportPath = folder + report::kNecCheckFileName;
  nec::Result result;
  bool missing = false;
  std::optional<nec::AirResult> airResult;
  std::string failure =
      RunEngine(design, settings, plan, n, deckPath, lang, sep, result, missing, airSettings, airResult);
  if (!failure.empty()) {
    if (missing) failure = WriteDeckAlone(plan, deckPath, reportPath, failure, lang);
    if (o.json) PrintJson(design, settings, plan, deckPath, {}, nullptr, nullptr);
    std::cerr << failure << std::endl;
    return kExitNoResult;
  }

  report::NecCheckReport data = report::MakeNecCheckReport(design, plan, result, lang, sep, in.dateText);
  data.air = airResult;
  if (sheet.measured) {
    nec::Nec2cEngine engine({}, n.engineTimeout, n.engineProcesses);
    data.measured = nec::CompareMeasured(*sheet.measured, measured, design, settings, result, engine,
                                         [](int) { return !StopRequested(); });
    if (StopRequested()) {
      std::cerr << say(lang, Text::CliNecStoppedBySignal) << std::endl;
      return kExitNoResult;
    }
  }
  std::ostringstream bytes;
  report::WriteNecCheckReport(bytes, data);
  std::vector<std::pair<std::string, std::string>> set = {{deckPath, plan.deck}, {reportPath, bytes.str()}};
  if (n.picture) {
    const nec::SwrPicture picture =
        nec::MakeSwrPicture(result, design.extraFrequency, lang, sep, sheet.measured ? &measured.sweep : nullptr);
    set.emplace_back(*n.picture, IsPng(*n.picture) ? nec::SwrPicturePng(picture) : nec::SwrPictureSvg(picture));
    if (airResult && airResult->patterns)
      for (auto& file : nec::PolarPictureFiles(*airResult, *n.picture, design.extraFrequency, lang, sep))
        set.push_back(std::move(file));
  }
  if (n.touchstone)
    set.emplace_back(folder + sweep::kModelSweepFileName, sweep::WriteTouchstone(sweep::ModelSweep(result)));
  if (sheet.sheet) set.emplace_back(folder + report::kSheetFileName, report::WriteSheet({data, sheet.allowance}));
  try {
    // An earlier Lorvant.s1p or sheet not written now goes with its deck.
    nec::CommitCheckFiles(set);
  } catch (const files::FileError& e) {
    std::cerr << FileMessage(e, lang) << std::endl;
    return kExitNoResult;
  }

  if (o.json) {
    PrintJson(design, settings, plan, deckPath, reportPath, &result, airResult ? &*airResult : nullptr,
              data.measured ? &*data.measured : nullptr);
  } else {
    std::string table;
    for (const std::string& line : report::NecCheckBody(data)) table += line + "\n";
    std::cout << table;
  }
  return kExitOk;
}

}  // namespace lorvant::cli
