// Benchmark of the complete current-sum optimisation run as the program and
// the batch tool do it: the scan, AntStrSu.txt, AntSpezi.txt and the
// picture drawn and saved as AntKurve.BMP.
//
// Counters:
//   steps         centimetre steps of the scan (N + 1)
//   heap_peak_KiB most heap in use (operator new) during one run, above the
//                 level at its start, the picture's pixels (804 x 209)
//                 included
//   rss_peak_MiB  peak resident memory of the whole process (getrusage);
//                 comparable between sizes only when each runs in a
//                 process of its own (run_sizes.sh)
//
// The files go into a fresh folder under $TMPDIR and are replaced at every
// iteration, as a user's next run replaces them. On ext4 renaming a file
// over an existing one starts its write-out, so wall time on a disk folder
// includes disk latency; TMPDIR=/dev/shm leaves it out.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <random>
#include <string>

#include "bench/bench_host.h"
#include "picture/BitmapCanvas.h"
#include "session/mainform.h"
#include "session/run.h"

// ---- heap accounting -----------------------------------------------------

namespace {
std::atomic<std::size_t> gLive{0};
std::atomic<std::size_t> gPeak{0};

void* Allocate(std::size_t size, std::size_t align = 0) {
  void* p = align > alignof(std::max_align_t) ? std::aligned_alloc(align, (size + align - 1) / align * align)
                                              : std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  const std::size_t live = gLive.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  std::size_t peak = gPeak.load();
  while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
  }
  return p;
}

void Release(void* p) noexcept {
  if (!p) return;
  gLive.fetch_sub(malloc_usable_size(p));
  std::free(p);
}
}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void* operator new(std::size_t n, std::align_val_t a) { return Allocate(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return Allocate(n, static_cast<std::size_t>(a)); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }

namespace lorvant {
namespace {

// The form's defaults (14.2 MHz, Vk 0.95, air, band centre, maximum current
// sum) with all eleven bands ticked and the special table on.
RunInput AllBands(const std::string& folder, std::string halfWaves) {
  RunInput in = LoadedFormInput(Language::German, ',');
  in.halfWaves = std::move(halfWaves);
  in.bands.fill(BandState::Counted);
  in.specialTable = true;
  in.resultsFolder = folder;
  in.dateText = "08.12.2026 15:44:35";
  return in;
}

std::string Folder() {
  std::random_device rd;
  const auto dir = std::filesystem::temp_directory_path() / ("lorvant-bench-" + std::to_string(rd()));
  std::filesystem::create_directories(dir);
  return dir.string() + "/";
}

void CompleteRun(benchmark::State& state, const char* halfWaves) {
  const std::string folder = Folder();
  const RunInput in = AllBands(folder, halfWaves);
  BenchHost host;
  std::size_t heapPeak = 0;
  float length = 0;
  std::size_t steps = 0;
  for (auto _ : state) {
    const std::size_t before = gLive.load();
    gPeak.store(before);
    BitmapCanvas canvas;
    host.canvas_ = &canvas;
    const RunOutput out = RunOptimisation(in, host);
    if (out.outcome != RunOutcome::Completed || out.files.size() != 3) {
      state.SkipWithError("the run did not complete with its three files");
      break;
    }
    heapPeak = std::max(heapPeak, gPeak.load() - before);
    length = out.length;
    steps = static_cast<std::size_t>(length * 100) + 1;
    benchmark::DoNotOptimize(out.candidates.data());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["length_m"] = length;
  state.counters["steps"] = static_cast<double>(steps);
  state.counters["heap_peak_KiB"] = static_cast<double>(heapPeak) / 1024;
  state.counters["rss_peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * steps));
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

// About 41.7 m: four half-waves of 14.2 MHz.
void BM_CompleteRun_40m(benchmark::State& state) { CompleteRun(state, "4"); }
// About 1003 m: 95 half-waves.
void BM_CompleteRun_1000m(benchmark::State& state) { CompleteRun(state, "95"); }

BENCHMARK(BM_CompleteRun_40m)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteRun_1000m)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lorvant

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
