// AntStrSu.txt, section by section, and two whole reports of typical runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/session/run_support.h"
#include "tests/support/Boxes.h"
#include "text/format.h"
#include "text/reports/strsum.h"

namespace lorvant {
namespace {

using report::ReportData;

constexpr const char* kEm = "\u2014";

ReportData Data(Language lang = Language::German, char sep = ',') { return test::WorkedReportData(lang, sep); }

FeedCandidate Cand(double x, double S, double g = 0.5) {
  FeedCandidate c;
  c.x = x;
  c.S = S;
  c.G.fill(g);
  c.extraG = g;
  return c;
}

// The report as UTF-8 lines.
std::vector<std::string> Report(const ReportData& d, const std::vector<FeedCandidate>& cands) {
  std::ostringstream out;
  report::WriteCurrentSumReport(out, d, cands);
  return test::Lines(report::FromCp1252(out.str()));
}

std::size_t Find(const std::vector<std::string>& lines, const std::string& start, std::size_t from = 0) {
  for (std::size_t i = from; i < lines.size(); ++i)
    if (lines[i].rfind(start, 0) == 0) return i;
  return lines.size();
}

std::string Dashes(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += kEm;
  return s;
}

// ---- header ----------------------------------------------------------------

TEST(CurrentSumHeader, TitleAndBasisLine) {
  ReportData d = Data();
  auto lines = Report(d, {});
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], std::string(24, ' ') + "Lorvant ");
  EXPECT_EQ(lines[2], Dashes(83));
  EXPECT_EQ(lines[3], "Antenne berechnet auf Basis  14,2 MHz für  4  Halbwellen");

  d.n = 1;
  EXPECT_EQ(Report(d, {})[3], "Antenne berechnet auf Basis  14,2 MHz für  1  Halbwelle");
  d.n = 1.5f;
  EXPECT_EQ(Report(d, {})[3], "Antenne berechnet auf Basis  14,2 MHz für  1,5  Halbwellen");

  d = Data(Language::English, '.');
  d.n = 1;
  lines = Report(d, {});
  EXPECT_EQ(lines[1], std::string(22, ' ') + "Lorvant ");
  EXPECT_EQ(lines[3], "Antenna calculated on the basis  14.2 MHz for  1  half-wave");
  d.n = 0.5f;  // a plain number drops the zero before the separator
  EXPECT_EQ(Report(d, {})[3], "Antenna calculated on the basis  14.2 MHz for  .5  half-waves");
}

TEST(CurrentSumHeader, BandList) {
  ReportData d = Data();
  d.segment = Segment::Cw;
  // 50 MHz not counted: the list begins with a blank after the dropped comma.
  EXPECT_EQ(Report(d, {})[4], "Berechnung für CW-Band:  28, 21, 14, 7, 3,5 MHz");

  d.bands = Boxes({1, 0, 1, 0, 2, 0, 0, 0, 1, 0, 1});  // 10 MHz grey: not listed
  d.segment = Segment::Ssb;
  EXPECT_EQ(Report(d, {})[4], "Berechnung für SSB-Band: 50, 24, 5,3, 1,8 MHz");

  d.extraBand = true;
  d.extraFrequency = 7.125f;
  d.language = Language::English;
  d.sep = '.';
  EXPECT_EQ(Report(d, {})[4], "Calculation for SSB-Band: 50, 24, 5,3, 1,8, 7.125 MHz");
  d.segment = Segment::Centre;
  d.bands.fill(BandState::Grey);
  EXPECT_EQ(Report(d, {})[4], "Calculation for band center:  7.125 MHz");
}

TEST(CurrentSumHeader, InsulationAndHeightLines) {
  ReportData d = Data();
  auto lines = Report(d, {});
  EXPECT_EQ(lines[5], "Geometrische Antennenlänge: " + test::worked::LengthText(',') + " m");
  EXPECT_EQ(lines[6], "Verkürzungsfaktor des Drahtes: 0,95");
  EXPECT_EQ(lines[7], "");  // bare wire, calculator inactive
  EXPECT_EQ(lines[8], "Stromsummen:");

  d.er = 2.5f;
  d.dielectricText = "2,5 eigener Wert";
  d.heightLine = "Antennenhöhe: 10,5 m";
  d.vk = 0.9475f;
  lines = Report(d, {});
  EXPECT_EQ(lines[6], "Verkürzungsfaktor des Drahtes: 0,9475");
  EXPECT_EQ(lines[7], " (Zusatzverkürzung durch Drahtisolierung: 2,5 eigener Wert)");
  EXPECT_EQ(lines[8], "Antennenhöhe: 10,5 m");
  EXPECT_EQ(lines[9], "");

  // Compared in single precision: the air value itself is bare.
  d.er = 1.000591f;
  EXPECT_EQ(Report(d, {})[7], " (Zusatzverkürzung durch Drahtisolierung: 2,5 eigener Wert)");
}

// ---- separator widths --------------------------------------------------------

int SeparatorLength(const ReportData& d) {
  const auto lines = Report(d, {});
  EXPECT_EQ(report::CharCount(lines[2]) * 3, static_cast<int>(lines[2].size()));  // all em dashes
  return report::CharCount(lines[2]);
}

TEST(CurrentSumSeparators, WidthsByShownBands) {
  ReportData d = Data();
  EXPECT_EQ(SeparatorLength(d), 83);  // 5 shown
  d.bands = Boxes({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0});
  EXPECT_EQ(SeparatorLength(d), 92);  // 10 shown
  d.bands[10] = BandState::Grey;
  EXPECT_EQ(SeparatorLength(d), 100);  // 11 shown, e = 8

  // Eight shown and an additional band at 14.25 MHz: n_v 9, e = 10.
  d.bands = Boxes({1, 1, 0, 1, 1, 1, 2, 0, 0, 1, 1});
  d.extraBand = true;
  d.extraFrequency = 14.25f;
  EXPECT_EQ(SeparatorLength(d), 86);
  d.bands[7] = BandState::Counted;  // n_v 10 with the additional band
  EXPECT_EQ(SeparatorLength(d), 95);
  d.bands[8] = BandState::Counted;  // n_v 11
  EXPECT_EQ(SeparatorLength(d), 102);
  d.extraFrequency = 12;  // "12,0": e = 9
  EXPECT_EQ(SeparatorLength(d), 101);
  d.bands = Boxes({0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0});  // n_v 3
  EXPECT_EQ(SeparatorLength(d), 83);

  // Every separator of the report has the same width.
  d = Data();
  d.bands.fill(BandState::Counted);
  int separators = 0;
  for (const std::string& line : Report(d, {Cand(5, 0.6), Cand(7, 0.7)})) {
    if (line.rfind(kEm, 0) != 0) continue;
    EXPECT_EQ(line, Dashes(100));
    ++separators;
  }
  EXPECT_EQ(separators, 6);
}

// ---- tables --------------------------------------------------------------------

TEST(CurrentSumTables, ColumnHeadsInBothLanguages) {
  ReportData d = Data();
  d.bands = Boxes({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  auto lines = Report(d, {});
  const std::string heads =
      "ØSumme   50 MHz  28 MHz 24,9 MHz 21 MHz  18 MHz  14 MHz  10 MHz  7 MHz  5,3 MHz 3,5 MHz 1,8 MHz";
  EXPECT_EQ(lines[9], "  m  " + heads);
  EXPECT_EQ(lines[Find(lines, "Impedanzen") + 1], "  m  " + heads);

  // " ØSum  " is one character longer: one blank before the first label.
  d.language = Language::English;
  d.sep = '.';
  d.bands = Boxes({0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0});
  d.extraBand = true;
  d.extraFrequency = 12;
  lines = Report(d, {});
  EXPECT_EQ(lines[9], "  m   ØSum    28 MHz  14 MHz  12 MHz");
  d.extraFrequency = 14.25f;
  EXPECT_EQ(Report(d, {})[9], "  m   ØSum    28 MHz  14 MHz 14.25 MHz");
}

TEST(CurrentSumTables, CandidateRowsAndGreyAndOffBands) {
  ReportData d = Data();
  d.bands = Boxes({0, 1, 0, 1, 2, 1, 0, 0, 0, 0, 0});  // 10 MHz grey
  FeedCandidate c = Cand(8.29, 0.7345);
  c.G = {0, 0.561, 0, 0.9549, 0.123, 0.5649, 0, 0, 0, 0, 0};
  const auto lines = Report(d, {c});
  const std::size_t sums = Find(lines, "Stromsummen:");
  EXPECT_EQ(lines[sums + 1], "  m  ØSumme   14 MHz  10 MHz  7 MHz  3,5 MHz");
  EXPECT_EQ(lines[sums + 3], "8,29   0,73    0,56    0,12    0,95    0,56");
  EXPECT_EQ(lines[sums + 4], "");
  // The grey band has its line in the tendency block, the off bands none.
  const std::size_t block = Find(lines, "Einspeisung bei 8,29  m ");
  ASSERT_LT(block, lines.size());
  EXPECT_EQ(lines[block + 1], Dashes(83));
  EXPECT_EQ(lines[block + 2].substr(0, 12), "14,000 MHz: ");
  EXPECT_EQ(lines[block + 3].substr(0, 12), "10,100 MHz: ");
  EXPECT_EQ(lines[block + 3].substr(17), "     10,150 MHz: " + lines[block + 3].substr(34));
  EXPECT_EQ(lines[block + 3].size(), 39u);
  EXPECT_EQ(lines[block + 4].substr(0, 12), " 7,000 MHz: ");
  EXPECT_EQ(lines[block + 5].substr(0, 12), " 3,500 MHz: ");
  EXPECT_EQ(lines[block + 6], "");
  // Off bands appear in the resonance list only.
  EXPECT_LT(Find(lines, " 50 MHz-Band:"), lines.size());
  EXPECT_EQ(lines[sums + 1].find("50 MHz"), std::string::npos);
}

TEST(CurrentSumTables, ImpedanceCells) {
  ReportData d = Data();
  d.bands = Boxes({0, 1, 2, 1, 0, 1, 0, 0, 0, 0, 0});  // 5.3 MHz grey: no resonance at 41.7 m
  FeedCandidate c = Cand(12.55, 0.5);
  c.G = {0, 0.5, 0, 1, 0, 0.25, 0, 0, 0, 0, 0};  // 5.3 MHz: G = 0
  c.S = 1;
  const auto lines = Report(d, {c});
  const std::size_t imp = Find(lines, "Impedanzen [Ohm]: (annähernd exakt nur im Resonanzfall!)");
  ASSERT_LT(imp, lines.size());
  EXPECT_EQ(lines[imp + 2], Dashes(83));
  // S = 1 gives the base 70; G = 0 gives 1000000 ohms, bracketed, as kilo-ohms.
  EXPECT_EQ(lines[imp + 3].substr(0, 15), "12,55  70      ");
  EXPECT_NE(lines[imp + 3].find("(1000K)"), std::string::npos) << lines[imp + 3];
  // The resonant bands have no brackets.
  EXPECT_EQ(lines[Find(lines, "5,3 MHz-Band:")], "5,3 MHz-Band:  -");
  EXPECT_EQ(lines[imp + 3].find("(5"), std::string::npos);
}

TEST(CurrentSumTables, ResonanceListWithTheAdditionalBand) {
  ReportData d = Data();
  d.extraBand = true;
  d.extraFrequency = 14.25f;
  d.f0 = 14.25f;
  const auto lines = Report(d, {});
  const std::size_t res =
      Find(lines, "Resonanzfrequenzen [MHz] bei einer Antennenlänge von " + test::worked::LengthText(',') + " m:");
  ASSERT_LT(res, lines.size());
  EXPECT_EQ(lines[res + 1], Dashes(83));
  const char* labels[] = {
      " 50 MHz-Band:", " 28 MHz-Band:", " 24 MHz-Band:", " 21 MHz-Band:", " 18 MHz-Band:", " 14 MHz-Band:",
      " 10 MHz-Band:", "  7 MHz-Band:", "5,3 MHz-Band:", "3,5 MHz-Band:", "1,8 MHz-Band:"};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(lines[res + 2 + i].substr(0, 13), labels[i]);
  EXPECT_EQ(lines[res + 2 + 11].substr(0, 13), "14,25 MHz   :");
  EXPECT_EQ(lines[res + 2 + 12], "");
}

TEST(CurrentSumTables, CandidateAtHalfTheLengthEndsAllSections) {
  ReportData d = Data();
  const float half = d.length / 2;
  const std::vector<FeedCandidate> confirmed = {Cand(8.29, 0.7), Cand(half, 0.9), Cand(12.0, 0.8)};
  EXPECT_EQ(report::ReportedCandidateCount(confirmed, d.length), 1u);
  EXPECT_EQ(report::ReportedCandidateCount(std::span(confirmed).first(1), d.length), 1u);
  const std::vector<FeedCandidate> beyond = {Cand(5, 0.7), Cand(half - 0.01, 0.9), Cand(half + 0.01, 0.8)};
  EXPECT_EQ(report::ReportedCandidateCount(beyond, d.length), 2u);

  const std::vector<FeedCandidate> reported = {confirmed[0]};
  EXPECT_EQ(report::FeedPointInfo(d, reported), "Mögliche Speisepunkte (X) bei  8,29 m,");
  d.language = Language::English;
  d.sep = '.';
  EXPECT_EQ(report::FeedPointInfo(d, beyond), "Possible feed points (x) for  5.0 m, 20.85 m, 20.87 m,");

  // Millions of candidates on a very long wire: the note names the first.
  const std::vector<FeedCandidate> many(report::kFeedPointsInInfo + 7, Cand(5, 0.7));
  const std::string note = report::FeedPointInfo(d, many);
  EXPECT_TRUE(note.ends_with(" 5.0 m, \u2026 and 7 more")) << note.substr(note.size() - 40);
  std::size_t listed = 0;
  for (std::size_t at = note.find(" m,"); at != std::string::npos; at = note.find(" m,", at + 1)) ++listed;
  EXPECT_EQ(listed, report::kFeedPointsInInfo);
  d.language = Language::German;
  d.sep = ',';
  EXPECT_TRUE(report::FeedPointInfo(d, many).ends_with(" 5,0 m, \u2026 und 7 weitere"));
}

TEST(CurrentSumTables, NoCandidateLeavesHeadingsOnly) {
  const ReportData d = Data();
  const auto lines = Report(d, {});
  const std::size_t sums = Find(lines, "Stromsummen:");
  EXPECT_EQ(lines[sums + 2], Dashes(83));
  EXPECT_EQ(lines[sums + 3], "");
  EXPECT_EQ(lines[sums + 4], "Impedanzen [Ohm]: (annähernd exakt nur im Resonanzfall!)");
  EXPECT_EQ(lines[sums + 6], Dashes(83));
  EXPECT_EQ(lines[sums + 7], "");
  const std::size_t tend = Find(lines, "Tendenzen der Ströme:");
  EXPECT_EQ(lines[tend], "Tendenzen der Ströme: (0,01 = 1% bis 1,0 = 100% des maximal möglichen)");
  EXPECT_EQ(lines[tend + 1], "");
  EXPECT_EQ(lines[tend + 2].rfind(std::string("Berechnung am ") + test::worked::kDateText + " ", 0), 0u);
  EXPECT_EQ(tend + 3, lines.size());
  EXPECT_EQ(report::FeedPointInfo(d, {}), "Mögliche Speisepunkte (X) bei ");
}

// ---- whole reports -------------------------------------------------------------

// Compares a report with its reviewed expected file. With the environment
// variable LORVANT_WRITE_EXPECTED set the file is (re)written instead, for
// review before it is committed.
void ExpectWholeFile(const std::filesystem::path& produced, const std::string& expectedName) {
  const std::filesystem::path expected = std::filesystem::path(LORVANT_TEST_DATA) / expectedName;
  const std::string bytes = test::ReadBytes(produced);
  if (std::getenv("LORVANT_WRITE_EXPECTED")) {
    test::WriteBytes(expected, bytes);
    GTEST_SKIP() << "wrote " << expected;
  }
  ASSERT_TRUE(std::filesystem::exists(expected)) << expected;
  const auto want = test::Lines(test::ReadBytes(expected));
  const auto got = test::Lines(bytes);
  for (std::size_t i = 0; i < std::min(want.size(), got.size()); ++i)
    ASSERT_EQ(report::FromCp1252(got[i]), report::FromCp1252(want[i])) << "line " << i + 1;
  ASSERT_EQ(got.size(), want.size());
  EXPECT_EQ(bytes, test::ReadBytes(expected));
}

TEST(CurrentSumWholeReport, GermanTypicalRun) {
  test::TempFolder dir;
  RunInput in = test::TypicalInput(dir.str());
  in.bands = Boxes({0, 1, 0, 1, 2, 1, 0, 1, 0, 1, 0});  // 10 MHz grey
  test::ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  ExpectWholeFile(dir.file("AntStrSu.txt"), "AntStrSu_de.txt");
}

TEST(CurrentSumWholeReport, EnglishRunWithInsulationAndCalculator) {
  test::TempFolder dir;
  RunInput in = test::TypicalInput(dir.str(), Language::English, '.');
  in.bands.fill(BandState::Counted);
  in.segment = Segment::Ssb;
  in.preferredFrequency = "14.25";
  in.dielectric = "4.0   PVC (3.5...4.5)";
  in.conductorDiameter = "1.4";
  in.outerDiameter = "2.1";
  in.calculator.active = true;
  in.calculator.height = 10;
  in.calculator.diameter = 1.4f;
  in.calculator.heightText = "10";
  in.minimumSum = "0.1";
  test::ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  ExpectWholeFile(dir.file("AntStrSu.txt"), "AntStrSu_en.txt");
}

}  // namespace
}  // namespace lorvant
