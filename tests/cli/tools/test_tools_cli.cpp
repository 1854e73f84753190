// lorvant-calc vk, prune and dipole as their users call them: the windows'
// result labels to the printed digit, corrections and refusals on stderr
// with their exit status, and ZusatzDipol.txt written with --out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "io/engine_runner.h"
#include "session/calculators/dipole.h"
#include "tests/cli/tool_process.h"
#include "tests/session/run_support.h"

namespace lorvant {
namespace {

using test::ReadBytes;
using test::RunTool;

// A results folder below a fresh temporary one: the tool makes it itself.
struct OutFolder {
  test::TempFolder base;
  std::filesystem::path path() const { return base.file("out"); }
};

TEST(VkCommand, PrintsTheThreeResults) {
  const auto r = RunTool(
      {"vk", "--frequency", "14,2", "--height", "10", "--diameter", "1,382(1,5mm²)", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Verkürzung in % durch Schlangheitsgrad: 2,8\n"
            "Verkürzung in % durch Antennenhöhe: 3,1\n"
            "voraussichtlicher Verkürzungsfaktor: 0,942\n");
  EXPECT_EQ(r.err, "");
}

TEST(VkCommand, CorrectionsAndRefusals) {
  // Height below 1 cm: nothing computed, the window's correction named.
  auto r = RunTool({"vk", "--height", "0", "--language", "en", "--decimal-separator", "."});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Input refused: Antenna height [m]: 0; suggested: 0,01\n");
  // An empty frequency is 0.
  r = RunTool({"vk", "--frequency", "", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Eingabe abgewiesen: Frequenz [MHz]: \n");
  // A diameter above twice the height is corrected; the calculation goes on.
  r = RunTool({"vk", "--height", "0,01", "--diameter", "25", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Drahtdurchmesser [mm]: 20,0 (!)\n");
  EXPECT_NE(r.out.find("voraussichtlicher Verkürzungsfaktor: "), std::string::npos);
}

TEST(VkCommand, NecGroundAddsTheNec2Vk) {
  // A ground NEC-2 does not know is a bad command line.
  auto r = RunTool({"vk", "--nec", "swamp"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("'swamp' is not one of free, perfect, poor, average, good"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");

  // Without nec2c the closed-form lines stand and the message says how to get it.
  const test::TempFolder emptyPath;
  const std::vector<std::string> args{"vk",  "--frequency", "7.1",     "--height",   "10", "--diameter",
                                      "1.4", "--nec",       "average", "--language", "en"};
  r = RunTool(args, {{"PATH", emptyPath.path().string()}});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3) << r.out;
  EXPECT_NE(r.out.find("expected shortening factor: 0"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "nec2c was not found. Please install it: apt install nec2c\n");

  if (nec::FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)";
  std::vector<std::string> withPoint = args;
  withPoint.insert(withPoint.end(), {"--decimal-separator", "."});
  r = RunTool(withPoint);
  EXPECT_EQ(r.status, 0) << r.err;
  const std::size_t at = r.out.find("\nshortening factor (NEC-2): ");
  ASSERT_NE(at, std::string::npos) << r.out;
  const double vk = std::stod(r.out.substr(at + 28));
  EXPECT_GT(vk, 0.955);
  EXPECT_LT(vk, 0.97);
}

TEST(VkCommand, OutOfRangePercentagesAreMarked) {
  const auto r =
      RunTool({"vk", "--frequency", "1,8", "--height", "10", "--diameter", "0,1", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Schlangheitsgrad: 1,9 (!)\n"), std::string::npos) << r.out;
}

TEST(PruneCommand, WorkedExamples) {
  auto r = RunTool({"prune", "--length", "20", "--measured", "7,0", "--desired", "7,05", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Neu: Antennenlänge: 19,858\nNeu: Vk gesamt: 0,933\nLänge ändern um [cm]: - 14,2\n");
  r = RunTool({"prune", "--run-length", "41", "--measured", "7.0", "--desired", "7.1", "--language", "en",
               "--decimal-separator", "."});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "New: antenna length: 40.423\nNew: Vk total: 0.913\nchange length by [cm]: - 57.7\n");
  r = RunTool({"prune", "--length", "46", "--measured", "7,5", "--desired", "7,5", "--decimal-separator", ","});
  EXPECT_EQ(r.out, "Neu: Antennenlänge: 46,00\nNeu: Vk gesamt: 1,30 (!)\nLänge ändern um [cm]: + 0,0\n");
}

TEST(PruneCommand, RefusalsNameTheField) {
  auto r = RunTool({"prune", "--measured", "7", "--desired", "7,05", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Eingabe abgewiesen: ist Antennenlänge [m]: \n");
  r = RunTool({"prune", "--length", "-40", "--measured", "7", "--desired", "7,02", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Eingabe abgewiesen: ist Antennenlänge [m]: -40\n");
  r = RunTool({"prune", "--length", "20", "--measured", "7,0", "--desired", "3,65", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Eingabe abgewiesen: soll Resonanzfrequenz [MHz]: 3,65\n");
  EXPECT_EQ(r.out, "");
}

TEST(DipoleCommand, WorkedExampleWithReport) {
  const OutFolder dir;
  const auto r = RunTool({"dipole", "--frequency", "14,2", "--exciter-frequency", "3,5", "--diameter", "2",
                          "--exciter-diameter", "2", "--vk", "0,95", "--out", dir.path().string(), "--date",
                          "01.02.2024 10:00:00", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Ges.-Länge Zusatzdipol [m]: 10,035\n"
            "Speise-Pkt bei: 0,5 der Ges.-Länge [m]: 5,018\n"
            "Abstand zwischen den Antennendrähten [mm]: 275\n"
            "Verkürzungsfaktor: 0,95\n");
  // The report is the window's for the same fields (its lines are the
  // calc tests' business).
  dipole::Inputs in;
  in.fAdd = "14,2";
  in.fExc = "3,5";
  in.impedance = dipole::kDefaultImpedance;
  in.dAdd = "2";
  in.dExc = "2";
  in.vk = "0,95";
  in.halfWaves = dipole::kDefaultHalfWaves;
  in.fraction = dipole::DipoleFractions(',').front();
  const dipole::Outcome out = dipole::Calculate(in, ',');
  ASSERT_TRUE(out.computed);
  EXPECT_EQ(ReadBytes(dir.path() / "ZusatzDipol.txt"),
            dipole::ReportText(dipole::MakeReportData(dipole::CaptionsFor(Language::German, false), in, out,
                                                      Language::German, "01.02.2024 10:00:00")));
}

TEST(DipoleCommand, WindomInEnglish) {
  const auto r = RunTool({"dipole", "--windom", "--half-waves", "2", "--frequency", "14.2", "--exciter-frequency",
                          "3.5", "--diameter", "2", "--exciter-diameter", "2", "--vk", "0.95", "--language", "en",
                          "--decimal-separator", "."});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Total length of additional WINDOM [m]: 20.599\n"
            "Feed point at: 0.3333 of the total length [m]: 6.866\n"
            "Distance between the antenna wires [mm]: 215\n"
            "Shortening factor: 0.95\n");
}

TEST(DipoleCommand, DefaultsComeFromTheMainFormAndRefusalsSuggest) {
  // Without exciter values: the lowest --band and the conductor diameter.
  const OutFolder dir;
  auto r = RunTool({"dipole", "--frequency", "14,2", "--band", "7", "--band", "3.5", "--conductor", "2,5", "--out",
                    dir.path().string(), "--decimal-separator", ","});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string bytes = ReadBytes(dir.path() / "ZusatzDipol.txt");
  EXPECT_NE(bytes.find("\r\nunterste Resonanzfrequenz [MHz]: 3,5\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nVerk\xFCrzungsfaktor: 0,946\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nDraht-Durchmesser [mm]: 2,5\r\n"), std::string::npos);
  // Not above the exciter.
  r = RunTool({"dipole", "--frequency", "3,5", "--band", "3.5", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Eingabe abgewiesen: gewünschte Resonanzfrequenz [MHz]: 3,5\n");
  // Wires that would touch: a thinner additional wire is suggested.
  r = RunTool({"dipole", "--frequency", "14,2", "--band", "3.5", "--impedance", "1", "--diameter", "2",
               "--exciter-diameter", "2", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Eingabe abgewiesen: Draht-Durchmesser [mm]: 2; Vorschlag: 0,95\n");
  EXPECT_EQ(r.out, "");
}

TEST(DipoleCommand, ShorteningFactorAndFeedPointMustBeOnTheWire) {
  const std::vector<std::string> base = {"dipole", "--frequency",         "14,2", "--exciter-frequency",
                                         "3,5",    "--diameter",          "2",    "--exciter-diameter",
                                         "2",      "--decimal-separator", ","};
  auto with = [&base](std::vector<std::string> more) {
    std::vector<std::string> args = base;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  // A Vk outside 0 .. 1 is refused like a zero one: no result, no file.
  const OutFolder dir;
  for (const char* vk : {"-5", "1e38", "1,2"}) {
    const auto r = RunTool(with({"--vk", vk, "--out", dir.path().string()}));
    EXPECT_EQ(r.status, 1) << vk;
    EXPECT_EQ(r.err, std::string("Eingabe abgewiesen: Verkürzungsfaktor: ") + vk + "\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "ZusatzDipol.txt"));
  // The plain dipole is fed in its centre; the WINDOM strictly inside.
  for (const char* fraction : {"2", "0,5"}) EXPECT_EQ(RunTool(with({"--fraction", fraction})).status, 2) << fraction;
  for (const char* fraction : {"nan", "1e38", "1", "0", "-0,25", "1,5", ""}) {
    const auto r = RunTool(with({"--windom", "--half-waves", "2", "--fraction", fraction}));
    EXPECT_EQ(r.status, 2) << fraction;
    EXPECT_EQ(r.err.rfind("lorvant-calc dipole: --fraction '", 0), 0u) << r.err;
  }
  const auto r = RunTool(with({"--windom", "--half-waves", "2", "--fraction", "0,25"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Speise-Pkt bei: 0,25 der Ges.-Länge [m]: "), std::string::npos) << r.out;
}

TEST(DipoleCommand, SpacingOutsideTheFormulaIsMarked) {
  const auto r = RunTool({"dipole", "--frequency", "14,2", "--exciter-frequency", "3,5", "--diameter", "20,5",
                          "--exciter-diameter", "20,5", "--decimal-separator", ","});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Abstand zwischen den Antennendrähten [mm]: "), std::string::npos);
  EXPECT_NE(r.out.find(" (!)\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace lorvant
