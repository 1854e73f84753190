// How the wire hangs: the heights of its two ends, at most one support
// between them (an apex), and the angle between its legs seen from above.
// The wire's length along its polyline is the design's length; the
// horizontal spans follow from that length and the heights.
//
// Coordinates: the wire starts above the origin and its first leg runs
// along +x; z is the height above the ground. The second leg turns at the
// bend (the apex, or the feed point when there is no apex) so that the two
// legs enclose `planAngle` degrees seen from above; it turns towards +y.
#pragma once

#include <optional>
#include <stdexcept>
#include <vector>

namespace lorvant::nec {

inline constexpr double kStraightPlanAngle = 180;
inline constexpr double kDefaultHeight = 10;  // m

struct Point {
  double x = 0, y = 0, z = 0;
  bool operator==(const Point&) const = default;
};

struct Apex {
  double height = 0;         // m above the ground
  std::optional<double> at;  // m along the wire from its start; empty: the feed point
  bool operator==(const Apex&) const = default;
};

struct Hanging {
  double startHeight = kDefaultHeight;  // m
  double endHeight = kDefaultHeight;    // m
  std::optional<Apex> apex;
  double planAngle = kStraightPlanAngle;  // degrees, (0, 180]
  bool operator==(const Hanging&) const = default;
};

// A flat top hangs both ends at one height without an apex; a sloper has
// ends at different heights; an inverted-V has an apex.
enum class Shape { Flat, Sloper, InvertedV };
Shape ShapeOf(const Hanging& h);

// A value that cannot hang, named for the message.
class HangError : public std::runtime_error {
 public:
  enum class Value { StartHeight, EndHeight, ApexHeight, ApexAt, PlanAngle };
  enum class Reason {
    NotFinite,       // not a number
    NotAboveGround,  // at or below the ground
    LegTooShort,     // a leg is shorter than the height it has to climb or fall
    NotBetweenEnds,  // the apex is not strictly between the wire's ends
    OutOfRange,      // the plan angle is not in (0, 180]
  };
  HangError(Value value, Reason reason, double figure)
      : std::runtime_error("hanging"), value(value), reason(reason), figure(figure) {}
  Value value;
  Reason reason;
  double figure;  // the offending input
};

// The bend's distance along the wire: the apex's, or the feed point's when
// there is no apex.
double BendAt(const Hanging& h, double feed);

// The wire's corners from its start to its end: two points for a straight
// wire, three when it bends (at an apex, or in plan at the feed point).
// `length` and `feed` are along the wire (the caller has checked that the
// feed point lies on it). Over free space heights only place the wire and
// may be 0 or below. Throws HangError.
std::vector<Point> HangingPoints(const Hanging& h, double length, double feed, bool overGround = true);

// The bent wire of `corners` (three points, the bend `bend` metres along
// it) with the piece from `a` to `b` metres along it (a < bend < b) laid
// straight and level through the bend, at its height, along the legs'
// mean direction seen from above: the straight source segment a model
// needs where the feed point sits on the bend. The legs keep their end
// heights and become a and length - b long, so the wire keeps its length;
// a leg too short for its fall then hangs straight down. Four points:
// start, the piece's two ends, end.
std::vector<Point> StraightenBend(const std::vector<Point>& corners, double bend, double a, double b, double length);

// The point `s` metres along the polyline from its first corner (clamped
// to its ends).
Point PointAlong(const std::vector<Point>& corners, double s);

}  // namespace lorvant::nec
