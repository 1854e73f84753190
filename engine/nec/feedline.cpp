#include "engine/nec/feedline.h"

#include <algorithm>
#include <cmath>

#include "engine/nec/output.h"

namespace lorvant::nec {

namespace {

constexpr std::string_view kCurrentsHeading = "CURRENTS AND LOCATION";

bool Blank(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

// The line starting at `pos` and where the next begins.
std::string_view LineAt(std::string_view text, std::size_t pos, std::size_t& next) {
  std::size_t end = text.find('\n', pos);
  if (end == std::string_view::npos) end = text.size();
  next = end + 1;
  return text.substr(pos, end - pos);
}

}  // namespace

Point ShieldTop(const Structure& s) {
  const Wire& w = s.wires.at(static_cast<std::size_t>(s.sourceTag - 1));
  const double t = static_cast<double>(s.sourceSegment) / w.segments;
  return {w.from.x + (w.to.x - w.from.x) * t, w.from.y + (w.to.y - w.from.y) * t, w.from.z + (w.to.z - w.from.z) * t};
}

double ShieldBottom(Ground ground) { return ground == Ground::Perfect ? 0 : kShieldClearance; }

void AddFeedline(Model& model, Ground ground, const Feedline& feedline) {
  model.chokeOhms = feedline.chokeOhms;
  const double bottom = ShieldBottom(ground);
  for (Structure& s : model.structures) {
    const Point top = ShieldTop(s);
    const double length = top.z - bottom;
    if (!(length > 0)) throw ModelError(ModelError::Kind::TooLow, top.z, bottom);
    const Wire& source = s.wires.at(static_cast<std::size_t>(s.sourceTag - 1));
    const double longest = std::min(s.maxSegment, 2 * source.segmentLength());
    Wire w;
    w.tag = static_cast<int>(s.wires.size()) + 1;
    w.segments = std::max(1, static_cast<int>(std::ceil(length / longest - 1e-9)));
    w.start = 0;
    w.end = length;
    w.from = top;
    w.to = {top.x, top.y, bottom};
    w.radius = feedline.diameterMm / 2000;
    s.wires.push_back(w);
    s.shieldTag = w.tag;
  }
}

std::vector<std::vector<SegmentCurrent>> ParseCurrentTables(std::string_view output) {
  std::vector<std::vector<SegmentCurrent>> tables;
  std::size_t pos = output.find(kCurrentsHeading);
  while (pos != std::string_view::npos) {
    std::size_t next = 0;
    LineAt(output, pos, next);
    // Past the headings ("... No:  No: ...") to the rows.
    while (next < output.size()) {
      const std::string_view line = LineAt(output, next, next);
      if (line.find("No:") != std::string_view::npos) break;
    }
    std::vector<SegmentCurrent> rows;
    while (next < output.size()) {
      const std::string_view line = LineAt(output, next, next);
      if (Blank(line)) break;
      // SEG TAG X Y Z LENGTH REAL IMAGINARY MAGN PHASE
      const std::vector<double> v = LeadingNumbers(line);
      if (v.size() < 8) break;
      rows.push_back({static_cast<int>(v[0]), static_cast<int>(v[1]), {v[6], v[7]}});
    }
    tables.push_back(std::move(rows));
    pos = output.find(kCurrentsHeading, std::min(next, output.size()));
  }
  return tables;
}

std::optional<double> CommonModeFraction(const std::vector<SegmentCurrent>& table, int shieldTopSegment,
                                         std::complex<double> feedImpedance) {
  for (const SegmentCurrent& c : table)
    if (c.segment == shieldTopSegment) return std::abs(c.current) * std::abs(feedImpedance);
  return std::nullopt;
}

}  // namespace lorvant::nec
