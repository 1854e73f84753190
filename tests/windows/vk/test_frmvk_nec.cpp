// The calculator's NEC-2 step as a user meets it: ground list and button in
// both languages, the step in the background with a fake engine (its
// reactance crosses zero at 14 MHz), the take-over, failures through the
// message seam, cancel and close while it runs.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>

#include "app/Wiring.h"
#include "session/design.h"
#include "shell/Module1.h"
#include "shell/ui/Forms.h"
#include "tests/support/ScriptedSeam.h"
#include "text/format.h"
#include "tools/fake_engine/FakeNecEngine.h"
#include "windows/main/frmHauptform.h"
#include "windows/vk/frmVk.h"

using namespace lorvant;

namespace {

frmVk* calculator(const QString& f) {
  frmVk::mnuVk();
  frmVk* w = frmVk::loaded();
  w->Text1->setText(f);
  w->Text2->setText("10");
  w->Combo1->setEditText("1,4");
  return w;
}

bool computeNec(frmVk* w) {
  QSignalSpy finished(w, &frmVk::necFinished);
  QTest::mouseClick(w->Command2, Qt::LeftButton);
  return finished.wait(10000);
}

QString vkText(float vk) { return QString::fromStdString(report::FormatPicture(vk, "0.00##", ',')); }

}  // namespace

class FrmVkNecTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { app::connectToolWindows(); }
  void init() {
    Module1::resetState();
    Module1::setDecimalSeparator(',');
    frmVk::setEngineFactory([] { return std::make_unique<test::FakeNecEngine>(); });
  }
  void cleanup() {
    Forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void groundsAndButtonInBothLanguagesResultAndTakeOver() {
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    frmVk* w = calculator("14,2");
    QCOMPARE(w->Combo2->count(), 5);
    QCOMPARE(w->Combo2->currentText(), QString("mittlerer Boden"));
    QCOMPARE(w->Command2->text(), QString("Vk mit NEC-&2"));
    QVERIFY(computeNec(w));
    QVERIFY(seam.messages.isEmpty());
    QCOMPARE(w->Label12->text(), QString::fromStdString(report::FormatPicture(w->lastVk() * 14 / 14.2f, "0.00#", ',')));
    QVERIFY(!w->Label9->text().isEmpty() && w->Label12->text() != w->Label9->text());
    // Either Vk goes into the main form.
    w->mnuNecVkUebernehmen->trigger();
    QCOMPARE(main->Text4->text(), vkText(w->lastNecVk()));
    w->takeOver();
    QCOMPARE(main->Text4->text(), vkText(w->lastVk()));
    // Another ground since: the NEC-2 Vk is not this ground's.
    w->Combo2->setCurrentIndex(4);
    w->mnuNecVkUebernehmen->trigger();
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(main->Text4->text(), vkText(w->lastVk()));

    Module1::state().language = Language::English;
    w->applyCaptions();  // as the main window does after a language switch
    QCOMPARE(w->Combo2->currentText(), QString("good ground"));
    QCOMPARE(w->Command2->text(), QString("Vk by NEC-&2"));
    QCOMPARE(w->mnuNecVkUebernehmen->text(), QString("Vk (NEC-2) take &over"));
    frmVk::mnuPruning();
    QVERIFY(w->Command2->isHidden());
  }

  void theGroundIsKeptWithTheDesign() {
    frmVk* w = calculator("14,2");
    w->Combo2->setCurrentIndex(1);
    design::Design d;
    w->giveInputs(d);
    QVERIFY(d.calculator.has_value());
    QCOMPARE(QString::fromStdString(d.calculator->necGround), QString("perfect"));
    w->Combo2->setCurrentIndex(4);
    QVERIFY(w->takeInputs(d));
    QCOMPARE(w->Combo2->currentIndex(), 1);
    // A design from before the ground was kept brings the default.
    d.calculator->necGround = design::CalculatorInputs{}.necGround;
    QVERIFY(w->takeInputs(d));
    QCOMPARE(w->Combo2->currentText(), QString("mittlerer Boden"));
  }

  void failuresAreSaidCancelAndCloseSayNothing() {
    test::ScriptedSeam seam;
    frmVk* w = calculator("7,1");  // no resonance of the fake near 7 MHz
    QVERIFY(computeNec(w));
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY2(seam.messages[0].text.startsWith("NEC-2: Zwischen 6,035 und 8,165 MHz"),
             qPrintable(seam.messages[0].text));
    QVERIFY(w->Label12->text().isEmpty());

    static std::atomic<bool> hold{true};
    frmVk::setEngineFactory([] { return std::make_unique<test::FakeNecEngine>(&hold); });
    QSignalSpy finished(w, &frmVk::necFinished);
    QTest::mouseClick(w->Command2, Qt::LeftButton);
    QVERIFY(w->necRunning() && !w->Combo2->isEnabled());
    QCOMPARE(w->Command2->text(), QString("&Abbrechen"));
    QTest::mouseClick(w->Command2, Qt::LeftButton);
    QVERIFY(finished.wait(5000));
    QCOMPARE(w->Command2->text(), QString("Vk mit NEC-&2"));
    QTest::mouseClick(w->Command2, Qt::LeftButton);
    QVERIFY(w->necRunning());
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(frmVk::loaded() == nullptr);
    QCOMPARE(seam.messages.size(), 1);
  }
};

QTEST_MAIN(FrmVkNecTest)
#include "test_frmvk_nec.moc"
