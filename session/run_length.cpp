#include "session/run_length.h"

#include <cmath>

#include "engine/checked.h"
#include "engine/common.h"
#include "engine/numparse.h"

namespace lorvant {

LengthContext RunLengthContext(const RunInput& in, const BandValues& bands, std::optional<Segment> segment,
                               bool extraBand, float extraFrequency) {
  LengthContext ctx;
  ctx.bands = bands;
  ctx.segment = segment.value_or(in.segment);
  ctx.lengthMode = in.lengthMode;
  ctx.tolerancePercent = ParseNumber(in.tolerance);
  ctx.extraBand = extraBand;
  ctx.extraFrequency = extraFrequency;
  ctx.calc = in.calculator;
  return ctx;
}

namespace {

// A long wire has nearly a whole 150 / f0 per half-wave, not Vk of it, so
// taking off one half-wave leaves it too long from about ten
// half-waves on. The count comes down until the wire fits, or to 1. The
// length grows with the count, so the largest fitting count is searched
// rather than walked to (a tiny Vk gives counts beyond float's integers).
float CountWithinLimit(const LengthContext& ctx, float halfWaves, float wireLimit, float preferredFrequency,
                       float shorteningFactor) {
  const auto fits = [&](double count) {
    float k = static_cast<float>(count);
    float frequency = preferredFrequency;
    return checked::strictSingle(AntennenLaenge(k, shorteningFactor, 0.0, frequency, ctx)) <= wireLimit;
  };
  if (!(halfWaves > 1) || fits(halfWaves)) return halfWaves;
  double low = 1, high = halfWaves;  // high does not fit; low fits or is 1
  while (high - low > 1) {
    const double mid = std::floor((low + high) / 2);
    (fits(mid) ? low : high) = mid;
  }
  return static_cast<float>(low);
}

// Bands below the wire's fundamental cannot be served: they turn grey.
// Without a counted band there is nothing to compare with; the run then
// ends at the band count check.
void GreyBandsBelowFundamental(float wireLimit, BandValues& bands, RunErrors& errors) {
  float lowest = 0;
  for (int b = 0; b < kBandCount && lowest == 0; ++b)
    if (bands[static_cast<std::size_t>(b)] == BandState::Counted) lowest = BandNennFrequenz(b);
  if (!(lowest > 0)) return;
  float fundamental = 0;
  const bool ok = errors.attempt([&] {
    const double halfWaves = roundHalfEven(checked::div(150, lowest));
    fundamental = checked::strictSingle(checked::div(lowest, checked::div(wireLimit, halfWaves)));
  });
  if (!ok) return;
  const double fundamentalKey = roundHalfEven(fundamental);
  for (int b = 0; b < kBandCount; ++b) {
    BandState& v = bands[static_cast<std::size_t>(b)];
    if (roundHalfEven(BandNennFrequenz(b)) >= fundamentalKey) {
      if (v != BandState::Counted) v = BandState::Grey;
      break;
    }
    if (v == BandState::Counted) v = BandState::Grey;
  }
}

}  // namespace

WireFit FitWireLimit(const RunInput& in, float wireLimit, float preferredFrequency, float shorteningFactor,
                     BandValues& bands, RunErrors& errors) {
  // The form's bands, segment and no additional band: the segment question
  // comes later.
  const LengthContext ctx = RunLengthContext(in, in.bands);
  float fitting = 0;  // the half-waves that fit the wire, unrounded
  errors.attempt([&] {
    fitting = checked::strictSingle(
        checked::div(checked::div(wireLimit, shorteningFactor), checked::div(150, preferredFrequency)));
  });
  float rounded = static_cast<float>(roundHalfEven(fitting));
  float roundedLength = 0;
  errors.attempt([&] {
    float halfWaves = rounded;
    float frequency = preferredFrequency;
    const float length = AntennenLaenge(halfWaves, shorteningFactor, 0.0, frequency, ctx);
    checked::strictSingle(length);
    roundedLength = length;
    rounded = halfWaves;
    preferredFrequency = frequency;
  });
  if (roundedLength > wireLimit) fitting = checked::strictSingle(static_cast<double>(fitting) - 1);
  WireFit fit;
  fit.halfWaves = static_cast<float>(roundHalfEven(fitting));
  if (in.lengthMode == LengthMode::Preferred)
    errors.attempt(
        [&] { fit.halfWaves = CountWithinLimit(ctx, fit.halfWaves, wireLimit, preferredFrequency, shorteningFactor); });
  GreyBandsBelowFundamental(wireLimit, bands, errors);
  if (fit.halfWaves < 1) fit.halfWaves = 1;
  fit.preferredFrequency = preferredFrequency;
  return fit;
}

}  // namespace lorvant
