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

}  // namespace
}  // namespace lorvant::nec
