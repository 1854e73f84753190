// NecCheck.txt's part on the air: the far-field table's columns with the
// locale's separator, the feed line's line by ground and choke, and the
// recommendation's three outcomes, in both languages.
#include <gtest/gtest.h>

#include <sstream>

#include "text/format.h"
#include "text/reports/neccheck.h"
#include "text/reports/neccheck_air.h"

namespace lorvant::report {
namespace {

NecCheckReport Report(Language lang, char sep, nec::Ground ground) {
  NecCheckReport r;
  r.language = lang;
  r.sep = sep;
  r.ground = ground;
  nec::AirResult air;
  air.patterns = true;
  air.feedline = nec::Feedline{6, 0};
  nec::PatternSummary p;
  p.gainDbi = 7.39;
  p.elevation = 28;
  p.azimuth = 90;
  p.gainAt = {2.52, 6.9, -999.99};
  p.efficiency = 0.736;
  air.bands.push_back({5, p, 0.534});
  air.bands.push_back({9, std::nullopt, 0.0349});
  air.chokeRecommendation = 5000;
  air.chokeSearched = true;
  r.air = air;
  return r;
}

std::vector<std::string> Fields(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> f;
  for (std::string w; in >> w;) f.push_back(w);
  return f;
}

TEST(NecCheckAir, ThePatternRowAndTheCommonModeLineInBothLanguages) {
  for (const char sep : {',', '.'}) {
    const std::vector<std::string> en = AirLines(Report(Language::English, sep, nec::Ground::Average));
    const std::string s(1, sep);
    // A blank line, the title, the heading, the rule, one row (28 MHz has no
    // pattern), two notes; a blank line, the feed line, the shares, the choke.
    ASSERT_EQ(en.size(), 11u);
    EXPECT_TRUE(en[0].empty());
    EXPECT_EQ(Fields(en[4]), (std::vector<std::string>{"14", "MHz", "7" + s + "4", "28", "90", "2" + s + "5",
                                                       "6" + s + "9", "<-99", "73" + s + "6"}));
    EXPECT_EQ(CharCount(en[3]), CharCount(en[2])) << "the rule as wide as the heading";
    EXPECT_EQ(en[8], "Feed line: shield 6 mm from the source segment's end towards the wire's end straight down to 0" +
                         s + "1 m above the ground; no choke.");
    EXPECT_EQ(en[9], "Common-mode current on the shield (share of the feed current): 14 MHz 53 %, 28 MHz 3 %");
    EXPECT_EQ(en[10], "Choke recommended: 5000 ohm (keeps every band under 10 %).");
    const std::vector<std::string> de = AirLines(Report(Language::German, sep, nec::Ground::Average));
    ASSERT_EQ(de.size(), en.size());
    EXPECT_EQ(de[4], en[4]) << "the row reads the same";
    EXPECT_EQ(de[10], "Empfohlene Mantelwellensperre: 5000 Ohm (hält jedes Band unter 10 %).");
  }
}

TEST(NecCheckAir, TheGroundTheChokeAndTheSearchChangeTheirLines) {
  NecCheckReport r = Report(Language::English, '.', nec::Ground::Perfect);
  r.air->feedline->chokeOhms = 1000;
  r.air->chokeRecommendation.reset();
  std::vector<std::string> lines = AirLines(r);
  EXPECT_NE(lines[6].find("power budget"), std::string::npos) << "perfect ground: the budget's efficiency";
  EXPECT_NE(lines[8].find("to the perfect ground (earthed); choke 1000 Ohm."), std::string::npos) << lines[8];
  EXPECT_EQ(lines[10], "No choke up to 10000 ohm keeps every band under 10 %.");
  r.ground = nec::Ground::FreeSpace;
  r.air->chokeSearched = false;
  lines = AirLines(r);
  EXPECT_NE(lines[8].find("to 0.1 m above height 0 (no ground)"), std::string::npos) << lines[8];
  EXPECT_EQ(lines[10], "Choke: not found (nec2c did not complete).");

  r.air->patterns = false;
  EXPECT_EQ(AirLines(r).size(), 4u) << "the feed line alone";
  r.air.reset();
  EXPECT_TRUE(AirLines(r).empty());
  EXPECT_EQ(ShareText(0.125), "13 %");
}

}  // namespace
}  // namespace lorvant::report
