#include "session/calculators/vk.h"

#include <array>

#include "engine/numparse.h"
#include "engine/shortening.h"
#include "text/bilingual.h"
#include "text/format.h"

namespace lorvant::vk {

using report::FormatGeneral;
using report::FormatPicture;

CalculatorTexts CalculatorCaptions(Language lang) {
  const bool de = lang == Language::German;
  CalculatorTexts t;
  t.title = de ? kCalculatorCaptionDe : kCalculatorCaptionEn;
  t.optionsMenu = de ? "&Optionen" : "&Options";
  t.takeOverVk = de ? "&Vk übernehmen" : "&Vk take over";
  t.groundCorrection = de ? "&Erdbodenkorrektur" : "Ground corr&ection";
  t.frequency = de ? "&Frequenz [MHz]:" : "F&requency [MHz]:";
  t.height = de ? "&Antennenhöhe [m]:" : "&Antenna height [m]:";
  t.diameter = de ? "Drahtdurch&messer [mm]:" : "Wire &diameter [mm]:";
  t.heightShortening = de ? "Antennenhöhe:" : "Antenna height:";
  t.slenderness = de ? "Schlangheitsgrad:" : "Slenderness grade:";
  t.expectedVk = de ? "voraussichtlicher Verkürzungsfaktor:" : "expected shortening factor:";
  t.calculate = de ? "&Rechnen" : "Calc&ulate";
  t.shortening = de ? " Verkürzung in % durch " : " shortening in % due to ";
  t.frequencyTip = de ? " Resonanzfrequenz der Antenne " : " Resonance frequency antenna ";
  t.heightTip = de ? " Höhe über Erdboden " : " Height above ground ";
  t.calculateTip = de ? " Vk berechnen " : " Calculate Vk ";
  t.slendernessTip = de ? " Verhältnis Wellenlänge/Drahtdurchmesser " : " Ratio wavelength/wire diameter ";
  t.heightShorteningTip = de ? " Verhältnis Antennenhöhe/Wellenlänge " : " Ratio antenna height/wavelength ";
  return t;
}

PruningTexts PruningCaptions(Language lang) {
  const bool de = lang == Language::German;
  PruningTexts t;
  t.title = de ? " Antennen-Pruning/Optimieren " : " Antenna-pruning/Optimization ";
  t.measuredLength = de ? "ist Antennenlänge [m]:" : "is antenna length [m]:";
  t.measuredLengthTip = de ? "gemessene Antennenlänge" : "measured antenna length";
  t.measuredFrequency = de ? "ist Resonanzfrequenz [MHz]:" : "is resonanant frequency [MHz]:";
  t.measuredFrequencyTip = de ? "gemessene Resonanzfrequenz der Antenne" : "measured resonant frequency of the antenna";
  t.desiredFrequency = de ? "soll Resonanzfrequenz [MHz]:" : "Target resonant frequency [MHz]:";
  t.desiredFrequencyTip = de ? "gewünschte Resonanzfrequenz der Antenne" : "desired resonance frequency of the antenna";
  t.newValues = de ? " Neu: " : " New: ";
  t.newLength = de ? "Antennenlänge:" : "antenna length:";
  t.newLengthTip = de ? "Neu berechnete Antennenlänge" : "Recalculated antenna length";
  t.totalVk = de ? "Vk gesamt:" : "Vk total:";
  t.totalVkTip = de ? "vorhandener Verkürzungsfaktor" : "existing shortening factor";
  t.change = de ? "Länge ändern um [cm]:" : "change length by [cm]:";
  t.changeTip = de ? "Längen-Änderung" : "Lengths-Change";
  t.calculateTip = de ? "Längenänderung berechnen" : "Calculate lengths-change";
  return t;
}

std::vector<std::string> PruningFrequencyList(char sep) {
  static constexpr std::array<float, 12> kFrequencies{1.85f, 3.65f,  7.05f,  7.1f,   7.15f, 10.12f,
                                                      14.2f, 18.13f, 21.25f, 24.94f, 28.5f, 50.15f};
  std::vector<std::string> items;
  items.reserve(kFrequencies.size());
  for (float f : kFrequencies) items.push_back(FormatPicture(f, "0.0##", sep));
  return items;
}

std::string DefaultHeightText(char sep) { return FormatPicture(10.0f, "#0.0", sep); }

std::string PruningLengthText(float antennaLength, char sep) {
  return antennaLength > 0 ? FormatPicture(antennaLength, "##0.0###", sep) : std::string();
}

CalculatorOutcome CalculateVk(const CalculatorInputs& in, char sep) {
  CalculatorOutcome out;

  const float f = ParseNumber(in.frequency);
  if (f == 0) {
    out.beeps = 1;
    out.reason = {"Bitte die Frequenz eingeben!", "Please enter the frequency!"};
    out.focus = Field::Frequency;
    return out;
  }
  float h = ParseNumber(in.height);
  if (h < 0.01f) {
    out.height = "0,01";
    out.beeps = 1;
    out.reason = {"Die Antennenhöhe ist mindestens 0,01 m.", "The antenna height is at least 0.01 m."};
    out.focus = Field::Height;
    return out;
  }
  float d = ParseNumber(in.diameter);

  const float halfWaveMm = sng(300000.0 / f / 2);
  const float twiceHeightMm = sng(static_cast<double>(h) * 2000);

  // A wire thinner than 0,1 mm or thicker than twice the height or than half
  // a wavelength is outside what the formulas describe: clamp and show it.
  const auto clamped = [&out](const char* de, const char* en) {
    ++out.beeps;
    out.diameterColour = TextColour::Red;
    out.reason = {de + *out.diameter + " mm.", en + *out.diameter + " mm."};
  };
  if (d < 0.1f) {
    out.diameter = FormatGeneral(0.1f, sep);
    d = 0.1f;
    clamped("Drahtdurchmesser zu klein: gerechnet mit ", "Wire diameter too small: calculated with ");
  } else if (d > twiceHeightMm) {
    d = twiceHeightMm;
    out.diameter = FormatPicture(d, "#####0.0", sep);
    clamped("Drahtdurchmesser über der doppelten Höhe: gerechnet mit ",
            "Wire diameter above twice the height: calculated with ");
  } else if (d > halfWaveMm) {
    d = halfWaveMm > twiceHeightMm ? twiceHeightMm : halfWaveMm;
    out.diameter = FormatPicture(d, "#####0.0", sep);
    clamped("Drahtdurchmesser über einer halben Wellenlänge: gerechnet mit ",
            "Wire diameter above half a wavelength: calculated with ");
  } else {
    out.diameterColour = TextColour::Black;
  }

  const float s1 = SchlankheitsVerkuerzung(f, d);
  out.slendernessColour = (s1 < 2 || s1 > 9) ? TextColour::Red : TextColour::Black;
  out.slendernessText = FormatPicture(s1, "#0.0", sep);

  const float s2 = HoehenVerkuerzung(f, h, in.groundCorrection);
  out.heightShorteningColour = (s2 < 2 || s2 > 10) ? TextColour::Red : TextColour::Black;
  out.heightShorteningText = FormatPicture(s2, "#0.0", sep);

  const float vk = sng((100.0 - s2) * (100.0 - s1) / 10000);
  out.vkText = FormatPicture(vk, "0.00#", sep);

  out.computed = true;
  out.f = f;
  out.h = h;
  out.d = d;
  out.slenderness = s1;
  out.heightShortening = s2;
  out.vk = vk;
  return out;
}

TakeOver TakeOverVk(float lastVk, const std::string& frequencyText, char sep) {
  // Before any calculation the result is empty; a "0,00" taken over would
  // count as Vk 1 in one tool and 0 in another.
  TakeOver t;
  if (!(lastVk > 0)) return t;
  t.vk = FormatPicture(lastVk, "0.00##", sep);
  if (!frequencyText.empty()) t.frequency = frequencyText;
  return t;
}

std::string StaleResultText(Language lang) {
  return tr(lang, "Nichts übernommen: Der Vk wurde für andere Eingaben berechnet. Bitte neu rechnen.",
            "Nothing taken over: the Vk was calculated for other inputs. Please calculate again.");
}

std::string TakeOverTitle(Language lang) { return tr(lang, " Vk übernehmen", " Vk take over"); }

PruningOutcome CalculatePruning(const PruningInputs& in, char sep) {
  PruningOutcome out;
  auto reject = [&out](Field field, Reason reason) {
    out.beeps = 1;
    out.reason = std::move(reason);
    out.focus = field;
    return out;
  };

  // A wire cannot be measured shorter than nothing.
  const float la = ParseNumber(in.length);
  if (!(la > 0))
    return reject(Field::MeasuredLength,
                  {"Bitte die gemessene Antennenlänge eingeben!", "Please enter the measured antenna length!"});
  const float fa = ParseNumber(in.measured);
  if (fa == 0)
    return reject(Field::MeasuredFrequency,
                  {"Bitte die gemessene Resonanzfrequenz eingeben!", "Please enter the measured resonant frequency!"});
  const float fs = ParseNumber(in.desired);
  if (fs == 0)
    return reject(Field::DesiredFrequency,
                  {"Bitte die gewünschte Resonanzfrequenz eingeben!", "Please enter the desired resonant frequency!"});

  const float ratio = sng(static_cast<double>(fa) / fs);
  if (!(ratio >= 0.66f && ratio <= 1.4f)) {
    const std::string shown = FormatPicture(ratio, "0.0##", sep);
    const std::string low = FormatPicture(0.66f, "0.0#", sep), high = FormatPicture(1.4f, "0.0#", sep);
    return reject(Field::DesiredFrequency, {"Gemessene durch gewünschte Frequenz ist " + shown +
                                                "; das Pruning rechnet nur von " + low + " bis " + high + ".",
                                            "Measured over desired frequency is " + shown +
                                                "; pruning works only from " + low + " to " + high + "."});
  }

  // Whole half-waves of the measured wire. A length too large for any real
  // wire would not fit the count; it is refused like a missing length.
  const auto halfWaves = toInt16(la / (150.0 / fa));
  if (!halfWaves)
    return reject(Field::MeasuredLength,
                  {"Die gemessene Antennenlänge ist zu groß.", "The measured antenna length is too large."});
  const int n = *halfWaves;

  float t = sng(static_cast<double>(la) * fa / 150);
  t = sng(n - static_cast<double>(t));
  const float vk = sng(1 - static_cast<double>(t));
  const float newLength = sng((150.0 / fs) * (n - static_cast<double>(t)));
  const float change = sng((static_cast<double>(newLength) - la) * 100);

  out.computed = true;
  out.halfWaves = n;
  out.vk = vk;
  out.newLength = newLength;
  out.change = change;
  out.vkColour = vk > 1 ? TextColour::Red : TextColour::Black;
  out.vkText = FormatPicture(vk, "0.00#", sep);
  out.newLengthText = FormatPicture(newLength, "##0.00#", sep);
  out.changeText = FormatPicture(change, "+ ##0.0;- ##0.0", sep);
  return out;
}

}  // namespace lorvant::vk
