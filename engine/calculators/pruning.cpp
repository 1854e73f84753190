#include "engine/calculators/pruning.h"

#include "engine/common.h"

namespace lorvant::pruning {

Result Compute(const Figures& in) {
  Result out;
  const auto refuse = [&out](Refusal why) {
    out.refusal = why;
    return out;
  };
  // A wire cannot be measured shorter than nothing.
  if (!(in.la > 0)) return refuse(Refusal::NoLength);
  if (in.fa == 0) return refuse(Refusal::NoMeasuredFrequency);
  if (in.fs == 0) return refuse(Refusal::NoDesiredFrequency);

  out.ratio = sng(static_cast<double>(in.fa) / in.fs);
  if (!(out.ratio >= kLowestRatio && out.ratio <= kHighestRatio)) return refuse(Refusal::RatioOutside);

  // Whole half-waves of the measured wire. A length too large for any real
  // wire would not fit the count; it is refused like a missing length.
  const auto halfWaves = toInt16(in.la / (150.0 / in.fa));
  if (!halfWaves) return refuse(Refusal::LengthTooLarge);
  const int n = *halfWaves;

  float t = sng(static_cast<double>(in.la) * in.fa / 150);
  t = sng(n - static_cast<double>(t));
  out.halfWaves = n;
  out.vk = sng(1 - static_cast<double>(t));
  out.newLength = sng((150.0 / in.fs) * (n - static_cast<double>(t)));
  out.change = sng((static_cast<double>(out.newLength) - in.la) * 100);
  return out;
}

}  // namespace lorvant::pruning
