// lorvant-calc nec --touchstone: the model's feed impedance at every
// solved frequency as Lorvant.s1p, written with the deck and the report,
// read back through the measured sweep's reader (a fake nec2c on PATH).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <complex>
#include <map>
#include <set>

#include "engine/sweep/touchstone.h"
#include "tests/cli/nec_fixture.h"
#include "tests/cli/tool_process.h"
#include "tests/session/run_support.h"

namespace lorvant {
namespace {

using test::CapturedCheckArgs;
using test::FakePath;
using test::Json;
using test::ReadBytes;
using test::RunTool;
using test::TempFolder;
using test::ToolResult;

const std::string kCaptured = std::string(LORVANT_TEST_DATA) + "/nec/ocf_7_14";

// The design of tests/data/nec/ocf_7_14.*, as the nec tool's tests check it.
std::vector<std::string> CapturedArgs(const TempFolder& out) {
  std::vector<std::string> args = CapturedCheckArgs(out);
  args.push_back("--json");
  return args;
}

TEST(NecTouchstone, TheModelsSweepReadsBackToTheChecksImpedances) {
  const FakePath answering("/bin/cp '" + kCaptured + ".out' \"$4\"");
  TempFolder dir;
  std::vector<std::string> args = CapturedArgs(dir);
  args.push_back("--touchstone");
  const ToolResult r = RunTool(args, answering.env());
  ASSERT_EQ(r.status, 0) << r.err;
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().filename() != ".lorvant.lock") names.insert(e.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"Lorvant.nec", "NecCheck.txt", "Lorvant.s1p"}));

  // Every frequency the JSON names, once, rising.
  std::map<double, std::complex<double>> solved;
  const QJsonObject o = Json(r);
  for (const char* list : {"bands", "sweep"})
    for (const QJsonValue& v : o.value(list).toArray()) {
      const QJsonObject p = v.toObject();
      solved.emplace(p.value("frequency").toDouble(),
                     std::complex<double>(p.value("r").toDouble(), p.value("x").toDouble()));
    }
  ASSERT_EQ(solved.size(), 6u) << "7.1 and 14.2 MHz with the edges of both bands";

  const std::string bytes = ReadBytes(dir.file("Lorvant.s1p"));
  EXPECT_EQ(bytes.rfind("# MHZ S RI R 50\n", 0), 0u);
  const sweep::Sweep back = sweep::ReadTouchstone(bytes);
  ASSERT_EQ(back.size(), solved.size());
  auto want = solved.begin();
  for (const sweep::SweepPoint& p : back) {
    SCOPED_TRACE(p.frequency);
    EXPECT_EQ(p.frequency, want->first);
    ASSERT_TRUE(p.impedance);
    // S11 to nine digits: each part off by 5e-9 at most, times |dZ/dS| =
    // |Z + 50|^2 / 100 in the impedance.
    const double tolerance = 1e-8 * std::norm(want->second + 50.0) / 100;
    EXPECT_NEAR(p.impedance->real(), want->second.real(), tolerance);
    EXPECT_NEAR(p.impedance->imag(), want->second.imag(), tolerance);
    ++want;
  }

  // A check that fails leaves the file of the one before.
  const FakePath failing("exit 4");
  EXPECT_EQ(RunTool(args, failing.env()).status, 1);
  EXPECT_EQ(ReadBytes(dir.file("Lorvant.s1p")), bytes);
  // Without the option none is written.
  TempFolder plain;
  ASSERT_EQ(RunTool(CapturedArgs(plain), answering.env()).status, 0);
  EXPECT_FALSE(std::filesystem::exists(plain.file("Lorvant.s1p")));
}

TEST(NecTouchstone, AnEarlierModelSweepGoesWithTheDeckItBelongedTo) {
  const FakePath answering("/bin/cp '" + kCaptured + ".out' \"$4\"");
  TempFolder dir;
  std::vector<std::string> args = CapturedArgs(dir);
  args.push_back("--touchstone");
  ASSERT_EQ(RunTool(args, answering.env()).status, 0);
  ASSERT_TRUE(std::filesystem::exists(dir.file("Lorvant.s1p")));

  // A check that fails changes nothing, the sweep included.
  const FakePath failing("exit 4");
  EXPECT_EQ(RunTool(CapturedArgs(dir), failing.env()).status, 1);
  EXPECT_TRUE(std::filesystem::exists(dir.file("Lorvant.s1p")));

  // A later check without --touchstone writes a new deck: the sweep goes.
  ASSERT_EQ(RunTool(CapturedArgs(dir), answering.env()).status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.file("Lorvant.nec")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("Lorvant.s1p")));

  // Without nec2c the deck is written alone; the sweep goes with the
  // report, and no temporary is left behind.
  ASSERT_EQ(RunTool(args, answering.env()).status, 0);
  const TempFolder empty;
  const ToolResult alone = RunTool(CapturedArgs(dir), {{"PATH", empty.path().string()}});
  EXPECT_EQ(alone.status, 1);
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().filename() != ".lorvant.lock") names.insert(e.path().filename().string());
  EXPECT_EQ(names, std::set<std::string>{"Lorvant.nec"}) << alone.err;
}

}  // namespace
}  // namespace lorvant
