// The feed-point subcommands of lorvant-calc as their users call them: the
// same texts as the window's computation, the report, the messages and
// exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <thread>

#include "session/feedpoint.h"
#include "tests/cli/tool_process.h"
#include "tests/session/feedpoint_support.h"
#include "tests/session/run_support.h"
#include "tests/support/Boxes.h"
#include "text/reports/speisepkt.h"

namespace lorvant {
namespace {

using namespace feedpoint;
using test::ReadBytes;
using test::RunTool;
using test::ScriptAsker;

// The window's text as the terminal shows it.
std::string Terminal(const std::string& rows) {
  std::string out;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (!(rows[i] == '\r' && i + 1 < rows.size() && rows[i + 1] == '\n')) out += rows[i];
  if (!out.empty() && out.back() != '\n') out += '\n';
  return out;
}

// A results folder below a fresh temporary one: the tool makes it itself.
struct OutFolder {
  test::TempFolder base;
  std::filesystem::path path() const { return base.file("out"); }
};

// The worked example's main form after its run, without the distance.
const std::vector<std::string> kWorked = {"--run-length",
                                          "41.7",
                                          "--band",
                                          "3.5",
                                          "--band",
                                          "7",
                                          "--band",
                                          "14",
                                          "--vk",
                                          "0.95",
                                          "--min-sum",
                                          "0.4",
                                          "--frequency",
                                          "14.2",
                                          "--decimal-separator",
                                          "."};

std::vector<std::string> With(std::string command, std::vector<std::string> more) {
  std::vector<std::string> args{std::move(command)};
  args.insert(args.end(), kWorked.begin(), kWorked.end());
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(FeedPointCli, AllBandsPrintsTheWindowsTableAndWritesTheReport) {
  const OutFolder dir;
  const auto r =
      RunTool(With("allbands", {"--distance", "13.9", "--out", dir.path().string(), "--date", "01.02.2024 10:00:00"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");

  // The same check in process, as the window runs it, writes the same file.
  const OutFolder own;
  std::filesystem::create_directories(own.path());
  auto main = test::workedMainForm('.');
  ScriptAsker asker;
  const auto inProcess =
      CheckAllBands(test::workedWindow('.'), main,
                    AllBandsEnv{Language::German, '.', "01.02.2024 10:00:00", own.path().string() + "/"}, asker);
  EXPECT_EQ(Terminal(inProcess.rows), r.out);
  EXPECT_EQ(ReadBytes(dir.path() / "SpeisePkt.txt"), ReadBytes(own.path() / "SpeisePkt.txt"));
}

TEST(FeedPointCli, AllBandsMessagesQuestionAndPrefill) {
  // No distance and no note to take one from: refused like the window.
  auto r = RunTool({"allbands", "--run-length", "41.7", "--band", "14", "--language", "en"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Incomplete: Please enter a distance!\n");

  // The note's feed points pre-fill the distance.
  const std::string note =
      "Length of the antenna 41.7 m\nCalculation for band center: Possible feed points (x) for  6.75 m, 13.9 m,\n";
  r = RunTool(With("allbands", {"--info", note, "--language", "en"}));
  EXPECT_NE(r.out.find("ØSum             0.868 / 219.5"), std::string::npos) << r.out;
  const auto explicitDistance = RunTool(With("allbands", {"--distance", "13.9", "--language", "en"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, explicitDistance.out);

  // A length typed differently asks; the answer comes from --adapt.
  r = RunTool(With("allbands", {"--distance", "13.9", "--length", "40", "--halfwaves", "4", "--adapt", "yes"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Neue Berechnung ?: Soll die Antennenlänge an die Resonanzfrequenz angepasst werden? yes"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("Antennengesamtlänge [m]:" + test::worked::LengthText('.') + "\n"), std::string::npos) << r.err;
  r = RunTool(With("allbands", {"--distance", "13.9", "--length", "40"}));
  EXPECT_NE(r.err.find("angepasst werden? no"), std::string::npos) << r.err;
}

// A feed point beyond the wire or at its very end is refused by a message
// that names the wire's length in the separator of the command line.
TEST(FeedPointCli, FeedPointOffTheWireIsRefused) {
  auto r = RunTool(With("allbands", {"--distance", "100"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Ungültige Eingabe: Der Speisepunkt liegt nicht auf dem Draht (0 … 41.7 m).\n");
  for (const char* distance : {"25", "20"}) {
    r = RunTool({"onefreq", "--length", "20", "--at", "7,5", "--distance", distance, "--vk", "1", "--language", "en",
                 "--decimal-separator", ","});
    EXPECT_EQ(r.status, 1) << distance;
    EXPECT_EQ(r.out, "") << distance;
    EXPECT_EQ(r.err, "Invalid input: The feed point is not on the wire (0 … 20,0 m).\n") << distance;
  }
  r = RunTool({"onefreq", "--length", "20", "--at", "7,5", "--distance", "0", "--language", "en"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Incomplete: Please enter a distance!\n");
}

TEST(FeedPointCli, OneFrequencyLines) {
  const auto r = RunTool(
      {"onefreq", "--length", "20", "--at", "7,5", "--distance", "10", "--vk", "1", "--decimal-separator", ","});
  ASSERT_EQ(r.status, 0) << r.err;
  WindowTexts window;
  window.first.text = "20";
  window.second.text = "7,5";
  window.third.text = "10";
  MainFormValues main;
  main.shorteningFactor = "1";
  ScriptAsker asker;
  const auto inProcess = CheckOneFrequency(window, main, Language::German, ',', asker);
  ASSERT_TRUE(inProcess.done);
  EXPECT_EQ(r.out, Terminal(inProcess.rows));

  // The window's frequency defaults to the main form's; a zero one is refused.
  const auto viaMain = RunTool({"onefreq", "--run-length", "20", "--frequency", "7,5", "--distance", "10", "--vk", "1",
                                "--decimal-separator", ","});
  EXPECT_EQ(viaMain.out, r.out);
  const auto zero = RunTool({"onefreq", "--length", "20", "--at", "0", "--distance", "10", "--language", "en"});
  EXPECT_EQ(zero.status, 1);
  EXPECT_EQ(zero.err, "Incomplete: Please enter the frequency!\n");
}

TEST(FeedPointCli, ImpedanceField) {
  auto r = RunTool({"impedance", "--current-sum", "0,5", "--decimal-separator", ","});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, ImpedanceFromCurrentSum("0,5", ',').impedance + "\n");
  r = RunTool({"impedance", "--current-sum", "0.01", "--decimal-separator", "."});
  EXPECT_EQ(r.out, ImpedanceFromCurrentSum("0.01", '.').impedance + "\n");
  r = RunTool({"impedance", "--current-sum", "2,01"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(r.err.empty());
}

TEST(FeedPointCli, ScanRowsAsTheWindowComputesThem) {
  const auto r = RunTool({"scan", "--run-length", "41.7", "--band", "3.5", "--band", "7", "--band", "14", "--from", "6",
                          "--to", "8", "--step", "0.1", "--vk", "0.95", "--decimal-separator", "."});
  ASSERT_EQ(r.status, 0) << r.err;
  MainFormValues main;
  main.run.length = 41.7f;
  main.shorteningFactor = "0.95";
  main.bands = Boxes({0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0});
  main.segment = Segment::Centre;
  WindowTexts window;
  window.first.text = "6";
  window.second.text = "8";
  window.third.text = "0.1";
  EXPECT_EQ(r.out, Terminal(RunScan(PrepareScan(window, main, '.'), '.').rows));
  EXPECT_EQ(r.out.substr(0, 20), "6.000 m     0.72437\n");

  // The window's own defaults: a sixth and half the run's length, 0,01 m steps;
  // a step too small is corrected and reported.
  const auto corrected = RunTool(
      {"scan", "--run-length", "41.7", "--band", "14", "--step", "0", "--to", "6,952", "--decimal-separator", ","});
  ASSERT_EQ(corrected.status, 0) << corrected.err;
  EXPECT_EQ(corrected.err, "Inkrement: 0,001\n");
  EXPECT_EQ(corrected.out.substr(0, 5), "6,950");
  EXPECT_EQ(std::count(corrected.out.begin(), corrected.out.end(), '\n'), 3);
}

TEST(FeedPointCli, ScanStreamsAndStopsCleanlyOnInterrupt) {
  // Fifty million rows: printed as they are made, stopped by Ctrl-C after
  // a whole row, with the run's message and exit status.
  test::ToolProcess tool({"scan", "--run-length", "100000", "--band", "7", "--from", "0", "--to", "50000", "--step",
                          "0.001", "--decimal-separator", "."});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  std::error_code ec;
  while (std::filesystem::file_size(tool.outPath(), ec) < 200000 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ::kill(tool.pid(), SIGINT);
  const auto r = tool.wait();
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Berechnung abgebrochen (Signal)\n");
  ASSERT_GT(r.out.size(), 200000u);
  EXPECT_EQ(r.out.back(), '\n');
  // Every line whole: the position, the unit, the average.
  const std::regex row(" *\\d+\\.\\d{3} m     \\d\\.\\d{1,5}");
  std::istringstream lines(r.out);
  std::string last;
  for (std::string line; std::getline(lines, line); last = line)
    ASSERT_NE(line.find(" m     "), std::string::npos) << line;
  EXPECT_TRUE(std::regex_match(last, row)) << last;
}

TEST(FeedPointCli, ScanSaysWhereTheStepStopsMovingThePosition) {
  const auto r = RunTool({"scan", "--run-length", "70000", "--band", "7", "--from", "32767,99", "--to", "32800",
                          "--step", "0,001", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Die Schrittweite bewegt die Position ab 32768,000 m nicht mehr: Die Prüfung endet hier.\n");
  // The last row is the position that no longer moves.
  EXPECT_NE(r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1).find("32768,000 m"), std::string::npos);
}

// A right limit beyond the wire: the rows end at the wire's end, and stderr
// says so.
TEST(FeedPointCli, ScanEndsAtTheEndOfTheWire) {
  const std::string length = test::worked::LengthText('.');
  const auto r = RunTool({"scan", "--run-length", length, "--band", "7", "--band", "14", "--from", "40", "--to", "50",
                          "--step", "0.5", "--decimal-separator", "."});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4) << r.out;
  EXPECT_NE(r.out.find("41.500 m"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "Die Liste endet am Drahtende (" + length + " m).\n");
}

TEST(FeedPointCli, ListedInTheOverview) {
  const auto overview = RunTool({"--help"});
  for (const char* command : {"allbands", "onefreq", "impedance", "scan"})
    EXPECT_NE(overview.out.find(std::string("  ") + command), std::string::npos) << command;
  EXPECT_EQ(RunTool({"allbands", "--distance", "1x"}).status, 2);
}

}  // namespace
}  // namespace lorvant
