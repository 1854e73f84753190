// The SWR picture's geometry: where the curves and the marked lines stand,
// and the SVG written from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "picture/SwrRaster.h"
#include "picture/swr_picture.h"
#include "tests/session/run_support.h"

namespace lorvant::nec {
namespace {

SolvedFrequency At(int band, double mhz, double swr) { return {band, mhz, {50, 0}, swr}; }

// 7 MHz (band 3) swept at its edges and centre, 14 MHz (band 5) at its own
// frequency only.
Result TwoBands() {
  Result r;
  r.balunRatio = 4;
  r.bands.push_back({At(3, 7.1, 2.0), std::nullopt});
  r.bands.push_back({At(5, 14.2, 9.0), std::nullopt});
  r.sweep = {At(3, 7.0, 3.0), At(3, 7.2, std::numeric_limits<double>::infinity())};
  return r;
}

const PlotLine& MarkedLine(const SwrPicture& p, std::size_t panel, PlotColour colour) {
  std::size_t seen = 0;
  for (const PlotLine& l : p.lines)
    if (l.dashed && l.colour.r == colour.r && l.colour.g == colour.g && seen++ == panel) return l;
  throw std::runtime_error("no marked line");
}

TEST(NecPlot, OneCurvePerBandAcrossItsEdgesWithTheMarkedLines) {
  const SwrPicture p = MakeSwrPicture(TwoBands(), 0, Language::English, '.');
  ASSERT_EQ(p.curves.size(), 2u);
  const std::vector<PlotPoint>& forty = p.curves[0].points;
  ASSERT_EQ(forty.size(), 3u);
  // In the order of frequency: the band edges are the panel's ends.
  EXPECT_LT(forty[0].x, forty[1].x);
  EXPECT_LT(forty[1].x, forty[2].x);
  const PlotLine two = MarkedLine(p, 0, {0, 140, 0});
  const PlotLine three = MarkedLine(p, 0, {200, 0, 0});
  EXPECT_DOUBLE_EQ(forty[0].x, two.from.x);
  EXPECT_DOUBLE_EQ(forty[2].x, two.to.x);
  EXPECT_NEAR((forty[1].x - two.from.x) / (two.to.x - two.from.x), 0.5, 1e-9);
  // SWR 3 at 7.0 MHz on the 3:1 line, 2 at 7.1 MHz on the 2:1 line, the
  // infinite SWR at the scale's top.
  EXPECT_DOUBLE_EQ(forty[0].y, three.from.y);
  EXPECT_DOUBLE_EQ(forty[1].y, two.from.y);
  EXPECT_LT(forty[2].y, three.from.y);
  EXPECT_DOUBLE_EQ(forty[2].y, p.curves[1].points[0].y);  // 9:1 stands at the top as well

  // The second panel lies right of the first, its 3:1 line above its 2:1.
  EXPECT_GT(MarkedLine(p, 1, {0, 140, 0}).from.x, two.to.x);
  EXPECT_LT(MarkedLine(p, 1, {200, 0, 0}).from.y, MarkedLine(p, 1, {0, 140, 0}).from.y);

  // The check's region gives the edges: in Region 2 the band reaches 7.3 MHz
  // and 7.1 MHz stands a third of the way across.
  Result americas = TwoBands();
  americas.region = Region::Two;
  const SwrPicture wider = MakeSwrPicture(americas, 0, Language::English, '.');
  const PlotLine edges = MarkedLine(wider, 0, {0, 140, 0});
  EXPECT_NEAR((wider.curves[0].points[1].x - edges.from.x) / (edges.to.x - edges.from.x), 1.0 / 3, 1e-9);
}

TEST(NecPlot, SvgHoldsEveryPartWithItsLabels) {
  const SwrPicture p = MakeSwrPicture(TwoBands(), 0, Language::German, ',');
  const std::string svg = SwrPictureSvg(p);
  const auto count = [&svg](const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_EQ(count("<polyline"), 2u);
  EXPECT_EQ(count("<circle"), 4u);
  EXPECT_EQ(count("<line"), p.lines.size());
  EXPECT_EQ(count(">2:1</text>"), 2u);
  EXPECT_EQ(count(">3:1</text>"), 2u);
  EXPECT_EQ(count(">7 MHz</text>"), 1u);
  EXPECT_EQ(count(">14 MHz</text>"), 1u);
  EXPECT_NE(svg.find(">SWV auf 50 Ohm mit Balun 4:1</text>"), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

// The program's window runs under the desktop's locale, where printf's
// numbers take a comma; SVG takes the point all the same.
TEST(NecPlot, SvgNumbersTakeThePointUnderAGermanLocale) {
  const test::TempFolder locales;
  const std::string make = "localedef -i de_DE -f UTF-8 '" + locales.file("de_DE.UTF-8").string() + "' >/dev/null 2>&1";
  const char* oldPath = std::getenv("LOCPATH");
  ::setenv("LOCPATH", locales.path().c_str(), 1);
  const bool german = std::system(make.c_str()) == 0 && std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  const SwrPicture p = MakeSwrPicture(TwoBands(), 0, Language::German, ',');
  const std::string svg = SwrPictureSvg(p);
  std::setlocale(LC_NUMERIC, "C");
  if (oldPath)
    ::setenv("LOCPATH", oldPath, 1);
  else
    ::unsetenv("LOCPATH");
  if (!german) GTEST_SKIP() << "no German locale could be made (localedef, de_DE)";

  const std::size_t at = svg.find(" width=\"");
  ASSERT_NE(at, std::string::npos);
  const std::string width = svg.substr(at + 8, svg.find('"', at + 8) - at - 8);
  EXPECT_EQ(width.find(','), std::string::npos) << width;
  EXPECT_NE(width.find('.'), std::string::npos) << width;
  // Every point of a curve is "x,y" with a point in each number.
  for (std::size_t from = svg.find("points=\""); from != std::string::npos; from = svg.find("points=\"", from + 1)) {
    const std::size_t end = svg.find('"', from + 8);
    std::istringstream pairs(svg.substr(from + 8, end - from - 8));
    for (std::string pair; pairs >> pair;) {
      EXPECT_EQ(std::count(pair.begin(), pair.end(), ','), 1) << pair;
      EXPECT_EQ(std::count(pair.begin(), pair.end(), '.'), 2) << pair;
    }
  }
}

TEST(NecPlot, AMeasuredSweepIsADashedCurveOverEachPanelWithALegend) {
  const SwrPicture plain = MakeSwrPicture(TwoBands(), 0, Language::German, ',');
  // Points below, inside and above the 7 MHz band, one in the 14 MHz band.
  const sweep::Sweep measured = {{6.9, std::nullopt, 4}, {7.0, std::nullopt, 1}, {7.1, std::nullopt, 2},
                                 {7.2, std::nullopt, 3}, {7.3, std::nullopt, 4}, {14.1, std::nullopt, 5}};
  const SwrPicture p = MakeSwrPicture(TwoBands(), 0, Language::German, ',', &measured);
  ASSERT_EQ(p.curves.size(), 4u);
  EXPECT_GT(p.height, plain.height);
  const PlotCurve& model7 = p.curves[0];
  const PlotCurve& seven = p.curves[1];
  EXPECT_FALSE(model7.dashed);
  EXPECT_TRUE(seven.dashed);
  ASSERT_EQ(seven.points.size(), 3u);  // only the band's own range
  // The same scale as the model's: its 7.0 MHz point at SWR 3, the edge.
  EXPECT_DOUBLE_EQ(seven.points[0].x, model7.points[0].x);
  EXPECT_DOUBLE_EQ(seven.points[1].y, model7.points[1].y);  // both 2 at 7.1 MHz
  EXPECT_GT(seven.points[0].y, model7.points[0].y);         // SWR 1 stands lower than 3
  EXPECT_EQ(p.curves[3].points.size(), 1u);
  EXPECT_TRUE(p.curves[3].dashed);
  const auto names = [&p](const std::string& t) {
    return std::any_of(p.texts.begin(), p.texts.end(), [&](const PlotText& x) { return x.text == t; });
  };
  EXPECT_TRUE(names("gemessen"));
  EXPECT_TRUE(names("Modell (NEC-2)"));
  EXPECT_FALSE(
      std::any_of(plain.texts.begin(), plain.texts.end(), [](const PlotText& x) { return x.text == "gemessen"; }));
  const std::string svg = SwrPictureSvg(p);
  EXPECT_NE(svg.find("stroke-dasharray=\"6 4\" points="), std::string::npos);

  // The raster leaves the gaps between the dashes: along a level dashed
  // curve some pixels carry its colour and some stay white.
  SwrPicture level;
  level.width = 100;
  level.height = 20;
  level.curves.push_back({{{5, 10}, {95, 10}}, {230, 90, 0}, 2, true});
  const RgbImage image = RasteriseSwrPicture(level);
  int coloured = 0, white = 0;
  for (int x = 10; x < 90; ++x) {
    const std::size_t at = (static_cast<std::size_t>(10) * 100 + static_cast<std::size_t>(x)) * 3;
    if (image.rgb[at] > 200 && image.rgb[at + 2] < 60) ++coloured;
    if (image.rgb[at] == 255 && image.rgb[at + 1] == 255 && image.rgb[at + 2] == 255) ++white;
  }
  EXPECT_NEAR(coloured, 48, 8);  // six of every ten pixels
  EXPECT_NEAR(white, 32, 8);
}

}  // namespace
}  // namespace lorvant::nec
