#include "text/measured_texts.h"

#include <algorithm>
#include <cmath>

#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::sweep {

namespace {

std::string Quoted(const std::string& word) {
  std::string shown = "'";
  for (char c : word) shown += (c >= 0x20 && c < 0x7F) ? c : '?';
  return shown + "'";
}

std::string Reason(const SweepError& e, Language lang) {
  const auto with = [&](Text t) { return say(lang, t) + Quoted(e.word); };
  switch (e.fault) {
    case Fault::NoData:
      return say(lang, Text::MeasuredNoData);
    case Fault::WrongWidth:
      return say(lang, Text::MeasuredWidthExpected) + std::to_string(e.expected) + say(lang, Text::MeasuredWidthFound) +
             std::to_string(e.found);
    case Fault::NotANumber:
      return with(Text::MeasuredNotANumber);
    case Fault::NotFinite:
      return with(Text::MeasuredNotFinite);
    case Fault::NotPositive:
      return with(Text::MeasuredNotPositive);
    case Fault::NotRising:
      return with(Text::MeasuredNotRising);
    case Fault::Parameter:
      return with(Text::MeasuredParameter);
    case Fault::Option:
      return with(Text::MeasuredOption);
    case Fault::Reference:
      return say(lang, Text::MeasuredReference);
    case Fault::OptionAfterData:
      return say(lang, Text::MeasuredOptionAfterData);
    case Fault::Header:
      return say(lang, Text::MeasuredHeader);
    case Fault::Unit:
      return with(Text::MeasuredUnit);
    case Fault::SwrBelowOne:
      return with(Text::MeasuredSwrBelowOne);
  }
  return say(lang, Text::MeasuredNoData);
}

std::string Mhz(double f, char sep) { return report::FormatPicture(f, "0.000", sep) + " MHz"; }

std::string SwrText(double swr, Language lang, char sep) {
  if (std::isinf(swr)) return say(lang, Text::MeasuredInfinite);
  return report::FormatPicture(swr, "0.00", sep);
}

std::string Resonances(const BandFinding& b, Language lang, char sep) {
  if (!b.resonances) return say(lang, Text::MeasuredOnlySwr);
  if (b.resonances->empty()) return say(lang, Text::MeasuredNoResonance);
  std::string text;
  for (double f : *b.resonances) text += (text.empty() ? "" : "  ") + Mhz(f, sep);
  return text;
}

}  // namespace

std::string SweepErrorText(const SweepError& e, const std::string& file, Language lang) {
  std::string where = file;
  if (e.line > 0) where += say(lang, Text::DesignAtLine) + std::to_string(e.line);
  return say(lang, Text::MeasuredCannotRead) + where + ": " + Reason(e, lang);
}

std::string SweepFileText(const std::string& file, const std::string& cause, Language lang) {
  return say(lang, Text::MeasuredCannotRead) + file + ": " + cause;
}

std::vector<std::string> MeasuredTable(const std::string& file, std::size_t points,
                                       const std::vector<BandFinding>& bands, Language lang, char sep) {
  constexpr int kBand = 10, kResonance = 26, kSwr = 16;
  std::vector<std::string> lines;
  lines.push_back(say(lang, Text::MeasuredTitle) + file + ", " + std::to_string(points) +
                  say(lang, Text::MeasuredPoints));
  if (bands.empty()) {
    lines.push_back(say(lang, Text::MeasuredNoBand));
    return lines;
  }
  lines.push_back(report::LeftField(say(lang, Text::MeasuredBand), kBand) +
                  report::LeftField(say(lang, Text::MeasuredResonance), kResonance) +
                  report::LeftField(say(lang, Text::MeasuredMinSwr), kSwr) + say(lang, Text::MeasuredAt));
  for (const BandFinding& b : bands) {
    const std::string resonances = Resonances(b, lang, sep);
    // A long list of resonances pushes the rest along rather than being cut.
    const int width = std::max(kResonance, report::CharCount(resonances) + 2);
    lines.push_back(report::LeftField(report::FormatGeneral(b.label, sep) + " MHz", kBand) +
                    report::LeftField(resonances, width) + report::LeftField(SwrText(b.minSwr, lang, sep), kSwr) +
                    Mhz(b.minSwrFrequency, sep));
  }
  return lines;
}

}  // namespace lorvant::sweep
