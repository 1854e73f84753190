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
  const auto t = [](const char* de, const char* en) { return Module1::tr(de, en); };
  setWindowTitle(t("Berechnung einer Stromsummenantenne  ", "Calculation of a current sum antenna  "));
  Frame3->setTitle(t("Antennen&länge:", "Antenna &length:"));
  Label1->setText(qs(FrequencyLabel(Module1::language())));
  Label2->setText(t("geplante Antennenlänge in Anzahl &Halbwellen des bevorzugten Bandes:",
                    "Planned antenna length in number of &half-waves of the preferred Band:"));
  Frame4->setTitle(t(" &Optimieren für Band:", " &Optimize for band:"));
  Option2[0]->setText(t("bevorzugtes", "preferred"));
  Option2[1]->setText(t("höchstes und tiefstes", "highest and deepest"));
  Option2[2]->setText(t("alle", "all"));
  Check10->setText(t("alle", "all"));
  Label4->setText(t("bei max", "at max"));
  Label3->setText(t("% Toleranz", "% tolerance"));
  Label6->setText(t("oder  maximal  mögliche  Drahtlän&ge  [m]:", "or maximum possible wire length [m]:"));
  Label7->setText(t("&Verkürzungs - Faktor Vk:  ", "Shortening factor &Vk:  "));
  Frame5->setTitle(t("Draht&isolierung", "Wire &insulation"));
  Label8->setText(t("relative Di&elektrizitätszahl :", "relative di&electric constant :"));
  Label10->setText(t("Außendurchmesser:", "Outer diameter:"));
  Label11->setText(t("Leiterdurchmesser:", "Conductor diameter:"));
  Frame2->setTitle(t("Antenne berechnen für Ba&nd [MHz]:", "Calculate antenna for &band [MHz]:"));
  Frame1->setTitle(t("Stroms&ummen im Band für:", "Current sums in the Band for:"));
  Option1[0]->setText(t("&CW-Bereich", "CW - &area"));
  Option1[1]->setText(t("&SSB-Bereich", "&SSB - area"));
  Option1[2]->setText(t("Band&mitte", "Band center"));
  Label12->setText(t("Stroms. -  Minimum: ", "Currents.-  minimum: "));
  Check2->setText(t("klassische &WINDOM berechnen", "Calculate classic &WINDOM"));
  Check11->setText(t("Spe&zial - Tabelle erstellen", "Create special - &table"));
  Frame6->setTitle(t("Speise&punkt optimieren für:", "Optimize feed &point for:"));
  Option3->setText(t("maximale Stromsumme", "Maximum current sum"));
  Option4->setText(t("gleiche Impedanzen", "equal Impedances"));
  Command1->setText(t("&Rechnen", "Calc&ulate"));
  Command2->setText(t("&Anzeigen", "&Displays"));
  Command2->setToolTip(t(" Ergebnisse anzeigen ", " show results "));
  Command1->setToolTip(t(" Berechnung durchführen  ", " Perform calculation  "));
  Text4->setToolTip(t(" aus Schlankheitsgrad u. Antennenhöhe ", " from slimness degree and antenna height "));
  Combo1->setToolTip(t(" Isolier-Material ", " Isulation-material "));
  Text6->setToolTip(t(" Gesamtdurchmesser ", " Total diameter "));
  Combo2->setToolTip(t("Drahtdurchmesser", " Wire diameter "));
  Bild1->setToolTip(
      t("Ströme der einzelnen Frequenzen auf der Antenne", " Currents of the individual frequencies on the antenna "));
  Frame5->setToolTip(t("für zusätzlichen Verkürzungsfaktor bei isoliertem Draht",
                       " for an additional shortening factor for insulated wire "));
  if (Combo1->count() > 0) fillMaterialList();
  renderNote();
  redrawPicture();
}

frmHauptform::NoteText frmHauptform::bilingual(const char* german, const char* english) {
  return [german, english] { return Module1::tr(german, english); };
}

void frmHauptform::renderNote() {
  QString text;
  if (note_.empty()) text = Module1::tr("Hinweis:", "Note:");
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
    note_ = {bilingual("Hinweis:", "Note:")};
  if (ownLine) note_.push_back([] { return Module1::state().lineBreak; });
  note_.push_back(std::move(text));
  renderNote();
}

QString frmHauptform::activeStatus() {
  return Module1::tr("Status: Berechnung einer Stromsummenantenne", "Status: Calculate a current-sum antenna");
}

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
  Forms::setStatus(Module1::tr("Status: Bereit für Antennen-Berechnungen", "Status: Ready for antenna-calculations"));
  Forms::hide(this);
}

}  // namespace lorvant
