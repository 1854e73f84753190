#include "windows/main/frmHauptform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "picture/qt/ImageCanvas.h"
#include "session/mainform.h"
#include "session/question.h"
#include "session/run.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Files.h"
#include "shell/ui/Forms.h"
#include "text/bilingual.h"

// "&Rechnen": the fields gathered into the run's input, the run, and its
// results back into the form.

namespace lorvant {
namespace {

// The run's questions as message boxes, its beeps, its progress display
// (shown by the seam once the run lasts longer than about half a second)
// and the picture of Bild1.
class FormRunHost final : public RunHost {
 public:
  FormRunHost(QWidget* parent, Canvas& canvas) : parent_(parent), canvas_(canvas) {}
  Answer ask(const Question& q) override { return lorvant::ask(parent_, q); }
  void beep() override { seam().beep(); }
  void refuse(const Reason& reason) override { lorvant::refuse(reason); }
  bool progress(double fraction) override {
    // Started with the scan, not before: a question box of the run must
    // not have a progress display come up behind it.
    if (!progress_) progress_ = seam().startProgress(parent_, say(Text::WindowMainRunProgress));
    return progress_->update(fraction);
  }
  Answer errorHandler(const Question& q) override { return lorvant::ask(parent_, q); }
  Canvas& canvas() override { return canvas_; }

 private:
  QWidget* parent_;
  Canvas& canvas_;
  std::unique_ptr<ProgressHandle> progress_;
};

struct BusyPointer {
  BusyPointer() { seam().setBusy(true); }
  ~BusyPointer() { seam().setBusy(false); }
};

// The fields that the run and the tool windows both read, as typed.
template <class Record>
void takeTypedFields(const frmHauptform& form, Record& r) {
  r.preferredFrequency = utf8(form.Text1->text());
  r.halfWaves = utf8(form.Text2->text());
  r.shorteningFactor = utf8(form.Text4->text());
  r.minimumSum = utf8(form.Text8->text());
  r.conductorDiameter = utf8(form.Combo2->currentText());
  r.bands = form.bandValues();
  r.lengthMode = form.lengthMode();
  r.calculator = frmHauptform::calculatorState();
}

}  // namespace

RunInput frmHauptform::runInput() const {
  RunInput in;
  takeTypedFields(*this, in);
  in.maxWireLength = utf8(Text3->text());
  in.tolerance = utf8(Text5->text());
  in.outerDiameter = utf8(Text6->text());
  in.dielectric = utf8(Combo1->currentText());
  in.windom = Check2->isChecked();
  in.specialTable = Check11->isChecked();
  in.segment = segment();
  in.equalImpedances = Option4->isChecked();
  in.language = Module1::language();
  in.decimalSeparator = Module1::decimalSeparator();
  in.resultsFolder = Module1::nativePath(Module1::state().resultsFolder);
  in.dateText = utf8(Module1::generalDateTime());
  return in;
}

MainFormValues frmHauptform::values() const {
  MainFormValues v;
  takeTypedFields(*this, v);
  v.segment = selectedSegment();
  v.tolerancePercent = Module1::parse(Text5->text());
  v.note = utf8(Info->text());
  const Module1::State& s = Module1::state();
  v.run.length = s.antennaLength;
  v.run.insulation = s.insulation;
  v.run.extraBand = s.extraBandOn;
  v.run.extraFrequency = s.extraBandFrequency;
  v.run.candidates = lastCandidates_;
  v.run.conductorDiameter = lastRun_.conductorDiameter;
  v.run.shorteningFactor = lastRun_.shorteningFactor;
  v.run.dielectric = lastRun_.dielectric;
  v.run.outerDiameter = lastRun_.outerDiameter;
  v.run.report = lastRun_.report;
  return v;
}

void frmHauptform::runCalculation() {
  // A folder that takes no files is said before the work, not after it.
  if (!Module1::ensureWritableResultsFolder(this)) return;
  if (!canvas_) canvas_ = std::make_unique<ImageCanvas>(kPictureWidth, kPictureHeight);
  RunOutput out;
  {
    const BusyPointer busy;
    FormRunHost host(this, *canvas_);
    const RunInput in = runInput();
    out = RunOptimisation(in, host);
    lastRun_.conductorDiameter = in.conductorDiameter;
    lastRun_.shorteningFactor = in.shorteningFactor;
    lastRun_.dielectric = in.dielectric;
    lastRun_.outerDiameter = in.outerDiameter;
  }
  applyRunOutput(out);
  emit runFinished(out.outcome == RunOutcome::Completed || out.outcome == RunOutcome::FilesMissing);
}

void frmHauptform::showCancelled() {
  const bool kept = !Module1::state().reportPath.isEmpty();
  setNote([kept] {
    QString note = say(Text::WindowMainRunCancelled);
    if (kept) note += say(Text::WindowMainRunFilesKept);
    return note;
  });
  clearResults();
  Forms::setStatus(activeStatus());
}

void frmHauptform::clearResults() {
  // Nothing of a run that stopped early was written: neither a picture
  // (half-drawn, or the one of the run before) nor the display command nor
  // the band colours of that picture's legend may suggest otherwise.
  canvas_->clear();
  pictureOfRun_ = false;
  Bild1->setPixmap(QPixmap::fromImage(canvas_->image()));
  Command2->setEnabled(false);
  for (QCheckBox* box : Check1) box->setPalette(QPalette());
}

void frmHauptform::applyRunOutput(const RunOutput& out) {
  // Text1 first: its change derives the half-waves from the old count,
  // which the run's own count then replaces.
  if (out.preferredFrequency) Text1->setText(qs(*out.preferredFrequency));
  if (out.halfWaves) Text2->setText(qs(*out.halfWaves));
  if (out.segment) Option1[ButtonOfSegment(out.segment)]->setChecked(true);
  if (out.equalImpedances) Option4->setChecked(true);
  for (int i = 0; i < kBandCount; ++i)
    if (bandValue(i) != out.bands[i]) setBandValue(i, out.bands[i]);
  setNote([note = out.note] { return qs(note.in(Module1::language())); });
  Bild1->setPixmap(QPixmap::fromImage(canvas_->image()));
  pictureOfRun_ = out.pictureLabelled;
  if (out.pictureLabelled) colourBandBoxes();

  Module1::State& shared = Module1::state();
  shared.insulation = out.insulation;
  shared.extraBandOn = out.extraBand;
  shared.extraBandFrequency = out.extraFrequency;
  if (out.preferredFrequency) shared.antennaLength = out.length;
  lastCandidates_ = out.candidates;
  lastRun_.report = out.reportData;
  if (!out.reportPath.empty()) shared.reportPath = Module1::fromNativePath(out.reportPath);

  const bool ranThrough = out.outcome == RunOutcome::Completed || out.outcome == RunOutcome::FilesMissing;
  if (out.outcome == RunOutcome::Cancelled)
    showCancelled();
  else if (!ranThrough)
    clearResults();
  // "Anzeigen" shows this run's report; after a run that could not write it
  // there is nothing of this run to show.
  if (ranThrough) Command2->setEnabled(!out.reportPath.empty());
  if (!out.status.empty()) Forms::setStatus(qs(out.status));
  if (out.focus == RunFocus::Dielectric)
    Combo1->setFocus();
  else if (out.focus == RunFocus::ConductorDiameter)
    Combo2->setFocus();
}

void frmHauptform::redrawPicture() {
  // The curves of the last run with the labels of the language of the
  // moment; AntKurve.BMP keeps the language it was written in.
  if (!pictureOfRun_ || !canvas_) return;
  DrawRunPicture(*canvas_, lastRun_.report, lastCandidates_, Module1::language());
  Bild1->setPixmap(QPixmap::fromImage(canvas_->image()));
}

void frmHauptform::colourBandBoxes() {
  for (int i = 0; i < kBandCount; ++i) {
    const Rgb c = PaletteColour(BandCheckColour(i, bandValue(i)));
    QPalette pal = Check1[i]->palette();
    pal.setColor(QPalette::WindowText, QColor(c.r, c.g, c.b));
    Check1[i]->setPalette(pal);
  }
}

}  // namespace lorvant
