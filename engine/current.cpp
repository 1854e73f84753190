#include "engine/current.h"

#include <cmath>

#include "engine/checked.h"

namespace lorvant {

using namespace checked;

BandCurrentModel PrepareStromImPunkt(double W, float L, float vk, double ins, const CalculatorState& calc) {
  BandCurrentModel m;
  m.ins = ins;
  step(m.lambda, [&] { return div(W, 1 - 2 * ins); });
  float f = 0;
  step(f, [&] { return single(div(300, m.lambda)); });
  float pDef = 0;
  step(pDef, [&] { return single((1.0 - vk) * 100); });
  const float s = VerkuerzungProzent(f, 0, pDef, calc);
  float g = 0;  // the band's effective shortening factor
  step(g, [&] { return single(1 - s / 100.0); });
  step(m.le, [&] { return single(div(L, 1 - ins)); });
  step(m.q, [&] { return single(g / 4.0); });
  return m;
}

BandCurrent StromImPunkt(const BandCurrentModel& m, double x) {
  float u = 0, v = 0;
  step(u, [&] { return single(div(x, 1 - m.ins)); });
  step(v, [&] { return single(static_cast<double>(m.le) - u); });

  // Each end sees a standing wave whose current node sits at the open end,
  // moved outward by the end shortening.
  double c1 = 0, c2 = 0;
  step(c1, [&] { return std::cos(fin((div(u, m.lambda) - m.q) * kTwoPi)); });
  step(c2, [&] { return std::cos(fin((div(v, m.lambda) - m.q) * kTwoPi)); });

  BandCurrent r;
  r.I1 = std::fabs(c1);
  r.G = std::sqrt(r.I1 * std::fabs(c2));
  return r;
}

BandCurrent StromImPunkt(double W, float L, double x, float vk, double ins, const CalculatorState& calc) {
  return StromImPunkt(PrepareStromImPunkt(W, L, vk, ins, calc), x);
}

std::array<double, kBandCount> BandWellenlaengen(int segment, double ins) {
  std::array<double, kBandCount> w{};
  for (int i = 0; i < kBandCount; ++i)
    w[static_cast<std::size_t>(i)] = (300 / BandTableWFrequency(i, segment)) * (1 - 2 * ins);
  return w;
}

int GleicheImpedanzen(const std::array<double, kBandCount>& values, float smin, int n) {
  const int half = static_cast<int>(roundHalfEven(n / 2.0));
  float tol = 0;
  step(tol, [&] { return single(div(0.011, smin) * half); });
  int count = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!(sng(values[i]) >= smin)) continue;
    for (std::size_t j = 0; j < values.size(); ++j) {
      if (i == j || !(sng(values[j]) >= smin)) continue;
      bool equal = false;
      step(equal, [&] { return std::fabs(1 - div(values[i], values[j])) <= tol; });
      if (equal) ++count;
    }
  }
  return count > half ? count : 0;
}

float FusspunktWiderstand(float f, float h, bool ground) {
  double t = 0;  // height in wavelengths
  step(t, [&] { return div(h, div(300, f)); });
  if (ground && t < 0.22) {
    // Over real ground a low antenna behaves as if it hung higher.
    float k = 0, c = 0;
    step(k, [&] { return single(div(2.75, t / 0.08)); });
    step(c, [&] { return single(static_cast<double>(k) * k * 0.01 - 0.01); });
    step(t, [&] { return fin(t + c); });
  }
  double a = 0;
  step(a, [&] { return fin(t * kTwoPi); });
  float d = 0, e = 0, p = 0, m = 0;
  step(d, [&] { return single(div(std::sin(2 * a), a)); });
  step(e, [&] { return single(div(std::cos(2 * a), 2 * a * a)); });
  step(p, [&] { return single(div(std::sin(2 * a), 4 * a * a * a)); });
  step(m, [&] { return single(static_cast<double>(d) + e - p); });
  float r = 0;
  step(r, [&] { return single(std::fabs(73.56 - 60.0 * m)); });
  return t > 0 ? r : 70;
}

float ImpedanzAusStromsumme(double S, float f, const CalculatorState& calc) {
  float z0 = 70;
  if (f > 0 && calc.active) z0 = FusspunktWiderstand(f, calc.height, calc.groundCorrection);
  if (S == 1) return z0;
  float z = 0;
  if (S > 1) {
    step(z, [&] { return single(div(z0, S)); });
    return z;
  }
  if (S <= 0) return 1000000;

  float a = 0;  // arccos S in degrees
  step(a, [&] { return single((std::atan(div(-S, checked::sqrt(1 - S * S))) + 2 * std::atan(1.0)) * (180 / kPi)); });
  step(z, [&] {
    // For a current so small that 1 + S rounds to 1 the logarithm is taken
    // directly, so the impedance stays huge instead of collapsing to 0.
    double l = std::log(1 + S);
    if (l == 0) l = std::log1p(S);
    return single(div(a * kPi, l) + z0);
  });
  return z;
}

float ResonanzTest(int ind, float qrg, float istQrg, float halbwEing, float laenge, float vkProzh, double vkIso,
                   const CalculatorState& calc) {
  const float f28 = SegmentFrequenz(ind, 28.5f);
  const float fb = SegmentFrequenz(ind, istQrg);
  // Half-waves of the wire at the band under test, not rounded.
  float d = 0;
  step(d, [&] { return single(div(f28, qrg) * halbwEing); });
  step(d, [&] { return single(div(d, div(f28, fb))); });
  const int h = toInt16(d).value_or(0);
  float pDef = 0, s = 0;
  step(pDef, [&] { return single(vkProzh * 100.0); });
  step(s, [&] { return single(VerkuerzungProzent(fb, 0, pDef, calc) / 100.0); });

  float k = 0, v = 0, r = 0;
  step(k, [&] { return single(div(300, laenge) * (1 - 2 * vkIso) / 2); });
  step(v, [&] { return single(k * (static_cast<double>(d) - s)); });
  step(r, [&] { return single(k * (h - static_cast<double>(s))); });
  float c = 0;
  if (r > 0) step(c, [&] { return single(div(v, r)); });
  if (c < 1.1f && c > 0.9f && h > 0) return r;
  return 0;  // no resonance near this band
}

}  // namespace lorvant
