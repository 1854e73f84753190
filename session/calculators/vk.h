// The shortening-factor calculator and the pruning calculator: both live in
// one small tool window with two layouts. Here are their texts and what the
// window shows of their numbers (engine/calculators/vk.h, pruning.h); the
// window only moves texts between fields and records.
#pragma once

#include <string>
#include <vector>

#include "engine/common.h"
#include "engine/nec/dipole_vk.h"
#include "io/engine_runner.h"
#include "session/toolfields.h"
#include "text/bilingual.h"

namespace lorvant::vk {

// ---------------------------------------------------------------- texts

// The tag text: "-" after loading, "Aktiv" once a calculation succeeded.
inline constexpr const char* kTagLoaded = "-";
inline constexpr const char* kTagActive = "Aktiv";

// Captions and tooltips of the calculator layout. The calculate command
// runs the calculator exactly while the window shows its title.
struct CalculatorTexts {
  std::string title, optionsMenu, takeOverVk, groundCorrection;  // window, menu and its two entries
  std::string frequency, height, diameter;                       // the three inputs
  std::string shortening, slenderness, heightShortening;         // the frame and its two results
  std::string expectedVk, calculate;
  std::string frequencyTip, heightTip, calculateTip;
  // The window's design had these two in German only; an English window
  // speaks English in its tooltips too.
  std::string slendernessTip, heightShorteningTip;
};
CalculatorTexts CalculatorCaptions(Language lang);

// Tooltips of the window's design that read the same in both languages.
inline constexpr const char* kPercentTip = " % ";  // the two shortening results
inline constexpr const char* kVkResultTip = " Vk 0 - 1 ";
inline constexpr const char* kExpectedVkTip = " Vk ";

// Captions and tooltips of the pruning layout.
struct PruningTexts {
  std::string title;
  // The three inputs, in the calculator's three rows.
  std::string measuredLength, measuredLengthTip, measuredFrequency, measuredFrequencyTip;
  std::string desiredFrequency, desiredFrequencyTip;
  // The results, in the calculator's result rows.
  std::string newValues, newLength, newLengthTip, totalVk, totalVkTip, change, changeTip, calculateTip;
};
PruningTexts PruningCaptions(Language lang);

// The twelve desired frequencies of the pruning layout, "1,85" ... "50,15".
std::vector<std::string> PruningFrequencyList(char sep);
// Text of the calculator's height field at load: 10 with "#0.0".
std::string DefaultHeightText(char sep);
// Measured-length field of the pruning layout: the last run's length with
// "##0.0###" when it is above 0, else empty.
std::string PruningLengthText(float antennaLength, char sep);

// ---------------------------------------------------------------- calculator

// The input a check refused (the focus goes there). The pruning layout
// uses the calculator's three rows for its own three inputs.
enum class Field { None, Frequency, Height, MeasuredLength, MeasuredFrequency, DesiredFrequency };

struct CalculatorInputs {
  std::string frequency;  // MHz
  std::string height;     // m
  std::string diameter;   // mm (the list entry's text)
  bool groundCorrection = false;
};

struct CalculatorOutcome {
  bool computed = false;  // false: an input check stopped the calculation
  int beeps = 0;
  Reason reason;  // why it beeped
  Field focus = Field::None;
  FieldText height;    // corrected height ("0,01")
  FieldText diameter;  // corrected diameter
  TextColour diameterColour = TextColour::Black;
  float f = 0, h = 0, d = 0;   // d after the limits
  float slenderness = 0;       // s1, percent
  float heightShortening = 0;  // s2, percent
  float vk = 0;
  std::string slendernessText, heightShorteningText, vkText;  // the results as shown
  TextColour slendernessColour = TextColour::Black;
  TextColour heightShorteningColour = TextColour::Black;
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
  FieldText frequency;  // the calculator's frequency when it is not empty
};
TakeOver TakeOverVk(float lastVk, const std::string& frequencyText, char sep);
// Why nothing is taken over when the inputs changed since the result.
std::string StaleResultText(Language lang);
// Title of the calculator's take-over messages (the menu entry's words).
std::string TakeOverTitle(Language lang);

// ---------------------------------------------------------------- NEC-2

// Captions of the calculator's NEC-2 step.
struct NecVkTexts {
  std::string ground, compute, computeTip, result, resultTip, takeOver, title, running, cancel;
  std::vector<std::string> grounds;  // in the order of kNecGrounds
};
NecVkTexts NecVkCaptions(Language lang);

// The grounds the calculator offers, average the default.
inline constexpr nec::Ground kNecGrounds[] = {nec::Ground::FreeSpace, nec::Ground::Perfect, nec::Ground::Poor,
                                              nec::Ground::Average, nec::Ground::Good};
inline constexpr int kDefaultNecGround = 3;

struct NecVkInputs {
  CalculatorInputs calculator;
  std::string ground;  // "free", "perfect", "poor", "average", "good"
};

// The closed-form calculation and, when it succeeded, the half-wave wire
// of its Vk ready for the engine. `refusal` says why there is no deck: the
// calculator's own check (then closedForm tells which field) or NEC-2's.
struct NecVkStep {
  CalculatorOutcome closedForm;
  bool ready = false;
  Reason refusal;
  nec::DipoleVkPlan plan;
};
NecVkStep PrepareNecVk(const NecVkInputs& in, char sep);

struct NecVkOutcome {
  bool computed = false;
  bool cancelled = false;  // stopped on request: nothing to say
  float vk = 0;
  double resonance = 0;  // MHz
  std::string vkText;    // as the calculator shows a Vk
  Reason failure;
};
// What the engine's answer to the step's deck gives.
NecVkOutcome EvaluateNecVk(const NecVkStep& step, const nec::EngineResult& result, char sep);
// The deck through `engine` and its answer evaluated.
NecVkOutcome RunNecVk(const NecVkStep& step, nec::Engine& engine, const nec::EngineProgress& progress, char sep);

// ---------------------------------------------------------------- pruning

struct PruningInputs {
  std::string length;    // measured length, m
  std::string measured;  // measured resonance, MHz
  std::string desired;   // desired resonance, MHz
};

struct PruningOutcome {
  bool computed = false;
  int beeps = 0;
  Reason reason;  // why it beeped
  Field focus = Field::None;
  int halfWaves = 0;                              // n
  float vk = 0;                                   // total shortening factor
  float newLength = 0;                            // m
  float change = 0;                               // cm, negative = cut off
  std::string newLengthText, vkText, changeText;  // the results as shown
  TextColour vkColour = TextColour::Black;
};

PruningOutcome CalculatePruning(const PruningInputs& in, char sep);

}  // namespace lorvant::vk
