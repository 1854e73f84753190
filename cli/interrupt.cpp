#include "cli/interrupt.h"
#include "text/catalogue.h"

#include <csignal>

namespace lorvant::cli {

namespace {

volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void RequestStop(int) { gStopRequested = 1; }

}  // namespace

StopOnSignal::StopOnSignal() {
  gStopRequested = 0;
  previousInt_ = std::signal(SIGINT, RequestStop);
  previousTerm_ = std::signal(SIGTERM, RequestStop);
  // A closed terminal is a request to stop like any other.
  previousHup_ = std::signal(SIGHUP, RequestStop);
}

StopOnSignal::~StopOnSignal() {
  std::signal(SIGINT, previousInt_);
  std::signal(SIGTERM, previousTerm_);
  std::signal(SIGHUP, previousHup_);
}

bool StopRequested() { return gStopRequested != 0; }

const char* StoppedBySignalText(Language lang) { return say(lang, Text::StoppedBySignal); }

}  // namespace lorvant::cli
