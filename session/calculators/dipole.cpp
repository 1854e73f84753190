#include "session/calculators/dipole.h"
#include "io/staged_files.h"

#include <cmath>
#include <limits>
#include <optional>

#include "engine/checked.h"
#include "engine/numparse.h"
#include "session/mainform.h"
#include "text/bilingual.h"
#include "text/format.h"

namespace lorvant::dipole {

using report::FormatGeneral;
using report::FormatPicture;

namespace {

// A step of the spacing formula that fails (logarithm of a non-positive
// number, division by zero, a value beyond single precision) is skipped.
bool usable(double v) { return checked::fitsSingle(v); }

// 10^(0.54 * log10 x), the logarithm taken as ln x / ln 10.
double coupling(double x) { return std::pow(10.0, 0.54 * (std::log(x) / std::log(10.0))); }

}  // namespace

Texts Captions(Language lang) {
  const bool de = lang == Language::German;
  Texts t;
  t.title = de ? "Strahlungsgekoppelten Dipol berechnen" : "Calculate radiation-coupled dipole";
  t.additional = de ? "&Zusatz-Dipol" : "&Addition-Dipole";
  t.frequency = de ? "gewünschte Resonanzfrequenz [MHz]:" : "desired resonant frequency [MHz]:";
  t.impedance = de ? "gewünschte Speisepunkt-Impedanz [Ohm]:" : "desired feed point impedance [Ohm]:";
  t.diameter = de ? "Draht-Durchmesser [mm]:" : "Wire diameter [mm]:";
  t.exciterDiameter = t.diameter;
  t.feedPointAt = de ? "Speise-Pkt bei:" : "Feed point at:";
  t.ofTotalLength = de ? "der Ges.-Länge [m]:" : "of the total length [m]:";
  t.spacing = de ? "Abstand zwischen den Antennendrähten [mm]:" : "Distance between the antenna wires [mm]:";
  t.length = de ? "Ges.-Länge Zusatzdipol [m]:" : "total length of additional dipole [m]:";
  t.exciter = de ? "&Erreger-Dipol (Stromsummenantenne o.ä.)" : "&Exciter-dipole (Current sum antenna or similar)";
  t.exciterFrequency = de ? "unterste Resonanzfrequenz [MHz]:" : "lowest resonant frequency [MHz]:";
  t.vk = de ? "Verkürzungsfaktor:" : "Shortening factor:";
  t.calculate = de ? "&Rechnen" : "Calc&ulate";
  t.type = de ? "Typ" : "Type";
  t.dipole = de ? "Di&pol" : "Di&pole";
  t.windom = "&WINDOM";
  t.conditions = de ? "I&nfo" : "Inf&o";
  t.additionalTip = de ? "strahlungsgekoppelt" : "radiation-coupled";
  t.impedanceTip = de ? "für beide Dipole gleichen Wert verwenden!" : "use the same value for both dipoles!";
  t.diameterTip = de ? "Leiterdurchmesser" : "Wire diameter";
  t.spacingTip = de ? "Ergebnis Abstand" : "Result distance";
  t.lengthTip = de ? "Ergebnis Drahtlänge" : "Result wire length";
  t.exciterFrequencyTip = de ? "tiefste Resonanzfrequenz" : "Lowest resonant frequency";
  return t;
}

VariantTexts DipoleVariant(Language lang) {
  const bool de = lang == Language::German;
  return {de ? "gewünschte Resonanzfrequenz [MHz]:" : "desired resonant frequency [MHz]:",
          de ? "Zusatz-Dipol" : "Additional dipole",
          de ? "Ges.-Länge Zusatzdipol [m]:" : "Total length of additional dipole [m]:"};
}

VariantTexts WindomVariant(Language lang) {
  const bool de = lang == Language::German;
  return {de ? "Resonanzfrequenz [MHz] bei Anzahl der Halbwellen:" : "resonant frequency [MHz] with number half-waves:",
          de ? "Zusatz-WINDOM" : "Additional WINDOM",
          de ? "Ges.-Länge Zusatz-WINDOM [m]:" : "Total length of additional WINDOM [m]:"};
}

std::vector<std::string> DipoleFractions(char sep) { return {FormatPicture(0.5f, "0.0##", sep)}; }

std::vector<std::string> WindomFractions(char sep) {
  std::vector<std::string> items;
  for (int i = 3; i <= 8; ++i) items.push_back(FormatPicture(sng(1.0 / i), "0.0###", sep));
  return items;
}

std::string DefaultVkText(char sep) { return FormatPicture(kTypicalShorteningFactor, "0.00##", sep); }

Conditions ConditionsText(Language lang) {
  if (lang == Language::German) {
    return {" Info zur Berechnung eines strahlungsgekoppelten Dipol ",
            JoinLines({
                "Bedingungen für die Richtigkeit der Berechnung:",
                "- Die Frequenz des Zusatz-Dipol muss immer höher wie die Frequenz des Erreger-Dipol sein.  ",
                "- Der Erreger-Dipol muss auf der Frequenz des Zusatz-Dipol eine möglichst hochohmige  ",
                "  Impedanz aufweisen.",
                "- Es kann nur ein zusätzlicher Dipol ausreichend genau berechnet werden. Sollen zwei  ",
                "  oder mehr Zusatz-Dipole hinzu gefügt werden, so reichen die Abstandsberechnungen    ",
                "  nur als grober Anhaltspunkt. Eigene Experimente sind dann notwendig.  ",
                "",
                " Hinweis:",
                "- Die Eingaben zur Drahtisolierung und zur Berechnung des Vk werden zur Berechnung    ",
                "  mit übernommen.",
                "- Der Zusatz-Dipol muss sich mittig und symmetrisch zum Speisepunkt befinden.         ",
                "- Bei einer Zusatz-WINDOM muss sich der scheinbare Speisepunkt unter dem Speisepunkt  ",
                "  des erregenden Dipol (Stromsummen-Antenne) befinden.         ",
                "- Der Zusatz-Dipol muss immer kürzer als der Erreger-Dipol sein und darf auch nicht   ",
                "  über dessen Ende hinaus ragen.",
            })};
  }
  return {" Info on the calculation of a radiation-coupled Dipole ",
          JoinLines({
              "Conditions for the correctness of the calculation:",
              "- The frequency of the additional dipole must always be higher than the frequency of the exciter "
              "dipole.   ",
              "- The exciter dipole must have the highest possible impedance at the frequency of the additional "
              "dipole    ",
              "  impedance as high as possible.",
              "- Only one additional dipole can be calculated with sufficient accuracy. If two or more additional "
              "dipoles ",
              "  are to be added,  the distance calculations are only sufficient as a rough guide. You will then "
              "need ",
              "  to carry out your own experiments. ",
              "",
              "Note:",
              "- The entries for wire insulation and for calculating the Vk are also used for the calculation. ",
              "- The additional dipole must be centered and symmetrical to the feed point. ",
              "- With an additional wind dome, the apparent feed point must be below the feed point of the ",
              "  energizing dipole (current sum antenna). ",
              "- The additional dipole must always be shorter than the exciter dipole and must not protrude ",
              "  beyond the end of the exciter dipole.",
          })};
}

std::string ReportNote(Language lang) {
  return tr(lang, "Die Zusatzdipol-Berechnung liegt als Textfile 'ZusatzDipol.txt' vor.  ",
            "The additional dipole calculation is available as text file 'ZusatzDipol.txt'.  ");
}

Refresh Activation(const std::string& diameterText, const BandValues& bands, char sep) {
  float lowest = 0;
  for (int i = 0; i < kBandCount; ++i) {
    if (bands[static_cast<std::size_t>(i)] == BandState::Counted) {
      lowest = BandNennFrequenz(i);
      break;
    }
  }
  return {FormatPicture(lowest, "#0.0", sep), diameterText, diameterText};
}

float ZusatzAbstand(float z, float /*fExc*/, float fAdd, float dExc, float dAdd, float /*s*/, double ins) {
  float w1 = 0;
  double x = 0;
  float k = 0;
  float s = 0;

  if (const double v = (300.0 / fAdd) * (1 - 2 * ins); usable(v)) w1 = sng(v);
  if (const double v = (static_cast<double>(dExc) * 1.27 + dAdd / 1.27) / 8000 / w1; usable(v)) x = v;
  if (x > 0) {
    if (const double v = coupling(x) * (z / 72.0) * w1 * 1000; usable(v)) k = sng(v);
  }
  const double diameterSum = static_cast<double>(dExc) + dAdd;
  if (diameterSum >= 0) {
    if (const double v = k + std::sqrt(diameterSum); usable(v)) s = sng(v);
  }
  if (z > 72 && sng(diameterSum) < 41 && diameterSum >= 0) {
    if (const double v = s + (1.7 - std::sqrt(diameterSum)) / (2350.5 / z) * k; usable(v)) s = sng(v);
  }
  return s;
}

namespace {

// The window's numbers, parsed.
struct Numbers {
  float fExc = 0, fAdd = 0, z = 0, dExc = 0, dAdd = 0, vk = 0, n = 0;
};

// A refused field and why.
struct Rejection {
  Field field;
  Reason reason;
};

// Read in this order; a zero rejects. Frequencies and diameters below zero
// would make the logarithm of the spacing formula undefined, so they are
// refused the same way. Returns the field to reject, if any.
std::optional<Rejection> ReadNumbers(const Inputs& in, Numbers& v, char sep) {
  v.fExc = ParseNumber(in.fExc);
  if (!(v.fExc > 0))
    return Rejection{Field::ExciterFrequency,
                     {"Bitte die unterste Resonanzfrequenz des Erregers eingeben!",
                      "Please enter the exciter's lowest resonant frequency!"}};
  v.fAdd = ParseNumber(in.fAdd);
  if (!(v.fAdd > 0))
    return Rejection{
        Field::Frequency,
        {"Bitte die gewünschte Resonanzfrequenz eingeben!", "Please enter the desired resonant frequency!"}};
  v.z = ParseNumber(in.impedance);
  if (v.z == 0)
    return Rejection{
        Field::Impedance,
        {"Bitte die gewünschte Speisepunkt-Impedanz eingeben!", "Please enter the desired feed point impedance!"}};
  v.dExc = ParseNumber(in.dExc);
  if (!(v.dExc > 0))
    return Rejection{
        Field::ExciterDiameter,
        {"Bitte den Drahtdurchmesser des Erregers eingeben!", "Please enter the exciter's wire diameter!"}};
  v.dAdd = ParseNumber(in.dAdd);
  if (!(v.dAdd > 0))
    return Rejection{
        Field::Diameter,
        {"Bitte den Drahtdurchmesser des Zusatzdrahts eingeben!", "Please enter the additional wire's diameter!"}};
  // A shortening factor lies above 0 and at most 1; anything else gives
  // lengths that no wire has.
  v.vk = ParseNumber(in.vk);
  if (!(v.vk > 0 && v.vk <= 1))
    return Rejection{Field::Vk,
                     {"Der Verkürzungsfaktor liegt über 0 und höchstens bei 1.",
                      "The shortening factor lies above 0 and at most at 1."}};
  v.n = sng(ReadLeadingNumber(in.halfWaves));
  if (v.n == 0)
    return Rejection{Field::HalfWaves,
                     {"Bitte mindestens eine Halbwelle eingeben!", "Please enter at least one half-wave!"}};
  if (!(v.fAdd > v.fExc)) {
    const std::string exciter = FormatGeneral(v.fExc, sep);
    return Rejection{
        Field::Frequency,
        {"Die gewünschte Resonanzfrequenz muss über der untersten des Erregers (" + exciter + " MHz) liegen.",
         "The desired resonant frequency must lie above the exciter's lowest (" + exciter + " MHz)."}};
  }
  return std::nullopt;
}

// The exciter cannot be thicker than its own height allows, and the wires
// must not touch: with a clear gap of 1 mm or less suggest a thinner
// additional wire, or ask for another impedance.
std::optional<Rejection> CheckWiresFit(Outcome& out, const Numbers& v, float height, float s0, char sep) {
  const double heightLimit = height * 1000.0 / 2;
  if (v.dExc > heightLimit) {
    out.suggestedExciterDiameter = FormatPicture(sng(heightLimit), "###0.0#", sep);
    const std::string& at = *out.suggestedExciterDiameter;
    return Rejection{Field::ExciterDiameter,
                     {"Der Erregerdraht ist für seine Höhe zu dick: höchstens " + at + " mm.",
                      "The exciter's wire is too thick for its height: at most " + at + " mm."}};
  }
  const float gap = sng(s0 - (static_cast<double>(v.dAdd) + v.dExc) / 2);
  out.gap = gap;
  if (gap > 1) return std::nullopt;
  const Reason tooClose{"Die Drähte lägen zu dicht beieinander: bitte eine andere Impedanz wählen.",
                        "The wires would lie too close together: please choose another impedance."};
  if (gap > 0 && gap < v.dAdd) {
    out.spacingText = std::string();
    out.suggestedDiameter = FormatPicture(gap, "###0.0#", sep);
    const std::string& at = *out.suggestedDiameter;
    return Rejection{Field::Diameter,
                     {"Die Drähte lägen zu dicht beieinander: Zusatzdraht höchstens " + at + " mm.",
                      "The wires would lie too close together: additional wire at most " + at + " mm."}};
  }
  if (gap <= 0 || gap <= v.dAdd || s0 <= 1.02f) {
    out.spacingText = std::string();
    return Rejection{Field::Impedance, tooClose};
  }
  out.spacingColour = TextColour::Red;
  out.spacingText = FormatPicture(s0, "###0.0", sep);
  return Rejection{Field::Impedance, tooClose};
}

// The WINDOM's length and the factor its feed-point fraction puts on the
// spacing.
std::optional<Rejection> WindomLength(const Inputs& in, const Numbers& v, float c, float& length, float& windomFactor) {
  const Rejection noLength{Field::HalfWaves,
                           {"Mit dieser Zahl der Halbwellen ergibt sich keine WINDOM-Länge.",
                            "This number of half-waves gives no WINDOM length."}};
  float halfWaves = v.n;
  float f0 = v.fAdd;
  try {
    length = AntennenLaenge(halfWaves, v.vk, in.ins, f0, in.length);
  } catch (const ArithmeticError&) {
    return noLength;
  }
  if (!(length != 0) || !std::isfinite(length)) return noLength;
  const double a = static_cast<double>(length) * c;
  const double b = length - a;
  // A fraction of 0 or 1 leaves one side without wire; outside 0..1 the
  // angle below has no logarithm. Both are refused like a zero value.
  const Rejection offTheWire{Field::Fraction,
                             {"Der Speisepunkt liegt als Anteil der Länge zwischen 0 und 1.",
                              "The feed point as a fraction of the length lies between 0 and 1."}};
  if (a == 0 || b == 0) return offTheWire;
  const double r = a / b * 90;
  if (!(r > 0) || !std::isfinite(r)) return offTheWire;
  windomFactor = sng(std::sin(r * kPi / 180) +
                     std::sin(kPi / 180 * (std::log(r / 2.71828182818282) - 1.749904835) * 102.8627365) / 12.5);
  return std::nullopt;
}

}  // namespace

Outcome Calculate(const Inputs& in, char sep) {
  Outcome out;
  auto reject = [&out](Rejection r) {
    out.beeps = 1;
    out.focus = r.field;
    out.reason = std::move(r.reason);
    return out;
  };

  Numbers v;
  if (auto r = ReadNumbers(in, v, sep)) return reject(std::move(*r));

  const double w = (1 - 2 * in.ins) * 300 / v.fAdd;
  const CalculatorState& calc = in.length.calc;
  const float height = calc.active ? calc.height : sng(w * 100);

  const double x = (v.dAdd / 1.27 + v.dExc * 1.27) / 8000 / w;
  if (!(x > 0) || !std::isfinite(x))
    return reject(
        {Field::Frequency, {"Mit diesen Werten lässt sich kein Abstand berechnen.", "These values give no spacing."}});
  const float s0 = sng(coupling(x) * (v.z / 72.0) * w * 1000 + std::sqrt(static_cast<double>(v.dAdd) + v.dExc));
  out.wavelength = w;
  out.s0 = s0;
  if (auto r = CheckWiresFit(out, v, height, s0, sep)) return reject(std::move(*r));

  const float s1 = VerkuerzungProzent(v.fExc, v.dExc, sng((1 - static_cast<double>(v.vk)) * 100), calc);
  const std::string vkText = FormatPicture(sng((100 - static_cast<double>(s1)) / 100), "0.00###", sep);
  const float s2 = VerkuerzungProzent(v.fAdd, v.dAdd, s1, calc);
  float spacing = ZusatzAbstand(v.z, v.fExc, v.fAdd, v.dExc, v.dAdd, s2, in.ins);

  const bool valid = v.dExc >= 0.5 && v.dExc <= 100 && v.dAdd >= 0.5 && v.dAdd <= 100 &&
                     (v.z <= 72 || sng(static_cast<double>(v.dAdd) + v.dExc) <= 40);

  float length = sng(w / 2 * (100 - static_cast<double>(s2)) / 100);
  const float c = ParseNumber(in.fraction);

  float windomFactor = 0;
  if (in.windom) {
    if (auto r = WindomLength(in, v, c, length, windomFactor)) return reject(std::move(*r));
    spacing = sng(static_cast<double>(spacing) * windomFactor);
  }

  out.computed = true;
  out.vkText = vkText;
  out.spacingColour = valid ? TextColour::Black : TextColour::Red;
  out.spacingText = FormatPicture(spacing, spacing >= 10 ? "###0" : "###0.0", sep);
  out.lengthText = FormatPicture(length, "###0.0##", sep);
  out.feedPointText = FormatPicture(sng(static_cast<double>(c) * length), "###0.0##", sep);
  out.s1 = s1;
  out.s2 = s2;
  out.spacing = spacing;
  out.length = length;
  out.fraction = c;
  out.windomFactor = windomFactor;
  return out;
}

Texts CaptionsFor(Language lang, bool windom) {
  Texts t = Captions(lang);
  if (windom) {
    const VariantTexts v = WindomVariant(lang);
    t.frequency = v.frequency;
    t.additional = v.additional;
    t.length = v.length;
  }
  return t;
}

ReportData MakeReportData(const Texts& shown, const Inputs& in, const Outcome& out, Language lang,
                          const std::string& dateTime) {
  ReportData d;
  d.lang = lang;
  d.windom = in.windom;
  d.frequencyCaption = shown.frequency;
  d.frequency = in.fAdd;
  d.halfWaves = in.halfWaves;
  d.impedanceCaption = shown.impedance;
  d.impedance = in.impedance;
  d.diameterCaption = shown.diameter;
  d.diameter = out.suggestedDiameter.value_or(in.dAdd);
  d.feedPointCaption = shown.feedPointAt;
  d.fraction = in.fraction;
  d.ofTotalLengthCaption = shown.ofTotalLength;
  d.feedPoint = out.feedPointText;
  d.spacingCaption = shown.spacing;
  d.spacing = out.spacingText.value_or(std::string());
  d.lengthCaption = shown.length;
  d.length = out.lengthText;
  d.exciterFrequencyCaption = shown.exciterFrequency;
  d.exciterFrequency = in.fExc;
  d.exciterDiameterCaption = shown.exciterDiameter;
  d.exciterDiameter = out.suggestedExciterDiameter.value_or(in.dExc);
  d.vkCaption = shown.vk;
  d.vk = out.vkText.value_or(in.vk);
  d.dateTime = dateTime;
  return d;
}

void WriteReport(const std::string& path, const ReportData& data) {
  files::WriteFileAtomically(path, ReportText(data));
}

}  // namespace lorvant::dipole
