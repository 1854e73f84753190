// lorvant-calc nec as its users call it: options and exit statuses, the
// missing engine, a fake nec2c on PATH with the captured output, and one
// check through the real nec2c where it is installed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <regex>
#include <set>

#include "io/engine_runner.h"
#include "io/staged_files.h"
#include "tests/cli/nec_fixture.h"
#include "tests/cli/tool_process.h"
#include "tests/session/run_support.h"
#include "text/format.h"

namespace lorvant {
namespace {

using test::CapturedCheckArgs;
using test::EarlierPair;
using test::FakePath;
using test::FileNames;
using test::Json;
using test::ReadBytes;
using test::Running;
using test::RunTool;
using test::StartedEngine;
using test::TempFolder;
using test::ToolResult;

// The captured check, its figures shown with a decimal comma.
std::vector<std::string> CapturedArgs(const TempFolder& out) {
  std::vector<std::string> args = CapturedCheckArgs(out);
  args.insert(args.end(), {"--decimal-separator", ","});
  return args;
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

std::set<QString> Keys(const QJsonObject& o) {
  const QStringList keys = o.keys();
  return {keys.begin(), keys.end()};
}

// The captured check's deck and nec2c's output for it.
const std::string kCaptured = std::string(LORVANT_TEST_DATA) + "/nec/ocf_7_14";

TEST(NecTool, OptionsAndExitStatuses) {
  const ToolResult help = RunTool({"nec", "--help"});
  ASSERT_EQ(help.status, 0);
  for (const char* option :
       {"--out",           "--feed",    "--height",     "--start-height",      "--end-height",
        "--apex-height",   "--apex-at", "--plan-angle", "--material",          "--conductivity",
        "--ground",        "--balun",   "--points",     "--engine-timeout",    "--picture",
        "--region",        "--json",    "--band",       "--frequency",         "--calculator-height",
        "--special-table", "--pattern", "--feedline",   "--feedline-diameter", "--choke"})
    EXPECT_NE(help.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
  for (const char* word : {"free|perfect|poor|average|good", "auto|1|2.25|4|6|9", "model_impedance", "sweep", "usable",
                           "resonance", "not usable at this feed point", "apt install nec2c", "Exit status", "gain_dbi",
                           "elevation_deg", "common_mode", "choke_recommendation"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  EXPECT_NE(RunTool({"--help"}).out.find("\n  nec "), std::string::npos);

  TempFolder dir;
  const std::vector<std::vector<std::string>> bad = {
      With(CapturedArgs(dir), {"--ground", "mud"}),
      With(CapturedArgs(dir), {"--choke", "1000"}),
      With(CapturedArgs(dir), {"--feedline", "--choke", "-1"}),
      With(CapturedArgs(dir), {"--feedline", "--feedline-diameter", "0"}),
      With(CapturedArgs(dir), {"--balun", "3"}),
      With(CapturedArgs(dir), {"--points", "1"}),
      With(CapturedArgs(dir), {"--region", "4"}),
      With(CapturedArgs(dir), {"--points", "102"}),
      With(CapturedArgs(dir), {"--height", "0"}),
      With(CapturedArgs(dir), {"--height", "-3"}),
      FedAt(dir, "0"),
      FedAt(dir, "25"),                           // beyond the 20.07 m wire: known after the run
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
  // The hanging and the conductor: refused before the run, the option named.
  const std::vector<std::pair<std::string, std::string>> badHanging = {
      {"--start-height", "0"}, {"--end-height", "-1"},     {"--apex-height", "0"},     {"--apex-at", "0"},
      {"--plan-angle", "0"},   {"--plan-angle", "180,5"},  {"--material", "gold"},     {"--material", "Copper"},
      {"--conductivity", "0"}, {"--conductivity", "-5e7"}, {"--conductivity", "5e7x"}, {"--conductivity", "1e999"}};
  for (const auto& [option, value] : badHanging) {
    const ToolResult r = RunTool(With(CapturedArgs(dir), {option, value}));
    EXPECT_EQ(r.status, 2) << option << ' ' << value;
    EXPECT_EQ(r.err.rfind("lorvant-calc nec: " + option + " '" + value + "': ", 0), 0u) << r.err;
  }
  const ToolResult apexAtAlone = RunTool(With(CapturedArgs(dir), {"--apex-at", "5"}));
  EXPECT_EQ(apexAtAlone.status, 2);
  EXPECT_EQ(apexAtAlone.err.rfind("lorvant-calc nec: --apex-at needs --apex-height", 0), 0u) << apexAtAlone.err;
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
                       dir.str() + "Lorvant.nec)\nDer Bericht " + dir.str() +
                       "NecCheck.txt der vorigen Prüfung wurde mit ihrem Deck entfernt.\n");
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(FileNames(dir), std::set<std::string>{"Lorvant.nec"}) << "the earlier report belonged to another deck";
  EXPECT_EQ(ReadBytes(dir.file("Lorvant.nec")), ReadBytes(kCaptured + ".nec"));

  // With --json the object still names the deck and what would be checked.
  const ToolResult json = RunTool(With(CapturedArgs(dir), {"--json", "--language", "en"}), {{"PATH", ""}});
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.err.find("apt install nec2c"), std::string::npos);
  EXPECT_EQ(json.err.find("earlier check"), std::string::npos) << "there was no report to remove";
  const QJsonObject o = Json(json);
  EXPECT_TRUE(o.value("report").isNull());
  EXPECT_TRUE(o.value("balun").isNull());
  const QJsonArray bands = o.value("bands").toArray();
  ASSERT_EQ(bands.size(), 2);
  EXPECT_EQ(bands[1].toObject().value("frequency").toDouble(), 14.25);
  EXPECT_TRUE(bands[1].toObject().value("r").isNull());
  EXPECT_TRUE(bands[1].toObject().value("usable").isNull());
  EXPECT_EQ(o.value("sweep").toArray().size(), 4);
  EXPECT_TRUE(o.value("resonance").isNull());
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
  EXPECT_EQ(Keys(o), (std::set<QString>{"length", "feed", "height", "start_height", "end_height", "apex", "plan_angle",
                                        "material", "conductivity", "ground", "region", "balun", "deck", "report",
                                        "bands", "sweep", "resonance", "choke_recommendation"}));
  EXPECT_TRUE(o.value("choke_recommendation").isNull()) << "no feed line asked for";
  EXPECT_EQ(o.value("region").toInt(), 1);
  EXPECT_NEAR(o.value("length").toDouble(), 20.0704, 1e-4);
  EXPECT_EQ(o.value("feed").toDouble(), 7.06);
  EXPECT_EQ(o.value("height").toDouble(), 10);
  EXPECT_EQ(o.value("end_height").toDouble(), 10);
  EXPECT_TRUE(o.value("apex").isNull());
  EXPECT_EQ(o.value("plan_angle").toDouble(), 180);
  EXPECT_EQ(o.value("material").toString(), "copper");
  EXPECT_EQ(o.value("conductivity").toDouble(), 5.8e7);
  EXPECT_EQ(o.value("ground").toString(), "average");
  EXPECT_EQ(o.value("balun").toDouble(), 2.25);
  EXPECT_EQ(o.value("deck").toString().toStdString(), dir.str() + "Lorvant.nec");
  EXPECT_EQ(o.value("report").toString().toStdString(), dir.str() + "NecCheck.txt");
  const QJsonArray bands = o.value("bands").toArray();
  ASSERT_EQ(bands.size(), 2);
  const QJsonObject b7 = bands[0].toObject();
  EXPECT_EQ(Keys(b7), (std::set<QString>{"band", "frequency", "r", "x", "swr", "usable", "loss", "model_impedance",
                                         "pattern", "common_mode"}));
  EXPECT_TRUE(b7.value("pattern").isNull());
  EXPECT_TRUE(b7.value("common_mode").isNull());
  // The captured output's power budget: 9.8927E-05 of 4.7957E-03 W.
  EXPECT_NEAR(b7.value("loss").toDouble(), 9.8927e-05 / 4.7957e-03, 1e-12);
  EXPECT_EQ(b7.value("usable").toBool(false), true);
  EXPECT_EQ(b7.value("band").toDouble(), 7);
  EXPECT_EQ(b7.value("frequency").toDouble(), 7.1);
  EXPECT_EQ(b7.value("r").toDouble(), 94.877);
  EXPECT_EQ(b7.value("x").toDouble(), -29.836);
  EXPECT_TRUE(b7.value("swr").isDouble());
  EXPECT_TRUE(b7.value("model_impedance").isNull()) << "7.06 m is none of this run's feed points";
  const QJsonArray sweep = o.value("sweep").toArray();
  ASSERT_EQ(sweep.size(), 4);
  EXPECT_EQ(Keys(sweep[3].toObject()), (std::set<QString>{"band", "frequency", "r", "x", "swr"}));
  EXPECT_EQ(sweep[3].toObject().value("band").toDouble(), 14);
  EXPECT_EQ(sweep[3].toObject().value("frequency").toDouble(), 14.35);
  EXPECT_EQ(sweep[3].toObject().value("x").toDouble(), -133.65);
  // The search's frequencies are in neither list.
  const QJsonObject resonance = o.value("resonance").toObject();
  EXPECT_EQ(Keys(resonance), (std::set<QString>{"band", "frequency", "vk"}));
  EXPECT_EQ(resonance.value("band").toDouble(), 7);
}

TEST(NecTool, TheHangingAndTheConductorAreTakenAsGiven) {
  TempFolder dir;
  // The engine fails at once: the object printed still says what was asked
  // for (the captured output would not fit these wires' segments).
  const FakePath answering("echo 'nec2c: stopped' >&2\nexit 1");
  // A sloper from 9 to 12 m over a support 14 m high 10 m along the wire,
  // bent to 120 degrees in plan, of aluminium.
  ToolResult r =
      RunTool(With(CapturedArgs(dir), {"--json", "--height", "9", "--end-height", "12", "--apex-height", "14",
                                       "--apex-at", "10", "--plan-angle", "120", "--material", "aluminium"}),
              answering.env());
  ASSERT_EQ(r.status, 1) << r.err;
  QJsonObject o = Json(r);
  EXPECT_EQ(o.value("height").toDouble(), 9) << "the start's height, for scripts that read it";
  EXPECT_EQ(o.value("start_height").toDouble(), 9);
  EXPECT_EQ(o.value("end_height").toDouble(), 12);
  const QJsonObject apex = o.value("apex").toObject();
  EXPECT_EQ(Keys(apex), (std::set<QString>{"height", "at"}));
  EXPECT_EQ(apex.value("height").toDouble(), 14);
  EXPECT_EQ(apex.value("at").toDouble(), 10);
  EXPECT_EQ(o.value("plan_angle").toDouble(), 120);
  EXPECT_EQ(o.value("material").toString(), "aluminium");
  EXPECT_EQ(o.value("conductivity").toDouble(), 3.5e7);

  // The start apart from --height; the apex at the feed point; a lossless
  // wire has no conductivity unless one is given.
  r = RunTool(
      With(CapturedArgs(dir), {"--json", "--start-height", "8,5", "--apex-height", "13", "--material", "lossless"}),
      answering.env());
  ASSERT_EQ(r.status, 1) << r.err;
  o = Json(r);
  EXPECT_EQ(o.value("start_height").toDouble(), 8.5);
  EXPECT_EQ(o.value("end_height").toDouble(), 10);
  EXPECT_EQ(o.value("apex").toObject().value("at").toDouble(), 7.06);
  EXPECT_TRUE(o.value("conductivity").isNull());
  r = RunTool(With(CapturedArgs(dir), {"--json", "--material", "lossless", "--conductivity", "1,5e7"}),
              answering.env());
  ASSERT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(Json(r).value("conductivity").toDouble(), 1.5e7);
}

// ---- the earlier pair, a supervised engine ---------------------------------

TEST(NecTool, AStoppedOrFailedCheckLeavesTheEarlierPairByteForByte) {
  // The engine fails, answers what is no impedance, or the report cannot
  // be put in place (a folder holds its name).
  const FakePath failing("echo 'nec2c: floating point exception' >&2\nexit 255");
  {
    const EarlierPair pair;
    const ToolResult r = RunTool(pair.args(), pair.env(failing));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "nec2c ended with an error: nec2c: floating point exception (exit status 255)\n");
    EXPECT_TRUE(pair.kept());
  }
  for (const char* bad : {"NAN", "INF", "1.0000E+308", "-9.4860E+01", "0.0000E+00"}) {
    SCOPED_TRACE(bad);
    const FakePath unusable("/bin/sed 's/9.4877E+01 -2.9836E+01/" + std::string(bad) + " -2.9836E+01/' '" + kCaptured +
                            ".out' > \"$4\"");
    const EarlierPair pair;
    ToolResult r = RunTool(pair.args(), pair.env(unusable));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "the engine returned no usable impedance at 7,1 MHz\n");
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(pair.kept());
    r = RunTool(With(CapturedArgs(pair.dir), {"--language", "de"}), pair.env(unusable));
    EXPECT_EQ(r.err, "das Rechenprogramm hat bei 7,1 MHz keine brauchbare Impedanz geliefert\n");
  }
  {
    const FakePath answering("/bin/cp '" + kCaptured + ".out' \"$4\"");
    TempFolder dir;
    test::WriteBytes(dir.file("Lorvant.nec"), "earlier deck\r\n");
    std::filesystem::create_directory(dir.file("NecCheck.txt"));
    const ToolResult r = RunTool(With(CapturedArgs(dir), {"--language", "en"}), answering.env());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("NecCheck.txt"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(dir.file("Lorvant.nec")), "earlier deck\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("NecCheck.txt")));
  }
}

TEST(NecTool, ASecondCheckIntoTheSameFolderEndsAtOnce) {
  const FakePath answering("/bin/cp '" + kCaptured + ".out' \"$4\"");
  const EarlierPair pair;
  files::FolderLock other;
  ASSERT_TRUE(other.tryLock(pair.dir.str()));
  ToolResult r = RunTool(pair.args(), pair.env(answering));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Another calculation is writing into the folder " + pair.dir.str() + " right now.\n");
  EXPECT_TRUE(pair.kept());
  other.unlock();
  r = RunTool(pair.args(), pair.env(answering));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(pair.dir.file("Lorvant.nec")), ReadBytes(kCaptured + ".nec"));
}

TEST(NecTool, TheEngineEndsWithTheToolAndItsFolderWithTheNextCheck) {
  const TempFolder marks;
  const std::string pidFile = marks.file("engine.pid").string();
  const FakePath hanging("echo $$ > '" + pidFile + "'\nexec /bin/sleep 60");
  const FakePath answering("/bin/cp '" + kCaptured + ".out' \"$4\"");
  for (int signal : {SIGTERM, SIGHUP, SIGINT, SIGKILL}) {
    SCOPED_TRACE(signal);
    const EarlierPair pair;
    std::filesystem::remove(pidFile);
    test::ToolProcess tool(pair.args(), pair.env(hanging));
    const pid_t engine = StartedEngine(pidFile);
    ASSERT_GT(engine, 0);
    const auto start = std::chrono::steady_clock::now();
    ::kill(tool.pid(), signal);
    const ToolResult r = tool.wait();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    if (signal == SIGKILL) {
      EXPECT_EQ(r.signal, SIGKILL);
    } else {
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err, "NEC-2 check stopped (signal)\n");
    }
    for (int i = 0; i < 200 && Running(engine); ++i) ::usleep(10'000);
    EXPECT_FALSE(Running(engine)) << "the engine outlived the tool";
    EXPECT_TRUE(pair.kept());
    if (signal == SIGKILL) {
      EXPECT_FALSE(std::filesystem::is_empty(pair.tmp.path())) << "a killed tool leaves its private folder";
      EXPECT_EQ(RunTool(pair.args(), pair.env(answering)).status, 0);
    }
    EXPECT_TRUE(std::filesystem::is_empty(pair.tmp.path()));
  }
}

TEST(NecTool, AnEngineThatSolvesNothingIsStoppedByTheWatchdog) {
  const FakePath hanging("exec /bin/sleep 60");
  const EarlierPair pair;
  const auto start = std::chrono::steady_clock::now();
  ToolResult r = RunTool(pair.args({"--engine-timeout", "1"}), pair.env(hanging));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "nec2c solved no new frequency for 1 s and was stopped.\n");
  EXPECT_TRUE(pair.kept());
  r = RunTool(With(CapturedArgs(pair.dir), {"--engine-timeout", "2"}), pair.env(hanging));
  EXPECT_EQ(r.err, "nec2c hat 2 s lang keine neue Frequenz gelöst und wurde angehalten.\n");
  for (const char* bad : {"0", "86401", "x"}) EXPECT_EQ(RunTool(pair.args({"--engine-timeout", bad})).status, 2);
}

TEST(NecTool, TheEnginesOutputIsBoundedAndItsMessagesClean) {
  // A 50 MB complaint with escape sequences and binary.
  const FakePath noisy(
      "/usr/bin/head -c 50000000 /dev/zero | /usr/bin/tr '\\0' 'x' >&2\necho >&2\n"
      "printf '\\033[31mred\\033[0m\\001\\377 end\\n' >&2\nexit 3");
  const EarlierPair pair;
  ToolResult r = RunTool(pair.args(), pair.env(noisy));
  EXPECT_EQ(r.status, 1);
  ASSERT_EQ(r.errLines().size(), 1u);
  EXPECT_EQ(r.err, "nec2c ended with an error: red end (exit status 3)\n");
  const FakePath longLine("/usr/bin/head -c 5000 /dev/zero | /usr/bin/tr '\\0' 'y' >&2\nexit 3");
  r = RunTool(pair.args(), pair.env(longLine));
  EXPECT_EQ(r.err, "nec2c ended with an error: " + std::string(300, 'y') + "... (exit status 3)\n");

  // An output beyond its bound stops the engine.
  const FakePath flooding("/usr/bin/head -c 100000000 /dev/zero > \"$4\"\nexec /bin/sleep 60");
  const auto start = std::chrono::steady_clock::now();
  r = RunTool(pair.args(), pair.env(flooding));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "nec2c ended with an error: more than 32 MB of output\n");
  EXPECT_TRUE(pair.kept());
}

TEST(NecTool, AnEngineThatCannotStartIsNotCalledMissing) {
  const EarlierPair pair;
  const FakePath scripted("");
  test::WriteBytes(scripted.folder.file("nec2c"), "#!/nonexistent\n");
  const ToolResult r = RunTool(pair.args(), pair.env(scripted));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "nec2c could not be started (" + scripted.folder.file("nec2c").string() +
                       "): its interpreter /nonexistent is missing\n");
  EXPECT_TRUE(pair.kept()) << "a check that failed writes no deck";
}

TEST(NecTool, ATemporaryFolderThatCannotBeMadeIsNamedWithItsReason) {
  if (::system("strace -V > /dev/null 2>&1") != 0) GTEST_SKIP() << "strace is missing: no failing mkdir to inject";
  const EarlierPair pair;
  TempFolder temporary, log;
  const std::string messages = log.file("stderr.txt").string();
  // The first folder the check makes is its private one in TMPDIR; the
  // sanitizers' leak check cannot run under strace.
  std::string command = "TMPDIR='" + temporary.str() +
                        "' ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -e trace=mkdir "
                        "-e inject=mkdir:error=ENOSPC:when=1 " +
                        std::string(LORVANT_CALC_TOOL);
  for (const std::string& a : pair.args()) command += " '" + a + "'";
  command += " > /dev/null 2> '" + messages + "'";
  const int rc = ::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 1) << rc;
  EXPECT_EQ(ReadBytes(messages), "Error: no temporary folder in " + temporary.str() + ": Disk full\n");
  EXPECT_TRUE(pair.kept());
}

TEST(NecTool, ThePictureIsWrittenWithTheDeckAndTheReport) {
  const FakePath answering("/bin/cp '" + kCaptured + ".out' \"$4\"");
  TempFolder dir;
  const std::string picture = dir.file("swr.svg").string();
  ToolResult r = RunTool(With(CapturedArgs(dir), {"--picture", picture}), answering.env());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FileNames(dir), (std::set<std::string>{"Lorvant.nec", "NecCheck.txt", "swr.svg"}));
  const std::string svg = ReadBytes(picture);
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find(">SWV auf 50 Ohm"), std::string::npos) << "the picture speaks the check's language";

  // A failed check writes no picture either.
  const FakePath failing("exit 4");
  std::filesystem::remove(picture);
  EXPECT_EQ(RunTool(With(CapturedArgs(dir), {"--picture", picture}), failing.env()).status, 1);
  EXPECT_FALSE(std::filesystem::exists(picture));
  r = RunTool(With(CapturedArgs(dir), {"--picture", dir.file("swr.bmp").string()}));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(".svg or .png"), std::string::npos) << r.err;
}

std::uint32_t Big32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(s.at(at + i));
  return v;
}

std::uint32_t Crc32(const std::string& s, std::size_t from, std::size_t count) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < from + count; ++i) {
    crc ^= static_cast<unsigned char>(s[i]);
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

// The PNG's pixels are the window's (its test decodes them); here the file
// itself: the signature, the picture's size, every chunk whole.
TEST(NecTool, ThePictureIsWrittenAsPngByItsName) {
  const FakePath answering("/bin/cp '" + kCaptured + ".out' \"$4\"");
  TempFolder dir;
  const std::string picture = dir.file("swr.PNG").string();
  const ToolResult r = RunTool(With(CapturedArgs(dir), {"--picture", picture}), answering.env());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FileNames(dir), (std::set<std::string>{"Lorvant.nec", "NecCheck.txt", "swr.PNG"}));
  const std::string png = ReadBytes(picture);
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  // The two checked bands side by side, 272 pixels each, under a heading of 30.
  EXPECT_EQ(Big32(png, 16), 2u * 272);
  EXPECT_EQ(Big32(png, 20), 30u + 200);
  EXPECT_EQ(png.substr(24, 2), std::string("\x08\x02", 2)) << "8-bit RGB";
  std::vector<std::string> types;
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::uint32_t length = Big32(png, at);
    ASSERT_LE(at + 12 + length, png.size());
    types.push_back(png.substr(at + 4, 4));
    EXPECT_EQ(Big32(png, at + 8 + length), Crc32(png, at + 4, 4 + length)) << types.back();
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  ASSERT_FALSE(types.empty());
  EXPECT_EQ(types.back(), "IEND");
  EXPECT_NE(std::find(types.begin(), types.end(), "IDAT"), types.end());
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

  const ToolResult r =
      RunTool(With({"nec", "--out", dir.path().string(), "--json", "--ground", "free", "--region", "2"}, design));
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
  const QJsonArray sweep = o.value("sweep").toArray();
  ASSERT_EQ(sweep.size(), 15);
  EXPECT_EQ(o.value("region").toInt(), 2);
  EXPECT_EQ(sweep[4].toObject().value("frequency").toDouble(), 7.3) << "Region 2's upper edge of 40 m";
  EXPECT_TRUE(o.value("resonance").isObject()) << "a bare wire resonates near 7.1 MHz";
  EXPECT_EQ(FileNames(dir), (std::set<std::string>{"Lorvant.nec", "NecCheck.txt"}));
}

// --pattern with --picture: each band's two polar pictures beside the SWR
// picture, in its type, committed with it; their labels in the reader's
// comma, their geometry in the point.
TEST(NecTool, RealEnginePolarPicturesAreWrittenBesideThePicture) {
  if (nec::FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)";
  TempFolder dir;
  ToolResult r = RunTool(With(CapturedArgs(dir), {"--pattern", "--picture", dir.file("air.svg").string()}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FileNames(dir),
            (std::set<std::string>{"Lorvant.nec", "NecCheck.txt", "air.svg", "air-7MHz-elevation.svg",
                                   "air-7MHz-azimuth.svg", "air-14MHz-elevation.svg", "air-14MHz-azimuth.svg"}));
  const std::string svg = ReadBytes(dir.file("air-14MHz-elevation.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find(">Vertikalschnitt in Azimut "), std::string::npos);
  EXPECT_TRUE(std::regex_search(svg, std::regex(">-?\\d+,\\d</text>"))) << "the rings' gains, with the comma";
  const std::regex number(R"re( (x|y|x1|y1|x2|y2|cx|cy|r)="([^"]*)")re");
  for (auto it = std::sregex_iterator(svg.begin(), svg.end(), number); it != std::sregex_iterator(); ++it)
    EXPECT_TRUE(std::regex_match((*it)[2].str(), std::regex("-?\\d+(\\.\\d+)?"))) << (*it)[0];

  TempFolder png;
  r = RunTool(With(CapturedArgs(png), {"--pattern", "--picture", png.file("air.png").string()}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FileNames(png).size(), 7u);
  EXPECT_EQ(ReadBytes(png.file("air-7MHz-azimuth.png")).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

// --pattern and --feedline through the real engine: the JSON's members
// and NecCheck.txt's part on them in both languages.
TEST(NecTool, RealEnginePatternsAndTheFeedLinesCommonModeCurrent) {
  if (nec::FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)";
  TempFolder dir;
  const std::vector<std::string> args = {"nec",         "--out",       dir.path().string(),
                                         "--json",      "--frequency", "7.1",
                                         "--halfwaves", "2",           "--band",
                                         "7",           "--band",      "14",
                                         "--feed",      "9",           "--points",
                                         "0",           "--pattern",   "--feedline",
                                         "--choke",     "1000"};
  ToolResult r = RunTool(With(args, {"--decimal-separator", ".", "--language", "en"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject o = Json(r);
  const QJsonValue recommended = o.value("choke_recommendation");
  EXPECT_TRUE(recommended.isNull() || recommended.toDouble() >= 500) << "one of the steps, or none";
  const QJsonArray bands = o.value("bands").toArray();
  ASSERT_EQ(bands.size(), 2);
  for (const auto& b : bands) {
    const QJsonObject band = b.toObject();
    const QJsonObject pattern = band.value("pattern").toObject();
    EXPECT_EQ(Keys(pattern), (std::set<QString>{"gain_dbi", "elevation_deg", "azimuth_deg", "gain_at", "efficiency"}));
    EXPECT_EQ(Keys(pattern.value("gain_at").toObject()), (std::set<QString>{"10", "20", "30"}));
    const double elevation = pattern.value("elevation_deg").toDouble();
    EXPECT_TRUE(elevation >= 0 && elevation <= 90) << elevation;
    EXPECT_GE(pattern.value("gain_dbi").toDouble(), pattern.value("gain_at").toObject().value("10").toDouble());
    const double efficiency = pattern.value("efficiency").toDouble();
    EXPECT_TRUE(efficiency > 0.1 && efficiency < 1) << efficiency;
    const double share = band.value("common_mode").toDouble();
    EXPECT_TRUE(share > 0 && share < 2) << share;
  }
  const std::string deck = ReadBytes(dir.file("Lorvant.nec"));
  EXPECT_NE(deck.find("\nRP 0 46 72 1001 0 0 2 5\n"), std::string::npos);
  EXPECT_NE(deck.find(" 1000 0 0\n"), std::string::npos) << "the choke's LD 0";
  const std::string english = ReadBytes(dir.file("NecCheck.txt"));
  EXPECT_NE(english.find("Radiation at each band's own frequency"), std::string::npos);
  EXPECT_NE(english.find("Common-mode current on the shield (share of the feed current): 7 MHz "), std::string::npos);
  EXPECT_NE(english.find("; choke 1000 Ohm."), std::string::npos);

  r = RunTool(With(args, {"--decimal-separator", ",", "--language", "de"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string german = ReadBytes(dir.file("NecCheck.txt"));
  EXPECT_NE(german.find("Mantelstrom auf dem Schirm"), std::string::npos);
  // The table's efficiency with the locale's comma: "  12,3" at a row's end.
  const auto row = german.find("\r\n7 MHz");
  ASSERT_NE(row, std::string::npos);
  const std::string line = german.substr(row + 2, german.find("\r\n", row + 2) - row - 2);
  EXPECT_EQ(line[line.size() - 2], ',') << line;
}

}  // namespace
}  // namespace lorvant
