// The checks every data line of a sweep passes: its numbers finite, its
// frequency above 0 and above the line's before.
#pragma once

#include <string_view>

namespace lorvant::sweep {

// The number of a word; throws SweepError NotANumber or NotFinite.
double FiniteNumber(std::string_view word, int line);

class RisingFrequencies {
 public:
  // Throws SweepError NotPositive or NotRising, naming the word as written.
  void take(double mhz, int line, std::string_view word);

 private:
  double last_ = 0;
  bool any_ = false;
};

}  // namespace lorvant::sweep
