// A stand-in for nec2c inside the process: it reads each structure's wires,
// source and frequency cards and answers every frequency with a fixed
// impedance in nec2c's output format (each structure opened by nec2c's title
// line, where the tuning cuts a batch's output), so that windows and the
// tuning can be tested and pictured without the engine.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "io/engine_runner.h"

namespace lorvant::test {

// The impedance the fake gives at `mhz`: a wire that is resonant near the
// bands' centres and grows in resistance with frequency.
inline double FakeResistance(double mhz) { return 60 + 8 * mhz; }
// Its power budget: 1E-04 of 5E-03 W lost in the wire at every frequency.
inline constexpr double kFakeLoss = 0.02;
inline double FakeReactance(double mhz) { return 40 * (mhz - 14) / (1 + mhz / 10); }

class FakeNecEngine final : public nec::Engine {
 public:
  // `hold`: while it is set the fake does not answer and waits for a
  // cancel through the progress callback.
  explicit FakeNecEngine(const std::atomic<bool>* hold = nullptr) : hold_(hold) {}

  // When set, every frequency gets this resistance instead (an engine
  // that answers what is no impedance), or the engine fails outright.
  std::optional<double> resistance;
  bool fails = false;

  nec::EngineResult run(const std::string& deck, const nec::EngineProgress& progress) override {
    nec::EngineResult r;
    if (fails) {
      r.status = nec::EngineResult::Status::Failed;
      r.message = "floating point exception (exit status 255)";
      return r;
    }
    while (hold_ && *hold_) {
      if (progress && !progress(0)) {
        r.status = nec::EngineResult::Status::Cancelled;
        return r;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Each structure (NX starts the next) has its own wires and source.
    struct Asked {
      double mhz;
      int tag, number, structure;
    };
    std::vector<int> segments;  // by tag
    int tag = 0, segment = 0, structure = 0;
    std::vector<Asked> frequencies;
    std::istringstream lines(deck);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream f(line);
      std::string card;
      f >> card;
      if (card == "NX") {
        segments.clear();
        ++structure;
      } else if (card == "GW") {
        int t = 0, n = 0;
        f >> t >> n;
        segments.resize(static_cast<std::size_t>(t));
        segments[static_cast<std::size_t>(t - 1)] = n;
      } else if (card == "EX") {
        int type = 0;
        f >> type >> tag >> segment;
      } else if (card == "FR") {
        int type = 0, count = 0, a = 0, b = 0;
        double start = 0, step = 0;
        f >> type >> count >> a >> b >> start >> step;
        int number = segment;
        for (int t = 1; t < tag && t <= static_cast<int>(segments.size()); ++t)
          number += segments[static_cast<std::size_t>(t - 1)];
        for (int i = 0; i < count; ++i) frequencies.push_back({start + i * step, tag, number, structure});
      }
    }
    std::string out;
    char buf[256];
    int solved = 0, titled = -1;
    for (const auto& [mhz, tag, number, part] : frequencies) {
      if (part != titled) {
        out += "               | NUMERICAL ELECTROMAGNETICS CODE (nec2c) |\n\n";
        titled = part;
      }
      std::snprintf(buf, sizeof buf, "  FREQUENCY : %.4E MHz\n", mhz);
      out += buf;
      out += "  --------- ANTENNA INPUT PARAMETERS ---------\n  TAG   SEG\n  No:   No:\n";
      std::snprintf(buf, sizeof buf,
                    "%5d %5d  1.0000E+00  0.0000E+00  1.0000E-02  0.0000E+00  %.4E %.4E  "
                    "1.0000E-02  0.0000E+00  5.0000E-03\n\n",
                    tag, number, resistance ? *resistance : FakeResistance(mhz), FakeReactance(mhz));
      out += buf;
      out +=
          "  ---------- POWER BUDGET ---------\n  INPUT POWER   =  5.0000E-03 Watts\n"
          "  RADIATED POWER=  4.9000E-03 Watts\n  STRUCTURE LOSS=  1.0000E-04 Watts\n"
          "  NETWORK LOSS  =  0.0000E+00 Watts\n  EFFICIENCY    =   98.00 Percent\n\n";
      if (progress && !progress(++solved)) {
        r.status = nec::EngineResult::Status::Cancelled;
        return r;
      }
    }
    r.status = nec::EngineResult::Status::Completed;
    r.output = out;
    return r;
  }

 private:
  const std::atomic<bool>* hold_;
};

}  // namespace lorvant::test
