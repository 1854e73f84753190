// The polar pictures of a band's far field: where the cut's curve and the
// rings stand, the labels in the reader's separator and the SVG in the
// point, and the files' names beside the batch tool's --picture.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <regex>
#include <string>

#include "picture/SwrRaster.h"
#include "picture/polar_picture.h"

namespace lorvant::nec {
namespace {

// 7 MHz (band 3): 8.4 dBi at 28 degrees towards azimuth 90, 10 dB less at
// the zenith, nothing at the horizon ahead; round the horizon at 28 degrees
// 8.4 dBi at 90 and 2.4 dBi at 0.
BandAir SevenMhz() {
  BandAir b;
  b.band = 3;
  PatternSummary s;
  s.gainDbi = 8.4;
  s.elevation = 28;
  s.azimuth = 90;
  b.pattern = s;
  b.cuts.elevation = {{0, -999.99}, {28, 8.4}, {90, -1.6}, {152, 5.4}, {180, -999.99}};
  b.cuts.azimuth = {{0, 2.4}, {90, 8.4}, {180, 2.4}, {270, 8.4}};
  return b;
}

bool HasText(const SwrPicture& p, const std::string& text) {
  for (const PlotText& t : p.texts)
    if (t.text == text) return true;
  return false;
}

std::string TitleOf(const SwrPicture& p) { return p.texts.at(0).text; }

TEST(PolarPicture, TheElevationCutStandsOnTheHorizonWithTheMaximumOnTheRim) {
  const SwrPicture p = MakePolarPicture(SevenMhz(), PolarCut::Elevation, 0, Language::German, ',');
  ASSERT_FALSE(p.curves.empty());
  const PlotCurve& cut = p.curves.back();
  ASSERT_EQ(cut.points.size(), 5u);
  // The horizon's "no field" at the centre on both sides.
  const PlotPoint centre = cut.points[0];
  EXPECT_DOUBLE_EQ(cut.points[4].x, centre.x);
  EXPECT_DOUBLE_EQ(cut.points[4].y, centre.y);
  const double rim = std::hypot(cut.points[1].x - centre.x, cut.points[1].y - centre.y);
  EXPECT_GT(rim, 100);
  // Ahead to the right, above the horizon (y downwards), at 28 degrees.
  EXPECT_NEAR(std::atan2(centre.y - cut.points[1].y, cut.points[1].x - centre.x) * 180 / std::numbers::pi, 28, 1e-9);
  // The zenith 10 dB down stands straight up on the -10 dB ring, a third of
  // the way in; the lobe behind at 3 dB down, to the left.
  EXPECT_NEAR(cut.points[2].x, centre.x, 1e-9);
  EXPECT_NEAR(centre.y - cut.points[2].y, rim * (1 - 10 / kPolarDepth), 1e-9);
  EXPECT_LT(cut.points[3].x, centre.x);
  EXPECT_NEAR(std::hypot(cut.points[3].x - centre.x, cut.points[3].y - centre.y), rim * (1 - 3 / kPolarDepth), 1e-9);
  // A half circle: nothing drawn below the horizon.
  for (const PlotCurve& c : p.curves)
    for (const PlotPoint& at : c.points) EXPECT_LE(at.y, centre.y + 1e-9);
  EXPECT_EQ(p.dots.size(), 1u);

  // The rings in dBi with the reader's comma.
  for (const char* ring : {"8,4", "5,4", "2,4", "-1,6", "-11,6", "dBi"}) EXPECT_TRUE(HasText(p, ring)) << ring;
  EXPECT_EQ(TitleOf(p), "7 MHz: max. 8,4 dBi bei 28\xc2\xb0 Erhebung, Azimut 90\xc2\xb0");
  EXPECT_TRUE(HasText(p, "Vertikalschnitt in Azimut 90\xc2\xb0 und 270\xc2\xb0"));
}

TEST(PolarPicture, TheAzimuthCutIsAClosedCircleAtTheTakeOffAngle) {
  const SwrPicture p = MakePolarPicture(SevenMhz(), PolarCut::Azimuth, 0, Language::English, '.');
  const PlotCurve& cut = p.curves.back();
  ASSERT_EQ(cut.points.size(), 5u) << "back to where it started";
  EXPECT_DOUBLE_EQ(cut.points[4].x, cut.points[0].x);
  EXPECT_DOUBLE_EQ(cut.points[4].y, cut.points[0].y);
  // 90 and 270 on the rim above and below the centre, 0 and 180 6 dB down.
  const double centreY = (cut.points[1].y + cut.points[3].y) / 2;
  const double rim = (cut.points[3].y - cut.points[1].y) / 2;
  EXPECT_NEAR(cut.points[1].x, cut.points[3].x, 1e-9);
  EXPECT_NEAR(cut.points[0].x - cut.points[2].x, 2 * rim * (1 - 6 / kPolarDepth), 1e-9);
  EXPECT_NEAR(cut.points[0].y, centreY, 1e-9);
  EXPECT_GT(p.height, 2 * rim) << "the whole circle is in the picture";
  EXPECT_TRUE(HasText(p, "Azimuth cut at 28\xc2\xb0 elevation"));
  EXPECT_EQ(TitleOf(p), "7 MHz: max 8.4 dBi at 28\xc2\xb0 elevation, azimuth 90\xc2\xb0");
  EXPECT_TRUE(HasText(p, "8.4 dBi") && HasText(p, "-11.6"));
}

TEST(PolarPicture, ABandWithoutAPatternHasNoPicture) {
  BandAir b = SevenMhz();
  b.pattern.reset();
  const SwrPicture p = MakePolarPicture(b, PolarCut::Elevation, 0, Language::English, '.');
  EXPECT_EQ(p.width, 0);
  EXPECT_TRUE(p.curves.empty());
}

TEST(PolarPicture, TheFilesAreNamedBesideTheGivenOneInItsTypeWithPointNumbers) {
  EXPECT_EQ(PolarPictureName("/tmp/out/Check.svg", 3, 0, PolarCut::Elevation), "/tmp/out/Check-7MHz-elevation.svg");
  EXPECT_EQ(PolarPictureName("a.b/air.PNG", 1, 0, PolarCut::Azimuth), "a.b/air-3.5MHz-azimuth.PNG");

  AirResult air;
  air.patterns = true;
  air.bands = {SevenMhz(), SevenMhz()};
  air.bands[1].band = 5;
  air.bands.push_back(SevenMhz());
  air.bands[2].band = 7;
  air.bands[2].pattern.reset();  // a band without one is left out
  const auto svg = PolarPictureFiles(air, "/x/p.svg", 0, Language::German, ',');
  ASSERT_EQ(svg.size(), 4u);
  EXPECT_EQ(svg[0].first, "/x/p-7MHz-elevation.svg");
  EXPECT_EQ(svg[1].first, "/x/p-7MHz-azimuth.svg");
  EXPECT_EQ(svg[3].first, "/x/p-14MHz-azimuth.svg");
  const std::string& text = svg[0].second;
  EXPECT_EQ(text.rfind("<?xml", 0), 0u);
  EXPECT_NE(text.find(">8,4</text>"), std::string::npos) << "the reader's comma in the labels";
  // Every number of the geometry with the point.
  const std::regex attribute(R"re( (x|y|x1|y1|x2|y2|cx|cy|r|width|height|font-size|stroke-width)="([^"]*)")re");
  int numbers = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), attribute); it != std::sregex_iterator(); ++it) {
    EXPECT_EQ((*it)[2].str().find(','), std::string::npos) << (*it)[0];
    ++numbers;
  }
  EXPECT_GT(numbers, 50);
  const std::regex points(R"re(points="([^"]*)")re");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), points); it != std::sregex_iterator(); ++it)
    EXPECT_TRUE(std::regex_match((*it)[1].str(), std::regex(R"(-?\d+\.\d\d,-?\d+\.\d\d( -?\d+\.\d\d,-?\d+\.\d\d)*)")));

  const auto png = PolarPictureFiles(air, "/x/p.png", 0, Language::English, '.');
  ASSERT_EQ(png.size(), 4u);
  EXPECT_EQ(png[2].first, "/x/p-14MHz-elevation.png");
  EXPECT_EQ(png[2].second.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

}  // namespace
}  // namespace lorvant::nec
