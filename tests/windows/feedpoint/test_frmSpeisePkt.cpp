// The feed-point window in its four modes, opened from the main window's
// menu after a run and used as a user does: typing, clicking, answering.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include "app/MDIForm1.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/ui/Forms.h"
#include "tests/session/feedpoint_support.h"
#include "tests/session/run_support.h"
#include "tests/support/FreshProgram.h"
#include "tests/support/Keys.h"
#include "tests/support/Paste.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"

using namespace lorvant;

namespace {

using test::click;
using test::replace;

QStringList lines(const QPlainTextEdit* box) { return box->toPlainText().split('\n'); }

bool shown(QWidget* form) {
  auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
  return sub ? sub->isVisible() : form->isVisible();
}

// Left edge, in `window` coordinates, of the first dark pixel in the top
// `rows` pixel rows of what `w` shows; -1 when there is none.
int firstInk(QWidget* w, QWidget* window, int rows) {
  const QImage image = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  int left = -1;
  for (int y = 0; y < std::min(rows, image.height()); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 100 && (left < 0 || x < left)) left = x;
  return left < 0 ? -1 : w->mapTo(window, QPoint(left, 0)).x();
}

int frameHeight(QWidget* form) {
  auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget());
  return sub ? sub->height() : form->height();
}

const char* const kRunNote =
    "Länge der Antenne 41,7 m\r\nBerechnung für Bandmitte: Mögliche Speisepunkte (X) bei  6,75 m, 8,1 m, 13,9 m,\r\n"
    "Tabelle liegt als Textfile 'AntStrSu.txt' vor.  ";

}  // namespace

class TestFeedPointWindow : public QObject {
  Q_OBJECT

 private:
  test::ScriptedSeam* seam_ = nullptr;
  MDIForm1* main_ = nullptr;
  frmHauptform* form_ = nullptr;
  QTemporaryDir results_;

  // Opens a window through a menu entry: the one it brought to the front.
  frmSpeisePkt* open(const char* entry) {
    main_->action(entry)->trigger();
    QMdiSubWindow* sub = main_->mdiArea()->activeSubWindow();
    return sub ? qobject_cast<frmSpeisePkt*>(sub->widget()) : nullptr;
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(results_.isValid());
  }

  void init() {
    seam_ = new test::ScriptedSeam;
    test::FreshState(results_.path());
    QFile::remove(results_.path() + "/SpeisePkt.txt");
    main_ = test::ShowMainWindow();
    QVERIFY(main_);
    form_ = main_->mainForm();
    // What a run of 41.7 m at 14.2 MHz leaves behind: the feed-point worked
    // example.
    Module1::state().antennaLength = test::worked::kFeedWireLength;
    form_->Text1->setText("14,2");
    form_->Text2->setText("4");
    form_->Text4->setText("0,95");
    form_->Text8->setText("0,4");
    for (int i = 0; i < kBandCount; ++i)
      form_->setBandValue(i, i == 1 || i == 3 || i == 5 ? BandState::Counted : BandState::Off);
    form_->Option1[2]->setChecked(true);
    form_->Info->setText(QString::fromUtf8(kRunNote));
    main_->action("mnuBerSpeise")->setEnabled(true);
    seam_->beeps = 0;
    seam_->messages.clear();
  }

  void cleanup() {
    Forms::unloadAll();
    delete main_;
    main_ = nullptr;
    delete seam_;
    Module1::setDecimalSeparator(0);
  }

  // The fields edit as the main form's do; the menu's Ctrl+A ("alle
  // Frequenzen") does not take the key from a focused result box.
  void editingKeysInFieldsAndResultBox() {
    frmSpeisePkt* w = open("mnuBerSpeisePktLänge");
    w->Text3->setFocus();
    w->Text3->clear();
    QGuiApplication::clipboard()->setText("13,9");
    QTest::keyClick(w->Text3, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w->Text3->text(), QString("13,9"));
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(w->Text3, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w->Text3, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("13,9"));
    QCOMPARE(seam_->beeps, 0);
    QVERIFY(test::pasteFromContextMenu(w->Text3, "-5"));
    QCOMPARE(w->Text3->text(), QString("13,9"));
    QCOMPARE(seam_->beeps, 1);

    frmSpeisePkt* scan = open("mnuBerSpeisePkt");
    click(scan->cmdRechnen);
    const QString rows = scan->txtAuswertung->toPlainText();
    QVERIFY(!rows.isEmpty());
    scan->txtAuswertung->setFocus();
    QTest::keyClick(scan->txtAuswertung, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(scan->txtAuswertung->toPlainText(), rows);
    QCOMPARE(scan->txtAuswertung->textCursor().selectedText().size(), rows.size());
    // Outside a text box the key is the menu's: the scan comes to the
    // front as it is.
    scan->cmdRechnen->setFocus();
    QTest::keyClick(scan->cmdRechnen, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(scan->txtAuswertung->toPlainText(), rows);
  }

  // A feed point that is not inside the wire - beyond it, or at its very
  // end - is refused by a message that names the wire's length, and the
  // focus goes where the correction is to be typed. A zero distance is no
  // distance.
  void refusedDistanceTakesTheFocus() {
    for (const char* entry : {"mnuBerSpeisePktLänge", "mnuBerSpeisePktQRG"}) {
      frmSpeisePkt* w = open(entry);
      w->activateWindow();
      replace(w->Text1, "41,7");
      for (const char* distance : {"50", "41,7"}) {
        replace(w->Text3, distance);
        w->Text2->setFocus();
        seam_->messages.clear();
        click(w->cmdRechnen);
        QCOMPARE(seam_->messages.size(), 1);
        QCOMPARE(seam_->lastText(), QString::fromUtf8("Der Speisepunkt liegt nicht auf dem Draht (0 … 41,7 m)."));
        QCOMPARE(seam_->messages[0].title, QString::fromUtf8(" Ungültige Eingabe"));
        QCOMPARE(seam_->messages[0].icon, Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->Text3));
        QVERIFY(w->txtAuswertung->toPlainText().isEmpty());
      }
      replace(w->Text3, "0");
      click(w->cmdRechnen);
      QCOMPARE(seam_->lastText(), QString("Bitte einen Abstand eingeben!"));
      QVERIFY(w->txtAuswertung->toPlainText().isEmpty());
    }
    main_->switchLanguage(Language::English);
    frmSpeisePkt* w = open("mnuBerSpeisePktQRG");
    const QString length = QString::fromStdString(test::worked::LengthText(','));
    replace(w->Text1, length);
    replace(w->Text3, "50");
    click(w->cmdRechnen);
    QCOMPARE(seam_->lastText(), QString::fromUtf8("The feed point is not on the wire (0 … ") + length + " m).");
    QCOMPARE(seam_->messages.last().title, QString(" Invalid input"));
  }

  void allBandsCheck() {
    frmSpeisePkt* w = open("mnuBerSpeisePktLänge");
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString::fromUtf8(" Berechnung aller Frequenzen bei einer vorgegebenen Länge"));
    QVERIFY(shown(w));
    QCOMPARE(Forms::status(), QString::fromUtf8("Status: Überprüfung des Speisepunktes"));
    QCOMPARE(w->Text1->text(), QString("41,7"));
    QCOMPARE(w->Text2->text(), QString("14,2"));
    QCOMPARE(w->Text3->text(), QString("8,1"));  // the first listed distance between 7 and 9 m
    QCOMPARE(w->Label2->text(), form_->Label1->text());
    QVERIFY(w->Label1->font().bold());

    // Only digits, comma and point reach the fields.
    replace(w->Text3, "13x,9");
    QCOMPARE(w->Text3->text(), QString("13,9"));
    QCOMPARE(seam_->beeps, 1);

    click(w->cmdRechnen);
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    QCOMPARE(seam_->busyNow, 0);
    // The rows the session gives for the same window and main form.
    test::ScriptAsker asker;
    const auto session = feedpoint::CheckAllBands(test::workedWindow(','), test::workedMainForm(','),
                                                  {Language::German, ',', "", ""}, asker);
    QStringList expected;
    for (const std::string& row : test::crlfLines(session.rows)) expected << QString::fromStdString(row);
    QCOMPARE(expected.size(), 9);
    QCOMPARE(lines(w->txtAuswertung), expected);
    QFile report(results_.path() + "/SpeisePkt.txt");
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QList<QByteArray> reportLines = report.readAll().split('\n');
    QCOMPARE(reportLines.value(4), QByteArray("Abstand Speisepunkt [m]:13,9\r"));
    QCOMPARE(reportLines.value(3), QByteArray("Resonanz&frequenz f\xFCr bevorzugtes Band [MHz]:14,2\r"));
    QVERIFY(form_->Info->text().endsWith(
        QString::fromUtf8("\r\nDie Speisepunktberechnung liegt als Textfile 'SpeisePkt.txt' vor.  ")));

    // A length typed differently asks to adapt it; Yes rewrites the main form.
    form_->Text2->setText("~4");
    form_->Option2[2]->setChecked(true);
    replace(w->Text1, "41,70");
    seam_->answers = {Answer::Yes};
    click(w->cmdRechnen);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->messages[0].text, QString("Soll die Antennenlänge an die Resonanzfrequenz angepasst werden?"));
    QCOMPARE(seam_->messages[0].buttons, Buttons::YesNo);
    QCOMPARE(w->Text1->text(), QString::fromStdString(test::worked::LengthText(',')));
    QCOMPARE(form_->Text2->text(), QString("4"));
    QVERIFY(form_->Option2[0]->isChecked());

    // An empty distance is refused, and the table of the distance before
    // does not stay as if it were this one's.
    replace(w->Text3, "");
    seam_->messages.clear();
    click(w->cmdRechnen);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->messages[0].text, QString("Bitte einen Abstand eingeben!"));
    QCOMPARE(seam_->messages[0].title, QString::fromUtf8(" Unvollständig"));
    QCOMPARE(seam_->messages[0].icon, Icon::Exclamation);
    QVERIFY(w->txtAuswertung->toPlainText().isEmpty());

    // The command brings its window back, not a second one; closing hides it.
    QCOMPARE(open("mnuBerSpeisePktLänge"), w);
    w->close();
    QVERIFY(!shown(w));
    QCOMPARE(Forms::status(), QString::fromUtf8("Status: Bereit für Antennen-Berechnungen"));
  }

  // Maximised, the result box takes the room; the fields stay beside their
  // captions.
  void maximisedTheResultBoxGrows() {
    frmSpeisePkt* w = open("mnuBerSpeisePktLänge");
    auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
    QTest::qWait(0);
    const auto gap = [w] { return w->Text1->x() - w->Label1->mapTo(w, QPoint(w->Label1->sizeHint().width(), 0)).x(); };
    const int gapBefore = gap();
    const QSize boxBefore = w->txtAuswertung->size();
    main_->resize(1600, 1200);
    sub->showMaximized();
    QTest::qWait(0);
    QCOMPARE(gap(), gapBefore);
    QVERIFY(w->txtAuswertung->width() > boxBefore.width() && w->txtAuswertung->height() > boxBefore.height());
  }

  // The English form underlines another letter of its frequency label (Alt+F
  // is the File menu), but the report quotes the label as it always read.
  void englishReportQuotesTheFrequencyLabel() {
    main_->switchLanguage(Language::English);
    frmSpeisePkt* w = open("mnuBerSpeisePktLänge");
    QVERIFY(w);
    QCOMPARE(w->Label2->text(), form_->Label1->text());
    replace(w->Text3, "13,9");
    click(w->cmdRechnen);
    QFile report(results_.path() + "/SpeisePkt.txt");
    QVERIFY(report.open(QIODevice::ReadOnly));
    QCOMPARE(report.readAll().split('\n').value(3), QByteArray("Resonance &frequency for preferred Band [MHz]:14,2\r"));
  }

  void allBandsAfterARealRun() {
    // The form's own run leaves the length, the note with its feed points
    // and the open submenu; the check then takes them as they are.
    main_->action("mnuBerSpeise")->setEnabled(false);
    Module1::state().antennaLength = 0;
    form_->Info->setText(QString());
    click(form_->Command1);
    QVERIFY2(main_->action("mnuBerSpeise")->isEnabled(), qPrintable(form_->Info->text()));
    QVERIFY(Module1::state().antennaLength > 0);
    seam_->messages.clear();

    frmSpeisePkt* w = open("mnuBerSpeisePktLänge");
    QVERIFY(w);
    QCOMPARE(w->Text2->text(), form_->Text1->text());
    QVERIFY(!w->Text1->text().isEmpty());
    QVERIFY2(!w->Text3->text().isEmpty(), qPrintable(form_->Info->text()));
    QVERIFY(form_->Info->text().contains(w->Text3->text() + " m,"));
    click(w->cmdRechnen);
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));  // no adapt question
    QCOMPARE(lines(w->txtAuswertung).size(), 9);
    QVERIFY(QFile::exists(results_.path() + "/SpeisePkt.txt"));
  }

  void oneFrequencyCheck() {
    Module1::state().antennaLength = 20;
    form_->Text1->setText("7,5");
    form_->Text4->setText("1");
    frmSpeisePkt* w = open("mnuBerSpeisePktQRG");
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString::fromUtf8(" Berechnung der Ströme bei einer Frequenz"));
    QCOMPARE(w->Text1->text(), QString("20,0"));
    QCOMPARE(w->Text2->text(), QString("7,5"));
    QCOMPARE(w->Text3->text(), QString());
    QVERIFY(!w->Label4->isVisible());
    QVERIFY(w->txtAuswertung->isVisible());

    replace(w->Text3, "10");
    click(w->cmdRechnen);
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    const QStringList expected = {
        "Länge links vom Speisepunkt: 10,0 m",
        "Länge rechts vom Speisepunkt: 10,0 m",
        "Verkürzungsfaktor: 1,0",
        "Strom links vom Speisepunkt: 1,0",
        "Strom rechts vom Speisepunkt: 1,0",
        "Geometrisches Mittel der Ströme: 1,0",
        "Differenz der beiden Ströme: 0,0 (Optimal)",
    };
    QCOMPARE(lines(w->txtAuswertung), expected);

    // A language switch keeps the mode; the texts follow the new language.
    main_->switchLanguage(Language::English);
    click(w->cmdRechnen);
    QCOMPARE(lines(w->txtAuswertung).value(0), QString("Length left of the feed point: 10,0 m"));

    replace(w->Text2, "0");
    click(w->cmdRechnen);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->messages[0].text, QString("Please enter the frequency!"));
    QCOMPARE(seam_->messages[0].title, QString(" Incomplete"));
    // The lines of the inputs before do not stay as if they were these.
    QVERIFY(w->txtAuswertung->toPlainText().isEmpty());

    // A feed point at the very end is no feed point, however equal the
    // "currents" of a wire and of no wire at all.
    replace(w->Text2, "7,5");
    replace(w->Text3, "20");
    seam_->messages.clear();
    click(w->cmdRechnen);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->lastText(), QString::fromUtf8("The feed point is not on the wire (0 … 20,0 m)."));
    QVERIFY(w->txtAuswertung->toPlainText().isEmpty());
  }

  void impedanceMode() {
    frmSpeisePkt* full = open("mnuBerSpeisePktLänge");
    frmSpeisePkt* w = open("mnuBerImpedanz");
    QVERIFY(w && w != full);
    QCOMPARE(w->windowTitle(), QString(" Impedanz aus Stromsumme ermitteln"));
    w->activate();
    QCOMPARE(Forms::status(), QString("Status: Impedanzberechnung"));
    QVERIFY(!w->Text1->isVisible());
    QVERIFY(!w->txtAuswertung->isVisible());
    // The result field takes no typing but reads like any other field.
    QVERIFY(w->Text3->isEnabled() && w->Text3->isReadOnly());
    QVERIFY(frameHeight(w) < frameHeight(full));
    QCOMPARE(w->Label2->text(), QString("Stromsumme (0,01...1,0):"));

    replace(w->Text2, "0,5");
    click(w->cmdRechnen);
    QCOMPARE(w->Text3->text(), QString("534,9"));
    replace(w->Text2, "0,01");
    click(w->cmdRechnen);
    QCOMPARE(w->Text3->text(), QString("28,3 K"));
    QCOMPARE(seam_->beeps, 0);
    replace(w->Text2, "2,01");
    click(w->cmdRechnen);
    QCOMPARE(w->Text3->text(), QString());
    QCOMPARE(seam_->beeps, 1);
    QVERIFY(seam_->messages.isEmpty());
  }

  void feedPointScan() {
    frmSpeisePkt* w = open("mnuBerSpeisePkt");
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString::fromUtf8(" Speisepunkt prüfen: alle Bänder"));
    QCOMPARE(w->Text1->text(), QString("6,95"));
    QCOMPARE(w->Text2->text(), QString("20,9"));
    QCOMPARE(w->Text3->text(), QString("0,01"));
    QCOMPARE(open("mnuBerSpeisePkt"), w);  // one shared window

    replace(w->Text1, "8");
    replace(w->Text2, "8,03");
    click(w->cmdRechnen);
    const QStringList rows = lines(w->txtAuswertung);
    QCOMPARE(rows.size(), 4);  // three rows and the empty rest after the last line end
    QVERIFY(rows[0].startsWith("8,000 m     "));
    QVERIFY(rows[1].trimmed().startsWith("8,010 m     "));
    QVERIFY(rows[2].trimmed().startsWith("8,020 m     "));

    // The header's columns stand over the rows' columns: the same text in
    // the box starts where the header starts.
    const QString header = w->Label4->text();
    w->txtAuswertung->setPlainText(header);
    QTest::qWait(0);
    const int top = w->txtAuswertung->cursorRect(QTextCursor(w->txtAuswertung->document())).bottom();
    const int headerAt = firstInk(w->Label4, w, w->Label4->height());
    QVERIFY(headerAt >= 0);
    QCOMPARE(firstInk(w->txtAuswertung->viewport(), w, top), headerAt);

    // A zero step becomes 1 mm, with a beep, and the field shows it.
    replace(w->Text3, "0");
    replace(w->Text2, "8,002");
    click(w->cmdRechnen);
    QCOMPARE(seam_->beeps, 1);
    QCOMPARE(w->Text3->text(), QString("0,001"));
    QCOMPARE(lines(w->txtAuswertung).size(), 3);

    // The rows end at the wire's end, and the box and the status line say so.
    Module1::state().antennaLength = test::worked::kLength;
    replace(w->Text1, "40");
    replace(w->Text2, "50");
    replace(w->Text3, "0,5");
    click(w->cmdRechnen);
    const QStringList toTheEnd = lines(w->txtAuswertung);
    const QString wireEnd = QString::fromUtf8("Die Liste endet am Drahtende (") +
                            QString::fromStdString(test::worked::LengthText(',')) + " m).";
    QCOMPARE(toTheEnd.size(), 6);  // four rows, an empty line, the note
    QVERIFY(toTheEnd[3].trimmed().startsWith("41,500 m     "));
    QCOMPARE(toTheEnd.last(), wireEnd);
    QCOMPARE(Forms::status(), wireEnd);

    // A long scan shows progress and can be cancelled.
    Module1::state().antennaLength = 200;
    replace(w->Text3, "0,001");
    replace(w->Text1, "0");
    replace(w->Text2, "100");
    seam_->cancelProgressAfter = 2;
    click(w->cmdRechnen);
    QCOMPARE(seam_->progressUpdates, 3);
    const QStringList cancelled = lines(w->txtAuswertung);
    QVERIFY(cancelled.size() > 1 && cancelled.size() < 100001);
    // The rows so far stay, marked as the part of a cancelled scan.
    QCOMPARE(cancelled.last(), QString::fromUtf8("Prüfung abgebrochen."));
    QCOMPARE(seam_->busyNow, 0);
    QVERIFY(seam_->messages.isEmpty());

    // The box holds a bounded number of rows; a longer scan ends there and
    // says so in the box and the status line.
    seam_->cancelProgressAfter = -1;
    replace(w->Text2, "150");
    click(w->cmdRechnen);
    QStringList all = lines(w->txtAuswertung);
    QCOMPARE(all.size(), static_cast<qsizetype>(feedpoint::kScanBoxRows) + 2);
    const QString limit = QString::fromUtf8(
        "Die Liste endet nach 100000 Zeilen. Für den Rest die Grenzen enger oder die Schrittweite größer wählen.");
    QCOMPARE(all.last(), limit);
    QCOMPARE(Forms::status(), limit);

    // Where the step no longer moves the position, the scan says so.
    Module1::state().antennaLength = 70000;
    replace(w->Text1, "32767,99");
    replace(w->Text2, "32800");
    click(w->cmdRechnen);
    all = lines(w->txtAuswertung);
    const QString stalled =
        QString::fromUtf8("Die Schrittweite bewegt die Position ab 32768,000 m nicht mehr: Die Prüfung endet hier.");
    QCOMPARE(all.last(), stalled);
    QVERIFY(all[all.size() - 3].contains("32768,000 m"));
    QCOMPARE(Forms::status(), stalled);

    // A left limit right of the right one: a message, not an empty box.
    replace(w->Text1, "9");
    replace(w->Text2, "8");
    click(w->cmdRechnen);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->messages[0].text,
             QString::fromUtf8("Die linke Grenze liegt rechts von der rechten Grenze.\r\nBitte die Grenzen tauschen."));
    QVERIFY(w->txtAuswertung->toPlainText().isEmpty());
    QCOMPARE(seam_->busyNow, 0);
  }

  // A report that cannot be written: the table stays, the window says why,
  // the note claims no file and an earlier file stays as it was.
  void allBandsReportNotWritten() {
    const QString earlier = results_.path() + "/SpeisePkt.txt";
    {
      QFile f(earlier);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("earlier report");
    }
    frmSpeisePkt* w = open("mnuBerSpeisePktLänge");
    replace(w->Text3, "13,9");
    const QString noteBefore = form_->Info->text();
    {
      test::FaultyFiles faults;
      faults.full = {{"SpeisePkt.txt", 100}};
      click(w->cmdRechnen);
    }
    QCOMPARE(lines(w->txtAuswertung).size(), 9);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->messages[0].text,
             QString::fromUtf8("SpeisePkt.txt wurde nicht geschrieben:\r\nDatenträger voll\r\n") + earlier);
    QCOMPARE(seam_->messages[0].icon, Icon::Exclamation);
    QCOMPARE(form_->Info->text(), noteBefore);
    QFile f(earlier);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("earlier report"));
  }
};

QTEST_MAIN(TestFeedPointWindow)
#include "test_frmSpeisePkt.moc"
