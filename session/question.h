// The questions a session may put to its user, and who answers them: a
// message box in the program, a fixed answer in the batch tool, a script in
// the tests.
#pragma once

#include <string>

namespace lorvant {

enum class Icon { None, Critical, Exclamation, Question, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

struct Question {
  std::string text;   // UTF-8, lines separated by CR LF
  std::string title;  // UTF-8
  Icon icon = Icon::Information;
  Buttons buttons = Buttons::Ok;
  int defaultButton = 1;  // 1-based position of the default button
};

class Asker {
 public:
  virtual ~Asker() = default;
  virtual Answer ask(const Question& q) = 0;
};

}  // namespace lorvant
