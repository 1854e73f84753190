// lorvant-calc vk | prune | dipole: the shortening-factor calculator, the
// pruning calculator and the additional dipole, with the windows' fields as
// options. Each prints the window's result labels as "caption value" lines;
// a value the window shows in red is followed by " (!)".
#include <iostream>
#include <optional>
#include <string>

#include "cli/interrupt.h"
#include "cli/options.h"
#include "cli/shared_options.h"
#include "cli/terminal.h"
#include "io/staged_files.h"
#include "session/calculators/dipole.h"
#include "session/calculators/vk.h"
#include "session/mainform.h"
#include "session/messages.h"
#include "text/bilingual.h"
#include "text/catalogue.h"

namespace lorvant::cli {

namespace {

// Captions carry the window's access-key marks; a terminal line does not.
std::string Plain(std::string caption) {
  std::string out;
  for (char c : caption)
    if (c != '&') out += c;
  const std::size_t start = out.find_first_not_of(' ');
  const std::size_t end = out.find_last_not_of(' ');
  return start == std::string::npos ? std::string() : out.substr(start, end - start + 1);
}

std::string Red(TextColour c) { return c == TextColour::Red ? " (!)" : ""; }

// A field of a window without key filter: the text as typed.
std::function<void(const std::string&)> Text(std::optional<std::string>& into) {
  return [&into](const std::string& v) { into = v; };
}

// "Eingabe abgewiesen: <caption> <text as typed>", and the text the window
// writes into the field instead when it suggests one.
void PrintRefused(Language lang, const std::string& caption, const std::string& typed,
                  const std::string& suggestion = std::string()) {
  std::cerr << say(lang, Text::CliInputRefused) << Plain(caption) << ' ' << typed;
  if (!suggestion.empty()) std::cerr << say(lang, Text::CliSuggested) << suggestion;
  std::cerr << std::endl;
}

const char* kExitStatus =
    "Exit status: 0 result printed; 1 the window refused its input (the field and\n"
    "any corrected text on stderr); 2 unknown option or bad value.\n";

}  // namespace

namespace {

// The NEC-2 step of the calculator: the half-wave wire of the computed Vk
// through nec2c. Prints its Vk, or says on stderr why there is none.
int PrintNecVk(const vk::CalculatorInputs& in, nec::Ground ground, Language lang, char sep) {
  const vk::NecVkStep step = vk::PrepareNecVk({in, nec::GroundWord(ground)}, sep);
  if (!step.ready) {
    std::cerr << step.refusal.in(lang) << std::endl;
    return kExitNoResult;
  }
  const StopOnSignal stopOnSignal;
  nec::Nec2cEngine engine;
  const vk::NecVkOutcome out = vk::RunNecVk(
      step, engine, [](int) { return !StopRequested(); }, sep);
  if (out.cancelled) {
    std::cerr << StoppedBySignalText(lang) << std::endl;
    return kExitNoResult;
  }
  if (!out.computed) {
    std::cerr << out.failure.in(lang) << std::endl;
    return kExitNoResult;
  }
  std::cout << Plain(vk::NecVkCaptions(lang).result) << ' ' << out.vkText << std::endl;
  return kExitOk;
}

}  // namespace

int VkCommand(const Args& args) {
  SharedInputs shared;
  std::optional<std::string> height, diameter;
  bool ground = false;
  std::optional<nec::Ground> necGround;

  OptionParser p("vk", "[options]",
                 "Shortening-factor calculator (menu \"1. Verkürzungsfaktor\"): the shortening of a wire dipole by "
                 "its slenderness and by its height above ground, and the expected shortening factor Vk. Prints "
                 "the window's three results.");
  p.section("Window fields (defaults: as the window opens)");
  shared.addTo(p, kOptFrequency);
  p.value("height", "M", "antenna height above ground in m (default 10,0)", Text(height));
  p.value("diameter", "MM", "wire diameter in mm (default the main form's conductor diameter 1,4)", Text(diameter));
  p.flag("ground-correction", "menu \"Erdbodenkorrektur\": ground correction of the height shortening",
         [&ground] { ground = true; });
  p.section("NEC-2");
  p.value("nec", "free|perfect|poor|average|good",
          "also the Vk by NEC-2: a centre-fed half-wave wire cut to the expected Vk, at the height over this "
          "ground, swept through nec2c; its resonance gives the Vk that puts it on the frequency",
          [&necGround](const std::string& v) {
            necGround = nec::GroundFromWord(v);
            if (!necGround) throw UsageError("'" + v + "' is not one of free, perfect, poor, average, good");
          });
  p.section("Presentation");
  shared.addTo(p, kOptLanguage | kOptDecimalSeparator);
  p.epilogue(std::string("A diameter outside 0,1 mm .. twice the height .. half a wavelength is corrected\n"
                         "(reported on stderr) and the calculation goes on with it. A percentage outside\n"
                         "2..9 (slenderness) or 2..10 (height) is marked \" (!)\", as the window shows it\n"
                         "in red. With --nec the shortening factor (NEC-2) follows as a fourth line;\n"
                         "without nec2c, or when NEC-2 gives no resonance, the three lines stand, the\n"
                         "reason goes to stderr and the status is 1.\n\n") +
             kExitStatus +
             "\nExample:\n"
             "  lorvant-calc vk --frequency 14.2 --height 10 --diameter 1.382 --decimal-separator .\n"
             "  lorvant-calc vk --frequency 7.1 --height 10 --diameter 1.4 --nec average\n");
  if (!p.parse(args, std::cout)) return kExitOk;

  const Language lang = shared.language();
  const char sep = shared.decimalSeparator();
  const vk::CalculatorTexts t = vk::CalculatorCaptions(lang);
  const vk::CalculatorInputs in{shared.frequencyText(), height.value_or(vk::DefaultHeightText(sep)),
                                diameter.value_or(DefaultConductorText(sep)), ground};
  const vk::CalculatorOutcome out = vk::CalculateVk(in, sep);
  if (!out.computed) {
    if (out.focus == vk::Field::Height)
      PrintRefused(lang, t.height, in.height, out.height.value_or(""));
    else
      PrintRefused(lang, t.frequency, in.frequency);
    return kExitNoResult;
  }
  if (out.diameter) std::cerr << Plain(t.diameter) << ' ' << *out.diameter << Red(out.diameterColour) << std::endl;
  const std::string frame = Plain(t.shortening) + ' ';
  std::cout << frame << Plain(t.slenderness) << ' ' << out.slendernessText << Red(out.slendernessColour) << '\n'
            << frame << Plain(t.heightShortening) << ' ' << out.heightShorteningText << Red(out.heightShorteningColour)
            << '\n'
            << Plain(t.expectedVk) << ' ' << out.vkText << std::endl;
  if (necGround) return PrintNecVk(in, *necGround, lang, sep);
  return kExitOk;
}

int PruneCommand(const Args& args) {
  SharedInputs shared;
  std::optional<std::string> length, measured, desired;
  float runLength = 0;

  OptionParser p("prune", "--measured MHZ --desired MHZ [options]",
                 "Antenna pruning (menu \"4. Pruning / Optimieren\"): from the measured length and resonance of a "
                 "built antenna and the desired resonance, the new length, the wire's total shortening factor and "
                 "the length change in cm (\"- \" cut off, \"+ \" add). Prints the window's three results.");
  p.section("Window fields (defaults: as the window opens)");
  p.value("length", "M", "measured antenna length in m (default the --run-length, empty before a run)", Text(length));
  p.value("measured", "MHZ", "measured resonance frequency in MHz", Text(measured));
  p.value("desired", "MHZ", "desired resonance frequency in MHz", Text(desired));
  p.section("Last run");
  p.value("run-length", "M", "antenna length of the last optimisation run in m (default 0: no run yet)",
          [&runLength](const std::string& v) {
            const float l = FieldNumber(v);
            if (!(l >= 0)) throw UsageError("a length of 0 or more is needed");
            runLength = l;
          });
  p.section("Presentation");
  shared.addTo(p, kOptLanguage | kOptDecimalSeparator);
  p.epilogue(std::string("A total shortening factor above 1 is marked \" (!)\", as the window shows it in\n"
                         "red. A missing value or a ratio measured/desired outside 0,66..1,4 is refused.\n\n") +
             kExitStatus +
             "\nExample:\n"
             "  lorvant-calc prune --length 20 --measured 7.0 --desired 7.05\n");
  if (!p.parse(args, std::cout)) return kExitOk;

  const Language lang = shared.language();
  const char sep = shared.decimalSeparator();
  const vk::PruningTexts t = vk::PruningCaptions(lang);
  const vk::PruningInputs in{length.value_or(vk::PruningLengthText(runLength, sep)), measured.value_or(""),
                             desired.value_or("")};
  const vk::PruningOutcome out = vk::CalculatePruning(in, sep);
  if (!out.computed) {
    if (out.focus == vk::Field::MeasuredLength)
      PrintRefused(lang, t.measuredLength, in.length);
    else if (out.focus == vk::Field::MeasuredFrequency)
      PrintRefused(lang, t.measuredFrequency, in.measured);
    else
      PrintRefused(lang, t.desiredFrequency, in.desired);
    return kExitNoResult;
  }
  const std::string frame = Plain(t.newValues) + ' ';
  std::cout << frame << Plain(t.newLength) << ' ' << out.newLengthText << '\n'
            << frame << Plain(t.totalVk) << ' ' << out.vkText << Red(out.vkColour) << '\n'
            << Plain(t.change) << ' ' << out.changeText << std::endl;
  return kExitOk;
}

namespace {

// The dipole window's fields and the main-form values it reads, as given.
struct DipoleOptions {
  SharedInputs shared;
  dipole::Inputs in;
  std::optional<std::string> fAdd, fExc, impedance, dAdd, dExc, vk, halfWaves, fraction, tolerance, out;
  std::optional<std::string> calcHeight, calcDiameter;
  std::string conductor;
  bool ground = false;
};

void DeclareDipoleWindowFields(OptionParser& p, DipoleOptions& o) {
  p.section("Window fields (defaults: as the window opens and is activated)");
  p.flag("windom", "variant WINDOM instead of the dipole", [&o] { o.in.windom = true; });
  p.value("frequency", "MHZ", "desired resonance frequency of the additional wire in MHz", Text(o.fAdd));
  p.value("half-waves", "N",
          "number of half-waves of the additional WINDOM, read up to its first non-digit (default 1)",
          Text(o.halfWaves));
  p.value("impedance", "OHM", "desired feed-point impedance in ohms (default 300)", Text(o.impedance));
  p.value("diameter", "MM", "wire diameter of the additional wire in mm (default the conductor diameter)",
          Text(o.dAdd));
  p.value("fraction", "C",
          "feed point of the WINDOM as a fraction of its total length, strictly between 0 and 1 (default the "
          "list's first entry 0,3333); the dipole is always fed at 0,5",
          Text(o.fraction));
  p.value("exciter-frequency", "MHZ",
          "lowest resonance frequency of the exciter in MHz (default the nominal frequency of the lowest --band)",
          Text(o.fExc));
  p.value("exciter-diameter", "MM", "wire diameter of the exciter in mm (default the conductor diameter)",
          Text(o.dExc));
  p.value("vk", "VK", "shortening factor of the exciter (default 0,946)", Text(o.vk));
}

void DeclareDipoleContext(OptionParser& p, DipoleOptions& o) {
  p.section("Main form, last run and calculator");
  o.shared.addTo(p, kOptBands | kOptSegment | kOptLengthMode);
  p.value("tolerance", "PERCENT", "tolerance of --length-mode highest-lowest in percent (default 5)",
          Text(o.tolerance));
  p.value("conductor", "MM", "the main form's conductor diameter in mm (default 1,4)",
          [&o](const std::string& v) { o.conductor = v; });
  p.value("insulation", "FRACTION", "insulation fraction of the last run, 0 for a bare wire, below 0,5 (default 0)",
          [&o](const std::string& v) {
            const float i = FieldNumber(v);
            if (!(i >= 0 && i < 0.5f)) throw UsageError("the insulation fraction lies from 0 to below 0,5");
            o.in.ins = i;
          });
  p.value("calculator-height", "M",
          "makes the shortening-factor calculator active with this height in m: its height, diameter and ground "
          "correction enter the shortening and the height limit",
          Text(o.calcHeight));
  p.value("calculator-diameter", "MM", "the calculator's wire diameter (default the conductor diameter)",
          Text(o.calcDiameter));
  p.flag("ground-correction", "the calculator's ground correction", [&o] { o.ground = true; });
}

void DeclareDipoleOutput(OptionParser& p, DipoleOptions& o) {
  p.section("Results and presentation");
  p.value("out", "DIR", "folder for ZusatzDipol.txt (made when missing; an earlier file is replaced)",
          FolderValue(o.out));
  o.shared.addTo(p, kOptLanguage | kOptDecimalSeparator | kOptDate);
  p.epilogue(std::string("A spacing outside the range where its formula holds is marked \" (!)\", as the\n"
                         "window shows it in red. A refused input names its field on stderr, with the value\n"
                         "the window suggests when it writes one.\n\n") +
             kExitStatus +
             "\nExample:\n"
             "  lorvant-calc dipole --frequency 14.2 --exciter-frequency 3.5 --diameter 2 \\\n"
             "      --exciter-diameter 2 --vk 0.95 --out results\n");
}

// The window keeps the dipole's list at 0,5; a WINDOM fed at its end or
// beyond is no WINDOM.
void CheckFraction(const DipoleOptions& o) {
  if (!o.fraction) return;
  if (!o.in.windom) throw UsageError("--fraction is for --windom; the dipole is fed at 0,5 of its length");
  const bool number = !o.fraction->empty() && TypedWith(*o.fraction, kDecimalKeys);
  const float c = FieldNumber(*o.fraction);
  if (!number || !(c > 0 && c < 1))
    throw UsageError("--fraction '" + *o.fraction + "': a number strictly between 0 and 1 is needed");
}

// The window as loaded, switched to the variant and activated, with the
// fields given on the command line.
void FillDipoleInputs(DipoleOptions& o, char sep) {
  dipole::Inputs& in = o.in;
  in.length.calc.active = o.calcHeight.has_value();
  const std::string calcD = o.calcDiameter.value_or(o.conductor);
  if (in.length.calc.active) {
    in.length.calc.height = FieldNumber(*o.calcHeight);
    in.length.calc.heightText = *o.calcHeight;
    in.length.calc.diameter = FieldNumber(calcD);
    in.length.calc.groundCorrection = o.ground;
  }
  const dipole::Refresh refresh =
      dipole::Activation(in.length.calc.active ? calcD : o.conductor, o.shared.bands(), sep);
  in.fAdd = o.fAdd.value_or("");
  in.fExc = o.fExc.value_or(refresh.exciterFrequency);
  in.impedance = o.impedance.value_or(dipole::kDefaultImpedance);
  in.dAdd = o.dAdd.value_or(refresh.diameter);
  in.dExc = o.dExc.value_or(refresh.exciterDiameter);
  in.vk = o.vk.value_or(dipole::DefaultVkText(sep));
  in.halfWaves = o.halfWaves.value_or(dipole::kDefaultHalfWaves);
  in.fraction =
      o.fraction.value_or(in.windom ? dipole::WindomFractions(sep).front() : dipole::DipoleFractions(sep).front());
  in.length.bands = o.shared.bands();
  in.length.segment = o.shared.segment();
  in.length.lengthMode = o.shared.lengthMode();
  in.length.tolerancePercent = FieldNumber(o.tolerance.value_or(kDefaultTolerance));
}

void PrintDipoleRefusal(const dipole::Texts& shown, const dipole::Inputs& in, const dipole::Outcome& r, Language lang) {
  std::string field, typed, suggestion;
  switch (r.focus) {
    case dipole::Field::Frequency:
      field = shown.frequency;
      typed = in.fAdd;
      break;
    case dipole::Field::ExciterFrequency:
      field = shown.exciterFrequency;
      typed = in.fExc;
      break;
    case dipole::Field::Impedance:
      field = shown.impedance;
      typed = in.impedance;
      break;
    case dipole::Field::Diameter:
      field = shown.diameter;
      typed = in.dAdd;
      suggestion = r.suggestedDiameter.value_or("");
      break;
    case dipole::Field::ExciterDiameter:
      field = shown.exciterDiameter;
      typed = in.dExc;
      suggestion = r.suggestedExciterDiameter.value_or("");
      break;
    case dipole::Field::Vk:
      field = shown.vk;
      typed = in.vk;
      break;
    case dipole::Field::HalfWaves:
      field = dipole::WindomVariant(lang).frequency;
      typed = in.halfWaves;
      break;
    default:
      field = shown.feedPointAt;
      typed = in.fraction;
      break;
  }
  PrintRefused(lang, field, typed, suggestion);
  if (r.spacingText && !r.spacingText->empty())
    std::cerr << Plain(shown.spacing) << ' ' << *r.spacingText << Red(r.spacingColour.value_or(TextColour::Black))
              << '\n';
  std::cerr << std::flush;
}

void PrintDipoleResult(const dipole::Texts& shown, const dipole::Inputs& in, const dipole::Outcome& r) {
  std::cout << Plain(shown.length) << ' ' << r.lengthText << '\n'
            << Plain(shown.feedPointAt) << ' ' << in.fraction << ' ' << Plain(shown.ofTotalLength) << ' '
            << r.feedPointText << '\n'
            << Plain(shown.spacing) << ' ' << r.spacingText.value_or("")
            << Red(r.spacingColour.value_or(TextColour::Black)) << '\n'
            << Plain(shown.vk) << ' ' << r.vkText.value_or(in.vk) << std::endl;
}

}  // namespace

int DipoleCommand(const Args& args) {
  DipoleOptions o;
  OptionParser p("dipole", "--frequency MHZ [options]",
                 "Additional dipole (menu \"Zusatz-Dipol/WINDOM\"): length, feed point and spacing of a "
                 "radiation-coupled dipole or WINDOM beside an exciting antenna. Prints the window's results; with "
                 "--out also writes ZusatzDipol.txt.");
  DeclareDipoleWindowFields(p, o);
  DeclareDipoleContext(p, o);
  DeclareDipoleOutput(p, o);
  if (!p.parse(args, std::cout)) return kExitOk;
  CheckFraction(o);

  const Language lang = o.shared.language();
  const char sep = o.shared.decimalSeparator();
  if (o.conductor.empty()) o.conductor = DefaultConductorText(sep);
  // A folder that cannot take the report is a bad command line, said before
  // anything is computed.
  const std::string folder = o.out ? OutputFolderOption("out", *o.out) : std::string();

  const dipole::Texts shown = dipole::CaptionsFor(lang, o.in.windom);
  FillDipoleInputs(o, sep);
  const dipole::Outcome r = dipole::Calculate(o.in, sep);
  if (!r.computed) {
    PrintDipoleRefusal(shown, o.in, r, lang);
    return kExitNoResult;
  }
  PrintDipoleResult(shown, o.in, r);

  if (o.out) {
    const std::string path = folder + dipole::kReportFile;
    try {
      dipole::WriteReport(path, dipole::MakeReportData(shown, o.in, r, lang, o.shared.dateText()));
    } catch (const files::FileError& e) {
      std::cerr << say(lang, Text::CliDipoleReportNotWritten)
                << OneLine(files::FileErrorText(lang, e.error(), e.path())) << std::endl;
      return kExitNoResult;
    }
  }
  return kExitOk;
}

}  // namespace lorvant::cli
