// Small shared vocabulary of the computation: the language a result is
// meant for (an identity, no text), rounding, single precision, and the
// arithmetic failure.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace lorvant {

enum class Language { German, English };

inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717958;
// The speed of light in metres times megahertz, rounded as every wavelength
// of the current-sum calculation takes it: lambda (m) = 300 / f (MHz).
inline constexpr double kRoundedLightSpeed = 300;

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double v);
// Rounded half-even into a 16- or 32-bit integer; empty when it does not fit.
std::optional<std::int16_t> toInt16(double v);
std::optional<std::int32_t> toInt32(double v);

// A single-precision step: evaluated in double, rounded once to float.
inline float sng(double v) { return static_cast<float>(v); }

// An arithmetic step that failed: overflow or division by zero.
class ArithmeticError : public std::runtime_error {
 public:
  enum class Kind { Overflow, DivisionByZero, Other };
  ArithmeticError(Kind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

}  // namespace lorvant
