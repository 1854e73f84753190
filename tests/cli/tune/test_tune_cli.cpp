// lorvant-calc tune as its users call it: its options and refusals, the
// missing engine, a signal and a busy folder, and a small tuning (14 and
// 28 MHz over average ground) whose JSON is what nec2c gives on the written
// deck.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>
#include <set>

#include "engine/nec/deck.h"
#include "engine/nec/output.h"
#include "engine/nec/swr.h"
#include "io/engine_runner.h"
#include "io/staged_files.h"
#include "tests/cli/nec_fixture.h"
#include "tests/cli/tool_process.h"
#include "tests/session/run_support.h"
#include "text/format.h"

namespace lorvant {
namespace {

using test::EarlierPair;
using test::FakePath;
using test::FileNames;
using test::Json;
using test::ReadBytes;
using test::RunTool;
using test::TempFolder;
using test::ToolResult;

// A 10 m wire for 14 and 28 MHz, two sweep points: quick for nec2c.
std::vector<std::string> SmallArgs(const TempFolder& out, const std::string& command = "tune",
                                   const std::string& ground = "perfect") {
  return {command,
          "--out",
          out.path().string(),
          "--frequency",
          "14.2",
          "--halfwaves",
          "1",
          "--band",
          "14",
          "--band",
          "28",
          "--points",
          "2",
          "--ground",
          ground,
          "--language",
          "en",
          "--decimal-separator",
          "."};
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(TuneTool, OptionsAndRefusals) {
  const ToolResult help = RunTool({"tune", "--help"});
  ASSERT_EQ(help.status, 0);
  for (const char* option : {"--out", "--json", "--jobs", "--weight", "--feed", "--ground", "--balun", "--points",
                             "--apex-height", "--band", "--frequency"})
    EXPECT_NE(help.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
  for (const char* word :
       {"NecTune.txt", "usable_bands", "worst_swr", "weighted_worst_swr", "evaluations", "vk", "Exit status"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  EXPECT_NE(RunTool({"--help"}).out.find("\n  tune "), std::string::npos);

  TempFolder dir;
  for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{{"--jobs", "0"},
                                                                                      {"--jobs", "65"},
                                                                                      {"--weight", "14"},
                                                                                      {"--weight", "14=0"},
                                                                                      {"--weight", "14=-1"},
                                                                                      {"--weight", "13=2"},
                                                                                      {"--weight", "7=2"},
                                                                                      {"--ground", "mud"}}) {
    const ToolResult r = RunTool(With(SmallArgs(dir), {option, value}));
    EXPECT_EQ(r.status, 2) << option << ' ' << value;
    ASSERT_EQ(r.errLines().size(), 1u) << r.err;
    EXPECT_EQ(r.err.rfind("lorvant-calc tune: ", 0), 0u) << r.err;
  }
  const ToolResult twice = RunTool(With(SmallArgs(dir), {"--weight", "14=2", "--weight", "14=3"}));
  EXPECT_EQ(twice.status, 2);
  EXPECT_NE(twice.err.find("twice"), std::string::npos) << twice.err;
  EXPECT_TRUE(FileNames(dir).empty());
}

TEST(TuneTool, WithoutNec2cTheStartsDeckIsWrittenAlone) {
  TempFolder tuned, checked, emptyPath;
  test::WriteBytes(tuned.file("NecTune.txt"), "an earlier tuning");
  const std::map<std::string, std::string> env = {{"PATH", emptyPath.path().string()}};
  const ToolResult r = RunTool(SmallArgs(tuned), env);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("apt install nec2c"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("NecTune.txt"), std::string::npos) << "the earlier report went with its deck: " << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(FileNames(tuned), std::set<std::string>{"Lorvant.nec"});
  // The deck `nec` writes for the same design.
  const std::vector<std::string> nec = SmallArgs(checked, "nec");
  EXPECT_EQ(RunTool(nec, env).status, 1);
  EXPECT_EQ(ReadBytes(tuned.file("Lorvant.nec")), ReadBytes(checked.file("Lorvant.nec")));
}

// An earlier tuning's deck and report in the results folder.
EarlierPair EarlierTuning() { return EarlierPair("tune", "NecTune.txt"); }

// Ctrl-C (and the other stopping signals) while nec2c solves a batch: the
// engine goes with the tool, the earlier tuning's files stay byte for byte,
// and the tool ends with status 1 and says why.
TEST(TuneTool, ASignalStopsTheTuningAndLeavesTheEarlierFiles) {
  const TempFolder marks;
  const std::string pidFile = marks.file("engine.pid").string();
  const FakePath hanging("echo $$ > '" + pidFile + "'\nexec /bin/sleep 60");
  for (int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    const EarlierPair pair = EarlierTuning();
    std::filesystem::remove(pidFile);
    test::ToolProcess tool(pair.args(), pair.env(hanging));
    const pid_t engine = test::StartedEngine(pidFile);
    ASSERT_GT(engine, 0);
    ::kill(tool.pid(), signal);
    const ToolResult r = tool.wait();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "NEC-2 tuning stopped (signal)\n");
    EXPECT_TRUE(r.out.empty());
    for (int i = 0; i < 200 && test::Running(engine); ++i) ::usleep(10'000);
    EXPECT_FALSE(test::Running(engine)) << "the engine outlived the tool";
    EXPECT_TRUE(pair.kept());
    EXPECT_TRUE(std::filesystem::is_empty(pair.tmp.path()));
  }
}

// A results folder that another check or run holds is refused before any
// engine starts, in the user's language; the folder's files stay.
TEST(TuneTool, ABusyResultsFolderIsRefused) {
  const TempFolder marks;
  const FakePath noting("touch '" + marks.file("started").string() + "'\nexit 1");
  const EarlierPair pair = EarlierTuning();
  files::FolderLock other;
  ASSERT_TRUE(other.tryLock(pair.dir.str()));
  ToolResult r = RunTool(pair.args(), pair.env(noting));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Another calculation is writing into the folder " + pair.dir.str() + " right now.\n");
  std::vector<std::string> german = test::CapturedCheckArgs(pair.dir);
  german.front() = "tune";
  r = RunTool(With(german, {"--language", "de"}), pair.env(noting));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(pair.dir.str()), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Another"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(marks.file("started"))) << "no engine starts";
  EXPECT_TRUE(pair.kept());
}

// What nec2c answers at `mhz` in its output (frequencies are not shared
// between the bands here).
std::complex<double> At(const std::vector<nec::InputParameters>& solved, double mhz) {
  for (const nec::InputParameters& p : solved)
    if (std::fabs(p.frequency - mhz) <= 1e-4 * mhz) return p.impedance;
  ADD_FAILURE() << "nec2c did not solve " << mhz << " MHz";
  return {};
}

TEST(TuneTool, TheTunedFiguresAreNec2csOnTheWrittenDeck) {
  if (nec::FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)";
  TempFolder dir;
  // 28 MHz's mismatch counts twice: it ranks, and chooses the balun. Over
  // average ground the search's coarse stage takes reflection coefficients;
  // what is reported and written is Sommerfeld-Norton's.
  const ToolResult r =
      RunTool(With(SmallArgs(dir, "tune", "average"),
                   {"--json", "--jobs", "2", "--weight", "28=2", "--picture", dir.file("TuneSWR.svg").string()}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FileNames(dir), (std::set<std::string>{"Lorvant.nec", "NecTune.txt", "TuneSWR.svg"}));
  // The picture: the tuned design's curves and the start's dashed, named.
  const std::string svg = ReadBytes(dir.file("TuneSWR.svg"));
  EXPECT_NE(svg.find(">tuned (NEC-2)</text>"), std::string::npos);
  EXPECT_NE(svg.find(">start, balun "), std::string::npos);
  std::size_t dashedCurves = 0;
  for (std::size_t at = svg.find("stroke-dasharray=\"6 4\" points="); at != std::string::npos;
       at = svg.find("stroke-dasharray=\"6 4\" points=", at + 1))
    ++dashedCurves;
  EXPECT_EQ(dashedCurves, 2u);
  const QJsonObject o = Json(r);
  const QJsonObject start = o.value("start").toObject(), tuned = o.value("tuned").toObject();
  for (const QJsonObject& side : {start, tuned})
    for (const char* key : {"length", "feed", "balun", "worst_swr", "usable_bands"})
      EXPECT_TRUE(side.value(key).isDouble()) << key;
  EXPECT_EQ(o.value("deck").toString().toStdString(), dir.str() + "Lorvant.nec");
  EXPECT_EQ(o.value("jobs").toInt(), 2);

  // Never ranked after the start, within the searched range.
  const int usable = tuned.value("usable_bands").toInt();
  EXPECT_GE(usable, start.value("usable_bands").toInt());
  if (usable == start.value("usable_bands").toInt()) {
    EXPECT_LE(tuned.value("weighted_worst_swr").toDouble(), start.value("weighted_worst_swr").toDouble());
  }
  const double length = tuned.value("length").toDouble(), startLength = start.value("length").toDouble();
  EXPECT_LE(std::fabs(length / startLength - 1), 0.1 + 1e-9);
  EXPECT_GT(o.value("evaluations").toInt(), 90) << "the grid alone has 90";
  EXPECT_GE(o.value("coarse_evaluations").toInt(), 90) << "the grid is the coarse stage's";
  EXPECT_LT(o.value("coarse_evaluations").toInt(), o.value("evaluations").toInt());
  EXPECT_GT(o.value("engine_seconds").toDouble(), 0);
  EXPECT_LE(o.value("engine_seconds").toDouble(), o.value("seconds").toDouble());
  EXPECT_GE(o.value("engine_runs").toInt(), 3);
  // One half-wave: Vk scales with the length.
  EXPECT_NEAR(o.value("vk").toDouble(), 0.95 * length / startLength, 1e-6);

  // nec2c once more on the deck as written.
  const std::string deck = ReadBytes(dir.file("Lorvant.nec"));
  EXPECT_NE(deck.find(nec::DeckNumber(length) + " 0 10"), std::string::npos) << "the deck is the tuned wire";
  EXPECT_NE(deck.find("\nGN 2 0 0 0 13 0.005\n"), std::string::npos) << "Sommerfeld-Norton";
  EXPECT_EQ(deck.find("\nGN 0 "), std::string::npos);
  const nec::EngineResult again = nec::Nec2cEngine().run(deck, {});
  ASSERT_EQ(again.status, nec::EngineResult::Status::Completed) << again.message;
  const std::vector<nec::InputParameters> solved = nec::ParseInputParameters(again.output);
  const double balun = tuned.value("balun").toDouble();
  double worst = 0, weighted = 0;
  std::set<double> usableBands;
  const auto weigh = [](double band, double swr) { return band == 28 ? 1 + 2 * (swr - 1) : swr; };
  const QJsonArray bands = o.value("bands").toArray();
  ASSERT_EQ(bands.size(), 2);
  for (const auto& value : bands) {
    const QJsonObject b = value.toObject();
    const std::complex<double> z = At(solved, b.value("frequency").toDouble());
    EXPECT_EQ(b.value("r").toDouble(), z.real());
    EXPECT_EQ(b.value("x").toDouble(), z.imag());
    EXPECT_DOUBLE_EQ(b.value("swr").toDouble(), nec::Swr(z, balun));
    EXPECT_EQ(b.value("usable").toBool(), nec::UsableAtFeed(z));
    EXPECT_TRUE(b.value("start").toObject().value("r").isDouble());
    if (nec::UsableAtFeed(z)) {
      usableBands.insert(b.value("band").toDouble());
      worst = std::max(worst, nec::Swr(z, balun));
      weighted = std::max(weighted, weigh(b.value("band").toDouble(), nec::Swr(z, balun)));
    }
  }
  EXPECT_EQ(static_cast<int>(usableBands.size()), usable);
  const QJsonArray sweep = o.value("sweep").toArray();
  ASSERT_EQ(sweep.size(), 4);
  for (const auto& value : sweep) {
    const QJsonObject s = value.toObject();
    const std::complex<double> z = At(solved, s.value("frequency").toDouble());
    EXPECT_EQ(s.value("r").toDouble(), z.real());
    EXPECT_DOUBLE_EQ(s.value("swr").toDouble(), nec::Swr(z, balun));
    if (usableBands.count(s.value("band").toDouble())) {
      worst = std::max(worst, nec::Swr(z, balun));
      weighted = std::max(weighted, weigh(s.value("band").toDouble(), nec::Swr(z, balun)));
    }
  }
  EXPECT_DOUBLE_EQ(tuned.value("worst_swr").toDouble(), worst);
  EXPECT_DOUBLE_EQ(tuned.value("weighted_worst_swr").toDouble(), weighted);
  // No other ratio gives a lower weighted worst on these impedances.
  for (double ratio : nec::kBalunRatios) {
    double other = 0;
    for (const auto& value : sweep) {
      const QJsonObject s = value.toObject();
      if (usableBands.count(s.value("band").toDouble()))
        other = std::max(
            other, weigh(s.value("band").toDouble(), nec::Swr(At(solved, s.value("frequency").toDouble()), ratio)));
    }
    for (const auto& value : bands) {
      const QJsonObject b = value.toObject();
      if (usableBands.count(b.value("band").toDouble()))
        other = std::max(
            other, weigh(b.value("band").toDouble(), nec::Swr(At(solved, b.value("frequency").toDouble()), ratio)));
    }
    EXPECT_GE(other, weighted) << ratio << ":1";
  }

  // The report: Windows-1252 with CR LF, the tuned length in it.
  const std::string report = ReadBytes(dir.file("NecTune.txt"));
  EXPECT_NE(report.find("\r\n"), std::string::npos);
  std::size_t lineEnds = 0, crLf = 0;
  for (std::size_t at = report.find('\n'); at != std::string::npos; at = report.find('\n', at + 1)) {
    ++lineEnds;
    crLf += at > 0 && report[at - 1] == '\r' ? 1 : 0;
  }
  EXPECT_GT(lineEnds, 15u);
  EXPECT_EQ(crLf, lineEnds);
  EXPECT_NE(report.find(report::FormatPicture(length, "##0.000", '.') + " m"), std::string::npos);
  EXPECT_NE(report.find("\x97\x97\x97"), std::string::npos) << "em dashes as the code page writes them";
  EXPECT_NE(report.find("Weights (SWR - 1 counts so many times): 28 MHz 2"), std::string::npos);
}

}  // namespace
}  // namespace lorvant
