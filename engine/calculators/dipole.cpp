#include "engine/calculators/dipole.h"

#include <cmath>

#include "engine/checked.h"
#include "engine/common.h"

namespace lorvant::dipole {

namespace {

// A step of the spacing formula that fails (logarithm of a non-positive
// number, division by zero, a value beyond single precision) is skipped.
bool usable(double v) { return checked::fitsSingle(v); }

// 10^(0.54 * log10 x), the logarithm taken as ln x / ln 10.
double coupling(double x) { return std::pow(10.0, 0.54 * (std::log(x) / std::log(10.0))); }

// In this order; a zero refuses. Frequencies and diameters below zero would
// make the logarithm of the spacing formula undefined, so they are refused
// the same way.
Refusal CheckFigures(const Figures& v) {
  if (!(v.fExc > 0)) return Refusal::NoExciterFrequency;
  if (!(v.fAdd > 0)) return Refusal::NoFrequency;
  if (v.z == 0) return Refusal::NoImpedance;
  if (!(v.dExc > 0)) return Refusal::NoExciterDiameter;
  if (!(v.dAdd > 0)) return Refusal::NoDiameter;
  // A shortening factor lies above 0 and at most 1; anything else gives
  // lengths that no wire has.
  if (!(v.vk > 0 && v.vk <= 1)) return Refusal::VkOutside;
  if (v.n == 0) return Refusal::NoHalfWaves;
  if (!(v.fAdd > v.fExc)) return Refusal::FrequencyNotAboveExciter;
  return Refusal::None;
}

// The exciter cannot be thicker than its own height allows, and the wires
// must not touch: a clear gap of 1 mm or less is refused.
Refusal CheckWiresFit(Result& out, const Figures& v, float height) {
  const double heightLimit = height * 1000.0 / 2;
  if (v.dExc > heightLimit) {
    out.exciterLimit = sng(heightLimit);
    return Refusal::ExciterTooThick;
  }
  const float gap = sng(out.s0 - (static_cast<double>(v.dAdd) + v.dExc) / 2);
  out.gap = gap;
  if (gap > 1) return Refusal::None;
  if (gap > 0 && gap < v.dAdd) return Refusal::GapBelowWire;
  out.showEstimate = !(gap <= 0 || gap <= v.dAdd || out.s0 <= 1.02f);
  return Refusal::WiresTooClose;
}

// The WINDOM's length and the factor its feed-point fraction puts on the
// spacing.
Refusal WindomLength(const Figures& v, float& length, float& windomFactor) {
  float halfWaves = v.n;
  float f0 = v.fAdd;
  try {
    length = AntennenLaenge(halfWaves, v.vk, v.ins, f0, v.length);
  } catch (const ArithmeticError&) {
    return Refusal::NoWindomLength;
  }
  if (!(length != 0) || !std::isfinite(length)) return Refusal::NoWindomLength;
  const double a = static_cast<double>(length) * v.c;
  const double b = length - a;
  // A fraction of 0 or 1 leaves one side without wire; outside 0..1 the
  // angle below has no logarithm. Both are refused like a zero value.
  if (a == 0 || b == 0) return Refusal::FeedPointOffWire;
  const double r = a / b * 90;
  if (!(r > 0) || !std::isfinite(r)) return Refusal::FeedPointOffWire;
  windomFactor = sng(std::sin(r * kPi / 180) +
                     std::sin(kPi / 180 * (std::log(r / 2.71828182818282) - 1.749904835) * 102.8627365) / 12.5);
  return Refusal::None;
}

}  // namespace

Result Compute(const Figures& v) {
  Result out;
  if ((out.refusal = CheckFigures(v)) != Refusal::None) return out;

  const double w = (1 - 2 * v.ins) * 300 / v.fAdd;
  const CalculatorState& calc = v.length.calc;
  const float height = calc.active ? calc.height : sng(w * 100);

  const double x = (v.dAdd / 1.27 + v.dExc * 1.27) / 8000 / w;
  if (!(x > 0) || !std::isfinite(x)) {
    out.refusal = Refusal::NoSpacing;
    return out;
  }
  out.wavelength = w;
  out.s0 = sng(coupling(x) * (v.z / 72.0) * w * 1000 + std::sqrt(static_cast<double>(v.dAdd) + v.dExc));
  if ((out.refusal = CheckWiresFit(out, v, height)) != Refusal::None) return out;

  const float s1 = VerkuerzungProzent(v.fExc, v.dExc, sng((1 - static_cast<double>(v.vk)) * 100), calc);
  const float s2 = VerkuerzungProzent(v.fAdd, v.dAdd, s1, calc);
  float spacing = ZusatzAbstand(v.z, v.fExc, v.fAdd, v.dExc, v.dAdd, s2, v.ins);
  float length = sng(w / 2 * (100 - static_cast<double>(s2)) / 100);
  float windomFactor = 0;
  if (v.windom) {
    if ((out.refusal = WindomLength(v, length, windomFactor)) != Refusal::None) return out;
    spacing = sng(static_cast<double>(spacing) * windomFactor);
  }

  out.s1 = s1;
  out.s2 = s2;
  out.exciterVk = sng((100 - static_cast<double>(s1)) / 100);
  out.spacing = spacing;
  out.withinRange = v.dExc >= 0.5 && v.dExc <= 100 && v.dAdd >= 0.5 && v.dAdd <= 100 &&
                    (v.z <= 72 || sng(static_cast<double>(v.dAdd) + v.dExc) <= 40);
  out.length = length;
  out.feedPoint = sng(static_cast<double>(v.c) * length);
  out.windomFactor = windomFactor;
  return out;
}

float ZusatzAbstand(float z, float /*fExc*/, float fAdd, float dExc, float dAdd, float /*s*/, double ins) {
  float w1 = 0;
  double x = 0;
  float k = 0;
  float s = 0;

  if (const double v = (300.0 / fAdd) * (1 - 2 * ins); usable(v)) w1 = sng(v);
  if (const double v = (static_cast<double>(dExc) * 1.27 + dAdd / 1.27) / 8000 / w1; usable(v)) x = v;
  if (x > 0) {
    if (const double v = coupling(x) * (z / 72.0) * w1 * 1000; usable(v)) k = sng(v);
  }
  const double diameterSum = static_cast<double>(dExc) + dAdd;
  if (diameterSum >= 0) {
    if (const double v = k + std::sqrt(diameterSum); usable(v)) s = sng(v);
  }
  if (z > 72 && sng(diameterSum) < 41 && diameterSum >= 0) {
    if (const double v = s + (1.7 - std::sqrt(diameterSum)) / (2350.5 / z) * k; usable(v)) s = sng(v);
  }
  return s;
}

float LowestCountedFrequency(const BandValues& bands) {
  for (int i = 0; i < kBandCount; ++i) {
    if (bands[static_cast<std::size_t>(i)] == BandState::Counted) return BandNennFrequenz(i);
  }
  return 0;
}

}  // namespace lorvant::dipole
