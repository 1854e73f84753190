#include "picture/hanging_picture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::nec {

namespace {

constexpr double kMargin = 14;     // left and right of both views
constexpr double kTitleRoom = 18;  // a view's title above it
constexpr double kLabelRoom = 16;  // the heights above the side view, the spans under it
constexpr PlotColour kBlack{0, 0, 0};
constexpr PlotColour kGround{120, 90, 40};
constexpr PlotColour kGrey{90, 90, 90};

double Horizontal(const Point& a, const Point& b) { return std::hypot(b.x - a.x, b.y - a.y); }

// How far along the unrolled run the feed point lies: on the leg it is
// nearest to, at its foot on that leg.
double RunAt(const std::vector<Point>& corners, const Point& feed) {
  double best = std::numeric_limits<double>::infinity(), run = 0, at = 0;
  for (std::size_t i = 0; i + 1 < corners.size(); ++i) {
    const Point& a = corners[i];
    const Point& b = corners[i + 1];
    const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    const double squared = dx * dx + dy * dy + dz * dz;
    double t = squared > 0 ? ((feed.x - a.x) * dx + (feed.y - a.y) * dy + (feed.z - a.z) * dz) / squared : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double distance = std::hypot(a.x + t * dx - feed.x, a.y + t * dy - feed.y, a.z + t * dz - feed.z);
    if (distance < best) {
      best = distance;
      at = run + t * Horizontal(a, b);
    }
    run += Horizontal(a, b);
  }
  return at;
}

std::string Metres(double v, char sep) { return report::FormatPicture(v, "0.0#", sep) + " m"; }

}  // namespace

HangingPicture MakeHangingPicture(const Hanging& hanging, const std::vector<Point>& corners, const Point& feed,
                                  double width, double height, Language lang, char sep) {
  HangingPicture p;
  p.width = width;
  p.height = height;
  // The side view on the left, the top view on the right.
  const double half = width / 2;
  const double sideLeft = kMargin, sideRight = half - kMargin / 2;
  const double topLeft = half + kMargin / 2, topRight = width - kMargin;
  const double sideTop = kTitleRoom + kLabelRoom, sideBottom = height - kLabelRoom;
  const double topTop = kTitleRoom, topBottom = height - kMargin / 2;
  p.texts.push_back({{sideLeft, 13}, say(lang, Text::HangSideView), TextAnchor::Start, 11, kGrey, true});
  p.texts.push_back({{topLeft, 13}, say(lang, Text::HangTopView), TextAnchor::Start, 11, kGrey, true});
  p.ground = {{sideLeft, sideBottom}, {sideRight, sideBottom}, kGround, 2, false};
  if (corners.size() < 2) return p;

  // The side view unrolls the legs into one plane, so that a bend in plan
  // shows every height and span at its true size.
  std::vector<double> run{0};
  for (std::size_t i = 1; i < corners.size(); ++i) run.push_back(run.back() + Horizontal(corners[i - 1], corners[i]));
  double highest = 0, minX = corners[0].x, maxX = minX, minY = corners[0].y, maxY = minY;
  for (const Point& c : corners) {
    highest = std::max(highest, c.z);
    minX = std::min(minX, c.x), maxX = std::max(maxX, c.x);
    minY = std::min(minY, c.y), maxY = std::max(maxY, c.y);
  }
  const double sideAcross = sideRight - sideLeft, topAcross = topRight - topLeft;
  const double sideRoom = sideBottom - sideTop, topRoom = topBottom - topTop;
  double scale = std::numeric_limits<double>::infinity();
  for (const auto& [room, metres] : {std::pair{sideAcross, run.back()}, std::pair{sideRoom, highest},
                                     std::pair{topAcross, maxX - minX}, std::pair{topRoom, maxY - minY}})
    if (metres > 0) scale = std::min(scale, room / metres);
  if (!std::isfinite(scale) || !(scale > 0)) scale = 1;
  p.scale = scale;

  const double sideStart = sideLeft + (sideAcross - run.back() * scale) / 2;
  const auto side = [&](double along, double z) {
    return PlotPoint{sideStart + along * scale, sideBottom - z * scale};
  };
  const double topStart = topLeft + (topAcross - (maxX - minX) * scale) / 2;
  const double topUpper = topTop + (topRoom - (maxY - minY) * scale) / 2;
  // Seen from above with +y away from the viewer: up on the screen.
  const auto top = [&](const Point& c) {
    return PlotPoint{topStart + (c.x - minX) * scale, topUpper + (maxY - c.y) * scale};
  };
  for (std::size_t i = 0; i < corners.size(); ++i) {
    p.side.wire.push_back(side(run[i], corners[i].z));
    p.top.wire.push_back(top(corners[i]));
  }
  p.side.feed = side(RunAt(corners, feed), feed.z);
  p.top.feed = top(feed);
  if (hanging.apex && corners.size() == 3) {
    p.side.apex = p.side.wire[1];
    p.top.apex = p.top.wire[1];
  }

  // Each corner's height above it, each leg's span under the ground line.
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const TextAnchor anchor =
        i == 0 ? TextAnchor::Start : (i + 1 == corners.size() ? TextAnchor::End : TextAnchor::Middle);
    const PlotPoint at = p.side.wire[i];
    p.texts.push_back({{at.x, at.y - 5}, Metres(corners[i].z, sep), anchor, 10, kBlack, false});
  }
  for (std::size_t i = 0; i + 1 < corners.size(); ++i) {
    const double middle = (p.side.wire[i].x + p.side.wire[i + 1].x) / 2;
    p.texts.push_back(
        {{middle, sideBottom + 12}, Metres(run[i + 1] - run[i], sep), TextAnchor::Middle, 10, kBlack, false});
  }
  if (corners.size() == 3 && hanging.planAngle < kStraightPlanAngle)
    p.texts.push_back({{p.top.wire[1].x, p.top.wire[1].y + 14},
                       report::FormatGeneral(hanging.planAngle, sep) + "\xC2\xB0",
                       TextAnchor::Middle,
                       10,
                       kBlack,
                       false});
  return p;
}

}  // namespace lorvant::nec
