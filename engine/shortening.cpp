#include "engine/shortening.h"

#include <cmath>

#include "engine/checked.h"

namespace lorvant {

using namespace checked;

namespace {

// The height curve is an empirical fit of the shortening over the height
// in wavelengths t: E = kHeightScale * pi * t / sqrt 2, then
// a = |kHeightOffset - kHeightWeight * (sin(kHeightSineFactor * E) / E + ...)|.
constexpr double kHeightScale = 1.9;
constexpr double kHeightSineFactor = 3.46;
constexpr double kHeightOffset = 4.6;
constexpr double kHeightWeight = 3.45;
// ln 10 to six decimals: a height shortening above 10 % continues as
// 10 + ln(a / 10), which meets the curve at 10.
constexpr double kLn10 = 2.302585;
// 10 e: the slenderness shortening in percent is 10 e / ln(wavelength /
// diameter).
constexpr double kTenE = 27.182818286;
// The empirical scale of the insulation fraction g o / (Vk kInsulationScale)
// (1 - 1 / sqrt er), g and o the logarithms of the conductor diameter and of
// the outer minus the conductor diameter, both in micrometres.
constexpr double kInsulationScale = 1623.3333;

}  // namespace

float VerkuerzungProzent(float f, float d, float pDefault, const CalculatorState& calc) {
  if (!calc.active) return pDefault;
  const float diameter = d != 0 ? d : calc.diameter;
  const float a = HoehenVerkuerzung(f, calc.height, calc.groundCorrection);
  const float b = SchlankheitsVerkuerzung(f, diameter);
  // Height and slenderness shorten the wire as factors, not as a sum.
  float p = 0;
  step(p, [&] { return single((1 - (100.0 - a) * (100.0 - b) / 10000) * 100); });
  return p;
}

float HoehenVerkuerzung(float f, float h, bool ground) {
  const float v = ground ? 2.1f : 2.0f;
  float t = 0;  // height in wavelengths
  step(t, [&] { return single(div(h, div(300, f))); });
  double e = 0;
  step(e, [&] { return fin(kHeightScale * kPi * t / std::sqrt(2.0)); });
  float k = 0, p = 0, x = 0, z = 0;
  step(k, [&] { return single(div(std::sin(kHeightSineFactor * e), e)); });
  step(p, [&] { return single(div(std::cos(kPi * e), 2 * e * e)); });
  step(x, [&] { return single(div(std::sin(v * e), 4 * e * e * e)); });
  step(z, [&] { return single(static_cast<double>(k) + p - x); });
  float a = 0;
  step(a, [&] { return single(std::fabs(kHeightOffset - kHeightWeight * z)); });
  // Close to the ground the curve explodes; let large values grow only
  // logarithmically.
  if (a > 10) step(a, [&] { return single((10 - kLn10) + ln(a)); });
  return t > 0 ? a : 0;
}

float SchlankheitsVerkuerzung(float f, float d) {
  float p = 0;
  // Wavelength over wire diameter, both in metres.
  step(p, [&] { return single(div(kTenE, ln(div(div(300, f), d / 1000.0)))); });
  return p;
}

double IsolationsVerkuerzung(float er, float outerD, float d, float vk) {
  float c = 0, g = 0, w = 0, o = 0;
  step(c, [&] { return single(div(1, checked::sqrt(er))); });
  step(g, [&] { return single(ln(1000.0 * d)); });
  step(w, [&] { return single(static_cast<double>(outerD) - d); });
  if (w < 0.001) w = sng(0.001);  // a thinner wall than a micrometre counts as one
  step(o, [&] { return single(ln(1000.0 * w)); });
  // The fraction is a double quantity: 1 - c must not be taken in single
  // precision, or the last digit of the special table drifts.
  double ins = 0;
  step(ins, [&] { return fin(div(static_cast<double>(g) * o, vk * kInsulationScale) * (1.0 - c)); });
  return ins;
}

namespace {

float lengthPreferred(float n, float f0, double wire, float pDef, const CalculatorState& calc) {
  const float s = single(VerkuerzungProzent(f0, 0, pDef, calc) / 100.0);
  return single((n - static_cast<double>(s)) * div(wire * 300, f0) / 2);
}

// Every counted band contributes one half-wave of the lowest band, less its
// own end shortening; the length is their mean.
float lengthAllBands(float& n, float& f0, double wire, float pDef, int segment, const LengthContext& ctx) {
  int top = -1;
  for (int i = 0; i < kBandCount; ++i)
    if (ctx.bands[static_cast<std::size_t>(i)] == kBandCounted) top = i;

  double longest = 0;  // half-wave of the lowest band so far
  float sum = 0;
  int count = 0;
  float lastF = 0, lastR = 0;
  for (int i = 0; i <= top; ++i) {
    if (ctx.bands[static_cast<std::size_t>(i)] != kBandCounted) continue;
    const float f = SegmentFrequenz(segment, BandNennFrequenz(i));
    const double h = div(wire * 300, f) / 2;
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
    const double hx = div(wire * 300, fx) / 2;
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
float lengthHighestLowest(float& n, float& f0, double wire, float pDef, float tol, int segment,
                          const LengthContext& ctx) {
  bool any = false;
  float lo = 0, hi = 0;
  for (int i = 0; i < kBandCount; ++i) {
    if (ctx.bands[static_cast<std::size_t>(i)] != kBandCounted) continue;
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
  const double hLo = div(wire * 300, fLo) / 2;
  const double hHi = div(wire * 300, fHi) / 2;
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
    case kLengthAll:
      return lengthAllBands(n, f0, wire, pDef, ctx.segment, ctx);
    case kLengthHighestLowest:
      return lengthHighestLowest(n, f0, wire, pDef, tol, ctx.segment, ctx);
    default:
      return lengthPreferred(n, f0, wire, pDef, ctx.calc);
  }
}

}  // namespace lorvant
