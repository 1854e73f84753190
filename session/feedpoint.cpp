#include "session/feedpoint.h"

#include <sstream>

#include <algorithm>
#include <cmath>

#include "engine/numparse.h"
#include "io/staged_files.h"
#include "session/mainform.h"
#include "session/messages.h"
#include "session/question.h"
#include "text/bilingual.h"
#include "text/format.h"
#include "text/reports/speisepkt.h"

namespace lorvant::feedpoint {
namespace {

using report::FormatGeneral;
using report::FormatPicture;
using report::LeftField;
using report::RightField;

constexpr const char* kCrLf = "\r\n";

struct Bilingual {
  const char* de;
  const char* en;
  const char* in(Language lang) const { return tr(lang, de, en); }
};

constexpr Bilingual kCaptionAllBands{" Berechnung aller Frequenzen bei einer vorgegebenen Länge",
                                     " Calculation of all frequencies for a given length"};
constexpr Bilingual kCaptionOneFrequency{" Berechnung der Ströme bei einer Frequenz",
                                         " Calculation of currents at one frequency"};
constexpr Bilingual kCaptionImpedance{" Impedanz aus Stromsumme ermitteln",
                                      " Determine impedance from the current sum"};
constexpr Bilingual kCaptionScan{" Speisepunkt prüfen: alle Bänder", " Check feed point: all bands"};

constexpr Bilingual kCalculate{"&Rechnen", "Calc&ulate"};
constexpr Bilingual kTotalLength{"Antennengesamtlänge [m]:", "Total antenna length [m]:"};
constexpr Bilingual kDistance{"Abstand Speisepunkt [m]:", "Distance feed point [m]:"};

constexpr Bilingual kEnterDistance{"Bitte einen Abstand eingeben!", "Please enter a distance!"};
constexpr Bilingual kEnterLength{"Bitte die Antennenlänge eingeben!", "Please enter the antenna length!"};
constexpr Bilingual kEnterResonance{"Bitte die Resonanzfrequenz eingeben!", "Please enter the resonance frequency!"};
constexpr Bilingual kEnterFrequency{"Bitte die Frequenz eingeben!", "Please enter the frequency!"};
constexpr Bilingual kEnterMinimum{"Bitte Minimum eingeben!", "Please enter minimum!"};
// A zero shortening factor would divide the half-wave check by zero.
constexpr Bilingual kEnterVk{"Bitte den Verkürzungsfaktor eingeben!", "Please enter the shortening factor!"};
constexpr Bilingual kIncomplete{" Unvollständig", " Incomplete"};
constexpr Bilingual kInvalid{" Ungültige Eingabe", " Invalid input"};
constexpr Bilingual kTooShortTitle{" Antenne zu kurz!", " Antenna too short!"};

constexpr Bilingual kPrefillMarker{"Mögliche Speisepunkte (X) bei ", "Possible feed points (x) for "};
constexpr Bilingual kReportNote{"Die Speisepunktberechnung liegt als Textfile 'SpeisePkt.txt' vor.  ",
                                "The Feed point - Check is available as text file 'SpeisePkt.txt'.  "};

Answer incomplete(Asker& asker, Language lang, const Bilingual& text) {
  return asker.ask(Question{text.in(lang), kIncomplete.in(lang), Icon::Exclamation, Buttons::Ok, 1,
                            QuestionId::FeedPointIncomplete});
}

// Says why the check cannot go on and marks the field to fill.
template <class Result>
Result Refused(Result res, Asker& asker, Language lang, const Bilingual& text, Input field) {
  incomplete(asker, lang, text);
  res.refused = field;
  return res;
}

// A feed point that is not inside the wire is refused by a message that
// names the wire's length.
template <class Result>
Result OffTheWire(Result res, Asker& asker, Language lang, float length, char sep) {
  asker.ask(Question{OffWireText(lang, length, sep), kInvalid.in(lang), Icon::Exclamation, Buttons::Ok, 1,
                     QuestionId::FeedPointOffWire});
  res.refused = Input::Distance;
  return res;
}

struct EmptyField {
  const Bilingual* text;
  Input field;
};

// The first empty field, checked in the window's order: distance, length,
// then the frequency (whose message the mode names).
std::optional<EmptyField> FirstEmpty(const WindowTexts& window, const Bilingual& enterFrequency) {
  if (window.third.text.empty()) return EmptyField{&kEnterDistance, Input::Distance};
  if (window.first.text.empty()) return EmptyField{&kEnterLength, Input::Length};
  if (window.second.text.empty()) return EmptyField{&enterFrequency, Input::Frequency};
  return std::nullopt;
}

std::string trimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

// The wavelength on the wire for a frequency (double).
double wireWavelength(double ins, float f) { return (1.0 - 2.0 * ins) * 300.0 / f; }

// Vk as the main form gives it: 0.946 while its field is empty.
float mainVk(const MainFormValues& main) {
  return main.shorteningFactor.empty() ? kTypicalShorteningFactor : ParseNumber(main.shorteningFactor);
}

// A feed point lies inside the wire: at either end there is nothing to feed.
bool insideTheWire(float distance, float length) { return distance > 0 && distance < length; }

}  // namespace

std::string ActivationStatus(Mode mode, Language lang) {
  if (mode == Mode::Impedance) return tr(lang, "Status: Impedanzberechnung", "Status: Impedance calculation");
  return tr(lang, "Status: Überprüfung des Speisepunktes", "Status: Checking the feed point");
}

std::string ClosedStatus(Language lang) {
  return tr(lang, "Status: Bereit für Antennen-Berechnungen", "Status: Ready for antennas-calculations");
}

std::optional<std::string> PrefillDistance(std::string_view info, Language lang) {
  const std::string_view marker = kPrefillMarker.in(lang);
  const auto at = info.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view list = info.substr(at + marker.size());
  const auto cr = list.find('\r');
  if (cr != std::string_view::npos) list = list.substr(0, cr);

  std::optional<std::string> distance;
  // Every piece before an "m," is a distance; the rest after the last one is not.
  for (auto end = list.find("m,"); end != std::string_view::npos; end = list.find("m,")) {
    distance = trimBlanks(list.substr(0, end));
    list.remove_prefix(end + 2);
    const double v = ParseNumber(*distance);
    if (v > 7 && v < 9) break;
  }
  return distance;
}

WindowSetup OpenAllBands(const MainFormValues& main, Language lang, char sep) {
  WindowSetup w;
  w.mode = Mode::AllBands;
  w.title = kCaptionAllBands.in(lang);
  w.calculate = kCalculate.in(lang);
  const float length = main.run.length;
  w.rows.first = {kTotalLength.in(lang), length > 0 ? FormatPicture(length, "##0.0##", sep) : std::string()};
  w.rows.second = {FrequencyLabel(lang), main.preferredFrequency};
  w.rows.third = {kDistance.in(lang), PrefillDistance(main.note, lang).value_or(std::string())};
  w.rows.header =
      tr(lang, "Band [MHz]      Stromsumme / Impedanz (Ohm)", "Band [MHz]      Currentsum / Impedance(Ohm)");
  return w;
}

WindowSetup OpenOneFrequency(const MainFormValues& main, Language lang, char sep) {
  WindowSetup w;
  w.mode = Mode::OneFrequency;
  w.title = kCaptionOneFrequency.in(lang);
  w.calculate = kCalculate.in(lang);
  const float length = main.run.length;
  w.rows.first = {kTotalLength.in(lang), length > 0 ? FormatPicture(length, "##0.0###", sep) : std::string()};
  w.rows.second = {tr(lang, "Frequenz [MHz]:", "Frequency [MHz]:"), main.preferredFrequency};
  w.rows.third = {kDistance.in(lang), {}};
  return w;
}

WindowSetup OpenImpedance(Language lang) {
  WindowSetup w;
  w.mode = Mode::Impedance;
  w.title = kCaptionImpedance.in(lang);
  w.calculate = kCalculate.in(lang);
  w.rows.first.caption =
      tr(lang, "Ergebnisse nur annähernd exakt im Resonanzfall !", "Results only almost exactly in resonance !");
  w.rows.second.caption = tr(lang, "Stromsumme (0,01...1,0):", "Current sum (0.01 to 1.0):");
  w.rows.third.caption = tr(lang, "Impedanz     [Ohm]:", "Impedance    [Ohm]:");
  return w;
}

WindowSetup OpenScan(float runLength, Language lang, char sep) {
  WindowSetup w;
  w.mode = Mode::Scan;
  w.title = kCaptionScan.in(lang);
  w.calculate = kCalculate.in(lang);
  w.rows.first = {
      tr(lang, "Linke Grenze der Stromsummenberechnung    [m]:", "Left limit of the current sum calculation    [m]:"),
      FormatPicture(sng(runLength / 6.0), "####0.0##", sep)};
  w.rows.second = {
      tr(lang, "Rechte Grenze der Stromsummenberechnung [m]:", "Right limit of the current sum calculation [m]:"),
      FormatPicture(sng(runLength / 2.0), "####0.0", sep)};
  w.rows.third = {tr(lang, "Inkrement   (die Schrittweite)   [m]:", "Increment  (step size)   [m]:"), "0,01"};
  w.rows.header = tr(lang, " Meter     Stromsumme(steigend)      Meter  Stromsumme(fallend)",
                     " Meter     current sum(rising)       Meter  current sum(falling)");
  return w;
}

std::string OffWireText(Language lang, float length, char sep) {
  return tr(lang, "Der Speisepunkt liegt nicht auf dem Draht (0 … ", "The feed point is not on the wire (0 … ") +
         FormatPicture(length, "##0.0##", sep) + " m).";
}

std::string ImpedanceText(float z, char sep) {
  if (z <= 9999.99f) return FormatPicture(z, "###0.0", sep);
  return FormatPicture(sng(z / 1000.0), "###0.0 K", sep);
}

std::string BandRow(std::string_view frequencyText, double s, float z, char sep) {
  return RightField(frequencyText, 6) + "    " + RightField(FormatPicture(s, "##0.000", sep), 12) + " / " +
         LeftField(ImpedanceText(z, sep), 10);
}

std::string SummaryRow(Language lang, double average, char sep) {
  // The averages' impedance is always written in ohms, however large.
  const float z = ImpedanzAusStromsumme(average, 0, CalculatorState{});
  return RightField(tr(lang, "ØSumme", "ØSum  "), 6) + "    " + RightField(FormatPicture(average, "##0.000", sep), 12) +
         " / " + LeftField(FormatPicture(z, "###0.0", sep), 10);
}

namespace {

// What the all-bands check settles before it computes: the window's and the
// main form's numbers, parsed.
struct AllBandsInputs {
  float vk = 1;
  Segment segment = Segment::Centre;
  double ins = 0;
  float distance = 0;
  float resonance = 0;
  float preferredFrequency = 0;
  float minimumSum = 0;
};

// The bands shown, with their frequency texts, and the lowest of them (the
// loop runs downward).
struct ShownBands {
  std::array<std::string, kBandCount> text;
  std::optional<float> lowest;
  std::string lowestCaption;
};

ShownBands BandsShown(const MainFormValues& main, Segment segment, char sep) {
  ShownBands shown;
  for (int i = kBandCount - 1; i >= 0; --i) {
    if (main.bands[i] == BandState::Off) continue;
    const float f = SegmentFrequenz(segment, BandNennFrequenz(i));
    shown.text[i] = FormatPicture(f, "#0.000", sep);
    shown.lowest = f;
    shown.lowestCaption = BandCaption(i);
  }
  return shown;
}

// Offers to fit the length to the resonance frequency when either differs
// from what the last run left; res.length is the length the check goes on with.
void OfferAdaptedLength(AllBandsResult& res, const WindowTexts& window, const MainFormValues& main,
                        const AllBandsInputs& in, Language lang, char sep, Asker& asker) {
  if (window.first.text == FormatPicture(main.run.length, "##0.0##", sep) && in.resonance == in.preferredFrequency)
    return;
  res.adaptAsked = true;
  const Question q{tr(lang, "Soll die Antennenlänge an die Resonanzfrequenz angepasst werden?",
                      "Should the antenna length be adapted to the resonance frequency?"),
                   tr(lang, " Neue Berechnung ? ", " New calculation ? "),
                   Icon::Question,
                   Buttons::YesNo,
                   1,
                   QuestionId::AdaptLength};
  if (asker.ask(q) != Answer::Yes) return;
  res.adapted = true;
  std::string halfWaves = main.halfWaves;
  if (const auto tilde = halfWaves.find('~'); tilde != std::string::npos) {
    halfWaves = halfWaves.substr(tilde + 1);
    res.mainHalfWaves = halfWaves;
  }
  float n = ParseNumber(halfWaves);
  if (n == 0) n = 1;
  res.selectPreferredLength = true;
  LengthContext ctx = main.lengthContext();
  ctx.segment = in.segment;
  ctx.lengthMode = LengthMode::Preferred;
  try {
    float f = in.resonance;
    res.length = FormatPicture(AntennenLaenge(n, in.vk, in.ins, f, ctx), "##0.0##", sep);
  } catch (const ArithmeticError&) {
    // The length stays as typed; the check goes on with it.
  }
}

// Half-wave check on the lowest band shown. Without any band box set there
// is no lowest band to name, and no warning.
void WarnIfShorterThanHalfWave(AllBandsResult& res, const ShownBands& shown, float length, const AllBandsInputs& in,
                               Language lang, Asker& asker) {
  if (!shown.lowest) return;
  const double wLow = wireWavelength(in.ins, *shown.lowest);
  const float nLow = sng(length / (wLow / 2 * in.vk));
  if (!(nLow < 0.99)) return;
  res.tooShortWarned = true;
  const std::string& cLow = shown.lowestCaption;
  const std::string text = lang == Language::German ? "Die Antenne ist kürzer als die halbe Wellenlänge\r\nvon " +
                                                          cLow + " MHz. Das funktioniert nur mit Einschränkungen!"
                                                    : "The antenna is shorter than half the wavelength\r\nof " + cLow +
                                                          " MHz. This only works with restrictions!";
  asker.ask(Question{text, kTooShortTitle.in(lang), Icon::Exclamation, Buttons::Ok, 1, QuestionId::AntennaTooShort});
}

// Rows: the resonance frequency first (in the place of the 50 MHz band),
// then every band shown, from the highest down; then the averages.
std::string AllBandsRows(const MainFormValues& main, const ShownBands& shown, float length, const AllBandsInputs& in,
                         Language lang, char sep) {
  int k = 0, m = 0, j = 0;
  double aAll = 0, aWant = 0, aUse = 0;
  std::string rows;
  for (int i = kBandCount - 1; i >= 0; --i) {
    const bool resonanceRow = i == kBandCount - 1;
    if (!resonanceRow && main.bands[i] == BandState::Off) continue;
    const float f = resonanceRow ? in.resonance : SegmentFrequenz(in.segment, BandNennFrequenz(i));
    const double w = wireWavelength(in.ins, f);
    const double s = StromImPunkt(w, length, in.distance, in.vk, in.ins, main.calculator).G;
    const float z = ImpedanzAusStromsumme(s, 0, CalculatorState{});
    aAll += s;
    ++k;
    if (sng(s) > in.minimumSum) {
      aUse += s;
      ++j;
    }
    if (main.bands[i] == BandState::Counted) {
      aWant += s;
      ++m;
    }
    rows += BandRow(resonanceRow ? FormatPicture(in.resonance, "#0.000", sep) : shown.text[i], s, z, sep);
    rows += kCrLf;
  }

  rows += SummaryRow(lang, aAll / k, sep);
  rows += kCrLf;
  if (m > 0) {
    rows += tr(lang, "gewünschte Bänder:", "desred bands:");
    rows += kCrLf;
    rows += SummaryRow(lang, aWant / m, sep);
    rows += kCrLf;
  }
  if (j > 0) {
    rows += tr(lang, "brauchbare Bänder (Stromsumme > ", "usable bands (current sum > ");
    rows += FormatGeneral(in.minimumSum, sep);
    rows += "):";
    rows += kCrLf;
    rows += SummaryRow(lang, aUse / j, sep);
  }
  return rows;
}

// SpeisePkt.txt, when the window has a results folder; the note names the
// file only when it was really written.
void WriteAllBandsReport(AllBandsResult& res, const WindowTexts& window, const AllBandsEnv& env) {
  const Language lang = env.lang;
  if (!env.resultsFolder.empty()) {
    report::SpeisePktReport r;
    r.lang = lang;
    r.lengthCaption = window.first.caption;
    r.length = res.length;
    r.frequencyCaption = FrequencyCaption(lang);
    r.frequency = window.second.text;
    r.distanceCaption = window.third.caption;
    r.distance = window.third.text;
    r.header = window.header;
    r.rows = res.rows;
    r.dateText = env.dateText;
    try {
      std::ostringstream bytes;
      report::WriteSpeisePkt(bytes, r);
      files::WriteFileAtomically(env.resultsFolder + report::kSpeisePktFileName, bytes.str());
      res.reportWritten = true;
    } catch (const files::FileError& e) {
      res.reportError = files::FileErrorText(lang, e.error(), e.path());
    }
  }
  const std::string note = kReportNote.in(lang);
  if (res.reportWritten && res.info.find(note) == std::string::npos) res.info += kCrLf + note;
}

}  // namespace

std::string ReportNote(Language lang) { return kReportNote.in(lang); }

AllBandsResult CheckAllBands(const WindowTexts& window, const MainFormValues& main, const AllBandsEnv& env,
                             Asker& asker) {
  const Language lang = env.lang;
  const char sep = env.sep;
  AllBandsResult res;
  res.length = window.first.text;
  res.info = main.note;

  auto refuse = [&](const Bilingual& text, Input field) { return Refused(res, asker, lang, text, field); };
  if (const auto empty = FirstEmpty(window, kEnterResonance)) return refuse(*empty->text, empty->field);

  AllBandsInputs in;
  in.vk = mainVk(main);
  if (in.vk == 0) in.vk = 1;
  in.segment = SegmentOrCentre(main.segment);
  in.ins = main.run.insulation;

  const float typedLength = ParseNumber(window.first.text);
  if (typedLength == 0) return refuse(kEnterLength, Input::Length);
  in.distance = ParseNumber(window.third.text);
  if (in.distance == 0) return refuse(kEnterDistance, Input::Distance);
  if (!insideTheWire(in.distance, typedLength)) return OffTheWire(res, asker, lang, typedLength, sep);
  in.resonance = ParseNumber(window.second.text);
  if (in.resonance == 0) return refuse(kEnterResonance, Input::Frequency);
  in.preferredFrequency = ParseNumber(main.preferredFrequency);
  in.minimumSum = ParseNumber(main.minimumSum);
  if (in.minimumSum == 0) return refuse(kEnterMinimum, Input::None);

  const ShownBands shown = BandsShown(main, in.segment, sep);
  OfferAdaptedLength(res, window, main, in, lang, sep, asker);

  const float length = ParseNumber(res.length);
  // The adapted wire may end before the feed point.
  if (!insideTheWire(in.distance, length)) return OffTheWire(res, asker, lang, length, sep);

  WarnIfShorterThanHalfWave(res, shown, length, in, lang, asker);
  res.rows = AllBandsRows(main, shown, length, in, lang, sep);
  res.done = true;
  WriteAllBandsReport(res, window, env);
  return res;
}

OneFrequencyResult CheckOneFrequency(const WindowTexts& window, const MainFormValues& main, Language lang, char sep,
                                     Asker& asker) {
  OneFrequencyResult res;
  auto refuse = [&](const Bilingual& text, Input field) { return Refused(res, asker, lang, text, field); };
  if (const auto empty = FirstEmpty(window, kEnterFrequency)) return refuse(*empty->text, empty->field);

  const float vk = mainVk(main);
  const float length = ParseNumber(window.first.text);
  const float f = ParseNumber(window.second.text);
  const float d = ParseNumber(window.third.text);
  if (length == 0) return refuse(kEnterLength, Input::Length);
  if (d == 0) return refuse(kEnterDistance, Input::Distance);
  // At either end one side has no wire at all: what the formula gives for
  // it, and so the difference of the two sides, means nothing there.
  if (!insideTheWire(d, length)) return OffTheWire(res, asker, lang, length, sep);
  // A zero frequency or Vk would divide by zero below: refused like an empty field.
  if (f == 0) return refuse(kEnterFrequency, Input::Frequency);
  if (vk == 0) return refuse(kEnterVk, Input::None);

  const float right = sng(static_cast<double>(length) - d);
  const double w = wireWavelength(main.run.insulation, f);

  const float n = sng(length / (w / 2 * vk));
  if (n < 0.99) {
    res.tooShortWarned = true;
    asker.ask(Question{
        tr(lang, "Die Antenne ist kürzer als die halbe Wellenlänge.\r\nDas funktioniert nur mit Einschränkungen!",
           "The antenna is shorter than half a wavelength.\r\nThis only works with restrictions!"),
        kTooShortTitle.in(lang), Icon::Exclamation, Buttons::Ok, 1, QuestionId::AntennaTooShort});
  }

  const double iLeft = std::fabs(std::cos((d / w - vk / 4.0) * kTwoPi));
  const double iRight = std::fabs(std::cos((right / w - vk / 4.0) * kTwoPi));
  const double g = std::sqrt(iLeft * iRight);
  const double diff = std::fabs(iLeft - iRight);

  std::string& t = res.rows;
  t += tr(lang, "Länge links vom Speisepunkt: ", "Length left of the feed point: ");
  t += FormatPicture(d, "##0.0##", sep) + " m" + kCrLf;
  t += tr(lang, "Länge rechts vom Speisepunkt: ", "Length right of the feed point: ");
  t += FormatPicture(right, "##0.0##", sep) + " m" + kCrLf;
  t += tr(lang, "Verkürzungsfaktor: ", "Shortening factor: ");
  t += FormatPicture(vk, "##0.0###", sep) + kCrLf;
  t += tr(lang, "Strom links vom Speisepunkt: ", "Current left of the feed point: ");
  t += FormatPicture(iLeft, "0.0####", sep) + kCrLf;
  t += tr(lang, "Strom rechts vom Speisepunkt: ", "Current right of the feed point: ");
  t += FormatPicture(iRight, "0.0####", sep) + kCrLf;
  t += tr(lang, "Geometrisches Mittel der Ströme: ", "Geometric mean of the currents: ");
  t += FormatPicture(g, "0.0####", sep) + kCrLf;
  t += tr(lang, "Differenz der beiden Ströme: ", "Difference between the two currents: ");
  t += FormatPicture(diff, "0.0####", sep);
  if (diff <= 0.001) t += " (Optimal)";
  res.done = true;
  return res;
}

ImpedanceResult ImpedanceFromCurrentSum(std::string_view currentSum, char sep) {
  const double s = ParseNumber(currentSum);
  if (s > 2 || s < 0.0000135)
    return ImpedanceResult{
        true, {}, {"Stromsumme außerhalb des Bereichs: keine Impedanz", "Current sum out of range: no impedance"}};
  return ImpedanceResult{false, ImpedanceText(ImpedanzAusStromsumme(s, 0, CalculatorState{}), sep), {}};
}

float ScanFrequency(int band, std::optional<Segment> segment) {
  static constexpr float kTable[kBandCount][3] = {
      {1.82f, 1.86f, 1.857f},   {3.5f, 3.75f, 3.65f},    {5.353f, 5.36f, 5.36f},     {7.0f, 7.06f, 7.1f},
      {10.1f, 10.13f, 10.125f}, {14.0f, 14.25f, 14.25f}, {18.068f, 18.13f, 18.118f}, {21.0f, 21.25f, 21.225f},
      {24.89f, 24.95f, 24.94f}, {28.0f, 28.6f, 28.5f},   {50.09f, 50.15f, 50.5f}};
  if (band < 0 || band >= kBandCount) return 0;
  const int column = ButtonOfSegment(SegmentOrCentre(segment));
  return kTable[band][column];
}

ScanSetup PrepareScan(const WindowTexts& window, const MainFormValues& main, char sep) {
  ScanSetup s;
  // The 50 MHz band takes no part in the scan; grey bands do not count.
  for (int i = 0; i < kBandCount - 1; ++i)
    if (main.bands[i] == BandState::Counted) s.frequencies.push_back(ScanFrequency(i, main.segment));
  s.vk = mainVk(main);
  s.length = main.run.length;
  s.insulation = main.run.insulation;
  s.x0 = ParseNumber(window.first.text);
  s.x1 = ParseNumber(window.second.text);
  s.step = ParseNumber(window.third.text);
  s.stepText = window.third.text;
  if (s.step < 0.001) {
    s.step = 0.001f;
    s.stepCorrected = true;
    s.stepText = FormatGeneral(s.step, sep);
    s.stepReason = {"Die Schrittweite ist mindestens " + s.stepText + " m.",
                    "The step is at least " + s.stepText + " m."};
  }
  return s;
}

std::string ScanRow(float x, double average, bool rising, char sep) {
  std::string row = rising ? std::string() : std::string(32, ' ');
  row += FormatPicture(x, "##0.000", sep);
  row += " m     ";
  row += FormatPicture(average, "#0.0####", sep);
  row += kCrLf;
  return row;
}

double EstimatedScanRows(const ScanSetup& s) {
  const float last = std::min(s.x1, s.length);
  if (s.frequencies.empty() || s.x0 > last || !(s.step > 0)) return 0;
  return (static_cast<double>(last) - s.x0) / s.step + 1;
}

ScanOutcome StreamScan(const ScanSetup& s, char sep, const ScanRowSink& sink, const ScanProgress& progress) {
  ScanOutcome out;
  // Without a counted band every row's average would divide by zero: no rows.
  if (s.frequencies.empty()) return out;
  const auto count = static_cast<double>(s.frequencies.size());
  std::vector<double> wavelengths;
  for (float f : s.frequencies) wavelengths.push_back(wireWavelength(s.insulation, f));
  const double quarter = s.vk / 4.0;
  const double span = static_cast<double>(s.x1) - s.x0;

  float prev = 0;
  float x = s.x0;
  while (x <= s.x1) {
    // Beyond the wire there is no current to sum.
    if (x > s.length) {
      out.wireEnded = true;
      break;
    }
    double sum = 0;
    const double y = static_cast<double>(s.length) - x;
    for (double w : wavelengths) {
      const double a1 = (x / w - quarter) * kTwoPi;
      const double a2 = (y / w - quarter) * kTwoPi;
      sum += std::sqrt(std::fabs(std::cos(a1)) * std::fabs(std::cos(a2)));
    }
    const float current = sng(sum);
    ++out.rowCount;
    if (!sink(ScanRow(x, sum / count, current > prev, sep))) {
      out.receiverStop = true;
      break;
    }
    prev = current;

    // Far out on a long wire a small step is lost in the position's
    // rounding; the position would never move again.
    const float next = sng(static_cast<double>(x) + s.step);
    if (next == x) {
      out.stalled = true;
      out.stalledAt = x;
      break;
    }
    x = next;
    if (progress && out.rowCount % 1024 == 0) {
      const double done = span > 0 ? (static_cast<double>(x) - s.x0) / span : 1.0;
      if (!progress(done)) {
        out.cancelled = true;
        break;
      }
    }
  }
  return out;
}

ScanOutcome RunScan(const ScanSetup& s, char sep, const ScanProgress& progress) {
  std::string rows;
  ScanOutcome out = StreamScan(
      s, sep,
      [&rows](std::string_view row) {
        rows += row;
        return true;
      },
      progress);
  out.rows = std::move(rows);
  return out;
}

std::string RowLimitNote(Language lang) {
  return tr(lang, "Die Liste endet nach ", "The list ends after ") + std::to_string(kScanBoxRows) +
         tr(lang, " Zeilen. Für den Rest die Grenzen enger oder die Schrittweite größer wählen.",
            " rows. For the rest choose closer limits or a larger step.");
}

std::string WireEndNote(Language lang, float length, char sep) {
  return tr(lang, "Die Liste endet am Drahtende (", "The list ends at the end of the wire (") +
         FormatPicture(length, "##0.0##", sep) + " m).";
}

std::string StalledNote(Language lang, float x, char sep) {
  return tr(lang, "Die Schrittweite bewegt die Position ab ", "The step no longer moves the position beyond ") +
         FormatPicture(x, "##0.000", sep) +
         tr(lang, " m nicht mehr: Die Prüfung endet hier.", " m: the scan ends here.");
}

}  // namespace lorvant::feedpoint
