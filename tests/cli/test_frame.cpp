// The frame of the batch tool: the option parser, the value checks and the
// JSON writer.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <limits>
#include <sstream>

#include "cli/json.h"
#include "cli/options.h"
#include "cli/shared_options.h"
#include "tests/support/Boxes.h"

namespace lorvant::cli {
namespace {

TEST(OptionParser, ValuesFlagsAndRepeats) {
  std::string frequency;
  std::vector<std::string> bands;
  bool windom = false;
  OptionParser p("run", "[options]", "");
  p.value("frequency", "MHZ", "f", [&](const std::string& v) { frequency = v; });
  p.value(
      "band", "F", "b", [&](const std::string& v) { bands.push_back(v); }, true);
  p.flag("windom", "w", [&] { windom = true; });

  std::ostringstream help;
  ASSERT_TRUE(p.parse({"--frequency", "7,1", "--band=14", "--band", "3.5", "--windom"}, help));
  EXPECT_EQ(frequency, "7,1");
  EXPECT_EQ(bands, (std::vector<std::string>{"14", "3.5"}));
  EXPECT_TRUE(windom);
  EXPECT_TRUE(p.given("band"));
  EXPECT_TRUE(help.str().empty());

  // An empty value after "=" is a value, not a missing one.
  ASSERT_TRUE(p.parse({"--frequency="}, help));
  EXPECT_EQ(frequency, "");
  EXPECT_FALSE(p.given("band"));
}

TEST(OptionParser, OneOperandStandsAnywhereButNotAsAValue) {
  std::vector<std::string> operands;
  std::string region;
  OptionParser p("measured", "FILE [options]", "");
  p.operand([&](const std::string& v) { operands.push_back(v); });
  p.value("region", "R", "r", [&](const std::string& v) { region = v; });
  p.flag("json", "j", [] {});
  std::ostringstream help;
  for (const Args& line :
       {Args{"a.s1p", "--region", "2"}, Args{"--region", "2", "a.s1p"}, Args{"--json", "a.s1p", "--region=2"}}) {
    operands.clear();
    ASSERT_TRUE(p.parse(line, help));
    EXPECT_EQ(operands, (std::vector<std::string>{"a.s1p"}));
    EXPECT_EQ(region, "2");
  }
  // Each parse takes its own one; a second word on the line is a mistake.
  operands.clear();
  ASSERT_TRUE(p.parse({"-"}, help));
  EXPECT_EQ(operands, (std::vector<std::string>{"-"}));
  try {
    p.parse({"a.s1p", "--json", "b.s1p"}, help);
    ADD_FAILURE() << "two operands accepted";
  } catch (const UsageError& e) {
    EXPECT_STREQ(e.what(), "unexpected argument 'b.s1p'");
  }
}

TEST(OptionParser, EveryMistakeIsAUsageError) {
  OptionParser p("run", "[options]", "");
  p.value("frequency", "MHZ", "f", [](const std::string& v) { FieldText(v, kDecimalKeys, 7); });
  p.flag("windom", "w", [] {});
  std::ostringstream help;
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"--bogus"}, "unknown option '--bogus'"},
      // What the user typed comes back escaped and shortened, never raw.
      {{"--frequency", "1\n\x1b[31m2"},
       "--frequency '1\\n\\x1b[31m2': only the characters 1234567890,. can be typed here"},
      {{"--frequency", "a\xe4\xc2\x85\xc3\xa4"},
       "--frequency 'a\\xe4\\xc2\\x85\xc3\xa4': only the characters 1234567890,. can be typed here"},
      {{"--frequency", std::string(100, '9')},
       "--frequency '" + std::string(77, '9') + "...': the field takes at most 7 characters"},
      {{"-f"}, "unexpected argument '-f'"},
      {{"extra"}, "unexpected argument 'extra'"},
      {{"--frequency"}, "--frequency needs a value (MHZ)"},
      {{"--frequency", "1", "--frequency", "2"}, "--frequency given more than once"},
      {{"--windom=yes"}, "--windom takes no value"},
      {{"--frequency", "14x"}, "--frequency '14x': only the characters 1234567890,. can be typed here"},
      {{"--frequency", "14,20001"}, "--frequency '14,20001': the field takes at most 7 characters"},
  };
  for (const auto& [args, message] : cases) {
    try {
      p.parse(args, help);
      ADD_FAILURE() << "accepted: " << args[0];
    } catch (const UsageError& e) {
      EXPECT_EQ(e.what(), message);
      EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
    }
  }
}

TEST(OptionParser, HelpWinsAndListsEveryOption) {
  bool set = false;
  OptionParser p("run", "--out DIR [options]", "Does the run.");
  p.section("Inputs");
  p.value(
      "band", "F", "tick a band box", [&](const std::string&) { set = true; }, true);
  p.flag("windom", "classic WINDOM", [&] { set = true; });
  p.epilogue("Exit status: 0 ok");
  std::ostringstream help;
  // --help is honoured even behind a bad option, and nothing is set.
  EXPECT_FALSE(p.parse({"--band", "14", "--bogus", "--help"}, help));
  EXPECT_FALSE(set);
  const std::string h = help.str();
  EXPECT_EQ(h.rfind("Usage: lorvant-calc run --out DIR [options]\n\nDoes the run.\n", 0), 0u) << h;
  EXPECT_NE(h.find("Inputs:\n  --band F"), std::string::npos);
  EXPECT_NE(h.find("tick a band box (repeatable)"), std::string::npos);
  EXPECT_NE(h.find("  --windom"), std::string::npos);
  EXPECT_NE(h.find("  --help"), std::string::npos);
  EXPECT_NE(h.find("Exit status: 0 ok\n"), std::string::npos);
  std::istringstream lines(h);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 79u) << line;
}

TEST(ValueChecks, ChoicesBandsAndFields) {
  EXPECT_EQ(Choice("ssb", {{"cw", 0}, {"ssb", 1}}), 1);
  EXPECT_THROW(Choice("SSB", {{"cw", 0}, {"ssb", 1}}), UsageError);
  EXPECT_TRUE(YesNo("yes"));
  EXPECT_FALSE(YesNo("no"));
  EXPECT_THROW(YesNo("ja"), UsageError);

  EXPECT_EQ(BandIndexFromText("1.8"), 0);
  EXPECT_EQ(BandIndexFromText("3,5"), 1);
  EXPECT_EQ(BandIndexFromText("7.0"), 3);
  EXPECT_EQ(BandIndexFromText("24"), 8);
  EXPECT_EQ(BandIndexFromText("24.9"), 8);
  EXPECT_EQ(BandIndexFromText("50"), 10);
  for (const char* bad : {"", "1.9", "144", "14.0.", "7 "}) EXPECT_THROW(BandIndexFromText(bad), UsageError) << bad;

  EXPECT_EQ(FieldText("", kWholeKeys, 4), "");
  EXPECT_EQ(FieldText("1234", kWholeKeys, 4), "1234");
  EXPECT_THROW(FieldText("12345", kWholeKeys, 4), UsageError);
  EXPECT_THROW(FieldText("4,5", kWholeKeys, 4), UsageError);
  EXPECT_THROW(FieldText("-1", kDecimalKeys, 0), UsageError);
}

TEST(SharedOptions, DefaultsFollowTheSeparatorAndBandsCannotBeBoth) {
  SharedInputs s;
  OptionParser p("x", "", "");
  s.addTo(p, kOptAllShared);
  std::ostringstream help;
  ASSERT_TRUE(p.parse({"--decimal-separator", ",", "--band", "14", "--grey-band", "21", "--band", "14"}, help));
  EXPECT_EQ(s.frequencyText(), "14,2");
  EXPECT_EQ(s.minSumText(), "0,4");
  EXPECT_EQ(s.vkText(), "0,95");  // the form's design text, whatever the locale
  EXPECT_EQ(s.halfWavesText(), "4");
  EXPECT_EQ(s.segment(), Segment::Centre);
  EXPECT_EQ(s.bands(), Boxes({0, 0, 0, 0, 0, 1, 0, 2, 0, 0, 0}));

  SharedInputs t;
  OptionParser q("x", "", "");
  t.addTo(q, kOptAllShared);
  ASSERT_TRUE(q.parse({"--decimal-separator", ".", "--segment", "cw", "--length-mode", "highest-lowest", "--language",
                       "en", "--date", "heute"},
                      help));
  EXPECT_EQ(t.frequencyText(), "14.2");
  EXPECT_EQ(t.minSumText(), "0.4");
  EXPECT_EQ(t.segment(), Segment::Cw);
  EXPECT_EQ(t.lengthMode(), LengthMode::HighestLowest);
  EXPECT_EQ(t.language(), Language::English);
  EXPECT_EQ(t.dateText(), "heute");

  for (const Args& bad : {Args{"--band", "14", "--grey-band", "14"}, Args{"--vk", "0"}, Args{"--vk", "1,2"},
                          Args{"--min-sum", "1,5"}, Args{"--min-sum", "0"}, Args{"--decimal-separator", ";"},
                          Args{"--language", "fr"}, Args{"--halfwaves", "~4"}}) {
    SharedInputs u;
    OptionParser r("x", "", "");
    u.addTo(r, kOptAllShared);
    EXPECT_THROW(r.parse(bad, help), UsageError) << bad[0] << ' ' << bad[1];
  }
}

TEST(JsonWriter, NestingNumbersAndEscapes) {
  JsonWriter j;
  j.beginObject();
  j.key("f").value(14.2f).key("d").value(0.1).key("i").value(-3).key("b").value(true);
  j.key("nan").value(std::numeric_limits<double>::quiet_NaN());
  j.key("inf").value(std::numeric_limits<float>::infinity());
  j.key("n").null();
  j.key("list").beginArray().value(1).beginObject().key("x").value(2.5).endObject().beginArray().endArray().endArray();
  j.key("s").value("Länge \"L\"\r\n\ttab\\ \x01");
  j.endObject();
  EXPECT_EQ(j.str(),
            "{\"f\":14.2,\"d\":0.1,\"i\":-3,\"b\":true,\"nan\":null,\"inf\":null,\"n\":null,"
            "\"list\":[1,{\"x\":2.5},[]],\"s\":\"Länge \\\"L\\\"\\r\\n\\ttab\\\\ \\u0001\"}");

  // Qt reads it back with the same values.
  const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(j.str())).object();
  EXPECT_EQ(static_cast<float>(o.value("f").toDouble()), 14.2f);
  EXPECT_EQ(o.value("d").toDouble(), 0.1);
  EXPECT_EQ(o.value("s").toString().toStdString(), "Länge \"L\"\r\n\ttab\\ \x01");
  EXPECT_EQ(o.value("list").toArray().size(), 3);
}

TEST(JsonWriter, MalformedUtf8BecomesReplacementCharacters) {
  // A lone continuation byte, a cut sequence, an overlong slash, a surrogate,
  // and a Windows-1252 "Ø" that never became UTF-8.
  EXPECT_EQ(JsonString("a\x80"
                       "b"),
            "\"a\\ufffdb\"");
  EXPECT_EQ(JsonString("\xC3"), "\"\\ufffd\"");
  EXPECT_EQ(JsonString("\xC0\xAF"), "\"\\ufffd\\ufffd\"");
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
  EXPECT_EQ(JsonString("\xD8 mm"), "\"\\ufffd mm\"");
  // Well-formed text of every length passes as it is.
  EXPECT_EQ(JsonString("Ø ² \u2014 \U0001F4E1"), "\"Ø ² \u2014 \U0001F4E1\"");
}

}  // namespace
}  // namespace lorvant::cli
