// A known sweep for the readers' tests: a series R-L-C over 6.8 to 7.4 MHz,
// written out in the formats an analyser saves.
#pragma once

#include <charconv>
#include <cmath>
#include <complex>
#include <string>
#include <vector>

namespace lorvant::test {

// R 40 ohms, L 10 uH, C for resonance at kSeriesResonance.
inline constexpr double kSeriesR = 40;
inline constexpr double kSeriesL = 10e-6;
inline constexpr double kSeriesResonance = 7.1234;  // MHz; no point of the grid
inline constexpr double kPiTest = 3.141592653589793;
inline constexpr double kTwoPiTest = 2 * kPiTest;

inline std::complex<double> SeriesRlc(double mhz) {
  const double w = kTwoPiTest * mhz * 1e6, w0 = kTwoPiTest * kSeriesResonance * 1e6;
  const double c = 1 / (w0 * w0 * kSeriesL);
  return {kSeriesR, w * kSeriesL - 1 / (w * c)};
}

// 61 points, 6.80 to 7.40 MHz in steps of 10 kHz.
// Counted in kHz, so that 7.0 and 7.2 are the band edges' own doubles.
inline std::vector<double> GridMhz() {
  std::vector<double> f;
  for (int khz = 6800; khz <= 7400; khz += 10) f.push_back(khz / 1000.0);
  return f;
}

// The SWR on 50 ohms, from its definition.
inline double SwrOn50(std::complex<double> z) {
  const double g = std::abs((z - 50.0) / (z + 50.0));
  return (1 + g) / (1 - g);
}

// 15 significant digits, the decimal point whatever the locale.
inline std::string Number(double v) {
  char buf[40];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  return std::string(buf, r.ptr);
}

}  // namespace lorvant::test
