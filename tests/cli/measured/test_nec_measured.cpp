// lorvant-calc nec --measured: an analyser's sweep beside the model in the
// JSON and NecCheck.txt, and the wire length whose model resonates where
// the antenna does. The length is held against a measurement made from
// nec2c's model of a wire 2 % longer, written by the Touchstone writer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <filesystem>
#include <map>

#include "io/engine_runner.h"
#include "tests/cli/nec_fixture.h"
#include "tests/cli/tool_process.h"
#include "tests/session/run_support.h"
#include "text/encoding.h"
#include "text/format.h"

namespace lorvant {
namespace {

using test::FakePath;
using test::Json;
using test::ReadBytes;
using test::RunTool;
using test::TempFolder;
using test::ToolResult;

// A 7 and 14 MHz wire fed at `feed`, its length from the shortening factor.
std::vector<std::string> Args(const TempFolder& out, const std::string& vk, const std::string& feed,
                              const char* language = "de", const char* sep = ",") {
  std::vector<std::string> args = test::Ocf7And14Args(out, feed);
  args.insert(args.end(), {"--vk", vk, "--json", "--language", language, "--decimal-separator", sep});
  return args;
}

TEST(NecMeasured, AWireTwoPercentLongerIsFittedTwoPercentLonger) {
  if (nec::FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)";
  // The "built" antenna: the shortening factor 2 % up makes the wire 2 %
  // longer; its feed point moves with it.
  TempFolder design, built;
  const ToolResult a0 = RunTool(Args(design, "0,946", "7,06"));
  ASSERT_EQ(a0.status, 0) << a0.err;
  const double length = Json(a0).value("length").toDouble();
  std::vector<std::string> longer = Args(built, "0,96492", "7,2012");
  longer.push_back("--touchstone");
  longer.push_back("--points");
  longer.push_back("21");
  const ToolResult b = RunTool(longer);
  ASSERT_EQ(b.status, 0) << b.err;
  const QJsonObject bo = Json(b);
  ASSERT_NEAR(bo.value("length").toDouble() / length, 1.02, 1e-4);
  ASSERT_NEAR(bo.value("feed").toDouble() / 7.06, 1.02, 1e-4);
  const double builtResonance = bo.value("resonance").toObject().value("frequency").toDouble();

  std::vector<std::string> args = Args(design, "0,946", "7,06");
  args.push_back("--measured");
  args.push_back(built.file("Lorvant.s1p").string());
  const ToolResult a = RunTool(args);
  ASSERT_EQ(a.status, 0) << a.err;
  const QJsonObject o = Json(a);
  const QJsonObject m = o.value("measured").toObject();
  EXPECT_EQ(m.value("file").toString().toStdString(), built.file("Lorvant.s1p").string());

  // Per band: the measured crossing is the longer wire's resonance, the
  // model's is the design's own.
  const QJsonArray bands = m.value("bands").toArray();
  ASSERT_EQ(bands.size(), 2);
  const QJsonObject b7 = bands[0].toObject();
  EXPECT_EQ(b7.value("band").toDouble(), 7);
  ASSERT_EQ(b7.value("x_zero").toArray().size(), 1);
  EXPECT_NEAR(b7.value("x_zero").toArray()[0].toDouble(), builtResonance, 2e-4 * builtResonance);
  ASSERT_EQ(b7.value("model_resonance").toArray().size(), 1);
  EXPECT_DOUBLE_EQ(b7.value("model_resonance").toArray()[0].toDouble(),
                   o.value("resonance").toObject().value("frequency").toDouble());
  EXPECT_GE(b7.value("min_swr").toDouble(), 1);

  const double fitted = m.value("fitted_length").toDouble();
  EXPECT_NEAR(fitted / length, 1.02, 0.002 * 1.02);
  EXPECT_DOUBLE_EQ(m.value("length_change").toDouble(), fitted - length);

  // The report says what to do with it: cut the difference off.
  const std::string report = report::FromCp1252(ReadBytes(design.file("NecCheck.txt")));
  EXPECT_NE(report.find("Der Draht verhält sich wie einer von " + report::FormatPicture(fitted, "#0.00", ',') + " m"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find(std::to_string(std::lround((fitted - length) * 100)) + " cm abschneiden"), std::string::npos);
}

TEST(NecMeasured, ASweepOfSwrAloneIsShownButFitsNoLength) {
  const std::string captured = std::string(LORVANT_TEST_DATA) + "/nec/ocf_7_14";
  const FakePath answering("/bin/cp '" + captured + ".out' \"$4\"");
  TempFolder dir, files;
  test::WriteBytes(files.file("swr.csv"), "frequency (MHz),swr\n6.9,3.1\n7.0,2.0\n7.1,1.4\n7.2,1.9\n");
  std::vector<std::string> args = Args(dir, "0.946", "7.06", "en", ".");
  for (const char* a : {"--points", "2"}) args.push_back(a);
  args.push_back("--measured");
  args.push_back(files.file("swr.csv").string());
  const ToolResult r = RunTool(args, answering.env());
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject m = Json(r).value("measured").toObject();
  const QJsonArray bands = m.value("bands").toArray();
  ASSERT_EQ(bands.size(), 1);
  const QJsonObject b = bands[0].toObject();
  EXPECT_TRUE(b.value("x_zero").isNull());
  EXPECT_EQ(b.value("min_swr").toDouble(), 1.4);
  EXPECT_EQ(b.value("min_swr_frequency").toDouble(), 7.1);
  EXPECT_TRUE(b.value("model_resonance").isArray());
  EXPECT_TRUE(m.value("fitted_length").isNull());
  EXPECT_TRUE(m.value("length_change").isNull());
  const std::string report = ReadBytes(dir.file("NecCheck.txt"));
  EXPECT_NE(report.find("SWR only"), std::string::npos) << report;
  EXPECT_NE(report.find("No wire length fitted"), std::string::npos);
  EXPECT_NE(report.find("1.40 / 7.100"), std::string::npos);

  // A file that is no sweep stops the check before anything is written.
  test::WriteBytes(files.file("bad.s1p"), "# MHZ S RI R 50\n7.0 0.1\n");
  TempFolder untouched;
  std::vector<std::string> bad = Args(untouched, "0,946", "7,06");
  bad.push_back("--measured");
  bad.push_back(files.file("bad.s1p").string());
  const ToolResult refused = RunTool(bad, answering.env());
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("bad.s1p"), std::string::npos) << refused.err;
  EXPECT_TRUE(std::filesystem::is_empty(untouched.path()));
}

}  // namespace
}  // namespace lorvant
