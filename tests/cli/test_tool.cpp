// lorvant-calc as its users call it: exit statuses, messages, the JSON
// object, the files written, and the same reports as the run in-process.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <cstdint>
#include <regex>
#include <set>
#include <thread>

#include "engine/version.h"
#include "session/run.h"
#include "tests/cli/tool_process.h"
#include "tests/session/run_support.h"
#include "tests/support/Boxes.h"

namespace lorvant {
namespace {

using test::ReadBytes;
using test::RunTool;
using test::TempFolder;
using test::ToolResult;

// The form's defaults with 3.5, 7, 14, 21 and 28 MHz ticked.
std::vector<std::string> TypicalArgs(const TempFolder& dir) {
  return {
      "run", "--out",  dir.path().string(),    "--band", "3.5", "--band", "7", "--band", "14", "--band", "21", "--band",
      "28",  "--date", test::worked::kDateText};
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

QJsonObject Json(const ToolResult& r) {
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out;
  EXPECT_TRUE(doc.isObject());
  return doc.object();
}

// Names in the folder, temporaries included; the runs' lock file, which
// stays, is left out.
std::set<std::string> FileNames(const TempFolder& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().filename() != ".lorvant.lock") names.insert(e.path().filename().string());
  return names;
}

// Whether a temporary file of `name` is being written in the folder.
bool Staging(const TempFolder& dir, const std::string& name) {
  for (const std::string& n : FileNames(dir))
    if (n.rfind("." + name + ".lorvant-", 0) == 0) return true;
  return false;
}

// Width and height from a Windows bitmap's header.
std::pair<std::int32_t, std::int32_t> BitmapSize(const std::string& bytes) {
  auto le32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(v);
  };
  if (bytes.size() < 26 || bytes.compare(0, 2, "BM") != 0) return {0, 0};
  return {le32(18), le32(22)};
}

// ---- the frame ---------------------------------------------------------------

TEST(ToolFrame, CommandsHelpAndExitStatuses) {
  ToolResult r = RunTool({});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Usage: lorvant-calc <command>"), std::string::npos);

  r = RunTool({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\n  run "), std::string::npos);

  r = RunTool({"bogus"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.errLines().size(), 1u);

  r = RunTool({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("lorvant-calc ") + kVersionText + "\n");

  const ToolResult help = RunTool({"run", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(RunTool({"help", "run"}).out, help.out);
}

TEST(ToolFrame, RunHelpDocumentsEveryOption) {
  const ToolResult r = RunTool({"run", "--help"});
  ASSERT_EQ(r.status, 0);
  for (const char* option : {"--out",
                             "--frequency",
                             "--halfwaves",
                             "--wire-length",
                             "--vk",
                             "--tolerance",
                             "--outer-diameter",
                             "--min-sum",
                             "--dielectric",
                             "--conductor",
                             "--band",
                             "--grey-band",
                             "--segment",
                             "--length-mode",
                             "--equal-impedances",
                             "--windom",
                             "--special-table",
                             "--language",
                             "--decimal-separator",
                             "--extra-band",
                             "--segment-answer",
                             "--dielectric-answer",
                             "--calculator-height",
                             "--calculator-diameter",
                             "--ground-correction",
                             "--date",
                             "--json",
                             "--design",
                             "--save-design",
                             "--help"})
    EXPECT_NE(r.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
  // The values of the choices and the JSON keys are named as well.
  for (const char* word : {"cw|ssb|centre", "preferred|highest-lowest|all", "de|en", "yes|no|cancel", "length",
                           "insulation", "preferred_frequency", "half_waves", "bands", "extra_band", "info", "status",
                           "candidates", "files", "outcome", "1.8 3.5 5.3 7 10 14 18 21 24 28 50", "Exit status"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  // The old names of the two fields are still printed, and said to go.
  EXPECT_NE(r.out.find("text1 and text2"), std::string::npos);
  EXPECT_NE(r.out.find("deprecated"), std::string::npos);
}

TEST(ToolFrame, BadCommandLinesGiveOneLineAndStatusTwo) {
  TempFolder dir;
  const std::vector<std::vector<std::string>> bad = {
      With(TypicalArgs(dir), {"--bogus"}),
      With(TypicalArgs(dir), {"--band", "13"}),
      With(TypicalArgs(dir), {"--grey-band", "14"}),  // 14 is ticked already
      With(TypicalArgs(dir), {"--segment", "fm"}),
      With(TypicalArgs(dir), {"--length-mode", "longest"}),
      With(TypicalArgs(dir), {"--frequency", "14.2MHz"}),
      With(TypicalArgs(dir), {"--halfwaves", "12345"}),
      With(TypicalArgs(dir), {"--wire-length", "-41"}),
      With(TypicalArgs(dir), {"--vk", "1,2"}),
      With(TypicalArgs(dir), {"--tolerance", "100"}),
      With(TypicalArgs(dir), {"--min-sum", "0"}),
      With(TypicalArgs(dir), {"--dielectric", "Luft"}),
      With(TypicalArgs(dir), {"--extra-band", "maybe"}),
      With(TypicalArgs(dir), {"--segment-answer", "ok"}),
      With(TypicalArgs(dir), {"--dielectric-answer", "cancel"}),
      With(TypicalArgs(dir), {"--language", "fr"}),
      With(TypicalArgs(dir), {"--decimal-separator", "'"}),
      With(TypicalArgs(dir), {"--calculator-height", "0,001"}),
      With(TypicalArgs(dir), {"--ground-correction"}),
      With(TypicalArgs(dir), {"--json=yes"}),
      With(TypicalArgs(dir), {"--frequency", "7", "--frequency", "14"}),
      With(TypicalArgs(dir), {"--date"}),
      {"run", "--band", "14", "--band", "7"},  // no --out
      {"run", "--out", ""},
  };
  for (const auto& args : bad) {
    const ToolResult r = RunTool(args);
    std::string line;
    for (std::size_t i = 3; i < args.size(); ++i) line += args[i] + ' ';
    EXPECT_EQ(r.status, 2) << line;
    ASSERT_EQ(r.errLines().size(), 1u) << line << '\n' << r.err;
    EXPECT_EQ(r.err.rfind("lorvant-calc run: ", 0), 0u) << r.err;
    EXPECT_TRUE(r.out.empty()) << line;
  }
  EXPECT_TRUE(FileNames(dir).empty());
}

// ---- runs --------------------------------------------------------------------

TEST(ToolRun, CompletedRunJsonAndFiles) {
  TempFolder dir;
  const ToolResult r = RunTool(With(TypicalArgs(dir), {"--json", "--decimal-separator", ","}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  const QJsonObject o = Json(r);
  // The keys in the order printed: text1 and text2 stay where they were
  // (deprecated), their named twins come last so that no key moves.
  const std::vector<std::string> order = {"length",     "insulation", "text1",   "text2",
                                          "bands",      "extra_band", "info",    "status",
                                          "candidates", "files",      "outcome", "preferred_frequency",
                                          "half_waves"};
  std::size_t previous = 0;
  for (const std::string& key : order) {
    const std::size_t at = r.out.find("\"" + key + "\":");
    ASSERT_NE(at, std::string::npos) << key;
    EXPECT_GT(at, previous) << key;
    previous = at;
  }
  EXPECT_EQ(o.keys().size(), static_cast<qsizetype>(order.size()));  // candidates' x and sum are nested
  // The numbers themselves are the run's (see SameAsInProcess below); here
  // the object's shape and the form's texts.
  EXPECT_EQ(o.value("outcome").toString(), "completed");
  EXPECT_EQ(o.value("preferred_frequency").toString(), "14,2");
  EXPECT_EQ(o.value("half_waves").toString(), "4");
  EXPECT_EQ(o.value("text1"), o.value("preferred_frequency"));
  EXPECT_EQ(o.value("text2"), o.value("half_waves"));
  EXPECT_EQ(o.value("bands").toArray(), QJsonArray({0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}));
  EXPECT_TRUE(o.value("extra_band").isNull());
  EXPECT_EQ(o.value("status").toString(), "Status: Bereit zum Anzeigen der Berechnungsergebnisse");
  const QJsonArray candidates = o.value("candidates").toArray();
  ASSERT_FALSE(candidates.isEmpty());
  for (const auto& c : candidates) EXPECT_EQ(c.toObject().keys(), QStringList({"sum", "x"}));
  EXPECT_EQ(o.value("files").toArray(), QJsonArray({"AntStrSu.txt", "AntKurve.BMP"}));
  EXPECT_EQ(FileNames(dir), (std::set<std::string>{"AntStrSu.txt", "AntKurve.BMP"}));
  EXPECT_EQ(BitmapSize(ReadBytes(dir.file("AntKurve.BMP"))), std::make_pair(804, 209));

  // The half-waves as the run used them, here found from the wire limit.
  const ToolResult limited = RunTool(
      {"run", "--out", dir.str(), "--band", "7", "--band", "14", "--wire-length", "41", "--halfwaves", "", "--json"});
  ASSERT_EQ(limited.status, 0) << limited.err;
  EXPECT_EQ(Json(limited).value("half_waves").toString(), "3");
  EXPECT_EQ(Json(limited).value("text2").toString(), "3");

  // The same run without --json prints the notes, with LF ends, and the
  // status line.
  const ToolResult plain = RunTool(With(TypicalArgs(dir), {"--decimal-separator", ","}));
  EXPECT_EQ(plain.status, 0);
  std::string notes = o.value("info").toString().toStdString();
  for (std::size_t at; (at = notes.find("\r\n")) != std::string::npos;) notes.erase(at, 1);
  EXPECT_EQ(plain.out.rfind(notes + "\n", 0), 0u) << plain.out;
  EXPECT_EQ(plain.out.find('\r'), std::string::npos);
  EXPECT_NE(plain.out.find("\nStatus: Bereit zum Anzeigen der Berechnungsergebnisse\n"), std::string::npos);
}

TEST(ToolRun, SpecialTableAndTheOutFolderIsMade) {
  TempFolder dir;
  const std::filesystem::path nested = dir.path() / "a" / "b";
  std::vector<std::string> args = TypicalArgs(dir);
  args[2] = nested.string() + "/";
  const ToolResult r = RunTool(With(args, {"--special-table", "--json", "--language", "en"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Json(r).value("files").toArray(), QJsonArray({"AntStrSu.txt", "AntSpezi.txt", "AntKurve.BMP"}));
  for (const char* name : {"AntStrSu.txt", "AntSpezi.txt", "AntKurve.BMP"})
    EXPECT_TRUE(std::filesystem::is_regular_file(nested / name)) << name;
  EXPECT_EQ(Json(r).value("status").toString(), "Status: Ready to display the calculations results");

  // A file where the folder should be is a bad --out.
  const ToolResult blocked = RunTool(With(TypicalArgs(dir), {"--out", (nested / "AntStrSu.txt").string()}));
  EXPECT_EQ(blocked.status, 2);
}

TEST(ToolRun, RunsWithoutAResultEndWithStatusOne) {
  TempFolder dir;
  // One band: the run asks for two; the object is printed all the same.
  ToolResult r = RunTool({"run", "--out", dir.path().string(), "--band", "14", "--json", "--decimal-separator", "."});
  EXPECT_EQ(r.status, 1);
  QJsonObject o = Json(r);
  EXPECT_EQ(o.value("outcome").toString(), "too-few-bands");
  EXPECT_EQ(o.value("info").toString(), " Bitte mindestens zwei Bänder auswählen!");
  EXPECT_EQ(o.value("files").toArray(), QJsonArray());
  EXPECT_EQ(o.value("text1").toString(), "14.2");  // the field as it stood
  EXPECT_EQ(r.err, "Bitte mindestens zwei Bänder auswählen!\n");

  r = RunTool(
      {"run", "--out", dir.path().string(), "--band", "14", "--band", "7", "--halfwaves", "0", "--language", "en"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Please enter at least one half-wave!\n");
  EXPECT_TRUE(r.out.empty());

  // Insulated wire whose conductor is not thinner than the insulation.
  r = RunTool(With(TypicalArgs(dir), {"--dielectric", "2,5", "--conductor", "2", "--outer-diameter", "2", "--json"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Json(r).value("outcome").toString(), "diameter-too-small");

  // The answers of the questions.
  r = RunTool(
      With(TypicalArgs(dir), {"--dielectric", "25", "--outer-diameter", "3", "--dielectric-answer", "no", "--json"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Json(r).value("outcome").toString(), "dielectric-rejected");
  r = RunTool(With(TypicalArgs(dir), {"--dielectric", "25", "--outer-diameter", "3", "--json"}));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_GT(Json(r).value("insulation").toDouble(), 0.0);

  // 14.025 MHz lies in the CW segment while the band centre is chosen.
  r = RunTool(With(TypicalArgs(dir), {"--frequency", "14,025", "--segment-answer", "cancel", "--json"}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Json(r).value("outcome").toString(), "segment-cancelled");
  EXPECT_EQ(r.errLines().size(), 1u);
  r = RunTool(With(TypicalArgs(dir), {"--frequency", "14,025", "--json"}));
  EXPECT_EQ(r.status, 0) << r.err;

  EXPECT_TRUE(std::filesystem::exists(dir.file("AntStrSu.txt")));
}

TEST(ToolRun, AdditionalBandOnlyWhenAnsweredYes) {
  TempFolder dir;
  const std::vector<std::string> args = {"run", "--out", dir.path().string(), "--band", "14", "--frequency",
                                         "12",  "--json"};
  ToolResult r = RunTool(args);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Json(r).value("outcome").toString(), "too-few-bands");
  EXPECT_TRUE(Json(r).value("extra_band").isNull());

  r = RunTool(With(args, {"--extra-band", "yes"}));
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject o = Json(r);
  EXPECT_EQ(o.value("extra_band").toDouble(), 12.0);
  EXPECT_EQ(o.value("outcome").toString(), "completed");
}

TEST(ToolRun, ZeroLengthGoesThroughTheErrorHandlerToAbort) {
  TempFolder dir;
  test::WriteBytes(dir.file("AntStrSu.txt"), "earlier report");
  // No pair of highest and lowest band meets this tolerance: the length is
  // 0 and the picture's scale would divide by zero.
  const ToolResult r = RunTool(With(
      TypicalArgs(dir), {"--length-mode", "highest-lowest", "--tolerance", "0,0000001", "--special-table", "--json"}));
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, 1);
  const QJsonObject o = Json(r);
  EXPECT_EQ(o.value("outcome").toString(), "aborted");
  EXPECT_EQ(o.value("length").toDouble(), 0.0);
  EXPECT_EQ(o.value("files").toArray(), QJsonArray());
  EXPECT_EQ(r.err, "Fehler: Division durch Null (Abbruch)\n");
  // The earlier report stays whole and nothing else is left behind.
  EXPECT_EQ(ReadBytes(dir.file("AntStrSu.txt")), "earlier report");
  EXPECT_EQ(FileNames(dir), std::set<std::string>{"AntStrSu.txt"});
}

TEST(ToolRun, InterruptStopsALongRunWithoutPartialFiles) {
  TempFolder dir;
  test::WriteBytes(dir.file("AntStrSu.txt"), "earlier report");
  // About 3 km of wire with the special table: long enough to be caught
  // in the scan.
  test::ToolProcess tool(With(TypicalArgs(dir), {"--halfwaves", "300", "--special-table", "--json"}));
  ASSERT_GT(tool.pid(), 0);
  // The reports are opened (under temporary names) right before the scan.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!Staging(dir, "AntSpezi.txt") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(Staging(dir, "AntSpezi.txt"));
  ::kill(tool.pid(), SIGINT);
  const ToolResult r = tool.wait();
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Json(r).value("outcome").toString(), "cancelled");
  EXPECT_EQ(r.err, "Berechnung abgebrochen (Signal)\n");
  EXPECT_EQ(ReadBytes(dir.file("AntStrSu.txt")), "earlier report");
  EXPECT_EQ(FileNames(dir), std::set<std::string>{"AntStrSu.txt"});
}

// The date of a report's closing line ("Berechnung am <date> (c) ...").
std::string ClosingDate(const std::string& report) {
  const std::size_t at = report.rfind("Berechnung am ");
  return at == std::string::npos ? std::string() : report.substr(at + 14, 19);
}

TEST(ToolRun, TwoRunsIntoOneFolder) {
  TempFolder dir;
  // The first run holds the folder from its first temporary file to its
  // last rename; a second run meanwhile is refused at once and says so.
  const auto args = [&](const char* date) {
    std::vector<std::string> v = TypicalArgs(dir);
    v.back() = date;
    return With(v, {"--halfwaves", "60", "--special-table", "--json"});
  };
  test::ToolProcess a(args("01.01.2027 10:00:00"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!Staging(dir, "AntSpezi.txt") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ASSERT_TRUE(Staging(dir, "AntSpezi.txt"));
  const ToolResult b = RunTool(args("02.02.2027 20:00:00"));
  const ToolResult ra = a.wait();
  ASSERT_EQ(ra.status, 0) << ra.err;
  EXPECT_EQ(b.status, 1);
  EXPECT_EQ(Json(b).value("outcome").toString(), "aborted");
  EXPECT_EQ(b.err,
            "Fehler: Der Ordner " + dir.str() + " wird gerade von einer anderen Berechnung beschrieben. (Abbruch)\n");
  EXPECT_EQ(ClosingDate(ReadBytes(dir.file("AntStrSu.txt"))), "01.01.2027 10:00:00");
  EXPECT_EQ(ClosingDate(ReadBytes(dir.file("AntSpezi.txt"))), "01.01.2027 10:00:00");
  EXPECT_EQ(FileNames(dir), (std::set<std::string>{"AntStrSu.txt", "AntSpezi.txt", "AntKurve.BMP"}));

  // Started together, again and again: whichever wins, the folder holds one
  // run's whole set, and a run that lost said so.
  for (int round = 0; round < 5; ++round) {
    test::ToolProcess px(args("03.03.2027 03:03:03")), py(args("04.04.2027 04:04:04"));
    const ToolResult rx = px.wait(), ry = py.wait();
    EXPECT_TRUE(rx.status == 0 || ry.status == 0);
    for (const ToolResult* r : {&rx, &ry}) {
      if (r->status != 0) {
        EXPECT_NE(r->err.find("wird gerade von einer anderen Berechnung beschrieben"), std::string::npos);
      }
    }
    const std::string report = ReadBytes(dir.file("AntStrSu.txt"));
    const std::string table = ReadBytes(dir.file("AntSpezi.txt"));
    EXPECT_EQ(ClosingDate(report), ClosingDate(table));
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
    EXPECT_EQ(table.substr(table.size() - 2), "\r\n");
    EXPECT_EQ(FileNames(dir), (std::set<std::string>{"AntStrSu.txt", "AntSpezi.txt", "AntKurve.BMP"}));
  }
}

TEST(ToolRun, FolderNamedInLatin1TakesEveryFile) {
  TempFolder dir;
  const std::string folder = dir.str() + "Ergebnisse f\xfcr \xc4nderungen";  // not UTF-8
  std::vector<std::string> args = TypicalArgs(dir);
  args[2] = folder;
  const ToolResult r = RunTool(With(args, {"--special-table"}));
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* name : {"AntStrSu.txt", "AntSpezi.txt", "AntKurve.BMP"})
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder) / name)) << name;
}

TEST(ToolRun, OutFolderProblemsAreUsageErrors) {
  TempFolder dir;
  test::WriteBytes(dir.file("plain file"), "x");
  const std::string bad = (dir.path() / "plain file" / "sub").string();
  for (std::vector<std::string> args :
       {With(TypicalArgs(dir), {}), std::vector<std::string>{"dipole", "--frequency", "14.2", "--out", ""},
        std::vector<std::string>{"allbands", "--distance", "8", "--out", ""}}) {
    args[args[0] == "run" ? 2 : args.size() - 1] = bad;
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.status, 2) << args[0] << ": " << r.err;
    EXPECT_EQ(r.errLines().size(), 1u);
    EXPECT_NE(r.err.find("--out '" + bad + "': the folder cannot be written: Path not found"), std::string::npos)
        << r.err;
  }
}

TEST(ToolRun, LargeSpecialTableNeedsAllowLarge) {
  TempFolder dir;
  const ToolResult r =
      RunTool(With(TypicalArgs(dir), {"--halfwaves", "9999", "--special-table", "--json", "--decimal-separator", ","}));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Json(r).value("outcome").toString(), "large-table-declined");
  EXPECT_EQ(r.err, "Spezial-Tabelle von etwa 1,4 GB nicht bestätigt (--allow-large)\n");
  EXPECT_TRUE(FileNames(dir).empty());
}

TEST(ToolRun, OutThatIsNoFolderOrALinkToNowhereSaysSo) {
  TempFolder dir;
  test::WriteBytes(dir.file("plain file"), "x");
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  std::filesystem::create_symlink(dir.file("gone"), dir.file("link"));
  const std::string notAFolder = "not a folder: a file, a device or a pipe has this name";
  for (const auto& [out, says] :
       {std::pair{dir.file("plain file").string(), notAFolder}, std::pair{dir.file("pipe").string(), notAFolder},
        std::pair{std::string("/dev/null"), notAFolder},
        std::pair{dir.file("link").string(),
                  "the name is a link to '" + dir.file("gone").string() + "', which does not exist"}}) {
    std::vector<std::string> args = TypicalArgs(dir);
    args[2] = out;
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.status, 2) << out;
    EXPECT_NE(r.err.find("--out '" + out + "': " + says), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("gone")));
}

TEST(ToolRun, ALockFileThatIsALinkIsRefusedByName) {
  TempFolder dir, elsewhere;
  const std::string lock = dir.str() + ".lorvant.lock";
  std::filesystem::create_symlink(elsewhere.file("made"), lock);
  const ToolResult r = RunTool(TypicalArgs(dir));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Fehler: Eine Verknüpfung trägt diesen Namen " + lock + " (Abbruch)\n");
  EXPECT_FALSE(std::filesystem::exists(elsewhere.file("made")));
}

TEST(ToolRun, NumbersBeyondTheFieldAreCalledTooLarge) {
  const std::string digits(40, '7');
  TempFolder dir;
  for (const std::vector<std::string>& args :
       {With(TypicalArgs(dir), {"--calculator-height", digits}),
        std::vector<std::string>{"nec", "--out", dir.str(), "--height", digits}}) {
    const ToolResult r = RunTool(args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("'" + digits + "': the number is too large for the field"), std::string::npos) << r.err;
  }
}

TEST(ToolRun, AFileSizeLimitIsAnErrorNamingTheFile) {
  TempFolder dir;
  test::WriteBytes(dir.file("AntSpezi.txt"), "earlier table");
  // The limit of `ulimit -f`, inherited by the tool only.
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit limit = before;
  limit.rlim_cur = 200 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  test::ToolProcess tool(With(TypicalArgs(dir), {"--halfwaves", "12", "--special-table"}));
  ::setrlimit(RLIMIT_FSIZE, &before);
  const ToolResult r = tool.wait();
  EXPECT_EQ(r.signal, 0) << "killed by a signal";
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Fehler: Datei zu groß (Grenze der Dateigröße erreicht) " + dir.str() + "AntSpezi.txt (Abbruch)\n");
  EXPECT_EQ(FileNames(dir), std::set<std::string>{"AntSpezi.txt"});
  EXPECT_EQ(ReadBytes(dir.file("AntSpezi.txt")), "earlier table");
}

TEST(ToolFiles, EveryCommandThatWritesClearsStaleTemporaries) {
  TempFolder dir;
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"dipole", "--frequency", "14,2", "--band", "7", "--band", "3.5", "--out", dir.str(),
                                 "--decimal-separator", ","},
        std::vector<std::string>{"allbands", "--length", "41,7", "--distance", "8", "--out", dir.str()}}) {
    const std::string stale = ".SpeisePkt.txt.lorvant-" + std::to_string(child) + "-Ab12Cd";
    test::WriteBytes(dir.file(stale), "left by a killed writer");
    const ToolResult r = RunTool(args);
    ASSERT_EQ(r.status, 0) << args[0] << ": " << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file(stale))) << args[0];
  }
}

// A long listing: a fine scan along a long wire.
std::vector<std::string> LongScan() {
  return {"scan", "--run-length", "4100.7", "--band", "3.5",  "--band", "7",    "--band",
          "14",   "--from",       "6",      "--to",   "2000", "--step", "0.001"};
}

TEST(ToolFiles, StdoutThatCannotBeWrittenEndsTheCommand) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"vk"}, LongScan()}) {
    const ToolResult r = test::ToolProcess(args, {}, "/dev/full").wait();
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_EQ(r.err, "lorvant-calc " + args[0] + ": stdout cannot be written: Disk full\n");
  }

  // A reader that has gone, with SIGPIPE ignored as some shells and
  // services leave it: the scan ends at once and says nothing.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const auto started = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGPIPE, SIG_IGN);
    ::dup2(fds[1], 1);
    const int err = ::open("/dev/null", O_WRONLY);
    ::dup2(err, 2);
    ::close(fds[0]);
    std::vector<std::string> store = LongScan();
    store.insert(store.begin(), LORVANT_CALC_TOOL);
    std::vector<char*> argv;
    for (std::string& a : store) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  char first = 0;
  EXPECT_EQ(::read(fds[0], &first, 1), 1);
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

  // A disk that fills up half-way through the listing.
  if (::system("strace -V > /dev/null 2>&1") != 0) {
    GTEST_SKIP() << "strace is missing: the disk that fills up half-way is not tried";
  }
  TempFolder dir;
  const std::string listing = dir.str() + "rows.txt";
  const std::string messages = dir.str() + "stderr.txt";
  // Only the writes into the listing fail, from the second on; the
  // sanitizers' leak check cannot run under strace.
  std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -P '" + listing +
                        "' -e trace=write -e inject=write:error=ENOSPC:when=2+ " + std::string(LORVANT_CALC_TOOL);
  for (const std::string& a : LongScan()) command += " '" + a + "'";
  command += " > '" + listing + "' 2> '" + messages + "'";
  const int rc = ::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 1) << rc;
  EXPECT_EQ(std::filesystem::file_size(listing), 1u << 16);
  EXPECT_NE(ReadBytes(messages).find("lorvant-calc scan: stdout cannot be written: Disk full\n"), std::string::npos);
}

TEST(ToolRun, DateTextLosesControlCharacters) {
  TempFolder dir;
  std::vector<std::string> args = TypicalArgs(dir);
  args.back() = "08.12.2026\x1b[2J\r\n 15:44\x07";
  ASSERT_EQ(RunTool(args).status, 0);
  EXPECT_NE(ReadBytes(dir.file("AntStrSu.txt")).find("Berechnung am 08.12.2026[2J 15:44 "), std::string::npos);
}

TEST(ToolRun, DefaultsFollowTheLocale) {
  TempFolder dir;
  const std::vector<std::string> args = With(TypicalArgs(dir), {"--json"});
  ToolResult r = RunTool(args, {{"LC_ALL", "de_DE.UTF-8"}});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Json(r).value("text1").toString(), "14,2");
  r = RunTool(args, {{"LC_ALL", "en_GB.UTF-8"}});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Json(r).value("text1").toString(), "14.2");
  // --decimal-separator wins over the locale.
  r = RunTool(With(args, {"--decimal-separator", ","}), {{"LC_ALL", "en_GB.UTF-8"}});
  EXPECT_EQ(Json(r).value("text1").toString(), "14,2");

  // Without --date the closing line carries the current time.
  std::vector<std::string> undated = args;
  undated.erase(undated.end() - 3, undated.end() - 1);
  ASSERT_EQ(RunTool(undated).status, 0);
  const std::string report = ReadBytes(dir.file("AntStrSu.txt"));
  EXPECT_EQ(report.find(test::worked::kDateText), std::string::npos);
  EXPECT_TRUE(std::regex_search(report, std::regex("Berechnung am [^\r]+ \\d\\d:\\d\\d:\\d\\d \\(c\\)")));
}

// ---- the same files as the run in-process --------------------------------------

// A canvas that keeps a (dummy) picture, so that the in-process run saves
// AntKurve.BMP and names it in its notes as the tool does.
class KeptPicture : public NullCanvas {
 public:
  bool keepsImage() const override { return true; }
  std::string bitmap() const override { return "B"; }
};

struct Case {
  const char* name;
  std::vector<std::string> args;  // after "run --out DIR"
  void (*input)(RunInput& in);    // the same inputs for RunOptimisation
};

class SameAsInProcess : public ::testing::TestWithParam<Case> {};

TEST_P(SameAsInProcess, ReportAndSpecialTableBytes) {
  const Case& c = GetParam();
  TempFolder toolDir, runDir;
  std::vector<std::string> args = {"run", "--out", toolDir.path().string(), "--special-table", "--json"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const ToolResult r = RunTool(args);
  ASSERT_EQ(r.status, 0) << r.err;

  RunInput in = test::TypicalInput(runDir.str());
  in.specialTable = true;
  c.input(in);
  test::ScriptedHost host;  // no question is answered Yes, none expected
  KeptPicture picture;
  host.drawing = &picture;
  const RunOutput out = RunOptimisation(in, host);
  ASSERT_EQ(out.outcome, RunOutcome::Completed);
  EXPECT_TRUE(host.asked.empty());

  const std::string report = ReadBytes(runDir.file("AntStrSu.txt"));
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(ReadBytes(toolDir.file("AntStrSu.txt")), report);
  EXPECT_EQ(ReadBytes(toolDir.file("AntSpezi.txt")), ReadBytes(runDir.file("AntSpezi.txt")));

  const QJsonObject o = Json(r);
  EXPECT_EQ(static_cast<float>(o.value("length").toDouble()), out.length);
  EXPECT_EQ(o.value("insulation").toDouble(), out.insulation);
  // The notes name the picture with its folder: the tool's own one.
  std::string info = out.info;
  const std::size_t at = info.find(runDir.str());
  ASSERT_NE(at, std::string::npos);
  info.replace(at, runDir.str().size(), toolDir.str());
  EXPECT_EQ(o.value("info").toString().toStdString(), info);
  ASSERT_EQ(o.value("candidates").toArray().size(), static_cast<qsizetype>(out.candidates.size()));
  for (std::size_t i = 0; i < out.candidates.size(); ++i) {
    const QJsonObject cand = o.value("candidates").toArray().at(static_cast<qsizetype>(i)).toObject();
    EXPECT_EQ(cand.value("x").toDouble(), out.candidates[i].x);
    EXPECT_EQ(cand.value("sum").toDouble(), out.candidates[i].S);
  }
}

const std::vector<std::string> kTypical = {"--band", "3.5", "--band", "7",  "--band", "14",
                                           "--band", "21",  "--band", "28", "--date", test::worked::kDateText};

INSTANTIATE_TEST_SUITE_P(
    Tool, SameAsInProcess,
    ::testing::Values(Case{"Defaults", With(kTypical, {"--decimal-separator", ","}), [](RunInput&) {}},
                      Case{"EnglishPoint", With(kTypical, {"--decimal-separator", ".", "--language", "en"}),
                           [](RunInput& in) {
                             in.language = Language::English;
                             in.decimalSeparator = '.';
                             in.preferredFrequency = "14.2";
                             in.shorteningFactor = "0,95";  // the form's design text in every locale
                             in.outerDiameter = "2.1";
                             in.minimumSum = "0.4";
                             in.dielectric = "1.00059 Air";
                             in.conductorDiameter = "1.4";
                           }},
                      // Every field changed: insulated wire, grey band, CW segment, all
                      // bands, equal impedances, the calculator active.
                      Case{"EveryField",
                           {"--band",
                            "3.5",
                            "--band",
                            "7",
                            "--band",
                            "14",
                            "--grey-band",
                            "10",
                            "--grey-band",
                            "50",
                            "--frequency",
                            "7,01",
                            "--halfwaves",
                            "6",
                            "--vk",
                            "0,97",
                            "--tolerance",
                            "3",
                            "--dielectric",
                            "2,3   PE Polyethylen",
                            "--outer-diameter",
                            "3,2",
                            "--conductor",
                            "1,5",
                            "--min-sum",
                            "0,3",
                            "--segment",
                            "cw",
                            "--length-mode",
                            "all",
                            "--equal-impedances",
                            "--calculator-height",
                            "12,5",
                            "--ground-correction",
                            "--language",
                            "en",
                            "--decimal-separator",
                            ",",
                            "--date",
                            "1/2/03 04:05:06"},
                           [](RunInput& in) {
                             in.bands = Boxes({0, 1, 0, 1, 2, 1, 0, 0, 0, 0, 2});
                             in.preferredFrequency = "7,01";
                             in.halfWaves = "6";
                             in.shorteningFactor = "0,97";
                             in.tolerance = "3";
                             in.dielectric = "2,3   PE Polyethylen";
                             in.outerDiameter = "3,2";
                             in.conductorDiameter = "1,5";
                             in.minimumSum = "0,3";
                             in.segment = Segment::Cw;
                             in.lengthMode = LengthMode::All;
                             in.equalImpedances = true;
                             in.calculator = {true, 12.5f, 1.5f, true, "12,5"};
                             in.language = Language::English;
                             in.dateText = "1/2/03 04:05:06";
                           }},
                      // The calculator's diameter need not be the main form's conductor.
                      Case{"CalculatorWithItsOwnDiameter",
                           With(kTypical, {"--decimal-separator", ",", "--calculator-height", "10",
                                           "--calculator-diameter", "2", "--conductor", "1,4"}),
                           [](RunInput& in) {
                             in.calculator = {true, 10.0f, 2.0f, false, "10"};
                           }},
                      // The wire-length limit greys the bands below the fundamental; WINDOM.
                      Case{"WireLimitWindom",
                           {"--band", "1.8", "--band", "3.5", "--band", "7", "--band", "14", "--wire-length", "41",
                            "--halfwaves", "", "--windom", "--decimal-separator", ",", "--date",
                            test::worked::kDateText},
                           [](RunInput& in) {
                             in.bands = Boxes({1, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0});
                             in.halfWaves = "";
                             in.maxWireLength = "41";
                             in.windom = true;
                           }}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// ---- design files ------------------------------------------------------------

// Every input away from the form's defaults, the calculator active.
std::vector<std::string> DesignArgs() {
  return {"--frequency",
          "3,6",
          "--halfwaves",
          "6",
          "--vk",
          "0,962",
          "--min-sum",
          "0,3",
          "--band",
          "3.5",
          "--band",
          "7",
          "--band",
          "14",
          "--grey-band",
          "10",
          "--segment",
          "ssb",
          "--dielectric",
          "2,35 \xC3\x96l",
          "--outer-diameter",
          "2,6",
          "--conductor",
          "1,5",
          "--equal-impedances",
          "--special-table",
          "--calculator-height",
          "12,5",
          "--ground-correction",
          "--decimal-separator",
          ","};
}

std::string WithDate(std::string report, const std::string& from, const std::string& to) {
  for (std::size_t at; (at = report.find(from)) != std::string::npos;) report.replace(at, from.size(), to);
  return report;
}

TEST(ToolDesign, SavedDesignRunAgainGivesTheSameReports) {
  TempFolder first, second, designs;
  const std::string file = designs.file("antenna.lorvant").string();
  std::vector<std::string> args{"run", "--out", first.str(), "--save-design", file, "--date", "01.01.2027 10:00:00"};
  args = With(args, DesignArgs());
  const ToolResult saved = RunTool(args);
  ASSERT_EQ(saved.status, 0) << saved.err;
  const std::string text = ReadBytes(file);
  for (const char* line : {"frequency = 3.6\n", "material = oil\n", "band-10 = grey\n", "segment = ssb\n",
                           "height = 12.5\n", "ground-correction = yes\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;

  const ToolResult again = RunTool(
      {"run", "--out", second.str(), "--design", file, "--decimal-separator", ",", "--date", "02.02.2027 20:00:00"});
  ASSERT_EQ(again.status, 0) << again.err;
  for (const char* name : {"AntStrSu.txt", "AntSpezi.txt", "AntKurve.BMP"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(WithDate(ReadBytes(first.file(name)), "01.01.2027 10:00:00", "02.02.2027 20:00:00"),
              ReadBytes(second.file(name)));
  }
}

TEST(ToolDesign, OptionsGivenBesidesTheDesignWin) {
  TempFolder dir;
  const std::string a = dir.file("a.lorvant").string(), b = dir.file("b.lorvant").string();
  ASSERT_EQ(RunTool(With({"run", "--save-design", a}, DesignArgs())).status, 0);
  const ToolResult r = RunTool({"run", "--design", a, "--frequency", "3.7", "--band", "7", "--save-design", b});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = ReadBytes(b);
  EXPECT_NE(text.find("frequency = 3.7\n"), std::string::npos) << text;
  EXPECT_NE(text.find("band-3.5 = off\nband-5.3 = off\nband-7 = counted\n"), std::string::npos) << text;
  EXPECT_NE(text.find("half-waves = 6\n"), std::string::npos) << text;  // from the design
  // Nothing but the design was asked for: no reports.
  EXPECT_EQ(FileNames(dir), (std::set<std::string>{"a.lorvant", "b.lorvant"}));
}

TEST(ToolDesign, DamagedForeignOrNewerDesignIsRefusedAtItsLine) {
  TempFolder dir;
  const std::string file = dir.file("d.lorvant").string();
  ASSERT_EQ(RunTool({"run", "--save-design", file, "--band", "7", "--band", "14"}).status, 0);
  const std::string good = ReadBytes(file);
  const struct {
    std::string text;
    std::string where;
  } cases[] = {
      {WithDate(good, "version = 1", "version = 2"), ", line 4: "},
      {WithDate(good, "format = lorvant-design", "format = antenna"), ", line 3: "},
      {WithDate(good, "band-7 = counted", "band-7 = yes"), ", line 20: "},
      {"\x89PNG\r\n", ", line 1: "},
  };
  for (const auto& c : cases) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << c.text;
    const ToolResult r = RunTool({"run", "--out", dir.str(), "--design", file});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.errLines().size(), 1u) << r.err;
    EXPECT_NE(r.err.find(file + c.where), std::string::npos) << r.err;
    EXPECT_EQ(FileNames(dir), (std::set<std::string>{"d.lorvant"}));
  }
}

}  // namespace
}  // namespace lorvant
