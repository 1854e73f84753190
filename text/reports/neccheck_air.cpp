#include "text/reports/neccheck_air.h"

#include <cmath>

#include "engine/nec/feedline.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::report {

namespace {

constexpr int kBandWidth = 10, kGainWidth = 10, kAngleWidth = 9, kLowWidth = 7, kEfficiencyWidth = 12;
constexpr int kPatternWidth = kBandWidth + kGainWidth + 2 * kAngleWidth + 3 * kLowWidth + kEfficiencyWidth;

std::string Rule(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += kEmDash;
  return s;
}

std::string Gain(const std::optional<double>& g, char sep) {
  // Below -99 dBi a direction receives nothing worth a figure (nec2c
  // writes -999.99 for a null).
  if (!g) return "-";
  if (*g < -99) return "<-99";
  return FormatPicture(*g, "0.0", sep);
}

std::vector<std::string> PatternLines(const NecCheckReport& r) {
  const Language lang = r.language;
  const char sep = r.sep;
  std::vector<std::string> lines;
  lines.emplace_back();
  lines.push_back(say(lang, Text::AirPatternTitle));
  std::string heading = LeftField("Band", kBandWidth) + RightField(say(lang, Text::AirMaxColumn), kGainWidth) +
                        RightField(say(lang, Text::AirElevationColumn), kAngleWidth) +
                        RightField(say(lang, Text::AirAzimuthColumn), kAngleWidth);
  for (int e : nec::kPatternElevations) heading += RightField(std::to_string(e) + "°", kLowWidth);
  lines.push_back(heading + RightField(say(lang, Text::AirEfficiencyColumn), kEfficiencyWidth));
  lines.push_back(Rule(kPatternWidth));
  for (const nec::BandAir& b : r.air->bands) {
    if (!b.pattern) continue;
    const nec::PatternSummary& p = *b.pattern;
    std::string row = LeftField(NecBandName(b.band, r.extraFrequency, sep), kBandWidth) +
                      RightField(Gain(p.gainDbi, sep), kGainWidth) +
                      RightField(FormatPicture(p.elevation, "0", sep), kAngleWidth) +
                      RightField(FormatPicture(p.azimuth, "0", sep), kAngleWidth);
    for (const std::optional<double>& g : p.gainAt) row += RightField(Gain(g, sep), kLowWidth);
    row += RightField(p.efficiency ? FormatPicture(100 * *p.efficiency, "0.0", sep) : "-", kEfficiencyWidth);
    lines.push_back(row);
  }
  lines.push_back(say(lang, Text::AirPatternNote));
  lines.push_back(say(lang, nec::IsRealGround(r.ground) ? Text::AirEfficiencyRealGround : Text::AirEfficiencyBudget));
  return lines;
}

std::vector<std::string> FeedlineLines(const NecCheckReport& r) {
  const Language lang = r.language;
  const char sep = r.sep;
  const nec::AirResult& air = *r.air;
  std::vector<std::string> lines;
  lines.emplace_back();
  std::string feed = say(lang, Text::AirFeedlineBefore) + FormatGeneral(air.feedline->diameterMm, sep) +
                     say(lang, Text::AirFeedlineFrom);
  if (r.ground == nec::Ground::Perfect)
    feed += say(lang, Text::AirFeedlineToGround);
  else
    feed += say(lang, Text::AirFeedlineTo) + FormatGeneral(nec::kShieldClearance, sep) +
            say(lang, r.ground == nec::Ground::FreeSpace ? Text::AirFeedlineFree : Text::AirFeedlineAbove);
  if (air.feedline->chokeOhms > 0)
    feed += say(lang, Text::AirChokeOf) + FormatGeneral(air.feedline->chokeOhms, sep) + " Ohm";
  else
    feed += say(lang, Text::AirNoChoke);
  lines.push_back(feed + ".");
  std::string shares;
  for (const nec::BandAir& b : air.bands)
    if (b.commonMode)
      shares +=
          (shares.empty() ? "" : ", ") + NecBandName(b.band, r.extraFrequency, sep) + " " + ShareText(*b.commonMode);
  lines.push_back(say(lang, Text::AirCommonMode) + shares);
  if (!air.chokeSearched)
    lines.push_back(say(lang, Text::AirChokeNotChecked));
  else if (air.chokeRecommendation)
    lines.push_back(say(lang, Text::AirChokeAdvice) + FormatGeneral(*air.chokeRecommendation, sep) +
                    say(lang, Text::AirChokeAdviceAfter));
  else
    lines.push_back(say(lang, Text::AirNoChokeEnough));
  return lines;
}

}  // namespace

std::string ShareText(double share) { return std::to_string(std::lround(100 * share)) + " %"; }

std::vector<std::string> AirLines(const NecCheckReport& r) {
  std::vector<std::string> lines;
  if (!r.air) return lines;
  if (r.air->patterns)
    for (std::string& line : PatternLines(r)) lines.push_back(std::move(line));
  if (r.air->feedline)
    for (std::string& line : FeedlineLines(r)) lines.push_back(std::move(line));
  return lines;
}

}  // namespace lorvant::report
