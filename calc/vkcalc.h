// The shortening-factor calculator and the pruning calculator: both live in
// one small window (frmVk) with two layouts. Here are their texts and their
// computations; the window only moves texts between fields and records.
#pragma once

#include <string>
#include <vector>

#include "calc/common.h"
#include "calc/toolfields.h"

namespace lorvant::vk {

// ---------------------------------------------------------------- texts

// Window caption of the calculator layout. The calculate command runs the
// calculator exactly while the window shows one of these two captions.
inline constexpr const char* kCalculatorCaptionDe = "Verkürzungsfaktor berechnen";
inline constexpr const char* kCalculatorCaptionEn = "shortening factor calculate";
bool IsCalculatorCaption(const std::string& caption);

// The tag text: "-" after loading, "Aktiv" once a calculation succeeded.
inline constexpr const char* kTagLoaded = "-";
inline constexpr const char* kTagActive = "Aktiv";

// Captions and tooltips of the calculator layout.
struct CalculatorTexts {
  std::string window, mnuOpt, mnuVkUebernehmen, mnuErdbodenKor;
  std::string label1, label2, label3, label4, label6, label8, command1, frame1;
  std::string text1Tip, text2Tip, command1Tip;
  // The window's design had these two in German only; an English window
  // speaks English in its tooltips too.
  std::string label6Tip, label4Tip;
};
CalculatorTexts CalculatorCaptions(Language lang);

// Tooltips of the window's design that read the same in both languages.
inline constexpr const char* kPercentTip = " % ";  // Label7 and Label5
inline constexpr const char* kLabel9Tip = " Vk 0 - 1 ";
inline constexpr const char* kLabel8Tip = " Vk ";

// Captions and tooltips of the pruning layout.
struct PruningTexts {
  std::string window;
  std::string label1, text1Tip, label2, text2Tip, label3, combo1Tip;
  std::string frame1, label6, label7Tip, label4, label5Tip, label8, label9Tip, command1Tip;
};
PruningTexts PruningCaptions(Language lang);

// The ten standard wire sizes, "0,977(0,75mm²)" ...
std::vector<std::string> WireDiameterList(char sep);
// The twelve desired frequencies of the pruning layout, "1,85" ... "50,15".
std::vector<std::string> PruningFrequencyList(char sep);
// Text of the calculator's height field at load: 10 with "#0.0".
std::string DefaultHeightText(char sep);
// Measured-length field of the pruning layout: the last run's length with
// "##0.0###" when it is above 0, else empty.
std::string PruningLengthText(float antennaLength, char sep);

// ---------------------------------------------------------------- calculator

enum class Field { None, Text1, Text2, Combo1 };

struct CalculatorInputs {
  std::string frequency;  // Text1, MHz
  std::string height;     // Text2, m
  std::string diameter;   // Combo1 text, mm
  bool groundCorrection = false;  // mnuErdbodenKor
};

struct CalculatorOutcome {
  bool computed = false;  // false: an input check stopped the calculation
  int beeps = 0;
  Field focus = Field::None;
  FieldText height;    // corrected Text2 ("0,01")
  FieldText diameter;  // corrected Combo1 text
  TextColour diameterColour = TextColour::Black;
  float f = 0, h = 0, d = 0;  // d after the limits
  float slenderness = 0;      // s1, percent
  float heightShortening = 0; // s2, percent
  float vk = 0;
  std::string label7, label5, label9;
  TextColour label7Colour = TextColour::Black;
  TextColour label5Colour = TextColour::Black;
};

// Steps up to the Vk result. The caller then takes the result over when
// that option is checked, copies the (corrected) diameter into the main
// form and marks the calculator active.
CalculatorOutcome CalculateVk(const CalculatorInputs& in, char sep);

// What take-over writes: the Vk text into the main form's and the
// additional dipole's Vk fields, the frequency into the main form. Nothing
// at all without a positive result.
struct TakeOver {
  FieldText vk;         // "0.00##" of the last result
  FieldText frequency;  // the calculator's Text1 when it is not empty
};
TakeOver TakeOverVk(float lastVk, const std::string& frequencyText, char sep);

// ---------------------------------------------------------------- pruning

struct PruningInputs {
  std::string length;    // Text1: measured length, m
  std::string measured;  // Text2: measured resonance, MHz
  std::string desired;   // Combo1 text: desired resonance, MHz
};

struct PruningOutcome {
  bool computed = false;
  int beeps = 0;
  Field focus = Field::None;
  int halfWaves = 0;  // n
  float vk = 0;       // total shortening factor
  float newLength = 0;  // m
  float change = 0;     // cm, negative = cut off
  std::string label7, label5, label9;
  TextColour label5Colour = TextColour::Black;
};

PruningOutcome CalculatePruning(const PruningInputs& in, char sep);

}  // namespace lorvant::vk
