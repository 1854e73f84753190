// Ctrl-C (SIGINT), SIGTERM and SIGHUP during a long calculation of the batch tool:
// the calculation stops at its next progress call, so that what was
// written or printed so far stays whole.
#pragma once

#include "engine/common.h"

namespace lorvant::cli {

// Routes SIGINT, SIGTERM and SIGHUP to a stop request for its lifetime.
class StopOnSignal {
 public:
  StopOnSignal();
  ~StopOnSignal();
  StopOnSignal(const StopOnSignal&) = delete;
  StopOnSignal& operator=(const StopOnSignal&) = delete;

 private:
  void (*previousInt_)(int);
  void (*previousTerm_)(int);
  void (*previousHup_)(int);
};

// Whether a stop was requested since the last StopOnSignal began.
bool StopRequested();

// The message of a calculation stopped this way.
const char* StoppedBySignalText(Language lang);

}  // namespace lorvant::cli
