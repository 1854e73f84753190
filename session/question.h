// The questions a session may put to its user, and who answers them: a
// message box in the program, a fixed answer in the batch tool, a script in
// the tests.
#pragma once

#include <string>

namespace lorvant {

enum class Icon { None, Critical, Exclamation, Question, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

// Which question it is, so that an answerer need not recognise it by its
// localised title or text.
enum class QuestionId {
  Unnamed,              // a question built without saying which
  ExtraBand,            // run: treat the preferred frequency as a band of its own?
  Segment,              // run: change the band segment?
  Dielectric,           // run: is the dielectric constant right?
  LargeTable,           // run: create the large special table anyway?
  LargeReport,          // run: create the large report anyway?
  NotEnoughRoom,        // run: the folder has too little room for a file
  RunError,             // run: Abort/Retry/Ignore after a failed step
  FolderBusy,           // NEC-2 check: another calculation writes the folder
  FeedPointIncomplete,  // feed point: a needed field is empty
  FeedPointOffWire,     // feed point: the point is not on the wire
  AdaptLength,          // feed point: adapt the length to the resonance?
  AntennaTooShort,      // feed point: shorter than half a wavelength
};

struct Question {
  std::string text;   // UTF-8, lines separated by CR LF
  std::string title;  // UTF-8
  Icon icon = Icon::Information;
  Buttons buttons = Buttons::Ok;
  int defaultButton = 1;  // 1-based position of the default button
  QuestionId id = QuestionId::Unnamed;
};

class Asker {
 public:
  virtual ~Asker() = default;
  virtual Answer ask(const Question& q) = 0;
};

}  // namespace lorvant
