// Tuning a checked design with nec2c: every candidate of the search
// (engine/nec/tune.h) is the check's own deck for that length and feed
// point (PrepareCheck), evaluated as the check evaluates it, so that its
// numbers are what `nec` gives for it.
//
// The candidates of a batch go into one deck, their structures one after
// the other (NX between them), which the engine cuts into balanced parts
// for its parallel processes (Nec2cEngine, SplitDeck): a batch costs one
// start per process instead of one per candidate, and the processes share
// the work whatever each candidate costs. Each structure is solved alone,
// so a candidate's numbers do not depend on the batch or the processes.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "engine/nec/tune.h"
#include "engine/nec/tune_score.h"
#include "io/engine_runner.h"
#include "session/nec_check.h"

namespace lorvant::nec {

// An engine run that did not complete ends the tuning: its result says why.
class TuneEngineError : public std::runtime_error {
 public:
  explicit TuneEngineError(EngineResult r) : std::runtime_error("NEC-2 engine"), result(std::move(r)) {}
  EngineResult result;
};

// A new engine for one batch's deck.
using EngineMaker = std::function<std::unique_ptr<Engine>()>;
// Asked now and then while the engines run; false stops them.
using KeepGoing = std::function<bool()>;

// One candidate as the check takes it: the design with the candidate's
// length (the run's own when it is the run's, else to the millimetre) and
// the settings with its feed point (to the millimetre).
struct Candidate {
  Design design;
  Settings settings;
};
Candidate CandidateAt(const TunePoint& p, const Design& design, const Settings& settings);

// Where the search starts: the run's length fed at each of its proposed
// feed points and at `feed` when given.
std::vector<TunePoint> TuneStarts(const Design& design, std::optional<double> feed);

// Candidates checked in one engine run: in their order, each with its plan
// and its result; no result for one that cannot be modelled or that the
// engine answered with no usable impedance. Throws TuneEngineError,
// OutputError.
struct SolvedCandidate {
  Candidate candidate;
  Plan plan;
  std::optional<Result> result;
  std::exception_ptr failure;  // without a result: the ModelError or ImpedanceError
};
std::vector<SolvedCandidate> SolveCandidates(std::span<const TunePoint> points, const Design& design,
                                             const Settings& settings, Engine& engine, const KeepGoing& keepGoing);

// The search scores each candidate over its bands' edges and centres (or
// fewer points when the check asks for fewer), without the resonance
// search: some 40 % less engine work on four bands than the check's
// default five points. The start and the tuned design are then checked
// with the check's own frequencies, and those figures are reported.
inline constexpr int kTuneSweepPoints = 3;
Settings SearchSettings(const Settings& check);

// Over a real ground the grid and the long first steps of the walks
// (TuneOptions::coarse...) solve the ground with reflection coefficients
// instead of Sommerfeld-Norton: on the 80/40/20/10 m OCF at 10 m over
// average ground nec2c then takes a fraction of the time per candidate,
// and the two rank the grid alike (bench/nec/bench_tune measures both).
// The last steps, the start and every reported figure are the chosen
// ground's. Empty when the ground is no real one.
std::optional<Settings> CoarseSearchSettings(const Settings& check);

// Frequencies at most in one engine run: its output (some 3.5 kB each) then
// stays well within what an engine may write (kMaxOutputBytes per process).
inline constexpr int kMaxTuneFrequenciesPerRun = 4000;

class NecTuneEvaluator final : public TuneEvaluator {
 public:
  NecTuneEvaluator(const Design& design, const Settings& settings, std::vector<BandWeight> weights,
                   EngineMaker makeEngine, KeepGoing keepGoing = {});
  // Throws TuneEngineError, OutputError.
  std::vector<TuneScore> evaluate(std::span<const TunePoint> batch) override;
  int engineRuns() const { return engineRuns_; }
  // Wall time spent waiting for the engines, s.
  double engineSeconds() const { return engineSeconds_; }

 private:
  const Design& design_;
  const Settings& settings_;
  std::vector<BandWeight> weights_;
  EngineMaker makeEngine_;
  KeepGoing keepGoing_;
  int engineRuns_ = 0;
  double engineSeconds_ = 0;
};

// A candidate checked in full.
struct CheckedCandidate {
  TunePoint point;
  Candidate candidate;
  Plan plan;
  Result result;
  TuneScore score;
};

struct TunedDesign {
  CheckedCandidate start, tuned;
  int evaluations = 0;        // candidates the search scored
  int coarseEvaluations = 0;  // of them over the reflection-coefficient ground
  int engineRuns = 0;         // decks the engine ran, the checks in full included
  double seconds = 0;         // wall time of the search and the checks
  double engineSeconds = 0;   // of it spent waiting for the engines
};

// How far the search has come: the candidates scored so far and the best
// of them (on the search's points). Called from the thread that runs
// TuneDesign, after every batch: a window hands it on to its own thread.
using TuneProgress = std::function<void(int evaluations, const TuneScore& best, const TunePoint& bestPoint)>;

struct TuneRequest {
  std::optional<double> feed;  // the user's feed point, m
  std::vector<BandWeight> weights;
  TuneOptions options;
  TuneProgress progress;  // empty: no one asks
  // Over a real ground, the coarse stage over reflection coefficients
  // (CoarseSearchSettings); without it every candidate is the chosen
  // ground's, as a measure of what the coarse stage costs in the outcome.
  bool coarseStage = true;
};

// An evaluator that tells `progress` after every batch of `inner`'s how many
// candidates were scored and which ranks first so far (nec::Better).
class ProgressEvaluator final : public TuneEvaluator {
 public:
  ProgressEvaluator(TuneEvaluator& inner, TuneProgress progress) : inner_(inner), progress_(std::move(progress)) {}
  std::vector<TuneScore> evaluate(std::span<const TunePoint> batch) override;
  // An evaluator whose batches count with this one's and are told as well;
  // its scores, on a coarser model, do not compete for the best told.
  std::unique_ptr<TuneEvaluator> counting(TuneEvaluator& coarse);

 private:
  void tell();
  TuneEvaluator& inner_;
  TuneProgress progress_;
  int evaluations_ = 0;
  bool any_ = false;
  TuneScore best_;
  TunePoint bestPoint_;
};

// Searches, then checks the start and the tuned design in full (one more
// engine run): the result's balun is the one the score chose (marked chosen
// unless given).
// Throws TuneEngineError, OutputError, ImpedanceError (a start or the tuned
// design answered with no usable impedance), ModelError (no start could be
// modelled).
TunedDesign TuneDesign(const Design& design, const Settings& settings, const TuneRequest& request,
                       const EngineMaker& makeEngine, const KeepGoing& keepGoing = {});

// The shortening factor that makes the run give the tuned length. The
// run's length for the preferred frequency f0 with the calculator off is
// (n - 1 + Vk) * 150 / f0 (times 1 - 2 ins for an insulated wire): for one
// half-wave it scales with Vk, design Vk * tuned length / start length, and
// for n half-waves Vk' = (n - 1 + Vk) * tuned / start - (n - 1). Exact to
// single precision for a bare wire; the insulation's fraction itself
// shrinks as 1 / Vk, so there it is a first step; the other length modes and
// the calculator set the length by other rules.
double TunedShorteningFactor(const Design& design, double tunedLength);

}  // namespace lorvant::nec
