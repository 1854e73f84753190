#include "engine/shortening.h"

#include <cmath>

#include "engine/checked.h"

namespace lorvant {

using namespace checked;

namespace {

// Height shortening, an empirical curve over the height t in wavelengths:
// E = kHeightArgumentScale * pi * t / sqrt 2,
// Z = sin(kHeightSineRate E) / E + cos(pi E) / (2 E^2) - sin(v E) / (4 E^3)
// with v the outer rate (higher with the ground correction), and the
// shortening |kHeightOffsetPercent - kHeightSlopePercent * Z| percent.
constexpr double kHeightArgumentScale = 1.9;
constexpr double kHeightSineRate = 3.46;
constexpr float kHeightOuterRate = 2.0f;
constexpr float kHeightOuterRateGround = 2.1f;
constexpr double kHeightOffsetPercent = 4.6;
constexpr double kHeightSlopePercent = 3.45;
// Above this many percent the curve grows only like ln a, joined at
// a = 10 where 10 - ln 10 + ln a = a.
constexpr float kHeightLogOnsetPercent = 10;
constexpr double kLn10 = 2.302585;  // ln 10 to seven places

// Slenderness shortening: ten times e (to eleven digits) over the logarithm
// of wavelength over wire diameter gives the percent.
constexpr double kTenE = 27.182818286;

// Insulation fraction: ln(d) ln(wall), both in micrometres, over
// Vk * kInsulationScale, times 1 - 1 / sqrt(er): an empirical fit.
constexpr double kInsulationScale = 1623.3333;
// A wall thinner than this (mm, a micrometre) counts as this thick.
constexpr double kThinnestWallMm = 0.001;

}  // namespace

float VerkuerzungProzent(float f, float d, float pDefault, const CalculatorState& calc) {
  if (!calc.active) return pDefault;
  const float diameter = d != 0 ? d : calc.diameter;
  const float a = HoehenVerkuerzung(f, calc.height, calc.groundCorrection);
  const float b = SchlankheitsVerkuerzung(f, diameter);
  // Height and slenderness shorten the wire as factors, not as a sum.
  return attempt([&] { return single((1 - (100.0 - a) * (100.0 - b) / 10000) * 100); }).valueOr(0);
}

float HoehenVerkuerzung(float f, float h, bool ground) {
  // A failing step leaves its term at 0; the compression keeps a as it was.
  const float v = ground ? kHeightOuterRateGround : kHeightOuterRate;
  // The height in wavelengths.
  const float t = attempt([&] { return single(div(h, div(kRoundedLightSpeed, f))); }).valueOr(0);
  const double e = attempt([&] { return fin(kHeightArgumentScale * kPi * t / std::sqrt(2.0)); }).valueOr(0);
  const float k = attempt([&] { return single(div(std::sin(kHeightSineRate * e), e)); }).valueOr(0);
  const float p = attempt([&] { return single(div(std::cos(kPi * e), 2 * e * e)); }).valueOr(0);
  const float x = attempt([&] { return single(div(std::sin(v * e), 4 * e * e * e)); }).valueOr(0);
  const float z = attempt([&] { return single(static_cast<double>(k) + p - x); }).valueOr(0);
  float a = attempt([&] { return single(std::fabs(kHeightOffsetPercent - kHeightSlopePercent * z)); }).valueOr(0);
  // Close to the ground the curve explodes; let large values grow only
  // logarithmically.
  if (a > kHeightLogOnsetPercent)
    a = attempt([&] { return single((kHeightLogOnsetPercent - kLn10) + ln(a)); }).valueOr(a);
  return t > 0 ? a : 0;
}

float SchlankheitsVerkuerzung(float f, float d) {
  // Wavelength over wire diameter, both in metres; 0 when it has no logarithm.
  return attempt([&] { return single(div(kTenE, ln(div(div(kRoundedLightSpeed, f), d / 1000.0)))); }).valueOr(0);
}

double IsolationsVerkuerzung(float er, float outerD, float d, float vk) {
  // A failing step leaves its term at 0.
  const float c = attempt([&] { return single(div(1, checked::sqrt(er))); }).valueOr(0);
  const float g = attempt([&] { return single(ln(1000.0 * d)); }).valueOr(0);
  float w = attempt([&] { return single(static_cast<double>(outerD) - d); }).valueOr(0);
  if (w < kThinnestWallMm) w = sng(kThinnestWallMm);
  const float o = attempt([&] { return single(ln(1000.0 * w)); }).valueOr(0);
  // The fraction is a double quantity: 1 - c must not be taken in single
  // precision, or the last digit of the special table drifts.
  return attempt([&] { return fin(div(static_cast<double>(g) * o, vk * kInsulationScale) * (1.0 - c)); }).valueOr(0);
}

namespace {

float lengthPreferred(float n, float f0, double wire, float pDef, const CalculatorState& calc) {
  const float s = single(VerkuerzungProzent(f0, 0, pDef, calc) / 100.0);
  return single((n - static_cast<double>(s)) * div(wire * kRoundedLightSpeed, f0) / 2);
}

// Every counted band contributes one half-wave of the lowest band, less its
// own end shortening; the length is their mean.
float lengthAllBands(float& n, float& f0, double wire, float pDef, Segment segment, const LengthContext& ctx) {
  int top = -1;
  for (int i = 0; i < kBandCount; ++i)
    if (ctx.bands[static_cast<std::size_t>(i)] == BandState::Counted) top = i;

  double longest = 0;  // half-wave of the lowest band so far
  float sum = 0;
  int count = 0;
  float lastF = 0, lastR = 0;
  for (int i = 0; i <= top; ++i) {
    if (ctx.bands[static_cast<std::size_t>(i)] != BandState::Counted) continue;
    const float f = SegmentFrequenz(segment, BandNennFrequenz(i));
    const double h = div(wire * kRoundedLightSpeed, f) / 2;
    float r = 1;
    if (longest > 0)
      r = single(div(longest, h));
    else
      longest = h;
    const float s = single(VerkuerzungProzent(f, 0, pDef, ctx.calc) / 100.0);
    sum = single(sum + h * (static_cast<double>(r) - s));
    ++count;
    lastF = f;
    lastR = r;
  }

  if (ctx.extraBand) {
    const float fx = ctx.extraFrequency;
    const double hx = div(wire * kRoundedLightSpeed, fx) / 2;
    if (hx > longest) longest = hx;
    const float sx = single(VerkuerzungProzent(fx, 0, pDef, ctx.calc) / 100.0);
    const float rx = single(roundHalfEven(div(longest, hx)));
    sum = single(sum + hx * (static_cast<double>(rx) - sx));
    ++count;
    if (fx > lastF) {
      lastF = fx;
      lastR = rx;
    }
  }

  const float length = single(div(sum, count));
  f0 = lastF;
  n = lastR;
  return length;
}

// The shortest length on which the lowest and the highest band both find a
// whole number of half-waves within the tolerance, preferring an even count
// on the highest band.
float lengthHighestLowest(float& n, float& f0, double wire, float pDef, float tol, Segment segment,
                          const LengthContext& ctx) {
  bool any = false;
  float lo = 0, hi = 0;
  for (int i = 0; i < kBandCount; ++i) {
    if (ctx.bands[static_cast<std::size_t>(i)] != BandState::Counted) continue;
    if (!any) lo = BandNennFrequenz(i);
    hi = BandNennFrequenz(i);
    any = true;
  }
  if (ctx.extraBand) {
    const float fx = ctx.extraFrequency;
    if (!any || fx < lo) lo = fx;
    if (!any || fx > hi) hi = fx;
  }

  const float fLo = SegmentFrequenz(segment, lo);
  const float fHi = SegmentFrequenz(segment, hi);
  f0 = fHi;
  const float gLo = single(1 - VerkuerzungProzent(fLo, 0, pDef, ctx.calc) / 100.0);
  const float gHi = single(1 - VerkuerzungProzent(fHi, 0, pDef, ctx.calc) / 100.0);
  const double hLo = div(wire * kRoundedLightSpeed, fLo) / 2;
  const double hHi = div(wire * kRoundedLightSpeed, fHi) / 2;
  const float eLo = single(gLo * hLo);
  const float eHi = single(gHi * hHi);

  float length = 0;
  for (int a = 1; a <= 200; ++a) {
    const float la = single((a - 1) * hLo + eLo);
    for (int i = 1; i <= 200; ++i) {
      const float lb = single((i - 1) * hHi + eHi);
      const float delta = single(std::fabs(static_cast<double>(la) - lb));
      if (single(2.0 * la) < delta) break;
      if (single(static_cast<double>(la) * tol) > delta) {
        length = single((static_cast<double>(la) + lb) / 2);
        n = single(div(length, eHi));
        const double halfN = n / 2.0;
        if (halfN == std::floor(halfN)) break;
      }
    }
    if (length >= eLo) break;
  }
  return length;
}

}  // namespace

float AntennenLaenge(float& n, float vk, double ins, float& f0, const LengthContext& ctx) {
  const float tol = single(ctx.tolerancePercent / 100.0);
  const float pDef = single((1.0 - vk) * 100);
  const double wire = 1 - 2 * ins;  // insulation shortens the wave on the wire
  switch (ctx.lengthMode) {
    case LengthMode::All:
      return lengthAllBands(n, f0, wire, pDef, ctx.segment, ctx);
    case LengthMode::HighestLowest:
      return lengthHighestLowest(n, f0, wire, pDef, tol, ctx.segment, ctx);
    default:
      return lengthPreferred(n, f0, wire, pDef, ctx.calc);
  }
}

}  // namespace lorvant
