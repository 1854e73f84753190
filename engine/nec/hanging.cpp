#include "engine/nec/hanging.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lorvant::nec {

namespace {

using Value = HangError::Value;
using Reason = HangError::Reason;

void CheckFinite(double v, Value value) {
  if (!std::isfinite(v)) throw HangError(value, Reason::NotFinite, v);
}

void CheckAboveGround(double height, Value value, bool overGround) {
  if (overGround && !(height > 0)) throw HangError(value, Reason::NotAboveGround, height);
}

// The horizontal span of a leg `along` metres long that climbs or falls
// `rise` metres; a leg shorter than its rise cannot hang.
double Span(double along, double rise, Value value, double figure) {
  // A hair of tolerance lets a leg hang straight down when the length was
  // typed as the height difference.
  if (along + 1e-9 < std::fabs(rise)) throw HangError(value, Reason::LegTooShort, figure);
  return std::sqrt(std::max(0.0, along * along - rise * rise));
}

}  // namespace

Shape ShapeOf(const Hanging& h) {
  if (h.apex) return Shape::InvertedV;
  return h.startHeight == h.endHeight ? Shape::Flat : Shape::Sloper;
}

double BendAt(const Hanging& h, double feed) { return h.apex && h.apex->at ? *h.apex->at : feed; }

std::vector<Point> HangingPoints(const Hanging& h, double length, double feed, bool overGround) {
  CheckFinite(h.startHeight, Value::StartHeight);
  CheckFinite(h.endHeight, Value::EndHeight);
  CheckFinite(h.planAngle, Value::PlanAngle);
  if (h.apex) {
    CheckFinite(h.apex->height, Value::ApexHeight);
    if (h.apex->at) CheckFinite(*h.apex->at, Value::ApexAt);
  }
  if (!(h.planAngle > 0 && h.planAngle <= kStraightPlanAngle))
    throw HangError(Value::PlanAngle, Reason::OutOfRange, h.planAngle);
  CheckAboveGround(h.startHeight, Value::StartHeight, overGround);
  CheckAboveGround(h.endHeight, Value::EndHeight, overGround);

  const Point start{0, 0, h.startHeight};
  const bool bentInPlan = h.planAngle != kStraightPlanAngle;
  if (!h.apex && !bentInPlan) {
    const double span = Span(length, h.endHeight - h.startHeight, Value::EndHeight, h.endHeight);
    return {start, {span, 0, h.endHeight}};
  }

  const double bend = BendAt(h, feed);
  double bendHeight = 0;
  // The leg's value a refusal names: the apex's position when it was
  // given, its height when it hangs at the feed point, and without an apex
  // the end height that makes the wire slope.
  Value legValue = Value::EndHeight;
  double legFigure = h.endHeight;
  if (h.apex) {
    if (!(bend > 0 && bend < length)) throw HangError(Value::ApexAt, Reason::NotBetweenEnds, bend);
    CheckAboveGround(h.apex->height, Value::ApexHeight, overGround);
    bendHeight = h.apex->height;
    legValue = h.apex->at ? Value::ApexAt : Value::ApexHeight;
    legFigure = h.apex->at ? *h.apex->at : h.apex->height;
  } else {
    // A sloper bent in plan at its feed point: its height changes evenly
    // along the wire, so both legs slope alike.
    bendHeight = h.startHeight + (h.endHeight - h.startHeight) * bend / length;
  }
  const double first = Span(bend, bendHeight - h.startHeight, legValue, legFigure);
  const double second = Span(length - bend, h.endHeight - bendHeight, legValue, legFigure);
  // Seen from above the second leg leaves the bend at 180 - planAngle
  // degrees from +x, so that it encloses planAngle with the first leg.
  const double turn = (kStraightPlanAngle - h.planAngle) * std::numbers::pi / 180;
  const Point corner{first, 0, bendHeight};
  return {start, corner, {first + second * std::cos(turn), second * std::sin(turn), h.endHeight}};
}

namespace {

Point Minus(const Point& a, const Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

// The horizontal part of `p`, of unit length; zero when `p` is vertical.
Point LevelUnit(const Point& p) {
  const double n = std::hypot(p.x, p.y);
  if (!(n > 1e-12)) return {};
  return {p.x / n, p.y / n, 0};
}

// The foot of a leg `along` metres long hanging from `top` towards
// `level` (a horizontal unit vector, or zero) to the height `z`.
Point LegEnd(const Point& top, const Point& level, double along, double z) {
  const double rise = top.z - z;
  const double span = std::sqrt(std::max(0.0, along * along - rise * rise));
  return {top.x + level.x * span, top.y + level.y * span, z};
}

}  // namespace

std::vector<Point> StraightenBend(const std::vector<Point>& corners, double bend, double a, double b, double length) {
  if (corners.size() != 3) return corners;
  const Point& start = corners[0];
  const Point& corner = corners[1];
  const Point& end = corners[2];
  const Point back = LevelUnit(Minus(start, corner));
  const Point ahead = LevelUnit(Minus(end, corner));
  // The mean of the legs' directions seen from above; legs that fold back
  // onto each other leave none, and the first leg's line serves.
  Point along = LevelUnit({ahead.x - back.x, ahead.y - back.y, 0});
  if (along == Point{}) along = back == Point{} ? Point{1, 0, 0} : Point{-back.x, -back.y, 0};
  const Point from{corner.x - along.x * (bend - a), corner.y - along.y * (bend - a), corner.z};
  const Point to{corner.x + along.x * (b - bend), corner.y + along.y * (b - bend), corner.z};
  // A vertical leg stays vertical; one that was not keeps its direction.
  return {LegEnd(from, back, a, start.z), from, to, LegEnd(to, ahead, length - b, end.z)};
}

Point PointAlong(const std::vector<Point>& corners, double s) {
  if (corners.empty()) return {};
  if (s <= 0) return corners.front();
  for (std::size_t i = 1; i < corners.size(); ++i) {
    const Point& a = corners[i - 1];
    const Point& b = corners[i];
    const double leg = std::hypot(b.x - a.x, b.y - a.y, b.z - a.z);
    if (s < leg) {
      const double t = s / leg;
      return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
    }
    s -= leg;
  }
  return corners.back();
}

}  // namespace lorvant::nec
