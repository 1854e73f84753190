// Running the NEC-2 engine on a deck. The engine is nec2c, an outside
// program found on PATH and started without a shell in a private temporary
// folder; tests put a fake engine with fixed output in its place.
// The engine is supervised: it runs in a process group of its own that dies
// with this program, is stopped when it solves no new frequency for a
// while, and its output is read piece by piece within a bound.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common.h"

namespace lorvant::nec {

inline constexpr const char* kEngineName = "nec2c";

// A new folder below the system's temporary folder that only this user can
// enter, removed with everything in it when the object goes. Its name
// carries the process id ("lorvant-nec-PID-XXXXXX"), so that the folders of
// a process that was killed are removed by the next one (see
// RemoveStalePrivateFolders).
class PrivateFolder {
 public:
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  // The folder with a trailing "/"; empty when it could not be made.
  std::string path() const { return path_.empty() ? path_ : path_ + "/"; }
  // Where it was to be made, and why it could not be (0 when it was).
  const std::string& base() const { return base_; }
  int error() const { return error_; }

 private:
  std::string base_;
  std::string path_;
  int error_ = 0;
};

// Removes this user's private folders in `base` whose process has ended, or
// that are older than a day (the process id may have been reused since).
// Returns how many were removed.
std::size_t RemoveStalePrivateFolders(const std::string& base);

// What the engine wrote that is taken at most; an engine writing more is
// stopped (the check's own output is a few kilobytes per frequency).
inline constexpr std::size_t kMaxOutputBytes = 32u << 20;
// The engine's complaints are cut to this many characters.
inline constexpr std::size_t kMaxMessageChars = 300;
// Seconds without a newly solved frequency before the engine is stopped.
inline constexpr int kDefaultEngineTimeout = 300;

struct EngineResult {
  enum class Status {
    Completed,   // the engine ended normally; `output` is all it wrote
    Missing,     // no engine to run
    NotStarted,  // the engine is there but could not be started; see `startError`
    Failed,      // it ended with an error; see `message`
    TimedOut,    // it solved no new frequency within the time-out and was stopped
    Cancelled,   // the progress callback asked to stop
  };
  Status status = Status::Failed;
  std::string output;
  std::string message;  // one line, control characters removed, cut to kMaxMessageChars
  std::string program;  // the engine that was started (or tried)
  int startError = 0;   // errno of a start that failed
  int timeout = 0;      // seconds, for TimedOut
};

// Called now and then while the engine runs, with the number of
// frequencies solved so far; false stops the engine.
using EngineProgress = std::function<bool(int solved)>;

class Engine {
 public:
  virtual ~Engine() = default;
  virtual EngineResult run(const std::string& deck, const EngineProgress& progress) = 0;
};

// At most this many engines run at once on one deck: beyond it the parts
// get too small for the processes to pay.
inline constexpr int kMaxEngineProcesses = 4;

// How many engines run at once on this machine: one per core, at least one,
// at most kMaxEngineProcesses.
int EngineProcesses();

// A deck of several structures, each ended by an "NX" card and the last by
// "EN", cut into at most `parts` decks of whole structures in their order,
// each ending in "EN", so that the parts' outputs one after the other read
// as the whole deck's. The parts are balanced by the engine's work on each
// structure, estimated from its GW, GN and FR cards (segments cubed and
// squared, and the table of a Sommerfeld-Norton ground, per frequency). A
// deck without NX comes back as it is.
std::vector<std::string> SplitDeck(const std::string& deck, int parts);

// nec2c as a child process; a deck of several structures runs in parallel
// engines (see SplitDeck), each supervised as one alone would be.
class Nec2cEngine final : public Engine {
 public:
  // `program`: the engine's path; empty: looked up on PATH at every run.
  // `timeout`: seconds without a new frequency in one engine before it is
  // stopped. `processes`: engines at most at once; 0: EngineProcesses().
  explicit Nec2cEngine(std::string program = {}, int timeout = kDefaultEngineTimeout, int processes = 0)
      : program_(std::move(program)), timeout_(timeout), processes_(processes) {}
  EngineResult run(const std::string& deck, const EngineProgress& progress) override;

 private:
  std::string program_;
  int timeout_;
  int processes_;
};

// A message of the engine fit to be shown: control characters, escape
// sequences and bytes that are no UTF-8 removed, cut to `maxChars`
// characters (then ending in "...").
std::string CleanMessage(std::string_view raw, std::size_t maxChars = kMaxMessageChars);

// The first executable file `name` in the folders of `path` (colon
// separated, as in PATH; an empty entry is the current folder); empty when
// there is none.
std::string FindOnPath(std::string_view name, std::string_view path);
// nec2c on this process's PATH; empty when not found.
std::string FindEngine();

// The interpreter a script names in its first line ("#!/bin/sh -e" gives
// "/bin/sh"); empty for anything else.
std::string ScriptInterpreter(const std::string& program);

}  // namespace lorvant::nec
