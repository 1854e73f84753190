#include "session/run.h"
#include "session/classify.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <ostream>

#include "engine/checked.h"
#include "engine/current.h"
#include "engine/numparse.h"
#include "io/staged_files.h"
#include "session/mainform.h"
#include "session/messages.h"
#include "session/question.h"
#include "text/bilingual.h"
#include "text/format.h"
#include "text/reports/spezi.h"
#include "text/reports/strsum.h"

namespace lorvant {

namespace runtext {
std::string StatusReady(Language lang) {
  return tr(lang, "Status: Bereit zum Anzeigen der Berechnungsergebnisse",
            "Status: Ready to display the calculations results");
}
std::string StatusFilesMissing(Language lang) {
  return tr(lang, "Status: Nicht alle Ergebnisdateien wurden geschrieben", "Status: Not all result files were written");
}
}  // namespace runtext

const char* RunOutcomeName(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::Completed:
      return "completed";
    case RunOutcome::NoHalfWave:
      return "no-half-wave";
    case RunOutcome::SegmentCancelled:
      return "segment-cancelled";
    case RunOutcome::TooFewBands:
      return "too-few-bands";
    case RunOutcome::DielectricRejected:
      return "dielectric-rejected";
    case RunOutcome::DiameterTooSmall:
      return "diameter-too-small";
    case RunOutcome::Aborted:
      return "aborted";
    case RunOutcome::Cancelled:
      return "cancelled";
    case RunOutcome::FilesMissing:
      return "files-missing";
    case RunOutcome::TableTooLarge:
      return "table-too-large";
    case RunOutcome::LargeTableDeclined:
      return "large-table-declined";
  }
  return "unknown";
}

namespace {

using report::ReportData;

constexpr const char* kCrLf = "\r\n";
constexpr const char* kReportName = "AntStrSu.txt";
constexpr const char* kSpecialName = "AntSpezi.txt";
constexpr const char* kPictureName = "AntKurve.BMP";
using files::FileError;

// Another run holds the lock of the results folder.
struct FolderBusy {
  std::string folder;
};

// The run ends early (Abort in the error box, or cancelled).
struct RunStopped {
  RunOutcome outcome;
};

// One result file of the run. It is written under a temporary name and
// renamed into place only when every file of the run is complete.
struct RunFile {
  files::StagedFile staged;
  files::StagedStreamBuf buffer{staged};
  std::ostream stream{&buffer};
  bool wanted = false;   // the run means to write it
  bool dropped = false;  // given up with Ignore; a note says it was not written

  // (Re)creates the temporary file.
  void start() {
    stream.clear();
    buffer.reset();
    staged.open();
  }
  // Throws the first write failure, if any; a stop request ends the run.
  void check() {
    stream.flush();
    if (buffer.failure() && buffer.failure()->error() == ECANCELED) throw RunStopped{RunOutcome::Cancelled};
    if (buffer.failure()) throw *buffer.failure();
    if (!stream.good()) throw FileError(EIO, staged.target());
  }
  // Flushed to the disk and closed, ready for the rename.
  void finish() {
    check();
    staged.finish();
  }
  void drop() {
    staged.discard();
    dropped = true;
  }
  bool ready() const { return wanted && !dropped && staged.isFinished(); }
};

// One scan step's currents: every band's G and I1 seen from the start, the
// additional band's, and the sums S and T over the counted bands.
struct StepValues {
  std::array<double, kBandCount> G{};
  std::array<double, kBandCount> I1{};
  BandCurrent extra;
  double S = 0;
  double T = 0;
};

// What the scan and the picture read along the wire.
struct WireCurrents {
  // What StromImPunkt needs per band, prepared once before the scan.
  std::array<BandCurrentModel, kBandCount> model{};
  BandCurrentModel extraModel;
  BandValues bands{};
  bool extraBand = false;
  int counted = 0;

  void compute(std::int32_t p, StepValues& v) const {
    const double x = p / 100.0;
    for (int b = 0; b < kBandCount; ++b) {
      const auto i = static_cast<std::size_t>(b);
      const BandCurrent c = StromImPunkt(model[i], x);
      v.G[i] = c.G;
      v.I1[i] = c.I1;
    }
    v.extra = extraBand ? StromImPunkt(extraModel, x) : BandCurrent{};
    // From 50 MHz down, then the additional band: the order of the sums.
    double S = 0, T = 0;
    for (int b = kBandCount - 1; b >= 0; --b) {
      const auto i = static_cast<std::size_t>(b);
      if (bands[i] == BandState::Counted) {
        S += v.G[i];
        T += v.I1[i];
      }
    }
    if (extraBand) {
      S += v.extra.G;
      T += v.extra.I1;
    }
    v.S = S / counted;
    v.T = T / counted;
  }

  std::array<bool, kBandCount> shown() const {
    std::array<bool, kBandCount> on{};
    for (std::size_t i = 0; i < on.size(); ++i) on[i] = bands[i] != BandState::Off;
    return on;
  }
};

WireCurrents PrepareWireCurrents(const std::array<double, kBandCount>& W, bool extraBand, double extraW, float length,
                                 float vk, double ins, const CalculatorState& calc, const BandValues& bands,
                                 int counted) {
  WireCurrents c;
  for (std::size_t i = 0; i < W.size(); ++i) c.model[i] = PrepareStromImPunkt(W[i], length, vk, ins, calc);
  if (extraBand) c.extraModel = PrepareStromImPunkt(extraW, length, vk, ins, calc);
  c.bands = bands;
  c.extraBand = extraBand;
  c.counted = counted;
  return c;
}

class Run {
 public:
  Run(const RunInput& in, RunHost& host)
      : in_(in), host_(host), lang_(in.language), sep_(in.decimalSeparator), picture_(host.canvas()) {
    for (RunFile* f : {&report_, &special_}) f->buffer.setInterrupt([this] { return host_.stopRequested(); });
  }

  RunOutput execute() {
    try {
      steps();
    } catch (const RunStopped& stop) {
      // Nothing of this run reaches the folder; the earlier files stay.
      report_.staged.discard();
      special_.staged.discard();
      pictureFile_.staged.discard();
      out_.outcome = stop.outcome;
    }
    out_.info = out_.note.in(lang_);
    return std::move(out_);
  }

 private:
  // ---- error handling -------------------------------------------------

  Question ErrorQuestion(const std::string& description, bool lowerValues) const {
    Question q;
    q.text = description;
    if (lowerValues)
      q.text += std::string(kCrLf) + tr(lang_, "Bitte kleinere Werte verwenden.", "Please enter lower values.");
    q.title = tr(lang_, " Fehler ", " Error ");
    q.icon = Icon::Exclamation;
    q.buttons = Buttons::AbortRetryIgnore;
    q.defaultButton = 1;
    q.id = QuestionId::RunError;
    return q;
  }

  Question ArithmeticQuestion(const ArithmeticError& e) const {
    switch (e.kind()) {
      case ArithmeticError::Kind::Overflow:
        return ErrorQuestion(tr(lang_, "Überlauf", "Overflow"), true);
      case ArithmeticError::Kind::DivisionByZero:
        return ErrorQuestion(tr(lang_, "Division durch Null", "Division by zero"), false);
      default:
        if (lang_ == Language::German && std::string_view(e.what()) == "Invalid procedure call or argument")
          return ErrorQuestion("Unzulässiger Prozeduraufruf oder ungültiges Argument", false);
        return ErrorQuestion(e.what(), false);
    }
  }

  // Runs one step; a failure goes to the error box. Returns true when the
  // step succeeded, false when the user chose Ignore; Abort stops the run.
  template <class F>
  bool Step(F&& f) {
    for (;;) {
      Question q;
      try {
        f();
        return true;
      } catch (const ArithmeticError& e) {
        q = ArithmeticQuestion(e);
      } catch (const FileError& e) {
        q = ErrorQuestion(files::FileErrorText(lang_, e.error(), e.path()), false);
      } catch (const FolderBusy& busy) {
        q = ErrorQuestion(std::string(tr(lang_, "Der Ordner", "Another calculation is writing into the folder")) +
                              kCrLf + busy.folder + kCrLf +
                              tr(lang_, "wird gerade von einer anderen Berechnung beschrieben.", "right now."),
                          false);
      } catch (const std::bad_alloc&) {
        q = ErrorQuestion(tr(lang_, "Nicht genügend Speicher", "Out of memory"), false);
      }
      const Answer a = host_.errorHandler(q);
      if (a == Answer::Retry) continue;
      if (a == Answer::Ignore) return false;
      throw RunStopped{RunOutcome::Aborted};
    }
  }

  void Beep(const Reason& reason) {
    ++out_.beeps;
    host_.refuse(reason);
  }

  // The note grows in both languages side by side: numbers and names are
  // the same in each.
  void Note(const char* de, const char* en, const std::string& tail = {}) {
    out_.note.german += de + tail;
    out_.note.english += en + tail;
  }
  template <class F>
  void NoteEach(F&& text) {
    for (Language lang : kBothLanguages) out_.note.in(lang) += text(lang);
  }

  // ---- the run --------------------------------------------------------

  void steps() {
    Reset();
    const float lg = ReadInputs();
    if (!LengthGiven(lg)) return;
    if (lg > 0) WireLengthLimit(lg);
    CountBands();
    if (!SettleSegment()) return;
    if (!EnoughBands()) return;
    smin_ = ParseNumber(in_.minimumSum);
    if (!Insulation()) return;
    FixLength(lg);
    if (in_.calculator.active)
      heightLine_ = tr(lang_, "Antennenhöhe: ", "Antenna height: ") + in_.calculator.heightText + " m";
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
    f0_ = ParseNumber(in_.preferredFrequency);
    if (!(f0_ > 0)) f0_ = kDefaultPreferredFrequency;
    std::string_view halfWaves = in_.halfWaves;
    const auto tilde = halfWaves.find('~');
    if (tilde != std::string_view::npos) halfWaves.remove_prefix(tilde + 1);
    n_ = ParseNumber(halfWaves);
    const float lg = ParseNumber(in_.maxWireLength);
    vk_ = ParseNumber(in_.shorteningFactor);
    return lg;
  }

  // A length is needed: half-waves or a wire-length limit.
  bool LengthGiven(float lg) {
    if (n_ < 1 && lg == 0) {
      Beep({"Bitte mindestens eine Halbwelle eingeben!", "Please enter at least one half-wave!"});
      picture_.clear();
      out_.note = {" Bitte mindestens eine Halbwelle eingeben!", " Please enter at least one half-wave! "};
      out_.outcome = RunOutcome::NoHalfWave;
      return false;
    }
    return true;
  }

  void CountBands() {
    if (in_.windom) out_.equalImpedances = true;
    for (BandState v : out_.bands) {
      if (v != BandState::Off) ++shownCount_;
      if (v == BandState::Counted) ++countedCount_;
    }
    equalMode_ = out_.equalImpedances;
  }

  // Classifies the preferred frequency (segment question, additional band)
  // and starts the information text with the segment; false on Cancel.
  bool SettleSegment() {
    const Classification cls = ClassifyPreferredFrequency(f0_, in_.segment, lang_, host_);
    if (cls.extraBand) {
      extraBand_ = true;
      extraFrequency_ = cls.extraFrequency;
      ++countedCount_;
      ++shownCount_;
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
        Note("Berechnung für CW-Band: ", "Calculation for CW-Band: ");
        break;
      case Segment::Ssb:
        Note("Berechnung für SSB-Band: ", "Calculation for SSB-Band: ");
        break;
      default:
        Note("Berechnung für Bandmitte: ", "Calculation for band center: ");
        break;
    }
    return true;
  }

  bool EnoughBands() {
    if (countedCount_ <= 1) {
      Beep({"Bitte mindestens zwei Bänder auswählen!", "Please select at least two bands!"});
      picture_.clear();
      out_.note = {" Bitte mindestens zwei Bänder auswählen!", " Please select at least two bands!"};
      out_.outcome = RunOutcome::TooFewBands;
      return false;
    }
    return true;
  }

  // The insulation's shortening; false when the user rejects an unusual
  // dielectric constant or the diameters do not fit.
  bool Insulation() {
    er_ = ParseNumber(in_.dielectric);
    if (!IsInsulated(er_)) return true;
    if (er_ > 20) {
      Beep({"Relative Dielektrizitätszahl über 20.", "Relative dielectric constant above 20."});
      if (host_.ask(DielectricQuestion(lang_)) != Answer::Yes) {
        out_.focus = RunFocus::Dielectric;
        out_.outcome = RunOutcome::DielectricRejected;
        return false;
      }
    }
    const float d = ParseNumber(in_.conductorDiameter);
    const float outer = ParseNumber(in_.outerDiameter);
    if (static_cast<double>(d) < 0.01 || !(d < outer)) {
      Beep({"Der Leiterdurchmesser muss mindestens 0,01 mm und kleiner als der Außendurchmesser sein.",
            "The conductor diameter must be at least 0.01 mm and below the outer diameter."});
      out_.focus = RunFocus::ConductorDiameter;
      out_.note = {"Hinweis: Durchmesser zu gering!", "Note: Diameter too small!"};
      out_.outcome = RunOutcome::DiameterTooSmall;
      return false;
    }
    Step([&] {
      const double ins = IsolationsVerkuerzung(er_, outer, d, vk_);
      if (!std::isfinite(ins)) vk_ == 0 ? checked::divisionByZero() : checked::overflow();
      ins_ = ins;
    });
    out_.insulation = ins_;
    return true;
  }

  // The antenna length, written back to the form with the count and
  // frequency the length mode settled on.
  void FixLength(float lg) {
    Step([&] {
      float n = n_;
      float f0 = f0_;
      const float length = AntennenLaenge(n, vk_, ins_, f0, LengthCtx(out_.bands));
      checked::strictSingle(length);
      length_ = length;
      n_ = n;
      f0_ = f0;
    });
    out_.length = length_;
    out_.preferredFrequency = report::FormatPicture(f0_, "##0.0##", sep_);
    out_.halfWaves = (std::floor(n_) == n_ ? "" : "~") + report::FormatPicture(n_, "##0", sep_);
    Note("Länge der Antenne ", "Length of the antenna ",
         report::FormatPicture(length_, "##0.0##", sep_) + " m" + kCrLf);
    // Even the shortest count may not fit the wire (or the length mode does
    // not follow the count): the user must hear of it.
    if (lg > 0 && length_ > lg)
      Note("Hinweis: länger als die maximale Drahtlänge!", "Note: longer than the maximum wire length!", kCrLf);
  }

  void CountSteps() {
    Step([&] {
      const auto steps = toInt32(checked::strictSingle(static_cast<double>(length_) * 100));
      if (!steps) checked::overflow();
      N_ = *steps;
    });
  }

  // The picture's scale, the bands' wavelengths and the current models.
  void PrepareScan() {
    picture_.setup();
    Step([&] {
      if (!picture_.setScale(length_)) checked::divisionByZero();
    });
    W_ = BandWellenlaengen(SettledSegment(), ins_);
    if (extraBand_) {
      Step([&] {
        const double w = checked::div(300, extraFrequency_) * (1 - 2 * ins_);
        if (!std::isfinite(w)) checked::overflow();
        extraW_ = w;
      });
    }
    currents_ =
        PrepareWireCurrents(W_, extraBand_, extraW_, length_, vk_, ins_, in_.calculator, out_.bands, countedCount_);
  }

  // Between the long steps after the scan: a stop leaves the earlier files.
  void CheckStop() {
    if (host_.stopRequested()) throw RunStopped{RunOutcome::Cancelled};
  }

  // Labels, reports, picture; then all files go into place at once.
  void WriteAndCommit() {
    CheckStop();
    picture_.labels(N_, length_, extraBand_, extraFrequency_, lang_, sep_);
    out_.pictureLabelled = true;
    WriteReport();
    CheckStop();
    FinishSpecial();
    CheckStop();
    StagePicture();
    // Once the renames begin, the run completes.
    CheckStop();
    CommitAll();
    folderLock_.unlock();
    if (out_.unwrittenFiles.empty()) {
      out_.status = runtext::StatusReady(lang_);
      out_.outcome = RunOutcome::Completed;
    } else {
      out_.status = runtext::StatusFilesMissing(lang_);
      out_.outcome = RunOutcome::FilesMissing;
    }
  }

  LengthContext LengthCtx(const BandValues& bands) const {
    LengthContext ctx;
    ctx.bands = bands;
    ctx.segment = segment_.value_or(in_.segment);
    ctx.lengthMode = in_.lengthMode;
    ctx.tolerancePercent = ParseNumber(in_.tolerance);
    ctx.extraBand = extraBand_;
    ctx.extraFrequency = extraFrequency_;
    ctx.calc = in_.calculator;
    return ctx;
  }

  // A long wire has nearly a whole 150 / f0 per half-wave, not Vk of it, so
  // taking off one half-wave leaves it too long from about ten
  // half-waves on. The count comes down until the wire fits, or to 1. The
  // length grows with the count, so the largest fitting count is searched
  // rather than walked to (a tiny Vk gives counts beyond float's integers).
  float CountWithinLimit(float n, float lg) const {
    const LengthContext ctx = LengthCtx(in_.bands);
    const auto fits = [&](double count) {
      float k = static_cast<float>(count);
      float f0 = f0_;
      return checked::strictSingle(AntennenLaenge(k, vk_, 0.0, f0, ctx)) <= lg;
    };
    if (!(n > 1) || fits(n)) return n;
    double low = 1, high = n;  // high does not fit; low fits or is 1
    while (high - low > 1) {
      const double mid = std::floor((low + high) / 2);
      (fits(mid) ? low : high) = mid;
    }
    return static_cast<float>(low);
  }

  void WireLengthLimit(float lg) {
    float nr = 0;
    Step([&] { nr = checked::strictSingle(checked::div(checked::div(lg, vk_), checked::div(150, f0_))); });
    float nt = static_cast<float>(roundHalfEven(nr));
    float lt = 0;
    Step([&] {
      float n = nt;
      float f0 = f0_;
      const float length = AntennenLaenge(n, vk_, 0.0, f0, LengthCtx(in_.bands));
      checked::strictSingle(length);
      lt = length;
      nt = n;
      f0_ = f0;
    });
    if (lt > lg) nr = checked::strictSingle(static_cast<double>(nr) - 1);
    n_ = static_cast<float>(roundHalfEven(nr));
    if (in_.lengthMode == LengthMode::Preferred) Step([&] { n_ = CountWithinLimit(n_, lg); });

    // Bands below the wire's fundamental cannot be served: they turn grey.
    // Without a counted band there is nothing to compare with; the run then
    // ends at the band count check.
    float low = 0;
    for (int b = 0; b < kBandCount && low == 0; ++b)
      if (out_.bands[static_cast<std::size_t>(b)] == BandState::Counted) low = BandNennFrequenz(b);
    if (low > 0) {
      float fund = 0;
      const bool ok = Step([&] {
        const double h = roundHalfEven(checked::div(150, low));
        fund = checked::strictSingle(checked::div(low, checked::div(lg, h)));
      });
      if (ok) {
        const double fundKey = roundHalfEven(fund);
        for (int b = 0; b < kBandCount; ++b) {
          BandState& v = out_.bands[static_cast<std::size_t>(b)];
          if (roundHalfEven(BandNennFrequenz(b)) >= fundKey) {
            if (v != BandState::Counted) v = BandState::Grey;
            break;
          }
          if (v == BandState::Counted) v = BandState::Grey;
        }
      }
    }
    if (n_ < 1) n_ = 1;
    out_.halfWaves = report::FormatGeneral(n_, sep_);
  }

  ReportData MakeReportData() const {
    ReportData d;
    d.language = lang_;
    d.sep = sep_;
    d.f0 = f0_;
    d.n = n_;
    d.segment = SettledSegment();
    d.bands = out_.bands;
    d.extraBand = extraBand_;
    d.extraFrequency = extraBand_ ? extraFrequency_ : 0.0f;
    d.length = length_;
    d.vk = vk_;
    d.ins = ins_;
    d.er = er_;
    d.dielectricText = in_.dielectric;
    d.heightLine = heightLine_;
    d.calc = in_.calculator;
    d.specialTable = specialOn_;
    d.dateText = in_.dateText;
    return d;
  }

  // ---- files ----------------------------------------------------------

  // Step 16: the special table's size is weighed before anything is
  // written; then the results folder is locked for this run, cleared of
  // temporaries that crashed runs left, and the reports are started.
  void OpenFiles() {
    const auto started = std::chrono::system_clock::now();
    report_.staged.setTarget(in_.resultsFolder + kReportName);
    report_.wanted = true;
    if (in_.specialTable) {
      special_.staged.setTarget(in_.resultsFolder + kSpecialName);
      special_.wanted = true;
      specialOn_ = true;
      WeighSpecialTable();
    }

    if (!Step([&] {
          if (!folderLock_.tryLock(in_.resultsFolder)) throw FolderBusy{in_.resultsFolder};
        })) {
      // Ignore: the run goes on, but writes none of its files.
      filesOff_ = true;
      report_.drop();
      if (specialOn_) DropSpecial();
      return;
    }
    files::RemoveStaleTemporaries(in_.resultsFolder, started);

    if (!Step([&] { report_.start(); })) report_.drop();
    if (specialOn_ && !Step([&] { StartSpecial(-1); })) DropSpecial();
  }

  // A file that cannot fit ends the run with a message giving both sizes;
  // one above 1 GB is written only when the user agrees.
  struct Weighed {
    const char* wouldTakeDe;  // "Die Spezial-Tabelle AntSpezi.txt würde etwa "
    const char* wouldTakeEn;
    const char* adviceDe;  // what to change
    const char* adviceEn;
    const char* declinedDe;  // "Spezial-Tabelle von etwa "
    const char* declinedEn;
  };
  void Weigh(std::uint64_t bytes, const Weighed& w,
             Question (*largeQuestion)(Language, std::uint64_t, std::optional<std::uint64_t>, char)) {
    const std::optional<std::uint64_t> free = files::FreeBytes(in_.resultsFolder);
    if (free && bytes > *free) {
      Question q;
      q.text = tr(lang_, w.wouldTakeDe, w.wouldTakeEn) + SizeText(bytes, sep_) +
               tr(lang_, " groß, im Ordner", ", but the folder") + kCrLf + in_.resultsFolder + kCrLf +
               tr(lang_, "sind aber nur ", "has only ") + SizeText(*free, sep_) + tr(lang_, " frei.", " free.") +
               kCrLf + tr(lang_, w.adviceDe, w.adviceEn);
      q.title = tr(lang_, " Zu wenig Platz", " Not enough room");
      q.icon = Icon::Critical;
      q.buttons = Buttons::Ok;
      q.id = QuestionId::NotEnoughRoom;
      host_.ask(q);
      out_.refusal = q.text;
      throw RunStopped{RunOutcome::TableTooLarge};
    }
    if (bytes > kLargeTableBytes) {
      if (host_.ask(largeQuestion(lang_, bytes, free, sep_)) != Answer::Yes) {
        out_.refusal = tr(lang_, w.declinedDe, w.declinedEn) + SizeText(bytes, sep_) +
                       tr(lang_, " nicht bestätigt", " not confirmed");
        throw RunStopped{RunOutcome::LargeTableDeclined};
      }
    }
  }

  void WeighSpecialTable() {
    Weigh(EstimatedSpecialTableBytes(N_, extraBand_),
          {"Die Spezial-Tabelle AntSpezi.txt würde etwa ", "The special table AntSpezi.txt would take about ",
           "Bitte die Spezial-Tabelle abschalten oder Platz schaffen.",
           "Please switch the special table off or make room.", "Spezial-Tabelle von etwa ", "Special table of about "},
          LargeTableQuestion);
  }

  // The report's size follows from the candidates, known after the scan.
  void WeighReport(std::span<const FeedCandidate> reported) {
    Weigh(report::EstimatedCurrentSumReportBytes(data_, reported),
          {"Der Bericht AntStrSu.txt würde etwa ", "The report AntStrSu.txt would take about ",
           "Bitte eine kürzere Antenne berechnen oder Platz schaffen.",
           "Please calculate a shorter antenna or make room.", "Bericht AntStrSu.txt von etwa ",
           "Report AntStrSu.txt of about "},
          LargeReportQuestion);
  }

  // (Re)starts the special table: header, then the rows 0..upTo again (after
  // a write error and Retry, the table is written anew from its start).
  void StartSpecial(std::int64_t upTo) {
    special_.start();
    data_ = MakeReportData();
    report::SpecialTableWriter writer(special_.stream, data_);
    writer.header();
    StepValues v;
    for (std::int64_t q = 0; q <= upTo && special_.stream.good(); ++q) {
      currents_.compute(static_cast<std::int32_t>(q), v);
      writer.row(static_cast<std::int32_t>(q), v.S, v.G, v.extra.G);
    }
    special_.check();
  }

  void DropSpecial() {
    special_.drop();
    specialOn_ = false;
  }

  void FinishSpecial() {
    if (!specialOn_) return;
    bool first = true;
    const bool ok = Step([&] {
      // A Retry writes the table anew.
      if (!first || !special_.staged.isOpen()) StartSpecial(N_);
      first = false;
      data_ = MakeReportData();
      report::SpecialTableWriter writer(special_.stream, data_);
      writer.closing();
      special_.finish();
    });
    if (!ok) DropSpecial();
  }

  void WriteReport() {
    data_ = MakeReportData();
    const std::span<const FeedCandidate> confirmed(candidates_.data(), confirmed_);
    const std::size_t count = report::ReportedCandidateCount(confirmed, length_);
    const std::span<const FeedCandidate> reported = confirmed.first(count);
    out_.candidates.assign(reported.begin(), reported.end());
    out_.reportData = data_;
    out_.confirmedCandidates = confirmed_;
    if (!report_.dropped) WeighReport(reported);

    NoteEach([&](Language lang) {
      ReportData d = data_;
      d.language = lang;
      return report::FeedPointInfo(d, reported);
    });
    for (const FeedCandidate& c : reported) picture_.candidate(c.x);

    if (report_.dropped) return;  // opening was ignored
    bool first = true;
    const bool ok = Step([&] {
      if (!first || !report_.staged.isOpen()) report_.start();
      first = false;
      report::WriteCurrentSumReport(report_.stream, data_, reported);
      report_.finish();
    });
    if (!ok) report_.drop();
  }

  // The picture is encoded in memory and staged in the results folder with
  // the reports: the user looks for it there, an installed program's folder
  // takes no files, and two users or two folders must not share one picture.
  void StagePicture() {
    if (!picture_.keepsImage()) return;
    pictureFile_.wanted = true;
    if (filesOff_) {
      pictureFile_.drop();
      return;
    }
    const std::string bytes = picture_.bitmap();
    const bool ok = Step([&] {
      if (bytes.empty()) throw FileError(EIO, in_.resultsFolder + kPictureName);
      pictureFile_.staged.setTarget(in_.resultsFolder + kPictureName);
      pictureFile_.staged.open();
      pictureFile_.staged.write(bytes);
      pictureFile_.staged.finish();
    });
    if (!ok) pictureFile_.drop();
  }

  // Renames every complete file into place at once; a failure there puts
  // the earlier files back, so the folder holds the old set or the new one.
  void CommitAll() {
    std::vector<files::StagedFile*> set;
    for (RunFile* f : {&report_, &special_, &pictureFile_})
      if (f->ready()) set.push_back(&f->staged);
    if (!set.empty() && !Step([&] { files::CommitFiles(set); }))
      for (RunFile* f : {&report_, &special_, &pictureFile_})
        if (f->ready()) f->drop();
    if (!special_.ready() && specialOn_) specialOn_ = false;

    if (report_.staged.isCommitted()) {
      out_.reportPath = report_.staged.target();
      out_.files.push_back(out_.reportPath);
      // With the special table dropped after an error, the message names the
      // one file that exists.
      for (Language lang : kBothLanguages)
        out_.note.in(lang) =
            report::WithFileMessageLine(out_.note.in(lang), report::TableFileMessage(lang, specialOn_));
    }
    if (special_.staged.isCommitted()) out_.files.push_back(special_.staged.target());
    if (pictureFile_.staged.isCommitted()) {
      const std::string saved = pictureFile_.staged.target();
      out_.picturePath = saved;
      out_.files.push_back(saved);
      // The full path, so that the user finds the picture without knowing
      // where the program keeps it.
      for (Language lang : kBothLanguages) {
        const std::string message =
            tr(lang, "Kurve liegt als '", "Curve is available as '") + saved + tr(lang, "' vor. ", "'. ");
        if (out_.note.in(lang).find(message) == std::string::npos) out_.note.in(lang) += message;
      }
    }

    for (RunFile* f : {&report_, &special_, &pictureFile_}) {
      if (!f->wanted || f->staged.isCommitted()) continue;
      const std::string target = !f->staged.target().empty() ? f->staged.target() : in_.resultsFolder + kPictureName;
      out_.unwrittenFiles.push_back(target);
      NoteEach([&](Language lang) {
        return std::string(kCrLf) + tr(lang, "Die Datei '", "The file '") + files::NameOf(target) +
               tr(lang, "' wurde nicht geschrieben.", "' was not written.");
      });
    }
  }

  // ---- scan -----------------------------------------------------------

  void Scan() {
    const std::array<bool, kBandCount> shown = currents_.shown();
    double ref = 0;
    bool rising = false;
    int best = static_cast<int>(roundHalfEven(countedCount_ / 2.0));
    const double half = N_ / 2.0;
    candidates_.clear();
    confirmed_ = 0;
    StepValues v;
    report::SpecialTableWriter writer(special_.stream, data_);

    for (std::int64_t step = 0; step <= N_; ++step) {
      const auto p = static_cast<std::int32_t>(step);
      if (p != 0 && p % kProgressInterval == 0 && !host_.progress(static_cast<double>(p) / N_))
        throw RunStopped{RunOutcome::Cancelled};
      currents_.compute(p, v);
      picture_.step(p, v.I1, shown, extraBand_, v.extra.I1, v.T);

      if (specialOn_) {
        writer.row(p, v.S, v.G, v.extra.G);
        if (!special_.stream.good()) {
          // Report the failure first; a Retry writes the table anew.
          bool first = true;
          const bool ok = Step([&] {
            if (first) {
              first = false;
              special_.check();
              return;
            }
            StartSpecial(p);
          });
          if (!ok) DropSpecial();
        }
      }

      if (p > half) continue;
      // The candidate search in the first half of the wire.
      bool ok = true;
      if (equalMode_) {
        int c = 0;
        if (sng(v.S) >= smin_) {
          std::array<double, kBandCount> values{};
          for (int b = 0; b < kBandCount - 1; ++b) {
            const auto i = static_cast<std::size_t>(b);
            values[i] = out_.bands[i] == BandState::Counted ? v.G[i] : 0.0;
          }
          values[kBandCount - 1] = extraBand_ ? v.extra.G : 0.0;
          c = GleicheImpedanzen(values, smin_, countedCount_);
        }
        if (c > 0 && best < c && p > 0) {
          ref = v.S - 0.00001;
          best = c;
        } else {
          ref = v.S + 0.00001;
          if (c > 0) best = c;
        }
      }
      if (v.S >= ref) {
        ref = v.S;
        rising = true;
        Store(p, v);
      } else {
        ref = v.S;
        for (std::size_t i = 0; i < out_.bands.size(); ++i)
          if (out_.bands[i] == BandState::Counted && sng(v.G[i]) < smin_) ok = false;
        if (extraBand_ && sng(v.extra.G) < smin_) ok = false;
        if (rising && ok) ++confirmed_;
        rising = false;
      }
    }
  }

  // Overwrites the open candidate (index confirmed_) with this step.
  void Store(std::int32_t p, const StepValues& v) {
    if (candidates_.size() <= confirmed_) candidates_.resize(confirmed_ + 1);
    FeedCandidate& c = candidates_[confirmed_];
    c.x = p / 100.0;
    c.S = v.S;
    for (std::size_t i = 0; i < c.G.size(); ++i) c.G[i] = out_.bands[i] != BandState::Off ? v.G[i] : 0.0;
    c.extraG = extraBand_ ? v.extra.G : 0.0;
  }

  const RunInput& in_;
  RunHost& host_;
  const Language lang_;
  const char sep_;
  CurvePicture picture_;
  RunOutput out_;

  float f0_ = 0, n_ = 0, vk_ = 0, smin_ = 0, er_ = 0, length_ = 0;
  double ins_ = 0;
  // The segment the run settled on; none before the segment question.
  std::optional<Segment> segment_;
  Segment SettledSegment() const { return SegmentOrCentre(segment_); }
  int shownCount_ = 0, countedCount_ = 0;
  bool equalMode_ = false;
  bool extraBand_ = false;
  float extraFrequency_ = 0;
  std::string heightLine_;
  std::int32_t N_ = 0;
  std::array<double, kBandCount> W_{};
  double extraW_ = 0;
  WireCurrents currents_;
  std::vector<FeedCandidate> candidates_;
  std::size_t confirmed_ = 0;

  RunFile report_;
  RunFile special_;
  RunFile pictureFile_;
  files::FolderLock folderLock_;
  bool specialOn_ = false;
  bool filesOff_ = false;  // the folder lock was ignored: no file is written
  ReportData data_;
};

}  // namespace

RunOutput RunOptimisation(const RunInput& in, RunHost& host) {
  Run run(in, host);
  return run.execute();
}

void DrawRunPicture(Canvas& canvas, const report::ReportData& d, std::span<const FeedCandidate> reported,
                    Language lang) {
  // The run's steps for the picture alone, in its order and precision.
  CurvePicture picture(canvas);
  picture.setup();
  const std::optional<std::int32_t> steps = toInt32(sng(static_cast<double>(d.length) * 100));
  if (!picture.setScale(d.length) || !steps) return;
  double extraW = 0;
  if (d.extraBand && d.extraFrequency != 0) extraW = 300.0 / d.extraFrequency * (1 - 2 * d.ins);
  int counted = d.extraBand ? 1 : 0;
  for (BandState v : d.bands) counted += v == BandState::Counted ? 1 : 0;
  const WireCurrents currents = PrepareWireCurrents(BandWellenlaengen(d.segment, d.ins), d.extraBand, extraW, d.length,
                                                    d.vk, d.ins, d.calc, d.bands, counted);
  const std::array<bool, kBandCount> shown = currents.shown();
  StepValues v;
  for (std::int32_t p = 0; p <= *steps; ++p) {
    currents.compute(p, v);
    picture.step(p, v.I1, shown, d.extraBand, v.extra.I1, v.T);
  }
  picture.labels(*steps, d.length, d.extraBand, d.extraFrequency, lang, d.sep);
  for (const FeedCandidate& c : reported) picture.candidate(c.x);
}

}  // namespace lorvant
