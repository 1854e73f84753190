// The additional-dipole window: load state, the variant switch, the refresh
// on activation, the worked examples through the window with the report
// and the note, rejections, an unwritable results folder, the Info text.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "session/question.h"
#include "shell/Module1.h"
#include "shell/ui/Forms.h"
#include "shell/ui/TextColour.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/dipole/ZusatzDipol.h"
#include "windows/main/frmHauptform.h"
#include "windows/vk/frmVk.h"

using namespace lorvant;

namespace {

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

QStringList reportLines(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = f.readAll();
  QStringList lines = QString::fromLatin1(bytes).split("\r\n");
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

ZusatzDipol* example(bool windom) {
  ZusatzDipol* w = ZusatzDipol::instance();
  if (windom) w->Option1_Click(1);
  w->Text1->setText("14,2");
  w->Text2->setText("3,5");
  w->Text3->setText("300");
  w->Text4->setText("2");
  w->Text5->setText("2");
  w->Text6->setText("0,95");
  w->Text7->setText(windom ? "2" : "1");
  return w;
}

}  // namespace

class ZusatzDipolTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString results_;

 private slots:
  void init() {
    Module1::resetState();
    Module1::setDecimalSeparator(',');
    results_ = dir_.path() + "/";
    Module1::state().resultsFolder = results_;
    QFile::remove(results_ + "ZusatzDipol.txt");
  }
  void cleanup() {
    Forms::unloadAll();
    flushDeletes();
  }

  void loadState() {
    ZusatzDipol* w = ZusatzDipol::instance();
    QCOMPARE(w->windowTitle(), QString("Strahlungsgekoppelten Dipol berechnen"));
    QCOMPARE(w->Frame1->title(), QString("&Zusatz-Dipol"));
    QVERIFY(w->Text1->text().isEmpty());
    QCOMPARE(w->Text3->text(), QString("300"));
    QCOMPARE(w->Text6->text(), QString("0,946"));
    QCOMPARE(w->Text7->text(), QString("1"));
    QVERIFY(w->Text7->isHidden());
    QCOMPARE(w->Combo1->count(), 1);
    QCOMPARE(w->Combo1->currentText(), QString("0,5"));
    QVERIFY(!w->Combo1->isEnabled());
    QVERIFY(w->Option1[0]->isChecked());
  }

  void variantSwitch() {
    test::ScriptedSeam seam;
    ZusatzDipol* w = example(false);
    w->Command1_Click();
    QCOMPARE(w->Label10->text(), QString("10,035"));
    w->Option1_Click(1);
    // The dipole's results are no WINDOM's.
    for (QLabel* result : {w->Label8, w->Label10, w->Label11}) QVERIFY(result->text().isEmpty());
    QCOMPARE(w->Combo1->count(), 6);
    QCOMPARE(w->Combo1->currentText(), QString("0,3333"));
    QCOMPARE(w->Combo1->itemText(5), QString("0,125"));
    QVERIFY(w->Combo1->isEnabled());
    QVERIFY(!w->Text7->isHidden());
    QCOMPARE(w->Text1->width(), 44);
    QCOMPARE(w->Label1->text(), QString("Resonanzfrequenz [MHz] bei Anzahl der Halbwellen:"));
    QCOMPARE(w->Frame1->title(), QString("Zusatz-WINDOM"));
    w->Option1_Click(0);
    QCOMPARE(w->Combo1->count(), 1);
    QCOMPARE(w->Combo1->currentText(), QString("0,5"));
    QVERIFY(!w->Combo1->isEnabled());
    QVERIFY(w->Text7->isHidden());
    QCOMPARE(w->Frame1->title(), QString("Zusatz-Dipol"));
  }

  void typedFractionStaysAsTyped() {
    ZusatzDipol* w = ZusatzDipol::instance();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->Option1_Click(1);
    w->Combo1->setFocus();
    w->Combo1->setEditText("");
    QTest::keyClicks(w->Combo1, "0,1");
    QCOMPARE(w->Combo1->currentText(), QString("0,1"));  // not 0,1667
  }

  void activationRefreshesFrequencyAndDiameters() {
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    for (QCheckBox* box : main->Check1) box->setCheckState(Qt::Unchecked);
    main->Check1[3]->setCheckState(Qt::PartiallyChecked);  // grey: not counted
    main->Check1[5]->setCheckState(Qt::Checked);
    main->Combo2->setEditText("1,4");
    ZusatzDipol* w = ZusatzDipol::instance();
    w->Text4->setText("typed");
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(w->Text2->text(), QString("14,0"));
    QCOMPARE(w->Text4->text(), QString("1,4"));
    QCOMPARE(w->Text5->text(), QString("1,4"));
    // With the calculator active its diameter field counts.
    frmVk::mnuVk();
    frmVk* calc = frmVk::loaded();
    calc->Text1->setText("14,2");
    calc->Text2->setText("10");
    calc->Combo1->setEditText("2,5");
    calc->Command1_Click();
    main->Combo2->setEditText("1,4");  // differs from the calculator's field
    calc->Combo1->setEditText("2,5");
    w->refresh();
    QCOMPARE(w->Text5->text(), QString("2,5"));
  }

  void workedExampleDipoleWritesReportAndNoteOnce() {
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    main->Info->setText("Hinweis: ");
    ZusatzDipol* w = example(false);
    w->Command1_Click();
    QCOMPARE(seam.beeps, 0);
    QCOMPARE(w->Label8->text(), QString("275"));
    QCOMPARE(ui::textColour(w->Label8), TextColour::Black);
    QCOMPARE(w->Label10->text(), QString("10,035"));
    QCOMPARE(w->Label11->text(), QString("5,018"));
    QCOMPARE(w->Text6->text(), QString("0,95"));
    const QStringList lines = reportLines(results_ + "ZusatzDipol.txt");
    QCOMPARE(lines.size(), 17);
    QCOMPARE(lines[2], QString("Typ: Zusatz-Dipol"));
    QCOMPARE(lines[3], QString::fromLatin1("gew\xFCnschte Resonanzfrequenz [MHz]: 14,2"));
    QCOMPARE(lines[6], QString::fromLatin1("Speise-Pkt bei: 0,5 der Ges.-L\xE4nge [m]: 5,018"));
    QCOMPARE(lines[7], QString::fromLatin1("Abstand zwischen den Antennendr\xE4hten [mm]: 275"));
    QCOMPARE(lines[14], QString::fromLatin1("Verk\xFCrzungsfaktor: 0,95"));
    QVERIFY(lines[16].startsWith(" Berechnung am "));
    const QString note = "Die Zusatzdipol-Berechnung liegt als Textfile 'ZusatzDipol.txt' vor.  ";
    QCOMPARE(main->Info->text(), "Hinweis: \r\n" + note);
    w->Command1_Click();
    QCOMPARE(main->Info->text().count(note), 1);
  }

  void workedExampleWindom() {
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    main->Option2[0]->setChecked(true);
    ZusatzDipol* w = example(true);
    w->Command1_Click();
    QCOMPARE(w->Label10->text(), QString("20,599"));
    QCOMPARE(w->Label11->text(), QString("6,866"));
    QCOMPARE(w->Label8->text(), QString("215"));
    const QStringList lines = reportLines(results_ + "ZusatzDipol.txt");
    QCOMPARE(lines.size(), 17);
    QCOMPARE(lines[2], QString("Typ: Zusatz-WINDOM"));
    QCOMPARE(lines[3], QString("Resonanzfrequenz [MHz] bei Anzahl der Halbwellen: 14,2 | 2"));
    QCOMPARE(lines[8], QString::fromLatin1("Ges.-L\xE4nge Zusatz-WINDOM [m]: 20,599"));
  }

  void headingsFollowTheLanguageOfTheCalculation() {
    test::ScriptedSeam seam;
    ZusatzDipol* w = example(false);  // loaded in German
    Module1::state().language = Language::English;
    w->Command1_Click();
    const QStringList lines = reportLines(results_ + "ZusatzDipol.txt");
    QCOMPARE(lines[0], QString("                Additional dipole (radiation-coupled)"));
    QCOMPARE(lines[2], QString("Typ: Additional-Dipol"));
    QCOMPARE(lines[5], QString("Draht-Durchmesser [mm]: 2"));  // caption as loaded
    QVERIFY(frmHauptform::instance()->Info->text().endsWith(
        "The additional dipole calculation is available as text file 'ZusatzDipol.txt'.  "));
  }

  void rejectionsBeepFocusAndWriteNothing() {
    test::ScriptedSeam seam;
    ZusatzDipol* w = example(false);
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    // Activation refreshed the exciter fields; put the example back.
    w->Text2->setText("3,5");
    w->Text4->setText("2");
    w->Text5->setText("2");
    w->Command1_Click();
    QCOMPARE(w->Label10->text(), QString("10,035"));
    w->Text1->setText("3,5");  // not above the exciter
    w->Command1_Click();
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Text1));
    // The results of the inputs before are gone with the refusal.
    for (QLabel* result : {w->Label8, w->Label10, w->Label11}) QVERIFY(result->text().isEmpty());
    QFile::remove(results_ + "ZusatzDipol.txt");

    w->Text1->setText("14,2");
    w->Text3->setText("1");  // clear gap below 1 mm: a thinner wire is suggested
    w->Command1_Click();
    QCOMPARE(seam.beeps, 2);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Text4));
    QCOMPARE(w->Text4->text(), QString("0,95"));
    QVERIFY(w->Label8->text().isEmpty());

    w->Text3->setText("300");
    w->Text4->setText("-2");  // negative diameters are refused like zero
    w->Command1_Click();
    QCOMPARE(seam.beeps, 3);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Text4));
    QVERIFY(!QFile::exists(results_ + "ZusatzDipol.txt"));
  }

  void unwritableResultsFolderIsReportedAndNoNoteAdded() {
    test::ScriptedSeam seam;
    Module1::state().resultsFolder = dir_.filePath("missing") + "/";
    frmHauptform::instance()->Info->setText("Hinweis: ");
    ZusatzDipol* w = example(false);
    w->Command1_Click();
    QCOMPARE(w->Label8->text(), QString("275"));  // the result is still shown
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages[0].icon, Icon::Exclamation);
    QVERIFY(seam.messages[0].text.contains(dir_.filePath("missing") + "/ZusatzDipol.txt"));
    QCOMPARE(frmHauptform::instance()->Info->text(), QString("Hinweis: "));
  }

  void infoButtonShowsTheConditions() {
    test::ScriptedSeam seam;
    Module1::state().language = Language::English;
    ZusatzDipol::instance()->Command2_Click();
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages[0].icon, Icon::Information);
    QCOMPARE(seam.messages[0].title, QString(" Info on the calculation of a radiation-coupled Dipole "));
    QVERIFY(seam.messages[0].text.startsWith("Conditions for the correctness of the calculation:\r\n"));
  }
};

QTEST_MAIN(ZusatzDipolTest)
#include "test_zusatzdipol.moc"
