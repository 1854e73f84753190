// lorvant-calc measured as its users call it: the table, the JSON object,
// refused files and command lines.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <set>

#include "tests/cli/nec_fixture.h"
#include "tests/cli/tool_process.h"
#include "tests/session/run_support.h"

namespace lorvant {
namespace {

using test::Json;
using test::ReadBytes;
using test::RunTool;
using test::TempFolder;
using test::ToolResult;

std::set<QString> Keys(const QJsonObject& o) {
  const QStringList keys = o.keys();
  return {keys.begin(), keys.end()};
}

// 40 m with its resonance at 7.05 MHz (X from -10 to +10 ohms), 20 m
// without one, and a point in no band.
const char* kSmallSweep =
    "! analyser\r\n"
    "# MHz Z RI R 50\r\n"
    "6.5 1.0 -1.0\r\n"
    "7.0 1.0 -0.2\r\n"
    "7.1 1.2 0.2\r\n"
    "14.0 2.0 0.5\r\n"
    "14.2 1.5 0.8\r\n";

TEST(MeasuredTool, TheJsonObjectHasTheBandsOfTheFile) {
  TempFolder dir;
  const std::string file = dir.file("ant.s1p").string();
  test::WriteBytes(file, kSmallSweep);
  const ToolResult r = RunTool({"measured", file, "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  const QJsonObject o = Json(r);
  EXPECT_EQ(Keys(o), (std::set<QString>{"file", "points", "bands"}));
  EXPECT_EQ(o.value("file").toString().toStdString(), file);
  EXPECT_EQ(o.value("points").toInt(), 5);
  const QJsonArray bands = o.value("bands").toArray();
  ASSERT_EQ(bands.size(), 2);
  const QJsonObject b40 = bands[0].toObject();
  EXPECT_EQ(Keys(b40), (std::set<QString>{"band", "points", "x_zero", "min_swr", "min_swr_frequency"}));
  EXPECT_EQ(b40.value("band").toDouble(), 7);
  EXPECT_EQ(b40.value("points").toInt(), 2);
  const QJsonArray zeros = b40.value("x_zero").toArray();
  ASSERT_EQ(zeros.size(), 1);
  EXPECT_NEAR(zeros[0].toDouble(), 7.05, 1e-12);
  // 50 - j10 at 7.0 MHz against 60 + j10 at 7.1 MHz.
  EXPECT_EQ(b40.value("min_swr_frequency").toDouble(), 7.0);
  EXPECT_NEAR(b40.value("min_swr").toDouble(), 1.2210, 1e-4);
  const QJsonObject b20 = bands[1].toObject();
  EXPECT_EQ(b20.value("band").toDouble(), 14);
  EXPECT_TRUE(b20.value("x_zero").isArray());
  EXPECT_TRUE(b20.value("x_zero").toArray().isEmpty());
  EXPECT_EQ(b20.value("min_swr_frequency").toDouble(), 14.2);

  // A sweep of SWR alone knows no reactance.
  const std::string csv = dir.file("swr.csv").string();
  test::WriteBytes(csv, "frequency (kHz);swr\n14000;1,8\n14100;1,4\n14200;1,6\n");
  const ToolResult s = RunTool({"measured", "--json", csv});
  ASSERT_EQ(s.status, 0) << s.err;
  const QJsonObject b = Json(s).value("bands").toArray()[0].toObject();
  EXPECT_TRUE(b.value("x_zero").isNull());
  EXPECT_EQ(b.value("min_swr").toDouble(), 1.4);
  EXPECT_EQ(b.value("min_swr_frequency").toDouble(), 14.1);
}

TEST(MeasuredTool, TheTableSpeaksTheLanguageAndTheSeparator) {
  TempFolder dir;
  const std::string file = dir.file("ant.s1p").string();
  test::WriteBytes(file, kSmallSweep);
  const ToolResult de = RunTool({"measured", file, "--decimal-separator", ","});
  ASSERT_EQ(de.status, 0) << de.err;
  EXPECT_NE(de.out.find("Messung: " + file + ", 5 Punkte\n"), std::string::npos) << de.out;
  EXPECT_NE(de.out.find("\n7 MHz     7,050 MHz"), std::string::npos) << de.out;
  EXPECT_NE(de.out.find("\n14 MHz    keine"), std::string::npos) << de.out;
  const ToolResult en = RunTool({"measured", "--language", "en", "--decimal-separator", ".", file});
  ASSERT_EQ(en.status, 0) << en.err;
  EXPECT_NE(en.out.find("\n7 MHz     7.050 MHz"), std::string::npos) << en.out;
  EXPECT_NE(en.out.find("lowest SWR"), std::string::npos) << en.out;
}

TEST(MeasuredTool, RefusedFilesAndCommandLines) {
  TempFolder dir;
  const std::string file = dir.file("bad.s1p").string();
  test::WriteBytes(file, "# MHz S RI\n7.0 0 0\n6.9 0 0\n");
  ToolResult r = RunTool({"measured", file, "--language", "en"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_EQ(r.err, "The measurement cannot be read: " + file +
                       ", line 3: the frequency does not lie above the one before: '6.9'\n");
  r = RunTool({"measured", file, "--json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.empty()) << "no object for a refused file";
  EXPECT_NE(r.err.find(", Zeile 3: "), std::string::npos) << r.err;

  EXPECT_EQ(RunTool({"measured", dir.file("none.s1p").string()}).status, 1);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"measured"}, {"measured", "--json"}, {"measured", file, file}, {"measured", file, "--region", "4"}}) {
    r = RunTool(bad);
    EXPECT_EQ(r.status, 2) << bad.size();
    EXPECT_EQ(r.errLines().size(), 1u) << r.err;
  }

  const ToolResult help = RunTool({"measured", "--help"});
  ASSERT_EQ(help.status, 0);
  for (const char* option : {"--json", "--region", "--language", "--decimal-separator"})
    EXPECT_NE(help.out.find(std::string("\n  ") + option + " "), std::string::npos) << option;
  EXPECT_NE(RunTool({"--help"}).out.find("\n  measured "), std::string::npos);
}

}  // namespace
}  // namespace lorvant
