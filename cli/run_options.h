// The design options of `lorvant-calc run` (the main form's fields, the
// answers to the run's questions, the shortening-factor calculator and the
// presentation), shared by every subcommand that runs the optimisation
// first, and the batch side of the run: its host and the Ctrl-C handling.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/interrupt.h"
#include "cli/options.h"
#include "cli/shared_options.h"
#include "session/question.h"
#include "session/run.h"

namespace lorvant {
class BitmapCanvas;
}

namespace lorvant::cli {

// Every design option of the run, as typed.
struct RunOptions {
  SharedInputs shared;
  std::optional<std::string> out;
  std::optional<std::string> wireLength, tolerance, outerDiameter, dielectric, conductor;
  bool equalImpedances = false, windom = false, specialTable = false, json = false, allowLarge = false;
  Answer extraBandAnswer = Answer::No;
  Answer segmentAnswer = Answer::No;
  Answer dielectricAnswer = Answer::Yes;
  std::optional<std::string> calculatorHeight, calculatorDiameter;
  bool groundCorrection = false;
};

// Declares the options after --out and --json: the sections "Main form",
// "Questions of the run", "Shortening-factor calculator" and "Presentation".
void DeclareDesignOptions(OptionParser& p, RunOptions& o);

// The run's inputs from the parsed options (folders and date left to the
// caller's folder and the --date option). Throws UsageError for options that
// contradict each other.
RunInput MakeRunInput(const RunOptions& o);

// The user's side of the run without a window: the questions get the
// answers given on the command line, a failing step is aborted, the picture
// (when wanted) is drawn into pixels in memory.
class BatchHost : public RunHost {
 public:
  BatchHost(const RunOptions& o, Language lang, bool drawPicture = true);
  ~BatchHost() override;

  Answer ask(const Question& q) override;
  Answer errorHandler(const Question& q) override;
  Canvas& canvas() override;
  bool progress(double) override { return !StopRequested(); }
  bool stopRequested() override { return StopRequested(); }

  std::optional<Question> lastError;

 private:
  const RunOptions& o_;
  Language lang_;
  std::unique_ptr<BitmapCanvas> canvas_;
};

// Why a run ended without a result, in the run's language.
std::string NoResultMessage(const RunOutput& r, const BatchHost& host, Language lang);

}  // namespace lorvant::cli
