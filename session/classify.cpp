#include "session/classify.h"

#include "session/question.h"
#include "text/catalogue.h"

namespace lorvant {

Question ExtraBandQuestion(Language lang) {
  return {say(lang, Text::ExtraBandQuestion),
          say(lang, Text::ExtraBandTitle),
          Icon::Information,
          Buttons::YesNo,
          2,
          QuestionId::ExtraBand};
}

Question SegmentQuestion(Language lang) {
  return {say(lang, Text::SegmentQuestion),
          say(lang, Text::SegmentTitle),
          Icon::Information,
          Buttons::YesNoCancel,
          2,
          QuestionId::Segment};
}

Classification ClassifyPreferredFrequency(float f0, Segment chosenSegment, Language lang, Asker& asker) {
  Classification c;
  c.segment = chosenSegment;
  const SegmentSuggestion s = SuggestSegment(f0);
  if (s.outsideBands && asker.ask(ExtraBandQuestion(lang)) == Answer::Yes) {
    c.extraBand = true;
    c.extraFrequency = f0;
  }
  if (chosenSegment != s.segment) {
    switch (asker.ask(SegmentQuestion(lang))) {
      case Answer::Yes:
        c.segment = s.segment;
        c.segmentChanged = true;
        break;
      case Answer::Cancel:
        c.cancelled = true;
        break;
      default:
        break;
    }
  }
  return c;
}

}  // namespace lorvant
