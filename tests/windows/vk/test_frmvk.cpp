// The calculator window: loading from the main form, the input checks with
// beep and focus, the corrected diameter, take-over, the active state that
// other windows read, the pruning layout and its persistence until unload.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/Wiring.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/ui/Forms.h"
#include "shell/ui/TextColour.h"
#include "tests/support/ScriptedSeam.h"
#include "tests/support/WorkedExample.h"
#include "text/format.h"
#include "windows/dipole/ZusatzDipol.h"
#include "windows/main/frmHauptform.h"
#include "windows/vk/frmVk.h"

using namespace lorvant;

namespace {

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Shows the window and makes it active, so that focus moves can be seen.
void activate(QWidget* w) {
  w->show();
  w->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(w));
}

frmVk* calculator(const QString& f, const QString& h, const QString& d) {
  frmVk::mnuVk();
  frmVk* w = frmVk::loaded();
  w->Text1->setText(f);
  w->Text2->setText(h);
  w->Combo1->setEditText(d);
  return w;
}

}  // namespace

class FrmVkTest : public QObject {
  Q_OBJECT

 private slots:
  // The calculator's take-over reaches the additional dipole as the
  // program connects them.
  void initTestCase() { app::connectToolWindows(); }
  void init() {
    Module1::resetState();
    Module1::setDecimalSeparator(',');
  }
  void cleanup() {
    Forms::unloadAll();
    flushDeletes();
  }

  void loadingTakesFrequencyAndDiameterFromTheMainForm() {
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    main->Text1->setText("7,05");
    main->Combo2->setEditText("2,5");
    frmVk::mnuVk();
    frmVk* w = frmVk::loaded();
    QCOMPARE(w->windowTitle(), QString("Verkürzungsfaktor berechnen"));
    QCOMPARE(w->Tag, QString("-"));
    QCOMPARE(w->Text1->text(), QString("7,05"));
    QCOMPARE(w->Text2->text(), QString("10,0"));
    QCOMPARE(w->Combo1->currentText(), QString("2,5"));
    QCOMPARE(w->Combo1->count(), 10);
    QCOMPARE(w->Combo1->itemText(0), QString("0,977(0,75mm²)"));
    QVERIFY(w->Label9->text().isEmpty());
    QVERIFY(!w->mnuErdbodenKor->isChecked());
    QVERIFY(!frmVk::calculatorState().active);
  }

  void englishCaptions() {
    Module1::state().language = Language::English;
    frmVk* w = frmVk::instance();
    QCOMPARE(w->windowTitle(), QString("shortening factor calculate"));
    QCOMPARE(w->mnuErdbodenKor->text(), QString("Ground corr&ection"));
    QCOMPARE(w->Frame1->title(), QString(" shortening in % due to "));
    QCOMPARE(w->Label6->toolTip(), QString(" Ratio wavelength/wire diameter "));
  }

  void emptyFrequencyBeepsAndChangesNothing() {
    test::ScriptedSeam seam;
    frmVk* w = calculator("", "10", "2");
    activate(w);
    w->Command1_Click();
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(QApplication::focusWidget(), w->Text1);
    QCOMPARE(w->Tag, QString("-"));
    QVERIFY(w->Label9->text().isEmpty());
  }

  // A refused input takes the results of the inputs before with it.
  void refusedInputClearsTheLastResults() {
    test::ScriptedSeam seam;
    frmVk* w = calculator("14,2", "10", "2");
    activate(w);
    w->Command1_Click();
    QVERIFY(!w->Label9->text().isEmpty());
    w->Text1->clear();
    w->Command1_Click();
    QCOMPARE(seam.beeps, 1);
    for (QLabel* result : {w->Label5, w->Label7, w->Label9}) QVERIFY(result->text().isEmpty());
  }

  void heightZeroIsCorrectedAndTheNextRunUsesIt() {
    test::ScriptedSeam seam;
    frmVk* w = calculator("14,2", "0", "2");
    activate(w);
    w->Command1_Click();
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(w->Text2->text(), QString("0,01"));
    QCOMPARE(QApplication::focusWidget(), w->Text2);
    QCOMPARE(w->Tag, QString("-"));
    QVERIFY(w->Label5->text().isEmpty());
    w->Command1_Click();  // 0,01 m is accepted; the diameter 2 mm fits D2 = 20 mm
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(w->Tag, QString("Aktiv"));
    QVERIFY(!w->Label5->text().isEmpty());
  }

  void correctedDiameterIsRedAndReachesTheMainForm() {
    test::ScriptedSeam seam;
    frmVk* w = calculator("14,2", "10", "0,05");
    w->Command1_Click();
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(w->Combo1->currentText(), QString("0,1"));
    QCOMPARE(ui::textColour(w->Combo1), TextColour::Red);
    QCOMPARE(frmHauptform::instance()->Combo2->currentText(), QString("0,1"));
    w->Combo1->setEditText("2");
    w->Command1_Click();
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(ui::textColour(w->Combo1), TextColour::Black);
    QCOMPARE(frmHauptform::instance()->Combo2->currentText(), QString("2"));
  }

  void diameterWriteActsLikeATypedChangeOnTheMainForm() {
    // The main form keeps its outer diameter above the conductor.
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    main->Text6->setText("2,1");
    frmVk* w = calculator("14,2", "10", "2,5");
    w->Command1_Click();
    QCOMPARE(main->Combo2->currentText(), QString("2,5"));
    QCOMPARE(main->Text6->text(), QString("3,5"));
  }

  void activeStateIsWhatTheRunReads() {
    test::ScriptedSeam seam;
    frmVk* w = calculator("14,2", "12,5", "1,4");
    w->mnuErdbodenKor->setChecked(true);
    QVERIFY(!frmVk::calculatorState().active);
    w->Command1_Click();
    const CalculatorState st = frmVk::calculatorState();
    QVERIFY(st.active);
    QCOMPARE(st.height, 12.5f);
    QCOMPARE(st.diameter, 1.4f);
    QVERIFY(st.groundCorrection);
    QCOMPARE(QString::fromStdString(st.heightText), QString("12,5"));
    // Closing unloads the window: inactive, and the next opening is fresh.
    w->close();
    QVERIFY(!frmVk::calculatorState().active);
    flushDeletes();
    QVERIFY(frmVk::loaded() == nullptr);
    QCOMPARE(frmVk::instance()->Tag, QString("-"));
  }

  void doubleClickOnAnEmptyResultTakesNothingOver() {
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    main->Text1->setText("14,2");
    main->Text4->setText("0,95");
    frmVk* w = calculator("3,65", "10", "2");
    QTest::mouseDClick(w->Label9, Qt::LeftButton);
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(main->Text4->text(), QString("0,95"));
    QCOMPARE(main->Text1->text(), QString("14,2"));
    QVERIFY(ZusatzDipol::loaded() == nullptr);

    // After a calculation the result is taken over; the additional dipole
    // is loaded for it, but not shown.
    w->Command1_Click();
    QTest::mouseDClick(w->Label9, Qt::LeftButton);
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(main->Text4->text(), QString::fromStdString(report::FormatPicture(w->lastVk(), "0.00##", ',')));
    QCOMPARE(main->Text1->text(), QString("3,65"));
    QVERIFY(ZusatzDipol::loaded() != nullptr);
    QCOMPARE(ZusatzDipol::loaded()->Text6->text(), main->Text4->text());
    QVERIFY(!ZusatzDipol::loaded()->isVisible());

    // A refused calculation empties the result; the Vk before it is not
    // taken over behind the user's back.
    main->Text4->setText("0,95");
    w->Text1->clear();
    w->Command1_Click();
    QCOMPARE(seam.beeps, 2);
    QTest::mouseDClick(w->Label9, Qt::LeftButton);
    QCOMPARE(seam.beeps, 3);
    QCOMPARE(main->Text4->text(), QString("0,95"));
  }

  void takeOverOptionOverwritesAfterEveryCalculation() {
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    frmVk* w = calculator("14,2", "10", "2");
    w->Command1_Click();
    auto takenOver = [w] { return QString::fromStdString(report::FormatPicture(w->lastVk(), "0.00##", ',')); };
    main->Text4->setText("0,95");
    w->mnuVkUebernehmen->trigger();  // checking it takes over at once
    QVERIFY(w->mnuVkUebernehmen->isChecked());
    QCOMPARE(main->Text4->text(), takenOver());
    QVERIFY(takenOver().startsWith(w->Label9->text().left(4)));
    QCOMPARE(main->Text1->text(), QString("14,2"));
    w->Text1->setText("7,1");
    w->Command1_Click();
    QCOMPARE(main->Text1->text(), QString("7,1"));
    QCOMPARE(main->Text4->text(), takenOver());
    QCOMPARE(ZusatzDipol::instance()->Text6->text(), main->Text4->text());
    // Unchecking does not take over.
    main->Text4->setText("0,95");
    w->mnuVkUebernehmen->trigger();
    QCOMPARE(main->Text4->text(), QString("0,95"));
  }

  // Bad input in the calculator once reached the main form silently: a
  // frequency typed after the result, a frequency in kHz (and the half-wave
  // count derived from it), a diameter in micrometres corrected to half a
  // wavelength (and the outer diameter raised from it, cut by its field).
  // The main form gets only what its own fields take; the calculator says
  // why not.
  void takeOverWritesOnlyWhatTheMainFormTakes() {
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    main->Check1[1]->setChecked(true);  // 3,5 MHz: the lowest counted band
    main->Text1->setText("14,2");
    main->Text2->setText("4");
    main->Text6->setText("2,1");
    main->Combo2->setEditText("2");
    const QString conductor("2");
    frmVk* w = calculator("14,2", "10", "2");
    activate(w);
    auto retype = [](QWidget* field, const QString& text) {
      field->setFocus();
      QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(field, text);
    };
    auto mainUnchanged = [&] {
      QCOMPARE(main->Text1->text(), QString("14,2"));
      QCOMPARE(main->Text2->text(), QString("4"));
      QCOMPARE(main->Text4->text(), QString("0,95"));
      QCOMPARE(main->Combo2->currentText(), conductor);
      QCOMPARE(main->Text6->text(), QString("2,1"));
    };
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QVERIFY(!w->Label9->text().isEmpty());
    main->Text4->setText("0,95");

    // The frequency typed after the result: the Vk is not the one for it.
    retype(w->Text1, "1,8");
    QTest::mouseDClick(w->Label9, Qt::LeftButton);
    mainUnchanged();
    QCOMPARE(seam.messages.size(), 1);
    QCOMPARE(seam.messages[0].text,
             QString::fromUtf8("Nichts übernommen: Der Vk wurde für andere Eingaben berechnet. Bitte neu rechnen."));
    QCOMPARE(seam.messages[0].icon, Icon::Exclamation);

    // A frequency in kHz: calculated, but not taken over.
    w->mnuVkUebernehmen->setChecked(true);
    retype(w->Text1, "10000");
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QVERIFY(!w->Label9->text().isEmpty());
    mainUnchanged();
    QCOMPARE(seam.messages.size(), 2);
    QCOMPARE(seam.messages[1].text,
             QString::fromUtf8("Nichts übernommen: Das Eingabeformular nimmt '10000' nicht als Resonanzfrequenz an "
                               "(über 0 bis 1000 MHz)."));

    // A diameter in micrometres, corrected to half a wavelength at 14,2 MHz.
    w->mnuVkUebernehmen->setChecked(false);
    retype(w->Text1, "14,2");
    retype(w->Combo1, "20000");
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QCOMPARE(w->Combo1->currentText(), QString("10563,4"));
    mainUnchanged();
    QCOMPARE(seam.messages.size(), 3);
    QCOMPARE(seam.messages[2].text,
             QString::fromUtf8("Nichts übernommen: Das Eingabeformular nimmt '10563,4' nicht als Drahtdurchmesser an "
                               "(über 0 bis 998,9 mm)."));

    // English, and what the form takes still arrives.
    Module1::state().language = Language::English;
    w->mnuVkUebernehmen->setChecked(true);
    retype(w->Text1, "7,1");
    retype(w->Combo1, "2,5");
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QCOMPARE(seam.messages.size(), 3);
    QCOMPARE(main->Text1->text(), QString("7,1"));
    QCOMPARE(main->Text4->text(), QString::fromStdString(report::FormatPicture(w->lastVk(), "0.00##", ',')));
    QCOMPARE(main->Combo2->currentText(), QString("2,5"));
    QCOMPARE(main->Text6->text(), QString("3,5"));
    retype(w->Text2, "12");
    QTest::mouseDClick(w->Label9, Qt::LeftButton);
    QCOMPARE(seam.messages.size(), 4);
    QCOMPARE(seam.messages[3].text,
             QString("Nothing taken over: the Vk was calculated for other inputs. Please calculate again."));
    QCOMPARE(seam.messages[3].title, QString(" Vk take over"));
  }

  // The lists do not complete a typed number into one of their entries.
  void typedValuesStayAsTyped() {
    test::ScriptedSeam seam;
    frmVk* w = calculator("14,2", "10", "");
    activate(w);
    w->Combo1->setFocus();
    QTest::keyClicks(w->Combo1, "2");
    QCOMPARE(w->Combo1->currentText(), QString("2"));

    frmVk::mnuPruning();
    w->Text1->setText("20");
    w->Text2->setText("7,2");
    w->Combo1->setFocus();
    QTest::keyClicks(w->Combo1, "7");
    QCOMPARE(w->Combo1->currentText(), QString("7"));
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QCOMPARE(w->Label9->text(), QString("+ 57,1"));  // 7,05 would give + 42,6
    // Choosing from the list still works.
    w->Combo1->setCurrentIndex(2);
    QCOMPARE(w->Combo1->currentText(), QString("7,05"));
  }

  void pruningLayoutAndComputation() {
    test::ScriptedSeam seam;
    Module1::state().antennaLength = 20.0f;
    frmVk::mnuPruning();
    frmVk* w = frmVk::loaded();
    QCOMPARE(w->windowTitle(), QString(" Antennen-Pruning/Optimieren "));
    QCOMPARE(w->Text1->text(), QString("20,0"));
    QVERIFY(w->Text2->text().isEmpty());
    QVERIFY(w->Combo1->currentText().isEmpty());
    QCOMPARE(w->Combo1->count(), 12);
    QCOMPARE(w->Combo1->itemText(3), QString("7,1"));
    QVERIFY(w->Label1->font().bold());
    QVERIFY(!w->mnuOpt->menuAction()->isVisible());
    QCOMPARE(w->Command1->text(), QString("&Rechnen"));
    w->Text2->setText("7,0");
    w->Combo1->setEditText("7,05");
    w->Command1_Click();
    QCOMPARE(w->Label7->text(), QString("19,858"));
    QCOMPARE(w->Label5->text(), QString("0,933"));
    QCOMPARE(w->Label9->text(), QString("- 14,2"));
    QCOMPARE(ui::textColour(w->Label5), TextColour::Black);
    QCOMPARE(w->Tag, QString("-"));  // pruning never activates the calculator

    // A ratio outside 0,66 .. 1,4: beep, focus on the desired frequency,
    // and no result of the inputs before stays as if it were this one's.
    activate(w);
    w->Combo1->setEditText("3,65");
    w->Command1_Click();
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Combo1));
    for (QLabel* result : {w->Label5, w->Label7, w->Label9}) QVERIFY(result->text().isEmpty());
  }

  void pruningWithoutARunStartsEmptyAndShowsVkAboveOneInRed() {
    test::ScriptedSeam seam;
    frmVk::mnuPruning();
    frmVk* w = frmVk::loaded();
    QVERIFY(w->Text1->text().isEmpty());
    w->Text1->setText("46");
    w->Text2->setText("7,5");
    w->Combo1->setEditText("7,5");
    w->Command1_Click();
    QCOMPARE(w->Label5->text(), QString("1,30"));
    QCOMPARE(ui::textColour(w->Label5), TextColour::Red);
  }

  // The calculator's command on the pruning layout switches the window back
  // to the calculator whole, as unloading does; a measured frequency is no
  // antenna height and stays behind.
  void calculatorCommandEndsThePruningLayout() {
    test::ScriptedSeam seam;
    frmVk::mnuPruning();
    frmVk* w = frmVk::loaded();
    w->Text2->setText("7");
    w->Combo1->setEditText("7,05");
    frmVk::mnuVk();
    QCOMPARE(frmVk::loaded(), w);
    QCOMPARE(w->windowTitle(), QString("Verkürzungsfaktor berechnen"));
    QVERIFY(w->mnuOpt->menuAction()->isVisible());
    QCOMPARE(w->Combo1->count(), 10);
    QCOMPARE(w->Combo1->itemText(0), QString("0,977(0,75mm²)"));
    QVERIFY(w->Text2->text() != QString("7"));
    QVERIFY(w->Combo1->currentText() != QString("7,05"));
    QVERIFY(w->Label9->text().isEmpty());
    w->close();
    flushDeletes();
    frmVk::mnuPruning();
    frmVk::mnuVk();
    QCOMPARE(frmVk::loaded()->windowTitle(), QString("Verkürzungsfaktor berechnen"));
    QVERIFY(frmVk::loaded()->mnuOpt->menuAction()->isVisible());
  }

  void followingRunPrintsTheHeightUntilTheWindowCloses() {
    test::ScriptedSeam seam;
    QTemporaryDir dir;
    Module1::state().resultsFolder = dir.path() + "/";
    frmHauptform* main = frmHauptform::instance();
    main->Text1->setText("14,2");
    main->Text2->setText("4");
    main->setBandValue(1, BandState::Counted);
    main->setBandValue(3, BandState::Counted);
    main->setBandValue(5, BandState::Counted);
    // The report without its closing line, which carries the time.
    auto report = [&] {
      QFile f(dir.path() + "/AntStrSu.txt");
      const QString text = f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
      return text.left(text.lastIndexOf("Berechnung am"));
    };
    main->runCalculation();
    const QString plain = report();
    QVERIFY(plain.contains(QString::fromLatin1("\r\nGeometrische Antennenl\xE4nge: ") +
                           QString::fromStdString(test::worked::LengthText(',')) + " m\r\n"));
    QVERIFY(!plain.contains(QString::fromLatin1("Antennenh\xF6he: ")));

    frmVk* w = calculator("14,2", "10,0", "2");
    w->Command1_Click();
    main->Text4->setText("0,95");
    main->runCalculation();
    const QString withCalc = report();
    QVERIFY(withCalc.contains(QString::fromLatin1("\r\nAntennenh\xF6he: 10,0 m\r\n")));
    // Each band now has its own shortening from slenderness and height.
    QVERIFY(withCalc != plain);

    w->close();
    flushDeletes();
    main->runCalculation();
    QCOMPARE(report(), plain);
  }

  // The pruning layout's fields are a measured frequency and a target, not
  // a height and a wire diameter: nothing of them reaches another window.
  void pruningLayoutHandsNothingOn() {
    test::ScriptedSeam seam;
    frmHauptform* main = frmHauptform::instance();
    frmVk* w = calculator("14,2", "10", "2");
    w->Command1_Click();
    QVERIFY(frmVk::calculatorState().active);
    frmVk::mnuPruning();
    w->Text1->setText("20");
    w->Text2->setText("7,2");
    w->Combo1->setEditText("7");
    w->Command1_Click();
    QCOMPARE(w->Label9->text(), QString("+ 57,1"));
    QVERIFY(!frmVk::calculatorState().active);

    // The additional dipole takes the main form's diameter and keeps its Vk.
    main->Text4->setText("0,95");
    ZusatzDipol::mnuBerZusDipol();
    ZusatzDipol* dipole = ZusatzDipol::loaded();
    activate(dipole);
    QCOMPARE(dipole->Text4->text(), main->Combo2->currentText());
    QCOMPARE(dipole->Text5->text(), main->Combo2->currentText());
    dipole->Text1->setText("14,2");
    dipole->Text2->setText("3,5");
    dipole->Text6->setText("0,95");
    dipole->Command1_Click();
    QCOMPARE(dipole->Text6->text(), QString("0,95"));

    // The result box holds a length change: a double-click takes nothing over.
    QTest::mouseDClick(w->Label9, Qt::LeftButton);
    QCOMPARE(main->Text4->text(), QString("0,95"));
    QCOMPARE(main->Text1->text(), QString("14,2"));
    QCOMPARE(seam.beeps, 1);
  }
};

QTEST_MAIN(FrmVkTest)
#include "test_frmvk.moc"
