// A measured sweep's refusals and table as a person reads them, in both
// languages and separators.
#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "text/measured_texts.h"

namespace lorvant::sweep {
namespace {

TEST(MeasuredTexts, ARefusalNamesTheFileTheLineAndAQuotedWord) {
  const SweepError e(Fault::NotANumber, 12,
                     "\x01"
                     "ab\xC3\xBC");
  EXPECT_EQ(SweepErrorText(e, "ant.s1p", Language::English),
            "The measurement cannot be read: ant.s1p, line 12: not a number: '?ab?\?'");
  EXPECT_EQ(SweepErrorText(e, "ant.s1p", Language::German),
            "Die Messung kann nicht gelesen werden: ant.s1p, Zeile 12: keine Zahl: '?ab?\?'");
  // A file without any line has no line to name.
  EXPECT_EQ(SweepErrorText(SweepError(Fault::NoData, 0), "e.csv", Language::English),
            "The measurement cannot be read: e.csv: the file holds no measured values");
  EXPECT_EQ(SweepErrorText(SweepError(Fault::WrongWidth, 4, {}, 3, 9), "x.s1p", Language::English),
            "The measurement cannot be read: x.s1p, line 4: expected are 3 values, the line has 9");
}

TEST(MeasuredTexts, EveryFaultHasItsOwnReasonInBothLanguages) {
  const Fault all[] = {Fault::NoData,    Fault::WrongWidth, Fault::NotANumber, Fault::NotFinite, Fault::NotPositive,
                       Fault::NotRising, Fault::Parameter,  Fault::Option,     Fault::Reference, Fault::OptionAfterData,
                       Fault::Header,    Fault::Unit,       Fault::SwrBelowOne};
  std::set<std::string> seen;
  for (const Fault f : all) {
    const SweepError e(f, 2, "w");
    const std::string de = SweepErrorText(e, "f", Language::German), en = SweepErrorText(e, "f", Language::English);
    EXPECT_NE(de, en);
    EXPECT_TRUE(seen.insert(en).second) << en;
  }
}

std::vector<BandFinding> Findings() {
  BandFinding b40{kBand7, 7.0f, 21, std::vector<double>{7.0512, 7.1804}, 1.2549, 7.12};
  BandFinding b20{kBand14, 14.0f, 3, std::vector<double>{}, std::numeric_limits<double>::infinity(), 14.0};
  BandFinding b15{kBand21, 21.0f, 2, std::nullopt, 1.3, 21.2};
  return {b40, b20, b15};
}

TEST(MeasuredTexts, TheTableShowsEveryBandInTheSeparatorAndLanguage) {
  const std::vector<std::string> de = MeasuredTable("ant.s1p", 61, Findings(), Language::German, ',');
  ASSERT_EQ(de.size(), 5u);
  EXPECT_EQ(de[0], "Messung: ant.s1p, 61 Punkte");
  EXPECT_EQ(de[1].rfind("Band", 0), 0u);
  EXPECT_NE(de[1].find("Resonanz (X = 0)"), std::string::npos);
  EXPECT_EQ(de[2], "7 MHz     7,051 MHz  7,180 MHz      1,25            7,120 MHz");
  EXPECT_NE(de[3].find("keine"), std::string::npos);
  EXPECT_NE(de[3].find("unendlich"), std::string::npos);
  EXPECT_NE(de[4].find("nur SWV gemessen"), std::string::npos);

  const std::vector<std::string> en = MeasuredTable("ant.s1p", 61, Findings(), Language::English, '.');
  EXPECT_EQ(en[0], "Measurement: ant.s1p, 61 points");
  EXPECT_EQ(en[2], "7 MHz     7.051 MHz  7.180 MHz      1.25            7.120 MHz");
  EXPECT_NE(en[3].find("none"), std::string::npos);
  EXPECT_NE(en[4].find("SWR only"), std::string::npos);

  const std::vector<std::string> none = MeasuredTable("hf.csv", 3, {}, Language::English, '.');
  EXPECT_EQ(none, (std::vector<std::string>{"Measurement: hf.csv, 3 points",
                                            "No amateur band holds two points of the measurement."}));
}

}  // namespace
}  // namespace lorvant::sweep
