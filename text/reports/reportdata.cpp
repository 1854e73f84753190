#include "text/reports/reportdata.h"

#include "text/format.h"

namespace lorvant::report {

int ShownBandCount(const ReportData& d) {
  int count = 0;
  for (BandState v : d.bands)
    if (v != BandState::Off) ++count;
  return count + (d.extraBand ? 1 : 0);
}

int SeparatorWidth(const ReportData& d) {
  // Without an additional band its frequency counts as 0, written "0,0".
  const int e = CharCount(FormatPicture(d.extraBand ? d.extraFrequency : 0.0f, "#0.0#", d.sep)) + 5;
  const int shown = ShownBandCount(d);
  if (shown < 10) return d.extraBand && shown == 9 ? e + 76 : 83;
  if (shown == 10) return d.extraBand ? e + 85 : 92;
  return e + 92;
}

std::size_t ReportedCandidateCount(std::span<const FeedCandidate> confirmed, float length) {
  const float half = sng(static_cast<double>(length) / 2);
  std::size_t i = 0;
  while (i < confirmed.size() && sng(confirmed[i].x) < half) ++i;
  return i;
}

}  // namespace lorvant::report
