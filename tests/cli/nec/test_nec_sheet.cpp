// lorvant-calc nec --sheet: the build sheet Lorvant-Sheet.pdf written with
// the deck and the report, its text held against the check's own JSON in
// both languages (a fake nec2c answering with a captured output).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <set>

#include "tests/cli/nec_fixture.h"
#include "tests/cli/tool_process.h"
#include "tests/session/run_support.h"
#include "tests/support/PdfReader.h"
#include "text/format.h"
#include "text/reports/sheet.h"

namespace lorvant {
namespace {

using test::CapturedCheckArgs;
using test::FakePath;
using test::ReadBytes;
using test::RunTool;
using test::TempFolder;
using test::ToolResult;

const std::string kCaptured = std::string(LORVANT_TEST_DATA) + "/nec/ocf_7_14";

// The design of tests/data/nec/ocf_7_14.*.
std::vector<std::string> CapturedArgs(const TempFolder& out, const char* language, const char* sep) {
  std::vector<std::string> args = CapturedCheckArgs(out);
  args.insert(args.end(), {"--json", "--language", language, "--decimal-separator", sep});
  return args;
}

std::set<std::string> Names(const TempFolder& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    if (e.path().filename() != ".lorvant.lock") names.insert(e.path().filename().string());
  return names;
}

TEST(NecSheet, TheSheetNamesTheLegsBalunAndBandsOfTheCheck) {
  const FakePath answering("/bin/cp '" + kCaptured + ".out' \"$4\"");
  for (const auto& [language, sep] : {std::pair("en", "."), std::pair("de", ",")}) {
    SCOPED_TRACE(language);
    TempFolder dir;
    std::vector<std::string> args = CapturedArgs(dir, language, sep);
    for (const char* a : {"--sheet", "--sheet-allowance", "20"}) args.push_back(a);
    const ToolResult r = RunTool(args, answering.env());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Names(dir), (std::set<std::string>{"Lorvant.nec", "NecCheck.txt", "Lorvant-Sheet.pdf"}));
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    const test::PdfContents pdf = test::ReadPdf(ReadBytes(dir.file("Lorvant-Sheet.pdf")));
    EXPECT_EQ(pdf.pages, 1);

    const double length = o.value("length").toDouble(), feed = o.value("feed").toDouble();
    const char s = sep[0];
    for (const double leg : {feed, length - feed}) {
      SCOPED_TRACE(leg);
      EXPECT_TRUE(test::Shows(pdf, report::MetresText(leg, s)));
      EXPECT_TRUE(test::Shows(pdf, report::FeetInchesText(leg, s)));
      EXPECT_TRUE(test::Shows(pdf, report::MetresText(leg + 0.4, s)));  // 20 cm at each end
      EXPECT_TRUE(test::Shows(pdf, report::FeetInchesText(leg + 0.4, s)));
    }
    EXPECT_TRUE(test::Shows(pdf, report::FormatGeneral(o.value("balun").toDouble(), s) + ":1"));
    const QJsonArray bands = o.value("bands").toArray();
    ASSERT_EQ(bands.size(), 2);
    for (const QJsonValue& b : bands)
      EXPECT_TRUE(test::Shows(pdf, report::FormatPicture(b.toObject().value("swr").toDouble(), "0.0", s)));
    EXPECT_TRUE(test::Shows(pdf, "08.12.2026 15:44:35"));

    // A later check without --sheet takes the sheet of the earlier deck away.
    ASSERT_EQ(RunTool(CapturedArgs(dir, language, sep), answering.env()).status, 0);
    EXPECT_EQ(Names(dir), (std::set<std::string>{"Lorvant.nec", "NecCheck.txt"}));
  }
}

TEST(NecSheet, TheAllowanceIsRefusedOutsideItsRange) {
  TempFolder dir;
  for (const char* bad : {"-1", "101", "x"}) {
    std::vector<std::string> args = CapturedArgs(dir, "en", ".");
    for (const char* a : {"--sheet", "--sheet-allowance", bad}) args.push_back(a);
    EXPECT_EQ(RunTool(args).status, 2) << bad;
  }
  EXPECT_TRUE(Names(dir).empty());
}

}  // namespace
}  // namespace lorvant
