#include "session/design.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/numparse.h"
#include "session/design_words.h"
#include "session/mainform.h"
#include "text/format.h"

namespace lorvant::design {

std::string Stored(std::string_view fieldText) {
  std::string s(fieldText);
  std::replace(s.begin(), s.end(), ',', '.');
  return s;
}

std::string Shown(std::string_view storedText, char sep) {
  std::string s(storedText);
  std::replace(s.begin(), s.end(), '.', sep);
  return s;
}

bool operator==(const MainInputs& a, const MainInputs& b) {
  return a.frequency == b.frequency && a.halfWaves == b.halfWaves && a.wireLength == b.wireLength &&
         a.shorteningFactor == b.shorteningFactor && a.tolerance == b.tolerance && a.material == b.material &&
         a.dielectric == b.dielectric && a.outerDiameter == b.outerDiameter &&
         a.conductorDiameter == b.conductorDiameter && a.minimumSum == b.minimumSum && a.bands == b.bands &&
         a.allBands == b.allBands && a.windom == b.windom && a.specialTable == b.specialTable &&
         a.segment == b.segment && a.lengthMode == b.lengthMode && a.equalImpedances == b.equalImpedances;
}

bool operator==(const Design& a, const Design& b) {
  return a.main == b.main && a.feedPoint == b.feedPoint && a.calculator == b.calculator && a.pruning == b.pruning &&
         a.dipole == b.dipole && a.nec == b.nec;
}

// ---- words ----

int MaterialIndex(std::string_view word) { return IndexOf(kMaterialWords, word); }
const char* MaterialWord(int index) { return WordAt(kMaterialWords, index); }
const char* BandWord(BandState value) { return WordAt(kBandWords, static_cast<int>(value)); }
const char* BandKey(int band) { return WordAt(kBandKeys, band); }
const char* SegmentWord(Segment segment) { return WordAt(kSegmentWords, ButtonOfSegment(segment)); }
const char* LengthModeWord(LengthMode mode) { return WordAt(kLengthModeWords, static_cast<int>(mode)); }

void SetDielectric(MainInputs& m, std::string_view fieldText) {
  for (Language lang : {Language::German, Language::English})
    for (char sep : {',', '.'}) {
      const std::vector<std::string> list = MaterialList(lang, sep);
      for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == fieldText) {
          m.material = kMaterialWords[i];
          m.dielectric = i == 0 ? std::string() : Stored(report::FormatGeneral(ParseNumber(fieldText), '.'));
          return;
        }
    }
  if (fieldText == AirEntry(Language::German, ',') || fieldText == AirEntry(Language::English, '.')) {
    m.material = "air";
    m.dielectric = "1.00059";
    return;
  }
  m.material.clear();
  m.dielectric = Stored(fieldText);
}

std::string DielectricText(const MainInputs& m, Language lang, char sep) {
  const int i = MaterialIndex(m.material);
  if (i == 2) return AirEntry(lang, sep);  // as the form shows it after loading
  if (i >= 0) return MaterialList(lang, sep)[static_cast<std::size_t>(i)];
  return Shown(m.dielectric, sep);
}

// ---- the run's inputs ----

namespace {

// The active calculator as the design keeps it; its frequency is the main
// form's.
CalculatorInputs CalculatorOf(const CalculatorState& state, const std::string& frequency) {
  CalculatorInputs c;
  c.active = true;
  c.frequency = frequency;
  c.height = Stored(state.heightText);
  c.diameter = Stored(report::FormatGeneral(state.diameter, '.'));
  c.groundCorrection = state.groundCorrection;
  return c;
}

// The active calculator as the run reads it; without a diameter of its
// own, the main form's conductor.
CalculatorState CalculatorStateOf(const CalculatorInputs& c, const std::string& conductorDiameter, char sep) {
  CalculatorState state;
  state.active = true;
  state.heightText = Shown(c.height, sep);
  state.height = ParseNumber(c.height);
  state.diameter = ParseNumber(c.diameter.empty() ? conductorDiameter : c.diameter);
  state.groundCorrection = c.groundCorrection;
  return state;
}

}  // namespace

Design FromRunInput(const RunInput& in) {
  Design d;
  MainInputs& m = d.main;
  m.frequency = Stored(in.preferredFrequency);
  m.halfWaves = Stored(in.halfWaves);
  m.wireLength = Stored(in.maxWireLength);
  m.shorteningFactor = Stored(in.shorteningFactor);
  m.tolerance = Stored(in.tolerance);
  SetDielectric(m, in.dielectric);
  m.outerDiameter = Stored(in.outerDiameter);
  m.conductorDiameter = Stored(in.conductorDiameter);
  m.minimumSum = Stored(in.minimumSum);
  m.bands = in.bands;
  m.windom = in.windom;
  m.specialTable = in.specialTable;
  m.segment = in.segment;
  m.lengthMode = in.lengthMode;
  m.equalImpedances = in.equalImpedances;
  if (in.calculator.active) d.calculator = CalculatorOf(in.calculator, m.frequency);
  return d;
}

RunInput ToRunInput(const Design& d, Language lang, char sep) {
  RunInput in = LoadedFormInput(lang, sep);
  const MainInputs& m = d.main;
  in.preferredFrequency = Shown(m.frequency, sep);
  in.halfWaves = Shown(m.halfWaves, sep);
  in.maxWireLength = Shown(m.wireLength, sep);
  in.shorteningFactor = Shown(m.shorteningFactor, sep);
  in.tolerance = Shown(m.tolerance, sep);
  in.dielectric = DielectricText(m, lang, sep);
  in.outerDiameter = Shown(m.outerDiameter, sep);
  in.conductorDiameter = Shown(m.conductorDiameter, sep);
  in.minimumSum = Shown(m.minimumSum, sep);
  in.bands = m.bands;
  in.windom = m.windom;
  in.specialTable = m.specialTable;
  in.segment = m.segment;
  in.lengthMode = m.lengthMode;
  in.equalImpedances = m.equalImpedances;
  if (d.calculator && d.calculator->active) in.calculator = CalculatorStateOf(*d.calculator, m.conductorDiameter, sep);
  return in;
}

}  // namespace lorvant::design
