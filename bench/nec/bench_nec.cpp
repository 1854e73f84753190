// Benchmark of the NEC-2 check of an off-centre-fed wire on all eleven
// bands with the default sweep of five points per band (66 frequencies),
// 10 m over average ground (Sommerfeld-Norton), fed at a third of its length
// (with all eleven bands counted the run may propose no feed point: the
// short wire barely carries 1.8 MHz): the deck, nec2c in its private
// folder, the evaluation.
//
// Two wires: one half-wave at 7.1 MHz (20.07 m, the 40 m band OCF) and one
// half-wave at 3.65 MHz (39.04 m, a 40 m long wire). The 50 MHz band's upper
// edge sets the segments (at most 0.288 m).
//
// Counters:
//   frequencies  solved by nec2c per check
//   segments     of the model
//   engine_cpu_s CPU time of nec2c itself per check (its own, not this
//                process's; from getrusage of the children)
//
// And a deck of eleven structures, one per band, of the 80 m wire (39.04 m,
// fed at a third, 10 m over average ground, each band segmented at lambda/40
// of its upper edge, five sweep points per band) run by one nec2c and by
// parallel nec2c processes, one per core (counter "processes"; the time
// gained needs idle cores: engine_cpu_s is the CPU time of all of them).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <sstream>
#include <string>

#include "bench/bench_host.h"
#include "engine/nec/frequencies.h"
#include "io/engine_runner.h"
#include "session/mainform.h"
#include "session/nec_check.h"

namespace lorvant {
namespace {

double ChildrenCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void CheckOcf(benchmark::State& state, const char* frequency) {
  if (nec::FindEngine().empty()) {
    state.SkipWithError("nec2c is not installed (apt install nec2c)");
    return;
  }
  nec::PrivateFolder folder;
  RunInput in = LoadedFormInput(Language::German, '.');
  in.preferredFrequency = frequency;
  in.halfWaves = "1";
  in.bands.fill(BandState::Counted);
  in.resultsFolder = folder.path();
  BenchHost host;
  const RunOutput out = RunOptimisation(in, host);
  if (out.outcome != RunOutcome::Completed) {
    state.SkipWithError("the run ended early");
    return;
  }
  const nec::Design design = nec::DesignFromRun(in, out);
  nec::Settings settings;
  settings.feed = nec::TypedDecimal(design.length) / 3;
  const nec::Plan plan = nec::PrepareCheck(design, settings);

  nec::Nec2cEngine engine;
  double engineCpu = 0;
  for (auto _ : state) {
    const double before = ChildrenCpuSeconds();
    const nec::EngineResult r = engine.run(plan.deck, {});
    if (r.status != nec::EngineResult::Status::Completed) {
      state.SkipWithError(("nec2c: " + r.message).c_str());
      return;
    }
    const nec::Result result = nec::Evaluate(design, settings, plan, r.output);
    benchmark::DoNotOptimize(result.worstSwr);
    engineCpu += ChildrenCpuSeconds() - before;
  }
  state.counters["frequencies"] = plan.frequencies.count();
  state.counters["segments"] = plan.model.segmentCount();
  state.counters["engine_cpu_s"] = engineCpu / static_cast<double>(state.iterations());
}

void BM_NecCheck_Ocf7MHz(benchmark::State& state) { CheckOcf(state, "7.1"); }
void BM_NecCheck_Ocf3_65MHz(benchmark::State& state) { CheckOcf(state, "3.65"); }

std::string WireByBand(double length) {
  std::ostringstream deck;
  for (int band = 0; band < kBandCount; ++band) {
    const nec::BandEdges edges = nec::EdgesOf(band);
    const double segment = nec::kSpeedOfLight / edges.high / 40;
    const int segments = static_cast<int>(std::ceil(length / segment));
    deck << (band > 0 ? "NX\n" : "") << "CM 80 m wire, band " << band << "\nCE\n"
         << "GW 1 " << segments << " 0 0 10 " << length << " 0 10 0.0007\nGE 1\nGN 2 0 0 0 13 0.005\n"
         << "EX 0 1 " << segments / 3 + 1 << " 0 1 0\n"
         << "FR 0 5 0 0 " << edges.low << " " << (edges.high - edges.low) / 4 << "\nXQ\n";
  }
  deck << "EN\n";
  return deck.str();
}

void WireByBand(benchmark::State& state, int processes) {
  if (nec::FindEngine().empty()) {
    state.SkipWithError("nec2c is not installed (apt install nec2c)");
    return;
  }
  const std::string deck = WireByBand(39.04);
  nec::Nec2cEngine engine({}, nec::kDefaultEngineTimeout, processes);
  int solved = 0;
  double engineCpu = 0;
  for (auto _ : state) {
    const double before = ChildrenCpuSeconds();
    const nec::EngineResult r = engine.run(deck, [&](int s) {
      solved = s;
      return true;
    });
    if (r.status != nec::EngineResult::Status::Completed) {
      state.SkipWithError(("nec2c: " + r.message).c_str());
      return;
    }
    engineCpu += ChildrenCpuSeconds() - before;
  }
  state.counters["frequencies"] = solved;
  state.counters["engine_cpu_s"] = engineCpu / static_cast<double>(state.iterations());
  state.counters["processes"] =
      static_cast<double>(nec::SplitDeck(deck, processes > 0 ? processes : nec::EngineProcesses()).size());
}

void BM_NecWireByBand_OneEngine(benchmark::State& state) { WireByBand(state, 1); }
void BM_NecWireByBand_Parallel(benchmark::State& state) { WireByBand(state, 0); }

BENCHMARK(BM_NecWireByBand_OneEngine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_NecWireByBand_Parallel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_NecCheck_Ocf7MHz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_NecCheck_Ocf3_65MHz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace lorvant

BENCHMARK_MAIN();
