#include "windows/main/frmHauptform.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "picture/qt/ImageCanvas.h"
#include "session/mainform.h"
#include "session/run.h"
#include "shell/Module1.h"
#include "shell/Text.h"
#include "shell/ui/Files.h"
#include "shell/ui/Forms.h"
#include "text/bilingual.h"
#include "text/format.h"
#include "windows/main/MainForm.h"
#include "windows/viewer/frmRTF.h"

// The form's life: loading, captions, activation, its place in the main
// window's area. Its controls are built in FormLayout.cpp, its fields
// checked in FieldChecks.cpp, and the run is handed off in RunHandOff.cpp.

namespace lorvant {
namespace {

QPointer<frmHauptform> theForm;

}  // namespace

frmHauptform* frmHauptform::instance() {
  if (!theForm) {
    auto* form = new frmHauptform;
    theForm = form;
    Forms::adopt(form);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) {
      // The form follows the size of the main window's area (see fitToArea).
      sub->installEventFilter(form);
      if (QMdiArea* area = sub->mdiArea()) area->installEventFilter(form);
    }
    Forms::onActivation(form, [form] { form->activate(); });
    form->load();
  }
  return theForm;
}

frmHauptform* frmHauptform::loaded() { return theForm; }

CalculatorState frmHauptform::calculatorState() { return mainForm::calculatorState(); }

frmHauptform::frmHauptform(QWidget* parent) : QWidget(parent) {
  setObjectName("frmHauptform");
  buildControls();
  connectHandlers();
}

frmHauptform::~frmHauptform() = default;

QString frmHauptform::general(float value) { return qs(report::FormatGeneral(value, Module1::decimalSeparator())); }

QString frmHauptform::picture(float value, const char* pic) {
  return qs(report::FormatPicture(value, pic, Module1::decimalSeparator()));
}

void frmHauptform::load() {
  HauptForm_Sprache();
  fillMaterialList();
  fillConductorList();
  const RunInput loaded = LoadedFormInput(Module1::language(), Module1::decimalSeparator());
  Text1->setText(qs(loaded.preferredFrequency));
  Text6->setText(qs(loaded.outerDiameter));
  Combo2->setEditText(qs(loaded.conductorDiameter));
  Text8->setText(qs(loaded.minimumSum));
  VkSteller->setValue(50);
}

void frmHauptform::fillMaterialList() {
  const QSignalBlocker quiet(Combo1);
  const char sep = Module1::decimalSeparator();
  QString typed = Combo1->currentText();
  const bool refill = Combo1->count() > 0;
  // A language switch renames the list, and an entry of the list in the
  // field with it; a value of the user's own stays as typed.
  const int entry = Combo1->findText(typed);
  const bool air = typed == qs(AirEntry(Language::German, sep)) || typed == qs(AirEntry(Language::English, sep));
  Combo1->clear();
  for (const std::string& item : MaterialList(Module1::language(), sep)) Combo1->addItem(qs(item));
  Combo1->setCurrentIndex(-1);
  if (!refill || air)
    typed = qs(AirEntry(Module1::language(), sep));  // at load the air entry is the text
  else if (entry >= 0 && entry < Combo1->count())
    typed = Combo1->itemText(entry);
  Combo1->setEditText(typed);
}

void frmHauptform::fillConductorList() {
  const QSignalBlocker quiet(Combo2);
  Combo2->clear();
  for (const std::string& item : ConductorList(Module1::decimalSeparator())) Combo2->addItem(qs(item));
  Combo2->setCurrentIndex(-1);
}

void frmHauptform::HauptForm_Sprache() {
  setWindowTitle(say(Text::WindowMainTitle));
  Frame3->setTitle(say(Text::WindowMainLengthFrame));
  Label1->setText(qs(FrequencyLabel(Module1::language())));
  Label2->setText(say(Text::WindowMainHalfWaves));
  Frame4->setTitle(say(Text::WindowMainOptimiseFrame));
  Option2[0]->setText(say(Text::WindowMainPreferredBand));
  Option2[1]->setText(say(Text::WindowMainHighestLowest));
  Option2[2]->setText(say(Text::WindowMainAll));
  Check10->setText(say(Text::WindowMainAll));
  Label4->setText(say(Text::WindowMainAtMax));
  Label3->setText(say(Text::WindowMainTolerance));
  Label6->setText(say(Text::WindowMainMaximumLength));
  Label7->setText(say(Text::WindowMainShorteningFactor));
  Frame5->setTitle(say(Text::WindowMainInsulationFrame));
  Label8->setText(say(Text::WindowMainDielectric));
  Label10->setText(say(Text::WindowMainOuterDiameter));
  Label11->setText(say(Text::WindowMainConductorDiameter));
  Frame2->setTitle(say(Text::WindowMainBandsFrame));
  Frame1->setTitle(say(Text::WindowMainSegmentFrame));
  Option1[0]->setText(say(Text::WindowMainSegmentCw));
  Option1[1]->setText(say(Text::WindowMainSegmentSsb));
  Option1[2]->setText(say(Text::WindowMainSegmentCentre));
  Label12->setText(say(Text::WindowMainMinimumSum));
  Check2->setText(say(Text::WindowMainClassicWindom));
  Check11->setText(say(Text::WindowMainSpecialTable));
  Frame6->setTitle(say(Text::WindowMainFeedFrame));
  Option3->setText(say(Text::WindowMainFeedMaximumSum));
  Option4->setText(say(Text::WindowMainFeedEqualImpedances));
  Command1->setText(say(Text::CalculateButton));
  Command2->setText(say(Text::WindowMainDisplay));
  Command2->setToolTip(say(Text::WindowMainDisplayTip));
  Command1->setToolTip(say(Text::WindowMainCalculateTip));
  Text4->setToolTip(say(Text::WindowMainShorteningTip));
  Combo1->setToolTip(say(Text::WindowMainMaterialTip));
  Text6->setToolTip(say(Text::WindowMainOuterDiameterTip));
  Combo2->setToolTip(say(Text::WindowMainConductorTip));
  Bild1->setToolTip(say(Text::WindowMainPictureTip));
  Frame5->setToolTip(say(Text::WindowMainInsulationTip));
  if (Combo1->count() > 0) fillMaterialList();
  renderNote();
  redrawPicture();
}

frmHauptform::NoteText frmHauptform::bilingual(Text key) {
  return [key] { return say(key); };
}

void frmHauptform::renderNote() {
  QString text;
  if (note_.empty()) text = say(Text::WindowMainNote);
  for (const NoteText& piece : note_) text += piece();
  Info->setText(text);
  noteShown_ = text;
}

void frmHauptform::setNote(NoteText text) {
  note_ = {std::move(text)};
  renderNote();
}

void frmHauptform::addNote(NoteText text, bool ownLine) {
  const QString piece = text();
  const QString shown = Info->text();
  if (shown.contains(piece)) return;
  // A note written into the label by other means stays as it reads.
  if (shown != noteShown_)
    note_ = {[shown] { return shown; }};
  else if (note_.empty())
    note_ = {bilingual(Text::WindowMainNote)};
  if (ownLine) note_.push_back([] { return Module1::state().lineBreak; });
  note_.push_back(std::move(text));
  renderNote();
}

QString frmHauptform::activeStatus() { return say(Text::WindowMainActiveStatus); }

void frmHauptform::activate() {
  Forms::setStatus(activeStatus());
  Text3->clear();
  syncSpinnerFromVk();
}

void frmHauptform::showReport() { Module1::showFile(Module1::state().reportPath); }

void frmHauptform::fitToArea() {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  QMdiArea* area = sub ? sub->mdiArea() : nullptr;
  if (!area || sub->isMaximized() || sub->isMinimized()) return;
  // Once the user has sized the window himself, his size stands.
  if (fittedSize_.isValid() && sub->size() != fittedSize_) return;
  // As large as the area allows, up to the size at which the picture is
  // shown in its own pixels; never below what keeps every field usable
  // (the area scrolls then).
  const QSize room = area->contentsRect().size();
  fittedSize_ = sub->sizeHint().boundedTo(room).expandedTo(sub->minimumSizeHint());
  sub->resize(fittedSize_);
}

void frmHauptform::closeEvent(QCloseEvent* event) {
  if (Forms::unloading()) {
    event->accept();
    return;
  }
  event->ignore();
  Forms::setStatus(say(Text::WindowMainClosedStatus));
  Forms::hide(this);
}

}  // namespace lorvant
