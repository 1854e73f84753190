#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>
#include <vector>

#include "engine/bands.h"
#include "session/classify.h"
#include "session/nec_check.h"
#include "session/question.h"
#include "session/run.h"

using namespace lorvant;

namespace {

// Answers questions from a script and keeps every question it was asked.
class ScriptedAsker : public Asker {
 public:
  explicit ScriptedAsker(std::deque<Answer> answers) : answers_(std::move(answers)) {}
  Answer ask(const Question& q) override {
    asked.push_back(q);
    EXPECT_FALSE(answers_.empty()) << "unexpected question: " << q.text;
    if (answers_.empty()) return Answer::No;
    const Answer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  bool scriptUsedUp() const { return answers_.empty(); }
  std::vector<Question> asked;

 private:
  std::deque<Answer> answers_;
};

}  // namespace

// An answerer tells the questions apart by their id, in either language;
// the questions made inside a run or a check carry theirs where they are asked.
TEST(BandQuestions, EachSaysWhichQuestionItIs) {
  for (const Language lang : {Language::German, Language::English}) {
    EXPECT_EQ(ExtraBandQuestion(lang).id, QuestionId::ExtraBand);
    EXPECT_EQ(SegmentQuestion(lang).id, QuestionId::Segment);
    EXPECT_EQ(DielectricQuestion(lang).id, QuestionId::Dielectric);
    EXPECT_EQ(LargeTableQuestion(lang, 2000000000, std::nullopt, ',').id, QuestionId::LargeTable);
    EXPECT_EQ(LargeReportQuestion(lang, 2000000000, 5000000000, '.').id, QuestionId::LargeReport);
    EXPECT_EQ(nec::FolderBusyQuestion(lang, "/tmp").id, QuestionId::FolderBusy);
  }
  EXPECT_EQ(Question{}.id, QuestionId::Unnamed);
}

TEST(BandQuestions, ExactTextsAndButtons) {
  const Question de = ExtraBandQuestion(Language::German);
  EXPECT_EQ(de.text,
            "Die vorgegebene Resonanzfrequenz liegt wahhrscheinlich ausserhalb \r\neines Amateurfunkbandes.\r\n\r\n"
            "Soll diese Frequenz als eigenes Frequenzband behandelt werden?");
  EXPECT_EQ(de.title, " Neues Frequenzband");
  const Question en = ExtraBandQuestion(Language::English);
  EXPECT_EQ(en.text,
            "The specified resonance frequency is probably outside \r\nthe amateur band.\r\n\r\n"
            "Should this frequency be treated as a separate frequency band?");
  EXPECT_EQ(en.title, " New frequency band");
  for (const Question& q : {de, en}) {
    EXPECT_EQ(q.buttons, Buttons::YesNo);
    EXPECT_EQ(q.icon, Icon::Information);
    EXPECT_EQ(q.defaultButton, 2);
  }

  const Question sde = SegmentQuestion(Language::German);
  EXPECT_EQ(sde.text,
            "Die vorgegebene Resonanzfrequenz liegt wahrscheinlich\r\nnicht im richtigen Bandsegment!\r\n\r\n"
            "Soll das Bandsegment ge\xC3\xA4ndert werden?");
  EXPECT_EQ(sde.title, " Korrektur");
  const Question sen = SegmentQuestion(Language::English);
  EXPECT_EQ(sen.text,
            "The specified resonance frequency is probably not\r\nin the correct band segment!\r\n\r\n"
            "Should the band segment be changed?");
  EXPECT_EQ(sen.title, " Correction");
  for (const Question& q : {sde, sen}) {
    EXPECT_EQ(q.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(q.icon, Icon::Information);
    EXPECT_EQ(q.defaultButton, 2);
  }
}

TEST(Classification, MatchingSegmentAsksNothing) {
  ScriptedAsker asker({});
  const Classification c = ClassifyPreferredFrequency(14.2f, Segment::Centre, Language::German, asker);
  EXPECT_TRUE(asker.asked.empty());
  EXPECT_EQ(c.segment, Segment::Centre);
  EXPECT_FALSE(c.segmentChanged);
  EXPECT_FALSE(c.cancelled);
  EXPECT_FALSE(c.extraBand);
}

TEST(Classification, SegmentQuestionAnswers) {
  {  // 14.25 with CW: SSB is suggested, Yes switches to it
    ScriptedAsker asker({Answer::Yes});
    const Classification c = ClassifyPreferredFrequency(14.25f, Segment::Cw, Language::English, asker);
    ASSERT_EQ(asker.asked.size(), 1u);
    EXPECT_EQ(asker.asked[0].text, SegmentQuestion(Language::English).text);
    EXPECT_EQ(c.segment, Segment::Ssb);
    EXPECT_TRUE(c.segmentChanged);
    EXPECT_FALSE(c.cancelled);
  }
  {  // No keeps the user's segment
    ScriptedAsker asker({Answer::No});
    const Classification c = ClassifyPreferredFrequency(14.03f, Segment::Ssb, Language::German, asker);
    ASSERT_EQ(asker.asked.size(), 1u);
    EXPECT_EQ(asker.asked[0].title, " Korrektur");
    EXPECT_EQ(c.segment, Segment::Ssb);
    EXPECT_FALSE(c.segmentChanged);
    EXPECT_FALSE(c.cancelled);
  }
  {  // Cancel ends the run
    ScriptedAsker asker({Answer::Cancel});
    const Classification c = ClassifyPreferredFrequency(14.1f, Segment::Cw, Language::German, asker);
    EXPECT_TRUE(c.cancelled);
    EXPECT_FALSE(c.segmentChanged);
    EXPECT_EQ(c.segment, Segment::Cw);
  }
}

TEST(Classification, AdditionalBandQuestion) {
  {  // Yes adds the band; the centre is suggested, so CW also gets the segment question
    ScriptedAsker asker({Answer::Yes, Answer::No});
    const Classification c = ClassifyPreferredFrequency(12.0f, Segment::Cw, Language::German, asker);
    ASSERT_EQ(asker.asked.size(), 2u);
    EXPECT_EQ(asker.asked[0].title, " Neues Frequenzband");
    EXPECT_EQ(asker.asked[0].text, ExtraBandQuestion(Language::German).text);
    EXPECT_EQ(asker.asked[1].title, " Korrektur");
    EXPECT_TRUE(c.extraBand);
    EXPECT_EQ(c.extraFrequency, 12.0f);
    EXPECT_EQ(c.segment, Segment::Cw);
  }
  {  // No leaves the band out; centre chosen, so nothing more is asked
    ScriptedAsker asker({Answer::No});
    const Classification c = ClassifyPreferredFrequency(12.0f, Segment::Centre, Language::English, asker);
    ASSERT_EQ(asker.asked.size(), 1u);
    EXPECT_EQ(asker.asked[0].title, " New frequency band");
    EXPECT_FALSE(c.extraBand);
    EXPECT_EQ(c.extraFrequency, 0.0f);
    EXPECT_FALSE(c.cancelled);
  }
  {  // Cancel to the segment question after accepting the band still ends the run
    ScriptedAsker asker({Answer::Yes, Answer::Cancel});
    const Classification c = ClassifyPreferredFrequency(144.0f, Segment::Ssb, Language::English, asker);
    EXPECT_TRUE(asker.scriptUsedUp());
    EXPECT_TRUE(c.extraBand);
    EXPECT_TRUE(c.cancelled);
  }
}
