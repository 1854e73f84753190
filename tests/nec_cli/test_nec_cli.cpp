// lorvant-calc nec as its users call it: options and exit statuses, the
// missing engine, a fake nec2c on PATH with the captured output, and one
// check through the real nec2c where it is installed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <set>

#include "calc/necengine.h"
#include "calc/reports/text.h"
#include "tests/calc/run_support.h"
#include "tests/cli/tool_process.h"

namespace lorvant {
namespace {

using test::ReadBytes;
using test::RunTool;
using test::TempFolder;
using test::ToolResult;

// The design of tests/data/nec/ocf_7_14.*: its deck and its nec2c output.
std::vector<std::string> CapturedArgs(const TempFolder& out) {
  return {"nec",
          "--out",
          out.path().string(),
          "--frequency",
          "7.1",
          "--halfwaves",
          "1",
          "--band",
          "7",
          "--band",
          "14",
          "--feed",
          "7.06",
          "--points",
          "2",
          "--date",
          "08.12.2026 15:44:35",
          "--decimal-separator",
          ","};
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// The captured design fed elsewhere.
std::vector<std::string> FedAt(const TempFolder& out, const std::string& feed) {
  std::vector<std::string> args = CapturedArgs(out);
  const auto at = std::find(args.begin(), args.end(), "--feed");
  at[1] = feed;
  return args;
}

std::set<std::string> FileNames(const TempFolder& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.insert(e.path().filename().string());
  return names;
}

QJsonObject Json(const ToolResult& r) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out;
  return doc.object();
}

std::set<QString> Keys(const QJsonObject& o) {
  const QStringList keys = o.keys();
  return {keys.begin(), keys.end()};
}

// A folder holding only a fake nec2c (a shell script with `body`), to be
// the whole PATH of the tool.
struct FakePath {
  TempFolder folder;
  explicit FakePath(const std::string& body) {
    test::WriteBytes(folder.file("nec2c"), "#!/bin/sh\n" + body + "\n");
    ::chmod(folder.file("nec2c").c_str(), 0755);
  }
  std::map<std::string, std::string> env() const { return {{"PATH", folder.path().string()}}; }
};

const std::string kCaptured = std::string(LORVANT_TEST_DATA) + "/nec/ocf_7_14";

TEST(NecTool, OptionsAndExitStatuses) {
  const ToolResult help = RunTool({"nec", "--help"});
  ASSERT_EQ(help.status, 0);
  for (const char* option : {"--out", "--feed", "--height", "--ground", "--balun", "--points", "--json", "--band",
                             "--frequency", "--calculator-height", "--special-table"})
    EXPECT_NE(help.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
  for (const char* word : {"free|perfect|poor|average|good", "auto|1|2.25|4|6|9", "model_impedance", "sweep",
                           "apt install nec2c", "Exit status"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  EXPECT_NE(RunTool({"--help"}).out.find("\n  nec "), std::string::npos);

  TempFolder dir;
  const std::vector<std::vector<std::string>> bad = {
      With(CapturedArgs(dir), {"--ground", "mud"}),
      With(CapturedArgs(dir), {"--balun", "3"}),
      With(CapturedArgs(dir), {"--points", "1"}),
      With(CapturedArgs(dir), {"--points", "102"}),
      With(CapturedArgs(dir), {"--height", "0"}),
      With(CapturedArgs(dir), {"--height", "-3"}),
      FedAt(dir, "0"),
      FedAt(dir, "25"),  // beyond the 20.07 m wire: known after the run
      With(CapturedArgs(dir), {"--band", "13"}),  // the run's own options are checked as run checks them
      {"nec", "--band", "7", "--band", "14"},     // no --out
  };
  for (const auto& args : bad) {
    const ToolResult r = RunTool(args);
    const std::string line = args.size() > 3 ? args[args.size() - 2] + " " + args.back() : args.back();
    EXPECT_EQ(r.status, 2) << line;
    ASSERT_EQ(r.errLines().size(), 1u) << line << '\n' << r.err;
    EXPECT_EQ(r.err.rfind("lorvant-calc nec: ", 0), 0u) << r.err;
  }
  EXPECT_TRUE(FileNames(dir).empty());
  // A feed point beyond the wire is refused in the words of the windows.
  EXPECT_EQ(RunTool(FedAt(dir, "25")).err,
            "lorvant-calc nec: --feed: Der Speisepunkt liegt nicht auf dem Draht (0 … 20,07 m). (see lorvant-calc nec "
            "--help)\n");

  // The run's own early ends: status 1 with the run's message, no files.
  const ToolResult oneBand = RunTool({"nec", "--out", dir.path().string(), "--band", "14", "--language", "en"});
  EXPECT_EQ(oneBand.status, 1);
  EXPECT_EQ(oneBand.err, "Please select at least two bands!\n");
  EXPECT_TRUE(FileNames(dir).empty());
}

TEST(NecTool, WithoutNec2cTheDeckIsWrittenAndTheMessageSaysHowToInstall) {
  TempFolder dir;
  TempFolder emptyPath;
  test::WriteBytes(dir.file("NecCheck.txt"), "an earlier check");
  const ToolResult r = RunTool(CapturedArgs(dir), {{"PATH", emptyPath.path().string()}});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "nec2c wurde nicht gefunden. Bitte installieren: apt install nec2c (das NEC-2-Deck liegt in " +
                       dir.str() + "Lorvant.nec)\n");
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(FileNames(dir), std::set<std::string>{"Lorvant.nec"}) << "the earlier report belonged to another deck";
  EXPECT_EQ(ReadBytes(dir.file("Lorvant.nec")), ReadBytes(kCaptured + ".nec"));

  // With --json the object still names the deck and what would be checked.
  const ToolResult json = RunTool(With(CapturedArgs(dir), {"--json", "--language", "en"}), {{"PATH", ""}});
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.err.find("apt install nec2c"), std::string::npos);
  const QJsonObject o = Json(json);
  EXPECT_TRUE(o.value("report").isNull());
  EXPECT_TRUE(o.value("balun").isNull());
  const QJsonArray bands = o.value("bands").toArray();
  ASSERT_EQ(bands.size(), 2);
  EXPECT_EQ(bands[1].toObject().value("frequency").toDouble(), 14.25);
  EXPECT_TRUE(bands[1].toObject().value("r").isNull());
  EXPECT_EQ(o.value("sweep").toArray().size(), 4);
}

TEST(NecTool, FakeEngineOnThePath) {
  TempFolder dir;
  const FakePath answering("/bin/cp '" + kCaptured + ".out' \"$4\"");
  ToolResult r = RunTool(With(CapturedArgs(dir), {"--special-table"}), answering.env());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_EQ(FileNames(dir), (std::set<std::string>{"Lorvant.nec", "NecCheck.txt"}));
  EXPECT_EQ(ReadBytes(dir.file("Lorvant.nec")), ReadBytes(kCaptured + ".nec"));
  // Printed: the report's lines between its title and its closing line.
  const std::vector<std::string> report = test::Lines(report::FromCp1252(ReadBytes(dir.file("NecCheck.txt"))));
  ASSERT_GT(report.size(), 6u);
  std::string body;
  for (std::size_t i = 3; i + 2 < report.size(); ++i) body += report[i] + "\n";
  EXPECT_EQ(r.out, body);

  r = RunTool(With(CapturedArgs(dir), {"--json", "--balun", "2,25", "--ground", "average"}), answering.env());
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject o = Json(r);
  EXPECT_EQ(Keys(o),
            (std::set<QString>{"length", "feed", "height", "ground", "balun", "deck", "report", "bands", "sweep"}));
  EXPECT_NEAR(o.value("length").toDouble(), 20.0704, 1e-4);
  EXPECT_EQ(o.value("feed").toDouble(), 7.06);
  EXPECT_EQ(o.value("height").toDouble(), 10);
  EXPECT_EQ(o.value("ground").toString(), "average");
  EXPECT_EQ(o.value("balun").toDouble(), 2.25);
  EXPECT_EQ(o.value("deck").toString().toStdString(), dir.str() + "Lorvant.nec");
  EXPECT_EQ(o.value("report").toString().toStdString(), dir.str() + "NecCheck.txt");
  const QJsonArray bands = o.value("bands").toArray();
  ASSERT_EQ(bands.size(), 2);
  const QJsonObject b7 = bands[0].toObject();
  EXPECT_EQ(Keys(b7), (std::set<QString>{"band", "frequency", "r", "x", "swr", "model_impedance"}));
  EXPECT_EQ(b7.value("band").toDouble(), 7);
  EXPECT_EQ(b7.value("frequency").toDouble(), 7.1);
  EXPECT_EQ(b7.value("r").toDouble(), 93.46);
  EXPECT_EQ(b7.value("x").toDouble(), -31.383);
  EXPECT_TRUE(b7.value("swr").isDouble());
  EXPECT_TRUE(b7.value("model_impedance").isNull()) << "7.06 m is none of this run's feed points";
  const QJsonArray sweep = o.value("sweep").toArray();
  ASSERT_EQ(sweep.size(), 4);
  EXPECT_EQ(Keys(sweep[3].toObject()), (std::set<QString>{"band", "frequency", "r", "x", "swr"}));
  EXPECT_EQ(sweep[3].toObject().value("band").toDouble(), 14);
  EXPECT_EQ(sweep[3].toObject().value("frequency").toDouble(), 14.35);
  EXPECT_EQ(sweep[3].toObject().value("x").toDouble(), -139.34);

  // An engine that fails: status 1 with its complaint, no report.
  const FakePath failing("echo 'nec2c: floating point exception' >&2\nexit 255");
  r = RunTool(With(CapturedArgs(dir), {"--language", "en"}), failing.env());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "nec2c ended with an error: nec2c: floating point exception (exit status 255)\n");
  EXPECT_EQ(FileNames(dir), std::set<std::string>{"Lorvant.nec"});
}

TEST(NecTool, RealEngineChecksTheRunsFirstFeedPoint) {
  if (nec::FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)";
  TempFolder runDir, dir;
  const std::vector<std::string> design = {
      "--frequency", "7.1", "--halfwaves",         "1", "--band", "7", "--band", "14",
      "--band",      "28",  "--decimal-separator", "."};
  const ToolResult run = RunTool(With({"run", "--out", runDir.path().string(), "--json"}, design));
  ASSERT_EQ(run.status, 0) << run.err;
  const double firstFeed = Json(run).value("candidates").toArray()[0].toObject().value("x").toDouble();

  const ToolResult r = RunTool(With({"nec", "--out", dir.path().string(), "--json", "--ground", "free"}, design));
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject o = Json(r);
  EXPECT_EQ(o.value("feed").toDouble(), firstFeed);
  EXPECT_EQ(o.value("ground").toString(), "free");
  const QJsonArray bands = o.value("bands").toArray();
  ASSERT_EQ(bands.size(), 3);
  for (const auto& b : bands) {
    EXPECT_GT(b.toObject().value("r").toDouble(), 0);
    EXPECT_TRUE(b.toObject().value("model_impedance").isDouble()) << "a proposed feed point has its report row";
  }
  EXPECT_EQ(o.value("sweep").toArray().size(), 15);
  EXPECT_EQ(FileNames(dir), (std::set<std::string>{"Lorvant.nec", "NecCheck.txt"}));
}

}  // namespace
}  // namespace lorvant
