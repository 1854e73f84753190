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

std::string ModelErrorText(const ModelError& e, Language lang, char sep) {
  using Kind = ModelError::Kind;
  const auto num = [sep](double v) { return report::FormatGeneral(v, sep); };
  switch (e.kind()) {
    case Kind::BadLength:
      return say(lang, Text::NecBadLength);
    case Kind::FeedOutside:
      return say(lang, Text::NecFeedPointBefore) + num(e.value()) + say(lang, Text::NecFeedOutside);
    case Kind::BadDiameter:
      return say(lang, Text::NecBadDiameter);
    case Kind::BadHeight:
      return say(lang, Text::NecBadHeight);
    case Kind::BadFrequency:
      return say(lang, Text::NecNoFrequency);
    case Kind::WireTooThick:
      return say(lang, Text::NecTooThickBefore) + num(e.value()) + say(lang, Text::NecTooThickAfter);
    case Kind::FeedNearEnd:
      return say(lang, Text::NecFeedPointBefore) + num(e.value()) + say(lang, Text::NecFeedNearEnd);
    case Kind::TooManySegments:
      return say(lang, Text::NecTooManySegmentsBefore) + num(e.value()) + say(lang, Text::NecSegmentsAtMost) +
             std::to_string(kMaxSegments) + say(lang, Text::NecTooManySegmentsAfter);
  }
  return {};
}

}  // namespace lorvant::nec
