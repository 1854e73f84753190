#include "windows/dipole/ZusatzDipol.h"

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

#include "io/staged_files.h"
#include "session/design.h"
#include "session/messages.h"
#include "session/question.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Forms.h"
#include "shell/ui/Look.h"
#include "shell/ui/TextColour.h"
#include "text/bilingual.h"
#include "text/format.h"
#include "windows/main/MainForm.h"

namespace lorvant {
namespace {

QPointer<ZusatzDipol> current;

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
    Forms::onActivation(w, [w] { w->refresh(); });
  }
  return current;
}

ZusatzDipol* ZusatzDipol::loaded() { return current.data(); }

void ZusatzDipol::mnuBerZusDipol() { Forms::show(instance()); }

ZusatzDipol::ZusatzDipol(QWidget* parent) : QWidget(parent) {
  setObjectName("ZusatzDipol");
  const dipole::Texts t = dipole::Captions(Module1::language());
  auto* outer = new QVBoxLayout(this);
  outer->addLayout(typeRow(t));
  outer->addWidget(additionalFrame());
  outer->addWidget(exciterFrame());
  Command1 = new QPushButton(this);
  auto* bottom = new QHBoxLayout();
  bottom->addStretch();
  bottom->addWidget(Command1);
  outer->addLayout(bottom);
  outer->addStretch();
  load(t);

  connect(Option1[0], &QRadioButton::clicked, this, [this] { Option1_Click(0); });
  connect(Option1[1], &QRadioButton::clicked, this, [this] { Option1_Click(1); });
  connect(Command1, &QPushButton::clicked, this, &ZusatzDipol::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &ZusatzDipol::Command2_Click);
}

QLayout* ZusatzDipol::typeRow(const dipole::Texts& t) {
  auto* top = new QHBoxLayout();
  Frame3 = new QGroupBox(qs(t.type), this);
  auto* typeRow = new QHBoxLayout(Frame3);
  Option1[0] = new QRadioButton(qs(t.dipole), Frame3);
  Option1[1] = new QRadioButton(qs(t.windom), Frame3);
  Option1[0]->setChecked(true);
  typeRow->addWidget(Option1[0]);
  typeRow->addWidget(Option1[1]);
  top->addWidget(Frame3);
  top->addStretch();
  Command2 = new QPushButton(qs(t.conditions), this);
  top->addWidget(Command2);
  return top;
}

QGroupBox* ZusatzDipol::additionalFrame() {
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
  Look::showAsResults({Label8, Label10, Label11});
  return Frame1;
}

QGroupBox* ZusatzDipol::exciterFrame() {
  Frame2 = new QGroupBox(this);
  auto* g2 = new QGridLayout(Frame2);
  Label2 = new QLabel(Frame2);
  Text2 = new QLineEdit(Frame2);
  Label5 = new QLabel(Frame2);
  Text5 = new QLineEdit(Frame2);
  Label6 = new QLabel(Frame2);
  Text6 = new QLineEdit(Frame2);
  Look::addRows(g2, {{Label2, Text2}, {Label5, Text5}, {Label6, Text6}});
  return Frame2;
}

void ZusatzDipol::load(const dipole::Texts& t) {
  const char sep = Module1::decimalSeparator();
  // Load: captions in the language of this moment, design values.
  applyCaptions(t);
  Label1->setBuddy(Text1);
  Label3->setBuddy(Text3);
  Label4->setBuddy(Text4);
  Label5->setBuddy(Text5);
  Label2->setBuddy(Text2);
  Label6->setBuddy(Text6);
  Text6->setText(qs(dipole::DefaultVkText(sep)));
  fillFractions(dipole::DipoleFractions(sep), false);
}

void ZusatzDipol::applyCaptions() {
  const dipole::Texts t = dipole::CaptionsFor(Module1::language(), Option1[1]->isChecked());
  applyCaptions(t);
  Frame3->setTitle(qs(t.type));
  Option1[0]->setText(qs(t.dipole));
  Option1[1]->setText(qs(t.windom));
  Command2->setText(qs(t.conditions));
}

void ZusatzDipol::applyCaptions(const dipole::Texts& t) {
  setWindowTitle(qs(t.title));
  Frame1->setTitle(qs(t.additional));
  Label1->setText(qs(t.frequency));
  Label3->setText(qs(t.impedance));
  Label4->setText(qs(t.diameter));
  Label5->setText(qs(t.exciterDiameter));
  Label12->setText(qs(t.feedPointAt));
  Label13->setText(qs(t.ofTotalLength));
  Label7->setText(qs(t.spacing));
  Label9->setText(qs(t.length));
  Frame2->setTitle(qs(t.exciter));
  Label2->setText(qs(t.exciterFrequency));
  Label6->setText(qs(t.vk));
  Command1->setText(qs(t.calculate));
  Frame1->setToolTip(qs(t.additionalTip));
  Text3->setToolTip(qs(t.impedanceTip));
  Text4->setToolTip(qs(t.diameterTip));
  Text5->setToolTip(qs(t.diameterTip));
  Label8->setToolTip(qs(t.spacingTip));
  Label10->setToolTip(qs(t.lengthTip));
  Text2->setToolTip(qs(t.exciterFrequencyTip));
}

void ZusatzDipol::fillFractions(const std::vector<std::string>& items, bool enabled) {
  Combo1->clear();
  for (const std::string& item : items) Combo1->addItem(qs(item));
  Combo1->setCurrentIndex(0);
  Combo1->setEnabled(enabled);
}

void ZusatzDipol::refresh() {
  // An active shortening-factor calculator's diameter stands for the main
  // form's.
  const MainFormValues main = mainForm::values();
  const std::string diameter = main.calculator.active ? utf8(mainForm::calculatorDiameter()) : main.conductorDiameter;
  const dipole::Refresh r = dipole::Activation(diameter, main.bands, Module1::decimalSeparator());
  Text2->setText(qs(r.exciterFrequency));
  Text4->setText(qs(r.diameter));
  Text5->setText(qs(r.exciterDiameter));
}

void ZusatzDipol::Option1_Click(int index) {
  const Language lang = Module1::language();
  const char sep = Module1::decimalSeparator();
  Option1[static_cast<std::size_t>(index)]->setChecked(true);
  const bool windom = index == 1;
  const dipole::VariantTexts v = windom ? dipole::WindomVariant(lang) : dipole::DipoleVariant(lang);
  Label1->setText(qs(v.frequency));
  Text1->setFixedWidth(windom ? kNarrow : kWide);
  Text7->setVisible(windom);
  fillFractions(windom ? dipole::WindomFractions(sep) : dipole::DipoleFractions(sep), windom);
  Frame1->setTitle(qs(v.additional));
  Label9->setText(qs(v.length));
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
  MessageRequest box{qs(c.text), qs(c.title), Icon::Information};
  seam().message(this, box);
}

dipole::Texts ZusatzDipol::shownCaptions() const {
  dipole::Texts t;
  t.frequency = utf8(Label1->text());
  t.impedance = utf8(Label3->text());
  t.diameter = utf8(Label4->text());
  t.feedPointAt = utf8(Label12->text());
  t.ofTotalLength = utf8(Label13->text());
  t.spacing = utf8(Label7->text());
  t.length = utf8(Label9->text());
  t.exciterFrequency = utf8(Label2->text());
  t.exciterDiameter = utf8(Label5->text());
  t.vk = utf8(Label6->text());
  return t;
}

dipole::Inputs ZusatzDipol::inputs() const {
  dipole::Inputs in;
  in.windom = Option1[1]->isChecked();
  in.fAdd = utf8(Text1->text());
  in.fExc = utf8(Text2->text());
  in.impedance = utf8(Text3->text());
  in.dAdd = utf8(Text4->text());
  in.dExc = utf8(Text5->text());
  in.vk = utf8(Text6->text());
  in.halfWaves = utf8(Text7->text());
  in.fraction = utf8(Combo1->currentText());
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
  if (out.beeps > 0) refuse(out.reason);
  if (out.suggestedDiameter) Text4->setText(qs(*out.suggestedDiameter));
  if (out.suggestedExciterDiameter) Text5->setText(qs(*out.suggestedExciterDiameter));
  if (out.spacingColour) ui::setTextColour(Label8, *out.spacingColour);
  if (out.spacingText) Label8->setText(qs(*out.spacingText));
  if (!out.computed) {
    // What the refusal itself shows stays; the results of other inputs go.
    const QString suggestion = out.spacingText ? Label8->text() : QString();
    clearResults();
    Label8->setText(suggestion);
    QWidget* target = Text1;
    switch (out.focus) {
      case dipole::Field::ExciterFrequency:
        target = Text2;
        break;
      case dipole::Field::Impedance:
        target = Text3;
        break;
      case dipole::Field::Diameter:
        target = Text4;
        break;
      case dipole::Field::ExciterDiameter:
        target = Text5;
        break;
      case dipole::Field::Vk:
        target = Text6;
        break;
      case dipole::Field::HalfWaves:
        target = Text7;
        break;
      case dipole::Field::Fraction:
        target = Combo1;
        break;
      default:
        break;
    }
    target->setFocus();
    return;
  }
  if (out.vkText) Text6->setText(qs(*out.vkText));
  Label10->setText(qs(out.lengthText));
  Label11->setText(qs(out.feedPointText));

  const Language lang = Module1::language();
  const dipole::ReportData d = dipole::MakeReportData(shownCaptions(), in, out, lang, utf8(Module1::generalDateTime()));

  const QString path = Module1::state().resultsFolder + QString::fromLatin1(dipole::kReportFile);
  try {
    dipole::WriteReport(Module1::nativePath(path), d);
  } catch (const files::FileError& e) {
    // The result stays in the window; the user learns that the file is not
    // there, and why, instead of reading a note that says it is.
    showMessage(this,
                say(Text::WindowFileNamed) + Module1::state().lineBreak + path + "  " + Module1::state().lineBreak +
                    say(Text::WindowDipoleNotWritten) + qs(files::FileErrorCause(lang, e.error())),
                say(Text::WindowErrorTitle), Icon::Exclamation);
    return;
  }
  mainForm::addNote([] { return qs(dipole::ReportNote(Module1::language())); });
}

// ---- designs ----

void ZusatzDipol::giveInputs(design::DipoleInputs& d) const {
  using design::Stored;
  const dipole::Inputs in = inputs();
  d.windom = in.windom;
  d.frequency = Stored(in.fAdd);
  d.exciterFrequency = Stored(in.fExc);
  d.impedance = Stored(in.impedance);
  d.diameter = Stored(in.dAdd);
  d.exciterDiameter = Stored(in.dExc);
  d.shorteningFactor = Stored(in.vk);
  d.halfWaves = Stored(in.halfWaves);
  d.feedFraction = Stored(in.fraction);
}

void ZusatzDipol::takeInputs(const design::DipoleInputs& d) {
  const char sep = Module1::decimalSeparator();
  const auto shown = [sep](const std::string& s) { return qs(design::Shown(s, sep)); };
  // The type first: it fills the fraction list of its variant.
  Option1_Click(d.windom ? 1 : 0);
  Text1->setText(shown(d.frequency));
  Text2->setText(shown(d.exciterFrequency));
  Text3->setText(shown(d.impedance));
  Text4->setText(shown(d.diameter));
  Text5->setText(shown(d.exciterDiameter));
  Text6->setText(shown(d.shorteningFactor));
  Text7->setText(shown(d.halfWaves));
  Combo1->setEditText(shown(d.feedFraction));
}

}  // namespace lorvant
