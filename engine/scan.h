// The wire scan: centimetre by centimetre along the wire, every band's
// current, the current sums over the counted bands, and the candidate feed
// points in the first half of the wire. The results are a function of the
// inputs alone.
//
// Notation: as engine/current.h; a step is a position on the wire in
// centimetres from its start (0 .. the length in centimetres). A candidate
// is confirmed when the current sum falls after rising to it and every
// counted band reaches the least current sum there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/bands.h"
#include "engine/candidates.h"
#include "engine/current.h"
#include "engine/shortening.h"

namespace lorvant {

// One step's currents: every band's current value (G) and the current seen
// from the start (I1), the additional band's, and their means over the
// counted bands.
struct StepCurrents {
  std::array<double, kBandCount> current{};       // G per band
  std::array<double, kBandCount> startCurrent{};  // I1 per band
  BandCurrent extra;                              // the additional band; zero when absent
  double currentSum = 0;                          // S: mean of G over the counted bands
  double startCurrentSum = 0;                     // mean of I1 over the counted bands
};

// What the currents along the wire depend on.
struct WireSetup {
  std::array<double, kBandCount> wavelengths{};  // W per band (BandWellenlaengen)
  bool extraBand = false;
  double extraWavelength = 0;  // W of the additional band
  float length = 0;            // L, m
  float shorteningFactor = 0;  // Vk
  double insulation = 0;       // ins
  CalculatorState calculator;
  BandValues bands{};    // off, counted or grey
  int countedBands = 0;  // n, the additional band included
};

// The currents at any step, with what StromImPunkt needs per band prepared
// once.
class WireCurrents {
 public:
  WireCurrents() = default;
  explicit WireCurrents(const WireSetup& setup);

  StepCurrents at(std::int32_t step) const;
  // The bands the picture draws: every band that is not off.
  std::array<bool, kBandCount> shownBands() const;

  const BandValues& bands() const { return bands_; }
  bool extraBand() const { return extraBand_; }
  int countedBands() const { return countedBands_; }

 private:
  std::array<BandCurrentModel, kBandCount> models_{};
  BandCurrentModel extraModel_;
  BandValues bands_{};
  bool extraBand_ = false;
  int countedBands_ = 0;
};

struct ScanSettings {
  std::int32_t steps = 0;        // the wire's length in centimetres
  float minimumSum = 0;          // Smin
  bool equalImpedances = false;  // the candidates for equal impedances, else the maximum current sum
};

struct ScanResult {
  // The confirmed candidates first, in the order found; an open one (not
  // confirmed when the first half ended) may follow.
  std::vector<FeedCandidate> candidates;
  std::size_t confirmed = 0;
};

// Sees every step's currents in order, before the candidate search takes
// them (the picture and the special table are drawn from them). It cannot
// change the results; it may end the scan by throwing.
using StepSink = std::function<void(std::int32_t step, const StepCurrents& currents)>;

ScanResult ScanWire(const WireCurrents& wire, const ScanSettings& settings, const StepSink& sink = {});

}  // namespace lorvant
