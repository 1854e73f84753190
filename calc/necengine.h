// Running the NEC-2 engine on a deck. The engine is nec2c, an outside
// program found on PATH and started without a shell in a private temporary
// folder; tests put a fake engine with fixed output in its place.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "calc/common.h"

namespace lorvant::nec {

inline constexpr const char* kEngineName = "nec2c";

// A new folder below the system's temporary folder that only this user can
// enter, removed with everything in it when the object goes.
class PrivateFolder {
 public:
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  // The folder with a trailing "/"; empty when it could not be made.
  std::string path() const { return path_.empty() ? path_ : path_ + "/"; }

 private:
  std::string path_;
};

struct EngineResult {
  enum class Status {
    Completed,  // the engine ended normally; `output` is all it wrote
    Missing,    // no engine to run
    Failed,     // it could not start or ended with an error; see `message`
    Cancelled,  // the progress callback asked to stop
  };
  Status status = Status::Failed;
  std::string output;
  std::string message;
};

// Called now and then while the engine runs, with the number of
// frequencies solved so far; false stops the engine.
using EngineProgress = std::function<bool(int solved)>;

class Engine {
 public:
  virtual ~Engine() = default;
  virtual EngineResult run(const std::string& deck, const EngineProgress& progress) = 0;
};

// nec2c as a child process.
class Nec2cEngine final : public Engine {
 public:
  // `program`: the engine's path; empty: looked up on PATH at every run.
  explicit Nec2cEngine(std::string program = {}) : program_(std::move(program)) {}
  EngineResult run(const std::string& deck, const EngineProgress& progress) override;

 private:
  std::string program_;
};

// The first executable file `name` in the folders of `path` (colon
// separated, as in PATH; an empty entry is the current folder); empty when
// there is none.
std::string FindOnPath(std::string_view name, std::string_view path);
// nec2c on this process's PATH; empty when not found.
std::string FindEngine();

// "nec2c wurde nicht gefunden ... apt install nec2c ..." naming the deck
// that was written all the same (`deckPath` empty: none).
std::string EngineMissingText(Language lang, const std::string& deckPath);
// "nec2c ist mit einem Fehler beendet worden: <message>".
std::string EngineFailedText(Language lang, const std::string& message);

}  // namespace lorvant::nec
