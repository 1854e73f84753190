#include "session/feedpoint_scan.h"

#include <algorithm>
#include <cmath>

#include "engine/common.h"
#include "engine/numparse.h"
#include "session/feedpoint_wire.h"
#include "session/mainform.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::feedpoint {
namespace {

using report::FormatGeneral;
using report::FormatPicture;

// Why a step was raised to the least one, in both languages.
Reason StepAtLeast(const std::string& stepText) {
  const BothLanguages text = both(Text::FeedStepAtLeast);
  return {text.german + stepText + " m.", text.english + stepText + " m."};
}

// The average current sum at position x of the wire, over the bands'
// wavelengths on it.
double SumAt(float x, const ScanSetup& s, const std::vector<double>& wavelengths) {
  const double quarter = s.vk / 4.0;
  double sum = 0;
  const double y = static_cast<double>(s.length) - x;
  for (double w : wavelengths) {
    const double a1 = (x / w - quarter) * kTwoPi;
    const double a2 = (y / w - quarter) * kTwoPi;
    sum += std::sqrt(std::fabs(std::cos(a1)) * std::fabs(std::cos(a2)));
  }
  return sum;
}

}  // namespace

float ScanFrequency(int band, std::optional<Segment> segment) {
  static constexpr float kTable[kBandCount][3] = {
      {1.82f, 1.86f, 1.857f},   {3.5f, 3.75f, 3.65f},    {5.353f, 5.36f, 5.36f},     {7.0f, 7.06f, 7.1f},
      {10.1f, 10.13f, 10.125f}, {14.0f, 14.25f, 14.25f}, {18.068f, 18.13f, 18.118f}, {21.0f, 21.25f, 21.225f},
      {24.89f, 24.95f, 24.94f}, {28.0f, 28.6f, 28.5f},   {50.09f, 50.15f, 50.5f}};
  if (band < 0 || band >= kBandCount) return 0;
  const int column = ButtonOfSegment(SegmentOrCentre(segment));
  return kTable[band][column];
}

ScanSetup PrepareScan(const WindowTexts& window, const MainFormValues& main, char sep) {
  ScanSetup s;
  // The 50 MHz band takes no part in the scan; grey bands do not count.
  for (int i = 0; i < kBandCount - 1; ++i)
    if (main.bands[i] == BandState::Counted) s.frequencies.push_back(ScanFrequency(i, main.segment));
  s.vk = MainVk(main);
  s.length = main.run.length;
  s.insulation = main.run.insulation;
  s.x0 = ParseNumber(window.first.text);
  s.x1 = ParseNumber(window.second.text);
  s.step = ParseNumber(window.third.text);
  s.stepText = window.third.text;
  if (s.step < 0.001) {
    s.step = 0.001f;
    s.stepCorrected = true;
    s.stepText = FormatGeneral(s.step, sep);
    s.stepReason = StepAtLeast(s.stepText);
  }
  return s;
}

std::string ScanRow(float x, double average, bool rising, char sep) {
  std::string row = rising ? std::string() : std::string(32, ' ');
  row += FormatPicture(x, "##0.000", sep);
  row += " m     ";
  row += FormatPicture(average, "#0.0####", sep);
  row += "\r\n";
  return row;
}

double EstimatedScanRows(const ScanSetup& s) {
  const float last = std::min(s.x1, s.length);
  if (s.frequencies.empty() || s.x0 > last || !(s.step > 0)) return 0;
  return (static_cast<double>(last) - s.x0) / s.step + 1;
}

ScanOutcome StreamScan(const ScanSetup& s, char sep, const ScanRowSink& sink, const ScanProgress& progress) {
  ScanOutcome out;
  // Without a counted band every row's average would divide by zero: no rows.
  if (s.frequencies.empty()) return out;
  const auto count = static_cast<double>(s.frequencies.size());
  std::vector<double> wavelengths;
  for (float f : s.frequencies) wavelengths.push_back(WireWavelength(s.insulation, f));
  const double span = static_cast<double>(s.x1) - s.x0;

  float prev = 0;
  float x = s.x0;
  while (x <= s.x1) {
    // Beyond the wire there is no current to sum.
    if (x > s.length) {
      out.wireEnded = true;
      break;
    }
    const double sum = SumAt(x, s, wavelengths);
    const float current = sng(sum);
    ++out.rowCount;
    if (!sink(ScanRow(x, sum / count, current > prev, sep))) {
      out.receiverStop = true;
      break;
    }
    prev = current;

    // Far out on a long wire a small step is lost in the position's
    // rounding; the position would never move again.
    const float next = sng(static_cast<double>(x) + s.step);
    if (next == x) {
      out.stalled = true;
      out.stalledAt = x;
      break;
    }
    x = next;
    if (progress && out.rowCount % 1024 == 0) {
      const double done = span > 0 ? (static_cast<double>(x) - s.x0) / span : 1.0;
      if (!progress(done)) {
        out.cancelled = true;
        break;
      }
    }
  }
  return out;
}

ScanOutcome RunScan(const ScanSetup& s, char sep, const ScanProgress& progress) {
  std::string rows;
  ScanOutcome out = StreamScan(
      s, sep,
      [&rows](std::string_view row) {
        rows += row;
        return true;
      },
      progress);
  out.rows = std::move(rows);
  return out;
}

std::string RowLimitNote(Language lang) {
  return say(lang, Text::FeedRowLimit) + std::to_string(kScanBoxRows) + say(lang, Text::FeedRowLimitEnd);
}

std::string WireEndNote(Language lang, float length, char sep) {
  return say(lang, Text::FeedWireEnd) + FormatPicture(length, "##0.0##", sep) + " m).";
}

std::string StalledNote(Language lang, float x, char sep) {
  return say(lang, Text::FeedStalled) + FormatPicture(x, "##0.000", sep) + say(lang, Text::FeedStalledEnd);
}

}  // namespace lorvant::feedpoint
