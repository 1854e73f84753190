// A stand-in for nec2c inside the process: it reads each structure's wires,
// source and frequency cards and answers every frequency with a fixed
// impedance in nec2c's output format (each structure opened by nec2c's title
// line, where the tuning cuts a batch's output), so that windows and the
// tuning can be tested and pictured without the engine. An RP card gets a
// far field (FakeGain), a PT card naming one segment its current
// (FakeCommonMode of the feed current, lowered by an LD 0 choke).
#pragma once

#include <atomic>
#include <chrono>
#include <cmath>
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
// The far field's total gain, dBi: strongest at 30 degrees of elevation
// towards azimuth 0 (and as strong towards 180), weaker sideways.
inline double FakeGain(double theta, double phi) {
  const double pi = 3.14159265358979;
  return 7 - std::fabs(60 - theta) / 5 - 3 * std::fabs(std::sin(phi * pi / 180));
}
inline constexpr double kFakeAverageGain = 1.2;  // over 2 pi steradians: 60 % radiated
// The shield's top current over the feed current with a choke of `ohms`:
// half without one, under a tenth from 1000 ohm on.
inline double FakeCommonMode(double ohms) { return 0.5 * 200 / (200 + ohms); }

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
      bool pattern = false;
      int printed = 0;  // the segment PT prints, 0 none
      double choke = 0;
    };
    std::vector<int> segments;  // by tag
    int tag = 0, segment = 0, structure = 0, printed = 0;
    double choke = 0;
    std::vector<Asked> frequencies;
    std::istringstream lines(deck);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream f(line);
      std::string card;
      f >> card;
      if (card == "NX") {
        segments.clear();
        ++structure;
        printed = 0;
        choke = 0;
      } else if (card == "PT") {
        int type = 0, t = 0, from = 0;
        f >> type >> t >> from;
        printed = from;
        for (int k = 1; k < t && k <= static_cast<int>(segments.size()); ++k)
          printed += segments[static_cast<std::size_t>(k - 1)];
      } else if (card == "LD") {
        int type = -1;
        f >> type;
        if (type == 0) {
          int t = 0, a = 0, b = 0;
          f >> t >> a >> b >> choke;
        }
      } else if (card == "RP") {
        if (!frequencies.empty()) frequencies.back().pattern = true;
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
        for (int i = 0; i < count; ++i)
          frequencies.push_back({start + i * step, tag, number, structure, false, printed, choke});
      }
    }
    std::string out;
    char buf[256];
    int solved = 0, titled = -1;
    for (const auto& [mhz, tag, number, part, pattern, top, ohms] : frequencies) {
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
      if (top > 0) {
        const double z = std::hypot(resistance ? *resistance : FakeResistance(mhz), FakeReactance(mhz));
        out += "  -------- CURRENTS AND LOCATION --------\n   SEG  TAG\n   No:  No:\n";
        std::snprintf(buf, sizeof buf, "%6d %4d    0.0000    0.0000    0.1000   0.01000  %.4E  0.0000E+00\n\n", top,
                      tag + 1, FakeCommonMode(ohms) / z);
        out += buf;
      }
      out +=
          "  ---------- POWER BUDGET ---------\n  INPUT POWER   =  5.0000E-03 Watts\n"
          "  RADIATED POWER=  4.9000E-03 Watts\n  STRUCTURE LOSS=  1.0000E-04 Watts\n"
          "  NETWORK LOSS  =  0.0000E+00 Watts\n  EFFICIENCY    =   98.00 Percent\n\n";
      if (pattern) {
        out += "  ---------- RADIATION PATTERNS -----------\n  THETA  PHI\n DEGREES   DEGREES\n";
        for (int p = 0; p < 72; ++p)
          for (int t = 0; t <= 45; ++t) {
            const double g = FakeGain(2.0 * t, 5.0 * p);
            std::snprintf(buf, sizeof buf, "%8.2f  %8.2f  %8.2f %8.2f %8.2f  0.0000  0.00 LINEAR\n", 2.0 * t, 5.0 * p,
                          g, g, g);
            out += buf;
          }
        std::snprintf(buf, sizeof buf,
                      "\n  AVERAGE POWER GAIN:  %.4E - SOLID ANGLE USED IN AVERAGING: (+2.0000)*PI STERADIANS\n\n",
                      kFakeAverageGain);
        out += buf;
      }
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
