// AntSpezi.txt: header, one row per centimetre, closing lines.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "tests/session/run_support.h"
#include "tests/support/Boxes.h"
#include "text/format.h"
#include "text/reports/spezi.h"

namespace lorvant {
namespace {

using report::ReportData;

ReportData Data(Language lang = Language::German, char sep = ',') { return test::WorkedReportData(lang, sep); }

std::string Dashes(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += "\u2014";
  return s;
}

std::vector<std::string> Header(const ReportData& d) {
  std::ostringstream out;
  report::SpecialTableWriter(out, d).header();
  return test::Lines(report::FromCp1252(out.str()));
}

std::string Row(const ReportData& d, std::int32_t p, double S, const std::array<double, kBandCount>& G,
                double extra = 0) {
  std::ostringstream out;
  report::SpecialTableWriter(out, d).row(p, S, G, extra);
  return out.str();
}

// ---- header -----------------------------------------------------------------

TEST(SpecialTableHeader, GermanBareWire) {
  const auto lines = Header(Data());
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], std::string(24, ' ') + "Lorvant ");  // no empty line before the title
  EXPECT_EQ(lines[1], Dashes(115));
  EXPECT_EQ(lines[2], "Antenne berechnet auf Basis  14,2 MHz für  4  Halbwellen");
  EXPECT_EQ(lines[3], "Berechnung für Bandmitte:  28, 21, 14, 7, 3,5 MHz (Ø-Summe nur für diese Bänder)");
  EXPECT_EQ(lines[4], "Geometrische Antennenlänge: " + test::worked::LengthText(',') + " m");
  EXPECT_EQ(lines[5], "Verkürzungsfaktor des Drahtes: 0,95");
  EXPECT_EQ(lines[6], "");
  EXPECT_EQ(lines[7], "Stromsummen:");
  EXPECT_EQ(lines[8],
            "Meter  ØSumme    50 MHz    28 MHz    24 MHz    21 MHz    18 MHz    14 MHz    10 MHz    7,0 MHz   "
            "5,3 MHz   3,5 MHz   1,8 MHz   ");
  EXPECT_EQ(lines[9], Dashes(127));
}

TEST(SpecialTableHeader, EnglishWithInsulationHeightAndAdditionalBand) {
  ReportData d = Data(Language::English, '.');
  d.er = 2.5f;
  d.dielectricText = "2.5 own";
  d.vk = 0.94625f;
  d.heightLine = "Antenna height: 12 m";
  d.extraBand = true;
  d.extraFrequency = 12.125f;
  d.n = 1;
  const auto lines = Header(d);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], std::string(22, ' ') + "Lorvant ");
  EXPECT_EQ(lines[1], Dashes(127));
  EXPECT_EQ(lines[2], "Antenna calculated on the basis  14.2 MHz for  1  half-wave");
  // The additional band with "#0.0#" here (the current-sum report has "#0.0##").
  EXPECT_EQ(lines[3], "Calculation for band center:  28, 21, 14, 7, 3,5, 12.13 MHz (Ø-Sum only for these bands)");
  EXPECT_EQ(lines[5], "Shortening factor of the wire: 0.9463 (Additional shortening by wire insulation: 2.5 own)");
  EXPECT_EQ(lines[6], "Antenna height: 12 m");
  EXPECT_EQ(lines[7], "");
  EXPECT_EQ(lines[8], "Current sums:");
  EXPECT_EQ(lines[9].substr(0, 26), "Meter   ØSum      50 MHz ");
  EXPECT_EQ(lines[9].substr(lines[9].size() - 19), "1,8 MHz   12.13 MHz");
  EXPECT_EQ(lines[10], Dashes(139));

  d.er = 1.00059f;  // bare: three decimals at most and no insulation text
  EXPECT_EQ(Header(d)[5], "Shortening factor of the wire: 0.946");
}

// ---- rows ---------------------------------------------------------------------

std::array<double, kBandCount> Values(double first, double step) {
  std::array<double, kBandCount> g{};
  for (std::size_t i = 0; i < g.size(); ++i) g[i] = first + step * static_cast<double>(i);
  return g;
}

TEST(SpecialTableRows, LayoutWithAndWithoutTheAdditionalBand) {
  ReportData d = Data();
  // Band index 0 (1.8 MHz) .. 10 (50 MHz); the row lists 50 MHz first.
  const auto g = Values(0.01, 0.05);
  std::string row = Row(d, 0, 0.123456, g);
  EXPECT_EQ(row,
            " 0,00   0,12346   0,51000   0,46000   0,41000   0,36000   0,31000   0,26000   0,21000   0,16000"
            "   0,11000   0,06000   0,01000    \r\n");
  EXPECT_EQ(row.size(), 129u + 2);

  d.extraBand = true;
  d.extraFrequency = 12;
  d.sep = '.';
  row = Row(d, 4172, 1.0, g, 0.999995);
  EXPECT_EQ(row.size(), 135u + 2);
  EXPECT_EQ(row.substr(0, 16), "41.72   1.00000 ");
  EXPECT_EQ(row.substr(row.size() - 12), "   1.00000\r\n");
}

TEST(SpecialTableRows, FromHundredMetresThePositionIsWrittenWhole) {
  // Below 100 m the field of five stays as it was; from 100 m on the whole
  // position stands and the row grows by its extra characters, so no two
  // rows of a long wire share a label.
  ReportData d = Data();
  auto g = Values(0.5, 0);
  const std::string values =
      "   0,25000   0,50000   0,50000   0,50000   0,50000   0,50000   0,50000   0,50000   0,50000"
      "   0,50000   0,50000   0,50000    \r\n";
  EXPECT_EQ(Row(d, 9999, 0.25, g), "99,99" + values);
  EXPECT_EQ(Row(d, 10005, 0.25, g), "100,05" + values);
  EXPECT_EQ(Row(d, 123456, 0.25, g), "1234,56" + values);
  EXPECT_EQ(Row(d, 5, 0.25, g), " 0,05" + values);

  d.sep = '.';
  d.extraBand = true;
  d.extraFrequency = 12;
  std::string withExtra = values;
  for (char& c : withExtra)
    if (c == ',') c = '.';
  withExtra.replace(withExtra.size() - 6, 4, "   0.75000");
  EXPECT_EQ(Row(d, 9999, 0.25, g, 0.75), "99.99" + withExtra);
  EXPECT_EQ(Row(d, 10005, 0.25, g, 0.75), "100.05" + withExtra);
  EXPECT_EQ(Row(d, 123456, 0.25, g, 0.75), "1234.56" + withExtra);
}

TEST(SpecialTableRows, ValuesRoundLikeThePicture) {
  // The rows take a quick way to "#0.00000"; it must agree with the picture
  // everywhere, halves at the fifth decimal included.
  ReportData d = Data();
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> any(0.0, 1.0);
  std::vector<double> values = {0,
                                1,
                                0.5,
                                0.000005,
                                0.123455,
                                0.999995,
                                0.999994999,
                                0.3000049999999,
                                0.0000049999,
                                0.12345500000000001,
                                9.99999,
                                9.999995,
                                10.5,
                                123.25};
  for (int i = 0; i < 20000; ++i) values.push_back(any(rng));
  for (int i = 0; i < 2000; ++i) values.push_back((std::floor(any(rng) * 1e5) + 0.5) / 1e5);  // halves
  for (char sep : {',', '.'}) {
    d.sep = sep;
    for (double v : values) {
      const std::string row = Row(d, 1, v, Values(0, 0));
      const std::string want = report::FormatPicture(v, "#0.00000", sep);
      ASSERT_EQ(row.substr(8, want.size()), want) << v;
    }
  }
}

// ---- whole table from a run ---------------------------------------------------------

TEST(SpecialTableRun, FortyMetreWireHas4001Rows) {
  test::TempFolder dir;
  RunInput in = test::TypicalInput(dir.str());
  in.preferredFrequency = "7,1";
  in.halfWaves = "2";
  in.shorteningFactor = "0,8933";
  in.bands = Boxes({0, 0, 0, 1, 0, 1, 0, 2, 0, 0, 0});
  in.specialTable = true;
  test::ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  ASSERT_EQ(report::FormatPicture(out.length, "0.00", ','), "40,00");

  const auto lines = test::Lines(test::ReadBytes(dir.file("AntSpezi.txt")));
  ASSERT_EQ(lines.size(), 10u + 4001u + 2u);
  EXPECT_EQ(lines[10].substr(0, 5), " 0,00");
  EXPECT_EQ(lines[10 + 4000].substr(0, 5), "40,00");
  EXPECT_EQ(lines[10 + 4001], "");
  EXPECT_EQ(report::FromCp1252(lines.back()).rfind(std::string("Berechnung am ") + test::worked::kDateText + " ", 0),
            0u);

  // Every row: S over the counted bands only, every band's value present.
  for (std::size_t i = 10; i < 10 + 4001; ++i) {
    ASSERT_EQ(lines[i].size(), 129u);
    const double S = std::stod(lines[i].substr(8, 7).replace(1, 1, "."));
    auto column = [&](int b) {  // band index -> value in the row
      std::string cell = lines[i].substr(8 + 10 * static_cast<std::size_t>(11 - b), 7);
      return std::stod(cell.replace(1, 1, "."));
    };
    EXPECT_NEAR(S, (column(5) + column(3)) / 2, 1.5e-5) << "row " << i;
  }
  // The candidates' currents appear in the table at their positions.
  ASSERT_FALSE(out.candidates.empty());
  const FeedCandidate& c = out.candidates.front();
  const std::string& row = lines[10 + static_cast<std::size_t>(std::lround(c.x * 100))];
  EXPECT_EQ(row.substr(8, 7), report::FormatPicture(c.S, "#0.00000", ','));
  EXPECT_EQ(row.substr(8 + 10 * 4, 7), report::FormatPicture(c.G[7], "#0.00000", ','));  // 21 MHz, grey
}

TEST(SpecialTableRun, InsulatedWireKeepsTheLastDigit) {
  test::TempFolder dir;
  RunInput in = test::TypicalInput(dir.str());
  in.shorteningFactor = "0,965";
  in.dielectric = "4,5";
  in.conductorDiameter = "2,523";
  in.outerDiameter = "4,2";
  in.bands = Boxes({0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0});
  in.specialTable = true;
  test::ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_EQ(out.insulation, 0.01962503287851992);
  const auto lines = test::Lines(test::ReadBytes(dir.file("AntSpezi.txt")));
  ASSERT_GT(lines.size(), 1068u);
  const std::string& row = lines[1067];  // line 1068 of the file
  EXPECT_EQ(row.substr(0, 5), "10,57");
  EXPECT_EQ(row.substr(8 + 10 * 5, 7), "0,84994");  // the 18 MHz column
}

}  // namespace
}  // namespace lorvant
