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
#include "forms/main/frmHauptform.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/ui/Forms.h"
#include "shell/ui/TextColour.h"
#include "vk/frmVk.h"

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
  Frame3 = new QGroupBox(q(t.frame3), this);
  auto* typeRow = new QHBoxLayout(Frame3);
  Option1[0] = new QRadioButton(q(t.option0), Frame3);
  Option1[1] = new QRadioButton(q(t.option1), Frame3);
  Option1[0]->setChecked(true);
  typeRow->addWidget(Option1[0]);
  typeRow->addWidget(Option1[1]);
  top->addWidget(Frame3);
  top->addStretch();
  Command2 = new QPushButton(q(t.command2), this);
  top->addWidget(Command2);
  outer->addLayout(top);

  Frame1 = new QGroupBox(this);
  auto* g1 = new QGridLayout(Frame1);
  Label1 = new QLabel(Frame1);
  Text1 = new QLineEdit(Frame1);
  Text7 = new QLineEdit(QStringLiteral("1"), Frame1);
  Text1->setFixedWidth(kWide);
  Text7->setFixedWidth(kWide - kNarrow);
  Text7->hide();
  auto* freqRow = new QHBoxLayout();
  freqRow->addWidget(Text1);
  freqRow->addWidget(Text7);
  freqRow->addStretch();
  Label3 = new QLabel(Frame1);
  Text3 = new QLineEdit(QStringLiteral("300"), Frame1);
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
  setWindowTitle(q(t.window));
  Frame1->setTitle(q(t.frame1));
  Label1->setText(q(t.label1));
  Label3->setText(q(t.label3));
  Label4->setText(q(t.label4));
  Label5->setText(q(t.label5));
  Label12->setText(q(t.label12));
  Label13->setText(q(t.label13));
  Label7->setText(q(t.label7));
  Label9->setText(q(t.label9));
  Frame2->setTitle(q(t.frame2));
  Label2->setText(q(t.label2));
  Label6->setText(q(t.label6));
  Command1->setText(q(t.command1));
  Frame1->setToolTip(q(t.frame1Tip));
  Text3->setToolTip(q(t.text3Tip));
  Text4->setToolTip(q(t.diameterTip));
  Text5->setToolTip(q(t.diameterTip));
  Label8->setToolTip(q(t.label8Tip));
  Label10->setToolTip(q(t.label10Tip));
  Text2->setToolTip(q(t.text2Tip));
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
  const frmVk* calculator = frmVk::loaded();
  const bool calcActive = frmVk::calculatorState().active;
  frmHauptform* main = frmHauptform::instance();
  const QString diameter = calcActive && calculator ? calculator->Combo1->currentText() : main->Combo2->currentText();
  const dipole::Refresh r = dipole::Activation(s(diameter), main->bandValues(), Module1::decimalSeparator());
  Text2->setText(q(r.text2));
  Text4->setText(q(r.text4));
  Text5->setText(q(r.text5));
}

void ZusatzDipol::Option1_Click(int index) {
  const Language lang = Module1::language();
  const char sep = Module1::decimalSeparator();
  Option1[static_cast<std::size_t>(index)]->setChecked(true);
  const bool windom = index == 1;
  const dipole::VariantTexts v = windom ? dipole::WindomVariant(lang) : dipole::DipoleVariant(lang);
  Label1->setText(q(v.label1));
  Text1->setFixedWidth(windom ? kNarrow : kWide);
  Text7->setVisible(windom);
  fillFractions(windom ? dipole::WindomFractions(sep) : dipole::DipoleFractions(sep), windom);
  Frame1->setTitle(q(v.frame1));
  Label9->setText(q(v.label9));
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
  in.length = frmHauptform::instance()->lengthContext();
  return in;
}

void ZusatzDipol::Command1_Click() {
  const char sep = Module1::decimalSeparator();
  const dipole::Outcome out = dipole::Calculate(inputs(), sep);
  for (int i = 0; i < out.beeps; ++i) seam().beep();
  if (out.text4) Text4->setText(q(*out.text4));
  if (out.text5) Text5->setText(q(*out.text5));
  if (out.label8Colour) ui::setTextColour(Label8, *out.label8Colour);
  if (out.label8) Label8->setText(q(*out.label8));
  if (!out.computed) {
    // What the refusal itself shows stays; the results of other inputs go.
    const QString suggestion = out.label8 ? Label8->text() : QString();
    clearResults();
    Label8->setText(suggestion);
    QWidget* target = Text1;
    switch (out.focus) {
      case dipole::Field::Text2: target = Text2; break;
      case dipole::Field::Text3: target = Text3; break;
      case dipole::Field::Text4: target = Text4; break;
      case dipole::Field::Text5: target = Text5; break;
      case dipole::Field::Text6: target = Text6; break;
      case dipole::Field::Text7: target = Text7; break;
      case dipole::Field::Combo1: target = Combo1; break;
      default: break;
    }
    target->setFocus();
    return;
  }
  if (out.text6) Text6->setText(q(*out.text6));
  Label10->setText(q(out.label10));
  Label11->setText(q(out.label11));

  const Language lang = Module1::language();
  dipole::ReportData d;
  d.lang = lang;
  d.windom = Option1[1]->isChecked();
  d.label1 = s(Label1->text());
  d.text1 = s(Text1->text());
  d.text7 = s(Text7->text());
  d.label3 = s(Label3->text());
  d.text3 = s(Text3->text());
  d.label4 = s(Label4->text());
  d.text4 = s(Text4->text());
  d.label12 = s(Label12->text());
  d.combo1 = s(Combo1->currentText());
  d.label13 = s(Label13->text());
  d.label11 = s(Label11->text());
  d.label7 = s(Label7->text());
  d.label8 = s(Label8->text());
  d.label9 = s(Label9->text());
  d.label10 = s(Label10->text());
  d.label2 = s(Label2->text());
  d.text2 = s(Text2->text());
  d.label5 = s(Label5->text());
  d.text5 = s(Text5->text());
  d.label6 = s(Label6->text());
  d.text6 = s(Text6->text());
  d.dateTime = s(Module1::generalDateTime());

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
  QLabel* info = frmHauptform::instance()->Info;
  const QString note = q(dipole::ReportNote(lang));
  if (!info->text().contains(note)) info->setText(info->text() + Module1::state().lineBreak + note);
}

}  // namespace lorvant
