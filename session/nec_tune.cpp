#include "session/nec_tune.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <string_view>

#include "engine/nec/swr.h"

namespace lorvant::nec {

namespace {

double Millimetres(double m) { return std::round(m * 1000) / 1000; }

// The decks of several checks as one: each ends in "EN", which becomes the
// "NX" that starts the next one's first structure.
std::string JoinedDecks(const std::vector<const std::string*>& decks) {
  std::string all;
  for (std::size_t i = 0; i < decks.size(); ++i) {
    std::string_view deck = *decks[i];
    if (i + 1 < decks.size()) {
      const std::size_t end = deck.rfind("EN\n");
      all.append(deck.substr(0, end));
      all += "NX\n";
    } else {
      all.append(deck);
    }
  }
  return all;
}

// The output of several structures cut where the engine starts each anew
// (its title box); what comes before the first goes with the first.
std::vector<std::string_view> StructureOutputs(std::string_view output) {
  static constexpr std::string_view kTitle = "NUMERICAL ELECTROMAGNETICS CODE";
  std::vector<std::size_t> starts;
  for (std::size_t at = output.find(kTitle); at != std::string_view::npos; at = output.find(kTitle, at + 1)) {
    const std::size_t line = output.rfind('\n', at);
    starts.push_back(starts.empty() ? 0 : line == std::string_view::npos ? 0 : line + 1);
  }
  std::vector<std::string_view> parts;
  for (std::size_t i = 0; i < starts.size(); ++i)
    parts.push_back(output.substr(starts[i], (i + 1 < starts.size() ? starts[i + 1] : output.size()) - starts[i]));
  return parts;
}

// The parts of one check's structures as one piece of output.
std::string_view Piece(std::string_view output, const std::vector<std::string_view>& parts, std::size_t first,
                       std::size_t count) {
  if (first >= parts.size()) return {};
  const std::size_t last = std::min(first + count, parts.size()) - 1;
  const std::size_t from = static_cast<std::size_t>(parts[first].data() - output.data());
  const std::size_t to = static_cast<std::size_t>(parts[last].data() - output.data()) + parts[last].size();
  return output.substr(from, to - from);
}

}  // namespace

Candidate CandidateAt(const TunePoint& p, const Design& design, const Settings& settings) {
  Candidate c{design, settings};
  // The run's length stays as the run gave it, so that a start is the
  // check's own design to the last digit.
  if (p.length != TypedDecimal(design.length)) c.design.length = static_cast<float>(Millimetres(p.length));
  c.settings.feed = Millimetres(p.feedFraction * TypedDecimal(c.design.length));
  return c;
}

std::vector<TunePoint> TuneStarts(const Design& design, std::optional<double> feed) {
  const double length = TypedDecimal(design.length);
  std::vector<TunePoint> starts;
  for (const FeedCandidate& c : design.proposedFeeds) starts.push_back({length, c.x / length});
  if (feed) starts.push_back({length, *feed / length});
  return starts;
}

std::vector<SolvedCandidate> SolveCandidates(std::span<const TunePoint> points, const Design& design,
                                             const Settings& settings, Engine& engine, const KeepGoing& keepGoing) {
  std::vector<SolvedCandidate> solved;
  std::vector<const std::string*> decks;
  std::vector<std::size_t> modelled;
  for (const TunePoint& p : points) {
    SolvedCandidate s{CandidateAt(p, design, settings), {}, std::nullopt, nullptr};
    try {
      s.plan = PrepareCheck(s.candidate.design, s.candidate.settings);
      modelled.push_back(solved.size());
    } catch (const ModelError&) {
      s.failure = std::current_exception();
    }
    solved.push_back(std::move(s));
  }
  if (modelled.empty()) return solved;
  for (std::size_t i : modelled) decks.push_back(&solved[i].plan.deck);

  EngineResult r = engine.run(JoinedDecks(decks), [&](int) { return !keepGoing || keepGoing(); });
  if (r.status != EngineResult::Status::Completed) throw TuneEngineError(std::move(r));
  const std::vector<std::string_view> parts = StructureOutputs(r.output);
  std::size_t next = 0;
  for (std::size_t i : modelled) {
    SolvedCandidate& s = solved[i];
    const std::size_t count = s.plan.model.structures.size();
    try {
      s.result = Evaluate(s.candidate.design, s.candidate.settings, s.plan, Piece(r.output, parts, next, count));
    } catch (const ImpedanceError&) {
      s.failure = std::current_exception();
    }
    next += count;
  }
  return solved;
}

NecTuneEvaluator::NecTuneEvaluator(const Design& design, const Settings& settings, std::vector<BandWeight> weights,
                                   EngineMaker makeEngine, KeepGoing keepGoing)
    : design_(design),
      settings_(settings),
      weights_(std::move(weights)),
      makeEngine_(std::move(makeEngine)),
      keepGoing_(std::move(keepGoing)) {}

std::vector<TuneScore> NecTuneEvaluator::evaluate(std::span<const TunePoint> batch) {
  // Every candidate has the check's frequencies; the start's plan counts them.
  const int perCandidate = std::max(PlanFrequencies(design_.bands, design_.segment, design_.extraBand,
                                                    design_.extraFrequency, settings_.sweepPoints, settings_.region)
                                        .count(),
                                    1);
  const std::size_t chunk = static_cast<std::size_t>(std::max(kMaxTuneFrequenciesPerRun / perCandidate, 1));
  std::vector<TuneScore> scores;
  for (std::size_t from = 0; from < batch.size(); from += chunk) {
    const std::unique_ptr<Engine> engine = makeEngine_();
    ++engineRuns_;
    const std::size_t count = std::min(chunk, batch.size() - from);
    const auto began = std::chrono::steady_clock::now();
    const std::vector<SolvedCandidate> solved =
        SolveCandidates(batch.subspan(from, count), design_, settings_, *engine, keepGoing_);
    engineSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    for (const SolvedCandidate& s : solved)
      scores.push_back(s.result ? ScoreOf(*s.result, s.candidate.settings.balunRatio, weights_) : TuneScore{});
  }
  return scores;
}

std::vector<TuneScore> ProgressEvaluator::evaluate(std::span<const TunePoint> batch) {
  std::vector<TuneScore> scores = inner_.evaluate(batch);
  for (std::size_t i = 0; i < scores.size() && i < batch.size(); ++i)
    if (!any_ || Better(scores[i], batch[i], best_, bestPoint_)) {
      any_ = true;
      best_ = scores[i];
      bestPoint_ = batch[i];
    }
  evaluations_ += static_cast<int>(batch.size());
  tell();
  return scores;
}

void ProgressEvaluator::tell() {
  if (progress_ && any_) progress_(evaluations_, best_, bestPoint_);
}

std::unique_ptr<TuneEvaluator> ProgressEvaluator::counting(TuneEvaluator& coarse) {
  class Counting final : public TuneEvaluator {
   public:
    Counting(ProgressEvaluator& owner, TuneEvaluator& inner) : owner_(owner), inner_(inner) {}
    std::vector<TuneScore> evaluate(std::span<const TunePoint> batch) override {
      std::vector<TuneScore> scores = inner_.evaluate(batch);
      owner_.evaluations_ += static_cast<int>(batch.size());
      owner_.tell();
      return scores;
    }

   private:
    ProgressEvaluator& owner_;
    TuneEvaluator& inner_;
  };
  return std::make_unique<Counting>(*this, coarse);
}

Settings SearchSettings(const Settings& check) {
  Settings s = check;
  s.resonanceSearch = false;
  if (s.sweepPoints < 0 || s.sweepPoints > kTuneSweepPoints) s.sweepPoints = kTuneSweepPoints;
  return s;
}

std::optional<Settings> CoarseSearchSettings(const Settings& check) {
  if (!IsRealGround(check.ground)) return std::nullopt;
  Settings s = SearchSettings(check);
  s.groundMethod = RealGroundMethod::ReflectionCoefficient;
  return s;
}

TunedDesign TuneDesign(const Design& design, const Settings& settings, const TuneRequest& request,
                       const EngineMaker& makeEngine, const KeepGoing& keepGoing) {
  const auto began = std::chrono::steady_clock::now();
  const std::vector<TunePoint> starts = TuneStarts(design, request.feed);
  if (starts.empty()) throw ModelError(ModelError::Kind::FeedOutside, 0);
  const Settings searching = SearchSettings(settings);
  NecTuneEvaluator evaluator(design, searching, request.weights, makeEngine, keepGoing);
  const std::optional<Settings> roughly = request.coarseStage ? CoarseSearchSettings(settings) : std::nullopt;
  std::optional<NecTuneEvaluator> coarse;
  if (roughly) coarse.emplace(design, *roughly, request.weights, makeEngine, keepGoing);
  // The progress counts the candidates of both; the best it tells is the
  // chosen ground's.
  ProgressEvaluator told(evaluator, request.progress);
  const std::unique_ptr<TuneEvaluator> toldCoarse = coarse ? told.counting(*coarse) : nullptr;
  const TuneOutcome outcome =
      Tune(starts, BoundsAround(TypedDecimal(design.length)), request.options, told, toldCoarse.get());

  TunedDesign t;
  t.start.point = outcome.start;
  t.start.score = outcome.startScore;
  t.tuned.point = outcome.best;
  t.tuned.score = outcome.bestScore;
  const TunePoint both[] = {t.start.point, t.tuned.point};
  const std::unique_ptr<Engine> engine = makeEngine();
  const auto checking = std::chrono::steady_clock::now();
  std::vector<SolvedCandidate> solved = SolveCandidates(both, design, settings, *engine, keepGoing);
  const double checkSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - checking).count();
  CheckedCandidate* sides[] = {&t.start, &t.tuned};
  for (std::size_t i = 0; i < 2; ++i) {
    CheckedCandidate& c = *sides[i];
    SolvedCandidate& s = solved[i];
    // Only a start that could not be checked comes without a result: the
    // best of the starts when none could.
    if (!s.result) std::rethrow_exception(s.failure);
    c.candidate = std::move(s.candidate);
    c.plan = std::move(s.plan);
    c.result = std::move(*s.result);
    // Scored again on the check's own frequencies, as reported; weights
    // may choose another ratio than the unweighted worst would.
    c.score = ScoreOf(c.result, c.candidate.settings.balunRatio, request.weights);
    if (!c.candidate.settings.balunRatio && c.score.valid && c.result.balunRatio != c.score.balunRatio) {
      SettleBalun(c.result, c.score.balunRatio);
      c.result.balunChosen = true;
    }
  }
  // The search's points may rank the two otherwise than the check's: the
  // tuned design is never reported worse than the start.
  if (Better(t.start.score, t.start.point, t.tuned.score, t.tuned.point)) t.tuned = t.start;
  t.evaluations = outcome.evaluations;
  t.coarseEvaluations = outcome.coarseEvaluations;
  t.engineRuns = evaluator.engineRuns() + (coarse ? coarse->engineRuns() : 0) + 1;
  t.engineSeconds = evaluator.engineSeconds() + (coarse ? coarse->engineSeconds() : 0) + checkSeconds;
  t.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  return t;
}

double TunedShorteningFactor(const Design& design, double tunedLength) {
  const double whole = design.reportData.n > 1 ? design.reportData.n - 1.0 : 0.0;
  return (whole + design.shorteningFactor) * tunedLength / TypedDecimal(design.length) - whole;
}

}  // namespace lorvant::nec
