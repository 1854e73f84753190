// The optimisation run: inputs, early ends, write-backs, the candidate
// search, the error handler, cancelling and where the files go.
#include <gtest/gtest.h>

#include <cmath>

#include "session/question.h"
#include "tests/session/run_support.h"
#include "tests/support/Boxes.h"
#include "text/bilingual.h"
#include "text/format.h"

namespace lorvant {
namespace {

using test::ScriptedHost;
using test::TempFolder;
using test::TypicalInput;

// A canvas that keeps a tiny image, so the run has something to save.
class FileCanvas : public NullCanvas {
 public:
  int setups = 0, clears = 0;
  std::vector<std::pair<double, std::string>> texts;  // x, text
  void setup() override { ++setups; }
  void clear() override { ++clears; }
  void text(double x, double, std::string_view t, int) override { texts.emplace_back(x, std::string(t)); }
  bool keepsImage() const override { return true; }
  std::string bitmap() const override { return "BM"; }
};

// Entries of the folder, temporaries included; the runs' lock file, which
// stays, does not count.
std::size_t FilesIn(const TempFolder& dir) {
  std::size_t n = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().filename() != ".lorvant.lock") ++n;
  return n;
}

// ---- early ends ----------------------------------------------------------

TEST(RunEarlyEnds, NoHalfWaveWithoutWireLimit) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.halfWaves = "0";
  FileCanvas canvas;
  ScriptedHost host;
  host.drawing = &canvas;
  const RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::NoHalfWave);
  EXPECT_EQ(out.info, " Bitte mindestens eine Halbwelle eingeben!");
  EXPECT_EQ(out.beeps, 1);
  EXPECT_EQ(host.beeps, 1);
  EXPECT_EQ(canvas.clears, 1);
  EXPECT_TRUE(out.files.empty());
  EXPECT_EQ(FilesIn(dir), 0u);

  in.language = Language::English;
  EXPECT_EQ(RunOptimisation(in, host).info, " Please enter at least one half-wave! ");
}

TEST(RunEarlyEnds, OneBandIsTooFewUnlessTheAdditionalBandJoins) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.bands = Boxes({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0});
  ScriptedHost host;
  RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::TooFewBands);
  EXPECT_EQ(out.info, " Bitte mindestens zwei Bänder auswählen!");
  EXPECT_EQ(out.beeps, 1);
  EXPECT_EQ(FilesIn(dir), 0u);

  // 12 MHz lies in no band: Yes makes it a second counted band.
  in.preferredFrequency = "12";
  host.answers = {Answer::Yes};
  out = RunOptimisation(in, host);
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0].title, " Neues Frequenzband");
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_TRUE(out.extraBand);
  EXPECT_FLOAT_EQ(out.extraFrequency, 12.0f);
  EXPECT_TRUE(std::filesystem::exists(dir.file("AntStrSu.txt")));

  // No leaves one band.
  host.answers = {Answer::No};
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::TooFewBands);
  EXPECT_FALSE(out.extraBand);
}

TEST(RunEarlyEnds, InsulationChecks) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  ScriptedHost host;

  // εr = 1 is a bare wire: a conductor thicker than the insulation is no fault.
  in.dielectric = "1";
  in.conductorDiameter = "2";
  in.outerDiameter = "2";
  RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_EQ(out.insulation, 0.0);

  in.dielectric = "2,5";
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::DiameterTooSmall);
  EXPECT_EQ(out.info, "Hinweis: Durchmesser zu gering!");
  EXPECT_EQ(out.focus, RunFocus::ConductorDiameter);
  EXPECT_EQ(out.beeps, 1);

  // A typed 0,01 reads as a float just below the literal 0.01.
  in.conductorDiameter = "0,01";
  EXPECT_EQ(RunOptimisation(in, host).outcome, RunOutcome::DiameterTooSmall);

  in.conductorDiameter = "2";
  in.outerDiameter = "3";
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_NEAR(out.insulation, 0.01251, 0.00001);
  const std::string report = report::FromCp1252(test::ReadBytes(dir.file("AntStrSu.txt")));
  EXPECT_NE(report.find("\r\n (Zusatzverkürzung durch Drahtisolierung: 2,5)\r\n"), std::string::npos);
}

TEST(RunEarlyEnds, DielectricAboveTwentyIsQuestioned) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str(), Language::English, '.');
  in.dielectric = "25";
  in.conductorDiameter = "2";
  in.outerDiameter = "3";
  ScriptedHost host;
  host.answers = {Answer::No};
  RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0].text, "Is the input of the relative dielectric constant correkt ?");
  EXPECT_EQ(host.asked[0].title, " Poor insulating material ?");
  EXPECT_EQ(host.asked[0].buttons, Buttons::YesNo);
  EXPECT_EQ(host.asked[0].icon, Icon::Question);
  EXPECT_EQ(out.outcome, RunOutcome::DielectricRejected);
  EXPECT_EQ(out.focus, RunFocus::Dielectric);
  EXPECT_EQ(out.beeps, 1);
  EXPECT_EQ(FilesIn(dir), 0u);

  host.answers = {Answer::Yes};
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_GT(out.insulation, 0.0);
}

TEST(RunEarlyEnds, SegmentQuestion) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.preferredFrequency = "14,25";  // above the centre 14.2: SSB is suggested
  ScriptedHost host;
  host.answers = {Answer::Cancel};
  RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(host.asked.size(), 1u);
  EXPECT_EQ(host.asked[0].title, " Korrektur");
  EXPECT_EQ(out.outcome, RunOutcome::SegmentCancelled);
  EXPECT_EQ(FilesIn(dir), 0u);

  host.answers = {Answer::Yes};
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  ASSERT_TRUE(out.segment.has_value());
  EXPECT_EQ(*out.segment, Segment::Ssb);
  EXPECT_EQ(out.info.rfind("Berechnung für SSB-Band: Länge der Antenne ", 0), 0u);

  host.answers = {Answer::No};
  out = RunOptimisation(in, host);
  EXPECT_FALSE(out.segment.has_value());
  EXPECT_EQ(out.info.rfind("Berechnung für Bandmitte: ", 0), 0u);
}

// ---- write-backs and shared results ----------------------------------------

TEST(RunWriteBacks, CompletedRun) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.halfWaves = "~4";  // a tilde and what precedes it are dropped
  ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_EQ(out.length, test::worked::kLength);
  EXPECT_EQ(out.preferredFrequency, "14,2");
  EXPECT_EQ(out.halfWaves, "4");
  EXPECT_EQ(out.status, "Status: Bereit zum Anzeigen der Berechnungsergebnisse");
  EXPECT_EQ(out.reportPath, dir.str() + "AntStrSu.txt");
  EXPECT_EQ(out.files, std::vector<std::string>{dir.str() + "AntStrSu.txt"});
  EXPECT_TRUE(out.pictureLabelled);
  EXPECT_EQ(out.beeps, 0);
  EXPECT_TRUE(host.asked.empty());
  EXPECT_EQ(out.info, "Berechnung für Bandmitte: Länge der Antenne " + test::worked::LengthText(',') +
                          " m\r\nMögliche Speisepunkte (X) bei " + test::worked::kFeedPoints +
                          "\r\nTabelle liegt als Textfile 'AntStrSu.txt' vor.  ");
  // Without a picture no temporary file stays behind either.
  EXPECT_EQ(FilesIn(dir), 1u);
}

// The note is kept in both languages, each as a run in that language
// writes it: after a refusal, after a run with the special table, and after
// one that gave a file up.
TEST(RunWriteBacks, TheNoteInBothLanguages) {
  TempFolder dir;
  const auto both = [&](RunInput in, const std::function<void(RunInput&)>& change) {
    std::array<RunOutput, 2> out;
    for (Language lang : kBothLanguages) {
      RunInput i = in;
      i.language = lang;
      change(i);
      ScriptedHost host;
      out[lang == Language::German ? 0 : 1] = RunOptimisation(i, host);
    }
    EXPECT_EQ(out[0].info, out[0].note.german);
    EXPECT_EQ(out[1].info, out[1].note.english);
    EXPECT_EQ(out[0].note.english, out[1].info);
    EXPECT_EQ(out[1].note.german, out[0].info);
    EXPECT_NE(out[0].info, out[1].info);
    return out;
  };
  const RunInput typical = TypicalInput(dir.str());
  both(typical, [](RunInput& i) { i.halfWaves = "0"; });
  const auto full = both(typical, [](RunInput& i) { i.specialTable = true; });
  EXPECT_NE(full[1].info.find("Possible feed points (x) for "), std::string::npos);
  EXPECT_NE(full[0].info.find("'AntSpezi.txt'"), std::string::npos);
}

TEST(RunWriteBacks, AllBandsModeWritesAFractionalHalfWaveCount) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str(), Language::English, '.');
  in.bands = Boxes({0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0});
  in.lengthMode = LengthMode::All;
  in.preferredFrequency = "7.1";
  ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_NEAR(out.length, 39.54, 0.01);
  EXPECT_EQ(out.halfWaves, "~2");
  EXPECT_EQ(out.preferredFrequency, "7.1");
  EXPECT_EQ(out.info.rfind("Calculation for band center: Length of the antenna 39.5", 0), 0u);
}

TEST(RunWriteBacks, WindomSelectsEqualImpedances) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.windom = true;
  in.bands = Boxes({0, 1, 0, 1, 2, 1, 0, 0, 0, 1, 0});
  ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_TRUE(out.equalImpedances);
  ASSERT_FALSE(out.candidates.empty());
  // Position 0 is never an equal-impedance candidate.
  for (const FeedCandidate& c : out.candidates) EXPECT_GT(c.x, 0.0);
}

// ---- wire-length limit -----------------------------------------------------

TEST(RunWireLengthLimit, FortyOneMetresGreysTheBandsBelowTheFundamental) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.halfWaves = "";
  in.maxWireLength = "41";
  in.bands = Boxes({1, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0});
  ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  // f_fund = 1.8 / (41 / 83) = 3.644, rounded 4: 1.8 MHz (2) is below it and
  // turns grey; 3.5 MHz (4) is the first band at or above it and, not being
  // counted, turns grey too; the rest stays.
  const BandValues expected = Boxes({2, 2, 0, 1, 0, 1, 0, 0, 0, 1, 0});
  EXPECT_EQ(out.bands, expected);
  // n_r = 41 / 0.95 / (150 / 14.2) = 4.09; 4 half-waves give 41.73 m > 41,
  // so 3 half-waves remain.
  EXPECT_EQ(out.halfWaves, "3");
  EXPECT_NEAR(out.length, 2.95 * 150 / 14.2, 1e-4);
  // The grey bands get columns but are not counted: three counted bands.
  const std::string report = report::FromCp1252(test::ReadBytes(dir.file("AntStrSu.txt")));
  EXPECT_NE(report.find("Berechnung für Bandmitte:  28, 14, 7 MHz\r\n"), std::string::npos);
  EXPECT_NE(report.find("  7 MHz  3,5 MHz 1,8 MHz\r\n"), std::string::npos) << report;
}

TEST(RunWireLengthLimit, CountedBandAtTheFundamentalStaysCounted) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.halfWaves = "";
  in.maxWireLength = "41";
  in.bands = Boxes({1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0});
  ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  const BandValues expected = Boxes({2, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(out.bands, expected);
}

TEST(RunWireLengthLimit, LongWiresStayWithinTheLimit) {
  // Per half-wave a long wire needs nearly 150 / f0, not Vk of it: taking off
  // one half-wave is not enough, the count comes down until the wire fits.
  struct Case {
    const char* limit;
    const char* f0;
    BandValues bands;
    const char* halfWaves;
    const char* length;
  };
  const Case cases[] = {
      {"1000", "3,65", Boxes({0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 0}), "24", "984,247"},  // was 25 and 1025,342
      {"2000", "7,1", Boxes({0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0}), "94", "1984,859"},  // was 99 and 2090,493
  };
  for (const Case& c : cases) {
    TempFolder dir;
    RunInput in = TypicalInput(dir.str());
    in.preferredFrequency = c.f0;
    in.halfWaves = "";
    in.maxWireLength = c.limit;
    in.bands = c.bands;
    ScriptedHost host;
    const RunOutput out = RunOptimisation(in, host);
    ASSERT_EQ(out.outcome, RunOutcome::Completed) << c.limit;
    EXPECT_EQ(out.halfWaves.value_or(""), c.halfWaves) << c.limit;
    EXPECT_EQ(report::FormatPicture(out.length, "##0.0##", ','), c.length) << c.limit;
    EXPECT_EQ(out.info.find("Hinweis: länger"), std::string::npos) << c.limit;
  }
}

TEST(RunWireLengthLimit, LengthBeyondTheLimitIsNoted) {
  // One half-wave of 3.65 MHz is longer than 35 m; the all-bands mode does
  // not follow the half-wave count at all.
  for (LengthMode mode : {LengthMode::Preferred, LengthMode::All}) {
    for (Language lang : {Language::German, Language::English}) {
      TempFolder dir;
      RunInput in = TypicalInput(dir.str(), lang);
      in.preferredFrequency = "3,65";
      in.maxWireLength = "35";
      in.lengthMode = mode;
      in.bands = Boxes({0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0});
      ScriptedHost host;
      const RunOutput out = RunOptimisation(in, host);
      ASSERT_EQ(out.outcome, RunOutcome::Completed);
      const std::string length = report::FormatPicture(out.length, "##0.0##", ',');
      const std::string expected =
          lang == Language::German
              ? "Länge der Antenne " + length + " m\r\nHinweis: länger als die maximale Drahtlänge!\r\nMögliche"
              : "Length of the antenna " + length + " m\r\nNote: longer than the maximum wire length!\r\nPossible";
      EXPECT_NE(out.info.find(expected), std::string::npos) << out.info;
      // The reports say nothing of it.
      EXPECT_EQ(test::ReadBytes(dir.file("AntStrSu.txt")).find("Drahtl"), std::string::npos);
    }
  }
  // Within the limit there is no note.
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.maxWireLength = "45";
  ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_LE(out.length, 45.0f);
  EXPECT_EQ(out.info.find("Hinweis: länger"), std::string::npos);
}

// ---- candidate search --------------------------------------------------------

TEST(RunCandidates, MoreThanThirtyOneAreAllKeptAndReported) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.preferredFrequency = "28,5";
  in.halfWaves = "20";
  in.minimumSum = "0,01";
  in.bands = Boxes({0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1});
  ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  ASSERT_GT(out.candidates.size(), 31u);
  EXPECT_EQ(out.candidates.size(), out.confirmedCandidates);
  for (std::size_t i = 1; i < out.candidates.size(); ++i) EXPECT_LT(out.candidates[i - 1].x, out.candidates[i].x);
  EXPECT_LT(out.candidates.back().x, out.length / 2);
  // Every one of them is in the report: one tendency block each.
  const std::string report = report::FromCp1252(test::ReadBytes(dir.file("AntStrSu.txt")));
  std::size_t blocks = 0;
  for (std::size_t at = report.find("Einspeisung bei"); at != std::string::npos;
       at = report.find("Einspeisung bei", at + 1))
    ++blocks;
  EXPECT_EQ(blocks, out.candidates.size());
}

TEST(RunCandidates, MaximumAtTheCentreIsNoCandidate) {
  // One half-wave on 7 MHz with 7 and 21 MHz: both have their current
  // maximum at the centre, where the current sum peaks.
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.preferredFrequency = "7,1";
  in.halfWaves = "1";
  in.shorteningFactor = "1";
  in.bands = Boxes({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0});
  ScriptedHost host;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  for (const FeedCandidate& c : out.candidates) EXPECT_LT(c.x, out.length / 2 - 0.5);
}

TEST(RunCandidates, GreyBandIsListedButNotCounted) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  ScriptedHost host;
  const RunOutput plain = RunOptimisation(in, host);
  in.bands[10] = BandState::Grey;  // 50 MHz grey
  const RunOutput grey = RunOptimisation(in, host);
  ASSERT_EQ(plain.candidates.size(), grey.candidates.size());
  for (std::size_t i = 0; i < plain.candidates.size(); ++i) {
    EXPECT_EQ(plain.candidates[i].x, grey.candidates[i].x);
    EXPECT_EQ(plain.candidates[i].S, grey.candidates[i].S);
    EXPECT_EQ(plain.candidates[i].G[10], 0.0);  // off: stored as 0
    EXPECT_GT(grey.candidates[i].G[10], 0.0);   // grey: its G
  }
}

// ---- error handler, cancel, files ------------------------------------------------

// Highest and lowest band with a tolerance no pair meets: the length is 0,
// and the picture scale would divide by zero.
RunInput ZeroLengthInput(const std::string& folder) {
  RunInput in = TypicalInput(folder);
  in.lengthMode = LengthMode::HighestLowest;
  in.tolerance = "0,0000001";
  in.specialTable = true;
  return in;
}

TEST(RunErrors, ZeroLengthGoesToTheErrorHandler) {
  TempFolder dir;
  test::WriteBytes(dir.file("AntStrSu.txt"), "earlier report");
  const RunInput in = ZeroLengthInput(dir.str());
  ScriptedHost host;
  host.errorAnswers = {Answer::Abort};
  RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Aborted);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].title, " Fehler ");
  EXPECT_EQ(host.errors[0].id, QuestionId::RunError);
  EXPECT_EQ(host.errors[0].text, "Division durch Null");
  EXPECT_EQ(host.errors[0].buttons, Buttons::AbortRetryIgnore);
  EXPECT_EQ(host.errors[0].icon, Icon::Exclamation);
  EXPECT_FLOAT_EQ(out.length, 0.0f);
  // The earlier report stays, no temporary file is left.
  EXPECT_EQ(test::ReadBytes(dir.file("AntStrSu.txt")), "earlier report");
  EXPECT_EQ(FilesIn(dir), 1u);

  // Retry asks again (the step fails again); Ignore goes on without a scale.
  host.errors.clear();
  host.errorAnswers = {Answer::Retry, Answer::Ignore};
  FileCanvas canvas;
  host.drawing = &canvas;
  out = RunOptimisation(in, host);
  EXPECT_EQ(host.errors.size(), 2u);
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_NE(test::ReadBytes(dir.file("AntStrSu.txt")), "earlier report");
  EXPECT_TRUE(std::filesystem::exists(dir.file("AntSpezi.txt")));
  // Only the legend, which needs no scale, was printed.
  ASSERT_EQ(canvas.texts.size(), 1u);
  EXPECT_EQ(canvas.texts[0].second, " Stromsummen:");
}

TEST(RunErrors, ZeroShorteningFactorUnderAWireLimit) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str(), Language::English, '.');
  in.halfWaves = "";
  in.maxWireLength = "41";
  in.shorteningFactor = "0";
  ScriptedHost host;
  host.errorAnswers = {Answer::Abort};
  const RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Aborted);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].text, "Division by zero");
  EXPECT_EQ(host.errors[0].title, " Error ");
  EXPECT_EQ(FilesIn(dir), 0u);
}

TEST(RunErrors, StepCountBeyondThirtyTwoBits) {
  // 0.00001 MHz: a wire of about 59000 km, more centimetres than 32 bits hold.
  TempFolder dir;
  RunInput in = TypicalInput(dir.str());
  in.preferredFrequency = "0,00001";
  ScriptedHost host;
  host.answers = {Answer::No};  // not an additional band
  host.errorAnswers = {Answer::Abort};
  RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Aborted);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].text, "Überlauf\r\nBitte kleinere Werte verwenden.");
  EXPECT_EQ(FilesIn(dir), 0u);

  // Ignore leaves the step count at 0: one step, and the reports.
  host.answers = {Answer::No};
  host.errorAnswers = {Answer::Ignore};
  in.specialTable = true;
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_EQ(test::Lines(test::ReadBytes(dir.file("AntSpezi.txt"))).size(), 10u + 1u + 2u);
}

TEST(RunErrors, ResultsFolderThatCannotBeWritten) {
  TempFolder dir;
  RunInput in = TypicalInput(dir.str() + "missing/");
  in.specialTable = true;
  ScriptedHost host;
  host.errorAnswers = {Answer::Abort};
  RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Aborted);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].text, "Pfad nicht gefunden\r\n" + dir.str() + "missing/");

  // Ignore: the run goes on without its files, says which were not written
  // and does not claim success.
  host.errors.clear();
  host.errorAnswers = {Answer::Ignore};
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::FilesMissing);
  EXPECT_EQ(out.status, "Status: Nicht alle Ergebnisdateien wurden geschrieben");
  EXPECT_EQ(host.errors.size(), 1u);
  EXPECT_TRUE(out.files.empty());
  EXPECT_TRUE(out.reportPath.empty());
  EXPECT_EQ(out.info.find("Tabelle liegt"), std::string::npos);
  EXPECT_NE(out.info.find("\r\nDie Datei 'AntStrSu.txt' wurde nicht geschrieben.\r\nDie Datei 'AntSpezi.txt' wurde "
                          "nicht geschrieben."),
            std::string::npos);
  EXPECT_EQ(out.unwrittenFiles,
            (std::vector<std::string>{in.resultsFolder + "AntStrSu.txt", in.resultsFolder + "AntSpezi.txt"}));

  // Retry after the folder was made: both reports are written.
  host.errors.clear();
  host.errorAnswers = {Answer::Retry};
  host.onError = [&] { std::filesystem::create_directories(dir.file("missing")); };
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(out.files.size(), 2u);
  EXPECT_NE(out.info.find("'AntStrSu.txt' und 'AntSpezi.txt'"), std::string::npos);
}

TEST(RunErrors, CancelledRunLeavesTheEarlierReportsWhole) {
  TempFolder dir;
  test::WriteBytes(dir.file("AntStrSu.txt"), "earlier report");
  test::WriteBytes(dir.file("AntSpezi.txt"), "earlier table");
  RunInput in = TypicalInput(dir.str());
  in.halfWaves = "40";  // about 420 m: 42000 steps
  in.specialTable = true;
  ScriptedHost host;
  host.cancelAfterProgressCalls = 3;
  const RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::Cancelled);
  ASSERT_EQ(host.progressCalls.size(), 3u);
  const long steps = std::lround(out.length * 100);
  for (std::size_t i = 0; i < host.progressCalls.size(); ++i)
    EXPECT_NEAR(host.progressCalls[i], (i + 1) * 2048.0 / steps, 1e-9);
  EXPECT_EQ(test::ReadBytes(dir.file("AntStrSu.txt")), "earlier report");
  EXPECT_EQ(test::ReadBytes(dir.file("AntSpezi.txt")), "earlier table");
  EXPECT_EQ(FilesIn(dir), 2u);
  EXPECT_TRUE(out.files.empty());
}

TEST(RunFiles, PictureGoesWithTheReports) {
  TempFolder results;
  RunInput in = TypicalInput(results.str());
  FileCanvas canvas;
  ScriptedHost host;
  host.drawing = &canvas;
  RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_EQ(out.picturePath, results.str() + "AntKurve.BMP");
  EXPECT_EQ(test::ReadBytes(results.file("AntKurve.BMP")), "BM");
  // The note gives the full path: the user finds the picture where it is.
  const std::string note = "  Kurve liegt als '" + results.str() + "AntKurve.BMP' vor. ";
  EXPECT_EQ(out.info.substr(out.info.size() - note.size()), note);
  EXPECT_EQ(out.files.back(), out.picturePath);

  // The folder takes the reports but not the picture: the error box names
  // the real cause and the file; Ignore writes the reports, notes the
  // missing picture and does not claim success.
  test::FaultyFiles faults;
  faults.full = {{"AntKurve.BMP", 1}};
  host.errorAnswers = {Answer::Ignore};
  in.language = Language::English;
  out = RunOptimisation(in, host);
  EXPECT_EQ(out.outcome, RunOutcome::FilesMissing);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].text, "Disk full\r\n" + results.str() + "AntKurve.BMP");
  EXPECT_TRUE(out.picturePath.empty());
  EXPECT_EQ(out.info.find("Curve"), std::string::npos);
  EXPECT_NE(out.info.find("The file 'AntKurve.BMP' was not written."), std::string::npos);
  EXPECT_EQ(out.files.size(), 1u);                                 // the report
  EXPECT_EQ(test::ReadBytes(results.file("AntKurve.BMP")), "BM");  // the earlier picture
}

TEST(RunFiles, SpecialTableOnlyWhenAsked) {
  TempFolder dir;
  test::WriteBytes(dir.file("AntSpezi.txt"), "earlier table");
  RunInput in = TypicalInput(dir.str());
  ScriptedHost host;
  RunOutput out = RunOptimisation(in, host);
  EXPECT_EQ(test::ReadBytes(dir.file("AntSpezi.txt")), "earlier table");
  EXPECT_NE(out.info.find("Tabelle liegt als Textfile 'AntStrSu.txt' vor.  "), std::string::npos);

  in.specialTable = true;
  out = RunOptimisation(in, host);
  EXPECT_NE(test::ReadBytes(dir.file("AntSpezi.txt")), "earlier table");
  EXPECT_NE(out.info.find("'AntStrSu.txt' und 'AntSpezi.txt' vor.  "), std::string::npos);
  EXPECT_EQ(out.files, (std::vector<std::string>{dir.str() + "AntStrSu.txt", dir.str() + "AntSpezi.txt"}));
}

}  // namespace
}  // namespace lorvant
