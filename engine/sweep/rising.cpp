#include "engine/sweep/rising.h"

#include <cmath>
#include <string>

#include "engine/sweep/lines.h"
#include "engine/sweep/sweep.h"

namespace lorvant::sweep {

double FiniteNumber(std::string_view word, int line) {
  const std::optional<double> v = ReadNumber(word);
  if (!v) throw SweepError(Fault::NotANumber, line, std::string(word));
  if (!std::isfinite(*v)) throw SweepError(Fault::NotFinite, line, std::string(word));
  return *v;
}

void RisingFrequencies::take(double mhz, int line, std::string_view word) {
  if (std::isinf(mhz)) throw SweepError(Fault::NotFinite, line, std::string(word));
  if (!(mhz > 0)) throw SweepError(Fault::NotPositive, line, std::string(word));
  if (any_ && !(mhz > last_)) throw SweepError(Fault::NotRising, line, std::string(word));
  last_ = mhz;
  any_ = true;
}

}  // namespace lorvant::sweep
