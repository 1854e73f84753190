// Checked arithmetic for the computation and the forms. Every step that can
// fail (a division by zero, a result beyond the range of its type, a
// logarithm or root outside its domain) throws ArithmeticError, so a caller
// either lets the failure travel up (the length function, the run) or runs
// the step through attempt() and says what the term is when it fails (the
// shortening and current functions, the main form's half-wave derivation:
// mostly the value the term had before, 0 at first).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <type_traits>

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

// The outcome of one step that may fail: its value, or none when an
// arithmetic failure stopped it. The caller says what the term is on a
// failure, usually the value it had before the step.
template <class T>
class Checked {
 public:
  static Checked failed() { return Checked(); }
  explicit Checked(T value) : value_(value) {}

  T valueOr(T onFailure) const { return value_.value_or(onFailure); }

 private:
  Checked() = default;
  std::optional<T> value_;
};

// Runs one step and catches its arithmetic failure.
template <class F>
auto attempt(F&& f) -> Checked<std::invoke_result_t<F&>> {
  using T = std::invoke_result_t<F&>;
  try {
    return Checked<T>(f());
  } catch (const ArithmeticError&) {
    return Checked<T>::failed();
  }
}

}  // namespace lorvant::checked
