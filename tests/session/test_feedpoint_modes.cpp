#include <gtest/gtest.h>

#include "feedpoint_support.h"
#include "session/question.h"
#include "tests/support/Boxes.h"

using namespace lorvant;
using namespace lorvant::feedpoint;
using lorvant::test::crlfLines;
using lorvant::test::ScriptAsker;

TEST(FeedPointModes, EachOpeningNamesItsModeInEitherLanguage) {
  const MainFormValues main;
  for (Language lang : {Language::German, Language::English}) {
    EXPECT_EQ(OpenAllBands(main, lang, ',').mode, Mode::AllBands);
    EXPECT_EQ(OpenOneFrequency(main, lang, ',').mode, Mode::OneFrequency);
    EXPECT_EQ(OpenImpedance(lang).mode, Mode::Impedance);
    EXPECT_EQ(OpenScan(0, lang, ',').mode, Mode::Scan);
  }
  EXPECT_EQ(OpenScan(0, Language::German, ',').title, " Speisepunkt prüfen: alle Bänder");
  EXPECT_EQ(OpenImpedance(Language::English).title, " Determine impedance from the current sum");

  EXPECT_EQ(ActivationStatus(OpenImpedance(Language::English).mode, Language::German), "Status: Impedanzberechnung");
  EXPECT_EQ(ActivationStatus(OpenImpedance(Language::German).mode, Language::English), "Status: Impedance calculation");
  EXPECT_EQ(ActivationStatus(OpenScan(0, Language::German, ',').mode, Language::German),
            "Status: Überprüfung des Speisepunktes");
  EXPECT_EQ(ActivationStatus(Mode::OneFrequency, Language::English), "Status: Checking the feed point");
  EXPECT_EQ(ClosedStatus(Language::German), "Status: Bereit für Antennen-Berechnungen");
  EXPECT_EQ(ClosedStatus(Language::English), "Status: Ready for antennas-calculations");
}

namespace {

WindowTexts oneFrequencyWindow(std::string l, std::string f, std::string d) {
  WindowTexts w;
  w.first.text = std::move(l);
  w.second.text = std::move(f);
  w.third.text = std::move(d);
  return w;
}

MainFormValues mainWithVk(std::string vk) {
  MainFormValues m;
  m.shorteningFactor = std::move(vk);
  return m;
}

}  // namespace

TEST(FeedPointOneFrequency, QuarterWaveEachSideIsOptimal) {
  ScriptAsker asker;
  const auto r =
      CheckOneFrequency(oneFrequencyWindow("20", "7,5", "10"), mainWithVk("1"), Language::German, ',', asker);
  ASSERT_TRUE(r.done);
  EXPECT_TRUE(asker.asked.empty());
  const std::vector<std::string> expected = {
      "Länge links vom Speisepunkt: 10,0 m",
      "Länge rechts vom Speisepunkt: 10,0 m",
      "Verkürzungsfaktor: 1,0",
      "Strom links vom Speisepunkt: 1,0",
      "Strom rechts vom Speisepunkt: 1,0",
      "Geometrisches Mittel der Ströme: 1,0",
      "Differenz der beiden Ströme: 0,0 (Optimal)",
  };
  EXPECT_EQ(crlfLines(r.rows), expected);
  EXPECT_NE(r.rows.substr(r.rows.size() - 2), "\r\n");
}

TEST(FeedPointOneFrequency, EnglishLinesUnequalSidesAndDefaultVk) {
  ScriptAsker asker;
  // 20 m at 7.5 MHz fed 7 m from one end, Vk empty (0.946).
  const auto r = CheckOneFrequency(oneFrequencyWindow("20", "7.5", "7"), mainWithVk(""), Language::English, '.', asker);
  const auto lines = crlfLines(r.rows);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Length left of the feed point: 7.0 m");
  EXPECT_EQ(lines[1], "Length right of the feed point: 13.0 m");
  EXPECT_EQ(lines[2], "Shortening factor: 0.946");
  // W = 40 m: |cos((7/40 - 0.2365) 2pi)| = 0.926266, |cos((13/40 - 0.2365) 2pi)| = 0.849340.
  EXPECT_EQ(lines[3], "Current left of the feed point: 0.92627");
  EXPECT_EQ(lines[4], "Current right of the feed point: 0.84934");
  EXPECT_EQ(lines[5], "Geometric mean of the currents: 0.88697");
  EXPECT_EQ(lines[6], "Difference between the two currents: 0.07693");
}

// Beyond the wire, at either end or before its start there is no feed point.
TEST(FeedPointOneFrequency, DistanceOffTheWireIsRefused) {
  for (const char* distance : {"25", "20", "0", "-1"}) {
    ScriptAsker asker;
    const auto r =
        CheckOneFrequency(oneFrequencyWindow("20", "7,5", distance), mainWithVk("1"), Language::German, ',', asker);
    EXPECT_FALSE(r.done) << distance;
    EXPECT_EQ(r.refused, Input::Distance);
    ASSERT_EQ(asker.asked.size(), 1u);
    EXPECT_EQ(asker.asked[0].text, std::string(distance) == "0"
                                       ? "Bitte einen Abstand eingeben!"
                                       : "Der Speisepunkt liegt nicht auf dem Draht (0 … 20,0 m).");
  }
}

TEST(FeedPointOneFrequency, EmptyOrZeroFieldsAreRefused) {
  struct Case {
    std::string l, f, d, vk;
    Language lang;
    const char* text;
  };
  const Case cases[] = {
      {"", "", "", "1", Language::German, "Bitte einen Abstand eingeben!"},
      {"", "7", "3", "1", Language::German, "Bitte die Antennenlänge eingeben!"},
      {"20", "", "3", "1", Language::German, "Bitte die Frequenz eingeben!"},
      {"20", "0", "3", "1", Language::German, "Bitte die Frequenz eingeben!"},
      {"20", "7", "3", "0", Language::German, "Bitte den Verkürzungsfaktor eingeben!"},
      // A zero length or distance is no wire and no feed point.
      {"0", "7", "3", "1", Language::German, "Bitte die Antennenlänge eingeben!"},
      {"20", "7", "0", "1", Language::German, "Bitte einen Abstand eingeben!"},
      {"", "", "", "1", Language::English, "Please enter a distance!"},
      {"", "7", "3", "1", Language::English, "Please enter the antenna length!"},
      {"20", ",", "3", "1", Language::English, "Please enter the frequency!"},
      {"20", "7", "3", "0,0", Language::English, "Please enter the shortening factor!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ScriptAsker asker;
    const auto r = CheckOneFrequency(oneFrequencyWindow(c.l, c.f, c.d), mainWithVk(c.vk), c.lang, ',', asker);
    EXPECT_FALSE(r.done);
    EXPECT_TRUE(r.rows.empty());
    ASSERT_EQ(asker.asked.size(), 1u);
    EXPECT_EQ(asker.asked[0].text, c.text);
    EXPECT_EQ(asker.asked[0].title, c.lang == Language::German ? " Unvollständig" : " Incomplete");
  }
}

TEST(FeedPointOneFrequency, TooShortWarnsAndStillLists) {
  ScriptAsker asker;
  const auto r =
      CheckOneFrequency(oneFrequencyWindow("10", "3,65", "3"), mainWithVk("0,95"), Language::German, ',', asker);
  ASSERT_EQ(asker.asked.size(), 1u);
  EXPECT_EQ(asker.asked[0].text,
            "Die Antenne ist kürzer als die halbe Wellenlänge.\r\nDas funktioniert nur mit Einschränkungen!");
  EXPECT_EQ(asker.asked[0].title, " Antenne zu kurz!");
  EXPECT_EQ(asker.asked[0].id, QuestionId::AntennaTooShort);
  EXPECT_EQ(asker.asked[0].icon, Icon::Exclamation);
  EXPECT_EQ(crlfLines(r.rows).size(), 7u);

  asker.asked.clear();
  CheckOneFrequency(oneFrequencyWindow("10", "3.65", "3"), mainWithVk("0.95"), Language::English, '.', asker);
  ASSERT_EQ(asker.asked.size(), 1u);
  EXPECT_EQ(asker.asked[0].text,
            "The antenna is shorter than half a wavelength.\r\nThis only works with restrictions!");
  EXPECT_EQ(asker.asked[0].title, " Antenna too short!");
}

TEST(FeedPointOneFrequency, OpeningTakesTheRunLengthWithFourDecimals) {
  MainFormValues m;
  m.run.length = test::worked::kLength;
  EXPECT_EQ(OpenOneFrequency(m, Language::German, ',').rows.first.text, "41,7254");
  EXPECT_EQ(OpenAllBands(m, Language::German, ',').rows.first.text, test::worked::LengthText(','));
  m.run.length = 0;
  EXPECT_EQ(OpenOneFrequency(m, Language::English, '.').rows.first.text, "");
  EXPECT_EQ(OpenAllBands(m, Language::English, '.').rows.first.text, "");
}

TEST(FeedPointImpedance, TableOfInputsAndResults) {
  const std::pair<const char*, const char*> table[] = {
      {"0.5", "534.9"}, {"0.3", "938.6"}, {"0.1", "2847.4"}, {"0.9", "196.5"},   {"0.99", "107.0"},
      {"1", "70.0"},    {"1.5", "46.7"},  {"2", "35.0"},     {"0.01", "28.3 K"}, {"0.0000135", "20944.0 K"},
  };
  for (const auto& [in, out] : table) {
    SCOPED_TRACE(in);
    const auto r = ImpedanceFromCurrentSum(in, '.');
    EXPECT_FALSE(r.beep);
    EXPECT_EQ(r.impedance, out);
  }
  for (const char* in : {"2.01", "0", ""}) {
    SCOPED_TRACE(in);
    const auto r = ImpedanceFromCurrentSum(in, '.');
    EXPECT_TRUE(r.beep);
    EXPECT_EQ(r.impedance, "");
  }
  EXPECT_EQ(ImpedanceFromCurrentSum("0,5", ',').impedance, "534,9");
  EXPECT_EQ(ImpedanceFromCurrentSum("0,01", ',').impedance, "28,3 K");
}

namespace {

MainFormValues scanMain(float length) {
  MainFormValues m;
  m.run.length = length;
  m.shorteningFactor = "0,95";
  m.bands = Boxes({0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0});
  m.segment = Segment::Centre;
  return m;
}

WindowTexts scanWindow(std::string x0, std::string x1, std::string step) {
  return oneFrequencyWindow(std::move(x0), std::move(x1), std::move(step));
}

std::vector<std::string> positions(const std::string& rows) {
  std::vector<std::string> out;
  for (const auto& line : crlfLines(rows)) {
    if (line.empty()) continue;
    const auto first = line.find_first_not_of(' ');
    out.push_back(line.substr(first, line.find(' ', first) - first));
  }
  return out;
}

}  // namespace

TEST(FeedPointScan, SinglePrecisionPositionEndsTheLoop) {
  const auto main = scanMain(41.7f);
  auto out = RunScan(PrepareScan(scanWindow("8", "8,03", "0,01"), main, '.'), '.');
  EXPECT_EQ(positions(out.rows), (std::vector<std::string>{"8.000", "8.010", "8.020"}));

  out = RunScan(PrepareScan(scanWindow("0", "0,1", "0,01"), main, '.'), '.');
  ASSERT_EQ(out.rowCount, 11u);
  EXPECT_EQ(positions(out.rows).back(), "0.100");

  out = RunScan(PrepareScan(scanWindow("9", "8", "0,01"), main, '.'), '.');
  EXPECT_EQ(out.rowCount, 0u);
  EXPECT_TRUE(out.rows.empty());
}

TEST(FeedPointScan, ColumnLayout) {
  EXPECT_EQ(ScanRow(8.25f, 0.9123456, true, '.'), "8.250 m     0.91235\r\n");
  EXPECT_EQ(ScanRow(8.25f, 0.9123456, false, '.'), std::string(32, ' ') + "8.250 m     0.91235\r\n");
  EXPECT_EQ(ScanRow(123.5f, 0.5, true, ','), "123,500 m     0,5\r\n");
}

TEST(FeedPointScan, RisingThenFallingAroundAMaximum) {
  // One band, a half-wave wire: the sum rises to the centre and falls after it.
  MainFormValues m;
  m.run.length = 20;
  m.shorteningFactor = "1";
  m.bands[3] = BandState::Counted;  // 7.1 MHz band centre in the scan table
  m.segment = Segment::Centre;
  const auto lines = crlfLines(RunScan(PrepareScan(scanWindow("5", "15", "1"), m, '.'), '.').rows);
  ASSERT_EQ(lines.size(), 12u);  // eleven rows and the empty rest
  // W = 300 / 7.1 = 42.25 m; the maximum of the mean lies where both sides are equal.
  for (int i = 0; i <= 5; ++i) EXPECT_NE(lines[i][0], ' ') << i;
  for (int i = 6; i <= 10; ++i) EXPECT_EQ(lines[i].substr(0, 32), std::string(32, ' ')) << i;
}

TEST(FeedPointScan, EqualSumGoesToTheFallingColumn) {
  // 3.75 MHz (3.5 MHz SSB) has the wave length 80 m: whole wavelengths apart,
  // every position sees the same currents.
  MainFormValues m;
  m.run.length = 160;
  m.shorteningFactor = "0,95";
  m.bands[1] = BandState::Counted;
  m.segment = Segment::Ssb;
  const auto lines = crlfLines(RunScan(PrepareScan(scanWindow("0", "160", "80"), m, '.'), '.').rows);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind("0.000 m", 0), 0u);  // the first row rises above 0
  EXPECT_EQ(lines[1], std::string(32, ' ') + "80.000 m     " + lines[0].substr(lines[0].rfind(' ') + 1));
  EXPECT_EQ(lines[2].substr(0, 33), std::string(32, ' ') + "1");
}

TEST(FeedPointScan, StepBelowOneMillimetreIsCorrected) {
  const auto main = scanMain(41.7f);
  for (const char* step : {"0", "", "0,0005"}) {
    SCOPED_TRACE(step);
    const auto s = PrepareScan(scanWindow("8", "8,002", step), main, ',');
    EXPECT_TRUE(s.stepCorrected);
    EXPECT_EQ(s.stepText, "0,001");
    EXPECT_EQ(s.step, 0.001f);
    EXPECT_EQ(RunScan(s, ',').rowCount, 2u);  // 8.000, 8.001; 8.002 lies just beyond in single precision
  }
  EXPECT_EQ(PrepareScan(scanWindow("8", "9", "0"), main, '.').stepText, "0.001");
  const auto kept = PrepareScan(scanWindow("8", "9", "0,001"), main, ',');
  EXPECT_FALSE(kept.stepCorrected);
  EXPECT_EQ(kept.stepText, "0,001");
}

TEST(FeedPointScan, OnlyCountedBandsBelowFiftyMegahertz) {
  auto m = scanMain(41.7f);
  m.bands = {};
  m.bands[10] = BandState::Counted;
  EXPECT_TRUE(RunScan(PrepareScan(scanWindow("8", "9", "0,1"), m, '.'), '.').rows.empty());
  m.bands = Boxes({2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2});
  EXPECT_TRUE(RunScan(PrepareScan(scanWindow("8", "9", "0,1"), m, '.'), '.').rows.empty());
  // The scan's own table differs from the band plan's segment frequencies.
  EXPECT_EQ(ScanFrequency(3, Segment::Cw), 7.0f);
  EXPECT_EQ(ScanFrequency(3, Segment::Ssb), 7.06f);
  EXPECT_EQ(ScanFrequency(1, Segment::Ssb), 3.75f);
  EXPECT_EQ(ScanFrequency(5, Segment::Centre), 14.25f);
  EXPECT_EQ(ScanFrequency(5, std::nullopt), 14.25f);  // no segment selected: band centre
}

TEST(FeedPointScan, BeforeAnyRunOneRowAtZero) {
  const auto w = OpenScan(0, Language::German, ',');
  EXPECT_EQ(w.rows.first.text, "0,0");
  EXPECT_EQ(w.rows.second.text, "0,0");
  EXPECT_EQ(w.rows.third.text, "0,01");
  const auto out =
      RunScan(PrepareScan(scanWindow(w.rows.first.text, w.rows.second.text, w.rows.third.text), scanMain(0), ','), ',');
  ASSERT_EQ(out.rowCount, 1u);
  EXPECT_EQ(positions(out.rows), std::vector<std::string>{"0,000"});

  const auto w2 = OpenScan(41.7f, Language::English, '.');
  EXPECT_EQ(w2.rows.first.text, "6.95");
  EXPECT_EQ(w2.rows.second.text, "20.9");  // 20.85: the half goes away from zero
  EXPECT_EQ(w2.rows.header, " Meter     current sum(rising)       Meter  current sum(falling)");
}

TEST(FeedPointScan, PositionThatNoLongerMovesEndsTheScan) {
  // Beyond 32768 m a step of 1 mm is lost in the single-precision position.
  const auto s = PrepareScan(scanWindow("40000", "40001", "0,001"), scanMain(80000), ',');
  const auto out = RunScan(s, ',');
  EXPECT_TRUE(out.stalled);
  EXPECT_EQ(out.rowCount, 1u);
  // Below that the same step still moves.
  const auto near = RunScan(PrepareScan(scanWindow("16000", "16000,01", "0,001"), scanMain(80000), ','), ',');
  EXPECT_FALSE(near.stalled);
  EXPECT_GT(near.rowCount, 5u);
}

TEST(FeedPointScan, ProgressCanCancelALongScan) {
  const auto s = PrepareScan(scanWindow("0", "100", "0,001"), scanMain(100), ',');
  EXPECT_NEAR(EstimatedScanRows(s), 100001, 1);
  int calls = 0;
  double last = 0;
  const auto out = RunScan(s, ',', [&](double done) {
    EXPECT_GE(done, last);
    last = done;
    return ++calls < 3;
  });
  EXPECT_TRUE(out.cancelled);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(out.rowCount, 3u * 1024u);
  EXPECT_EQ(crlfLines(out.rows).size(), 3u * 1024u + 1u);
  EXPECT_GT(last, 0.0);
  EXPECT_LT(last, 0.05);
}
