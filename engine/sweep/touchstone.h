// Touchstone 1.x one-port files (.s1p), as antenna analysers save their
// sweeps, read into impedances; and the model's feed impedances written as
// one.
//
// The option line "# <HZ|KHZ|MHZ|GHZ> <S|Z> <RI|MA|DB> R <ohms>" takes its
// words in any order and case; a missing one is GHZ, S, MA, R 50. Only the
// first option line counts. "!" starts a comment, to the end of the line.
// A data line is a frequency and a pair of numbers: S11, or Z11 normalised
// to R (times R gives ohms).
#pragma once

#include <complex>
#include <span>
#include <string>
#include <string_view>

#include "engine/sweep/sweep.h"

namespace lorvant::sweep {

// Throws SweepError.
Sweep ReadTouchstone(std::string_view bytes);

// One frequency of the model.
struct ModelPoint {
  double frequency = 0;  // MHz
  std::complex<double> impedance;
};
// "# MHZ S RI R 50" and a line "f Re(S11) Im(S11)" per point, in the order
// given, S11 = (Z - 50) / (Z + 50), each number with 9 significant digits
// and the decimal point, lines ended by LF.
std::string WriteTouchstone(std::span<const ModelPoint> points);

}  // namespace lorvant::sweep
