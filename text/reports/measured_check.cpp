#include "text/reports/measured_check.h"

#include <cmath>

#include "text/catalogue.h"
#include "text/format.h"
#include "text/reports/neccheck.h"

namespace lorvant::report {

std::string ResonancesText(const std::vector<double>& f, Language lang, char sep) {
  if (f.empty()) return say(lang, Text::MeasuredNoResonance);
  std::string s;
  for (const double v : f) s += (s.empty() ? "" : " ") + FormatPicture(v, "#0.000", sep);
  return s;
}

std::string FitLine(const MeasuredCheck& m, Language lang, char sep) {
  if (!m.fittedLength) return say(lang, Text::CheckFitNone);
  const double change = *m.fittedLength - m.designLength;
  const long cm = std::lround(std::fabs(change) * 100);
  // A wire that behaves longer than designed is too long: cut it.
  return say(lang, Text::CheckFitBefore) + FormatPicture(*m.fittedLength, "#0.00", sep) +
         say(lang, Text::CheckFitMiddle) + NecBandName(m.fitBand, 0, sep) + say(lang, Text::CheckFitBand) +
         FormatPicture(m.fitMeasured, "#0.000", sep) + say(lang, Text::CheckFitShorten) + std::to_string(cm) +
         say(lang, change > 0 ? Text::CheckFitCut : Text::CheckFitAdd) + say(lang, Text::CheckFitSplit);
}

namespace {

std::string Padded(std::string s, std::size_t width) {
  // Width in characters, not bytes: an umlaut is two bytes of UTF-8.
  std::size_t chars = 0;
  for (const char c : s) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  if (chars < width) s.append(width - chars, ' ');
  return s;
}

}  // namespace

std::vector<std::string> MeasuredCheckLines(const MeasuredCheck& m, Language lang, char sep) {
  std::vector<std::string> lines = {say(lang, Text::CheckMeasuredHeading) + m.file};
  if (m.bands.empty()) {
    lines.push_back(say(lang, Text::CheckMeasuredNoBands));
    return lines;
  }
  lines.push_back(say(lang, Text::CheckMeasuredColumns));
  for (const MeasuredBandRow& b : m.bands) {
    const std::string measured =
        b.measured ? ResonancesText(*b.measured, lang, sep) : std::string(say(lang, Text::CheckMeasuredSwrOnly));
    const std::string model =
        b.counted ? ResonancesText(b.model, lang, sep) : std::string(say(lang, Text::CheckMeasuredNotModelled));
    const std::string swr = SwrText(b.minSwr, sep) + " / " + FormatPicture(b.minSwrFrequency, "#0.000", sep);
    lines.push_back(Padded(NecBandName(b.band, 0, sep), 11) + Padded(measured, 22) + Padded(model, 22) + swr);
  }
  lines.push_back(FitLine(m, lang, sep));
  return lines;
}

}  // namespace lorvant::report
