// The current-sum optimisation run: reads the main form's inputs, fixes the
// antenna length, scans the wire centimetre by centimetre, collects the
// candidate feed points, writes AntStrSu.txt (and AntSpezi.txt when asked)
// and the current-curve picture AntKurve.BMP.
//
// The run is one call. Whatever it needs from its user (the segment and
// additional-band questions, the dielectric question, the Abort/Retry/Ignore
// error handler, beeps, progress and cancel, the picture surface) goes
// through the RunHost that the caller supplies.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/bands.h"
#include "engine/common.h"
#include "engine/shortening.h"
#include "picture/curve_picture.h"
#include "session/question.h"
#include "text/bilingual.h"
#include "text/reports/reportdata.h"

namespace lorvant {

// The main form's inputs as the run reads them, the fields as typed. Number
// texts are read with the shared number parse (comma or point).
struct RunInput {
  std::string preferredFrequency;  // resonance frequency for the preferred band, MHz
  std::string halfWaves;           // text up to and including "~" is dropped
  std::string maxWireLength;       // m; empty or 0 = no limit
  std::string shorteningFactor;    // Vk
  std::string tolerance;           // of the highest-and-lowest length mode, percent
  std::string outerDiameter;       // over the insulation, mm
  std::string minimumSum;          // minimum current sum
  std::string dielectric;          // relative dielectric constant (the list entry's whole text)
  std::string conductorDiameter;   // mm
  BandValues bands{};              // 0 off, 1 counted, 2 grey
  bool windom = false;             // "classic WINDOM" ticked
  bool specialTable = false;       // AntSpezi.txt wanted
  Segment segment = Segment::Centre;
  LengthMode lengthMode = LengthMode::Preferred;
  bool equalImpedances = false;  // feed point for equal impedances (else maximum current sum)
  CalculatorState calculator;    // shortening-factor calculator
  Language language = Language::German;
  char decimalSeparator = ',';
  std::string resultsFolder;  // ends with "/"
  std::string dateText;       // date and time for the reports' closing lines
};

enum class RunOutcome {
  Completed,           // reports and picture done (some may have been skipped by Ignore)
  NoHalfWave,          // " Bitte mindestens eine Halbwelle eingeben!"
  SegmentCancelled,    // Cancel to the segment question
  TooFewBands,         // " Bitte mindestens zwei Bänder auswählen!"
  DielectricRejected,  // No to the dielectric question
  DiameterTooSmall,    // "Hinweis: Durchmesser zu gering!"
  Aborted,             // Abort in the error handler
  Cancelled,           // the progress callback asked to stop
  FilesMissing,        // the run reached its end, but a file was given up (Ignore in the error box)
  TableTooLarge,       // the special table would not fit the folder's free space
  LargeTableDeclined,  // No to the question about a special table above 1 GB
};

// A short name of the outcome ("completed", "no-half-wave", "segment-cancelled",
// "too-few-bands", "dielectric-rejected", "diameter-too-small", "aborted",
// "cancelled", "files-missing", "table-too-large", "large-table-declined"),
// for the batch tool's output.
const char* RunOutcomeName(RunOutcome outcome);

// Where the form puts the focus after the run.
enum class RunFocus { None, Dielectric, ConductorDiameter };

struct RunOutput {
  RunOutcome outcome = RunOutcome::Completed;

  // Write-backs to the form (empty when the run did not write the field).
  std::optional<std::string> preferredFrequency;
  std::optional<std::string> halfWaves;
  std::optional<Segment> segment;  // chosen by the segment question
  bool equalImpedances = false;    // feed point for equal impedances after the run
  BandValues bands{};              // band boxes after the run (some turned grey)

  std::string info;    // the whole note of the form after the run, lines CR LF
  BothLanguages note;  // the same in either language
  std::string status;  // status bar text; empty when unchanged
  // Why the run ended before writing anything when a message box said so
  // (the special table's size); empty otherwise.
  std::string refusal;
  RunFocus focus = RunFocus::None;
  int beeps = 0;

  // Shared results (Module1), valid for every outcome: the run resets them
  // at its start and sets them as far as it got.
  float length = 0;  // antenna length L, m
  double insulation = 0;
  bool extraBand = false;
  float extraFrequency = 0;

  // The reported candidates (those in the reports).
  std::vector<FeedCandidate> candidates;
  std::size_t confirmedCandidates = 0;  // confirmed during the scan (k)
  // What the current-sum report was written from (frequency and half-waves
  // as finally used, segment, insulation); valid once the scan completed.
  report::ReportData reportData;

  // Full paths of the files written, in the order they were completed.
  std::vector<std::string> files;
  std::string reportPath;   // AntStrSu.txt when written, else empty
  std::string picturePath;  // AntKurve.BMP when saved, else empty
  // Full paths of the files the run meant to write but gave up (Ignore);
  // the earlier files of these names are unchanged.
  std::vector<std::string> unwrittenFiles;
  // The picture got its legend and labels; the band boxes then take their
  // band colours as text colour (BandCheckColour).
  bool pictureLabelled = false;
};

// Texts of the run that the windows show too.
namespace runtext {
std::string StatusReady(Language lang);  // "Status: Bereit zum Anzeigen der Berechnungsergebnisse"
// After a run that could not write all of its files.
std::string StatusFilesMissing(Language lang);
}  // namespace runtext

// The special table's size in bytes for a scan of `steps` centimetres,
// estimated before anything is written (its rows are of fixed width).
std::uint64_t EstimatedSpecialTableBytes(std::int32_t steps, bool extraBand);
// Above this size the run asks before it writes the special table or the
// current-sum report.
inline constexpr std::uint64_t kLargeTableBytes = 1'000'000'000;
// A byte count as the messages give it: "530 KB", "12,3 MB", "1,3 GB".
std::string SizeText(std::uint64_t bytes, char sep);

// The question the run asks for a relative dielectric constant above 20
// (Yes goes on, anything else ends the run). The other two questions of the
// run are ExtraBandQuestion and SegmentQuestion of session/classify.h; a
// host tells them apart by their QuestionId.
Question DielectricQuestion(Language lang);
// The question before a special table of more than kLargeTableBytes (Yes
// writes it, anything else ends the run).
Question LargeTableQuestion(Language lang, std::uint64_t tableBytes, std::optional<std::uint64_t> freeBytes, char sep);
// The same question for a current-sum report of that size (a very long
// wire with millions of candidates).
Question LargeReportQuestion(Language lang, std::uint64_t reportBytes, std::optional<std::uint64_t> freeBytes,
                             char sep);

// What the caller supplies to the run.
class RunHost : public Asker {
 public:
  // ask(): the segment, additional-band and dielectric questions.
  // An audible signal.
  virtual void beep() {}
  // A refused input: the signal and why (a window shows the reason).
  virtual void refuse(const Reason& /*reason*/) { beep(); }
  // Called every few thousand scan steps with the part done (0..1); return
  // false to cancel the run.
  virtual bool progress(double /*fraction*/) { return true; }
  // Asked while the reports are written and between the steps after the
  // scan (a signal to the batch tool): true stops the run, as a cancel.
  virtual bool stopRequested() { return false; }
  // The Abort/Retry/Ignore box of a failing step. Answers other than Retry
  // and Ignore count as Abort.
  virtual Answer errorHandler(const Question& q) { return ask(q); }
  // The drawing surface of the current-curve picture.
  virtual Canvas& canvas() { return nullCanvas_; }

 private:
  NullCanvas nullCanvas_;
};

// How many scan steps lie between two progress calls.
inline constexpr std::int32_t kProgressInterval = 2048;

RunOutput RunOptimisation(const RunInput& in, RunHost& host);

// The current-curve picture of a completed run drawn again from what its
// reports were written from and the candidates it reported, with the labels
// in `lang`: in the run's language it is the picture the run drew.
void DrawRunPicture(Canvas& canvas, const report::ReportData& d, std::span<const FeedCandidate> reported,
                    Language lang);

}  // namespace lorvant
