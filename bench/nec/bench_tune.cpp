// Benchmark of the NEC-2 tuning of the 80/40/20/10 m OCF: the run at
// 3.65 MHz, one half-wave, 3.5, 7, 14 and 28 MHz counted (39.04 m), flat at
// 10 m over average ground, the default sweep of five points per band; the
// whole tuning as `lorvant-calc tune` runs it, with 1 and 2 nec2c processes.
//
// Counters:
//   evaluations   candidates the search scored
//   coarse_evaluations  of them over the reflection-coefficient ground
//   engine_runs   decks nec2c ran (each batch one, cut into --jobs parts)
//   start_swr, tuned_swr, tuned_length, tuned_feed, tuned_balun, usable
//   engine_cpu_s  CPU time of nec2c itself (getrusage of the children)
//   own_cpu_s     CPU time of Lorvant's own process; own_share = own / engine
//   engine_wait   the share of the wall time spent waiting for nec2c
//
// And the question whether the reflection-coefficient approximation (no
// Sommerfeld-Norton tables) ranks the coarse grid as Sommerfeld-Norton does
// over average ground: the 9 x 10 grid scored over both, with the rank
// correlation of the two (Spearman, over the candidates valid on both), how
// many of Sommerfeld-Norton's best five are among the approximation's best
// five, where the approximation's best lies in Sommerfeld-Norton's ranking,
// and the seconds of each (2 processes). Perfect ground, the other cheap
// model, is measured the same way.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "bench/bench_host.h"
#include "engine/nec/tune.h"
#include "io/engine_runner.h"
#include "session/mainform.h"
#include "session/nec_check.h"
#include "session/nec_tune.h"

namespace lorvant {
namespace {

double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Ocf {
  nec::PrivateFolder folder;
  RunInput in = LoadedFormInput(Language::English, '.');
  RunOutput out;
  nec::Design design;
  nec::Settings settings;
  bool ok = false;
  Ocf() {
    in.preferredFrequency = "3.65";
    in.halfWaves = "1";
    in.bands.fill(BandState::Off);
    for (int band : {kBand3_5, kBand7, kBand14, kBand28}) in.bands[static_cast<std::size_t>(band)] = BandState::Counted;
    in.resultsFolder = folder.path();
    BenchHost host;
    out = RunOptimisation(in, host);
    ok = out.outcome == RunOutcome::Completed && !out.candidates.empty();
    if (!ok) return;
    design = nec::DesignFromRun(in, out);
    settings.feed = design.proposedFeeds.front().x;
  }
};

nec::EngineMaker Engines(int jobs) {
  return [jobs] { return std::make_unique<nec::Nec2cEngine>(std::string(), nec::kDefaultEngineTimeout, jobs); };
}

void BM_Tune_Ocf80To10(benchmark::State& state) {
  if (nec::FindEngine().empty()) {
    state.SkipWithError("nec2c is not installed (apt install nec2c)");
    return;
  }
  const Ocf ocf;
  if (!ocf.ok) {
    state.SkipWithError("the run ended early or proposed no feed point");
    return;
  }
  const int jobs = static_cast<int>(state.range(0));
  nec::TuneRequest request;
  request.coarseStage = state.range(1) != 0;
  nec::TunedDesign t;
  double engineCpu = 0, ownCpu = 0;
  for (auto _ : state) {
    const double engineBefore = CpuSeconds(RUSAGE_CHILDREN), ownBefore = CpuSeconds(RUSAGE_SELF);
    t = nec::TuneDesign(ocf.design, ocf.settings, request, Engines(jobs));
    engineCpu += CpuSeconds(RUSAGE_CHILDREN) - engineBefore;
    ownCpu += CpuSeconds(RUSAGE_SELF) - ownBefore;
  }
  state.counters["jobs"] = jobs;
  state.counters["evaluations"] = t.evaluations;
  state.counters["coarse_evaluations"] = t.coarseEvaluations;
  state.counters["own_cpu_s"] = ownCpu / static_cast<double>(state.iterations());
  state.counters["own_share"] = ownCpu / engineCpu;
  state.counters["engine_wait"] = t.engineSeconds / t.seconds;
  state.counters["engine_runs"] = t.engineRuns;
  state.counters["start_swr"] = t.start.result.worstSwr;
  state.counters["tuned_swr"] = t.tuned.result.worstSwr;
  state.counters["tuned_length"] = nec::TypedDecimal(t.tuned.candidate.design.length);
  state.counters["tuned_feed"] = t.tuned.candidate.settings.feed;
  state.counters["tuned_balun"] = t.tuned.result.balunRatio;
  state.counters["usable"] = t.tuned.score.usableBands;
  state.counters["engine_cpu_s"] = engineCpu / static_cast<double>(state.iterations());
}

// Ranks 0, 1, ... by the scores (the search's own order).
std::vector<double> Ranks(const std::vector<nec::TunePoint>& points, const std::vector<nec::TuneScore>& scores,
                          const std::vector<std::size_t>& which) {
  std::vector<std::size_t> order = which;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return nec::Better(scores[a], points[a], scores[b], points[b]);
  });
  std::vector<double> rank(points.size(), -1);
  for (std::size_t r = 0; r < order.size(); ++r) rank[order[r]] = static_cast<double>(r);
  return rank;
}

// The grid over average ground, Sommerfeld-Norton against the cheap model
// given: 0 the reflection coefficients, 1 perfect ground.
void BM_Tune_GridRankingCheapVsSommerfeld(benchmark::State& state) {
  if (nec::FindEngine().empty()) {
    state.SkipWithError("nec2c is not installed (apt install nec2c)");
    return;
  }
  const Ocf ocf;
  if (!ocf.ok) {
    state.SkipWithError("the run ended early or proposed no feed point");
    return;
  }
  const nec::TuneBounds b = nec::BoundsAround(nec::TypedDecimal(ocf.design.length));
  std::vector<nec::TunePoint> grid;
  for (int i = 0; i < 9; ++i)
    for (int j = 0; j < 10; ++j)
      grid.push_back({b.lengthMin + (b.lengthMax - b.lengthMin) * i / 8, b.feedMin + (b.feedMax - b.feedMin) * j / 9});
  nec::Settings cheap = nec::SearchSettings(ocf.settings), average = nec::SearchSettings(ocf.settings);
  average.ground = cheap.ground = nec::Ground::Average;
  if (state.range(0) == 0)
    cheap.groundMethod = nec::RealGroundMethod::ReflectionCoefficient;
  else
    cheap.ground = nec::Ground::Perfect;
  std::vector<nec::TuneScore> onCheap, onAverage;
  double cheapSeconds = 0, averageSeconds = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    nec::NecTuneEvaluator c(ocf.design, cheap, {}, Engines(2));
    onCheap = c.evaluate(grid);
    const auto t1 = std::chrono::steady_clock::now();
    nec::NecTuneEvaluator a(ocf.design, average, {}, Engines(2));
    onAverage = a.evaluate(grid);
    const auto t2 = std::chrono::steady_clock::now();
    cheapSeconds = std::chrono::duration<double>(t1 - t0).count();
    averageSeconds = std::chrono::duration<double>(t2 - t1).count();
  }
  std::vector<std::size_t> both;
  for (std::size_t i = 0; i < grid.size(); ++i)
    if (onCheap[i].valid && onAverage[i].valid) both.push_back(i);
  const std::vector<double> rp = Ranks(grid, onCheap, both), ra = Ranks(grid, onAverage, both);
  double d2 = 0;
  for (std::size_t i : both) d2 += (rp[i] - ra[i]) * (rp[i] - ra[i]);
  const double n = static_cast<double>(both.size());
  int topFive = 0;
  for (std::size_t i : both) topFive += rp[i] < 5 && ra[i] < 5 ? 1 : 0;
  const std::size_t cheapBest =
      *std::min_element(both.begin(), both.end(), [&](std::size_t x, std::size_t y) { return rp[x] < rp[y]; });
  // How far the cheap model's worst SWR lies from Sommerfeld-Norton's.
  double largestDifference = 0;
  for (std::size_t i : both)
    largestDifference = std::max(largestDifference, std::fabs(onCheap[i].worstSwr - onAverage[i].worstSwr));
  state.counters["candidates"] = n;
  state.counters["spearman"] = 1 - 6 * d2 / (n * (n * n - 1));
  state.counters["top5_shared"] = topFive;
  state.counters["cheap_best_rank"] = ra[cheapBest];
  state.counters["largest_swr_difference"] = largestDifference;
  state.counters["cheap_s"] = cheapSeconds;
  state.counters["sommerfeld_s"] = averageSeconds;
}

// {jobs, coarse stage}: the tuning as the tool runs it with 1 and 2 jobs, and
// without the coarse stage for the outcome and time it would have.
BENCHMARK(BM_Tune_Ocf80To10)
    ->Args({1, 1})
    ->Args({2, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_Tune_GridRankingCheapVsSommerfeld)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace lorvant

BENCHMARK_MAIN();
