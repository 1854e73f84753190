// lorvant-calc allbands | onefreq | impedance | scan: the four modes of the
// feed-point window, with the window's fields and the main-form values they
// read given as options. Each prints what the window's result box (or, for
// the impedance, its result field) would show.
#include <charconv>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string>

#include "cli/interrupt.h"
#include "cli/options.h"
#include "cli/shared_options.h"
#include "cli/terminal.h"
#include "session/feedpoint.h"
#include "session/mainform.h"
#include "session/question.h"
#include "text/bilingual.h"
#include "text/catalogue.h"
#include "text/reports/speisepkt.h"

namespace lorvant::cli {

namespace {

using feedpoint::WindowTexts;

// A number typed with a comma or a point, all of it a number.
double StrictNumber(const std::string& text) {
  std::string t = text;
  for (char& c : t)
    if (c == ',') c = '.';
  double v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size() || t.empty()) throw UsageError("a number is needed");
  return v;
}

// Prints the result box: one terminal line per row.
void PrintRows(const std::string& rows) {
  std::string text = TerminalLines(rows);
  if (!text.empty() && text.back() != '\n') text += '\n';
  std::cout << text << std::flush;
}

// The message boxes of a check, shown as lines on stderr; the adapt
// question gets the answer of the command line.
class BatchAsker : public Asker {
 public:
  explicit BatchAsker(Answer yesNo) : yesNo_(yesNo) {}
  Answer ask(const Question& q) override {
    const bool question = q.buttons == Buttons::YesNo;
    const Answer a = question ? yesNo_ : Answer::Ok;
    std::cerr << Trimmed(q.title) << ": " << OneLine(q.text);
    if (question) std::cerr << (a == Answer::Yes ? " yes" : " no");
    std::cerr << std::endl;
    return a;
  }

 private:
  Answer yesNo_;
};

// The shared results of the last optimisation run.
struct RunState {
  float length = 0;
  double insulation = 0;

  void addTo(OptionParser& p) {
    p.value("run-length", "M", "antenna length of the last optimisation run in m (default 0: no run yet)",
            [this](const std::string& v) {
              const double l = StrictNumber(v);
              if (!(l >= 0 && l < 1e7)) throw UsageError("a length of 0 or more is needed");
              length = static_cast<float>(l);
            });
    p.value("insulation", "FRACTION", "insulation fraction of the last run, 0 for a bare wire, below 0,5 (default 0)",
            [this](const std::string& v) {
              const double i = StrictNumber(v);
              if (!(i >= 0 && i < 0.5)) throw UsageError("the insulation fraction lies from 0 to below 0,5");
              insulation = i;
            });
  }
};

std::function<void(const std::string&)> Field(std::optional<std::string>& into) {
  return [&into](const std::string& v) { into = FieldText(v, kDecimalKeys, 0); };
}

MainFormValues View(const SharedInputs& s, const RunState& run) {
  MainFormValues v;
  v.preferredFrequency = s.frequencyText();
  v.halfWaves = s.halfWavesText();
  v.shorteningFactor = s.vkText();
  v.minimumSum = s.minSumText();
  v.bands = s.bands();
  v.segment = s.segment();
  v.lengthMode = s.lengthMode();
  v.run.length = run.length;
  v.run.insulation = run.insulation;
  return v;
}

// The window's fields as a mode opens it, then the ones given on the
// command line.
WindowTexts OpenedWith(const feedpoint::WindowSetup& opened, const std::optional<std::string>& first,
                       const std::optional<std::string>& second, const std::optional<std::string>& third) {
  WindowTexts w = opened.rows;
  if (first) w.first.text = *first;
  if (second) w.second.text = *second;
  if (third) w.third.text = *third;
  return w;
}

// The main form's note as the shell passes it: a bare line feed stands for
// the program's CR LF.
std::string NoteText(const std::string& v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\n' && (i == 0 || v[i - 1] != '\r')) out += '\r';
    out += v[i];
  }
  return out;
}

const char* kExitStatus =
    "Exit status: 0 result printed; 1 the check refused its input (the message on\n"
    "stderr); 2 unknown option or bad value.\n";

}  // namespace

namespace {

// The shortening-factor calculator as the all-bands check reads it.
struct CalculatorOptions {
  CalculatorState calc;
  std::optional<float> diameter;

  void addTo(OptionParser& p) {
    p.section("Shortening-factor calculator (inactive unless --calculator-height is given)");
    p.value("calculator-height", "M",
            "antenna height above ground in m, at least 0,01; makes the calculator active: the per-band shortening "
            "uses its height, diameter and ground correction",
            [this](const std::string& v) {
              const std::string t = FieldText(v, kDecimalKeys, 0);
              if (!(FieldNumber(t) >= 0.01f)) throw UsageError("the height is at least 0,01 m");
              calc.active = true;
              calc.heightText = t;
              calc.height = FieldNumber(t);
            });
    p.value("calculator-diameter", "MM", "the calculator's wire diameter in mm (default 1,4)",
            [this](const std::string& v) {
              const std::string t = FieldText(v, kDecimalKeys, 0);
              if (!(FieldNumber(t) > 0)) throw UsageError("a diameter above 0 is needed");
              diameter = FieldNumber(t);
            });
    p.flag("ground-correction", "the calculator's ground correction", [this] { calc.groundCorrection = true; });
  }

  // The calculator as the check reads it, after parsing.
  CalculatorState resolved() const {
    if (!calc.active && (diameter || calc.groundCorrection))
      throw UsageError("--calculator-diameter and --ground-correction need --calculator-height");
    CalculatorState c = calc;
    c.diameter = diameter.value_or(kDefaultConductorDiameter);
    return c;
  }
};

// After Yes to the adapt question the window writes the adapted length, the
// half-wave field without its "~" and the preferred-band length mode.
void PrintAdapted(const WindowTexts& window, const feedpoint::AllBandsResult& r, Language lang) {
  std::cerr << window.first.caption << r.length << '\n';
  if (r.mainHalfWaves) std::cerr << say(lang, Text::CliHalfWaves) << *r.mainHalfWaves << '\n';
  std::cerr << say(lang, Text::CliOptimisePreferred) << std::endl;
}

}  // namespace

int AllBandsCommand(const Args& args) {
  SharedInputs shared;
  RunState run;
  std::optional<std::string> length, resonance, distance, out, info;
  Answer adapt = Answer::No;
  CalculatorOptions calculator;

  OptionParser p("allbands", "[options]",
                 "Feed-point check over all bands (menu \"einen Abstand/alle Frequenzen\"): current sum and impedance "
                 "of a wire of the given length fed at the given distance, at the resonance frequency and on every "
                 "band box that is set, with the three averages. Prints the window's table; with --out also writes "
                 "SpeisePkt.txt.");
  p.section("Window fields (defaults: as the window opens)");
  p.value("length", "M", "total antenna length in m (default --run-length, empty before a run)", Field(length));
  p.value("resonance", "MHZ", "resonance frequency in MHz (default the --frequency text)", Field(resonance));
  p.value("distance", "M",
          "feed-point distance in m (default the first feed point of --info between 7 and 9 m, else its last)",
          Field(distance));
  p.section("Main form and last run");
  shared.addTo(p, kOptFrequency | kOptHalfWaves | kOptVk | kOptMinSum | kOptBands | kOptSegment | kOptLengthMode);
  p.value("info", "TEXT", "the main form's note after the run (its feed-point list pre-fills --distance)",
          [&info](const std::string& v) { info = NoteText(v); });
  run.addTo(p);
  calculator.addTo(p);
  p.section("Question and results");
  p.value("adapt", "yes|no",
          "answer to \"adapt the antenna length to the resonance frequency?\", asked when --length differs from "
          "the run's length as the window writes it or --resonance from --frequency (default no)",
          [&adapt](const std::string& v) { adapt = YesNo(v) ? Answer::Yes : Answer::No; });
  p.value("out", "DIR", "folder for SpeisePkt.txt (made when missing; an earlier file is replaced)", FolderValue(out));
  p.section("Presentation");
  shared.addTo(p, kOptLanguage | kOptDecimalSeparator | kOptDate);
  p.epilogue(std::string("Message boxes of the check appear on stderr as \"title: text\"; the adapt question\n"
                         "with its answer. After Yes the adapted length, the half-wave field without its\n"
                         "\"~\" and the preferred-band length mode are reported there as well.\n\n") +
             kExitStatus +
             "\nExample:\n"
             "  lorvant-calc allbands --run-length 41.7 --distance 13.9 --band 3.5 --band 7 \\\n"
             "      --band 14 --vk 0.95 --decimal-separator .\n");
  if (!p.parse(args, std::cout)) return kExitOk;

  const Language lang = shared.language();
  const char sep = shared.decimalSeparator();
  MainFormValues view = View(shared, run);
  view.calculator = calculator.resolved();
  view.note = info.value_or("");
  const WindowTexts window = OpenedWith(feedpoint::OpenAllBands(view, lang, sep), length, resonance, distance);

  feedpoint::AllBandsEnv env{lang, sep, shared.dateText(), {}};
  if (out) env.resultsFolder = OutputFolderOption("out", *out);

  BatchAsker asker(adapt);
  const feedpoint::AllBandsResult r = feedpoint::CheckAllBands(window, view, env, asker);
  if (!r.done) return kExitNoResult;
  if (r.adapted) PrintAdapted(window, r, lang);
  PrintRows(r.rows);
  if (out && !r.reportWritten) {
    std::cerr << say(lang, Text::CliFeedReportNotWritten) << OneLine(r.reportError) << std::endl;
    return kExitNoResult;
  }
  return kExitOk;
}

int OneFrequencyCommand(const Args& args) {
  SharedInputs shared;
  RunState run;
  std::optional<std::string> length, frequency, distance;

  OptionParser p("onefreq", "[options]",
                 "Currents at one frequency (menu \"bei einer Frequenz\"): the currents left and right of the feed "
                 "point of a wire, their geometric mean and their difference. Prints the window's seven lines.");
  p.section("Window fields (defaults: as the window opens)");
  p.value("length", "M", "total antenna length in m (default --run-length, empty before a run)", Field(length));
  p.value("at", "MHZ", "the frequency in MHz (default the --frequency text)", Field(frequency));
  p.value("distance", "M", "feed-point distance from the wire's start in m (default empty)", Field(distance));
  p.section("Main form and last run");
  shared.addTo(p, kOptFrequency | kOptVk);
  run.addTo(p);
  p.section("Presentation");
  shared.addTo(p, kOptLanguage | kOptDecimalSeparator);
  p.epilogue(std::string("Message boxes appear on stderr as \"title: text\".\n\n") + kExitStatus +
             "\nExample:\n"
             "  lorvant-calc onefreq --length 20 --at 7.5 --distance 10 --vk 1\n");
  if (!p.parse(args, std::cout)) return kExitOk;

  const Language lang = shared.language();
  const char sep = shared.decimalSeparator();
  const MainFormValues view = View(shared, run);
  const WindowTexts window = OpenedWith(feedpoint::OpenOneFrequency(view, lang, sep), length, frequency, distance);

  BatchAsker asker(Answer::Yes);
  const feedpoint::OneFrequencyResult r = feedpoint::CheckOneFrequency(window, view, lang, sep, asker);
  if (!r.done) return kExitNoResult;
  PrintRows(r.rows);
  return kExitOk;
}

int ImpedanceCommand(const Args& args) {
  SharedInputs shared;
  std::optional<std::string> sum;

  OptionParser p("impedance", "--current-sum S [options]",
                 "Impedance from a current sum (menu \"Impedanz aus Stromsumme berechnen\"): the approximate feed "
                 "impedance of a resonant wire where the relative current is S. Prints the window's result field: "
                 "ohms with one decimal, above 9999,99 ohms kilo-ohms followed by \" K\".");
  p.section("Window field");
  p.value("current-sum", "S", "the current sum, 0,01 to 1,0 by the window's label (the window takes 0,0000135 to 2)",
          Field(sum));
  p.section("Presentation");
  shared.addTo(p, kOptLanguage | kOptDecimalSeparator);
  p.epilogue(std::string("Out of range the window beeps and leaves the result empty; here a note goes to\n"
                         "stderr and nothing to stdout.\n\n") +
             kExitStatus +
             "\nExample:\n"
             "  lorvant-calc impedance --current-sum 0,5\n");
  if (!p.parse(args, std::cout)) return kExitOk;

  const feedpoint::ImpedanceResult r = feedpoint::ImpedanceFromCurrentSum(sum.value_or(""), shared.decimalSeparator());
  if (r.beep) {
    std::cerr << say(shared.language(), Text::FeedSumOutOfRange) << std::endl;
    return kExitNoResult;
  }
  std::cout << r.impedance << std::endl;
  return kExitOk;
}

int ScanCommand(const Args& args) {
  SharedInputs shared;
  RunState run;
  std::optional<std::string> from, to, step;

  OptionParser p("scan", "[options]",
                 "Feed-point scan (menu \"alle Frequenzen\"): the current sum over the band boxes at 1 (1.8 to "
                 "28 MHz) at every position from the left to the right limit in fixed steps along the wire of the "
                 "last run. Rows where the sum rises stand on the left, rows where it falls 32 columns further right.");
  p.section("Window fields (defaults: as the window opens)");
  p.value("from", "M", "left limit in m (default a sixth of --run-length)", Field(from));
  p.value("to", "M", "right limit in m (default half of --run-length)", Field(to));
  p.value("step", "M", "increment in m; below 0,001 it becomes 0,001 (default 0,01)", Field(step));
  p.section("Main form and last run");
  shared.addTo(p, kOptVk | kOptBands | kOptSegment);
  run.addTo(p);
  p.section("Presentation");
  shared.addTo(p, kOptDecimalSeparator | kOptLanguage);
  p.epilogue(std::string("A step that had to be corrected is reported on stderr (the window beeps and shows\n"
                         "the corrected step). Rows are printed as they are made. Ctrl-C or SIGTERM stops\n"
                         "the scan after a whole row (exit status 1, \"Berechnung abgebrochen (Signal)\").\n"
                         "Where the step no longer moves the position (a small step far out on a long\n"
                         "wire) the scan ends and says so on stderr; so it does at the end of the wire\n"
                         "(--run-length) when --to lies beyond it.\n\n") +
             kExitStatus +
             "\nExample:\n"
             "  lorvant-calc scan --run-length 41.7 --band 3.5 --band 7 --band 14 --from 6 --to 8 --step 0.1\n");
  if (!p.parse(args, std::cout)) return kExitOk;

  const char sep = shared.decimalSeparator();
  const MainFormValues view = View(shared, run);
  const WindowTexts window = OpenedWith(feedpoint::OpenScan(run.length, shared.language(), sep), from, to, step);

  const Language lang = shared.language();
  const feedpoint::ScanSetup setup = feedpoint::PrepareScan(window, view, sep);
  if (setup.stepCorrected) std::cerr << say(lang, Text::CliIncrement) << setup.stepText << std::endl;

  // Rows go out as they are made, whole lines at a time, so that a long
  // scan needs no memory for its rows and whatever was printed before a
  // Ctrl-C is valid.
  std::string pending;
  const auto flush = [&pending] {
    std::cout.write(pending.data(), static_cast<std::streamsize>(pending.size())).flush();
    pending.clear();
  };
  feedpoint::ScanOutcome r;
  {
    const StopOnSignal stopOnSignal;
    r = feedpoint::StreamScan(
        setup, sep,
        [&](std::string_view row) {
          pending += TerminalLines(std::string(row));
          if (pending.size() >= (1u << 16)) flush();
          return true;
        },
        [](double) { return !StopRequested(); });
    flush();
  }
  if (r.cancelled) {
    std::cerr << StoppedBySignalText(lang) << std::endl;
    return kExitNoResult;
  }
  if (r.stalled) std::cerr << feedpoint::StalledNote(lang, r.stalledAt, sep) << std::endl;
  if (r.wireEnded) std::cerr << feedpoint::WireEndNote(lang, setup.length, sep) << std::endl;
  return kExitOk;
}

}  // namespace lorvant::cli
