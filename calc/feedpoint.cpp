#include "calc/feedpoint.h"

#include <cmath>

#include "calc/filecommit.h"
#include "calc/numparse.h"
#include "calc/reports/speisepkt.h"
#include "calc/reports/text.h"

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
constexpr Bilingual kCaptionImpedance{" Impedanz aus Stromsumme ermitteln", " Determine impedance from the current sum"};
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
constexpr Bilingual kTooShortTitle{" Antenne zu kurz!", " Antenna too short!"};

constexpr Bilingual kPrefillMarker{"Mögliche Speisepunkte (X) bei ", "Possible feed points (x) for "};
constexpr Bilingual kReportNote{"Die Speisepunktberechnung liegt als Textfile 'SpeisePkt.txt' vor.  ",
                                "The Feed point - Check is available as text file 'SpeisePkt.txt'.  "};

constexpr float kDefaultVk = 0.946f;

Answer incomplete(Asker& asker, Language lang, const Bilingual& text) {
  return asker.ask(Question{text.in(lang), kIncomplete.in(lang), Icon::Exclamation, Buttons::Ok, 1});
}

bool isCaptionOf(std::string_view caption, const Bilingual& mode) {
  return caption == mode.de || caption == mode.en;
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
float mainVk(const MainFormView& main) { return main.text4.empty() ? kDefaultVk : ParseNumber(main.text4); }

// A feed point lies on the wire: not before its start, not beyond its end.
bool onTheWire(float distance, float length) { return distance >= 0 && distance <= length; }

int segmentCode(int optionIndex) { return optionIndex >= 0 && optionIndex <= 2 ? optionIndex + 1 : 0; }

}  // namespace

std::string ModeCaption(Mode mode, Language lang) {
  switch (mode) {
    case Mode::AllBands: return kCaptionAllBands.in(lang);
    case Mode::OneFrequency: return kCaptionOneFrequency.in(lang);
    case Mode::Impedance: return kCaptionImpedance.in(lang);
    case Mode::Scan: return kCaptionScan.in(lang);
  }
  return {};
}

Mode ModeOfCaption(std::string_view caption) {
  if (isCaptionOf(caption, kCaptionImpedance)) return Mode::Impedance;
  if (isCaptionOf(caption, kCaptionScan)) return Mode::Scan;
  if (isCaptionOf(caption, kCaptionAllBands)) return Mode::AllBands;
  return Mode::OneFrequency;
}

std::string ActivationStatus(std::string_view caption, Language lang) {
  if (isCaptionOf(caption, kCaptionImpedance)) return tr(lang, "Status: Impedanzberechnung", "Status: Impedance calculation");
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

  std::optional<std::string> text3;
  // Every piece before an "m," is a distance; the rest after the last one is not.
  for (auto end = list.find("m,"); end != std::string_view::npos; end = list.find("m,")) {
    text3 = trimBlanks(list.substr(0, end));
    list.remove_prefix(end + 2);
    const double v = ParseNumber(*text3);
    if (v > 7 && v < 9) break;
  }
  return text3;
}

WindowSetup OpenAllBands(const MainFormView& main, Language lang, char sep) {
  WindowSetup w;
  w.caption = kCaptionAllBands.in(lang);
  w.calculateCaption = kCalculate.in(lang);
  w.label1 = kTotalLength.in(lang);
  w.label2 = main.label1Caption;
  w.label3 = kDistance.in(lang);
  w.label4 = tr(lang, "Band [MHz]      Stromsumme / Impedanz (Ohm)", "Band [MHz]      Currentsum / Impedance(Ohm)");
  w.text2 = main.text1;
  w.text1 = main.runLength > 0 ? FormatPicture(main.runLength, "##0.0##", sep) : std::string();
  w.text3 = PrefillDistance(main.info, lang).value_or(std::string());
  return w;
}

WindowSetup OpenOneFrequency(const MainFormView& main, Language lang, char sep) {
  WindowSetup w;
  w.caption = kCaptionOneFrequency.in(lang);
  w.calculateCaption = kCalculate.in(lang);
  w.label4Visible = false;
  w.label1 = kTotalLength.in(lang);
  w.label2 = tr(lang, "Frequenz [MHz]:", "Frequency [MHz]:");
  w.label3 = kDistance.in(lang);
  w.text1 = main.runLength > 0 ? FormatPicture(main.runLength, "##0.0###", sep) : std::string();
  w.text2 = main.text1;
  return w;
}

WindowSetup OpenImpedance(Language lang) {
  WindowSetup w;
  w.caption = kCaptionImpedance.in(lang);
  w.calculateCaption = kCalculate.in(lang);
  w.label4Visible = false;
  w.resultVisible = false;
  w.text1Visible = false;
  w.heightTwips = kCompactHeightTwips;
  w.label1 = tr(lang, "Ergebnisse nur annähernd exakt im Resonanzfall !", "Results only almost exactly in resonance !");
  w.labelsRightAligned = true;
  w.label2 = tr(lang, "Stromsumme (0,01...1,0):", "Current sum (0.01 to 1.0):");
  w.label3 = tr(lang, "Impedanz     [Ohm]:", "Impedance    [Ohm]:");
  w.text3Enabled = false;
  return w;
}

WindowSetup OpenScan(float runLength, Language lang, char sep) {
  WindowSetup w;
  w.caption = kCaptionScan.in(lang);
  w.calculateCaption = kCalculate.in(lang);
  w.label1Bold = false;
  w.label1 = tr(lang, "Linke Grenze der Stromsummenberechnung    [m]:", "Left limit of the current sum calculation    [m]:");
  w.label2 = tr(lang, "Rechte Grenze der Stromsummenberechnung [m]:", "Right limit of the current sum calculation [m]:");
  w.label3 = tr(lang, "Inkrement   (die Schrittweite)   [m]:", "Increment  (step size)   [m]:");
  w.label4 = tr(lang, " Meter     Stromsumme(steigend)      Meter  Stromsumme(fallend)",
                " Meter     current sum(rising)       Meter  current sum(falling)");
  w.text1 = FormatPicture(sng(runLength / 6.0), "####0.0##", sep);
  w.text2 = FormatPicture(sng(runLength / 2.0), "####0.0", sep);
  w.text3 = "0,01";
  w.clearResult = true;
  return w;
}

std::string FrequencyCaption(Language lang) {
  return tr(lang, "Resonanz&frequenz für bevorzugtes Band [MHz]:", "Resonance &frequency for preferred Band [MHz]:");
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

AllBandsResult CheckAllBands(const WindowTexts& window, const MainFormView& main, const AllBandsEnv& env,
                             Asker& asker) {
  const Language lang = env.lang;
  const char sep = env.sep;
  AllBandsResult res;
  res.text1 = window.text1;
  res.info = main.info;

  auto refuse = [&](const Bilingual& text, Input field) {
    incomplete(asker, lang, text);
    res.refused = field;
    return res;
  };
  if (window.text3.empty()) return refuse(kEnterDistance, Input::Distance);
  if (window.text1.empty()) return refuse(kEnterLength, Input::Length);
  if (window.text2.empty()) return refuse(kEnterResonance, Input::Frequency);

  float vk = mainVk(main);
  if (vk == 0) vk = 1;
  const int segment = segmentCode(main.segmentIndex);
  const double ins = main.insulation;

  const float typedLength = ParseNumber(window.text1);
  if (typedLength == 0) return refuse(kEnterLength, Input::Length);
  const float d = ParseNumber(window.text3);
  if (d == 0 || !onTheWire(d, typedLength)) return refuse(kEnterDistance, Input::Distance);
  const float fRes = ParseNumber(window.text2);
  if (fRes == 0) return refuse(kEnterResonance, Input::Frequency);
  const float f0 = ParseNumber(main.text1);
  const float smin = ParseNumber(main.text8);
  if (smin == 0) return refuse(kEnterMinimum, Input::None);

  // Band texts, and the lowest band shown (the loop runs downward).
  std::array<std::string, kBandCount> bandText;
  std::optional<float> fLow;
  std::string cLow;
  for (int i = kBandCount - 1; i >= 0; --i) {
    if (main.bands[i] == kBandOff) continue;
    const float f = SegmentFrequenz(segment, BandNennFrequenz(i));
    bandText[i] = FormatPicture(f, "#0.000", sep);
    fLow = f;
    cLow = main.bandCaptions[i];
  }

  // Offer to fit the length to the resonance frequency when either differs
  // from what the last run left.
  if (window.text1 != FormatPicture(main.runLength, "##0.0##", sep) || fRes != f0) {
    res.adaptAsked = true;
    const Question q{tr(lang, "Soll die Antennenlänge an die Resonanzfrequenz angepasst werden?",
                        "Should the antenna length be adapted to the resonance frequency?"),
                     tr(lang, " Neue Berechnung ? ", " New calculation ? "), Icon::Question, Buttons::YesNo, 1};
    if (asker.ask(q) == Answer::Yes) {
      res.adapted = true;
      std::string halfWaves = main.text2;
      if (const auto tilde = halfWaves.find('~'); tilde != std::string::npos) {
        halfWaves = halfWaves.substr(tilde + 1);
        res.mainText2 = halfWaves;
      }
      float n = ParseNumber(halfWaves);
      if (n == 0) n = 1;
      res.selectPreferredLength = true;
      LengthContext ctx;
      ctx.bands = main.bands;
      ctx.segment = segment;
      ctx.lengthMode = kLengthPreferred;
      ctx.tolerancePercent = main.tolerancePercent;
      ctx.extraBand = main.extraBand;
      ctx.extraFrequency = main.extraFrequency;
      ctx.calc = main.calc;
      try {
        float f = fRes;
        res.text1 = FormatPicture(AntennenLaenge(n, vk, ins, f, ctx), "##0.0##", sep);
      } catch (const ArithmeticError&) {
        // The length stays as typed; the check goes on with it.
      }
    }
  }

  const float length = ParseNumber(res.text1);
  // The adapted wire may end before the feed point.
  if (!onTheWire(d, length)) return refuse(kEnterDistance, Input::Distance);

  // Half-wave check on the lowest band shown. Without any band box set
  // there is no lowest band to name, and no warning.
  if (fLow) {
    const double wLow = wireWavelength(ins, *fLow);
    const float nLow = sng(length / (wLow / 2 * vk));
    if (nLow < 0.99) {
      res.tooShortWarned = true;
      const std::string text =
          lang == Language::German
              ? "Die Antenne ist kürzer als die halbe Wellenlänge\r\nvon " + cLow +
                    " MHz. Das funktioniert nur mit Einschränkungen!"
              : "The antenna is shorter than half the wavelength\r\nof " + cLow + " MHz. This only works with restrictions!";
      asker.ask(Question{text, kTooShortTitle.in(lang), Icon::Exclamation, Buttons::Ok, 1});
    }
  }

  // Rows: the resonance frequency first (in the place of the 50 MHz band),
  // then every band shown, from the highest down.
  int k = 0, m = 0, j = 0;
  double aAll = 0, aWant = 0, aUse = 0;
  std::string rows;
  for (int i = kBandCount - 1; i >= 0; --i) {
    const bool resonanceRow = i == kBandCount - 1;
    if (!resonanceRow && main.bands[i] == kBandOff) continue;
    const float f = resonanceRow ? fRes : SegmentFrequenz(segment, BandNennFrequenz(i));
    const double w = wireWavelength(ins, f);
    const double s = StromImPunkt(w, length, d, vk, ins, main.calc).G;
    const float z = ImpedanzAusStromsumme(s, 0, CalculatorState{});
    aAll += s;
    ++k;
    if (sng(s) > smin) {
      aUse += s;
      ++j;
    }
    if (main.bands[i] == kBandCounted) {
      aWant += s;
      ++m;
    }
    rows += BandRow(resonanceRow ? FormatPicture(fRes, "#0.000", sep) : bandText[i], s, z, sep);
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
    rows += FormatGeneral(smin, sep);
    rows += "):";
    rows += kCrLf;
    rows += SummaryRow(lang, aUse / j, sep);
  }
  res.rows = rows;
  res.done = true;

  if (!env.resultsFolder.empty()) {
    report::SpeisePktReport r;
    r.lang = lang;
    r.label1 = window.label1;
    r.text1 = res.text1;
    r.label2 = FrequencyCaption(lang);
    r.text2 = window.text2;
    r.label3 = window.label3;
    r.text3 = window.text3;
    r.label4 = window.label4;
    r.rows = rows;
    r.dateText = env.dateText;
    try {
      report::WriteSpeisePktFile(env.resultsFolder + report::kSpeisePktFileName, r);
      res.reportWritten = true;
    } catch (const files::FileError& e) {
      res.reportError = files::FileErrorText(lang, e.error(), e.path());
    }
  }

  // The note names the file only when it was really written.
  const std::string note = kReportNote.in(lang);
  if (res.reportWritten && res.info.find(note) == std::string::npos) res.info += kCrLf + note;
  return res;
}

OneFrequencyResult CheckOneFrequency(const WindowTexts& window, const MainFormView& main, Language lang, char sep,
                                     Asker& asker) {
  OneFrequencyResult res;
  auto refuse = [&](const Bilingual& text, Input field) {
    incomplete(asker, lang, text);
    res.refused = field;
    return res;
  };
  if (window.text3.empty()) return refuse(kEnterDistance, Input::Distance);
  if (window.text1.empty()) return refuse(kEnterLength, Input::Length);
  if (window.text2.empty()) return refuse(kEnterFrequency, Input::Frequency);

  const float vk = mainVk(main);
  const float length = ParseNumber(window.text1);
  const float f = ParseNumber(window.text2);
  const float d = ParseNumber(window.text3);
  if (!onTheWire(d, length)) return refuse(kEnterDistance, Input::Distance);
  // A zero frequency or Vk would divide by zero below: refused like an empty field.
  if (f == 0) return refuse(kEnterFrequency, Input::Frequency);
  if (vk == 0) return refuse(kEnterVk, Input::None);

  const float right = sng(static_cast<double>(length) - d);
  const double w = wireWavelength(main.insulation, f);

  const float n = sng(length / (w / 2 * vk));
  if (n < 0.99) {
    res.tooShortWarned = true;
    asker.ask(Question{tr(lang,
                          "Die Antenne ist kürzer als die halbe Wellenlänge.\r\nDas funktioniert nur mit Einschränkungen!",
                          "The antenna is shorter than half a wavelength.\r\nThis only works with restrictions!"),
                       kTooShortTitle.in(lang), Icon::Exclamation, Buttons::Ok, 1});
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

ImpedanceResult ImpedanceFromCurrentSum(std::string_view text2, char sep) {
  const double s = ParseNumber(text2);
  if (s > 2 || s < 0.0000135) return ImpedanceResult{true, {}};
  return ImpedanceResult{false, ImpedanceText(ImpedanzAusStromsumme(s, 0, CalculatorState{}), sep)};
}

float ScanFrequency(int band, int segmentIndex) {
  static constexpr float kTable[kBandCount][3] = {
      {1.82f, 1.86f, 1.857f},    {3.5f, 3.75f, 3.65f},     {5.353f, 5.36f, 5.36f}, {7.0f, 7.06f, 7.1f},
      {10.1f, 10.13f, 10.125f},  {14.0f, 14.25f, 14.25f},  {18.068f, 18.13f, 18.118f},
      {21.0f, 21.25f, 21.225f},  {24.89f, 24.95f, 24.94f}, {28.0f, 28.6f, 28.5f},  {50.09f, 50.15f, 50.5f}};
  if (band < 0 || band >= kBandCount) return 0;
  const int column = segmentIndex == 0 ? 0 : segmentIndex == 1 ? 1 : 2;
  return kTable[band][column];
}

ScanSetup PrepareScan(const WindowTexts& window, const MainFormView& main, char sep) {
  ScanSetup s;
  // The 50 MHz band takes no part in the scan; grey bands do not count.
  for (int i = 0; i < kBandCount - 1; ++i)
    if (main.bands[i] == kBandCounted) s.frequencies.push_back(ScanFrequency(i, main.segmentIndex));
  s.vk = mainVk(main);
  s.length = main.runLength;
  s.insulation = main.insulation;
  s.x0 = ParseNumber(window.text1);
  s.x1 = ParseNumber(window.text2);
  s.step = ParseNumber(window.text3);
  s.text3 = window.text3;
  if (s.step < 0.001) {
    s.step = 0.001f;
    s.stepCorrected = true;
    s.text3 = FormatGeneral(s.step, sep);
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
  if (s.frequencies.empty() || s.x0 > s.x1 || !(s.step > 0)) return 0;
  return (static_cast<double>(s.x1) - s.x0) / s.step + 1;
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

std::string StalledNote(Language lang, float x, char sep) {
  return tr(lang, "Die Schrittweite bewegt die Position ab ", "The step no longer moves the position beyond ") +
         FormatPicture(x, "##0.000", sep) +
         tr(lang, " m nicht mehr: Die Prüfung endet hier.", " m: the scan ends here.");
}

}  // namespace lorvant::feedpoint
