// The feed-point tools: for a concrete wire fed at a concrete point, the
// currents and impedances on every band, the currents at one frequency, the
// impedance of a current sum, and a scan of the feed position. One window
// type serves all four; its caption tells the mode.
//
// Everything here works on plain records: the window's field texts, the
// main-form values the tools read, and the language and decimal separator
// of the moment. Questions go through an Asker; the callers apply the
// returned texts and main-form changes.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/current.h"
#include "session/mainform.h"
#include "session/question.h"
#include "text/bilingual.h"

namespace lorvant::feedpoint {

enum class Mode { AllBands, OneFrequency, Impedance, Scan };

// Status texts on activation and on close.
std::string ActivationStatus(Mode mode, Language lang);
std::string ClosedStatus(Language lang);

// One row of the window: a caption and its field.
struct Row {
  std::string caption;
  std::string text;
};

// The window has three rows and a result box with a header. What a row
// means is the mode's:
//   all bands, one frequency:  length, frequency, distance of the feed point
//   impedance:                 (a note without field), current sum, impedance
//   scan:                      left limit, right limit, step
struct WindowTexts {
  Row first, second, third;
  std::string header;  // the result box's column header
};

// What a mode shows when its menu command opens the window.
struct WindowSetup {
  Mode mode = Mode::OneFrequency;  // what the window calculates
  std::string title;
  std::string calculate;  // the calculate button
  WindowTexts rows;
};

WindowSetup OpenAllBands(const MainFormValues& main, Language lang, char sep);
WindowSetup OpenOneFrequency(const MainFormValues& main, Language lang, char sep);
WindowSetup OpenImpedance(Language lang);
WindowSetup OpenScan(float runLength, Language lang, char sep);

// The distance pre-fill from the main form's note: the first listed feed
// distance strictly between 7 and 9 m, else the last one; nothing when the
// note lacks the marker of the language or lists no distance. A list
// without its closing CR is read to the end of the note.
std::optional<std::string> PrefillDistance(std::string_view info, Language lang);

// The input of the window that a check refused: the focus goes there.
enum class Input { None, Length, Frequency, Distance };

// The refusal of a feed point that is not inside the wire, with the wire's
// length: "Der Speisepunkt liegt nicht auf dem Draht (0 … 41,7 m)."
std::string OffWireText(Language lang, float length, char sep);

// The impedance field of a band row and of the impedance mode: up to
// 9999.99 ohms "###0.0", above that kilo-ohms "###0.0 K".
std::string ImpedanceText(float z, char sep);

// ---- All-bands check ----

struct AllBandsEnv {
  Language lang = Language::German;
  char sep = ',';
  std::string dateText;       // the moment of the calculation, general date format
  std::string resultsFolder;  // ends with "/"; empty: no report is written
};

struct AllBandsResult {
  bool done = false;  // false: refused, nothing computed, the result box keeps its text
  Input refused = Input::None;
  std::string length;  // the window's length field afterwards (adapted on Yes)
  bool adaptAsked = false;
  bool adapted = false;  // Yes to the adapt question
  // Main-form changes on Yes: its half-wave field without the "~" prefix
  // (only when it held one), and the preferred-band length mode selected.
  std::optional<std::string> mainHalfWaves;
  bool selectPreferredLength = false;
  bool tooShortWarned = false;
  std::string rows;  // the new text of the result box
  bool reportWritten = false;
  std::string reportError;  // why SpeisePkt.txt could not be written (cause and path), else empty
  std::string info;         // the main form's note afterwards
};

// A band row and a summary row of the result box, without their line end.
std::string BandRow(std::string_view frequencyText, double s, float z, char sep);
std::string SummaryRow(Language lang, double average, char sep);

AllBandsResult CheckAllBands(const WindowTexts& window, const MainFormValues& main, const AllBandsEnv& env,
                             Asker& asker);
// The line the check adds to the main form's note once SpeisePkt.txt is written.
std::string ReportNote(Language lang);

// ---- Currents at one frequency ----

struct OneFrequencyResult {
  bool done = false;
  Input refused = Input::None;
  bool tooShortWarned = false;
  std::string rows;
};

OneFrequencyResult CheckOneFrequency(const WindowTexts& window, const MainFormValues& main, Language lang, char sep,
                                     Asker& asker);

// ---- Impedance from a current sum ----

struct ImpedanceResult {
  bool beep = false;  // out of range: a beep and an empty result
  std::string impedance;
  Reason reason;  // why it beeped
};

ImpedanceResult ImpedanceFromCurrentSum(std::string_view currentSum, char sep);

// ---- Feed-point scan ----

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
