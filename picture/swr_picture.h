// The picture of a NEC-2 check: the SWR across each checked band, one panel
// and one curve per band, with the 2:1 and 3:1 lines marked. Only geometry
// here (lines, curves, dots and texts in pixels); the SVG file is written
// from it as text, and the window paints the same geometry for its display
// and the PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/common.h"
#include "engine/nec/result.h"
#include "engine/sweep/sweep.h"

namespace lorvant::nec {

struct PlotColour {
  std::uint8_t r = 0, g = 0, b = 0;
};

struct PlotPoint {
  double x = 0, y = 0;  // pixels, y downwards
};

struct PlotLine {
  PlotPoint from, to;
  PlotColour colour;
  double width = 1;
  bool dashed = false;
};

struct PlotCurve {
  std::vector<PlotPoint> points;
  PlotColour colour;
  double width = 2;
  bool dashed = false;  // the measured sweep, beside the model's solid curves
};

struct PlotDot {
  PlotPoint at;
  PlotColour colour;
  double radius = 2.5;
};

enum class TextAnchor { Start, Middle, End };

struct PlotText {
  PlotPoint at;      // the baseline's start, middle or end
  std::string text;  // UTF-8
  TextAnchor anchor = TextAnchor::Start;
  double size = 11;  // pixels
  PlotColour colour;
  bool bold = false;
};

struct SwrPicture {
  double width = 0, height = 0;   // pixels
  std::vector<PlotLine> lines;    // frames, grid, the 2:1 and 3:1 lines
  std::vector<PlotCurve> curves;  // one per band, over its frequencies
  std::vector<PlotDot> dots;      // every solved frequency
  std::vector<PlotText> texts;
};

// The SWR scale runs from 1 up to this; higher values stand on its top edge.
inline constexpr double kPlotTopSwr = 5;

// One panel per counted band in the order of the result, up to four in a
// row; each panel spans the band from edge to edge (the additional band,
// which has no edges, a narrow range round its frequency) and joins the
// band's own frequency and its sweep in the order of frequency.
// With a measured sweep, each panel also shows its SWR over the panel's
// range as a dashed curve in one colour, and a legend under the heading
// tells the two apart.
SwrPicture MakeSwrPicture(const Result& result, float extraFrequency, Language lang, char sep,
                          const sweep::Sweep* measured = nullptr);

// The dashed curves over the result's: a measured sweep, or the start of a
// tuning over the tuned design (its SWR through its own balun, which the
// legend names).
struct SwrOverlay {
  enum class Kind { Measured, TuningStart };
  Kind kind = Kind::Measured;
  sweep::Sweep sweep;     // in the order of frequency
  double balunRatio = 1;  // the tuning's start's
};
// The start's own and sweep frequencies.
SwrOverlay TuningStartOverlay(const Result& start);
SwrPicture MakeSwrPicture(const Result& result, float extraFrequency, Language lang, char sep,
                          const SwrOverlay& overlay);

// The picture as an SVG document (UTF-8).
std::string SwrPictureSvg(const SwrPicture& picture);

// The y of an SWR value within a panel whose scale runs from `bottom`
// (SWR 1) up to `top` (kPlotTopSwr).
double SwrToY(double swr, double top, double bottom);

}  // namespace lorvant::nec
