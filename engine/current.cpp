#include "engine/current.h"

#include <cmath>

#include "engine/checked.h"

namespace lorvant {

using namespace checked;

namespace {

// Equal impedances: two bands count as equal when the ratio of their
// currents lies within this over Smin, times half the counted bands, of 1.
constexpr double kEqualCurrentTolerance = 0.011;

// Base resistance over ground, an empirical curve over the height t in
// wavelengths. Below kGroundCorrectionBelow wavelengths real ground makes a
// low antenna behave as if it hung higher by k^2 * kGroundLiftScale -
// kGroundLiftScale wavelengths, k = kGroundLiftNumerator / (t / kGroundLiftHeight).
constexpr double kGroundCorrectionBelow = 0.22;
constexpr double kGroundLiftHeight = 0.08;
constexpr double kGroundLiftNumerator = 2.75;
constexpr double kGroundLiftScale = 0.01;
// R = |kHalfWaveDipoleResistance - kMutualResistanceScale * m|, ohms: the
// free-space half-wave dipole's resistance less its coupling to its image in
// the ground.
constexpr double kHalfWaveDipoleResistance = 73.56;
constexpr double kMutualResistanceScale = 60.0;

// Base impedance without the shortening-factor calculator, ohms.
constexpr float kDefaultBaseImpedance = 70;
// The impedance of a point without current, ohms: as good as open.
constexpr float kNoCurrentImpedance = 1000000;

// The resonance test counts half-waves against the 28 MHz band at this
// frequency, and finds a resonance when the wire's half-wave count lies
// within this window of a whole number (compared in single precision).
constexpr float kResonanceReferenceMHz = 28.5f;
constexpr float kResonanceWindowHigh = 1.1f;
constexpr float kResonanceWindowLow = 0.9f;

}  // namespace

BandCurrentModel PrepareStromImPunkt(double W, float L, float vk, double ins, const CalculatorState& calc) {
  // A failing step (only with ins = 0.5 or 1) leaves its term at 0.
  BandCurrentModel m;
  m.ins = ins;
  m.lambda = attempt([&] { return div(W, 1 - 2 * ins); }).valueOr(0);
  const float f = attempt([&] { return single(div(kRoundedLightSpeed, m.lambda)); }).valueOr(0);
  const float pDef = attempt([&] { return single((1.0 - vk) * 100); }).valueOr(0);
  const float s = VerkuerzungProzent(f, 0, pDef, calc);
  // The band's effective shortening factor.
  const float g = attempt([&] { return single(1 - s / 100.0); }).valueOr(0);
  m.le = attempt([&] { return single(div(L, 1 - ins)); }).valueOr(0);
  m.q = attempt([&] { return single(g / 4.0); }).valueOr(0);
  return m;
}

BandCurrent StromImPunkt(const BandCurrentModel& m, double x) {
  // A position beyond single precision reads as the wire's start.
  const float u = attempt([&] { return single(div(x, 1 - m.ins)); }).valueOr(0);
  const float v = attempt([&] { return single(static_cast<double>(m.le) - u); }).valueOr(0);

  // Each end sees a standing wave whose current node sits at the open end,
  // moved outward by the end shortening.
  const double c1 = attempt([&] { return std::cos(fin((div(u, m.lambda) - m.q) * kTwoPi)); }).valueOr(0);
  const double c2 = attempt([&] { return std::cos(fin((div(v, m.lambda) - m.q) * kTwoPi)); }).valueOr(0);

  BandCurrent r;
  r.I1 = std::fabs(c1);
  r.G = std::sqrt(r.I1 * std::fabs(c2));
  return r;
}

BandCurrent StromImPunkt(double W, float L, double x, float vk, double ins, const CalculatorState& calc) {
  return StromImPunkt(PrepareStromImPunkt(W, L, vk, ins, calc), x);
}

std::array<double, kBandCount> BandWellenlaengen(Segment segment, double ins) {
  std::array<double, kBandCount> w{};
  for (int i = 0; i < kBandCount; ++i)
    w[static_cast<std::size_t>(i)] = (kRoundedLightSpeed / BandTableWFrequency(i, segment)) * (1 - 2 * ins);
  return w;
}

int GleicheImpedanzen(const std::array<double, kBandCount>& values, float smin, int n) {
  const int half = static_cast<int>(roundHalfEven(n / 2.0));
  // Without a minimum (Smin 0) nothing is tolerated: only equal values pair.
  const float tol = attempt([&] { return single(div(kEqualCurrentTolerance, smin) * half); }).valueOr(0);
  int count = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!(sng(values[i]) >= smin)) continue;
    for (std::size_t j = 0; j < values.size(); ++j) {
      if (i == j || !(sng(values[j]) >= smin)) continue;
      // A pair whose ratio cannot be taken (a zero current) is not equal.
      if (attempt([&] { return std::fabs(1 - div(values[i], values[j])) <= tol; }).valueOr(false)) ++count;
    }
  }
  return count > half ? count : 0;
}

float FusspunktWiderstand(float f, float h, bool ground) {
  // Every failing step leaves its term as it was: 0, or t before the ground
  // correction.
  double t = attempt([&] { return div(h, div(kRoundedLightSpeed, f)); }).valueOr(0);  // height in wavelengths
  if (ground && t < kGroundCorrectionBelow) {
    // Over real ground a low antenna behaves as if it hung higher.
    const float k = attempt([&] { return single(div(kGroundLiftNumerator, t / kGroundLiftHeight)); }).valueOr(0);
    const float c =
        attempt([&] { return single(static_cast<double>(k) * k * kGroundLiftScale - kGroundLiftScale); }).valueOr(0);
    t = attempt([&] { return fin(t + c); }).valueOr(t);
  }
  const double a = attempt([&] { return fin(t * kTwoPi); }).valueOr(0);
  const float d = attempt([&] { return single(div(std::sin(2 * a), a)); }).valueOr(0);
  const float e = attempt([&] { return single(div(std::cos(2 * a), 2 * a * a)); }).valueOr(0);
  const float p = attempt([&] { return single(div(std::sin(2 * a), 4 * a * a * a)); }).valueOr(0);
  const float m = attempt([&] { return single(static_cast<double>(d) + e - p); }).valueOr(0);
  const float r =
      attempt([&] { return single(std::fabs(kHalfWaveDipoleResistance - kMutualResistanceScale * m)); }).valueOr(0);
  return t > 0 ? r : kDefaultBaseImpedance;
}

float ImpedanzAusStromsumme(double S, float f, const CalculatorState& calc) {
  float z0 = kDefaultBaseImpedance;
  if (f > 0 && calc.active) z0 = FusspunktWiderstand(f, calc.height, calc.groundCorrection);
  if (S == 1) return z0;
  // A failing step gives an impedance of 0.
  if (S > 1) return attempt([&] { return single(div(z0, S)); }).valueOr(0);
  if (S <= 0) return kNoCurrentImpedance;

  // arccos S in degrees
  const float a = attempt([&] {
                    return single((std::atan(div(-S, checked::sqrt(1 - S * S))) + 2 * std::atan(1.0)) * (180 / kPi));
                  }).valueOr(0);
  return attempt([&] {
           // For a current so small that 1 + S rounds to 1 the logarithm is taken
           // directly, so the impedance stays huge instead of collapsing to 0.
           double l = std::log(1 + S);
           if (l == 0) l = std::log1p(S);
           return single(div(a * kPi, l) + z0);
         })
      .valueOr(0);
}

float ResonanzTest(Segment ind, float qrg, float istQrg, float halbwEing, float laenge, float vkProzh, double vkIso,
                   const CalculatorState& calc) {
  const float f28 = SegmentFrequenz(ind, kResonanceReferenceMHz);
  const float fb = SegmentFrequenz(ind, istQrg);
  // Half-waves of the wire at the band under test, not rounded; when the
  // band's frequency cannot be divided by, the count at 28 MHz stays.
  float d = attempt([&] { return single(div(f28, qrg) * halbwEing); }).valueOr(0);
  d = attempt([&] { return single(div(d, div(f28, fb))); }).valueOr(d);
  const int h = toInt16(d).value_or(0);
  // Every other failing step leaves its term at 0.
  const float pDef = attempt([&] { return single(vkProzh * 100.0); }).valueOr(0);
  const float s = attempt([&] { return single(VerkuerzungProzent(fb, 0, pDef, calc) / 100.0); }).valueOr(0);

  const float k = attempt([&] { return single(div(kRoundedLightSpeed, laenge) * (1 - 2 * vkIso) / 2); }).valueOr(0);
  const float v = attempt([&] { return single(k * (static_cast<double>(d) - s)); }).valueOr(0);
  const float r = attempt([&] { return single(k * (h - static_cast<double>(s))); }).valueOr(0);
  const float c = r > 0 ? attempt([&] { return single(div(v, r)); }).valueOr(0) : 0;
  if (c < kResonanceWindowHigh && c > kResonanceWindowLow && h > 0) return r;
  return 0;  // no resonance near this band
}

}  // namespace lorvant
