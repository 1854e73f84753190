// Checked arithmetic for the computation. Every step that can fail (a
// division by zero, a result beyond the range of its type, a logarithm or
// root outside its domain) throws ArithmeticError, so a caller either lets
// the failure travel up (the length function, the run) or skips the step
// and keeps the term's previous value (the shortening and current
// functions).
#pragma once

#include <cmath>
#include <limits>

#include "calc/common.h"

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

// Runs one step; when it fails the term keeps its value.
template <class T, class F>
inline void step(T& term, F&& f) {
  try {
    term = f();
  } catch (const ArithmeticError&) {
  }
}

}  // namespace lorvant::checked
