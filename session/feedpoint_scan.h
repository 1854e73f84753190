// The scan of the feed position: the average current sum over the counted
// bands at every step between two limits on the wire.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/feedpoint_window.h"
#include "session/mainform.h"
#include "text/bilingual.h"

namespace lorvant::feedpoint {

// The scan's own frequency of a band (0..10) for the selected segment
// button (0 CW, 1 SSB, anything else band centre).
float ScanFrequency(int band, std::optional<Segment> segment);

struct ScanSetup {
  float x0 = 0, x1 = 0, step = 0;
  bool stepCorrected = false;      // a step below 0.001 became 0.001: beep, show it
  std::string stepText;            // the corrected step field
  Reason stepReason;               // why the step was corrected
  std::vector<float> frequencies;  // of the bands at exactly 1, 1.8 to 28 MHz
  float vk = 0.946f;
  float length = 0;
  double insulation = 0;
};

ScanSetup PrepareScan(const WindowTexts& window, const MainFormValues& main, char sep);

// One scan row with its line end: the position and the average over the
// bands, in the rising column or, 32 blanks further, the falling one.
std::string ScanRow(float x, double average, bool rising, char sep);

// Rows expected from a setup (for deciding on a progress display).
double EstimatedScanRows(const ScanSetup& setup);

// Called now and then with the fraction done; returning false cancels.
using ScanProgress = std::function<bool(double fraction)>;
// Receives each row (with its line end) as soon as it is made; returning
// false ends the scan there.
using ScanRowSink = std::function<bool(std::string_view row)>;

struct ScanOutcome {
  std::string rows;  // every row (RunScan only; StreamScan hands them on)
  std::size_t rowCount = 0;
  bool cancelled = false;     // the progress callback said stop
  bool receiverStop = false;  // the row receiver said stop
  bool wireEnded = false;     // the right limit lies beyond the wire: the rows end at its end
  bool stalled = false;       // the step no longer moved the position
  float stalledAt = 0;        // the last position, where it stopped moving
};

// The scan row by row, memory independent of the number of rows.
ScanOutcome StreamScan(const ScanSetup& setup, char sep, const ScanRowSink& sink, const ScanProgress& progress = {});
// The scan with every row collected in ScanOutcome::rows.
ScanOutcome RunScan(const ScanSetup& setup, char sep, const ScanProgress& progress = {});

// What the scan says when its rows ended at the wire's end, before the
// right limit.
std::string WireEndNote(Language lang, float length, char sep);

// What the scan says when the step stopped moving the single-precision
// position (a small step far out on a long wire), with that position.
std::string StalledNote(Language lang, float x, char sep);

// The window's result box holds at most this many scan rows; a longer scan
// ends there and says so (the batch tool streams any number).
inline constexpr std::size_t kScanBoxRows = 100000;
std::string RowLimitNote(Language lang);

}  // namespace lorvant::feedpoint
