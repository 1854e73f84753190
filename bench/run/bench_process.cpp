// Benchmark of lorvant-calc as whole processes: each iteration starts the
// tool once, waits for it and takes the CPU time (user + system) that the
// finished process used, from its rusage. That time is the benchmark's
// time; each case is repeated and the median of the repetitions is the
// figure to read.
//
//   bench_run_process [--tool PATH] [benchmark options]
//
// PATH defaults to the lorvant-calc beside this benchmark; give the
// installed one (/usr/bin/lorvant-calc) to measure the package.
//
// Counters:
//   wall_ms     start to end of the process, as its user waits
//   rss_MiB     peak resident memory of the process
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string gTool;

struct ProcessUse {
  double cpuSeconds = 0;
  double wallSeconds = 0;
  double rssMiB = 0;
  int status = -1;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// Starts the tool with `args`, its output thrown away, and waits for it.
ProcessUse Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(gTool.data());
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  ProcessUse use;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, gTool.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    rusage u{};
    if (wait4(pid, &use.status, 0, &u) == pid) {
      use.cpuSeconds = Seconds(u.ru_utime) + Seconds(u.ru_stime);
      use.rssMiB = static_cast<double>(u.ru_maxrss) / 1024;
    }
  }
  use.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  return use;
}

void Process(benchmark::State& state, const std::vector<std::string>& args) {
  double wall = 0, rss = 0;
  for (auto _ : state) {
    const ProcessUse use = Spawn(args);
    if (!WIFEXITED(use.status) || WEXITSTATUS(use.status) != 0) {
      state.SkipWithError((gTool + " did not end with exit status 0").c_str());
      break;
    }
    state.SetIterationTime(use.cpuSeconds);
    wall += use.wallSeconds;
    rss = std::max(rss, use.rssMiB);
  }
  if (state.iterations() > 0) state.counters["wall_ms"] = wall * 1000 / static_cast<double>(state.iterations());
  state.counters["rss_MiB"] = rss;
}

std::string Folder() {
  std::random_device rd;
  const auto dir = std::filesystem::temp_directory_path() / ("lorvant-bench-startup-" + std::to_string(rd()));
  std::filesystem::create_directories(dir);
  return dir.string();
}

// 40 m (four half-waves of 14.2 MHz), all eleven bands, the special table:
// both reports and the picture, replaced at every start. Separator and date
// come from the locale, as for a user who gives neither.
void BM_Run_40m_AllBands_SpecialTable(benchmark::State& state) {
  const std::string folder = Folder();
  std::vector<std::string> args = {"run", "--out", folder, "--special-table"};
  for (const char* band : {"1.8", "3.5", "5.3", "7", "10", "14", "18", "21", "24", "28", "50"}) {
    args.push_back("--band");
    args.push_back(band);
  }
  Process(state, args);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}

// A calculation that draws nothing: the start-up is all there is.
void BM_Impedance(benchmark::State& state) { Process(state, {"impedance", "--current-sum", "0,5"}); }

void BM_Version(benchmark::State& state) { Process(state, {"--version"}); }

// One process per repetition, many repetitions: the median is robust
// against the other work of a shared machine.
constexpr int kRepetitions = 31;

BENCHMARK(BM_Run_40m_AllBands_SpecialTable)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Impedance)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Version)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  gTool = (std::filesystem::canonical("/proc/self/exe").parent_path() / "lorvant-calc").string();
  // --tool is ours; the rest goes to the benchmark library.
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--tool") == 0 && i + 1 < argc) {
      gTool = argv[++i];
    } else if (std::strncmp(argv[i], "--tool=", 7) == 0) {
      gTool = argv[i] + 7;
    } else {
      rest.push_back(argv[i]);
    }
  }
  int restArgc = static_cast<int>(rest.size());
  rest.push_back(nullptr);
  benchmark::Initialize(&restArgc, rest.data());
  if (benchmark::ReportUnrecognizedArguments(restArgc, rest.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
