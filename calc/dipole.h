// The additional, radiation-coupled dipole or WINDOM beside an exciting
// antenna: its texts, the refresh on activation, the calculation of length,
// feed point and wire spacing, and the spacing formula.
#pragma once

#include <string>
#include <vector>

#include "calc/reports/zusatzdipol.h"
#include "calc/shortening.h"
#include "calc/toolfields.h"

namespace lorvant::dipole {

// ---------------------------------------------------------------- texts

// Captions and tooltips set when the window loads.
struct Texts {
  std::string window, frame1, label1, label3, label4, label5, label12, label13, label7, label9;
  std::string frame2, label2, label6, command1;
  std::string frame3, option0, option1, command2;  // variant frame, its buttons, the conditions button
  std::string frame1Tip, text3Tip, diameterTip, label8Tip, label10Tip, text2Tip;
};
Texts Captions(Language lang);

// What the variant buttons change.
struct VariantTexts {
  std::string label1, frame1, label9;
};
VariantTexts DipoleVariant(Language lang);
VariantTexts WindomVariant(Language lang);

// Feed-point fractions: "0,5" for the dipole, 1/3 ... 1/8 for the WINDOM.
std::vector<std::string> DipoleFractions(char sep);
std::vector<std::string> WindomFractions(char sep);
// Text6 at load: 0.946 with "0.00##".
std::string DefaultVkText(char sep);

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
  std::string text2;  // lowest counted band, "#0.0" (0 when none)
  std::string text4;  // diameter of the additional wire
  std::string text5;  // diameter of the exciter
};
// diameterText: the calculator's diameter field while it is active, else the
// main form's conductor diameter.
Refresh Activation(const std::string& diameterText, const BandValues& bands, char sep);

// ---------------------------------------------------------------- calculation

enum class Field { None, Text1, Text2, Text3, Text4, Text5, Text6, Text7, Combo1 };

struct Inputs {
  bool windom = false;        // Option1(1)
  std::string fAdd;           // Text1, MHz
  std::string fExc;           // Text2, MHz
  std::string impedance;      // Text3, ohms
  std::string dAdd;           // Text4, mm
  std::string dExc;           // Text5, mm
  std::string vk;             // Text6
  std::string halfWaves;      // Text7 (plain leading-number read)
  std::string fraction;       // Combo1 text
  double ins = 0;             // insulation fraction of the last run
  LengthContext length;       // main form's length mode and calculator state
};

struct Outcome {
  bool computed = false;  // false: an input was rejected
  int beeps = 0;
  Field focus = Field::None;
  // Field rewrites (suggested values, the reformatted Vk).
  FieldText text4, text5, text6;
  // Label8: a new text (possibly empty) and a new colour, each when set.
  FieldText label8;
  std::optional<TextColour> label8Colour;
  std::string label10, label11;  // when computed

  // Intermediate values, for the batch tool and for checks.
  double wavelength = 0;  // W, m on the wire
  float s0 = 0;           // first spacing estimate, mm
  float gap = 0;          // clear gap, mm
  float s1 = 0, s2 = 0;   // shortening of exciter / additional wire, percent
  float spacing = 0;      // S, mm
  float length = 0;       // L, m
  float fraction = 0;     // c
  float windomFactor = 0; // F (WINDOM only)
};

Outcome Calculate(const Inputs& in, char sep);

// Spacing of the two wires in mm. fExc and s are part of the signature of
// the formula's family and are not used.
float ZusatzAbstand(float z, float fExc, float fAdd, float dExc, float dAdd, float s, double ins);

// ---------------------------------------------------------------- report

// The captions a freshly loaded window shows after choosing the variant.
Texts CaptionsFor(Language lang, bool windom);

// The report's contents from the captions the window shows and an input
// record with the calculation's rewrites and results applied.
ReportData MakeReportData(const Texts& shown, const Inputs& in, const Outcome& out, Language lang,
                          const std::string& dateTime);

}  // namespace lorvant::dipole
