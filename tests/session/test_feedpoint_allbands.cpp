#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/version.h"
#include "feedpoint_support.h"
#include "session/question.h"
#include "tests/support/Boxes.h"
#include "text/format.h"

using namespace lorvant;
using namespace lorvant::feedpoint;
using lorvant::test::crlfLines;
using lorvant::test::ScriptAsker;
using lorvant::test::workedMainForm;
using lorvant::test::workedWindow;

namespace {

AllBandsEnv env(Language lang, char sep, std::string folder = {}) {
  return AllBandsEnv{lang, sep, "01.02.2024 10:00:00", std::move(folder)};
}

std::string swapSeparator(std::string s, char sep) {
  for (char& c : s)
    if (c == '.') c = sep;
  return s;
}

// Shortest text that reads back as exactly this float.
std::string exactText(float v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::filesystem::path freshFolder(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() / ("lorvant_feedpoint_" + name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

std::string readBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(FeedPointAllBands, WorkedExampleRowByRowWithEitherSeparator) {
  for (char sep : {'.', ','}) {
    SCOPED_TRACE(sep);
    ScriptAsker asker;
    const auto r = CheckAllBands(workedWindow(sep), workedMainForm(sep), env(Language::German, sep), asker);
    ASSERT_TRUE(r.done);
    EXPECT_TRUE(asker.asked.empty()) << asker.asked.front().text;  // length and frequency are the run's own
    const std::vector<std::string> expected = {
        "14.200           0.879 / 211.6     ", "14.200           0.879 / 211.6     ",
        " 7.100           0.858 / 226.5     ", " 3.650           0.856 / 228.0     ",
        "ØSumme           0.868 / 219.5     ", "gewünschte Bänder:",
        "ØSumme           0.865 / 222.1     ", "brauchbare Bänder (Stromsumme > 0.4):",
        "ØSumme           0.868 / 219.5     ",
    };
    const auto lines = crlfLines(r.rows);
    ASSERT_EQ(lines.size(), expected.size()) << r.rows;
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], swapSeparator(expected[i], sep)) << i;
  }
}

TEST(FeedPointAllBands, EnglishLabelsOfTheSummary) {
  ScriptAsker asker;
  const auto r = CheckAllBands(workedWindow('.'), workedMainForm('.'), env(Language::English, '.'), asker);
  const auto lines = crlfLines(r.rows);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[4], "ØSum             0.868 / 219.5     ");
  EXPECT_EQ(lines[5], "desred bands:");
  EXPECT_EQ(lines[7], "usable bands (current sum > 0.4):");
}

TEST(FeedPointAllBands, RowLayoutAndTheKRule) {
  EXPECT_EQ(BandRow("14.250", 0.98765, 71.3f, '.'), "14.250           0.988 / 71.3      ");
  EXPECT_EQ(BandRow("14,250", 0.98765, 71.3f, ','), "14,250           0,988 / 71,3      ");
  // S = 1 is 70 ohms; S = 0 is 1000000 ohms, kilo-ohms in a band row only.
  const float z1 = ImpedanzAusStromsumme(1.0, 0, CalculatorState{});
  const float z0 = ImpedanzAusStromsumme(0.0, 0, CalculatorState{});
  EXPECT_EQ(BandRow("14,200", 1.0, z1, ','), "14,200           1,000 / 70,0      ");
  EXPECT_EQ(BandRow(" 3.650", 0.0, z0, '.'), " 3.650           0.000 / 1000.0 K  ");
  EXPECT_EQ(SummaryRow(Language::German, 0.0, '.'), "ØSumme           0.000 / 1000000.0 ");
  EXPECT_EQ(SummaryRow(Language::German, 1.0, ','), "ØSumme           1,000 / 70,0      ");
  // The bound 9999.99 is taken in single precision.
  EXPECT_EQ(ImpedanceText(9999.99f, '.'), "10000.0");
  EXPECT_EQ(ImpedanceText(std::nextafter(9999.99f, 1e9f), '.'), "10.0 K");
}

TEST(FeedPointAllBands, FiftyMegahertzBoxCountsTheResonanceRow) {
  auto main = workedMainForm('.');
  main.bands[10] = BandState::Counted;
  ScriptAsker asker;
  auto r = CheckAllBands(workedWindow('.'), main, env(Language::German, '.'), asker);
  auto lines = crlfLines(r.rows);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0].substr(0, 6), "14.200");  // no 50 MHz row of its own
  EXPECT_EQ(r.rows.find("50."), std::string::npos);
  EXPECT_EQ(lines[6], "ØSumme           0.868 / 219.5     ");  // wanted = all four rows

  main.bands[10] = BandState::Grey;  // grey: listed nowhere, not wanted
  r = CheckAllBands(workedWindow('.'), main, env(Language::German, '.'), asker);
  lines = crlfLines(r.rows);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[6], "ØSumme           0.865 / 222.1     ");
}

TEST(FeedPointAllBands, GreyBandHasARowButIsNotWanted) {
  auto grey = workedMainForm('.');
  grey.bands[3] = BandState::Grey;  // 7 MHz
  auto off = workedMainForm('.');
  off.bands[3] = BandState::Off;
  ScriptAsker asker;
  const auto rg = CheckAllBands(workedWindow('.'), grey, env(Language::German, '.'), asker);
  const auto ro = CheckAllBands(workedWindow('.'), off, env(Language::German, '.'), asker);
  const auto lg = crlfLines(rg.rows), lo = crlfLines(ro.rows);
  ASSERT_EQ(lg.size(), 9u);
  ASSERT_EQ(lo.size(), 8u);
  EXPECT_EQ(lg[2], " 7.100           0.858 / 226.5     ");
  EXPECT_EQ(lg[4], "ØSumme           0.868 / 219.5     ");  // all rows still averaged
  EXPECT_EQ(lg[6], lo[5]);                                  // wanted: the same two bands
  EXPECT_NE(lg[6], "ØSumme           0.865 / 222.1     ");
}

TEST(FeedPointAllBands, MinimumEqualToABandIsNotUsable) {
  auto main = workedMainForm('.');
  // The two 14.2 MHz rows share the largest current of the example.
  ScriptAsker probe;
  const double s14 = StromImPunkt((300.0 / 14.2f), 41.7f, 13.9f, 0.95f, 0, CalculatorState{}).G;
  main.minimumSum = exactText(sng(s14));
  auto r = CheckAllBands(workedWindow('.'), main, env(Language::German, '.'), probe);
  auto lines = crlfLines(r.rows);
  // No usable band: the table ends after the wanted-bands row and its line end.
  ASSERT_EQ(lines.size(), 8u) << r.rows;
  EXPECT_EQ(lines[6], "ØSumme           0.865 / 222.1     ");
  EXPECT_EQ(lines[7], "");

  main.minimumSum = exactText(std::nextafter(sng(s14), 0.0f));
  r = CheckAllBands(workedWindow('.'), main, env(Language::German, '.'), probe);
  lines = crlfLines(r.rows);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[8], "ØSumme           0.879 / 211.6     ");  // the two 14.2 MHz rows
}

TEST(FeedPointAllBands, OnlyTheResonanceRowWithoutBands) {
  auto main = workedMainForm('.');
  main.bands = {};
  ScriptAsker asker;
  const auto r = CheckAllBands(workedWindow('.'), main, env(Language::German, '.'), asker);
  EXPECT_TRUE(asker.asked.empty());  // no lowest band, no warning
  const auto lines = crlfLines(r.rows);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "14.200           0.879 / 211.6     ");
  EXPECT_EQ(lines[1], "ØSumme           0.879 / 211.6     ");
  EXPECT_EQ(lines[2], "brauchbare Bänder (Stromsumme > 0.4):");
}

TEST(FeedPointAllBands, ValidationOrderAndMessages) {
  struct Case {
    std::string t1, t2, t3, smin;
    Language lang;
    const char* text;
    Input field;  // where the window puts the focus
  };
  const Case cases[] = {
      {"", "", "", "0,4", Language::German, "Bitte einen Abstand eingeben!", Input::Distance},
      {"", "", "13", "0,4", Language::German, "Bitte die Antennenlänge eingeben!", Input::Length},
      {"41", "", "13", "0,4", Language::German, "Bitte die Resonanzfrequenz eingeben!", Input::Frequency},
      {"0", "14", "13", "0,4", Language::German, "Bitte die Antennenlänge eingeben!", Input::Length},
      {"41", "14", "0", "0,4", Language::German, "Bitte einen Abstand eingeben!", Input::Distance},
      {"41", "0,0", "13", "0,4", Language::German, "Bitte die Resonanzfrequenz eingeben!", Input::Frequency},
      {"41", "14", "13", "", Language::German, "Bitte Minimum eingeben!", Input::None},
      {"", "", "", "0,4", Language::English, "Please enter a distance!", Input::Distance},
      {"", "14", "13", "0,4", Language::English, "Please enter the antenna length!", Input::Length},
      {"41", "", "13", "0,4", Language::English, "Please enter the resonance frequency!", Input::Frequency},
      {"41", "14", "13", "0", Language::English, "Please enter minimum!", Input::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto main = workedMainForm(',');
    main.minimumSum = c.smin;
    auto win = workedWindow(',');
    win.first.text = c.t1;
    win.second.text = c.t2;
    win.third.text = c.t3;
    ScriptAsker asker;
    const auto r = CheckAllBands(win, main, env(c.lang, ','), asker);
    EXPECT_FALSE(r.done);
    EXPECT_TRUE(r.rows.empty());
    ASSERT_EQ(asker.asked.size(), 1u);
    EXPECT_EQ(asker.asked[0].text, c.text);
    EXPECT_EQ(asker.asked[0].title, c.lang == Language::German ? " Unvollständig" : " Incomplete");
    EXPECT_EQ(asker.asked[0].icon, Icon::Exclamation);
    EXPECT_EQ(asker.asked[0].buttons, Buttons::Ok);
    EXPECT_EQ(asker.asked[0].id, QuestionId::FeedPointIncomplete);
    EXPECT_EQ(r.refused, c.field);
  }
  // A feed point off the wire - beyond its end, at its very end or before
  // its start - is no feed point.
  for (const char* distance : {"100", "41,7", "-13,9"}) {
    auto win = workedWindow(',');
    win.third.text = distance;
    ScriptAsker asker;
    const auto r = CheckAllBands(win, workedMainForm(','), env(Language::English, ','), asker);
    EXPECT_FALSE(r.done) << distance;
    EXPECT_EQ(r.refused, Input::Distance);
    ASSERT_EQ(asker.asked.size(), 1u);
    EXPECT_EQ(asker.asked[0].text, "The feed point is not on the wire (0 … 41,7 m).");
    EXPECT_EQ(asker.asked[0].title, " Invalid input");
    EXPECT_EQ(asker.asked[0].id, QuestionId::FeedPointOffWire);
  }
}

TEST(FeedPointAllBands, DistanceBeyondTheAdaptedLengthIsRefused) {
  auto win = workedWindow(',');
  win.first.text = "80";
  win.third.text = "60";
  ScriptAsker asker;
  asker.answers = {Answer::Yes};  // adapted to the worked length
  const auto r = CheckAllBands(win, workedMainForm(','), env(Language::German, ','), asker);
  EXPECT_FALSE(r.done);
  EXPECT_EQ(r.refused, Input::Distance);
  EXPECT_EQ(asker.asked.back().text,
            "Der Speisepunkt liegt nicht auf dem Draht (0 … " + test::worked::LengthText(',') + " m).");
}

TEST(FeedPointAllBands, ShorteningFactorDefaults) {
  auto zero = workedMainForm('.');
  zero.shorteningFactor = "0";
  auto one = workedMainForm('.');
  one.shorteningFactor = "1";
  ScriptAsker asker;
  const auto r0 = CheckAllBands(workedWindow('.'), zero, env(Language::German, '.'), asker);
  const auto r1 = CheckAllBands(workedWindow('.'), one, env(Language::German, '.'), asker);
  EXPECT_EQ(r0.rows, r1.rows);  // a zero Vk counts as 1

  auto empty = workedMainForm('.');
  empty.shorteningFactor = "";
  auto def = workedMainForm('.');
  def.shorteningFactor = "0.946";
  const auto re = CheckAllBands(workedWindow('.'), empty, env(Language::German, '.'), asker);
  const auto rd = CheckAllBands(workedWindow('.'), def, env(Language::German, '.'), asker);
  EXPECT_EQ(re.rows, rd.rows);
  EXPECT_NE(re.rows, r1.rows);
}

TEST(FeedPointAllBands, AdaptQuestionComparesTheLengthText) {
  auto main = workedMainForm(',');
  main.run.length = 41.5f;
  auto win = workedWindow(',');
  win.first.text = "41,5";
  ScriptAsker asker;
  auto r = CheckAllBands(win, main, env(Language::German, ','), asker);
  EXPECT_FALSE(r.adaptAsked);

  win.first.text = "41.50";  // the same length, another text
  asker.answers = {Answer::No};
  r = CheckAllBands(win, main, env(Language::German, ','), asker);
  ASSERT_TRUE(r.adaptAsked);
  const Question& q = asker.asked.back();
  EXPECT_EQ(q.text, "Soll die Antennenlänge an die Resonanzfrequenz angepasst werden?");
  EXPECT_EQ(q.title, " Neue Berechnung ? ");
  EXPECT_EQ(q.icon, Icon::Question);
  EXPECT_EQ(q.buttons, Buttons::YesNo);
  EXPECT_EQ(q.id, QuestionId::AdaptLength);
  EXPECT_FALSE(r.adapted);
  EXPECT_EQ(r.length, "41.50");
  EXPECT_FALSE(r.mainHalfWaves.has_value());
  EXPECT_FALSE(r.selectPreferredLength);

  // A resonance frequency other than the main form's asks too.
  win.first.text = "41,5";
  win.second.text = "14,25";
  asker.answers = {Answer::No};
  r = CheckAllBands(win, main, env(Language::English, ','), asker);
  ASSERT_TRUE(r.adaptAsked);
  EXPECT_EQ(asker.asked.back().text, "Should the antenna length be adapted to the resonance frequency?");
  EXPECT_EQ(asker.asked.back().title, " New calculation ? ");
}

TEST(FeedPointAllBands, YesAdaptsTheLengthAndTheMainForm) {
  auto main = workedMainForm(',');
  main.halfWaves = "~4";
  main.lengthMode = LengthMode::All;
  auto win = workedWindow(',');
  win.first.text = "40";
  ScriptAsker asker;
  asker.answers = {Answer::Yes};
  const auto r = CheckAllBands(win, main, env(Language::German, ','), asker);
  ASSERT_TRUE(r.adapted);
  ASSERT_TRUE(r.mainHalfWaves.has_value());
  EXPECT_EQ(*r.mainHalfWaves, "4");
  EXPECT_TRUE(r.selectPreferredLength);
  // Four half-waves at 14.2 MHz, Vk 0.95: the run's worked length.
  EXPECT_EQ(r.length, test::worked::LengthText(','));
  EXPECT_TRUE(r.done);

  // A field without a tilde is left alone; its count is used as it is.
  main.halfWaves = "3";
  asker.answers = {Answer::Yes};
  const auto r3 = CheckAllBands(win, main, env(Language::German, ','), asker);
  EXPECT_FALSE(r3.mainHalfWaves.has_value());
  EXPECT_EQ(r3.length, "31,162");  // (3 - 0.05) * 300 / 14.2 / 2 = 31.1620
}

TEST(FeedPointAllBands, TildeHalfWaveFieldBecomesTheNumber) {
  auto main = workedMainForm(',');
  main.halfWaves = "~3";
  auto win = workedWindow(',');
  win.second.text = "14,25";
  ScriptAsker asker;
  asker.answers = {Answer::Yes};
  const auto r = CheckAllBands(win, main, env(Language::German, ','), asker);
  ASSERT_TRUE(r.mainHalfWaves.has_value());
  EXPECT_EQ(*r.mainHalfWaves, "3");
}

TEST(FeedPointAllBands, TooShortAntennaWarnsAndGoesOn) {
  auto main = workedMainForm(',');
  main.bands = Boxes({0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  main.run.length = 10;
  auto win = workedWindow(',');
  win.first.text = "10,0";
  win.third.text = "3";
  ScriptAsker asker;
  auto r = CheckAllBands(win, main, env(Language::German, ','), asker);
  ASSERT_EQ(asker.asked.size(), 1u);
  EXPECT_EQ(
      asker.asked[0].text,
      "Die Antenne ist kürzer als die halbe Wellenlänge\r\nvon 3.5 MHz. Das funktioniert nur mit Einschränkungen!");
  EXPECT_EQ(asker.asked[0].title, " Antenne zu kurz!");
  EXPECT_EQ(asker.asked[0].id, QuestionId::AntennaTooShort);
  EXPECT_EQ(asker.asked[0].icon, Icon::Exclamation);
  EXPECT_TRUE(r.done);
  const auto lines = crlfLines(r.rows);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1].substr(0, 6), " 3,650");

  asker.asked.clear();
  r = CheckAllBands(win, main, env(Language::English, ','), asker);
  ASSERT_EQ(asker.asked.size(), 1u);
  EXPECT_EQ(asker.asked[0].text,
            "The antenna is shorter than half the wavelength\r\nof 3.5 MHz. This only works with restrictions!");
  EXPECT_EQ(asker.asked[0].title, " Antenna too short!");

  // A full half-wave on 3.5 MHz is long enough.
  win.first.text = "39,0";
  main.run.length = 39;
  asker.asked.clear();
  r = CheckAllBands(win, main, env(Language::German, ','), asker);
  EXPECT_TRUE(asker.asked.empty());
}

TEST(FeedPointPrefill, FirstDistanceBetweenSevenAndNineElseTheLast) {
  const std::string head = "Länge der Antenne 41,7 m\r\nBerechnung für Bandmitte: Mögliche Speisepunkte (X) bei ";
  const std::string tail = "\r\nTabelle liegt als Textfile 'AntStrSu.txt' vor.  ";
  EXPECT_EQ(PrefillDistance(head + " 6,75 m, 8,1 m, 13,5 m," + tail, Language::German), "8,1");
  EXPECT_EQ(PrefillDistance(head + " 6,75 m, 13,5 m," + tail, Language::German), "13,5");
  EXPECT_EQ(PrefillDistance(head + " 7,0 m, 9,0 m," + tail, Language::German), "9,0");  // both bounds exclusive
  EXPECT_EQ(PrefillDistance(head + tail, Language::German), std::nullopt);
  EXPECT_EQ(PrefillDistance(head + " 6,75 m, 8,1 m,", Language::German), "8,1");  // no closing CR
  EXPECT_EQ(PrefillDistance(head + " 6,75 m, 8,1 m," + tail, Language::English), std::nullopt);
  EXPECT_EQ(PrefillDistance("Possible feed points (x) for  8.25 m, 13.5 m,\r\n", Language::English), "8.25");
  EXPECT_EQ(PrefillDistance("", Language::German), std::nullopt);

  auto main = workedMainForm(',');
  main.note = head + " 6,75 m, 8,1 m, 13,5 m," + tail;
  const auto w = OpenAllBands(main, Language::German, ',');
  EXPECT_EQ(w.rows.third.text, "8,1");
  main.note = head + tail;
  EXPECT_EQ(OpenAllBands(main, Language::German, ',').rows.third.text, "");
}

TEST(FeedPointReport, SpeisePktLineByLineAndTheNote) {
  const auto dir = freshFolder("report");
  auto main = workedMainForm(',');
  main.note = "Tabelle liegt als Textfile 'AntStrSu.txt' vor.  ";
  ScriptAsker asker;
  const auto r = CheckAllBands(workedWindow(','), main, env(Language::German, ',', dir.string() + "/"), asker);
  ASSERT_TRUE(r.reportWritten);
  const std::string note = "Die Speisepunktberechnung liegt als Textfile 'SpeisePkt.txt' vor.  ";
  EXPECT_EQ(r.info, main.note + "\r\n" + note);

  const std::string rule(60, '\xAF');
  const std::string expected = std::string(
                                   "                Speisepunkt-\xDC"
                                   "berpr\xFC"
                                   "fung \r\n") +
                               rule + "\r\n" +
                               "Antennengesamtl\xE4nge [m]:41,7\r\n"
                               "Resonanz&frequenz f\xFCr bevorzugtes Band [MHz]:14,2\r\n"
                               "Abstand Speisepunkt [m]:13,9\r\n"
                               "\r\n"
                               "Band [MHz]      Stromsumme / Impedanz (Ohm)\r\n" +
                               rule + "\r\n" +
                               "14,200           0,879 / 211,6     \r\n"
                               "14,200           0,879 / 211,6     \r\n"
                               " 7,100           0,858 / 226,5     \r\n"
                               " 3,650           0,856 / 228,0     \r\n"
                               "\xD8Summe           0,868 / 219,5     \r\n"
                               "gew\xFCnschte B\xE4nder:\r\n"
                               "\xD8Summe           0,865 / 222,1     \r\n"
                               "brauchbare B\xE4nder (Stromsumme > 0,4):\r\n"
                               "\xD8Summe           0,868 / 219,5     \r\n" +
                               rule + "\r\n" + " Berechnung am 01.02.2024 10:00:00 " + kLegalNotice + "\r\n";
  EXPECT_EQ(readBytes(dir / "SpeisePkt.txt"), expected);

  // A second check does not repeat the note; in English it overwrites the
  // file with the English texts and adds the English note.
  auto main2 = main;
  main2.note = r.info;
  auto r2 = CheckAllBands(workedWindow(','), main2, env(Language::German, ',', dir.string() + "/"), asker);
  EXPECT_EQ(r2.info, r.info);
  r2 = CheckAllBands(workedWindow(','), main2, env(Language::English, ',', dir.string() + "/"), asker);
  EXPECT_EQ(r2.info, r.info + "\r\nThe Feed point - Check is available as text file 'SpeisePkt.txt'.  ");
  const std::string english = readBytes(dir / "SpeisePkt.txt");
  EXPECT_EQ(english.rfind("                Feed point - Check \r\n", 0), 0u);
  EXPECT_NE(english.find(" Calculation on 01.02.2024 10:00:00 "), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST(FeedPointReport, EmptyLineFollowsATableEndingWithALineBreak) {
  const auto dir = freshFolder("nousable");
  auto main = workedMainForm('.');
  main.minimumSum = "0.99";
  ScriptAsker asker;
  const auto r = CheckAllBands(workedWindow('.'), main, env(Language::German, '.', dir.string() + "/"), asker);
  ASSERT_TRUE(r.reportWritten);
  const std::string bytes = readBytes(dir / "SpeisePkt.txt");
  EXPECT_NE(bytes.find("\xD8Summe           0.865 / 222.1     \r\n\r\n" + std::string(60, '\xAF')), std::string::npos);
  std::filesystem::remove_all(dir);
}

TEST(FeedPointReport, UnwritableFolderKeepsTheTableAndClaimsNoFile) {
  auto main = workedMainForm(',');
  main.note = "Hinweis";
  ScriptAsker asker;
  const auto r =
      CheckAllBands(workedWindow(','), main, env(Language::German, ',', "/nonexistent/lorvant/folder/"), asker);
  EXPECT_TRUE(r.done);
  EXPECT_FALSE(r.reportWritten);
  EXPECT_EQ(r.info, "Hinweis");
  EXPECT_EQ(crlfLines(r.rows).size(), 9u);
  // The window says why; the check itself asks nothing.
  EXPECT_EQ(r.reportError, "Pfad nicht gefunden\r\n/nonexistent/lorvant/folder/SpeisePkt.txt");
  EXPECT_TRUE(asker.asked.empty());
}
