#include "engine/nec/pattern.h"

#include <algorithm>
#include <cmath>

#include "engine/nec/deck.h"
#include "engine/nec/output.h"

namespace lorvant::nec {

namespace {

constexpr std::string_view kPatternHeading = "RADIATION PATTERNS";
constexpr std::string_view kAverageLabel = "AVERAGE POWER GAIN:";
constexpr std::string_view kSolidAngleLabel = "SOLID ANGLE USED IN AVERAGING:";

// The number after `label` in `line`, skipping "(" and "+".
std::optional<double> NumberAfter(std::string_view line, std::string_view label) {
  const auto at = line.find(label);
  if (at == std::string_view::npos) return std::nullopt;
  std::size_t from = line.find_first_not_of(" (+", at + label.size());
  if (from == std::string_view::npos) return std::nullopt;
  std::size_t to = line.find_first_of(" )", from);
  if (to == std::string_view::npos) to = line.size();
  const std::vector<double> v = LeadingNumbers(line.substr(from, to - from));
  if (v.size() != 1) return std::nullopt;
  return v[0];
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return lines;
}

bool Blank(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

}  // namespace

std::string PatternCard() {
  const int thetas = static_cast<int>(90 / kPatternThetaStep) + 1;
  const int phis = static_cast<int>(360 / kPatternPhiStep);
  return "RP 0 " + std::to_string(thetas) + " " + std::to_string(phis) + " 1001 0 0 " + DeckNumber(kPatternThetaStep) +
         " " + DeckNumber(kPatternPhiStep);
}

std::vector<PatternTable> ParsePatterns(std::string_view output) {
  std::vector<PatternTable> tables;
  const std::vector<std::string_view> lines = Lines(output);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find(kPatternHeading) == std::string_view::npos) continue;
    PatternTable t;
    // The column headings end with the units line; the rows follow it.
    std::size_t row = i + 1;
    while (row < lines.size() && lines[row].find("DEGREES") == std::string_view::npos) ++row;
    for (++row; row < lines.size() && !Blank(lines[row]); ++row) {
      const std::vector<double> v = LeadingNumbers(lines[row]);
      if (v.size() < 5) break;
      t.points.push_back({v[0], v[1], v[4]});
    }
    // The average follows the rows, before anything else is solved.
    for (; row < lines.size(); ++row) {
      if (lines[row].find("DATA CARD") != std::string_view::npos ||
          lines[row].find(kPatternHeading) != std::string_view::npos)
        break;
      if (lines[row].find(kAverageLabel) == std::string_view::npos) continue;
      t.averageGain = NumberAfter(lines[row], kAverageLabel);
      t.solidAngle = NumberAfter(lines[row], kSolidAngleLabel);
      break;
    }
    tables.push_back(std::move(t));
    i = row == 0 ? i : row - 1;
  }
  return tables;
}

PatternSummary SummarisePattern(const PatternTable& table, bool realGround, std::optional<double> budget) {
  PatternSummary s;
  const PatternPoint* best = nullptr;
  for (const PatternPoint& p : table.points)
    if (!best || p.gain > best->gain || (p.gain == best->gain && p.theta < best->theta)) best = &p;
  if (best) {
    s.gainDbi = best->gain;
    s.elevation = 90 - best->theta;
    s.azimuth = best->phi;
    for (std::size_t k = 0; k < kPatternElevations.size(); ++k) {
      const double theta = 90 - kPatternElevations[k];
      for (const PatternPoint& p : table.points)
        if (std::fabs(p.theta - theta) < 1e-6 && std::fabs(p.phi - best->phi) < 1e-6) s.gainAt[k] = p.gain;
    }
  }
  if (realGround) {
    if (table.averageGain && table.solidAngle) s.efficiency = *table.averageGain * *table.solidAngle / 4;
  } else {
    s.efficiency = budget;
  }
  return s;
}

PatternCuts CutPattern(const PatternTable& table, const PatternSummary& summary) {
  const auto same = [](double a, double b) { return std::fabs(a - b) < 1e-6; };
  const double behind = std::fmod(summary.azimuth + 180, 360);
  const double theta = 90 - summary.elevation;
  PatternCuts c;
  for (const PatternPoint& p : table.points) {
    const double phi = std::fmod(p.phi + 360, 360);
    if (same(phi, summary.azimuth)) c.elevation.push_back({90 - p.theta, p.gain});
    // The zenith is in both halves' rows: once is enough.
    if (same(phi, behind) && p.theta > 1e-6) c.elevation.push_back({90 + p.theta, p.gain});
    if (same(p.theta, theta)) c.azimuth.push_back({phi, p.gain});
  }
  const auto byAngle = [](const CutPoint& a, const CutPoint& b) { return a.angle < b.angle; };
  std::stable_sort(c.elevation.begin(), c.elevation.end(), byAngle);
  std::stable_sort(c.azimuth.begin(), c.azimuth.end(), byAngle);
  // The same direction twice (a zenith row per phi) counts once.
  const auto twice = [&](const CutPoint& a, const CutPoint& b) { return same(a.angle, b.angle); };
  c.elevation.erase(std::unique(c.elevation.begin(), c.elevation.end(), twice), c.elevation.end());
  c.azimuth.erase(std::unique(c.azimuth.begin(), c.azimuth.end(), twice), c.azimuth.end());
  return c;
}

}  // namespace lorvant::nec
