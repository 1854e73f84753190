#include "text/nec_texts.h"

#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::nec {

std::string GroundName(Ground g, Language lang) {
  switch (g) {
    case Ground::FreeSpace:
      return say(lang, Text::NecGroundFreeSpace);
    case Ground::Perfect:
      return say(lang, Text::NecGroundPerfect);
    case Ground::Poor:
      return say(lang, Text::NecGroundPoor);
    case Ground::Average:
      return say(lang, Text::NecGroundAverage);
    case Ground::Good:
      return say(lang, Text::NecGroundGood);
  }
  return say(lang, Text::NecGroundFreeSpace);
}

std::string BalunText(double ratio, char sep) { return report::FormatGeneral(ratio, sep) + ":1"; }

std::string HangErrorText(const HangError& e, Language lang, char sep) {
  using Value = HangError::Value;
  using Reason = HangError::Reason;
  Text value = Text::HangValueStartHeight;
  switch (e.value) {
    case Value::StartHeight:
      break;
    case Value::EndHeight:
      value = Text::HangValueEndHeight;
      break;
    case Value::ApexHeight:
      value = Text::HangValueApexHeight;
      break;
    case Value::ApexAt:
      value = Text::HangValueApexAt;
      break;
    case Value::PlanAngle:
      value = Text::HangValuePlanAngle;
      break;
  }
  std::string text = std::string(say(lang, Text::HangCheckBefore)) + say(lang, value);
  if (e.reason == Reason::NotFinite) return text + say(lang, Text::HangNotFinite);
  text += std::string(" ") + report::FormatGeneral(e.figure, sep);
  switch (e.reason) {
    case Reason::NotFinite:
    case Reason::NotAboveGround:
      return text + say(lang, Text::HangNotAboveGround);
    case Reason::LegTooShort:
      // The plan angle never makes a leg too short: every other value is metres.
      return text + say(lang, Text::HangLegTooShort);
    case Reason::NotBetweenEnds:
      return text + say(lang, Text::HangNotBetweenEnds);
    case Reason::OutOfRange:
      return text + say(lang, Text::HangOutOfRange);
  }
  return text;
}

std::string ModelErrorText(const ModelError& e, Language lang, char sep) {
  using Kind = ModelError::Kind;
  const auto num = [sep](double v) { return report::FormatGeneral(v, sep); };
  // Lengths and heights to the millimetre.
  const auto metres = [sep](double v) { return report::FormatPicture(v, "0.0##", sep); };
  switch (e.kind()) {
    case Kind::BadLength:
      return say(lang, Text::NecBadLength);
    case Kind::FeedOutside:
      return say(lang, Text::NecFeedPointBefore) + num(e.value()) + say(lang, Text::NecFeedOutside);
    case Kind::BadDiameter:
      return say(lang, Text::NecBadDiameter);
    case Kind::BadFrequency:
      return say(lang, Text::NecNoFrequency);
    case Kind::WireTooThick:
      return say(lang, Text::NecTooThickBefore) + num(e.value()) + say(lang, Text::NecTooThickAfter);
    case Kind::FeedNearEnd:
      return say(lang, Text::NecFeedPointBefore) + num(e.value()) + say(lang, Text::ModelFeedNearEnd) +
             metres(e.limit()) + say(lang, Text::ModelMetresClose);
    case Kind::TooManySegments:
      return say(lang, Text::NecTooManySegmentsBefore) + num(e.value()) + say(lang, Text::NecSegmentsAtMost) +
             std::to_string(kMaxSegments) + say(lang, Text::NecTooManySegmentsAfter);
    case Kind::TooLow:
      return say(lang, Text::ModelTooLowBefore) + metres(e.value()) + say(lang, Text::ModelTooLowMiddle) +
             metres(e.limit()) + say(lang, Text::ModelTooLowAfter);
    case Kind::CannotHang:
      if (e.hang()) return HangErrorText(*e.hang(), lang, sep);
      break;
  }
  return {};
}

}  // namespace lorvant::nec
