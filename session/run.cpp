#include "session/run.h"

#include <chrono>
#include <cmath>

#include "engine/checked.h"
#include "engine/current.h"
#include "engine/numparse.h"
#include "engine/scan.h"
#include "session/classify.h"
#include "session/mainform.h"
#include "session/question.h"
#include "session/run_errors.h"
#include "session/run_files.h"
#include "session/run_length.h"
#include "text/bilingual.h"
#include "text/catalogue.h"
#include "text/format.h"
#include "text/reports/spezi.h"
#include "text/reports/strsum.h"

namespace lorvant {

namespace {

using report::ReportData;

constexpr const char* kCrLf = "\r\n";

// A refused input's reason in both languages.
Reason ReasonOf(Text key) { return {say(Language::German, key), say(Language::English, key)}; }

class Run {
 public:
  Run(const RunInput& in, RunHost& host)
      : in_(in),
        host_(host),
        lang_(in.language),
        sep_(in.decimalSeparator),
        picture_(host.canvas()),
        errors_(host, in.language),
        files_(in, host, errors_) {}

  RunOutput execute() {
    try {
      steps();
    } catch (const RunStopped& stop) {
      files_.discardAll();
      out_.outcome = stop.outcome;
      out_.refusal = stop.refusal;
    }
    out_.info = out_.note.in(lang_);
    return std::move(out_);
  }

 private:
  template <class F>
  bool Step(F&& step) {
    return errors_.attempt(std::forward<F>(step));
  }

  void Beep(Text reason) {
    ++out_.beeps;
    host_.refuse(ReasonOf(reason));
  }

  // The note grows in both languages side by side: numbers and names are
  // the same in each.
  void Note(Text key, const std::string& tail = {}) {
    for (Language lang : kBothLanguages) out_.note.in(lang) += say(lang, key) + tail;
  }

  // ---- the run --------------------------------------------------------

  void steps() {
    Reset();
    const float wireLimit = ReadInputs();
    if (!LengthGiven(wireLimit)) return;
    if (wireLimit > 0) WireLengthLimit(wireLimit);
    CountBands();
    if (!SettleSegment()) return;
    if (!EnoughBands()) return;
    minimumSum_ = ParseNumber(in_.minimumSum);
    if (!Insulation()) return;
    FixLength(wireLimit);
    if (in_.calculator.active) heightLine_ = say(lang_, Text::RunAntennaHeight) + in_.calculator.heightText + " m";
    data_ = ReportData();
    // The number of steps first: the special table's size follows from it
    // and is weighed before any file is opened.
    CountSteps();
    OpenFiles();
    PrepareScan();
    Scan();
    WriteAndCommit();
  }

  void Reset() {
    out_.note = {};
    out_.bands = in_.bands;
    out_.equalImpedances = in_.equalImpedances;
  }

  // Reads the frequency, the half-waves (after a "~") and the shortening
  // factor; returns the wire-length limit.
  float ReadInputs() {
    preferredFrequency_ = ParseNumber(in_.preferredFrequency);
    if (!(preferredFrequency_ > 0)) preferredFrequency_ = kDefaultPreferredFrequency;
    std::string_view halfWaves = in_.halfWaves;
    const auto tilde = halfWaves.find('~');
    if (tilde != std::string_view::npos) halfWaves.remove_prefix(tilde + 1);
    halfWaves_ = ParseNumber(halfWaves);
    const float wireLimit = ParseNumber(in_.maxWireLength);
    shorteningFactor_ = ParseNumber(in_.shorteningFactor);
    return wireLimit;
  }

  // A length is needed: half-waves or a wire-length limit.
  bool LengthGiven(float wireLimit) {
    if (halfWaves_ < 1 && wireLimit == 0) {
      Beep(Text::EnterHalfWaves);
      picture_.clear();
      out_.note = both(Text::RunHalfWaveMissingNote);
      out_.outcome = RunOutcome::NoHalfWave;
      return false;
    }
    return true;
  }

  void CountBands() {
    if (in_.windom) out_.equalImpedances = true;
    for (BandState v : out_.bands)
      if (v == BandState::Counted) ++countedBands_;
    equalImpedances_ = out_.equalImpedances;
  }

  // Classifies the preferred frequency (segment question, additional band)
  // and starts the information text with the segment; false on Cancel.
  bool SettleSegment() {
    const Classification cls = ClassifyPreferredFrequency(preferredFrequency_, in_.segment, lang_, host_);
    if (cls.extraBand) {
      extraBand_ = true;
      extraFrequency_ = cls.extraFrequency;
      ++countedBands_;
      out_.extraBand = true;
      out_.extraFrequency = extraFrequency_;
    }
    if (cls.cancelled) {
      out_.outcome = RunOutcome::SegmentCancelled;
      return false;
    }
    segment_ = in_.segment;
    if (cls.segmentChanged) {
      segment_ = cls.segment;
      out_.segment = cls.segment;
    }
    switch (*segment_) {
      case Segment::Cw:
        Note(Text::ReportSegmentCw);
        break;
      case Segment::Ssb:
        Note(Text::ReportSegmentSsb);
        break;
      default:
        Note(Text::ReportSegmentCentre);
        break;
    }
    return true;
  }

  bool EnoughBands() {
    if (countedBands_ <= 1) {
      Beep(Text::RunTooFewBands);
      picture_.clear();
      out_.note = both(Text::RunTooFewBandsNote);
      out_.outcome = RunOutcome::TooFewBands;
      return false;
    }
    return true;
  }

  // The insulation's shortening; false when the user rejects an unusual
  // dielectric constant or the diameters do not fit.
  bool Insulation() {
    dielectricConstant_ = ParseNumber(in_.dielectric);
    if (!IsInsulated(dielectricConstant_)) return true;
    if (dielectricConstant_ > 20) {
      Beep(Text::RunDielectricAbove20);
      if (host_.ask(DielectricQuestion(lang_)) != Answer::Yes) {
        out_.focus = RunFocus::Dielectric;
        out_.outcome = RunOutcome::DielectricRejected;
        return false;
      }
    }
    const float conductor = ParseNumber(in_.conductorDiameter);
    const float outer = ParseNumber(in_.outerDiameter);
    if (static_cast<double>(conductor) < 0.01 || !(conductor < outer)) {
      Beep(Text::RunDiameterRule);
      out_.focus = RunFocus::ConductorDiameter;
      out_.note = both(Text::RunDiameterTooSmallNote);
      out_.outcome = RunOutcome::DiameterTooSmall;
      return false;
    }
    Step([&] {
      const double ins = IsolationsVerkuerzung(dielectricConstant_, outer, conductor, shorteningFactor_);
      if (!std::isfinite(ins)) shorteningFactor_ == 0 ? checked::divisionByZero() : checked::overflow();
      insulation_ = ins;
    });
    out_.insulation = insulation_;
    return true;
  }

  // The antenna length, written back to the form with the count and
  // frequency the length mode settled on.
  void FixLength(float wireLimit) {
    Step([&] {
      float halfWaves = halfWaves_;
      float frequency = preferredFrequency_;
      const float length = AntennenLaenge(halfWaves, shorteningFactor_, insulation_, frequency,
                                          RunLengthContext(in_, out_.bands, segment_, extraBand_, extraFrequency_));
      checked::strictSingle(length);
      length_ = length;
      halfWaves_ = halfWaves;
      preferredFrequency_ = frequency;
    });
    out_.length = length_;
    out_.preferredFrequency = report::FormatPicture(preferredFrequency_, "##0.0##", sep_);
    out_.halfWaves = (std::floor(halfWaves_) == halfWaves_ ? "" : "~") + report::FormatPicture(halfWaves_, "##0", sep_);
    Note(Text::RunAntennaLength, report::FormatPicture(length_, "##0.0##", sep_) + " m" + kCrLf);
    // Even the shortest count may not fit the wire (or the length mode does
    // not follow the count): the user must hear of it.
    if (wireLimit > 0 && length_ > wireLimit) Note(Text::RunLongerThanWire, kCrLf);
  }

  void CountSteps() {
    Step([&] {
      const auto steps = toInt32(checked::strictSingle(static_cast<double>(length_) * 100));
      if (!steps) checked::overflow();
      steps_ = *steps;
    });
  }

  // The picture's scale, the bands' wavelengths and the current models.
  void PrepareScan() {
    picture_.setup();
    Step([&] {
      if (!picture_.setScale(length_)) checked::divisionByZero();
    });
    double extraWavelength = 0;
    if (extraBand_) {
      Step([&] {
        const double w = checked::div(300, extraFrequency_) * (1 - 2 * insulation_);
        if (!std::isfinite(w)) checked::overflow();
        extraWavelength = w;
      });
    }
    currents_ = WireCurrents({.wavelengths = BandWellenlaengen(SettledSegment(), insulation_),
                              .extraBand = extraBand_,
                              .extraWavelength = extraWavelength,
                              .length = length_,
                              .shorteningFactor = shorteningFactor_,
                              .insulation = insulation_,
                              .calculator = in_.calculator,
                              .bands = out_.bands,
                              .countedBands = countedBands_});
  }

  // Between the long steps after the scan: a stop leaves the earlier files.
  void CheckStop() {
    if (host_.stopRequested()) throw RunStopped{RunOutcome::Cancelled, {}};
  }

  // Labels, reports, picture; then all files go into place at once.
  void WriteAndCommit() {
    CheckStop();
    picture_.labels(steps_, length_, extraBand_, extraFrequency_, lang_, sep_);
    out_.pictureLabelled = true;
    WriteReport();
    CheckStop();
    FinishSpecial();
    CheckStop();
    files_.stagePicture(picture_);
    // Once the renames begin, the run completes.
    CheckStop();
    files_.commit(out_);
    files_.unlock();
    if (out_.unwrittenFiles.empty()) {
      out_.status = runtext::StatusReady(lang_);
      out_.outcome = RunOutcome::Completed;
    } else {
      out_.status = runtext::StatusFilesMissing(lang_);
      out_.outcome = RunOutcome::FilesMissing;
    }
  }

  void WireLengthLimit(float wireLimit) {
    const WireFit fit = FitWireLimit(in_, wireLimit, preferredFrequency_, shorteningFactor_, out_.bands, errors_);
    halfWaves_ = fit.halfWaves;
    preferredFrequency_ = fit.preferredFrequency;
    out_.halfWaves = report::FormatGeneral(halfWaves_, sep_);
  }

  ReportData MakeReportData() const {
    ReportData d;
    d.language = lang_;
    d.sep = sep_;
    d.f0 = preferredFrequency_;
    d.n = halfWaves_;
    d.segment = SettledSegment();
    d.bands = out_.bands;
    d.extraBand = extraBand_;
    d.extraFrequency = extraBand_ ? extraFrequency_ : 0.0f;
    d.length = length_;
    d.vk = shorteningFactor_;
    d.ins = insulation_;
    d.er = dielectricConstant_;
    d.dielectricText = in_.dielectric;
    d.heightLine = heightLine_;
    d.calc = in_.calculator;
    d.specialTable = files_.specialOn();
    d.dateText = in_.dateText;
    return d;
  }

  // ---- files ----------------------------------------------------------

  // The special table's size is weighed before anything is written; then
  // the results folder is locked for this run and the reports are started.
  void OpenFiles() {
    const auto started = std::chrono::system_clock::now();
    files_.aim(in_.specialTable);
    if (files_.specialOn()) files_.weighSpecialTable(EstimatedSpecialTableBytes(steps_, extraBand_));
    if (!files_.lock(started)) return;
    if (!Step([&] { files_.report.start(); })) files_.report.drop();
    if (files_.specialOn() && !Step([&] { StartSpecial(-1); })) files_.dropSpecial();
  }

  // (Re)starts the special table (after a write error and Retry, it is
  // written anew from its start).
  void StartSpecial(std::int64_t upTo) {
    data_ = MakeReportData();
    files_.startSpecial(data_, currents_, upTo);
  }

  // One row during the scan; a write failure is reported first, and a Retry
  // writes the table anew.
  void SpecialRow(report::SpecialTableWriter& writer, std::int32_t p, const StepCurrents& v) {
    writer.row(p, v.currentSum, v.current, v.extra.G);
    if (files_.special.stream.good()) return;
    bool first = true;
    const bool ok = Step([&] {
      if (first) {
        first = false;
        files_.special.check();
        return;
      }
      StartSpecial(p);
    });
    if (!ok) files_.dropSpecial();
  }

  void FinishSpecial() {
    if (!files_.specialOn()) return;
    bool first = true;
    const bool ok = Step([&] {
      // A Retry writes the table anew.
      if (!first || !files_.special.staged.isOpen()) StartSpecial(steps_);
      first = false;
      data_ = MakeReportData();
      report::SpecialTableWriter writer(files_.special.stream, data_);
      writer.closing();
      files_.special.finish();
    });
    if (!ok) files_.dropSpecial();
  }

  void WriteReport() {
    data_ = MakeReportData();
    const std::span<const FeedCandidate> confirmed(scan_.candidates.data(), scan_.confirmed);
    const std::size_t count = report::ReportedCandidateCount(confirmed, length_);
    const std::span<const FeedCandidate> reported = confirmed.first(count);
    out_.candidates.assign(reported.begin(), reported.end());
    out_.reportData = data_;
    out_.confirmedCandidates = scan_.confirmed;
    if (!files_.report.dropped) files_.weighReport(report::EstimatedCurrentSumReportBytes(data_, reported));

    for (Language lang : kBothLanguages) {
      ReportData d = data_;
      d.language = lang;
      out_.note.in(lang) += report::FeedPointInfo(d, reported);
    }
    for (const FeedCandidate& c : reported) picture_.candidate(c.x);

    files_.writeReport(data_, reported);
  }

  // ---- scan -----------------------------------------------------------

  // The picture and the special table follow the scan step by step.
  void Scan() {
    const std::array<bool, kBandCount> shown = currents_.shownBands();
    report::SpecialTableWriter writer(files_.special.stream, data_);
    const ScanSettings settings{.steps = steps_, .minimumSum = minimumSum_, .equalImpedances = equalImpedances_};
    scan_ = ScanWire(currents_, settings, [&](std::int32_t p, const StepCurrents& v) {
      if (p != 0 && p % kProgressInterval == 0 && !host_.progress(static_cast<double>(p) / steps_))
        throw RunStopped{RunOutcome::Cancelled, {}};
      picture_.step(p, v.startCurrent, shown, extraBand_, v.extra.I1, v.startCurrentSum);
      if (files_.specialOn()) SpecialRow(writer, p, v);
    });
  }

  const RunInput& in_;
  RunHost& host_;
  const Language lang_;
  const char sep_;
  CurvePicture picture_;
  RunOutput out_;
  RunErrors errors_;
  RunFiles files_;

  // As read from the form and then settled by the length mode.
  float preferredFrequency_ = 0;  // MHz
  float halfWaves_ = 0;
  float shorteningFactor_ = 0;      // Vk
  float minimumSum_ = 0;            // the least current sum asked for
  float dielectricConstant_ = 0;    // relative
  float length_ = 0;                // the antenna length, m
  double insulation_ = 0;           // the insulation's shortening fraction
  std::optional<Segment> segment_;  // the segment settled on; none before the segment question
  Segment SettledSegment() const { return SegmentOrCentre(segment_); }
  int countedBands_ = 0;          // the additional band included
  bool equalImpedances_ = false;  // the candidates for equal impedances
  bool extraBand_ = false;
  float extraFrequency_ = 0;  // MHz
  std::string heightLine_;
  std::int32_t steps_ = 0;  // the antenna length in centimetres: the scan's last step
  WireCurrents currents_;
  ScanResult scan_;
  ReportData data_;
};

}  // namespace

RunOutput RunOptimisation(const RunInput& in, RunHost& host) {
  Run run(in, host);
  return run.execute();
}

}  // namespace lorvant
