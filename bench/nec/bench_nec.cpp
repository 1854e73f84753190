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
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "bench/bench_host.h"
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

BENCHMARK(BM_NecCheck_Ocf7MHz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_NecCheck_Ocf3_65MHz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace lorvant

BENCHMARK_MAIN();
