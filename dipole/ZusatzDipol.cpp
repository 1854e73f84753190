#include "dipole/ZusatzDipol.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "calc/filecommit.h"
#include "calc/reports/text.h"
#include "forms/main/MainForm.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/ui/Forms.h"
#include "shell/ui/TextColour.h"

namespace lorvant {
namespace {

QPointer<ZusatzDipol> current;

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& q) { return q.toStdString(); }

// Widths of the frequency field with and without the half-wave field beside
// it (660 and 1215 twips).
constexpr int kNarrow = 44;
constexpr int kWide = 81;

}  // namespace

ZusatzDipol* ZusatzDipol::instance() {
  if (!current) {
    current = new ZusatzDipol();
    Forms::adopt(current);
    ZusatzDipol* w = current;
    // Loading does not show it (the calculator's take-over loads it).
    Forms::hide(w);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
      QObject::connect(sub, &QMdiSubWindow::windowStateChanged, w,
                       [w](Qt::WindowStates before, Qt::WindowStates now) {
                         if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive)) w->refresh();
                       });
  }
  return current;
}

ZusatzDipol* ZusatzDipol::loaded() { return current.data(); }

void ZusatzDipol::mnuBerZusDipol() { Forms::show(instance()); }

ZusatzDipol::ZusatzDipol(QWidget* parent) : QWidget(parent) {
  setObjectName("ZusatzDipol");
  const dipole::Texts t = dipole::Captions(Module1::language());
  const char sep = Module1::decimalSeparator();
  auto* outer = new QVBoxLayout(this);

  auto* top = new QHBoxLayout();
  Frame3 = new QGroupBox(q(t.type), this);
  auto* typeRow = new QHBoxLayout(Frame3);
  Option1[0] = new QRadioButton(q(t.dipole), Frame3);
  Option1[1] = new QRadioButton(q(t.windom), Frame3);
  Option1[0]->setChecked(true);
  typeRow->addWidget(Option1[0]);
  typeRow->addWidget(Option1[1]);
  top->addWidget(Frame3);
  top->addStretch();
  Command2 = new QPushButton(q(t.conditions), this);
  top->addWidget(Command2);
  outer->addLayout(top);

  Frame1 = new QGroupBox(this);
  auto* g1 = new QGridLayout(Frame1);
  Label1 = new QLabel(Frame1);
  Text1 = new QLineEdit(Frame1);
  Text7 = new QLineEdit(QString::fromLatin1(dipole::kDefaultHalfWaves), Frame1);
  Text1->setFixedWidth(kWide);
  Text7->setFixedWidth(kWide - kNarrow);
  Text7->hide();
  auto* freqRow = new QHBoxLayout();
  freqRow->addWidget(Text1);
  freqRow->addWidget(Text7);
  freqRow->addStretch();
  Label3 = new QLabel(Frame1);
  Text3 = new QLineEdit(QString::fromLatin1(dipole::kDefaultImpedance), Frame1);
  Label4 = new QLabel(Frame1);
  Text4 = new QLineEdit(Frame1);
  Label12 = new QLabel(Frame1);
  Combo1 = new QComboBox(Frame1);
  Fields::keepTypedText(Combo1);
  Label13 = new QLabel(Frame1);
  Label11 = new QLabel(Frame1);
  Label7 = new QLabel(Frame1);
  Label8 = new QLabel(Frame1);
  Label9 = new QLabel(Frame1);
  Label10 = new QLabel(Frame1);
  auto* feedRow = new QHBoxLayout();
  feedRow->addWidget(Label12);
  feedRow->addWidget(Combo1);
  feedRow->addWidget(Label13);
  g1->addWidget(Label1, 0, 0);
  g1->addLayout(freqRow, 0, 1);
  g1->addWidget(Label3, 1, 0);
  g1->addWidget(Text3, 1, 1);
  g1->addWidget(Label4, 2, 0);
  g1->addWidget(Text4, 2, 1);
  g1->addLayout(feedRow, 3, 0);
  g1->addWidget(Label11, 3, 1);
  g1->addWidget(Label7, 4, 0);
  g1->addWidget(Label8, 4, 1);
  g1->addWidget(Label9, 5, 0);
  g1->addWidget(Label10, 5, 1);
  for (QLabel* result : {Label8, Label10, Label11}) {
    result->setMinimumWidth(70);
    result->setFrameShape(QFrame::Panel);
    result->setFrameShadow(QFrame::Sunken);
  }
  outer->addWidget(Frame1);

  Frame2 = new QGroupBox(this);
  auto* g2 = new QGridLayout(Frame2);
  Label2 = new QLabel(Frame2);
  Text2 = new QLineEdit(Frame2);
  Label5 = new QLabel(Frame2);
  Text5 = new QLineEdit(Frame2);
  Label6 = new QLabel(Frame2);
  Text6 = new QLineEdit(Frame2);
  g2->addWidget(Label2, 0, 0);
  g2->addWidget(Text2, 0, 1);
  g2->addWidget(Label5, 1, 0);
  g2->addWidget(Text5, 1, 1);
  g2->addWidget(Label6, 2, 0);
  g2->addWidget(Text6, 2, 1);
  outer->addWidget(Frame2);

  Command1 = new QPushButton(this);
  auto* bottom = new QHBoxLayout();
  bottom->addStretch();
  bottom->addWidget(Command1);
  outer->addLayout(bottom);
  outer->addStretch();

  // Load: captions in the language of this moment, design values.
  setWindowTitle(q(t.title));
  Frame1->setTitle(q(t.additional));
  Label1->setText(q(t.frequency));
  Label3->setText(q(t.impedance));
  Label4->setText(q(t.diameter));
  Label5->setText(q(t.exciterDiameter));
  Label12->setText(q(t.feedPointAt));
  Label13->setText(q(t.ofTotalLength));
  Label7->setText(q(t.spacing));
  Label9->setText(q(t.length));
  Frame2->setTitle(q(t.exciter));
  Label2->setText(q(t.exciterFrequency));
  Label6->setText(q(t.vk));
  Command1->setText(q(t.calculate));
  Frame1->setToolTip(q(t.additionalTip));
  Text3->setToolTip(q(t.impedanceTip));
  Text4->setToolTip(q(t.diameterTip));
  Text5->setToolTip(q(t.diameterTip));
  Label8->setToolTip(q(t.spacingTip));
  Label10->setToolTip(q(t.lengthTip));
  Text2->setToolTip(q(t.exciterFrequencyTip));
  Label1->setBuddy(Text1);
  Label3->setBuddy(Text3);
  Label4->setBuddy(Text4);
  Label5->setBuddy(Text5);
  Label2->setBuddy(Text2);
  Label6->setBuddy(Text6);
  Text6->setText(q(dipole::DefaultVkText(sep)));
  fillFractions(dipole::DipoleFractions(sep), false);

  connect(Option1[0], &QRadioButton::clicked, this, [this] { Option1_Click(0); });
  connect(Option1[1], &QRadioButton::clicked, this, [this] { Option1_Click(1); });
  connect(Command1, &QPushButton::clicked, this, &ZusatzDipol::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &ZusatzDipol::Command2_Click);
}

void ZusatzDipol::fillFractions(const std::vector<std::string>& items, bool enabled) {
  Combo1->clear();
  for (const std::string& item : items) Combo1->addItem(q(item));
  Combo1->setCurrentIndex(0);
  Combo1->setEnabled(enabled);
}

bool ZusatzDipol::event(QEvent* e) {
  // A top-level window (no main window around it) refreshes on activation
  // itself; inside the main area the area's activation signal does it.
  if (e->type() == QEvent::WindowActivate && !qobject_cast<QMdiSubWindow*>(parentWidget())) refresh();
  return QWidget::event(e);
}

void ZusatzDipol::refresh() {
  // An active shortening-factor calculator's diameter stands for the main
  // form's.
  const MainFormValues main = mainForm::values();
  const std::string diameter = main.calculator.active ? s(mainForm::calculatorDiameter()) : main.conductorDiameter;
  const dipole::Refresh r = dipole::Activation(diameter, main.bands, Module1::decimalSeparator());
  Text2->setText(q(r.exciterFrequency));
  Text4->setText(q(r.diameter));
  Text5->setText(q(r.exciterDiameter));
}

void ZusatzDipol::Option1_Click(int index) {
  const Language lang = Module1::language();
  const char sep = Module1::decimalSeparator();
  Option1[static_cast<std::size_t>(index)]->setChecked(true);
  const bool windom = index == 1;
  const dipole::VariantTexts v = windom ? dipole::WindomVariant(lang) : dipole::DipoleVariant(lang);
  Label1->setText(q(v.frequency));
  Text1->setFixedWidth(windom ? kNarrow : kWide);
  Text7->setVisible(windom);
  fillFractions(windom ? dipole::WindomFractions(sep) : dipole::DipoleFractions(sep), windom);
  Frame1->setTitle(q(v.additional));
  Label9->setText(q(v.length));
  Combo1->setCurrentIndex(0);
  clearResults();
}

void ZusatzDipol::clearResults() {
  Label8->clear();
  Label10->clear();
  Label11->clear();
}

void ZusatzDipol::Command2_Click() {
  const dipole::Conditions c = dipole::ConditionsText(Module1::language());
  MessageRequest box{q(c.text), q(c.title), Icon::Information};
  seam().message(this, box);
}

dipole::Texts ZusatzDipol::shownCaptions() const {
  dipole::Texts t;
  t.frequency = s(Label1->text());
  t.impedance = s(Label3->text());
  t.diameter = s(Label4->text());
  t.feedPointAt = s(Label12->text());
  t.ofTotalLength = s(Label13->text());
  t.spacing = s(Label7->text());
  t.length = s(Label9->text());
  t.exciterFrequency = s(Label2->text());
  t.exciterDiameter = s(Label5->text());
  t.vk = s(Label6->text());
  return t;
}

dipole::Inputs ZusatzDipol::inputs() const {
  dipole::Inputs in;
  in.windom = Option1[1]->isChecked();
  in.fAdd = s(Text1->text());
  in.fExc = s(Text2->text());
  in.impedance = s(Text3->text());
  in.dAdd = s(Text4->text());
  in.dExc = s(Text5->text());
  in.vk = s(Text6->text());
  in.halfWaves = s(Text7->text());
  in.fraction = s(Combo1->currentText());
  const Module1::State& st = Module1::state();
  in.ins = st.insulation;
  // The WINDOM length is found the way the main form finds its own.
  in.length = mainForm::values().lengthContext();
  return in;
}

void ZusatzDipol::Command1_Click() {
  const char sep = Module1::decimalSeparator();
  const dipole::Inputs in = inputs();
  const dipole::Outcome out = dipole::Calculate(in, sep);
  for (int i = 0; i < out.beeps; ++i) seam().beep();
  if (out.suggestedDiameter) Text4->setText(q(*out.suggestedDiameter));
  if (out.suggestedExciterDiameter) Text5->setText(q(*out.suggestedExciterDiameter));
  if (out.spacingColour) ui::setTextColour(Label8, *out.spacingColour);
  if (out.spacingText) Label8->setText(q(*out.spacingText));
  if (!out.computed) {
    // What the refusal itself shows stays; the results of other inputs go.
    const QString suggestion = out.spacingText ? Label8->text() : QString();
    clearResults();
    Label8->setText(suggestion);
    QWidget* target = Text1;
    switch (out.focus) {
      case dipole::Field::ExciterFrequency: target = Text2; break;
      case dipole::Field::Impedance: target = Text3; break;
      case dipole::Field::Diameter: target = Text4; break;
      case dipole::Field::ExciterDiameter: target = Text5; break;
      case dipole::Field::Vk: target = Text6; break;
      case dipole::Field::HalfWaves: target = Text7; break;
      case dipole::Field::Fraction: target = Combo1; break;
      default: break;
    }
    target->setFocus();
    return;
  }
  if (out.vkText) Text6->setText(q(*out.vkText));
  Label10->setText(q(out.lengthText));
  Label11->setText(q(out.feedPointText));

  const Language lang = Module1::language();
  const dipole::ReportData d = dipole::MakeReportData(shownCaptions(), in, out, lang, s(Module1::generalDateTime()));

  const QString path = Module1::state().resultsFolder + QString::fromLatin1(dipole::kReportFile);
  try {
    dipole::WriteReport(Module1::nativePath(path), d);
  } catch (const files::FileError& e) {
    // The result stays in the window; the user learns that the file is not
    // there, and why, instead of reading a note that says it is.
    showMessage(this,
                Module1::tr("Die Datei ", "The file ") + Module1::state().lineBreak + path + "  " +
                    Module1::state().lineBreak + Module1::tr("konnte nicht geschrieben werden: ", "could not be written: ") +
                    q(files::FileErrorCause(lang, e.error())),
                Module1::tr(" Fehler! ", " Error! "), Icon::Exclamation);
    return;
  }
  const QString note = q(dipole::ReportNote(lang));
  const QString shown = mainForm::note();
  if (!shown.contains(note)) mainForm::setNote(shown + Module1::state().lineBreak + note);
}

}  // namespace lorvant
