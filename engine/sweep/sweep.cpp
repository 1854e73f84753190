#include "engine/sweep/sweep.h"

#include <utility>

#include "engine/nec/swr.h"

namespace lorvant::sweep {

SweepError::SweepError(Fault fault, int line, std::string word, int expected, int found)
    : std::runtime_error("measured sweep"),
      fault(fault),
      line(line),
      word(word.substr(0, kMaxQuotedWord)),
      expected(expected),
      found(found) {}

double SwrOf(std::complex<double> impedance) {
  static_assert(kReferenceOhms == nec::kLineImpedance);
  return nec::Swr(impedance, 1);
}

}  // namespace lorvant::sweep
