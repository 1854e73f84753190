// Finding where a model resonates: the frequency at which its feed-point
// reactance crosses zero, from a sweep around the frequency it was
// designed for.
#pragma once

#include <optional>
#include <span>

namespace lorvant::nec {

struct ReactancePoint {
  double frequency = 0;  // MHz
  double reactance = 0;  // ohms
};

// The frequency nearest `near` at which the reactance crosses zero between
// two neighbouring points of the sweep (sorted by frequency), interpolated
// linearly between them; a point that is exactly 0 is a crossing of its own.
// Only crossings from capacitive to inductive count: those are the
// resonances of a wire fed away from a current minimum. None when there is
// no such crossing.
std::optional<double> ZeroCrossing(std::span<const ReactancePoint> points, double near);

}  // namespace lorvant::nec
