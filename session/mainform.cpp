#include "session/mainform.h"

#include <optional>

#include "engine/numparse.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant {

using report::FormatGeneral;
using report::FormatPicture;

namespace {

struct Material {
  // The first six are everyday words and are translated (said); from the
  // seventh on the names are the materials' own (trade) names, the same in
  // both languages, as the reports quote them.
  std::optional<Text> said;
  const char* name;  // nullptr with nothing said: the PVC entry, a range
  float er;
  const char* picture;
};
constexpr Material kMaterials[] = {
    {Text::MainVacuum, nullptr, 1.0f, "#0.0#"},
    {Text::MainAir, nullptr, kAirPermittivity, "#0.0####"},
    {Text::MainPaper, nullptr, 2.0f, "#0.0#"},
    {Text::MainOil, nullptr, 2.35f, "#0.0#"},
    {Text::MainRubber, nullptr, 2.7f, "#0.0#"},
    {Text::MainWood, nullptr, 3.2f, "#0.0#"},
    {std::nullopt, "   FEP Ethylenpropylen", 2.04f, "#0.0#"},
    {std::nullopt, "   PTFE", 2.04f, "#0.0#"},
    {std::nullopt, "   PTFE GY", 2.2f, "#0.0#"},
    {std::nullopt, "   PE Polyethylen", 2.3f, "#0.0#"},
    {std::nullopt, " PTFE GX", 2.48f, "#0.0#"},
    {std::nullopt, "   Polystyrol", 2.6f, "#0.0#"},
    {std::nullopt, "   SIR Silikon", 2.8f, "#0.0#"},
    {std::nullopt, "   Plexiglas", 3.5f, "#0.0#"},
    {std::nullopt, "   PA Polyamid", 3.7f, "#0.0#"},
    {std::nullopt, nullptr, 4.0f, "#0.0#"},
    {std::nullopt, "   FR4 Epoxyd", 4.5f, "#0.0#"},
    {std::nullopt, "   Cevausit", 4.5f, "#0.0#"},
    {std::nullopt, "   Pertinax", 5.0f, "#0.0#"},
    {std::nullopt, "   Igelit", 5.0f, "#0.0#"},
    {std::nullopt, "   Vinidur", 5.0f, "#0.0#"},
    {std::nullopt, "   Porzellan", 5.5f, "#0.0#"},
    {std::nullopt, "   Glas", 6.0f, "#0.0#"},
    {std::nullopt, " PTFE 3006", 6.15f, "#0.0#"},
    {std::nullopt, "   Calit", 6.5f, "#0.0#"},
    {std::nullopt, "   Glimmer", 7.0f, "#0.0#"},
};

constexpr std::array<const char*, kBandCount> kBandCaptions = {"1.8", "3.5", "5.3", "7.0", "10", "14",
                                                               "18",  "21",  "24",  "28",  "50"};
constexpr std::array<const char*, kBandCount> kBandTips = {"160 m", "80 m", "60 m", "40 m", "30 m", "20 m",
                                                           "17 m",  "15 m", "12 m", "10 m", "6 m"};

std::string MaterialName(const Material& m, Language lang, char sep) {
  if (m.said) return say(lang, *m.said);
  if (m.name) return m.name;
  return "   PVC (" + FormatGeneral(3.5f, sep) + "..." + FormatGeneral(4.5f, sep) + ")";
}

std::string CrossSectionText(const WireSize& w, char sep) {
  return w.picture ? FormatPicture(w.crossSection, w.picture, sep) : FormatGeneral(w.crossSection, sep);
}

}  // namespace

RunInput LoadedFormInput(Language lang, char sep) {
  RunInput in;
  in.preferredFrequency = FormatGeneral(kDefaultPreferredFrequency, sep);
  in.halfWaves = kDefaultHalfWaves;
  in.shorteningFactor = kDefaultShorteningFactor;
  in.tolerance = kDefaultTolerance;
  in.outerDiameter = FormatGeneral(kDefaultOuterDiameter, sep);
  in.minimumSum = FormatPicture(kDefaultMinimumSum, "0.0", sep);
  in.dielectric = AirEntry(lang, sep);
  in.conductorDiameter = DefaultConductorText(sep);
  in.language = lang;
  in.decimalSeparator = sep;
  return in;
}

std::string DefaultConductorText(char sep) { return FormatGeneral(kDefaultConductorDiameter, sep); }

std::vector<std::string> MaterialList(Language lang, char sep) {
  std::vector<std::string> items{std::string(8, ' ')};
  for (const Material& m : kMaterials)
    items.push_back(FormatPicture(m.er, m.picture, sep) + MaterialName(m, lang, sep));
  return items;
}

std::string AirEntry(Language lang, char sep) {
  return FormatGeneral(kAirPermittivity, sep) + say(lang, Text::MainAir);
}

std::vector<std::string> ConductorList(char sep) {
  std::vector<std::string> items;
  for (const WireSize& w : kWireSizes)
    items.push_back(FormatPicture(w.diameter, "0.0##", sep) + " (" + CrossSectionText(w, sep) + " mm\u00B2)");
  return items;
}

std::vector<std::string> CompactConductorList(char sep) {
  std::vector<std::string> items;
  for (const WireSize& w : kWireSizes)
    items.push_back(FormatPicture(w.diameter, "0.0##", sep) + "(" + CrossSectionText(w, sep) + "mm\u00B2)");
  return items;
}

const char* BandCaption(int band) { return band >= 0 && band < kBandCount ? kBandCaptions[band] : ""; }
const char* BandTip(int band) { return band >= 0 && band < kBandCount ? kBandTips[band] : ""; }

std::string FrequencyCaption(Language lang) { return say(lang, Text::MainFrequencyCaption); }

std::string FrequencyLabel(Language lang) {
  std::string label = FrequencyCaption(lang);
  if (lang == Language::English) {
    label.erase(label.find('&'), 1);
    label.insert(0, "&");
  }
  return label;
}

LengthContext MainFormValues::lengthContext() const {
  LengthContext ctx;
  ctx.bands = bands;
  ctx.segment = SegmentOrCentre(segment);
  ctx.lengthMode = lengthMode;
  ctx.tolerancePercent = tolerancePercent;
  ctx.extraBand = run.extraBand;
  ctx.extraFrequency = run.extraFrequency;
  ctx.calc = calculator;
  return ctx;
}

WindomPreset WindomPresetFor(const BandValues& bands) {
  WindomPreset p;
  p.bands = bands;
  for (int band : kWindomGreyBands)
    if (p.bands[band] != BandState::Off) p.bands[band] = BandState::Grey;
  float lowest = 0;
  for (int i = 0; i < kBandCount; ++i)
    if (p.bands[i] == BandState::Counted) {
      lowest = BandNennFrequenz(i);
      break;
    }
  if (lowest == BandNennFrequenz(kBand1_8)) {
    p.halfWaves = "8";
  } else if (lowest == BandNennFrequenz(kBand3_5)) {
    p.halfWaves = "4";
  } else if (lowest == BandNennFrequenz(kBand7)) {
    p.halfWaves = "2";
  } else {
    p.bands[kBand7] = BandState::Counted;
    p.halfWaves = "2";
  }
  return p;
}

namespace {

bool OnlyDecimalKeys(const std::string& text) {
  for (const char c : text)
    if (!KeyAccepted(static_cast<unsigned char>(c), kDecimalKeys)) return false;
  return true;
}

// The largest conductor whose outer diameter, one millimetre above it with
// "##0.0", still fits the outer-diameter field.
constexpr float kLargestTakenConductor = 998.9f;

}  // namespace

std::string TakeOverRefusal(FormField field, const std::string& text, Language lang, char sep) {
  const float v = ParseNumber(text);
  bool taken = false;
  std::string name, range;
  switch (field) {
    case FormField::PreferredFrequency:
      taken = OnlyDecimalKeys(text) && text.size() <= kFrequencyFieldLength && v > 0 && v <= kHighestTakenFrequency;
      name = say(lang, Text::MainResonanceFrequency);
      range = FormatGeneral(kHighestTakenFrequency, sep) + " MHz";
      break;
    case FormField::ShorteningFactor:
      taken = OnlyDecimalKeys(text) && text.size() <= kShorteningFieldLength && v > 0 && v <= 1;
      name = say(lang, Text::MainShorteningFactor);
      range = "1";
      break;
    case FormField::ConductorDiameter:
      taken = v > 0 && FormatPicture(static_cast<float>(v + 1.0), "##0.0", sep).size() <= kOuterDiameterFieldLength;
      name = say(lang, Text::MainWireDiameter);
      range = FormatPicture(kLargestTakenConductor, "0.0", sep) + " mm";
      break;
  }
  if (taken) return {};
  return say(lang, Text::MainNothingTakenOver) + text + say(lang, Text::MainNotTakenAs) + name +
         say(lang, Text::MainTakenRange) + range + ").";
}

}  // namespace lorvant
