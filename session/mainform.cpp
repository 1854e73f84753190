#include "session/mainform.h"

#include "engine/numparse.h"
#include "text/bilingual.h"
#include "text/format.h"

namespace lorvant {

using report::FormatGeneral;
using report::FormatPicture;

namespace {

struct Material {
  const char* de;  // nullptr: the PVC entry, a range
  const char* en;  // nullptr: as in German
  float er;
  const char* picture;
};
// The first six are everyday words and are translated; from the seventh on
// the names are the materials' own (trade) names, the same in both
// languages, as the reports quote them.
constexpr Material kMaterials[] = {
    {"   Vakuum", "   Vacuum", 1.0f, "#0.0#"},
    {" Luft", " Air", kAirPermittivity, "#0.0####"},
    {"   Papier", "   Paper", 2.0f, "#0.0#"},
    {" Öl", " Oil", 2.35f, "#0.0#"},
    {"   Gummi", "   Rubber", 2.7f, "#0.0#"},
    {"   Holz", "   Wood", 3.2f, "#0.0#"},
    {"   FEP Ethylenpropylen", nullptr, 2.04f, "#0.0#"},
    {"   PTFE", nullptr, 2.04f, "#0.0#"},
    {"   PTFE GY", nullptr, 2.2f, "#0.0#"},
    {"   PE Polyethylen", nullptr, 2.3f, "#0.0#"},
    {" PTFE GX", nullptr, 2.48f, "#0.0#"},
    {"   Polystyrol", nullptr, 2.6f, "#0.0#"},
    {"   SIR Silikon", nullptr, 2.8f, "#0.0#"},
    {"   Plexiglas", nullptr, 3.5f, "#0.0#"},
    {"   PA Polyamid", nullptr, 3.7f, "#0.0#"},
    {nullptr, nullptr, 4.0f, "#0.0#"},
    {"   FR4 Epoxyd", nullptr, 4.5f, "#0.0#"},
    {"   Cevausit", nullptr, 4.5f, "#0.0#"},
    {"   Pertinax", nullptr, 5.0f, "#0.0#"},
    {"   Igelit", nullptr, 5.0f, "#0.0#"},
    {"   Vinidur", nullptr, 5.0f, "#0.0#"},
    {"   Porzellan", nullptr, 5.5f, "#0.0#"},
    {"   Glas", nullptr, 6.0f, "#0.0#"},
    {" PTFE 3006", nullptr, 6.15f, "#0.0#"},
    {"   Calit", nullptr, 6.5f, "#0.0#"},
    {"   Glimmer", nullptr, 7.0f, "#0.0#"},
};

constexpr std::array<const char*, kBandCount> kBandCaptions = {"1.8", "3.5", "5.3", "7.0", "10", "14",
                                                               "18",  "21",  "24",  "28",  "50"};
constexpr std::array<const char*, kBandCount> kBandTips = {"160 m", "80 m", "60 m", "40 m", "30 m", "20 m",
                                                           "17 m",  "15 m", "12 m", "10 m", "6 m"};

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
  for (const Material& m : kMaterials) {
    std::string name;
    if (!m.de)
      name = "   PVC (" + FormatGeneral(3.5f, sep) + "..." + FormatGeneral(4.5f, sep) + ")";
    else
      name = lang == Language::German || !m.en ? m.de : m.en;
    items.push_back(FormatPicture(m.er, m.picture, sep) + name);
  }
  return items;
}

std::string AirEntry(Language lang, char sep) {
  return FormatGeneral(kAirPermittivity, sep) + tr(lang, " Luft", " Air");
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

std::string FrequencyCaption(Language lang) {
  return tr(lang, "Resonanz&frequenz für bevorzugtes Band [MHz]:", "Resonance &frequency for preferred Band [MHz]:");
}

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
  const bool de = lang == Language::German;
  switch (field) {
    case FormField::PreferredFrequency:
      taken = OnlyDecimalKeys(text) && text.size() <= kFrequencyFieldLength && v > 0 && v <= kHighestTakenFrequency;
      name = tr(lang, "Resonanzfrequenz", "resonance frequency");
      range = FormatGeneral(kHighestTakenFrequency, sep) + " MHz";
      break;
    case FormField::ShorteningFactor:
      taken = OnlyDecimalKeys(text) && text.size() <= kShorteningFieldLength && v > 0 && v <= 1;
      name = tr(lang, "Verkürzungsfaktor", "shortening factor");
      range = "1";
      break;
    case FormField::ConductorDiameter:
      taken = v > 0 && FormatPicture(static_cast<float>(v + 1.0), "##0.0", sep).size() <= kOuterDiameterFieldLength;
      name = tr(lang, "Drahtdurchmesser", "wire diameter");
      range = FormatPicture(kLargestTakenConductor, "0.0", sep) + " mm";
      break;
  }
  if (taken) return {};
  return de ? "Nichts übernommen: Das Eingabeformular nimmt '" + text + "' nicht als " + name + " an (über 0 bis " +
                  range + ")."
            : "Nothing taken over: the input form does not take '" + text + "' as " + name + " (above 0 up to " +
                  range + ").";
}

}  // namespace lorvant
