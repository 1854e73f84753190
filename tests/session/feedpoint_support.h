// Shared fixtures of the feed-point tests.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "session/feedpoint.h"
#include "session/question.h"
#include "tests/support/Boxes.h"
#include "tests/support/WorkedExample.h"

namespace lorvant::test {

// Answers questions from a script (the first button when none is left) and
// keeps what was asked.
class ScriptAsker : public Asker {
 public:
  std::deque<Answer> answers;
  std::vector<Question> asked;

  Answer ask(const Question& q) override {
    asked.push_back(q);
    if (!answers.empty()) {
      const Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    return q.buttons == Buttons::YesNo || q.buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
  }
};

// The main form after a run as the feed-point worked example has it
// (tests/support/WorkedExample.h): 41.7 m, 14.2 MHz, band centre, Vk 0.95,
// bare wire, 3.5, 7 and 14 MHz counted, Smin 0.4.
inline MainFormValues workedMainForm(char sep) {
  MainFormValues m;
  m.preferredFrequency = sep == ',' ? "14,2" : "14.2";
  m.halfWaves = "4";
  m.shorteningFactor = sep == ',' ? "0,95" : "0.95";
  m.minimumSum = sep == ',' ? "0,4" : "0.4";
  m.bands = Boxes({0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0});
  m.segment = Segment::Centre;
  m.run.length = worked::kFeedWireLength;
  return m;
}

inline feedpoint::WindowTexts workedWindow(char sep) {
  feedpoint::WindowTexts w;
  w.first.caption = "Antennengesamtlänge [m]:";
  w.second.caption = "Resonanz&frequenz für bevorzugtes Band [MHz]:";
  w.third.caption = "Abstand Speisepunkt [m]:";
  w.header = "Band [MHz]      Stromsumme / Impedanz (Ohm)";
  w.first.text = worked::FeedWireLengthText(sep);
  w.second.text = sep == ',' ? "14,2" : "14.2";
  w.third.text = worked::FeedDistanceText(sep);
  return w;
}

// Lines of a text separated by CR LF (a final CR LF gives a last empty line).
inline std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type from = 0;
  for (;;) {
    const auto at = text.find("\r\n", from);
    if (at == std::string::npos) {
      lines.push_back(text.substr(from));
      return lines;
    }
    lines.push_back(text.substr(from, at - from));
    from = at + 2;
  }
}

}  // namespace lorvant::test
