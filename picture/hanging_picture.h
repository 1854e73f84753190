// The drawing of how the wire hangs, as the NEC-2 check window shows it
// beside its table: a side view (the wire unrolled along its horizontal
// run, heights above the ground line) and to its right a top view (the legs
// and the angle between them), both at one scale, with the feed point and the apex
// marked and each leg's horizontal span and each corner's height written.
// Only geometry here, in pixels with y downwards; the window paints it.
#pragma once

#include <optional>
#include <vector>

#include "engine/common.h"
#include "engine/nec/hanging.h"
#include "picture/swr_picture.h"

namespace lorvant::nec {

// One view: the wire through its corners, the feed point on it, and the
// apex when the wire has one.
struct HangingView {
  std::vector<PlotPoint> wire;
  PlotPoint feed;
  std::optional<PlotPoint> apex;
};

struct HangingPicture {
  double width = 0, height = 0;  // pixels
  double scale = 0;              // pixels per metre, the same in both views
  HangingView side, top;
  PlotLine ground;  // the side view's ground line, under the whole run
  std::vector<PlotText> texts;
};

// The drawing of a wire through `corners` (as HangingPoints gives them)
// fed at `feed` (a point on it), the apex being the middle corner when the
// hanging has one. Empty (no wire) for fewer than two corners.
HangingPicture MakeHangingPicture(const Hanging& hanging, const std::vector<Point>& corners, const Point& feed,
                                  double width, double height, Language lang, char sep);

}  // namespace lorvant::nec
