// The additional, radiation-coupled dipole or WINDOM beside an exciting
// antenna: its texts, the refresh on activation, what the window shows of
// the calculation of length, feed point and wire spacing (the numbers are
// engine/calculators/dipole.h) and the report.
#pragma once

#include <string>
#include <vector>

#include "engine/calculators/dipole.h"
#include "session/toolfields.h"
#include "text/bilingual.h"
#include "text/reports/zusatzdipol.h"

namespace lorvant::dipole {

// ---------------------------------------------------------------- texts

// Captions and tooltips set when the window loads.
struct Texts {
  std::string title;
  // The additional wire's frame: its inputs, feed point and results.
  std::string additional, frequency, impedance, diameter, feedPointAt, ofTotalLength, spacing, length;
  // The exciter's frame.
  std::string exciter, exciterFrequency, exciterDiameter, vk;
  std::string calculate;
  std::string type, dipole, windom, conditions;  // variant frame, its buttons, the conditions button
  std::string additionalTip, impedanceTip, diameterTip, spacingTip, lengthTip, exciterFrequencyTip;
};
Texts Captions(Language lang);

// What the variant buttons change.
struct VariantTexts {
  std::string frequency, additional, length;
};
VariantTexts DipoleVariant(Language lang);
VariantTexts WindomVariant(Language lang);

// Feed-point fractions: "0,5" for the dipole, 1/3 ... 1/8 for the WINDOM.
std::vector<std::string> DipoleFractions(char sep);
std::vector<std::string> WindomFractions(char sep);
// The exciter's Vk at load: 0.946 with "0.00##".
std::string DefaultVkText(char sep);
// The impedance and the WINDOM's half-waves at load.
inline constexpr const char* kDefaultImpedance = "300";
inline constexpr const char* kDefaultHalfWaves = "1";

// The conditions under which the calculation holds (Info button).
struct Conditions {
  std::string title;
  std::string text;  // lines joined by CR LF
};
Conditions ConditionsText(Language lang);

// Note appended to the main form's notes after the report was written.
std::string ReportNote(Language lang);

// ---------------------------------------------------------------- activation

// Fields refreshed every time the window becomes active.
struct Refresh {
  std::string exciterFrequency;  // lowest counted band, "#0.0" (0 when none)
  std::string diameter;          // of the additional wire
  std::string exciterDiameter;
};
// diameterText: the calculator's diameter field while it is active, else the
// main form's conductor diameter.
Refresh Activation(const std::string& diameterText, const BandValues& bands, char sep);

// ---------------------------------------------------------------- calculation

// The input a check refused (the focus goes there).
enum class Field { None, Frequency, ExciterFrequency, Impedance, Diameter, ExciterDiameter, Vk, HalfWaves, Fraction };

struct Inputs {
  bool windom = false;    // the WINDOM variant (else the dipole)
  std::string fAdd;       // frequency of the additional wire, MHz
  std::string fExc;       // lowest frequency of the exciter, MHz
  std::string impedance;  // ohms
  std::string dAdd;       // diameter of the additional wire, mm
  std::string dExc;       // diameter of the exciter, mm
  std::string vk;         // the exciter's shortening factor
  std::string halfWaves;  // of the WINDOM (plain leading-number read)
  std::string fraction;   // feed point as a fraction of the length
  double ins = 0;         // insulation fraction of the last run
  LengthContext length;   // main form's length mode and calculator state
};

struct Outcome {
  bool computed = false;  // false: an input was rejected
  int beeps = 0;
  Reason reason;  // why it was rejected
  Field focus = Field::None;
  // Field rewrites (suggested values, the reformatted Vk).
  FieldText suggestedDiameter, suggestedExciterDiameter, vkText;
  // The spacing result: a new text (possibly empty) and a new colour, each when set.
  FieldText spacingText;
  std::optional<TextColour> spacingColour;
  std::string lengthText, feedPointText;  // when computed

  // Intermediate values, for the batch tool and for checks.
  double wavelength = 0;   // W, m on the wire
  float s0 = 0;            // first spacing estimate, mm
  float gap = 0;           // clear gap, mm
  float s1 = 0, s2 = 0;    // shortening of exciter / additional wire, percent
  float spacing = 0;       // S, mm
  float length = 0;        // L, m
  float fraction = 0;      // c
  float windomFactor = 0;  // F (WINDOM only)
};

Outcome Calculate(const Inputs& in, char sep);

// ---------------------------------------------------------------- report

// The captions a freshly loaded window shows after choosing the variant.
Texts CaptionsFor(Language lang, bool windom);

// The report's contents from the captions the window shows and an input
// record with the calculation's rewrites and results applied.
ReportData MakeReportData(const Texts& shown, const Inputs& in, const Outcome& out, Language lang,
                          const std::string& dateTime);

// Creates or replaces the report file as a whole (an earlier file stays
// untouched when writing fails); throws files::FileError.
void WriteReport(const std::string& path, const ReportData& data);

}  // namespace lorvant::dipole
