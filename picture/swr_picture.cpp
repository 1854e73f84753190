#include "picture/swr_picture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "engine/nec/swr.h"
#include "text/catalogue.h"
#include "text/format.h"
#include "text/nec_texts.h"
#include "text/reports/neccheck.h"

namespace lorvant::nec {

namespace {

// A panel's place in the picture, pixels.
constexpr double kPanelWidth = 272, kPanelHeight = 200;
constexpr double kPlotLeft = 42, kPlotTop = 28, kPlotWidth = 200, kPlotHeight = 140;
constexpr double kTitleHeight = 30;  // the picture's heading above the panels
constexpr int kPerRow = 4;
// The additional band is drawn this far either side of its frequency.
constexpr double kExtraSpan = 0.005;

constexpr PlotColour kBlack{0, 0, 0};
constexpr PlotColour kGrid{200, 200, 200};
constexpr PlotColour kTwo{0, 140, 0};
constexpr PlotColour kThree{200, 0, 0};
constexpr PlotColour kBands[] = {{0, 70, 200}, {160, 0, 160}, {0, 130, 130}, {200, 100, 0},
                                 {90, 60, 30}, {0, 0, 120},   {120, 120, 0}, {200, 0, 90},
                                 {70, 70, 70}, {0, 110, 50},  {110, 0, 200}, {150, 40, 40}};

constexpr PlotColour kMeasured{230, 90, 0};
constexpr double kLegendHeight = 18;

// "-- model (NEC-2)   - - measured" (or "-- tuned (NEC-2)   - - start,
// balun 4:1") under the heading, from the left.
void Legend(SwrPicture& p, const SwrOverlay& overlay, Language lang, char sep) {
  const bool start = overlay.kind == SwrOverlay::Kind::TuningStart;
  const double y = kTitleHeight + 6, second = start ? 160 : 140;
  p.lines.push_back({{10, y}, {34, y}, kBlack, 2, false});
  p.texts.push_back({{38, y + 4},
                     say(lang, start ? Text::PictureLegendTuned : Text::PictureLegendModel),
                     TextAnchor::Start,
                     10,
                     kBlack,
                     false});
  p.lines.push_back({{second, y}, {second + 24, y}, kMeasured, 1.5, true});
  p.texts.push_back({{second + 28, y + 4},
                     start ? say(lang, Text::PictureLegendStart) + BalunText(overlay.balunRatio, sep)
                           : say(lang, Text::PictureLegendMeasured),
                     TextAnchor::Start,
                     10,
                     kMeasured,
                     false});
}

struct Range {
  double low = 0, high = 0;
};

Range RangeOf(int band, Region region, const std::vector<double>& frequencies) {
  Range r;
  if (band >= 0 && band < kBandCount) {
    const BandEdges e = EdgesOf(band, region);
    r = {e.low, e.high};
  } else if (!frequencies.empty()) {
    r = {frequencies.front() * (1 - kExtraSpan), frequencies.front() * (1 + kExtraSpan)};
  }
  // A band frequency outside its edges still gets on the picture.
  for (double f : frequencies) {
    r.low = std::min(r.low, f);
    r.high = std::max(r.high, f);
  }
  if (!(r.high > r.low)) r = {r.low * (1 - kExtraSpan), r.low * (1 + kExtraSpan) + 1e-6};
  return r;
}

void Frame(SwrPicture& p, double left, double top, double width, double height) {
  const PlotPoint a{left, top}, b{left + width, top}, c{left + width, top + height}, d{left, top + height};
  for (const auto& [from, to] : {std::pair{a, b}, std::pair{b, c}, std::pair{c, d}, std::pair{d, a}})
    p.lines.push_back({from, to, kBlack, 1, false});
}

std::string XmlEscaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// SVG takes the point whatever the locale says: to_chars ignores it.
std::string Num(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
  return std::string(buf, r.ptr);
}

std::string Colour(PlotColour c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
  return buf;
}

}  // namespace

double SwrToY(double swr, double top, double bottom) {
  const double clipped = std::isfinite(swr) ? std::clamp(swr, 1.0, kPlotTopSwr) : kPlotTopSwr;
  return bottom - (clipped - 1) / (kPlotTopSwr - 1) * (bottom - top);
}

SwrOverlay TuningStartOverlay(const Result& start) {
  SwrOverlay o{SwrOverlay::Kind::TuningStart, {}, start.balunRatio};
  for (const BandCheck& b : start.bands) o.sweep.push_back({b.solved.frequency, b.solved.impedance, b.solved.swr});
  for (const SolvedFrequency& s : start.sweep) o.sweep.push_back({s.frequency, s.impedance, s.swr});
  std::stable_sort(o.sweep.begin(), o.sweep.end(),
                   [](const sweep::SweepPoint& a, const sweep::SweepPoint& b) { return a.frequency < b.frequency; });
  return o;
}

SwrPicture MakeSwrPicture(const Result& result, float extraFrequency, Language lang, char sep,
                          const sweep::Sweep* measured) {
  if (!measured) return MakeSwrPicture(result, extraFrequency, lang, sep, SwrOverlay{});
  return MakeSwrPicture(result, extraFrequency, lang, sep, SwrOverlay{SwrOverlay::Kind::Measured, *measured, 1});
}

SwrPicture MakeSwrPicture(const Result& result, float extraFrequency, Language lang, char sep,
                          const SwrOverlay& overlay) {
  // No measured sweep draws as none.
  const bool overlaid = overlay.kind == SwrOverlay::Kind::TuningStart || !overlay.sweep.empty();
  SwrPicture p;
  const int bands = static_cast<int>(result.bands.size());
  const int columns = std::clamp(bands, 1, kPerRow);
  const int rows = std::max(1, (bands + kPerRow - 1) / kPerRow);
  // The legend takes a line of its own under the heading.
  const double titleHeight = kTitleHeight + (overlaid ? kLegendHeight : 0);
  p.width = columns * kPanelWidth;
  p.height = titleHeight + rows * kPanelHeight;
  if (overlaid) Legend(p, overlay, lang, sep);

  p.texts.push_back({{p.width / 2, 20},
                     say(lang, Text::PictureSwrTitleBefore) + BalunText(result.balunRatio, sep) +
                         say(lang, Text::PictureSwrTitleAfter),
                     TextAnchor::Middle,
                     14,
                     kBlack,
                     true});

  for (int i = 0; i < bands; ++i) {
    const SolvedFrequency& own = result.bands[static_cast<std::size_t>(i)].solved;
    std::vector<SolvedFrequency> points{own};
    for (const SolvedFrequency& s : result.sweep)
      if (s.band == own.band) points.push_back(s);
    std::stable_sort(points.begin(), points.end(),
                     [](const SolvedFrequency& a, const SolvedFrequency& b) { return a.frequency < b.frequency; });
    std::vector<double> frequencies;
    for (const SolvedFrequency& s : points) frequencies.push_back(s.frequency);
    const Range range = RangeOf(own.band, result.region, frequencies);

    const double left = (i % kPerRow) * kPanelWidth + kPlotLeft;
    const double top = titleHeight + (i / kPerRow) * kPanelHeight + kPlotTop;
    const double right = left + kPlotWidth, bottom = top + kPlotHeight;
    const PlotColour colour = kBands[static_cast<std::size_t>(i) % std::size(kBands)];

    // Scale, grid and the two marked lines.
    for (int swr = 1; swr <= static_cast<int>(kPlotTopSwr); ++swr) {
      const double y = SwrToY(swr, top, bottom);
      if (swr > 1 && swr != 2 && swr != 3) p.lines.push_back({{left, y}, {right, y}, kGrid, 1, false});
      p.texts.push_back({{left - 5, y + 4}, std::to_string(swr), TextAnchor::End, 10, kBlack, false});
    }
    p.texts.push_back({{left - 5, top - 8}, say(lang, Text::ReportSwr), TextAnchor::End, 10, kBlack, false});
    struct Marked {
      double swr;
      PlotColour colour;
      const char* label;
    };
    for (const Marked& m : {Marked{2, kTwo, "2:1"}, Marked{3, kThree, "3:1"}}) {
      const double y = SwrToY(m.swr, top, bottom);
      p.lines.push_back({{left, y}, {right, y}, m.colour, 1.5, true});
      p.texts.push_back({{right + 3, y + 4}, m.label, TextAnchor::Start, 10, m.colour, false});
    }
    Frame(p, left, top, kPlotWidth, kPlotHeight);

    p.texts.push_back({{(left + right) / 2, top - 10},
                       report::NecBandName(own.band, extraFrequency, sep),
                       TextAnchor::Middle,
                       12,
                       colour,
                       true});
    p.texts.push_back(
        {{left, bottom + 15}, report::FormatPicture(range.low, "#0.000", sep), TextAnchor::Start, 10, kBlack, false});
    p.texts.push_back(
        {{right, bottom + 15}, report::FormatPicture(range.high, "#0.000", sep), TextAnchor::End, 10, kBlack, false});
    p.texts.push_back({{(left + right) / 2, bottom + 28}, "MHz", TextAnchor::Middle, 10, kBlack, false});

    PlotCurve curve;
    curve.colour = colour;
    for (const SolvedFrequency& s : points) {
      const PlotPoint at{left + (s.frequency - range.low) / (range.high - range.low) * kPlotWidth,
                         SwrToY(s.swr, top, bottom)};
      curve.points.push_back(at);
      p.dots.push_back({at, colour});
    }
    p.curves.push_back(std::move(curve));
    if (overlaid) {
      PlotCurve m{{}, kMeasured, 1.5, true};
      for (const sweep::SweepPoint& s : overlay.sweep)
        if (s.frequency >= range.low && s.frequency <= range.high)
          m.points.push_back(
              {left + (s.frequency - range.low) / (range.high - range.low) * kPlotWidth, SwrToY(s.swr, top, bottom)});
      if (!m.points.empty()) p.curves.push_back(std::move(m));
    }
  }
  return p;
}

std::string SwrPictureSvg(const SwrPicture& p) {
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(p.width) + "\" height=\"" + Num(p.height) +
       "\" viewBox=\"0 0 " + Num(p.width) + " " + Num(p.height) + "\">\n";
  s += "<rect x=\"0\" y=\"0\" width=\"" + Num(p.width) + "\" height=\"" + Num(p.height) + "\" fill=\"#ffffff\"/>\n";
  for (const PlotLine& l : p.lines) {
    s += "<line x1=\"" + Num(l.from.x) + "\" y1=\"" + Num(l.from.y) + "\" x2=\"" + Num(l.to.x) + "\" y2=\"" +
         Num(l.to.y) + "\" stroke=\"" + Colour(l.colour) + "\" stroke-width=\"" + Num(l.width) + "\"";
    if (l.dashed) s += " stroke-dasharray=\"6 4\"";
    s += "/>\n";
  }
  for (const PlotCurve& c : p.curves) {
    s += "<polyline fill=\"none\" stroke=\"" + Colour(c.colour) + "\" stroke-width=\"" + Num(c.width) + "\"" +
         (c.dashed ? " stroke-dasharray=\"6 4\"" : "") + " points=\"";
    for (std::size_t i = 0; i < c.points.size(); ++i)
      s += (i ? " " : "") + Num(c.points[i].x) + "," + Num(c.points[i].y);
    s += "\"/>\n";
  }
  for (const PlotDot& d : p.dots)
    s += "<circle cx=\"" + Num(d.at.x) + "\" cy=\"" + Num(d.at.y) + "\" r=\"" + Num(d.radius) + "\" fill=\"" +
         Colour(d.colour) + "\"/>\n";
  for (const PlotText& t : p.texts) {
    const char* anchor = t.anchor == TextAnchor::Start ? "start" : t.anchor == TextAnchor::Middle ? "middle" : "end";
    s += "<text x=\"" + Num(t.at.x) + "\" y=\"" + Num(t.at.y) + "\" font-family=\"sans-serif\" font-size=\"" +
         Num(t.size) + "\" text-anchor=\"" + anchor + "\" fill=\"" + Colour(t.colour) + "\"";
    if (t.bold) s += " font-weight=\"bold\"";
    s += ">" + XmlEscaped(t.text) + "</text>\n";
  }
  s += "</svg>\n";
  return s;
}

}  // namespace lorvant::nec
