// How the wire hangs: its corners from the heights, the apex and the plan
// angle, points along it, and the values that cannot hang.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/nec/hanging.h"
#include "text/nec_texts.h"

namespace lorvant::nec {
namespace {

double Distance(const Point& a, const Point& b) { return std::hypot(b.x - a.x, b.y - a.y, b.z - a.z); }

// The legs' lengths in space add up to the wire's length along it.
double AlongLength(const std::vector<Point>& corners) {
  double sum = 0;
  for (std::size_t i = 1; i < corners.size(); ++i) sum += Distance(corners[i - 1], corners[i]);
  return sum;
}

TEST(Hanging, CornersOfEachShape) {
  // Flat and straight: two corners, 40 m along +x.
  Hanging flat;
  EXPECT_EQ(ShapeOf(flat), Shape::Flat);
  std::vector<Point> c = HangingPoints(flat, 40, 13);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c[0], (Point{0, 0, 10}));
  EXPECT_EQ(c[1], (Point{40, 0, 10}));

  // A sloper of 50 m falling 30 m spans 40 m.
  Hanging sloper{35, 5, std::nullopt, 180};
  EXPECT_EQ(ShapeOf(sloper), Shape::Sloper);
  c = HangingPoints(sloper, 50, 20);
  ASSERT_EQ(c.size(), 2u);
  EXPECT_NEAR(c[1].x, 40, 1e-12);
  EXPECT_EQ(c[1].z, 5);

  // An inverted-V with its apex at the feed point: 13 m up 3 m, 27 m down 6 m.
  Hanging vee{7, 4, Apex{10, {}}, 180};
  EXPECT_EQ(ShapeOf(vee), Shape::InvertedV);
  EXPECT_EQ(BendAt(vee, 13), 13);
  c = HangingPoints(vee, 40, 13);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_NEAR(c[1].x, std::sqrt(13.0 * 13 - 9), 1e-12);
  EXPECT_EQ(c[1].z, 10);
  EXPECT_NEAR(c[2].x, c[1].x + std::sqrt(27.0 * 27 - 36), 1e-12);
  EXPECT_NEAR(c[2].y, 0, 1e-12);
  EXPECT_NEAR(AlongLength(c), 40, 1e-9);

  // An apex placed elsewhere, bent to an L: the second leg runs along +y.
  vee.apex->at = 20;
  vee.planAngle = 90;
  EXPECT_EQ(BendAt(vee, 13), 20);
  c = HangingPoints(vee, 40, 13);
  EXPECT_NEAR(c[1].x, std::sqrt(20.0 * 20 - 9), 1e-12);
  EXPECT_NEAR(c[2].x, c[1].x, 1e-9);
  EXPECT_NEAR(c[2].y, std::sqrt(20.0 * 20 - 36), 1e-9);
  EXPECT_NEAR(AlongLength(c), 40, 1e-9);

  // 60 degrees between the legs: the second leg turns back towards -x.
  Hanging sixty{10, 10, std::nullopt, 60};
  c = HangingPoints(sixty, 40, 10);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_NEAR(c[2].x, 10 - 30 * std::cos(60 * std::acos(-1) / 180), 1e-9);
  EXPECT_NEAR(c[2].y, 30 * std::sin(60 * std::acos(-1) / 180), 1e-9);
  const Point back{c[0].x - c[1].x, c[0].y - c[1].y, 0}, on{c[2].x - c[1].x, c[2].y - c[1].y, 0};
  EXPECT_NEAR(
      std::acos((back.x * on.x + back.y * on.y) / (Distance({}, back) * Distance({}, on))) * 180 / std::acos(-1), 60,
      1e-9);

  // A sloper bent at its feed point keeps its even slope: a quarter along,
  // a quarter of the way down.
  Hanging bentSloper{12, 4, std::nullopt, 120};
  c = HangingPoints(bentSloper, 40, 10);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_NEAR(c[1].z, 10, 1e-12);
  EXPECT_NEAR(AlongLength(c), 40, 1e-9);
}

TEST(Hanging, PointsAlongThePolyline) {
  const Hanging vee{7, 4, Apex{10, 13.0}, 90};
  const std::vector<Point> c = HangingPoints(vee, 40, 20);
  EXPECT_EQ(PointAlong(c, -1), c[0]);
  EXPECT_EQ(PointAlong(c, 99), c[2]);
  EXPECT_NEAR(Distance(PointAlong(c, 13), c[1]), 0, 1e-9);
  const Point half = PointAlong(c, 6.5);
  EXPECT_NEAR(half.z, 8.5, 1e-9);
  EXPECT_NEAR(Distance(c[0], half), 6.5, 1e-9);
  const Point later = PointAlong(c, 13 + 27.0 / 3);
  EXPECT_NEAR(Distance(c[1], later), 9, 1e-9);
  EXPECT_NEAR(later.z, 8, 1e-9);
}

TEST(Hanging, RefusesWhatCannotHang) {
  using Value = HangError::Value;
  using Reason = HangError::Reason;
  struct Case {
    Hanging h;
    bool overGround;
    Value value;
    Reason reason;
    double figure;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {{0, 10, std::nullopt, 180}, true, Value::StartHeight, Reason::NotAboveGround, 0},
      {{10, -2, std::nullopt, 180}, true, Value::EndHeight, Reason::NotAboveGround, -2},
      {{10, 10, Apex{0, {}}, 180}, true, Value::ApexHeight, Reason::NotAboveGround, 0},
      {{10, 60, std::nullopt, 180}, true, Value::EndHeight, Reason::LegTooShort, 60},
      // 13 m to the apex cannot climb 20 m: named by the apex's position
      // when it was given, by its height when it hangs at the feed point.
      {{10, 10, Apex{30, 13.0}, 180}, true, Value::ApexAt, Reason::LegTooShort, 13},
      {{10, 10, Apex{30, {}}, 180}, true, Value::ApexHeight, Reason::LegTooShort, 30},
      {{10, 10, Apex{12, 0.0}, 180}, true, Value::ApexAt, Reason::NotBetweenEnds, 0},
      {{10, 10, Apex{12, 40.0}, 180}, true, Value::ApexAt, Reason::NotBetweenEnds, 40},
      {{10, 10, std::nullopt, 0}, true, Value::PlanAngle, Reason::OutOfRange, 0},
      {{10, 10, std::nullopt, 181}, true, Value::PlanAngle, Reason::OutOfRange, 181},
      {{nan, 10, std::nullopt, 180}, false, Value::StartHeight, Reason::NotFinite, nan},
      {{10, 10, Apex{12, std::numeric_limits<double>::infinity()}, 180}, true, Value::ApexAt, Reason::NotFinite, nan},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.value) << "/" << static_cast<int>(c.reason));
    try {
      HangingPoints(c.h, 40, 13, c.overGround);
      ADD_FAILURE() << "hangs";
    } catch (const HangError& e) {
      EXPECT_EQ(e.value, c.value);
      EXPECT_EQ(e.reason, c.reason);
      if (!std::isnan(c.figure)) {
        EXPECT_EQ(e.figure, c.figure);
      }
    }
  }
  // Over free space heights only place the wire.
  EXPECT_NO_THROW(HangingPoints({0, -3, std::nullopt, 180}, 40, 13, false));
  // A leg exactly as long as its rise hangs straight down.
  EXPECT_NO_THROW(HangingPoints({2, 2, Apex{12, 10.0}, 180}, 40, 13));

  const HangError e(HangError::Value::ApexAt, HangError::Reason::NotBetweenEnds, 40.5);
  EXPECT_EQ(HangErrorText(e, Language::English, '.'),
            "NEC-2 check: the apex at 40.5 m does not lie between the wire's ends.");
  EXPECT_EQ(HangErrorText(e, Language::German, ','),
            "NEC-2-Prüfung: Die Spitze bei 40,5 m liegt nicht zwischen den Drahtenden.");
  const HangError angle(HangError::Value::PlanAngle, HangError::Reason::OutOfRange, 200);
  EXPECT_EQ(HangErrorText(angle, Language::English, '.'),
            "NEC-2 check: the angle between the legs 200 degrees must be above 0 and at most 180 degrees.");
}

}  // namespace
}  // namespace lorvant::nec
