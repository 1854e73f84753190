#include "engine/scan.h"

#include "engine/common.h"

namespace lorvant {

WireCurrents::WireCurrents(const WireSetup& s)
    : bands_(s.bands), extraBand_(s.extraBand), countedBands_(s.countedBands) {
  for (std::size_t i = 0; i < s.wavelengths.size(); ++i)
    models_[i] = PrepareStromImPunkt(s.wavelengths[i], s.length, s.shorteningFactor, s.insulation, s.calculator);
  if (extraBand_)
    extraModel_ = PrepareStromImPunkt(s.extraWavelength, s.length, s.shorteningFactor, s.insulation, s.calculator);
}

StepCurrents WireCurrents::at(std::int32_t step) const {
  StepCurrents v;
  const double x = step / 100.0;
  for (std::size_t i = 0; i < models_.size(); ++i) {
    const BandCurrent c = StromImPunkt(models_[i], x);
    v.current[i] = c.G;
    v.startCurrent[i] = c.I1;
  }
  v.extra = extraBand_ ? StromImPunkt(extraModel_, x) : BandCurrent{};
  // From 50 MHz down, then the additional band: the order of the sums.
  double sum = 0, startSum = 0;
  for (int b = kBandCount - 1; b >= 0; --b) {
    const auto i = static_cast<std::size_t>(b);
    if (bands_[i] == BandState::Counted) {
      sum += v.current[i];
      startSum += v.startCurrent[i];
    }
  }
  if (extraBand_) {
    sum += v.extra.G;
    startSum += v.extra.I1;
  }
  v.currentSum = sum / countedBands_;
  v.startCurrentSum = startSum / countedBands_;
  return v;
}

std::array<bool, kBandCount> WireCurrents::shownBands() const {
  std::array<bool, kBandCount> on{};
  for (std::size_t i = 0; i < on.size(); ++i) on[i] = bands_[i] != BandState::Off;
  return on;
}

namespace {

// The candidate search along the first half of the wire, step by step.
class CandidateSearch {
 public:
  CandidateSearch(const WireCurrents& wire, const ScanSettings& settings)
      : wire_(wire),
        minimumSum_(settings.minimumSum),
        equalImpedances_(settings.equalImpedances),
        bestCount_(static_cast<int>(roundHalfEven(wire.countedBands() / 2.0))) {}

  void take(std::int32_t step, const StepCurrents& v) {
    if (equalImpedances_) FollowEqualImpedances(step, v);
    if (v.currentSum >= reference_) {
      reference_ = v.currentSum;
      rising_ = true;
      Store(step, v);
    } else {
      reference_ = v.currentSum;
      if (rising_ && EveryBandReaches(v)) ++result_.confirmed;
      rising_ = false;
    }
  }

  ScanResult result() && { return std::move(result_); }

 private:
  // Where more bands reach equal impedances than before, the sum must rise
  // again to make a candidate; elsewhere it must rise above itself.
  void FollowEqualImpedances(std::int32_t step, const StepCurrents& v) {
    int count = 0;
    if (sng(v.currentSum) >= minimumSum_) {
      std::array<double, kBandCount> values{};
      for (std::size_t i = 0; i + 1 < values.size(); ++i)
        values[i] = wire_.bands()[i] == BandState::Counted ? v.current[i] : 0.0;
      values[kBandCount - 1] = wire_.extraBand() ? v.extra.G : 0.0;
      count = GleicheImpedanzen(values, minimumSum_, wire_.countedBands());
    }
    if (count > 0 && bestCount_ < count && step > 0) {
      reference_ = v.currentSum - 0.00001;
      bestCount_ = count;
    } else {
      reference_ = v.currentSum + 0.00001;
      if (count > 0) bestCount_ = count;
    }
  }

  bool EveryBandReaches(const StepCurrents& v) const {
    bool ok = true;
    for (std::size_t i = 0; i < wire_.bands().size(); ++i)
      if (wire_.bands()[i] == BandState::Counted && sng(v.current[i]) < minimumSum_) ok = false;
    if (wire_.extraBand() && sng(v.extra.G) < minimumSum_) ok = false;
    return ok;
  }

  // Overwrites the open candidate (the one after the confirmed) with this step.
  void Store(std::int32_t step, const StepCurrents& v) {
    std::vector<FeedCandidate>& all = result_.candidates;
    if (all.size() <= result_.confirmed) all.resize(result_.confirmed + 1);
    FeedCandidate& c = all[result_.confirmed];
    c.x = step / 100.0;
    c.S = v.currentSum;
    for (std::size_t i = 0; i < c.G.size(); ++i) c.G[i] = wire_.bands()[i] != BandState::Off ? v.current[i] : 0.0;
    c.extraG = wire_.extraBand() ? v.extra.G : 0.0;
  }

  const WireCurrents& wire_;
  const float minimumSum_;
  const bool equalImpedances_;
  int bestCount_;
  double reference_ = 0;
  bool rising_ = false;
  ScanResult result_;
};

}  // namespace

ScanResult ScanWire(const WireCurrents& wire, const ScanSettings& settings, const StepSink& sink) {
  CandidateSearch search(wire, settings);
  const double half = settings.steps / 2.0;
  for (std::int64_t step = 0; step <= settings.steps; ++step) {
    const auto p = static_cast<std::int32_t>(step);
    const StepCurrents v = wire.at(p);
    if (sink) sink(p, v);
    if (p <= half) search.take(p, v);
  }
  return std::move(search).result();
}

}  // namespace lorvant
