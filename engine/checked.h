// Checked arithmetic for the computation and the forms. Every step that can
// fail (a division by zero, a result beyond the range of its type, a
// logarithm or root outside its domain) throws ArithmeticError, so a caller
// either lets the failure travel up (the length function, the run) or skips
// the step and keeps the term's previous value (the shortening and current
// functions, the main form's half-wave derivation).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/common.h"

namespace lorvant::checked {

[[noreturn]] inline void overflow() { throw ArithmeticError(ArithmeticError::Kind::Overflow, "Overflow"); }
[[noreturn]] inline void divisionByZero() {
  throw ArithmeticError(ArithmeticError::Kind::DivisionByZero, "Division by zero");
}
[[noreturn]] inline void invalidArgument() {
  throw ArithmeticError(ArithmeticError::Kind::Other, "Invalid procedure call or argument");
}

// A double result must be finite.
inline double fin(double v) {
  if (!std::isfinite(v)) overflow();
  return v;
}

// Division; 0 / 0 counts as an overflow, any other x / 0 as a division by zero.
inline double div(double a, double b) {
  if (b == 0) {
    if (a == 0 || std::isnan(a)) overflow();
    divisionByZero();
  }
  return fin(a / b);
}

inline double ln(double v) {
  if (!(v > 0)) invalidArgument();
  return fin(std::log(v));
}

inline double sqrt(double v) {
  if (!(v >= 0)) invalidArgument();
  return fin(std::sqrt(v));
}

// The end of a single-precision step: rounded once, and it must fit.
// Values up to half an ulp above the largest float still round down to it.
inline float single(double v) {
  constexpr double kLimit = 0x1.ffffffp127;  // max float + half an ulp
  if (!std::isfinite(v) || std::fabs(v) >= kLimit) overflow();
  return sng(v);
}

// Whether a value lies within the range of single precision itself (the
// stricter rule of the optimisation run and the forms: nothing beyond the
// largest float).
inline bool fitsSingle(double v) {
  return std::isfinite(v) && std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max());
}
// The value, when it fits single precision by that rule.
inline double withinSingle(double v) {
  if (!fitsSingle(v)) overflow();
  return v;
}
// Rounded to single precision after that check.
inline float strictSingle(double v) { return sng(withinSingle(v)); }

// Rounded half-even to a whole number that fits 16 bits.
inline std::int16_t whole16(double v) {
  const auto r = toInt16(v);
  if (!r) overflow();
  return *r;
}

// Runs one step; when it fails the term keeps its value.
template <class T, class F>
inline void step(T& term, F&& f) {
  try {
    term = f();
  } catch (const ArithmeticError&) {
  }
}

}  // namespace lorvant::checked
