// lorvant-calc run: the current-sum optimisation run of the main form, with
// the form's fields given as options, writing the same files as the window.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "cli/interrupt.h"
#include "cli/json.h"
#include "cli/options.h"
#include "cli/run_options.h"
#include "cli/shared_options.h"
#include "cli/terminal.h"
#include "engine/bands.h"
#include "io/staged_files.h"
#include "picture/BitmapCanvas.h"
#include "session/classify.h"
#include "session/design.h"
#include "session/mainform.h"
#include "session/messages.h"
#include "session/question.h"
#include "session/run.h"
#include "text/bilingual.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::cli {

BatchHost::BatchHost(const RunOptions& o, Language lang, bool drawPicture) : o_(o), lang_(lang) {
  if (drawPicture) canvas_ = std::make_unique<BitmapCanvas>();
}

BatchHost::~BatchHost() = default;

Answer BatchHost::ask(const Question& q) {
  switch (q.id) {
    case QuestionId::ExtraBand:
      return o_.extraBandAnswer;
    case QuestionId::Segment:
      return o_.segmentAnswer;
    case QuestionId::Dielectric:
      return o_.dielectricAnswer;
    case QuestionId::LargeTable:
    case QuestionId::LargeReport:
      return o_.allowLarge ? Answer::Yes : Answer::No;
    default:
      return Answer::No;  // no other question is known; decline it
  }
}

Answer BatchHost::errorHandler(const Question& q) {
  lastError = q;
  return Answer::Abort;
}

Canvas& BatchHost::canvas() { return canvas_ ? *canvas_ : RunHost::canvas(); }

// Why a run ended without a result, in the run's language.
std::string NoResultMessage(const RunOutput& r, const BatchHost& host, Language lang) {
  switch (r.outcome) {
    case RunOutcome::NoHalfWave:
    case RunOutcome::TooFewBands:
    case RunOutcome::DiameterTooSmall:
      return Trimmed(OneLine(r.info));
    case RunOutcome::SegmentCancelled:
      return say(lang, Text::CliSegmentCancelled);
    case RunOutcome::DielectricRejected:
      return say(lang, Text::CliDielectricRejected);
    case RunOutcome::Aborted:
      if (host.lastError)
        return Trimmed(host.lastError->title) + ": " + Trimmed(OneLine(host.lastError->text)) +
               say(lang, Text::CliAbortedAfter);
      return say(lang, Text::CliAborted);
    case RunOutcome::Cancelled:
      return StoppedBySignalText(lang);
    case RunOutcome::TableTooLarge:
      return Trimmed(OneLine(r.refusal));
    case RunOutcome::LargeTableDeclined:
      return Trimmed(OneLine(r.refusal)) + " (--allow-large)";
    case RunOutcome::FilesMissing: {
      std::string names;
      for (const std::string& f : r.unwrittenFiles) names += (names.empty() ? "" : ", ") + f;
      return say(lang, Text::CliNotWritten) + names;
    }
    case RunOutcome::Completed:
      break;
  }
  return {};
}

namespace {

std::string JsonResult(const RunOutput& r, const RunInput& in, const char* outcome) {
  // The two fields as the run left them (or as given, when it ended first).
  const std::string& frequency = r.preferredFrequency ? *r.preferredFrequency : in.preferredFrequency;
  const std::string& halfWaves = r.halfWaves ? *r.halfWaves : in.halfWaves;
  JsonWriter j;
  j.beginObject();
  j.key("length").value(r.length);
  j.key("insulation").value(r.insulation);
  // Deprecated names of preferred_frequency and half_waves, kept in their
  // old place for one release.
  j.key("text1").value(frequency);
  j.key("text2").value(halfWaves);
  j.key("bands").beginArray();
  for (BandState v : r.bands) j.value(BandBoxValue(v));
  j.endArray();
  j.key("extra_band");
  if (r.extraBand)
    j.value(r.extraFrequency);
  else
    j.null();
  j.key("info").value(r.info);
  j.key("status").value(r.status);
  j.key("candidates").beginArray();
  for (const FeedCandidate& c : r.candidates) j.beginObject().key("x").value(c.x).key("sum").value(c.S).endObject();
  j.endArray();
  j.key("files").beginArray();
  for (const std::string& f : r.files) j.value(std::filesystem::path(f).filename().string());
  j.endArray();
  j.key("outcome").value(outcome);
  // Last, so that no earlier key moves.
  j.key("preferred_frequency").value(frequency);
  j.key("half_waves").value(halfWaves);
  j.endObject();
  return j.str();
}

Answer AnswerWord(const std::string& v, bool withCancel) {
  if (withCancel)
    return static_cast<Answer>(Choice(v, {{"yes", static_cast<int>(Answer::Yes)},
                                          {"no", static_cast<int>(Answer::No)},
                                          {"cancel", static_cast<int>(Answer::Cancel)}}));
  return YesNo(v) ? Answer::Yes : Answer::No;
}

// The files of a design that --design reads and --save-design writes.
struct DesignFiles {
  std::optional<std::string> read, save;
};

void DeclareOptions(OptionParser& p, RunOptions& o, DesignFiles& files) {
  p.section("Design files");
  p.value("design", "FILE",
          "read the inputs from a design file saved by the window or by --save-design; options given besides it win",
          [&files](const std::string& v) { files.read = v; });
  p.value("save-design", "FILE",
          "write the inputs of this command line (with those of --design) as a design file the window opens; "
          "without --out nothing else is done",
          [&files](const std::string& v) {
            if (v.empty()) throw UsageError("a file name is needed");
            files.save = v;
          });
  p.section("Results");
  p.value("out", "DIR",
          "folder for AntStrSu.txt, AntSpezi.txt and AntKurve.BMP (required unless --save-design is given; made when "
          "missing; earlier files of the same names are replaced when the run completes)",
          FolderValue(o.out));
  p.flag("allow-large",
         "write a special table or a current-sum report above 1 GB (without it such a run ends before it writes "
         "that file)",
         [&o] { o.allowLarge = true; });
  p.flag("json", "print one JSON object on stdout, however the run ends (see below)", [&o] { o.json = true; });
  DeclareDesignOptions(p, o);
}

// The inputs of a design file, and over them the options given besides it.
RunInput WithDesign(const design::Design& d, const RunInput& given, const OptionParser& p) {
  RunInput in = design::ToRunInput(d, given.language, given.decimalSeparator);
  const auto any = [&p](std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&p](const char* n) { return p.given(n); });
  };
  if (any({"frequency"})) in.preferredFrequency = given.preferredFrequency;
  if (any({"halfwaves"})) in.halfWaves = given.halfWaves;
  if (any({"wire-length"})) in.maxWireLength = given.maxWireLength;
  if (any({"vk"})) in.shorteningFactor = given.shorteningFactor;
  if (any({"tolerance"})) in.tolerance = given.tolerance;
  if (any({"dielectric"})) in.dielectric = given.dielectric;
  if (any({"outer-diameter"})) in.outerDiameter = given.outerDiameter;
  if (any({"conductor"})) in.conductorDiameter = given.conductorDiameter;
  if (any({"min-sum"})) in.minimumSum = given.minimumSum;
  if (any({"band", "grey-band"})) in.bands = given.bands;
  if (any({"segment"})) in.segment = given.segment;
  if (any({"length-mode"})) in.lengthMode = given.lengthMode;
  in.equalImpedances = in.equalImpedances || given.equalImpedances;
  in.windom = in.windom || given.windom;
  in.specialTable = in.specialTable || given.specialTable;
  if (any({"calculator-height"})) in.calculator = given.calculator;
  in.dateText = given.dateText;
  return in;
}

// The design of the run's inputs; the calculator's diameter as typed.
design::Design DesignOfInput(const RunInput& in, const RunOptions& o, const OptionParser& p) {
  design::Design d = design::FromRunInput(in);
  if (d.calculator && p.given("calculator-diameter")) d.calculator->diameter = design::Stored(*o.calculatorDiameter);
  return d;
}

}  // namespace

void DeclareDesignOptions(OptionParser& p, RunOptions& o) {
  p.section("Main form (defaults: the form after loading)");
  o.shared.addTo(p, kOptFrequency | kOptHalfWaves);
  p.value("wire-length", "M", "maximum possible wire length in m instead of a half-wave count (default empty)",
          [&o](const std::string& v) { o.wireLength = FieldText(v, kDecimalKeys, 5); });
  o.shared.addTo(p, kOptVk);
  p.value("tolerance", "PERCENT",
          "tolerance of --length-mode highest-lowest in percent, above 0 and below 100 (default 5)",
          [&o](const std::string& v) {
            const std::string t = FieldText(v, kDecimalKeys, 0);
            const float f = FieldNumber(t);
            if (f == 0 || f >= 100) throw UsageError("the tolerance lies above 0 and below 100");
            o.tolerance = t;
          });
  p.value("dielectric", "ER",
          "relative dielectric constant of the insulation: a number, or a list entry such as \"2,35 Öl\" (only the "
          "leading number counts; default the air entry \"1,00059 Luft\"); above 1,00059 the wire counts as insulated",
          [&o](const std::string& v) {
            // Typed digits, or an entry of the material list: a number, then
            // the material's name after a blank; blanks alone are entry 0.
            const std::size_t start = v.find_first_not_of(' ');
            const std::size_t end = start == std::string::npos ? std::string::npos : v.find(' ', start);
            const std::string number = start == std::string::npos
                                           ? std::string()
                                           : v.substr(start, end == std::string::npos ? end : end - start);
            FieldText(number, kDecimalKeys, 0);
            o.dielectric = v;
          });
  p.value("outer-diameter", "MM", "outer diameter of the insulated wire in mm (default 2,1)",
          [&o](const std::string& v) { o.outerDiameter = FieldText(v, kDecimalKeys, 5); });
  p.value("conductor", "MM", "conductor diameter in mm (default 1,4)", [&o](const std::string& v) { o.conductor = v; });
  o.shared.addTo(p, kOptMinSum | kOptBands | kOptSegment | kOptLengthMode);
  p.flag("equal-impedances", "optimise the feed point for equal impedances instead of the maximum current sum",
         [&o] { o.equalImpedances = true; });
  p.flag("windom",
         "tick \"classic WINDOM\": the run then optimises for equal impedances (the window's preset of bands and "
         "half-waves is not replayed; give them with --band, --grey-band and --halfwaves)",
         [&o] { o.windom = true; });
  p.flag("special-table", "also write the special table AntSpezi.txt (one row per centimetre of wire)",
         [&o] { o.specialTable = true; });

  p.section("Questions of the run");
  p.value("extra-band", "yes|no",
          "answer to \"treat this frequency as a separate band?\" when the frequency lies outside every band "
          "(default no)",
          [&o](const std::string& v) { o.extraBandAnswer = AnswerWord(v, false); });
  p.value("segment-answer", "yes|no|cancel",
          "answer to \"change the band segment?\" when the frequency lies in another segment than --segment "
          "(default no; cancel ends the run)",
          [&o](const std::string& v) { o.segmentAnswer = AnswerWord(v, true); });
  p.value("dielectric-answer", "yes|no",
          "answer to \"is the relative dielectric constant correct?\", asked above 20 (default yes; no ends the run)",
          [&o](const std::string& v) { o.dielectricAnswer = AnswerWord(v, false); });

  p.section("Shortening-factor calculator (inactive unless --calculator-height is given)");
  p.value("calculator-height", "M",
          "antenna height above ground in m, at least 0,01; makes the calculator active: the per-band shortening "
          "uses its height, diameter and ground correction and the reports print the height",
          [&o](const std::string& v) {
            const std::string t = FieldText(v, kDecimalKeys, 0);
            if (!(FieldNumber(t) >= 0.01f)) throw UsageError("the height is at least 0,01 m");
            o.calculatorHeight = t;
          });
  p.value("calculator-diameter", "MM",
          "the calculator's wire diameter in mm (default the --conductor text); it may differ from --conductor, as "
          "the two windows' fields may",
          [&o](const std::string& v) {
            if (!(FieldNumber(v) > 0)) throw UsageError("a diameter above 0 is needed");
            o.calculatorDiameter = v;
          });
  p.flag("ground-correction", "the calculator's ground correction", [&o] { o.groundCorrection = true; });

  p.section("Presentation");
  o.shared.addTo(p, kOptLanguage | kOptDecimalSeparator | kOptDate);
}

RunInput MakeRunInput(const RunOptions& o) {
  if (!o.calculatorHeight && (o.calculatorDiameter || o.groundCorrection))
    throw UsageError("--calculator-diameter and --ground-correction need --calculator-height");

  const Language lang = o.shared.language();
  const char sep = o.shared.decimalSeparator();

  RunInput in = LoadedFormInput(lang, sep);
  in.preferredFrequency = o.shared.frequencyText();
  in.halfWaves = o.shared.halfWavesText();
  in.maxWireLength = o.wireLength.value_or(in.maxWireLength);
  in.shorteningFactor = o.shared.vkText();
  in.tolerance = o.tolerance.value_or(in.tolerance);
  in.outerDiameter = o.outerDiameter.value_or(in.outerDiameter);
  in.minimumSum = o.shared.minSumText();
  in.dielectric = o.dielectric.value_or(in.dielectric);
  in.conductorDiameter = o.conductor.value_or(in.conductorDiameter);
  in.bands = o.shared.bands();
  in.windom = o.windom;
  in.specialTable = o.specialTable;
  in.segment = o.shared.segment();
  in.lengthMode = o.shared.lengthMode();
  in.equalImpedances = o.equalImpedances;
  if (o.calculatorHeight) {
    // The calculator copies its diameter to the main form when it
    // calculates, but the fields can differ afterwards (the calculator's
    // list has no change handler of its own).
    in.calculator.active = true;
    in.calculator.heightText = *o.calculatorHeight;
    in.calculator.height = FieldNumber(*o.calculatorHeight);
    in.calculator.diameter = FieldNumber(o.calculatorDiameter.value_or(in.conductorDiameter));
    in.calculator.groundCorrection = o.groundCorrection;
  }
  in.dateText = o.shared.dateText();

  return in;
}

namespace {

const char* kEpilogue =
    "Without --json the run's notes are printed on stdout. With --json one object is\n"
    "printed: length (m), insulation, bands (the eleven band boxes after the run:\n"
    "0 off, 1 counted, 2 grey), extra_band (its frequency or null), info (the note\n"
    "text), status, candidates (the reported feed points as {x, sum}, x in m),\n"
    "files (names written), outcome (completed, no-half-wave, segment-cancelled,\n"
    "too-few-bands, dielectric-rejected, diameter-too-small, aborted, cancelled,\n"
    "table-too-large, large-table-declined; failed for an unforeseen error),\n"
    "preferred_frequency and half_waves (the frequency and half-wave fields after\n"
    "the run). text1 and text2 are deprecated names of these two, printed with the\n"
    "same values after insulation; they go in the next release.\n"
    "\n"
    "A step that fails (an arithmetic error, a file that cannot be written) is\n"
    "answered with Abort; the run then ends without a result. Ctrl-C or SIGTERM\n"
    "stops a run at once in any of its steps (outcome cancelled). The files\n"
    "are written under temporary names and renamed into place together at the\n"
    "end: a run that ends early leaves the earlier files as they were and no\n"
    "partial file. While a run writes into a folder, another run into the same\n"
    "folder ends at once with a message (outcome aborted). A special table that\n"
    "would not fit the folder's free space ends the run before it writes\n"
    "anything (table-too-large); one above 1 GB needs --allow-large\n"
    "(large-table-declined). AntStrSu.txt is weighed the same way once the scan\n"
    "has found its candidates (a very long wire may have millions). A file size\n"
    "limit (ulimit -f) is a file error that names the file.\n"
    "\n"
    "A design file (--design, --save-design) is the text file that the window's\n"
    "File menu saves and opens: the main form's inputs, numbers with the point,\n"
    "choices as words (see the manual). With --design, every option given besides\n"
    "it replaces the design's value (--band and --grey-band replace all band\n"
    "boxes; the switches can only add what the design leaves off). A damaged,\n"
    "foreign or newer file is refused with its name and line (exit status 2).\n"
    "The language, the decimal separator and the date are not part of a design.\n"
    "\n"
    "Exit status: 0 the run completed; 1 it ended without a result (its message on\n"
    "stderr); 2 unknown option or bad value.\n"
    "\n"
    "Example:\n"
    "  lorvant-calc run --out results --band 3.5 --band 7 --band 14 --band 21 \\\n"
    "      --band 28 --decimal-separator , --json\n";

}  // namespace

int RunCommand(const Args& args) {
  RunOptions o;
  DesignFiles designFiles;
  OptionParser p(
      "run", "--out DIR [options] | --save-design FILE [options]",
      "Runs the current-sum optimisation of the main form (\"Rechnen\") with the inputs below, each given as "
      "it would be typed into the form, and writes AntStrSu.txt, AntKurve.BMP and, when asked, AntSpezi.txt "
      "into DIR. Needs no display.");
  DeclareOptions(p, o, designFiles);
  p.epilogue(kEpilogue);
  if (!p.parse(args, std::cout)) return kExitOk;
  if (!o.out && !designFiles.save) throw UsageError("--out DIR is required");
  RunInput in = MakeRunInput(o);
  const Language lang = in.language;
  if (designFiles.read) {
    const design::ReadResult read = design::ReadFile(*designFiles.read, Language::English);
    if (!read.design)
      throw UsageError("--design: " + design::RefusalText(Language::English, *designFiles.read, read.refusal));
    in = WithDesign(*read.design, in, p);
  }
  if (designFiles.save) {
    try {
      design::WriteFile(*designFiles.save, DesignOfInput(in, o, p));
    } catch (const files::FileError& e) {
      std::cerr << files::FileErrorCause(lang, e.error()) << ": " << e.path() << std::endl;
      return kExitNoResult;
    }
    if (!o.out) return kExitOk;
  }
  const std::string folder = OutputFolderOption("out", *o.out);
  in.resultsFolder = folder;

  BatchHost host(o, lang);
  RunOutput r;
  try {
    const StopOnSignal stopOnSignal;
    r = RunOptimisation(in, host);
  } catch (const std::exception& e) {
    // The run answers its own failures; should one escape all the same, the
    // caller still gets the object and a message, never a crash.
    r = RunOutput();
    r.info = e.what();
    if (o.json) std::cout << JsonResult(r, in, "failed") << std::endl;
    std::cerr << say(lang, Text::CliError) << e.what() << std::endl;
    return kExitNoResult;
  }

  if (o.json) std::cout << JsonResult(r, in, RunOutcomeName(r.outcome)) << std::endl;
  if (r.outcome != RunOutcome::Completed) {
    std::cerr << NoResultMessage(r, host, lang) << std::endl;
    return kExitNoResult;
  }
  if (!o.json) {
    std::string text = TerminalLines(r.info);
    if (!text.empty() && text.back() != '\n') text += '\n';
    std::cout << text << r.status << std::endl;
  }
  return kExitOk;
}

}  // namespace lorvant::cli
