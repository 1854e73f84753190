// One known sweep written in every unit, parameter and format of Touchstone
// and in the CSV layouts reads back to the same resonance and SWR minimum.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "engine/sweep/analysis.h"
#include "engine/sweep/csv.h"
#include "engine/sweep/touchstone.h"
#include "synthetic.h"

namespace lorvant::sweep {
namespace {

using test::GridMhz;
using test::Number;
using test::SeriesRlc;

struct Written {
  std::string name;
  std::string bytes;
  bool csv = false;
  bool impedances = true;
};

struct Unit {
  const char* word;
  double perMhz;  // units per MHz
};
constexpr Unit kUnits[] = {{"HZ", 1e6}, {"KHZ", 1e3}, {"MHZ", 1}, {"GHZ", 1e-3}};

// The pair of numbers a format writes for a complex value.
std::pair<double, double> Pair(std::complex<double> v, const std::string& format) {
  const double degrees = std::arg(v) * 180 / test::kPiTest;
  if (format == "RI") return {v.real(), v.imag()};
  if (format == "MA") return {std::abs(v), degrees};
  return {20 * std::log10(std::abs(v)), degrees};
}

std::string TouchstoneFile(const Unit& unit, char parameter, const std::string& format, double reference) {
  std::string out = "! the series R-L-C, " + format + "\n# " + unit.word + " " + parameter + " " + format + " R " +
                    Number(reference) + "\n";
  for (double f : GridMhz()) {
    const std::complex<double> z = SeriesRlc(f);
    const std::complex<double> v = parameter == 'S' ? (z - reference) / (z + reference) : z / reference;
    const auto [a, b] = Pair(v, format);
    out += Number(f * unit.perMhz) + " " + Number(a) + " " + Number(b) + "\n";
  }
  return out;
}

// A CSV file of the sweep: the header, and each line's fields by `row`.
std::string CsvFile(const std::string& header, char separator,
                    const std::function<std::vector<double>(double, std::complex<double>)>& row,
                    bool decimalComma = false) {
  std::string out = header + "\r\n";
  for (double f : GridMhz()) {
    std::string line;
    for (double v : row(f, SeriesRlc(f))) {
      std::string n = Number(v);
      if (decimalComma) std::replace(n.begin(), n.end(), '.', ',');
      line += (line.empty() ? "" : std::string(1, separator)) + n;
    }
    out += line + "\r\n";
  }
  return out;
}

std::vector<Written> EveryWay() {
  std::vector<Written> all;
  for (const Unit& unit : kUnits)
    for (const char parameter : {'S', 'Z'})
      for (const char* format : {"RI", "MA", "DB"})
        for (const double reference : {50.0, 75.0})
          all.push_back({std::string(unit.word) + " " + parameter + " " + format + " R " + Number(reference),
                         TouchstoneFile(unit, parameter, format, reference)});
  const auto rx = [](double perMhz) {
    return [perMhz](double f, std::complex<double> z) { return std::vector<double>{f * perMhz, z.real(), z.imag()}; };
  };
  all.push_back({"csv frequency_hz", CsvFile("frequency_hz,r,x", ',', rx(1e6)), true});
  all.push_back({"csv plain frequency is Hz", CsvFile("Frequency,R,X", ',', rx(1e6)), true});
  all.push_back({"csv kHz, semicolons, decimal comma", CsvFile("frequency (kHz);r;x", ';', rx(1e3), true), true});
  all.push_back({"csv MHz, x before r, another column",
                 CsvFile("\"frequency [MHz]\",x (ohm),r (ohm),note", ',',
                         [](double f, std::complex<double> z) {
                           return std::vector<double>{f, z.imag(), z.real(), 0};
                         }),
                 true});
  const auto swr = [](double perMhz) {
    return [perMhz](double f, std::complex<double> z) { return std::vector<double>{f * perMhz, test::SwrOn50(z)}; };
  };
  all.push_back({"csv swr in Hz", CsvFile("frequency_hz,swr", ',', swr(1e6)), true, false});
  all.push_back({"csv swr in MHz", CsvFile("frequency_mhz;SWR", ';', swr(1)), true, false});
  return all;
}

TEST(MeasuredSweep, EveryUnitAndFormatGivesTheSameResonanceAndSwrMinimum) {
  // Nearest the resonance on the grid: 7.12 MHz (7.13 lies farther).
  const double minimumAt = 7.12;
  const double minimum = test::SwrOn50(SeriesRlc(minimumAt));
  for (const Written& w : EveryWay()) {
    SCOPED_TRACE(w.name);
    const Sweep sweep = w.csv ? ReadSweepCsv(w.bytes) : ReadTouchstone(w.bytes);
    ASSERT_EQ(sweep.size(), GridMhz().size());
    EXPECT_NEAR(sweep.front().frequency, 6.8, 1e-12);
    EXPECT_NEAR(sweep.back().frequency, 7.4, 1e-12);
    if (w.impedances) {
      ASSERT_TRUE(sweep[30].impedance);
      // 15 digits written; DB and MA lose a few more through log and
      // polar, which leaves far below a milliohm.
      EXPECT_NEAR(sweep[30].impedance->real(), SeriesRlc(7.1).real(), 1e-9);
      EXPECT_NEAR(sweep[30].impedance->imag(), SeriesRlc(7.1).imag(), 1e-9);
    }

    const std::vector<BandFinding> bands = AnalyseSweep(sweep);
    ASSERT_EQ(bands.size(), 1u) << "6.8 to 7.4 MHz covers 40 m alone";
    const BandFinding& b = bands[0];
    EXPECT_EQ(b.band, kBand7);
    EXPECT_EQ(b.label, 7.0f);
    EXPECT_NEAR(b.minSwr, minimum, 1e-9);
    EXPECT_NEAR(b.minSwrFrequency, minimumAt, 1e-9);
    if (!w.impedances) {
      EXPECT_FALSE(b.resonances) << "SWR alone says nothing of the reactance";
      continue;
    }
    ASSERT_TRUE(b.resonances);
    ASSERT_EQ(b.resonances->size(), 1u);
    // The straight line between 7.12 and 7.13 MHz misses the crossing by
    // h^2 |X''| / (8 |X'|) ~ h^2 / (8 f) = 1.8e-6 MHz for h = 10 kHz
    // (X' = 4 pi L and X'' = -8 pi L / f at resonance); 1e-5 holds it.
    EXPECT_NEAR((*b.resonances)[0], test::kSeriesResonance, 1e-5);
  }
}

TEST(MeasuredSweep, BandEdgesCountTheSameInEveryExactUnit) {
  // 7.000 and 7.200 MHz are in the band, read from Hz, kHz or MHz alike.
  for (const Unit& unit : {kUnits[0], kUnits[1], kUnits[2]}) {
    SCOPED_TRACE(unit.word);
    const std::vector<BandFinding> bands = AnalyseSweep(ReadTouchstone(TouchstoneFile(unit, 'Z', "RI", 50)));
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].points, 21);
  }
}

TEST(MeasuredSweep, TheOptionLineTakesItsWordsInAnyOrderCaseAndSpacing) {
  const std::string data = "7.0 -0.5 0.25\n7.1 0.1 0.2\n";
  // Each option line with the same meaning: MHz, S, RI, 50 ohms.
  for (const char* options :
       {"# MHZ S RI R 50\n", "# mhz ri s r 50\n", "#RI R 50 MHz S\n", "  #\tMHz\tS\tRI ! R defaults to 50\r\n",
        "# MHz RI\n# GHZ Z DB R 75 ! only the first option line counts\n"}) {
    SCOPED_TRACE(options);
    const Sweep s = ReadTouchstone("! measured today\r\n" + std::string(options) + "\n" + data);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].frequency, 7.0);
    // Z = 50 (1 + S) / (1 - S) with S = -0.5 + 0.25j.
    const std::complex<double> want = 50.0 * std::complex<double>(0.5, 0.25) / std::complex<double>(1.5, -0.25);
    ASSERT_TRUE(s[0].impedance);
    EXPECT_NEAR(std::abs(*s[0].impedance - want), 0, 1e-12);
  }
}

TEST(MeasuredSweep, WithoutAnOptionLineItIsGigahertzSMagnitudeAngleOn50Ohms) {
  // |S| 0.2 at 180 degrees: Z = 50 * 0.8 / 1.2.
  const Sweep s = ReadTouchstone("0.0071\t0.2\t180 ! trailing comment\r\n0.0072 0 0\r\n");
  ASSERT_EQ(s.size(), 2u);
  EXPECT_NEAR(s[0].frequency, 7.1, 1e-12);
  ASSERT_TRUE(s[0].impedance);
  EXPECT_NEAR(s[0].impedance->real(), 50 * 0.8 / 1.2, 1e-9);
  EXPECT_NEAR(s[0].impedance->imag(), 0, 1e-9);
  EXPECT_NEAR(s[1].impedance->real(), 50, 1e-12);
  EXPECT_NEAR(s[1].swr, 1, 1e-12);
}

TEST(MeasuredSweep, AnOpenEndHasNoImpedanceAndTakesNoPower) {
  const Sweep s = ReadTouchstone("# MHZ S RI\n7.0 1 0\n7.1 0.2 0\n");
  ASSERT_EQ(s.size(), 2u);
  EXPECT_FALSE(s[0].impedance);
  EXPECT_TRUE(std::isinf(s[0].swr));
  EXPECT_TRUE(s[1].impedance);
  EXPECT_NEAR(s[1].swr, 1.5, 1e-12);
}

}  // namespace
}  // namespace lorvant::sweep
