#include "picture/polar_picture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "picture/SwrRaster.h"
#include "text/catalogue.h"
#include "text/format.h"
#include "text/reports/neccheck.h"

namespace lorvant::nec {

namespace {

constexpr double kWidth = 440;
constexpr double kTitleRoom = 50;  // the band's maximum and the cut's place
constexpr double kRadius = 150;
constexpr double kLabelRoom = 22;  // the angles round the rim
constexpr int kCirclePoints = 120;

constexpr PlotColour kBlack{0, 0, 0};
constexpr PlotColour kRing{170, 170, 170};
constexpr PlotColour kRim{90, 90, 90};
constexpr PlotColour kCurve{0, 70, 200};
constexpr PlotColour kMaximum{200, 0, 0};

constexpr double kDegree = std::numbers::pi / 180;

std::string Degrees(double v) { return report::FormatPicture(v, "0", '.') + "\xc2\xb0"; }

std::string Dbi(double v, char sep) { return report::FormatPicture(v, "0.0", sep); }

// A point `r` pixels from the centre at `angle` degrees, counted from the
// right against the clock (y downwards).
PlotPoint At(PlotPoint centre, double r, double angle) {
  return {centre.x + r * std::cos(angle * kDegree), centre.y - r * std::sin(angle * kDegree)};
}

// A ring from `from` to `to` degrees.
PlotCurve Arc(PlotPoint centre, double r, double from, double to, PlotColour colour, double width) {
  PlotCurve c{{}, colour, width, false};
  const int steps = std::max(2, static_cast<int>(kCirclePoints * (to - from) / 360));
  for (int i = 0; i <= steps; ++i) c.points.push_back(At(centre, r, from + (to - from) * i / steps));
  return c;
}

std::string Title(const BandAir& band, float extraFrequency, Language lang, char sep) {
  const PatternSummary& p = *band.pattern;
  return report::NecBandName(band.band, extraFrequency, sep) + say(lang, Text::AirPictureMax) + Dbi(p.gainDbi, sep) +
         say(lang, Text::AirPictureAtElevation) + Degrees(p.elevation) + say(lang, Text::AirPictureAzimuth) +
         Degrees(p.azimuth);
}

std::string LowerSuffix(const std::string& name) {
  const auto dot = name.find_last_of('.');
  const auto slash = name.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string s = name.substr(dot);
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

double PolarRadius(double gain, double maximum, double radius) {
  const double below = std::isfinite(gain) ? maximum - gain : kPolarDepth;
  return radius * (1 - std::clamp(below, 0.0, kPolarDepth) / kPolarDepth);
}

SwrPicture MakePolarPicture(const BandAir& band, PolarCut cut, float extraFrequency, Language lang, char sep) {
  SwrPicture p;
  if (!band.pattern) return p;
  const PatternSummary& s = *band.pattern;
  const bool upright = cut == PolarCut::Elevation;
  p.width = kWidth;
  // The half circle stands on the horizon; the full circle needs its depth twice.
  p.height = kTitleRoom + kLabelRoom + kRadius + (upright ? kLabelRoom : kRadius + kLabelRoom);
  const PlotPoint centre{kWidth / 2, kTitleRoom + kLabelRoom + kRadius};

  p.texts.push_back({{kWidth / 2, 20}, Title(band, extraFrequency, lang, sep), TextAnchor::Middle, 12, kBlack, true});
  const std::string where = upright ? say(lang, Text::AirPictureElevationCut) + Degrees(s.azimuth) +
                                          say(lang, Text::CalcVkNecAnd) + Degrees(std::fmod(s.azimuth + 180, 360))
                                    : say(lang, Text::AirPictureAzimuthCut) + Degrees(s.elevation) +
                                          say(lang, Text::AirPictureAzimuthCutAfter);
  p.texts.push_back({{kWidth / 2, 38}, where, TextAnchor::Middle, 10, kBlack, false});

  // The rings, each written with its gain: on a half circle under the
  // horizon line, every other one to the left so that close rings do not
  // overwrite each other; on a full circle up the radial of 90 degrees.
  const double to = upright ? 180 : 360;
  for (std::size_t i = 0; i < std::size(kPolarRings); ++i) {
    const double gain = s.gainDbi - kPolarRings[i];
    const double r = PolarRadius(gain, s.gainDbi, kRadius);
    p.curves.push_back(Arc(centre, r, 0, to, i == 0 ? kRim : kRing, i == 0 ? 1.5 : 1));
    const std::string label = Dbi(gain, sep) + (i == 0 && !upright ? " dBi" : "");
    if (upright)
      p.texts.push_back({{centre.x + (i % 2 ? -r : r), centre.y + 14}, label, TextAnchor::Middle, 10, kRim, false});
    else
      p.texts.push_back({{centre.x + 3, centre.y - r + 11}, label, TextAnchor::Start, 10, kRim, false});
  }
  // The rings' unit: under the centre of a half circle, beside the full
  // circle's maximum.
  if (upright) p.texts.push_back({{centre.x, centre.y + 14}, "dBi", TextAnchor::Middle, 10, kRim, false});
  // The radials every 30 degrees with their angles: the elevation above
  // the horizon either way, or the azimuth as NEC-2 counts it.
  for (int a = 0; a <= static_cast<int>(to); a += 30) {
    if (!upright && a == 360) break;
    p.lines.push_back({centre, At(centre, kRadius, a), kRing, 1, false});
    const double shown = upright ? (a <= 90 ? a : 180 - a) : a;
    const PlotPoint label = At(centre, kRadius + 12, a);
    const TextAnchor anchor = std::fabs(label.x - centre.x) < 1 ? TextAnchor::Middle
                              : label.x > centre.x              ? TextAnchor::Start
                                                                : TextAnchor::End;
    p.texts.push_back({{label.x, label.y + 4}, Degrees(shown), anchor, 10, kBlack, false});
  }
  if (upright) p.lines.push_back({At(centre, kRadius, 180), At(centre, kRadius, 0), kRim, 1.5, false});

  PlotCurve curve{{}, kCurve, 2, false};
  const std::vector<CutPoint>& points = upright ? band.cuts.elevation : band.cuts.azimuth;
  for (const CutPoint& c : points) curve.points.push_back(At(centre, PolarRadius(c.gain, s.gainDbi, kRadius), c.angle));
  // Round the horizon the curve closes on itself.
  if (!upright && !curve.points.empty()) curve.points.push_back(curve.points.front());
  p.curves.push_back(std::move(curve));
  p.dots.push_back({At(centre, kRadius, upright ? s.elevation : s.azimuth), kMaximum, 3.5});
  return p;
}

std::string PolarPictureName(const std::string& file, int band, float extraFrequency, PolarCut cut) {
  const std::string suffix = LowerSuffix(file);
  const std::string stem = file.substr(0, file.size() - suffix.size());
  std::string name = report::NecBandName(band, extraFrequency, '.');
  std::erase(name, ' ');
  return stem + "-" + name + (cut == PolarCut::Elevation ? "-elevation" : "-azimuth") +
         file.substr(file.size() - suffix.size());
}

std::vector<std::pair<std::string, std::string>> PolarPictureFiles(const AirResult& air, const std::string& file,
                                                                   float extraFrequency, Language lang, char sep) {
  const bool png = LowerSuffix(file) == ".png";
  std::vector<std::pair<std::string, std::string>> files;
  for (const BandAir& band : air.bands) {
    if (!band.pattern) continue;
    for (PolarCut cut : {PolarCut::Elevation, PolarCut::Azimuth}) {
      const SwrPicture picture = MakePolarPicture(band, cut, extraFrequency, lang, sep);
      files.emplace_back(PolarPictureName(file, band.band, extraFrequency, cut),
                         png ? SwrPicturePng(picture) : SwrPictureSvg(picture));
    }
  }
  return files;
}

}  // namespace lorvant::nec
