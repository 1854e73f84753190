// Reading the engine's output: the "ANTENNA INPUT PARAMETERS" of each
// frequency that nec2c solved, and the "POWER BUDGET" after them.
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lorvant::nec {

// One source line of one frequency.
struct InputParameters {
  double frequency = 0;  // MHz, from the "FREQUENCY :" line before it
  int tag = 0;
  int segment = 0;                 // counted over all wires
  std::complex<double> impedance;  // ohms
  // From the power budget that follows the table: the power fed in and
  // what the wire's loads (its conductor) turn into heat, watts; the loss
  // is 0 when the engine names none.
  double inputPower = 0;
  double structureLoss = 0;
  // The share of the input power lost in the wire; none without a budget.
  std::optional<double> lossFraction() const;
};

// Every source line in the order of the output. Lines that cannot be read
// are left out, so a short list means the engine stopped early.
std::vector<InputParameters> ParseInputParameters(std::string_view output);

// How many frequencies the output has solved so far (for progress while
// the engine still writes).
int SolvedCount(std::string_view output);

// The leading numbers of an output line (with a point), up to the first
// field that is not one: "   30.00  0.00  -3.1  LINEAR" gives three.
std::vector<double> LeadingNumbers(std::string_view line);

// The last line of the output that is not blank, trimmed (the engine's
// complaint when it stopped).
std::string LastLine(std::string_view output);

}  // namespace lorvant::nec
