#include "session/feedpoint_window.h"

#include "engine/common.h"
#include "engine/numparse.h"
#include "session/mainform.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::feedpoint {
namespace {

using report::FormatPicture;

std::string trimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

// Every mode shows its title and the one calculate button.
WindowSetup Opened(Mode mode, Text title, Language lang) {
  WindowSetup w;
  w.mode = mode;
  w.title = say(lang, title);
  w.calculate = say(lang, Text::CalculateButton);
  return w;
}

}  // namespace

std::string ActivationStatus(Mode mode, Language lang) {
  if (mode == Mode::Impedance) return say(lang, Text::FeedStatusImpedance);
  return say(lang, Text::FeedStatusChecking);
}

std::string ClosedStatus(Language lang) { return say(lang, Text::FeedStatusClosed); }

std::optional<std::string> PrefillDistance(std::string_view info, Language lang) {
  const std::string_view marker = say(lang, Text::ReportFeedPointsBefore);
  const auto at = info.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view list = info.substr(at + marker.size());
  const auto cr = list.find('\r');
  if (cr != std::string_view::npos) list = list.substr(0, cr);

  std::optional<std::string> distance;
  // Every piece before an "m," is a distance; the rest after the last one is not.
  for (auto end = list.find("m,"); end != std::string_view::npos; end = list.find("m,")) {
    distance = trimBlanks(list.substr(0, end));
    list.remove_prefix(end + 2);
    const double v = ParseNumber(*distance);
    if (v > 7 && v < 9) break;
  }
  return distance;
}

WindowSetup OpenAllBands(const MainFormValues& main, Language lang, char sep) {
  WindowSetup w = Opened(Mode::AllBands, Text::FeedTitleAllBands, lang);
  const float length = main.run.length;
  w.rows.first = {say(lang, Text::FeedTotalLength), length > 0 ? FormatPicture(length, "##0.0##", sep) : std::string()};
  w.rows.second = {FrequencyLabel(lang), main.preferredFrequency};
  w.rows.third = {say(lang, Text::FeedDistance), PrefillDistance(main.note, lang).value_or(std::string())};
  w.rows.header = say(lang, Text::FeedAllBandsHeader);
  return w;
}

WindowSetup OpenOneFrequency(const MainFormValues& main, Language lang, char sep) {
  WindowSetup w = Opened(Mode::OneFrequency, Text::FeedTitleOneFrequency, lang);
  const float length = main.run.length;
  w.rows.first = {say(lang, Text::FeedTotalLength),
                  length > 0 ? FormatPicture(length, "##0.0###", sep) : std::string()};
  w.rows.second = {say(lang, Text::FeedFrequency), main.preferredFrequency};
  w.rows.third = {say(lang, Text::FeedDistance), {}};
  return w;
}

WindowSetup OpenImpedance(Language lang) {
  WindowSetup w = Opened(Mode::Impedance, Text::FeedTitleImpedance, lang);
  w.rows.first.caption = say(lang, Text::FeedImpedanceNote);
  w.rows.second.caption = say(lang, Text::FeedCurrentSum);
  w.rows.third.caption = say(lang, Text::FeedImpedance);
  return w;
}

WindowSetup OpenScan(float runLength, Language lang, char sep) {
  WindowSetup w = Opened(Mode::Scan, Text::FeedTitleScan, lang);
  w.rows.first = {say(lang, Text::FeedScanLeftLimit), FormatPicture(sng(runLength / 6.0), "####0.0##", sep)};
  w.rows.second = {say(lang, Text::FeedScanRightLimit), FormatPicture(sng(runLength / 2.0), "####0.0", sep)};
  w.rows.third = {say(lang, Text::FeedScanStep), "0,01"};
  w.rows.header = say(lang, Text::FeedScanHeader);
  return w;
}

}  // namespace lorvant::feedpoint
