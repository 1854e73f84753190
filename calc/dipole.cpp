#include "calc/dipole.h"

#include <cmath>
#include <limits>

#include "calc/numparse.h"
#include "calc/reports/text.h"

namespace lorvant::dipole {

using report::FormatPicture;

namespace {

// A step of the spacing formula that fails (logarithm of a non-positive
// number, division by zero, a value beyond single precision) is skipped.
bool usable(double v) { return std::isfinite(v) && std::fabs(v) <= std::numeric_limits<float>::max(); }

// 10^(0.54 * log10 x), the logarithm taken as ln x / ln 10.
double coupling(double x) { return std::pow(10.0, 0.54 * (std::log(x) / std::log(10.0))); }

std::string joinLines(std::initializer_list<const char*> lines) {
  std::string text;
  bool first = true;
  for (const char* line : lines) {
    if (!first) text += "\r\n";
    text += line;
    first = false;
  }
  return text;
}

}  // namespace

Texts Captions(Language lang) {
  const bool de = lang == Language::German;
  Texts t;
  t.window = de ? "Strahlungsgekoppelten Dipol berechnen" : "Calculate radiation-coupled dipole";
  t.frame1 = de ? "&Zusatz-Dipol" : "&Addition-Dipole";
  t.label1 = de ? "gewünschte Resonanzfrequenz [MHz]:" : "desired resonant frequency [MHz]:";
  t.label3 = de ? "gewünschte Speisepunkt-Impedanz [Ohm]:" : "desired feed point impedance [Ohm]:";
  t.label4 = de ? "Draht-Durchmesser [mm]:" : "Wire diameter [mm]:";
  t.label5 = t.label4;
  t.label12 = de ? "Speise-Pkt bei:" : "Feed point at:";
  t.label13 = de ? "der Ges.-Länge [m]:" : "of the total length [m]:";
  t.label7 = de ? "Abstand zwischen den Antennendrähten [mm]:" : "Distance between the antenna wires [mm]:";
  t.label9 = de ? "Ges.-Länge Zusatzdipol [m]:" : "total length of additional dipole [m]:";
  t.frame2 = de ? "&Erreger-Dipol (Stromsummenantenne o.ä.)" : "&Exciter-dipole (Current sum antenna or similar)";
  t.label2 = de ? "unterste Resonanzfrequenz [MHz]:" : "lowest resonant frequency [MHz]:";
  t.label6 = de ? "Verkürzungsfaktor:" : "Shortening factor:";
  t.command1 = de ? "&Rechnen" : "Calc&ulate";
  t.frame3 = de ? "Typ" : "Type";
  t.option0 = de ? "Di&pol" : "Di&pole";
  t.option1 = "&WINDOM";
  t.command2 = "I&nfo";
  t.frame1Tip = de ? "strahlungsgekoppelt" : "radiation-coupled";
  t.text3Tip = de ? "für beide Dipole gleichen Wert verwenden!" : "use the same value for both dipoles!";
  t.diameterTip = de ? "Leiterdurchmesser" : "Wire diameter";
  t.label8Tip = de ? "Ergebnis Abstand" : "Result distance";
  t.label10Tip = de ? "Ergebnis Drahtlänge" : "Result wire length";
  t.text2Tip = de ? "tiefste Resonanzfrequenz" : "Lowest resonant frequency";
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

std::string DefaultVkText(char sep) { return FormatPicture(0.946f, "0.00##", sep); }

Conditions ConditionsText(Language lang) {
  if (lang == Language::German) {
    return {" Info zur Berechnung eines strahlungsgekoppelten Dipol ",
            joinLines({
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
          joinLines({
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
    if (bands[static_cast<std::size_t>(i)] == kBandCounted) {
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

Outcome Calculate(const Inputs& in, char sep) {
  Outcome out;
  auto reject = [&out](Field field) {
    out.beeps = 1;
    out.focus = field;
    return out;
  };

  // Read in this order; a zero rejects. Frequencies and diameters below
  // zero would make the logarithm of the spacing formula undefined, so
  // they are refused the same way.
  const float fExc = ParseNumber(in.fExc);
  if (!(fExc > 0)) return reject(Field::Text2);
  const float fAdd = ParseNumber(in.fAdd);
  if (!(fAdd > 0)) return reject(Field::Text1);
  const float z = ParseNumber(in.impedance);
  if (z == 0) return reject(Field::Text3);
  const float dExc = ParseNumber(in.dExc);
  if (!(dExc > 0)) return reject(Field::Text5);
  const float dAdd = ParseNumber(in.dAdd);
  if (!(dAdd > 0)) return reject(Field::Text4);
  // A shortening factor lies above 0 and at most 1; anything else gives
  // lengths that no wire has.
  const float vk = ParseNumber(in.vk);
  if (!(vk > 0 && vk <= 1)) return reject(Field::Text6);
  const float n = sng(ReadLeadingNumber(in.halfWaves));
  if (n == 0) return reject(Field::Text7);

  if (!(fAdd > fExc)) return reject(Field::Text1);

  const double w = (1 - 2 * in.ins) * 300 / fAdd;
  const CalculatorState& calc = in.length.calc;
  const float height = calc.active ? calc.height : sng(w * 100);

  const double x = (dAdd / 1.27 + dExc * 1.27) / 8000 / w;
  if (!(x > 0) || !std::isfinite(x)) return reject(Field::Text1);
  const float s0 = sng(coupling(x) * (z / 72.0) * w * 1000 + std::sqrt(static_cast<double>(dAdd) + dExc));
  out.wavelength = w;
  out.s0 = s0;

  // The exciter cannot be thicker than its own height allows.
  const double heightLimit = height * 1000.0 / 2;
  if (dExc > heightLimit) {
    out.text5 = FormatPicture(sng(heightLimit), "###0.0#", sep);
    return reject(Field::Text5);
  }

  // The wires must not touch: with a clear gap of 1 mm or less suggest a
  // thinner additional wire, or ask for another impedance.
  const float gap = sng(s0 - (static_cast<double>(dAdd) + dExc) / 2);
  out.gap = gap;
  if (!(gap > 1)) {
    if (gap > 0 && gap < dAdd) {
      out.label8 = std::string();
      out.text4 = FormatPicture(gap, "###0.0#", sep);
      return reject(Field::Text4);
    }
    if (gap <= 0 || gap <= dAdd || s0 <= 1.02f) {
      out.label8 = std::string();
      return reject(Field::Text3);
    }
    out.label8Colour = TextColour::Red;
    out.label8 = FormatPicture(s0, "###0.0", sep);
    return reject(Field::Text3);
  }

  const float s1 = VerkuerzungProzent(fExc, dExc, sng((1 - static_cast<double>(vk)) * 100), calc);
  const std::string vkText = FormatPicture(sng((100 - static_cast<double>(s1)) / 100), "0.00###", sep);
  const float s2 = VerkuerzungProzent(fAdd, dAdd, s1, calc);
  float spacing = ZusatzAbstand(z, fExc, fAdd, dExc, dAdd, s2, in.ins);

  const bool valid = dExc >= 0.5 && dExc <= 100 && dAdd >= 0.5 && dAdd <= 100 &&
                     (z <= 72 || sng(static_cast<double>(dAdd) + dExc) <= 40);

  float length = sng(w / 2 * (100 - static_cast<double>(s2)) / 100);
  const float c = ParseNumber(in.fraction);

  float windomFactor = 0;
  if (in.windom) {
    float halfWaves = n;
    float f0 = fAdd;
    try {
      length = AntennenLaenge(halfWaves, vk, in.ins, f0, in.length);
    } catch (const ArithmeticError&) {
      return reject(Field::Text7);
    }
    if (!(length != 0) || !std::isfinite(length)) return reject(Field::Text7);
    const double a = static_cast<double>(length) * c;
    const double b = length - a;
    // A fraction of 0 or 1 leaves one side without wire; outside 0..1 the
    // angle below has no logarithm. Both are refused like a zero value.
    if (a == 0 || b == 0) return reject(Field::Combo1);
    const double r = a / b * 90;
    if (!(r > 0) || !std::isfinite(r)) return reject(Field::Combo1);
    windomFactor =
        sng(std::sin(r * kPi / 180) + std::sin(kPi / 180 * (std::log(r / 2.71828182818282) - 1.749904835) * 102.8627365) /
                                          12.5);
    spacing = sng(static_cast<double>(spacing) * windomFactor);
  }

  out.computed = true;
  out.text6 = vkText;
  out.label8Colour = valid ? TextColour::Black : TextColour::Red;
  out.label8 = FormatPicture(spacing, spacing >= 10 ? "###0" : "###0.0", sep);
  out.label10 = FormatPicture(length, "###0.0##", sep);
  out.label11 = FormatPicture(sng(static_cast<double>(c) * length), "###0.0##", sep);
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
    t.label1 = v.label1;
    t.frame1 = v.frame1;
    t.label9 = v.label9;
  }
  return t;
}

ReportData MakeReportData(const Texts& shown, const Inputs& in, const Outcome& out, Language lang,
                          const std::string& dateTime) {
  ReportData d;
  d.lang = lang;
  d.windom = in.windom;
  d.label1 = shown.label1;
  d.text1 = in.fAdd;
  d.text7 = in.halfWaves;
  d.label3 = shown.label3;
  d.text3 = in.impedance;
  d.label4 = shown.label4;
  d.text4 = out.text4.value_or(in.dAdd);
  d.label12 = shown.label12;
  d.combo1 = in.fraction;
  d.label13 = shown.label13;
  d.label11 = out.label11;
  d.label7 = shown.label7;
  d.label8 = out.label8.value_or(std::string());
  d.label9 = shown.label9;
  d.label10 = out.label10;
  d.label2 = shown.label2;
  d.text2 = in.fExc;
  d.label5 = shown.label5;
  d.text5 = out.text5.value_or(in.dExc);
  d.label6 = shown.label6;
  d.text6 = out.text6.value_or(in.vk);
  d.dateTime = dateTime;
  return d;
}

}  // namespace lorvant::dipole
