// A measured sweep as an antenna analyser saves it: the feed impedance, or
// only the SWR, at rising frequencies; and why a file holds no such sweep.
#pragma once

#include <complex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lorvant::sweep {

// The line the analyser measured against, and the SWR is taken on.
inline constexpr double kReferenceOhms = 50;

struct SweepPoint {
  double frequency = 0;                           // MHz
  std::optional<std::complex<double>> impedance;  // ohms; none where only the SWR is known
  double swr = 0;                                 // on kReferenceOhms; infinite for a load that takes no power
};
using Sweep = std::vector<SweepPoint>;

// What is wrong with a file, by the line it was found on.
enum class Fault {
  NoData,           // not one line of data
  WrongWidth,       // not as many numbers as the line needs (expected, found)
  NotANumber,       // a word that is not a number (word)
  NotFinite,        // NaN, infinite or beyond the double range (word)
  NotPositive,      // a frequency of 0 or below
  NotRising,        // a frequency not above the one before
  Parameter,        // Touchstone: a parameter other than S or Z (word)
  Option,           // Touchstone: a word of the option line that is none (word)
  Reference,        // Touchstone: R without a resistance above 0
  OptionAfterData,  // Touchstone: the option line below the first data line
  Header,           // CSV: no frequency column, or neither r and x nor swr
  Unit,             // CSV: a frequency unit that is none (word)
  SwrBelowOne,      // CSV: an SWR below 1 (word)
};

// The reader's refusal. `line` counts from 1; `word` is the offending word
// as it stood (at most kMaxQuotedWord bytes of it).
class SweepError : public std::runtime_error {
 public:
  SweepError(Fault fault, int line, std::string word = {}, int expected = 0, int found = 0);
  Fault fault;
  int line;
  std::string word;
  int expected, found;
};
inline constexpr std::size_t kMaxQuotedWord = 40;

// The SWR of an impedance on kReferenceOhms.
double SwrOf(std::complex<double> impedance);

}  // namespace lorvant::sweep
