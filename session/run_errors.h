// The run's Abort/Retry/Ignore loop: a step that fails (arithmetic, a file,
// the folder lock, memory) goes to the host's error box until it succeeds,
// the user ignores it or aborts the run.
#pragma once

#include <new>
#include <string>

#include "engine/common.h"
#include "io/staged_files.h"
#include "session/question.h"
#include "session/run.h"

namespace lorvant {

// The run ends early: Abort in the error box, a cancel, or a file size the
// user or the folder refused.
struct RunStopped {
  RunOutcome outcome;
  std::string refusal;  // the message that said why, when one did
};

// Another run holds the lock of the results folder.
struct FolderBusy {
  std::string folder;
};

class RunErrors {
 public:
  RunErrors(RunHost& host, Language lang) : host_(host), lang_(lang) {}

  // Runs one step; a failure goes to the error box. Returns true when the
  // step succeeded, false when the user chose Ignore; Abort stops the run.
  template <class F>
  bool attempt(F&& step) {
    for (;;) {
      Question q;
      try {
        step();
        return true;
      } catch (const ArithmeticError& e) {
        q = ArithmeticQuestion(e);
      } catch (const files::FileError& e) {
        q = FileQuestion(e);
      } catch (const FolderBusy& busy) {
        q = FolderBusyQuestion(busy);
      } catch (const std::bad_alloc&) {
        q = OutOfMemoryQuestion();
      }
      if (!Retried(q)) return false;
    }
  }

 private:
  Question ErrorQuestion(const std::string& description, bool lowerValues) const;
  Question ArithmeticQuestion(const ArithmeticError& e) const;
  Question FileQuestion(const files::FileError& e) const;
  Question FolderBusyQuestion(const FolderBusy& busy) const;
  Question OutOfMemoryQuestion() const;
  // The user's answer: true for Retry, false for Ignore; Abort throws.
  bool Retried(const Question& q);

  RunHost& host_;
  const Language lang_;
};

}  // namespace lorvant
