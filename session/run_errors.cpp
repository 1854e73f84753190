#include "session/run_errors.h"

#include <string_view>

#include "session/messages.h"
#include "text/catalogue.h"

namespace lorvant {

Question RunErrors::ErrorQuestion(const std::string& description, bool lowerValues) const {
  Question q;
  q.text = description;
  if (lowerValues) q.text += say(lang_, Text::RunErrorLowerValues);
  q.title = say(lang_, Text::MessageErrorTitle);
  q.icon = Icon::Exclamation;
  q.buttons = Buttons::AbortRetryIgnore;
  q.defaultButton = 1;
  q.id = QuestionId::RunError;
  return q;
}

Question RunErrors::ArithmeticQuestion(const ArithmeticError& e) const {
  switch (e.kind()) {
    case ArithmeticError::Kind::Overflow:
      return ErrorQuestion(say(lang_, Text::RunErrorOverflow), true);
    case ArithmeticError::Kind::DivisionByZero:
      return ErrorQuestion(say(lang_, Text::RunErrorDivisionByZero), false);
    default:
      // The engine says what failed in English; the one message it has
      // for an invalid argument is said in the user's language.
      if (std::string_view(e.what()) == say(Language::English, Text::RunErrorInvalidCall))
        return ErrorQuestion(say(lang_, Text::RunErrorInvalidCall), false);
      return ErrorQuestion(e.what(), false);
  }
}

Question RunErrors::FileQuestion(const files::FileError& e) const {
  return ErrorQuestion(files::FileErrorText(lang_, e.error(), e.path()), false);
}

Question RunErrors::FolderBusyQuestion(const FolderBusy& busy) const {
  return ErrorQuestion(files::FolderBusyText(lang_, busy.folder), false);
}

Question RunErrors::OutOfMemoryQuestion() const { return ErrorQuestion(say(lang_, Text::RunErrorOutOfMemory), false); }

bool RunErrors::Retried(const Question& q) {
  const Answer a = host_.errorHandler(q);
  if (a == Answer::Retry) return true;
  if (a == Answer::Ignore) return false;
  throw RunStopped{RunOutcome::Aborted, {}};
}

}  // namespace lorvant
