// The tuning's search on landscapes whose optimum is known: a smooth bowl,
// a rugged one with a deeper narrow well, plateaus of usable bands, regions
// that cannot be modelled; the start's guarantee, the ties, the bound on
// evaluations, and the same outcome however the batches are solved. And the
// score of a checked design: the balun, the usable bands and the weights.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <thread>

#include "engine/nec/swr.h"
#include "engine/nec/tune.h"
#include "engine/nec/tune_score.h"

namespace lorvant::nec {
namespace {

using Landscape = std::function<TuneScore(const TunePoint&)>;

// Scores every candidate of a batch with the landscape on `jobs` threads,
// each thread taking every jobs-th candidate, and keeps the batches.
class FakeEvaluator final : public TuneEvaluator {
 public:
  explicit FakeEvaluator(Landscape landscape, int jobs = 1) : landscape_(std::move(landscape)), jobs_(jobs) {}
  std::vector<TuneScore> evaluate(std::span<const TunePoint> batch) override {
    batches.emplace_back(batch.begin(), batch.end());
    std::vector<TuneScore> scores(batch.size());
    std::vector<std::thread> threads;
    for (int t = 0; t < jobs_; ++t)
      threads.emplace_back([&, t] {
        for (std::size_t i = static_cast<std::size_t>(t); i < batch.size(); i += static_cast<std::size_t>(jobs_))
          scores[i] = landscape_(batch[i]);
      });
    for (std::thread& t : threads) t.join();
    return scores;
  }
  std::vector<std::vector<TunePoint>> batches;

 private:
  Landscape landscape_;
  int jobs_;
};

TuneScore Valid(double worst, int usable = 4) { return {true, usable, worst, 1}; }

// A bowl with its lowest point, SWR 1.3, at (length, fraction).
Landscape Bowl(double length, double fraction) {
  return [=](const TunePoint& p) {
    const double dl = (p.length - length) / 2, df = (p.feedFraction - fraction) / 0.1;
    return Valid(1.3 + dl * dl + df * df);
  };
}

const TuneBounds kBounds = BoundsAround(40);  // 36 to 44 m, 5 to 50 %

TEST(TuneSearch, FindsTheLowestPointOfABowlToTheResolution) {
  // Off the grid in both directions (the grid's lengths lie 1 m apart, its
  // fractions 5 %).
  FakeEvaluator evaluator(Bowl(41.237, 0.2173));
  const TunePoint start{40, 0.3};
  const TuneOutcome out = Tune(std::span(&start, 1), kBounds, TuneOptions{}, evaluator);
  EXPECT_NEAR(out.best.length, 41.237, 0.01);
  EXPECT_NEAR(out.best.feedFraction, 0.2173, 0.001);
  EXPECT_NEAR(out.bestScore.worstSwr, 1.3, 1e-4);
  EXPECT_EQ(out.start, start);
  EXPECT_GT(out.startScore.worstSwr, out.bestScore.worstSwr);
  // The grid, the starts and the walks: all counted, none twice.
  int scored = 0;
  for (const auto& batch : evaluator.batches) scored += static_cast<int>(batch.size());
  EXPECT_EQ(out.evaluations, scored);
  EXPECT_EQ(out.batches, static_cast<int>(evaluator.batches.size()));
  EXPECT_GE(out.evaluations, 9 * 10 + 1);
  EXPECT_LT(out.evaluations, 600);
}

TEST(TuneSearch, ARuggedLandscapeGivesTheDeepWellTheGridSees) {
  // A broad valley with ripples (local minima all over it) around the
  // start and, far from it, a narrow well (1.2 m by 8 %) that goes deeper.
  const auto rugged = [](const TunePoint& p) {
    const double broad = 2.0 + std::pow((p.length - 38.5) / 3, 2) + std::pow((p.feedFraction - 0.3) / 0.2, 2);
    const double dl = (p.length - 42.6) / 0.3, df = (p.feedFraction - 0.12) / 0.02;
    const double well = 1.0 + 0.2 * (dl * dl + df * df);
    const double ripple = 0.005 * std::sin(p.length * 20) * std::cos(p.feedFraction * 150);
    return Valid(std::min(broad, dl * dl + df * df < 4 ? well : 99.0) + ripple);
  };
  FakeEvaluator evaluator(rugged);
  const TunePoint start{40, 0.3};
  const TuneOutcome out = Tune(std::span(&start, 1), kBounds, TuneOptions{}, evaluator);
  EXPECT_NEAR(out.best.length, 42.6, 0.1);
  EXPECT_NEAR(out.best.feedFraction, 0.12, 0.01);
  EXPECT_LT(out.bestScore.worstSwr, 1.01);
}

TEST(TuneSearch, MoreUsableBandsOutrankALowerSwr) {
  // Below 10 % of the length one band is lost, where the SWR alone would
  // be lowest.
  const auto landscape = [](const TunePoint& p) {
    TuneScore s = Bowl(40, 0.06)(p);
    if (p.feedFraction < 0.1) s.usableBands = 3;
    return s;
  };
  FakeEvaluator evaluator(landscape);
  const TunePoint start{40, 0.3};
  const TuneOutcome out = Tune(std::span(&start, 1), kBounds, TuneOptions{}, evaluator);
  EXPECT_EQ(out.bestScore.usableBands, 4);
  EXPECT_GE(out.best.feedFraction, 0.1);
  EXPECT_LT(out.best.feedFraction, 0.102);
  EXPECT_NEAR(out.best.length, 40, 0.01);
}

TEST(TuneSearch, CandidatesThatCannotBeModelledNeverWin) {
  // The bowl's lowest point lies where no model can be made.
  const auto landscape = [](const TunePoint& p) { return p.length > 42 ? TuneScore{} : Bowl(43, 0.2)(p); };
  FakeEvaluator evaluator(landscape);
  const TunePoint start{40, 0.2};
  const TuneOutcome out = Tune(std::span(&start, 1), kBounds, TuneOptions{}, evaluator);
  EXPECT_TRUE(out.bestScore.valid);
  EXPECT_LE(out.best.length, 42);
  EXPECT_GT(out.best.length, 41.98);
}

TEST(TuneSearch, NeverWorseThanTheBestStartEvenOutsideTheBounds) {
  // The best start is fed at 70 %, outside the searched range, and nothing
  // inside comes near it.
  const auto landscape = [](const TunePoint& p) { return Valid(p.feedFraction > 0.6 ? 1.1 : 5 + p.feedFraction); };
  FakeEvaluator evaluator(landscape);
  const std::vector<TunePoint> starts = {{40, 0.3}, {40, 0.7}, {40, 0.2}};
  const TuneOutcome out = Tune(starts, kBounds, TuneOptions{}, evaluator);
  EXPECT_EQ(out.start, (TunePoint{40, 0.7}));
  EXPECT_EQ(out.best, out.start);
  EXPECT_EQ(out.bestScore.worstSwr, 1.1);
  EXPECT_EQ(evaluator.batches.front(), starts);
}

TEST(TuneSearch, TiesGoToTheShorterWireThenTheFeedNearerTheStart) {
  FakeEvaluator evaluator([](const TunePoint&) { return Valid(2); });
  const TunePoint start{40, 0.3};
  const TuneOutcome out = Tune(std::span(&start, 1), kBounds, TuneOptions{}, evaluator);
  EXPECT_DOUBLE_EQ(out.best.length, kBounds.lengthMin);
  EXPECT_DOUBLE_EQ(out.best.feedFraction, kBounds.feedMin);

  EXPECT_TRUE(Better(Valid(2), {39, 0.3}, Valid(2), {40, 0.1}));
  EXPECT_TRUE(Better(Valid(2), {40, 0.1}, Valid(2), {40, 0.3}));
  EXPECT_FALSE(Better(Valid(2), {40, 0.3}, Valid(2), {40, 0.3}));
  EXPECT_TRUE(Better(Valid(9, 4), {44, 0.5}, Valid(1.1, 3), {36, 0.05}));
  EXPECT_TRUE(Better(Valid(1.9), {44, 0.5}, Valid(2), {36, 0.05}));
  EXPECT_TRUE(Better(Valid(99, 0), {44, 0.5}, TuneScore{}, {36, 0.05}));
}

// A coarse evaluator that sees the landscape a little shifted and tilted,
// as a cheaper ground model does: it takes the grid and the long steps; the
// full evaluator's walks from its best places find the full landscape's
// lowest point, and only the full evaluator's scores are the outcome.
TEST(TuneSearch, ACoarseEvaluatorLeadsAndTheFullOneDecides) {
  FakeEvaluator full(Bowl(41.237, 0.2173));
  FakeEvaluator coarse([](const TunePoint& p) {
    TuneScore s = Bowl(41.35, 0.2100)(p);
    s.worstSwr = s.worstSwr * 0.9 + 0.05;
    return s;
  });
  const TunePoint start{40, 0.3};
  const TuneOutcome out = Tune(std::span(&start, 1), kBounds, TuneOptions{}, full, &coarse);
  EXPECT_NEAR(out.best.length, 41.237, 0.01);
  EXPECT_NEAR(out.best.feedFraction, 0.2173, 0.001);
  EXPECT_DOUBLE_EQ(out.bestScore.worstSwr, Bowl(41.237, 0.2173)(out.best).worstSwr);
  EXPECT_EQ(out.startScore.worstSwr, Bowl(41.237, 0.2173)(start).worstSwr);
  // The grid is the coarse evaluator's alone; the full one scored the
  // start and, near where the coarse stage led, the last walks.
  int coarseScored = 0, fullScored = 0;
  for (const auto& batch : coarse.batches) coarseScored += static_cast<int>(batch.size());
  for (const auto& batch : full.batches) fullScored += static_cast<int>(batch.size());
  EXPECT_EQ(coarse.batches.front().size(), 90u);
  EXPECT_EQ(out.coarseEvaluations, coarseScored);
  EXPECT_EQ(out.evaluations, coarseScored + fullScored);
  EXPECT_EQ(out.batches, static_cast<int>(coarse.batches.size() + full.batches.size()));
  EXPECT_EQ(full.batches.front(), std::vector<TunePoint>{start});
  for (std::size_t i = 1; i < full.batches.size(); ++i)
    for (const TunePoint& p : full.batches[i]) {
      EXPECT_NEAR(p.length, 41.3, 0.3);
      EXPECT_NEAR(p.feedFraction, 0.214, 0.03);
    }
}

// A coarse evaluator that is wrong everywhere (it ranks the worst places
// best) cannot make the outcome worse than the start, and the outcome does
// not depend on how the batches are solved.
TEST(TuneSearch, AMisleadingCoarseEvaluatorLeavesTheStart) {
  const Landscape truth = [](const TunePoint& p) { return Valid(p.feedFraction > 0.28 ? 1.5 : 6); };
  const Landscape upsideDown = [&](const TunePoint& p) { return Valid(10 - truth(p).worstSwr); };
  FakeEvaluator full(truth), coarse(upsideDown), coarseFour(upsideDown, 4), fullFour(truth, 4);
  const TunePoint start{40, 0.3};
  const TuneOutcome out = Tune(std::span(&start, 1), kBounds, TuneOptions{}, full, &coarse);
  EXPECT_EQ(out.bestScore.worstSwr, 1.5);
  EXPECT_FALSE(Better(out.startScore, out.start, out.bestScore, out.best));
  const TuneOutcome again = Tune(std::span(&start, 1), kBounds, TuneOptions{}, fullFour, &coarseFour);
  EXPECT_EQ(again.best, out.best);
  EXPECT_EQ(again.evaluations, out.evaluations);
  EXPECT_EQ(coarse.batches, coarseFour.batches);
  EXPECT_EQ(full.batches, fullFour.batches);
}

TEST(TuneSearch, KeepsWithinTheBoundOnEvaluations) {
  FakeEvaluator evaluator(Bowl(41.237, 0.2173));
  TuneOptions o;
  o.maxEvaluations = 120;
  const TunePoint start{40, 0.3};
  const TuneOutcome out = Tune(std::span(&start, 1), kBounds, o, evaluator);
  EXPECT_LE(out.evaluations, 120);
  EXPECT_GT(out.evaluations, 91);
  // Stopped early, it still has the best of what it scored.
  EXPECT_LT(out.bestScore.worstSwr, out.startScore.worstSwr);
}

TEST(TuneSearch, TheOutcomeDoesNotDependOnTheJobs) {
  const auto rugged = [](const TunePoint& p) {
    return Valid(2 + std::sin(p.length * 3) * std::cos(p.feedFraction * 40) + 0.01 * p.length);
  };
  const std::vector<TunePoint> starts = {{40, 0.25}, {40, 0.4}};
  FakeEvaluator one(rugged, 1), four(rugged, 4);
  const TuneOutcome a = Tune(starts, kBounds, TuneOptions{}, one);
  const TuneOutcome b = Tune(starts, kBounds, TuneOptions{}, four);
  EXPECT_EQ(a.best, b.best);
  EXPECT_EQ(a.bestScore.worstSwr, b.bestScore.worstSwr);
  EXPECT_EQ(a.evaluations, b.evaluations);
  EXPECT_EQ(one.batches, four.batches);
}

// A check's result with one impedance per frequency: the bands' own and a
// two-point sweep each.
Result Checked(const std::vector<std::pair<int, std::vector<std::complex<double>>>>& bands) {
  Result r;
  for (const auto& [band, z] : bands) {
    r.bands.push_back({{band, 1.0 * band, z.at(0), 0}, std::nullopt, true});
    for (std::size_t i = 1; i < z.size(); ++i) r.sweep.push_back({band, 1.0 * band + 0.1 * i, z[i], 0});
  }
  SettleBalun(r, std::nullopt);
  return r;
}

TEST(TuneScoreOf, WithoutWeightsTheBalunAndWorstOfTheCheck) {
  const Result r = Checked({{1, {{180, -40}, {150, -120}, {220, 60}}},
                            {3, {{300, 10}, {250, -200}, {400, 150}}},
                            {9, {{1500, 900}, {2000, 1200}, {1200, -800}}}});  // not usable
  ASSERT_FALSE(r.bands[2].usable);
  const TuneScore s = ScoreOf(r, std::nullopt, {});
  EXPECT_TRUE(s.valid);
  EXPECT_EQ(s.usableBands, 2);
  EXPECT_EQ(s.balunRatio, r.balunRatio);
  EXPECT_DOUBLE_EQ(s.worstSwr, r.worstSwr);
  // A ratio given is kept, and its worst counts.
  const TuneScore given = ScoreOf(r, 1.0, {});
  EXPECT_EQ(given.balunRatio, 1);
  const std::vector<std::complex<double>> usable = {{180, -40}, {150, -120}, {220, 60},
                                                    {300, 10},  {250, -200}, {400, 150}};
  EXPECT_DOUBLE_EQ(given.worstSwr, WorstSwr(usable, 1));
}

TEST(TuneScoreOf, AWeightScalesTheBandsExcessAndMayChooseAnotherBalun) {
  // 3.5 MHz wants 4:1, 14 MHz 1:1; unweighted 2.25:1 serves both best.
  const Result r = Checked({{1, {{200, 0}, {200, 0}}}, {5, {{50, 30}, {50, 30}}}});
  const TuneScore plain = ScoreOf(r, std::nullopt, {});
  const TuneScore heavyLow = ScoreOf(r, std::nullopt, {{1, 10}});
  EXPECT_EQ(plain.balunRatio, 2.25);
  EXPECT_EQ(heavyLow.balunRatio, 4);
  // 14 MHz through 4:1: 12.5 + j7.5 ohm on 50.
  EXPECT_NEAR(heavyLow.worstSwr, Swr({50, 30}, 4), 1e-12);
  EXPECT_DOUBLE_EQ(WeightedSwr(3, 1, {{1, 0.5}}), 2);
  EXPECT_DOUBLE_EQ(WeightedSwr(3, 5, {{1, 0.5}}), 3);
  EXPECT_DOUBLE_EQ(WeightedSwr(2, 5, {{1, 0.5}, {5, 2}}), 3);
}

}  // namespace
}  // namespace lorvant::nec
