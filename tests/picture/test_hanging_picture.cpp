// The drawing of the hanging wire: both views at one scale, the apex and
// the feed point where the corners put them, the spans and heights written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "picture/hanging_picture.h"

namespace lorvant::nec {
namespace {

constexpr double kWidth = 420, kHeight = 120;

bool HasText(const HangingPicture& p, const std::string& text) {
  return std::any_of(p.texts.begin(), p.texts.end(), [&](const PlotText& t) { return t.text == text; });
}

// An inverted V: ends 4 m up, the apex 10 m up, 8 m out from the start,
// the second leg 12 m further on in a straight line.
TEST(HangingPicture, AnInvertedVShowsItsApexHeightsAndSpansToScale) {
  Hanging h;
  h.startHeight = h.endHeight = 4;
  h.apex = Apex{10, std::nullopt};
  const std::vector<Point> corners = {{0, 0, 4}, {8, 0, 10}, {20, 0, 4}};
  const HangingPicture p = MakeHangingPicture(h, corners, corners[1], kWidth, kHeight, Language::German, ',');
  ASSERT_EQ(p.side.wire.size(), 3u);
  ASSERT_TRUE(p.side.apex && p.top.apex);
  EXPECT_EQ(p.side.apex->x, p.side.wire[1].x);
  EXPECT_NEAR(p.side.feed.x, p.side.apex->x, 1e-9);
  EXPECT_NEAR(p.side.feed.y, p.side.apex->y, 1e-9);
  // Metres become pixels at one scale: across, up, and in the top view.
  EXPECT_NEAR(p.side.wire[1].x - p.side.wire[0].x, 8 * p.scale, 1e-9);
  EXPECT_NEAR(p.side.wire[0].y - p.side.wire[1].y, 6 * p.scale, 1e-9);
  EXPECT_NEAR(p.ground.from.y - p.side.wire[0].y, 4 * p.scale, 1e-9);
  EXPECT_NEAR(p.top.wire[2].x - p.top.wire[0].x, 20 * p.scale, 1e-9);
  EXPECT_EQ(p.top.wire[0].y, p.top.wire[2].y);
  for (const HangingView* v : {&p.side, &p.top})
    for (const PlotPoint& c : v->wire) {
      EXPECT_TRUE(c.x >= 0 && c.x <= kWidth && c.y >= 0 && c.y <= kHeight) << c.x << ", " << c.y;
    }
  // The side view left of the top view.
  EXPECT_LT(p.side.wire[2].x, p.top.wire[0].x);
  for (const char* text : {"Seitenansicht", "Draufsicht", "4,0 m", "10,0 m", "8,0 m", "12,0 m"})
    EXPECT_TRUE(HasText(p, text)) << text;
  EXPECT_TRUE(HasText(MakeHangingPicture(h, corners, corners[1], kWidth, kHeight, Language::English, '.'), "12.0 m"));
}

// A flat L bent at a right angle at the feed point: the top view shows the
// angle, the side view unrolls both legs at one height; no apex.
TEST(HangingPicture, AnLIsUnrolledInTheSideViewAndBentInTheTopView) {
  Hanging h;
  h.startHeight = h.endHeight = 10;
  h.planAngle = 90;
  const std::vector<Point> corners = {{0, 0, 10}, {15, 0, 10}, {15, 10, 10}};
  const Point feed{6, 0, 10};
  const HangingPicture p = MakeHangingPicture(h, corners, feed, kWidth, kHeight, Language::English, '.');
  EXPECT_FALSE(p.side.apex || p.top.apex);
  EXPECT_NEAR(p.side.wire[2].x - p.side.wire[0].x, 25 * p.scale, 1e-9);
  EXPECT_EQ(p.side.wire[0].y, p.side.wire[2].y);
  // The second leg runs up the screen, at right angles to the first.
  EXPECT_NEAR(p.top.wire[2].x, p.top.wire[1].x, 1e-9);
  EXPECT_NEAR(p.top.wire[1].y - p.top.wire[2].y, 10 * p.scale, 1e-9);
  EXPECT_NEAR(p.top.feed.x - p.top.wire[0].x, 6 * p.scale, 1e-9);
  EXPECT_NEAR(p.side.feed.x - p.side.wire[0].x, 6 * p.scale, 1e-9);
  EXPECT_TRUE(HasText(p, "90\xC2\xB0"));
  // A feed point on the second leg is found there in the unrolled view.
  const HangingPicture later = MakeHangingPicture(h, corners, {15, 4, 10}, kWidth, kHeight, Language::English, '.');
  EXPECT_NEAR(later.side.feed.x - later.side.wire[0].x, 19 * later.scale, 1e-9);
}

}  // namespace
}  // namespace lorvant::nec
