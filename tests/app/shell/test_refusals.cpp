// Refusals that beep say why in the main window's status bar, in the
// language of the moment, until the next key or click: on many desktops
// the beep is silent. Every window that beeps, used by keys and mouse.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "app/MDIForm1.h"
#include "shell/Module1.h"
#include "shell/ui/Forms.h"
#include "tests/support/FreshProgram.h"
#include "tests/support/Keys.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/dipole/ZusatzDipol.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"
#include "windows/vk/frmVk.h"

using namespace lorvant;

namespace {

using test::click;
using test::replace;

QString u(const char* text) { return QString::fromUtf8(text); }

}  // namespace

class TestRefusals : public QObject {
  Q_OBJECT

 private:
  test::ScriptedSeam* seam_ = nullptr;
  MDIForm1* main_ = nullptr;
  frmHauptform* form_ = nullptr;
  QTemporaryDir results_;

  QString status() const { return main_->statusText(); }

  // The reason shows with the beep; the next key gives the bar back.
  void expectReason(const QString& reason, QWidget* typedInto, int beeps) {
    QCOMPARE(seam_->beeps, beeps);
    QCOMPARE(status(), reason);
    QTest::keyClick(typedInto, Qt::Key_Shift);
    QVERIFY2(status() != reason, qPrintable(status()));
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(results_.isValid());
  }

  void init() {
    seam_ = new test::ScriptedSeam;
    test::FreshState(results_.path());
    main_ = test::ShowMainWindow();
    QVERIFY(main_);
    form_ = main_->mainForm();
    main_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main_));
  }

  void cleanup() {
    Forms::unloadAll();
    delete main_;
    main_ = nullptr;
    delete seam_;
    Module1::setDecimalSeparator(0);
  }

  // A refused key says what the field takes, until the next key or click
  // gives the bar back what it said before.
  void refusedKeys() {
    const QString ready = status();
    QVERIFY(!ready.isEmpty());
    form_->Text1->setFocus();
    QTest::keyClick(form_->Text1, Qt::Key_X);
    QCOMPARE(seam_->beeps, 1);
    QCOMPARE(status(), u("Hier gehen nur Ziffern, Komma und Punkt."));
    QTest::keyClick(form_->Text1, Qt::Key_1);
    QCOMPARE(status(), ready);

    form_->Text2->setFocus();
    QTest::keyClick(form_->Text2, Qt::Key_Comma);
    QCOMPARE(status(), u("Hier gehen nur Ziffern."));
    QTest::mouseClick(form_->Text1, Qt::LeftButton);
    QCOMPARE(status(), ready);

    main_->switchLanguage(Language::English);
    form_->Text1->setFocus();
    QTest::keyClick(form_->Text1, Qt::Key_X);
    QCOMPARE(status(), u("Only digits, comma and point go here."));
  }

  // The main form's corrections when a field is left, and its run.
  void mainForm() {
    replace(form_->Text8, "5");
    QTest::keyClick(form_->Text8, Qt::Key_Tab);
    QCOMPARE(form_->Text8->text(), u("0,4"));
    expectReason(u("Hinweis: Bitte min. Stromsumme 0,01 - 1,0 (typisch 0,1 - 0,8) eintragen !"), form_->Text1, 1);

    replace(form_->Text4, "1,2");
    QTest::keyClick(form_->Text4, Qt::Key_Tab);
    expectReason(u("Bitte einen Verkürzungsfaktor von 0 - 1,0 (typisch 0,946) eintragen!"), form_->Text1, 2);

    // Fewer half-waves than the lowest band needs are raised.
    for (int i = 0; i < kBandCount; ++i) form_->setBandValue(i, i == 1 || i == 5 ? BandState::Counted : BandState::Off);
    replace(form_->Text1, "14,2");
    replace(form_->Text2, "1");
    QTest::keyClick(form_->Text2, Qt::Key_Tab);
    QCOMPARE(form_->Text2->text(), u("4"));
    expectReason(u("Halbwellen auf 4 erhöht: Mit weniger ist die Antenne auf 3,5 MHz kürzer als eine halbe Welle."),
                 form_->Text1, 3);

    // A run without half-waves and without a wire length.
    replace(form_->Text2, "");
    replace(form_->Text3, "");
    click(form_->Command1);
    expectReason(u("Bitte mindestens eine Halbwelle eingeben!"), form_->Text1, 4);
  }

  // The pruning calculator refuses a ratio outside 0,66 to 1,4; the
  // additional dipole a frequency not above the exciter's and no half-wave.
  void calculators() {
    main_->action("mnuPruning")->trigger();
    frmVk* pruning = frmVk::loaded();
    QVERIFY(pruning);
    replace(pruning->Text1, "20");
    replace(pruning->Text2, "7");
    pruning->Combo1->setFocus();
    pruning->Combo1->lineEdit()->selectAll();
    QTest::keyClicks(pruning->Combo1->lineEdit(), "14");
    click(pruning->Command1);
    expectReason(u("Gemessene durch gewünschte Frequenz ist 0,5; das Pruning rechnet nur von 0,66 bis 1,4."),
                 pruning->Text1, 1);

    main_->action("mnuBerZusDipol")->trigger();
    ZusatzDipol* dipole = ZusatzDipol::loaded();
    QVERIFY(dipole);
    replace(dipole->Text2, "7");
    replace(dipole->Text1, "3,5");
    click(dipole->Command1);
    expectReason(u("Die gewünschte Resonanzfrequenz muss über der untersten des Erregers (7 MHz) liegen."),
                 dipole->Text1, 2);

    click(dipole->Option1[1]);  // the WINDOM counts half-waves
    replace(dipole->Text1, "14,2");
    replace(dipole->Text7, "0");
    click(dipole->Command1);
    expectReason(u("Bitte mindestens eine Halbwelle eingeben!"), dipole->Text1, 3);
  }

  // The impedance of a current sum out of range, and the scan's too small step.
  void feedPointWindow() {
    main_->action("mnuBerSpeise")->setEnabled(true);
    Module1::state().antennaLength = 41.7f;
    main_->action("mnuBerImpedanz")->trigger();
    auto windows = main_->findChildren<frmSpeisePkt*>();
    QCOMPARE(windows.size(), 1);
    frmSpeisePkt* impedance = windows.first();
    replace(impedance->Text2, "2,01");
    click(impedance->cmdRechnen);
    expectReason(u("Stromsumme außerhalb des Bereichs: keine Impedanz"), impedance->Text2, 1);

    main_->action("mnuBerSpeisePkt")->trigger();
    frmSpeisePkt* scan = frmSpeisePkt::loaded();
    replace(scan->Text1, "8");
    replace(scan->Text2, "8,002");
    replace(scan->Text3, "0");
    click(scan->cmdRechnen);
    expectReason(u("Die Schrittweite ist mindestens 0,001 m."), scan->Text3, 2);
  }
};

QTEST_MAIN(TestRefusals)
#include "test_refusals.moc"
