#include "session/calculators/vk.h"

#include <array>

#include "engine/calculators/pruning.h"
#include "engine/calculators/vk.h"
#include "engine/nec/output.h"
#include "engine/numparse.h"
#include "session/messages.h"
#include "text/catalogue.h"
#include "text/compose.h"
#include "text/format.h"
#include "text/nec_texts.h"

namespace lorvant::vk {

using report::FormatGeneral;
using report::FormatPicture;

CalculatorTexts CalculatorCaptions(Language lang) {
  const auto in = [lang](Text key) { return std::string(say(lang, key)); };
  CalculatorTexts t;
  t.title = in(Text::CalcVkTitle);
  t.optionsMenu = in(Text::MenuOptions);
  t.takeOverVk = in(Text::CalcVkTakeOverEntry);
  t.groundCorrection = in(Text::CalcVkGroundCorrection);
  t.frequency = in(Text::CalcVkFrequency);
  t.height = in(Text::CalcVkHeight);
  t.diameter = in(Text::CalcVkDiameter);
  t.heightShortening = in(Text::CalcVkHeightShortening);
  t.slenderness = in(Text::CalcVkSlenderness);
  t.expectedVk = in(Text::CalcVkExpected);
  t.calculate = in(Text::CalculateButton);
  t.shortening = in(Text::CalcVkShortening);
  t.frequencyTip = in(Text::CalcVkFrequencyTip);
  t.heightTip = in(Text::CalcVkHeightTip);
  t.calculateTip = in(Text::CalcVkCalculateTip);
  t.slendernessTip = in(Text::CalcVkSlendernessTip);
  t.heightShorteningTip = in(Text::CalcVkHeightShorteningTip);
  return t;
}

PruningTexts PruningCaptions(Language lang) {
  const auto in = [lang](Text key) { return std::string(say(lang, key)); };
  PruningTexts t;
  t.title = in(Text::CalcPruningTitle);
  t.measuredLength = in(Text::CalcPruningMeasuredLength);
  t.measuredLengthTip = in(Text::CalcPruningMeasuredLengthTip);
  t.measuredFrequency = in(Text::CalcPruningMeasuredFrequency);
  t.measuredFrequencyTip = in(Text::CalcPruningMeasuredFrequencyTip);
  t.desiredFrequency = in(Text::CalcPruningDesiredFrequency);
  t.desiredFrequencyTip = in(Text::CalcPruningDesiredFrequencyTip);
  t.newValues = in(Text::CalcPruningNewValues);
  t.newLength = in(Text::CalcPruningNewLength);
  t.newLengthTip = in(Text::CalcPruningNewLengthTip);
  t.totalVk = in(Text::CalcPruningTotalVk);
  t.totalVkTip = in(Text::CalcPruningTotalVkTip);
  t.change = in(Text::CalcPruningChange);
  t.changeTip = in(Text::CalcPruningChangeTip);
  t.calculateTip = in(Text::CalcPruningCalculateTip);
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

std::string DefaultHeightText(char sep) { return FormatPicture(kDefaultHeight, "#0.0", sep); }

std::string PruningLengthText(float antennaLength, char sep) {
  return antennaLength > 0 ? FormatPicture(antennaLength, "##0.0###", sep) : std::string();
}

namespace {

TextColour redWhen(bool outside) { return outside ? TextColour::Red : TextColour::Black; }

// The diameter field's correction and why, for the limit it was held to.
void ShowDiameterLimit(CalculatorOutcome& out, DiameterLimit limit, float d, char sep) {
  if (limit == DiameterLimit::None) return;
  const Text why = limit == DiameterLimit::TooThin            ? Text::CalcVkWireTooThin
                   : limit == DiameterLimit::AboveTwiceHeight ? Text::CalcVkWireAboveTwiceHeight
                                                              : Text::CalcVkWireAboveHalfWave;
  out.diameter = limit == DiameterLimit::TooThin ? FormatGeneral(d, sep) : FormatPicture(d, "#####0.0", sep);
  out.beeps = 1;
  out.diameterColour = TextColour::Red;
  out.reason = Compose({why, *out.diameter, Text::CalcMillimetresEnd});
}

}  // namespace

CalculatorOutcome CalculateVk(const CalculatorInputs& in, char sep) {
  const Figures figures{ParseNumber(in.frequency), ParseNumber(in.height), ParseNumber(in.diameter),
                        in.groundCorrection};
  const Result r = Compute(figures);
  CalculatorOutcome out;
  if (r.refusal == Refusal::NoFrequency) {
    out.beeps = 1;
    out.reason = ReasonOf(Text::EnterFrequency);
    out.focus = Field::Frequency;
    return out;
  }
  if (r.refusal == Refusal::HeightTooLow) {
    out.height = "0,01";
    out.beeps = 1;
    out.reason = ReasonOf(Text::CalcVkHeightTooLow);
    out.focus = Field::Height;
    return out;
  }
  ShowDiameterLimit(out, r.limit, r.d, sep);
  out.slendernessColour = redWhen(r.slendernessOutside);
  out.slendernessText = FormatPicture(r.slenderness, "#0.0", sep);
  out.heightShorteningColour = redWhen(r.heightShorteningOutside);
  out.heightShorteningText = FormatPicture(r.heightShortening, "#0.0", sep);
  out.vkText = FormatPicture(r.vk, "0.00#", sep);

  out.computed = true;
  out.f = figures.f;
  out.h = figures.h;
  out.d = r.d;
  out.slenderness = r.slenderness;
  out.heightShortening = r.heightShortening;
  out.vk = r.vk;
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

std::string StaleResultText(Language lang) { return say(lang, Text::CalcVkStaleResult); }

std::string TakeOverTitle(Language lang) { return say(lang, Text::CalcVkTakeOverTitle); }

// ---------------------------------------------------------------- NEC-2

NecVkTexts NecVkCaptions(Language lang) {
  const auto in = [lang](Text key) { return std::string(say(lang, key)); };
  NecVkTexts t;
  t.ground = in(Text::CalcVkNecGround);
  t.compute = in(Text::CalcVkNecButton);
  t.computeTip = in(Text::CalcVkNecButtonTip);
  t.result = in(Text::CalcVkNecResult);
  t.resultTip = in(Text::CalcVkNecResultTip);
  t.takeOver = in(Text::CalcVkNecTakeOverEntry);
  t.title = in(Text::CalcVkNecTitle);
  t.running = in(Text::CalcVkNecRunning);
  t.cancel = in(Text::WindowNecCancelButton);
  for (nec::Ground g : kNecGrounds) t.grounds.push_back(nec::GroundName(g, lang));
  return t;
}

namespace {

Reason PlanRefusal(const nec::DipoleVkError& e, char sep) {
  using Kind = nec::DipoleVkError::Kind;
  switch (e.kind()) {
    case Kind::WireTooThick:
      return Compose({Text::CalcVkNecTooThickBefore, FormatGeneral(e.value(), sep), Text::CalcVkNecTooThickAfter});
    case Kind::TooLow:
      return Compose({Text::CalcVkNecTooLowBefore, FormatGeneral(e.value(), sep), Text::CalcVkNecTooLowAfter});
    default:
      return ReasonOf(Text::CalcVkNecBadInput);
  }
}

// What went wrong with the engine's answer.
Reason AnswerFailure(const nec::DipoleVkError& e, const nec::DipoleVkPlan& plan, std::string_view output, char sep) {
  using Kind = nec::DipoleVkError::Kind;
  const auto mhz = [sep](double f) { return FormatPicture(f, "#0.0###", sep); };
  switch (e.kind()) {
    case Kind::Incomplete: {
      Reason r = Compose({Text::NecOutputIncomplete, std::to_string(static_cast<int>(e.value())), Text::NecOutputOf,
                          std::to_string(plan.sweepCount), Text::NecOutputFrequencies});
      const std::string last = nec::LastLine(output);
      if (!last.empty()) {
        r.de += ": " + last;
        r.en += ": " + last;
      }
      return r;
    }
    case Kind::BadImpedance:
      return Compose({std::string("NEC-2: "), Text::NecNoImpedanceBefore, mhz(e.value()), Text::NecNoImpedanceAfter,
                      Text::CalcSentenceEnd});
    default:
      return Compose({Text::CalcVkNecNoResonanceBefore, mhz(plan.sweepStart), Text::CalcVkNecAnd,
                      mhz(plan.sweepStart + (plan.sweepCount - 1) * plan.sweepStep), Text::CalcVkNecNoResonanceAfter});
  }
}

}  // namespace

NecVkStep PrepareNecVk(const NecVkInputs& in, char sep) {
  NecVkStep step;
  step.closedForm = CalculateVk(in.calculator, sep);
  if (!step.closedForm.computed) {
    step.refusal = step.closedForm.reason;
    return step;
  }
  const std::optional<nec::Ground> ground = nec::GroundFromWord(in.ground);
  if (!ground) {
    step.refusal = Compose({Text::CalcVkNecUnknownGround, in.ground});
    return step;
  }
  const CalculatorOutcome& c = step.closedForm;
  try {
    step.plan = nec::PlanDipoleVk({c.f, c.vk, c.d, c.h, *ground});
  } catch (const nec::DipoleVkError& e) {
    step.refusal = PlanRefusal(e, sep);
    return step;
  }
  step.ready = true;
  return step;
}

NecVkOutcome EvaluateNecVk(const NecVkStep& step, const nec::EngineResult& result, char sep) {
  NecVkOutcome out;
  using Status = nec::EngineResult::Status;
  if (result.status == Status::Cancelled) {
    out.cancelled = true;
    return out;
  }
  if (result.status != Status::Completed) {
    out.failure = {nec::EngineTroubleText(Language::German, result, std::string()),
                   nec::EngineTroubleText(Language::English, result, std::string())};
    return out;
  }
  try {
    const nec::DipoleVk r = nec::EvaluateDipoleVk(step.plan, result.output);
    out.computed = true;
    out.resonance = r.resonance;
    out.vk = static_cast<float>(r.vk);
    out.vkText = FormatPicture(out.vk, "0.00#", sep);
  } catch (const nec::DipoleVkError& e) {
    out.failure = AnswerFailure(e, step.plan, result.output, sep);
  }
  return out;
}

NecVkOutcome RunNecVk(const NecVkStep& step, nec::Engine& engine, const nec::EngineProgress& progress, char sep) {
  return EvaluateNecVk(step, engine.run(step.plan.deck, progress), sep);
}

namespace {

// The input a refusal sends the focus to, and why.
std::pair<Field, Reason> PruningRefusal(const pruning::Result& r, char sep) {
  using pruning::Refusal;
  switch (r.refusal) {
    case Refusal::NoLength:
      return {Field::MeasuredLength, ReasonOf(Text::CalcPruningNoLength)};
    case Refusal::NoMeasuredFrequency:
      return {Field::MeasuredFrequency, ReasonOf(Text::CalcPruningNoMeasuredFrequency)};
    case Refusal::NoDesiredFrequency:
      return {Field::DesiredFrequency, ReasonOf(Text::CalcNoDesiredFrequency)};
    case Refusal::RatioOutside:
      return {Field::DesiredFrequency,
              Compose({Text::CalcPruningRatioIs, FormatPicture(r.ratio, "0.0##", sep), Text::CalcPruningRatioFrom,
                       FormatPicture(pruning::kLowestRatio, "0.0#", sep), Text::CalcPruningRatioTo,
                       FormatPicture(pruning::kHighestRatio, "0.0#", sep), Text::CalcSentenceEnd})};
    case Refusal::LengthTooLarge:
    default:
      return {Field::MeasuredLength, ReasonOf(Text::CalcPruningLengthTooLarge)};
  }
}

}  // namespace

PruningOutcome CalculatePruning(const PruningInputs& in, char sep) {
  const pruning::Result r =
      pruning::Compute({ParseNumber(in.length), ParseNumber(in.measured), ParseNumber(in.desired)});
  PruningOutcome out;
  if (!r.computed()) {
    auto [field, reason] = PruningRefusal(r, sep);
    out.beeps = 1;
    out.reason = std::move(reason);
    out.focus = field;
    return out;
  }
  out.computed = true;
  out.halfWaves = r.halfWaves;
  out.vk = r.vk;
  out.newLength = r.newLength;
  out.change = r.change;
  out.vkColour = redWhen(r.vk > 1);
  out.vkText = FormatPicture(r.vk, "0.00#", sep);
  out.newLengthText = FormatPicture(r.newLength, "##0.00#", sep);
  out.changeText = FormatPicture(r.change, "+ ##0.0;- ##0.0", sep);
  return out;
}

}  // namespace lorvant::vk
