#include "session/classify.h"

#include "session/question.h"
#include "text/bilingual.h"

namespace lorvant {

Question ExtraBandQuestion(Language lang) {
  const std::string text =
      lang == Language::German
          ? JoinLines({"Die vorgegebene Resonanzfrequenz liegt wahhrscheinlich ausserhalb ", "eines Amateurfunkbandes.",
                       "", "Soll diese Frequenz als eigenes Frequenzband behandelt werden?"})
          : JoinLines({"The specified resonance frequency is probably outside ", "the amateur band.", "",
                       "Should this frequency be treated as a separate frequency band?"});
  return {text,
          tr(lang, " Neues Frequenzband", " New frequency band"),
          Icon::Information,
          Buttons::YesNo,
          2,
          QuestionId::ExtraBand};
}

Question SegmentQuestion(Language lang) {
  const std::string text =
      lang == Language::German
          ? JoinLines({"Die vorgegebene Resonanzfrequenz liegt wahrscheinlich", "nicht im richtigen Bandsegment!", "",
                       "Soll das Bandsegment geändert werden?"})
          : JoinLines({"The specified resonance frequency is probably not", "in the correct band segment!", "",
                       "Should the band segment be changed?"});
  return {text, tr(lang, " Korrektur", " Correction"), Icon::Information, Buttons::YesNoCancel, 2, QuestionId::Segment};
}

Classification ClassifyPreferredFrequency(float f0, int chosenSegment, Language lang, Asker& asker) {
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
