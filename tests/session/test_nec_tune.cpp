// The tuning with the engine: candidates as the check takes them, a batch
// in one deck read back per candidate as each one's own check (nec2c where
// installed), a failing engine, and the shortening factor that makes the run
// give the tuned length.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "engine/nec/tune.h"
#include "io/engine_runner.h"
#include "session/nec_tune.h"
#include "tests/session/nec_support.h"
#include "text/format.h"
#include "tools/fake_engine/FakeNecEngine.h"

namespace lorvant {
namespace {

#define SKIP_WITHOUT_NEC2C() \
  if (nec::FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)"

// The captured 20.07 m design over perfect ground: quick for nec2c.
nec::Settings QuickSettings() {
  nec::Settings s = test::CapturedSettings();
  s.ground = nec::Ground::Perfect;
  return s;
}

// A search of few candidates: a 3 x 3 grid and coarse steps.
nec::TuneRequest QuickRequest(const nec::Settings& settings) {
  nec::TuneRequest request;
  request.feed = settings.feed;
  request.options.gridLengths = request.options.gridFeeds = 3;
  request.options.lengthResolution = 0.5;
  request.options.feedResolution = 0.05;
  return request;
}

TEST(NecTuneCandidate, TheRunsLengthStaysOthersAndFeedPointsGoToTheMillimetre) {
  nec::Design design = test::CapturedDesign();
  design.proposedFeeds = {FeedCandidate{.x = 6.77f}, FeedCandidate{.x = 13.3f}};
  const nec::Settings settings = QuickSettings();
  const double length = nec::TypedDecimal(design.length);

  const std::vector<nec::TunePoint> starts = nec::TuneStarts(design, 7.06);
  ASSERT_EQ(starts.size(), 3u);
  const std::vector<double> feeds = {nec::TypedDecimal(6.77f), nec::TypedDecimal(13.3f), 7.06};
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const nec::Candidate c = nec::CandidateAt(starts[i], design, settings);
    EXPECT_EQ(c.design.length, design.length) << "a start is the run's design to the last digit";
    EXPECT_DOUBLE_EQ(c.settings.feed, std::round(feeds[i] * 1000) / 1000);
  }
  EXPECT_EQ(nec::TuneStarts(design, std::nullopt).size(), 2u);

  const nec::Candidate other = nec::CandidateAt({length * 1.0371234, 0.23456}, design, settings);
  EXPECT_EQ(nec::TypedDecimal(other.design.length), std::round(length * 1.0371234 * 1000) / 1000);
  EXPECT_DOUBLE_EQ(other.settings.feed, std::round(0.23456 * nec::TypedDecimal(other.design.length) * 1000) / 1000);
  // Everything else is the design's and the settings'.
  EXPECT_EQ(other.settings.hanging, settings.hanging);
  EXPECT_EQ(other.design.bands, design.bands);
}

TEST(NecTuneBatch, EachCandidateOfOneDeckReadsAsItsOwnCheck) {
  SKIP_WITHOUT_NEC2C();
  const nec::Design design = test::CapturedDesign();
  const nec::Settings settings = QuickSettings();
  const double length = nec::TypedDecimal(design.length);
  // The second cannot be modelled: fed 2 mm from the wire's start.
  const std::vector<nec::TunePoint> points = {{length, 0.35}, {length, 0.0001}, {length * 1.05, 0.2}, {length, 0.5}};

  nec::Nec2cEngine one({}, nec::kDefaultEngineTimeout, 1), three({}, nec::kDefaultEngineTimeout, 3);
  const std::vector<nec::SolvedCandidate> a = nec::SolveCandidates(points, design, settings, one, {});
  const std::vector<nec::SolvedCandidate> b = nec::SolveCandidates(points, design, settings, three, {});
  ASSERT_EQ(a.size(), points.size());
  ASSERT_EQ(b.size(), points.size());
  EXPECT_FALSE(a[1].result);
  ASSERT_TRUE(a[1].failure);
  EXPECT_THROW(std::rethrow_exception(a[1].failure), nec::ModelError);

  for (std::size_t i : {0u, 2u, 3u}) {
    ASSERT_TRUE(a[i].result && b[i].result) << i;
    // Alone, as `nec` checks it.
    const nec::Plan plan = nec::PrepareCheck(a[i].candidate.design, a[i].candidate.settings);
    EXPECT_EQ(plan.deck, a[i].plan.deck);
    const nec::EngineResult alone = nec::Nec2cEngine().run(plan.deck, {});
    ASSERT_EQ(alone.status, nec::EngineResult::Status::Completed);
    const nec::Result own = nec::Evaluate(a[i].candidate.design, a[i].candidate.settings, plan, alone.output);
    for (const nec::Result* r : {&*a[i].result, &*b[i].result}) {
      ASSERT_EQ(r->bands.size(), own.bands.size());
      ASSERT_EQ(r->sweep.size(), own.sweep.size());
      for (std::size_t k = 0; k < own.bands.size(); ++k)
        EXPECT_EQ(r->bands[k].solved.impedance, own.bands[k].solved.impedance) << i << ' ' << k;
      for (std::size_t k = 0; k < own.sweep.size(); ++k)
        EXPECT_EQ(r->sweep[k].impedance, own.sweep[k].impedance) << i << ' ' << k;
      EXPECT_EQ(r->worstSwr, own.worstSwr);
      EXPECT_EQ(r->balunRatio, own.balunRatio);
    }
  }
  // Different candidates, different answers: the pieces are not mixed up.
  EXPECT_NE(a[0].result->bands[0].solved.impedance, a[3].result->bands[0].solved.impedance);
}

TEST(NecTuneSearch, CandidatesAreScoredOnEdgesAndCentresWithoutTheResonanceSearch) {
  const nec::Design design = test::CapturedDesign();
  nec::Settings check = test::CapturedSettings();
  const auto kinds = [&](const nec::Settings& s) {
    std::array<int, 3> n{};
    for (const nec::FrequencyStep& step : nec::PrepareCheck(design, s).frequencies.steps)
      n[static_cast<std::size_t>(step.kind)] += step.count;
    return n;
  };
  // The captured check: 7 and 14 MHz, their own frequencies, five points
  // each and the 7 MHz band's four search frequencies.
  check.sweepPoints = 5;
  EXPECT_EQ(kinds(check), (std::array<int, 3>{2, 10, 4}));
  EXPECT_EQ(kinds(nec::SearchSettings(check)), (std::array<int, 3>{2, 6, 0}));
  check.sweepPoints = 2;
  EXPECT_EQ(kinds(nec::SearchSettings(check)), (std::array<int, 3>{2, 4, 0}));
  check.sweepPoints = 0;
  EXPECT_EQ(kinds(nec::SearchSettings(check)), (std::array<int, 3>{2, 0, 0}));
  // What the check itself reports keeps its search.
  EXPECT_TRUE(check.resonanceSearch);
}

TEST(NecTuneSearch, TheReportedFiguresAreTheChecksOwnAndNeverWorseThanTheStart) {
  SKIP_WITHOUT_NEC2C();
  const nec::Design design = test::CapturedDesign();
  const nec::Settings settings = QuickSettings();
  nec::TuneRequest request = QuickRequest(settings);
  const nec::TunedDesign t =
      nec::TuneDesign(design, settings, request, [] { return std::make_unique<nec::Nec2cEngine>(); });
  for (const nec::CheckedCandidate* c : {&t.start, &t.tuned}) {
    // Checked with the check's points and its resonance search, and scored
    // on them.
    EXPECT_EQ(c->plan.frequencies.count(), nec::PrepareCheck(design, settings).frequencies.count());
    const nec::TuneScore again = nec::ScoreOf(c->result, c->candidate.settings.balunRatio, {});
    EXPECT_EQ(c->score.worstSwr, again.worstSwr);
    EXPECT_EQ(c->score.usableBands, again.usableBands);
  }
  EXPECT_FALSE(nec::Better(t.start.score, t.start.point, t.tuned.score, t.tuned.point));
}

// Scores a candidate by its distance from 0.3 of the length: the nearer,
// the lower the worst SWR; a feed point beyond half the wire is invalid.
class DistanceEvaluator final : public nec::TuneEvaluator {
 public:
  std::vector<nec::TuneScore> evaluate(std::span<const nec::TunePoint> batch) override {
    std::vector<nec::TuneScore> scores;
    for (const nec::TunePoint& p : batch) {
      nec::TuneScore s;
      s.valid = p.feedFraction <= 0.5;
      s.usableBands = s.valid ? 3 : 0;
      if (s.valid) s.worstSwr = 1 + std::abs(p.feedFraction - 0.3) * 10;
      scores.push_back(s);
    }
    return scores;
  }
};

TEST(NecTuneProgress, EveryBatchIsToldWithTheBestSoFar) {
  DistanceEvaluator inner;
  struct Told {
    int evaluations;
    double worstSwr;
    nec::TunePoint point;
  };
  std::vector<Told> told;
  nec::ProgressEvaluator evaluator(inner, [&](int n, const nec::TuneScore& best, const nec::TunePoint& at) {
    told.push_back({n, best.worstSwr, at});
  });
  const nec::TunePoint first[] = {{20, 0.6}, {20, 0.1}};
  const nec::TunePoint second[] = {{20, 0.45}, {20, 0.28}, {20, 0.9}};
  const nec::TunePoint third[] = {{20, 0.5}};
  EXPECT_EQ(evaluator.evaluate(first).size(), 2u);
  evaluator.evaluate(second);
  evaluator.evaluate(third);
  ASSERT_EQ(told.size(), 3u);
  // The invalid first candidate never ranks before a valid one.
  EXPECT_EQ(told[0].evaluations, 2);
  EXPECT_EQ(told[0].point, (nec::TunePoint{20, 0.1}));
  EXPECT_EQ(told[1].evaluations, 5);
  EXPECT_EQ(told[1].point, (nec::TunePoint{20, 0.28}));
  // A worse batch leaves the best as it was.
  EXPECT_EQ(told[2].evaluations, 6);
  EXPECT_EQ(told[2].point, (nec::TunePoint{20, 0.28}));
  EXPECT_DOUBLE_EQ(told[2].worstSwr, 1 + 0.02 * 10);
}

// Over the fake engine, whose structures each open with the engine's title
// as nec2c's do: the batches are cut apart as the real engine's are.
TEST(NecTuneProgress, TuneDesignTellsEveryBatchUpToItsLastCandidate) {
  const nec::Design design = test::CapturedDesign();
  const nec::Settings settings = QuickSettings();
  nec::TuneRequest request = QuickRequest(settings);
  struct Told {
    int evaluations;
    nec::TuneScore best;
    nec::TunePoint at;
  };
  std::vector<Told> told;
  request.progress = [&](int n, const nec::TuneScore& best, const nec::TunePoint& at) {
    told.push_back({n, best, at});
  };
  int engines = 0;
  const nec::TunedDesign t = nec::TuneDesign(design, settings, request, [&] {
    ++engines;
    return std::make_unique<test::FakeNecEngine>();
  });
  EXPECT_EQ(engines, t.engineRuns);
  ASSERT_GE(told.size(), 2u);
  for (std::size_t i = 1; i < told.size(); ++i) {
    EXPECT_GT(told[i].evaluations, told[i - 1].evaluations);
    // The best so far never gets worse.
    EXPECT_FALSE(nec::Better(told[i - 1].best, told[i - 1].at, told[i].best, told[i].at));
  }
  EXPECT_EQ(told.back().evaluations, t.evaluations);
  // The search's best is the tuned design unless the start ranks first on
  // the check's own frequencies.
  EXPECT_TRUE(told.back().at == t.tuned.point || t.tuned.point == t.start.point);
}

TEST(NecTuneBatch, AFailingEngineEndsTheTuning) {
  const nec::Design design = test::CapturedDesign();
  const nec::Settings settings = QuickSettings();
  nec::NecTuneEvaluator evaluator(design, settings, {}, [] {
    auto engine = std::make_unique<test::FakeNecEngine>();
    engine->fails = true;
    return engine;
  });
  const nec::TunePoint p{20, 0.3};
  try {
    evaluator.evaluate(std::span(&p, 1));
    ADD_FAILURE() << "no TuneEngineError";
  } catch (const nec::TuneEngineError& e) {
    EXPECT_EQ(e.result.status, nec::EngineResult::Status::Failed);
    EXPECT_NE(e.result.message.find("floating point"), std::string::npos);
  }
  EXPECT_EQ(evaluator.engineRuns(), 1);
}

// The run's length for the inputs with another Vk.
float RunLength(RunInput in, float vk) {
  in.shorteningFactor = report::FormatPicture(vk, "0.000000", in.decimalSeparator);
  test::ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  return out.length;
}

TEST(NecTuneVk, TheRunGivesTheTunedLengthWithTheTunedVk) {
  for (const char* halfWaves : {"1", "3"}) {
    test::TempFolder folder;
    RunInput in = test::TypicalInput(folder.str());
    in.halfWaves = halfWaves;
    test::ScriptedHost host;
    const RunOutput out = RunOptimisation(in, host);
    ASSERT_EQ(out.outcome, RunOutcome::Completed);
    const nec::Design design = nec::DesignFromRun(in, out);
    // Vk' stays below 1 for three half-waves too.
    for (double factor : {0.97, 1.0, 1.015}) {
      const double tuned = nec::TypedDecimal(out.length) * factor;
      const double vk = nec::TunedShorteningFactor(design, tuned);
      // Vk as typed to six decimals moves the length by a few micrometres.
      EXPECT_NEAR(RunLength(in, static_cast<float>(vk)), tuned, 1e-4) << halfWaves << " half-waves, " << factor;
    }
  }
}

}  // namespace
}  // namespace lorvant
