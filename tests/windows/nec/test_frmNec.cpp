// The NEC-2 check window as a user meets it: the menu entry after a run,
// the check in the background with a fake engine (and once with nec2c when
// it is installed), Cancel, the saved pictures and the missing engine, the
// hanging's inputs and drawing, Vk' into the main form, and the tuning with
// its progress, Cancel and take-over. The numbers of the check and the
// tuning themselves are the session's and calc tests' business.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <limits>

#include "app/MDIForm1.h"
#include "io/engine_runner.h"
#include "io/staged_files.h"
#include "picture/SwrRaster.h"
#include "session/design.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/ui/Forms.h"
#include "tests/support/FreshProgram.h"
#include "tests/support/ScriptedSeam.h"
#include "text/format.h"
#include "text/nec_texts.h"
#include "tools/fake_engine/FakeNecEngine.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"
#include "windows/nec/NecAirPage.h"
#include "windows/nec/frmNec.h"

using namespace lorvant;

namespace {

QByteArray readAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

class TestNecWindow : public QObject {
  Q_OBJECT

  test::ScriptedSeam* seam_ = nullptr;
  MDIForm1* main_ = nullptr;
  frmHauptform* form_ = nullptr;
  QTemporaryDir results_;
  std::atomic<bool> hold_{false};

  QString result(const char* name) const { return results_.path() + '/' + QString::fromLatin1(name); }

  // The README's example: 7.1 MHz, one half-wave, 7, 14, 21 and 28 MHz.
  void run() {
    form_->Text1->setText("7,1");
    form_->Text2->setText("1");
    for (int i = 0; i < kBandCount; ++i)
      form_->setBandValue(i, i == 3 || i == 5 || i == 7 || i == 9 ? BandState::Counted : BandState::Off);
    form_->runCalculation();
  }

  frmNec* open() {
    main_->action("mnuBerNec")->trigger();
    return frmNec::loaded();
  }

  // Starts the check and waits for its end, the event loop turning.
  bool check(frmNec* w, int timeoutMs = 20000) {
    QSignalSpy finished(w, &frmNec::checkFinished);
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    return finished.wait(timeoutMs);
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(results_.isValid());
  }

  void init() {
    seam_ = new test::ScriptedSeam;
    test::FreshState(results_.path());
    QFile::remove(result("NecCheck.txt"));
    QFile::remove(result("Lorvant.nec"));
    QFile::remove(result("NecTune.txt"));
    hold_ = false;
    frmNec::setEngineFactory([this] { return std::make_unique<test::FakeNecEngine>(&hold_); });
    main_ = test::ShowMainWindow();
    QVERIFY(main_);
    form_ = main_->mainForm();
  }

  void cleanup() {
    hold_ = false;
    Forms::unloadAll();
    delete main_;
    main_ = nullptr;
    delete seam_;
    frmNec::setEngineFactory({});
    Module1::setDecimalSeparator(0);
  }

  // The entry waits for a run that got an antenna; the window then offers
  // that run's feed points, the first one chosen, and the defaults.
  void entryOpensWithTheRun() {
    QAction* entry = main_->action("mnuBerNec");
    QVERIFY(!entry->isEnabled());
    run();
    QVERIFY(entry->isEnabled());
    frmNec* w = open();
    QVERIFY(w && w->isVisibleTo(main_));
    const LastRun last = form_->values().run;
    QVERIFY(!last.candidates.empty());
    QCOMPARE(w->feedPointList->count(), int(last.candidates.size()));
    QCOMPARE(w->feedPointList->currentIndex(), 0);
    QCOMPARE(w->feedPointList->currentText(),
             QString::fromStdString(report::FormatPicture(last.candidates[0].x, "0.00", ',')));
    QVERIFY(
        w->lengthLabel->text().contains(QString::fromStdString(report::FormatPicture(last.length, "###0.0##", ','))));
    QCOMPARE(w->heightField->text(), QString("10"));
    QCOMPARE(w->groundList->currentText(),
             QString::fromStdString(nec::GroundName(nec::Ground::Average, Language::German)));
    QCOMPARE(w->pointsField->text(), QString("5"));
    QVERIFY(w->checkButton->isEnabled() && !w->cancelButton->isEnabled() && !w->pictureButton->isEnabled());

    // Opened again after the same run it keeps what was typed; a new run
    // brings its own feed points.
    w->feedPointList->setCurrentText("10,5");
    w->close();
    QCOMPARE(open()->feedPointList->currentText(), QString("10,5"));
    form_->Text2->setText("2");
    form_->runCalculation();
    QCOMPARE(open()->feedPointList->currentText(),
             QString::fromStdString(report::FormatPicture(form_->values().run.candidates.at(0).x, "0.00", ',')));

    // A run that ends early leaves no design to check.
    for (int i = 0; i < kBandCount; ++i) form_->setBandValue(i, i == 3 ? BandState::Counted : BandState::Off);
    form_->runCalculation();
    QVERIFY(QString::fromStdString(form_->values().note).contains("mindestens zwei"));
    QVERIFY(!entry->isEnabled());
  }

  // A check shows one row per counted band with the engine's numbers, says
  // which balun to use, writes deck and report, and saves its picture in
  // both formats.
  void checkShowsTableNoteFilesAndPicture() {
    run();
    frmNec* w = open();
    QVERIFY(check(w));
    QVERIFY(seam_->messages.isEmpty());
    QCOMPARE(w->resultTable->rowCount(), 4);
    QCOMPARE(w->resultTable->item(0, 0)->text(), QString("7 MHz"));
    QCOMPARE(w->resultTable->item(3, 0)->text(), QString("28 MHz"));
    const double mhz = w->resultTable->item(1, 1)->text().replace(',', '.').toDouble();
    QCOMPARE(w->resultTable->item(1, 2)->text(),
             QString::fromStdString(report::FormatPicture(test::FakeResistance(mhz), "0.0", ',')));
    QVERIFY2(w->hintLabel->text().contains("Verlust im Leiter: 7 MHz 2,0 %, 14 MHz 2,0 %"),
             qPrintable(w->hintLabel->text()));
    QVERIFY2(w->hintLabel->text().startsWith("Balun ") && w->hintLabel->text().contains(" verwenden"),
             qPrintable(w->hintLabel->text()));

    const QByteArray text = readAll(result("NecCheck.txt"));
    QVERIFY(text.contains("\r\n"));
    QVERIFY(text.contains(w->resultTable->item(1, 2)->text().toLatin1()));
    QVERIFY(readAll(result("Lorvant.nec")).contains("EX 0"));

    // The name without a suffix takes the chosen type's.
    seam_->files.push_back(FileDialogResult{results_.path() + "/swr", 1});
    QTest::mouseClick(w->pictureButton, Qt::LeftButton);
    const QImage png(results_.path() + "/swr.png");
    QCOMPARE(png.size(), QSize(int(w->picture().width), int(w->picture().height)));
    // The batch tool's bytes, from the same renderer.
    QCOMPARE(readAll(results_.path() + "/swr.png").toStdString(), nec::SwrPicturePng(w->picture()));
    QCOMPARE(png.pixelColor(2, 2), QColor(Qt::white));
    const nec::PlotCurve& curve = w->picture().curves.at(0);
    const nec::PlotPoint at = curve.points.at(curve.points.size() / 2);
    QCOMPARE(png.pixelColor(int(at.x), int(at.y)), QColor(curve.colour.r, curve.colour.g, curve.colour.b));
    int inked = 0;  // the heading's pixels
    for (int y = 4; y < 26; ++y)
      for (int x = png.width() / 4; x < png.width() * 3 / 4; ++x) inked += png.pixelColor(x, y) != QColor(Qt::white);
    QVERIFY2(inked > 200, qPrintable(QString::number(inked)));
    seam_->files.push_back(FileDialogResult{results_.path() + "/swr.svg", 2});
    QTest::mouseClick(w->pictureButton, Qt::LeftButton);
    const QByteArray svg = readAll(results_.path() + "/swr.svg");
    QVERIFY(svg.startsWith("<?xml"));
    QCOMPARE(svg.count("<polyline"), 4);
    QCOMPARE(svg.count(">2:1<"), 4);
    QCOMPARE(svg.count(">3:1<"), 4);
    QVERIFY(seam_->messages.isEmpty());

    // A new run makes that check stale: the window shows none of it.
    form_->Text2->setText("2");
    form_->runCalculation();
    QCOMPARE(open(), w);
    QCOMPARE(w->resultTable->rowCount(), 0);
    QVERIFY(!w->pictureButton->isEnabled());
    QVERIFY(!w->hintLabel->text().contains("Balun"));
  }

  // On the air: the patterns and the feed line asked on their page, each
  // band's polar pictures beside the SWR picture in both languages and
  // saved as the batch tool names them, the shield's share and the choke in
  // the lines under them and in the report, the settings in the design.
  void patternsAndTheFeedLineOnTheAir() {
    run();
    frmNec* w = open();
    QVERIFY(!w->airView->isVisible() && !w->airView->saveButton->isEnabled());
    w->airInputs->patternBox->setChecked(true);
    QVERIFY(!w->airInputs->chokeField->isEnabled());  // no shield, no choke
    w->airInputs->feedlineBox->setChecked(true);
    QVERIFY(w->airInputs->chokeField->isEnabled());
    QVERIFY(check(w));
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    QCOMPARE(w->resultTable->rowCount(), 4);
    QVERIFY(w->airView->isVisible());
    QCOMPARE(w->airView->bandList->count(), 4);
    const auto title = [w](const nec::SwrPicture& p) { return QString::fromStdString(p.texts.at(0).text); };
    // The fake engine's far field is strongest at 30 degrees towards 0.
    QCOMPARE(title(w->airView->elevationPicture()),
             QString::fromUtf8("7 MHz: max. 7,0 dBi bei 30° Erhebung, Azimut 0°"));
    const nec::SwrPicture& round = w->airView->azimuthPicture();
    QCOMPARE(w->airView->azimuthView->pixmap().size(), QSize(int(round.width), int(round.height)));
    // Half the feed current on the shield without a choke; 1000 ohm is the
    // least that keeps it under a tenth.
    const QString lines = w->airView->linesLabel->text();
    QVERIFY2(lines.contains("Mantelstrom auf dem Schirm (Anteil am Speisestrom): 7 MHz 50 %"), qPrintable(lines));
    QVERIFY2(lines.contains("Empfohlene Mantelwellensperre: 1000 Ohm"), qPrintable(lines));
    QVERIFY(readAll(result("NecCheck.txt")).contains("Empfohlene Mantelwellensperre: 1000 Ohm"));
    const QByteArray deck = readAll(result("Lorvant.nec"));
    QVERIFY(deck.contains("\nRP 0 46 72 1001 0 0 2 5\n") && deck.contains("CM feed line"));
    w->airView->bandList->setCurrentIndex(2);
    QVERIFY(title(w->airView->elevationPicture()).startsWith("21 MHz: max. 7,0 dBi"));

    // A switch draws the pictures and the lines again in the other language.
    main_->action("mnuSprache_engl")->trigger();
    QCOMPARE(w->inputPages->tabText(w->inputPages->indexOf(w->airInputs)), QString("On the air"));
    QCOMPARE(w->airInputs->patternBox->text(), QString("&Radiation patterns per band (far field)"));
    QVERIFY(title(w->airView->elevationPicture()).startsWith("21 MHz: max "));
    QVERIFY(title(w->airView->azimuthPicture()).contains(QString::fromUtf8(" elevation, azimuth 0°")));
    QVERIFY(w->airView->linesLabel->text().contains("Choke recommended: 1000 ohm"));

    // Every band's two pictures beside the chosen name, in its type.
    seam_->files.push_back(FileDialogResult{results_.path() + "/air", 1});
    QTest::mouseClick(w->airView->saveButton, Qt::LeftButton);
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    for (const char* band : {"7MHz", "14MHz", "21MHz", "28MHz"})
      for (const char* cut : {"elevation", "azimuth"})
        QVERIFY(readAll(results_.path() + "/air-" + band + "-" + cut + ".svg").startsWith("<?xml"));
    QVERIFY(readAll(results_.path() + "/air-21MHz-azimuth.svg").contains(">Azimuth cut at 30° elevation</text>"));
    seam_->files.push_back(FileDialogResult{results_.path() + "/air.png", 1});
    QTest::mouseClick(w->airView->saveButton, Qt::LeftButton);
    QCOMPARE(QImage(results_.path() + "/air-21MHz-azimuth.png").size(), QSize(int(round.width), int(round.height)));

    design::NecInputs d;
    w->giveInputs(d);
    QVERIFY(d.pattern && d.feedline);
    QCOMPARE(d.choke, std::string("0"));
    QCOMPARE(d.feedlineDiameter, std::string("6"));
    // A choke the batch tool would refuse is refused here too, at its field.
    w->inputPages->setCurrentIndex(0);
    w->airInputs->chokeField->setText("2000000");
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(w->inputPages->currentWidget(), w->airInputs);
    d.feedline = false;
    d.choke = "500";
    w->takeInputs(d);
    QVERIFY(!w->airInputs->feedlineBox->isChecked() && !w->airInputs->chokeField->isEnabled());
    QCOMPARE(w->airInputs->chokeField->text(), QString("500"));
  }

  // While the engine works the window turns its event loop and only
  // Cancel is open; Cancel keeps the files of the check before.
  void cancelKeepsTheEarlierFiles() {
    run();
    frmNec* w = open();
    writeAll(result("NecCheck.txt"), "earlier check\r\n");
    writeAll(result("Lorvant.nec"), "earlier deck\r\n");
    hold_ = true;
    QSignalSpy finished(w, &frmNec::checkFinished);
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    QTRY_VERIFY(w->running());
    QVERIFY(!w->checkButton->isEnabled() && w->cancelButton->isEnabled());
    QTest::qWait(100);
    QVERIFY(w->running());
    QTest::mouseClick(w->cancelButton, Qt::LeftButton);
    QVERIFY(finished.wait(5000));
    QVERIFY(!w->running());
    QVERIFY(w->checkButton->isEnabled());
    QCOMPARE(readAll(result("NecCheck.txt")), QByteArray("earlier check\r\n"));
    QCOMPARE(readAll(result("Lorvant.nec")), QByteArray("earlier deck\r\n"));
    QCOMPARE(w->resultTable->rowCount(), 0);
  }

  // Closing the window while the engine works stops the check: no result
  // or message turns up later from a window the user has put away.
  void closingCancelsARunningCheck() {
    run();
    frmNec* w = open();
    writeAll(result("NecCheck.txt"), "earlier check\r\n");
    hold_ = true;
    QSignalSpy finished(w, &frmNec::checkFinished);
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    QTRY_VERIFY(w->running());
    w->close();
    QVERIFY(finished.wait(5000));
    QVERIFY(!w->running());
    QVERIFY(seam_->messages.isEmpty());
    QCOMPARE(readAll(result("NecCheck.txt")), QByteArray("earlier check\r\n"));
  }

  // Without nec2c on PATH the deck is written all the same, the message
  // says how to install the engine, and no old report stays beside it.
  void missingEngineWritesTheDeckAndSaysSo() {
    run();
    frmNec* w = open();
    frmNec::setEngineFactory({});
    writeAll(result("NecCheck.txt"), "earlier check\r\n");
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", empty.path().toUtf8());
    const bool ended = check(w);
    qputenv("PATH", path);
    QVERIFY(ended);
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY2(seam_->lastText().contains("apt install nec2c"), qPrintable(seam_->lastText()));
    QVERIFY2(seam_->lastText().endsWith("NecCheck.txt der vorigen Prüfung wurde mit ihrem Deck entfernt."),
             qPrintable(seam_->lastText()));
    QVERIFY(readAll(result("Lorvant.nec")).contains("EX 0"));
    QVERIFY(!QFile::exists(result("NecCheck.txt")));
  }

  // A failed check, or one whose engine answers what is no impedance,
  // leaves the earlier deck and report byte for byte and says why.
  void failedCheckKeepsTheEarlierPair() {
    run();
    frmNec* w = open();
    writeAll(result("NecCheck.txt"), "earlier check\r\n");
    writeAll(result("Lorvant.nec"), "earlier deck\r\n");
    frmNec::setEngineFactory([] {
      auto e = std::make_unique<test::FakeNecEngine>();
      e->fails = true;
      return e;
    });
    QVERIFY(check(w));
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY2(seam_->lastText().startsWith("nec2c ist mit einem Fehler beendet worden"), qPrintable(seam_->lastText()));
    frmNec::setEngineFactory([] {
      auto e = std::make_unique<test::FakeNecEngine>();
      e->resistance = std::numeric_limits<double>::quiet_NaN();
      return e;
    });
    QVERIFY(check(w));
    QCOMPARE(seam_->messages.size(), 2);
    QCOMPARE(seam_->lastText(), QString("das Rechenprogramm hat bei 7,1 MHz keine brauchbare Impedanz geliefert"));
    QCOMPARE(w->resultTable->rowCount(), 0);
    QCOMPARE(readAll(result("NecCheck.txt")), QByteArray("earlier check\r\n"));
    QCOMPARE(readAll(result("Lorvant.nec")), QByteArray("earlier deck\r\n"));
  }

  // While another calculation writes into the results folder the window
  // asks as the run asks: Abort checks nothing, Retry tries again, Ignore
  // checks without writing.
  void busyFolderIsAskedAbout() {
    run();
    frmNec* w = open();
    writeAll(result("NecCheck.txt"), "earlier check\r\n");
    files::FolderLock other;
    QVERIFY(other.tryLock(Module1::nativePath(Module1::state().resultsFolder)));
    seam_->answers = {Answer::Abort};
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    QVERIFY(!w->running());
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->messages[0].buttons, Buttons::AbortRetryIgnore);
    QVERIFY2(seam_->lastText().startsWith("Der Ordner\r\n") &&
                 seam_->lastText().endsWith("wird gerade von einer anderen Berechnung beschrieben."),
             qPrintable(seam_->lastText()));

    seam_->answers = {Answer::Ignore};
    QVERIFY(check(w));
    QCOMPARE(seam_->messages.size(), 2);
    QCOMPARE(w->resultTable->rowCount(), 4);
    QVERIFY2(w->hintLabel->text().endsWith("Deck und Bericht wurden nicht geschrieben."),
             qPrintable(w->hintLabel->text()));
    QCOMPARE(readAll(result("NecCheck.txt")), QByteArray("earlier check\r\n"));
    QVERIFY(!QFile::exists(result("Lorvant.nec")));

    // Retry asks again while the folder is busy; once it is free the check
    // writes its files without a question.
    seam_->answers = {Answer::Retry, Answer::Abort};
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    QVERIFY(!w->running());
    QCOMPARE(seam_->messages.size(), 4);
    other.unlock();
    QVERIFY(check(w));
    QCOMPARE(seam_->messages.size(), 4);
    QVERIFY(readAll(result("NecCheck.txt")).contains("NEC-2"));
    QVERIFY(QFile::exists(result("Lorvant.nec")));
  }

  // The engine's time-out is one of the window's settings; an engine that
  // solves nothing within it is stopped with a message naming the time.
  void engineTimeOut() {
    run();
    frmNec* w = open();
    QCOMPARE(w->timeoutEdit->text(), QString("300"));
    w->timeoutEdit->setText("0");
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    QVERIFY(!w->running());
    QCOMPARE(seam_->lastText(), QString("Das Zeitlimit liegt zwischen 1 und 86400 s."));

    frmNec::setEngineFactory({});
    QTemporaryDir fake;
    QFile script(fake.path() + "/nec2c");
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec /bin/sleep 60\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", fake.path().toUtf8());
    w->timeoutEdit->clear();
    QTest::keyClicks(w->timeoutEdit, "1");
    const bool ended = check(w, 10000);
    qputenv("PATH", path);
    QVERIFY(ended);
    QCOMPARE(seam_->lastText(), QString("nec2c hat 1 s lang keine neue Frequenz gelöst und wurde angehalten."));
  }

  // A typed distance off the wire is refused before anything runs; one on
  // the wire is checked.
  void typedFeedPointIsChecked() {
    run();
    frmNec* w = open();
    w->feedPointList->setFocus();
    w->feedPointList->lineEdit()->selectAll();
    QTest::keyClicks(w->feedPointList->lineEdit(), "500");
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    QVERIFY(!w->running());
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->lastText(), QString::fromUtf8("Der Speisepunkt liegt nicht auf dem Draht (0 … 20,07 m)."));
    QVERIFY(!QFile::exists(result("Lorvant.nec")));
    w->feedPointList->setCurrentText("10,5");
    QVERIFY(check(w));
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY(readAll(result("NecCheck.txt")).contains("10,5"));
  }

  // English captions and texts come from the language setting.
  void speaksEnglish() {
    Module1::state().language = Language::English;
    Module1::setDecimalSeparator('.');
    run();
    frmNec* w = open();
    QCOMPARE(w->windowTitle(), QString("NEC-2 check"));
    QVERIFY(check(w));
    QVERIFY2(w->hintLabel->text().startsWith("Use a "), qPrintable(w->hintLabel->text()));
    QCOMPARE(w->resultTable->item(1, 0)->text(), QString("14 MHz"));
    // Switching the language relabels the open window.
    main_->action("mnuSprache_dtsch")->trigger();
    QCOMPARE(w->windowTitle(), QString("NEC-2-Prüfung"));
    QCOMPARE(w->checkButton->text(), QString("&Prüfen"));
    const auto& texts = w->picture().texts;
    QVERIFY(
        std::any_of(texts.begin(), texts.end(), [](const nec::PlotText& t) { return t.text.rfind("SWV", 0) == 0; }));
  }

  // The hanging's fields open as the shape needs them, a lossless wire has
  // no conductivity, and the captions and choices speak both languages.
  void hangingInputsFollowTheShape() {
    run();
    frmNec* w = open();
    QCOMPARE(w->shapeLabel->text(), QString("Aufhängung:"));
    QCOMPARE(w->shapeList->currentText() + " " + w->regionList->currentText(), QString("waagerecht IARU-Region 1"));
    const auto open = [w] {
      return QList<bool>{w->endHeightField->isEnabled(), w->apexHeightField->isEnabled(), w->apexAtField->isEnabled(),
                         w->apexAtLabel->isEnabled()};
    };
    QCOMPARE(open(), (QList<bool>{false, false, false, false}));
    QCOMPARE(w->heightLabel->text(), QString("&Höhe über Grund [m]:"));
    w->shapeList->setCurrentIndex(1);
    QCOMPARE(open(), (QList<bool>{true, false, false, false}));
    QCOMPARE(w->heightLabel->text(), QString("Höhe am Anfang [m]:"));
    w->shapeList->setCurrentIndex(2);
    QCOMPARE(open(), (QList<bool>{true, true, true, true}));
    QVERIFY(w->conductivityField->isEnabled());
    w->conductorList->setCurrentIndex(2);
    QVERIFY(!w->conductivityField->isEnabled());

    main_->action("mnuSprache_engl")->trigger();
    QCOMPARE(w->shapeLabel->text(), QString("Shape:"));
    QCOMPARE(w->shapeList->currentText(), QString("inverted V"));
    QCOMPARE(w->heightLabel->text(), QString("Height at the start [m]:"));
    QCOMPARE(w->conductorList->currentText() + " " + w->regionList->currentText(), QString("lossless IARU Region 1"));
    QCOMPARE(w->takeVkButton->text(), QString("Take &Vk' into the main form"));
  }

  // A field the hanging or the conductor cannot take is refused before
  // anything runs, and the focus goes back to it.
  void hangingRefusalsGoBackToTheField() {
    run();
    frmNec* w = open();
    w->shapeList->setCurrentIndex(2);
    w->apexHeightField->setText("12");
    w->conductivityField->setText("58000000");
    const struct {
      QLineEdit* field;
      const char* text;
      const char* said;
    } cases[] = {
        {w->endHeightField, "0", "Die Höhe am Ende muss über 0 m liegen."},
        {w->apexHeightField, "", "Die Höhe der Spitze muss über 0 m liegen."},
        {w->apexAtField, ",", "Die Lage der Spitze muss über 0 m liegen oder leer bleiben (am Speisepunkt)."},
        {w->planAngleField, "0", "Der Winkel muss über 0° liegen."},
        {w->conductivityField, "0", "Die Leitfähigkeit muss über 0 S/m liegen oder leer bleiben (die des Leiters)."},
    };
    for (const auto& c : cases) {
      const QString kept = c.field->text();
      c.field->setText(c.text);
      const qsizetype said = seam_->messages.size();
      QTest::mouseClick(w->checkButton, Qt::LeftButton);
      QVERIFY(!w->running());
      QCOMPARE(seam_->messages.size(), said + 1);
      QCOMPARE(seam_->lastText(), QString(c.said));
      QCOMPARE(w->focusWidget(), c.field);
      // The drawing of a hanging it cannot take says the same.
      if (c.field != w->conductivityField) QCOMPARE(w->hangingReason(), QString(c.said));
      c.field->setText(kept);
    }
    QVERIFY(!QFile::exists(result("Lorvant.nec")));
  }

  // An inverted V of aluminium over region 2's band plan reaches the
  // check as typed, and a design keeps it.
  void invertedVSettingsReachTheCheck() {
    run();
    frmNec* w = open();
    w->shapeList->setCurrentIndex(2);
    w->heightField->setText("4,5");
    w->endHeightField->setText("3");
    w->apexHeightField->setText("6");
    w->planAngleField->setText("120");
    w->conductorList->setCurrentIndex(1);
    w->conductivityField->setText("35000000");
    w->regionList->setCurrentIndex(1);
    QVERIFY2(check(w), qPrintable(seam_->lastText()));
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    QVERIFY(w->checkedSettings());
    const nec::Settings& s = *w->checkedSettings();
    QVERIFY(s.hanging == (nec::Hanging{4.5, 3, nec::Apex{6, std::nullopt}, 120}));
    QCOMPARE(s.feed, form_->values().run.candidates.at(0).x);
    QVERIFY(s.material == nec::Material::Aluminium);
    QCOMPARE(s.conductivity, std::optional<double>(35e6));
    QVERIFY(s.region == nec::Region::Two);
    // The deck's first structure climbs from 4.5 m to the 6 m apex and
    // falls to 3 m, of aluminium.
    const QString deck = QString::fromLatin1(readAll(result("Lorvant.nec")));
    const QString first = deck.left(deck.indexOf("\nNX\n"));
    double top = 0;
    QStringList wires;
    for (const QString& line : first.split('\n'))
      if (line.startsWith("GW ")) wires << line;
    QVERIFY(wires.size() >= 3);
    for (const QString& wire : wires) top = std::max(top, wire.split(' ').at(5).toDouble());
    QCOMPARE(wires.first().split(' ').at(5), QString("4.5"));
    QCOMPARE(wires.last().split(' ').at(8), QString("3"));
    QCOMPARE(top, 6.0);
    QVERIFY(first.contains("\nLD 5 0 0 0 35000000\n"));

    design::NecInputs kept;
    w->giveInputs(kept);
    QCOMPARE(QString::fromStdString(kept.shape + " " + kept.conductor + " " + kept.region + " " + kept.height),
             QString("inverted-v aluminium 2 4.5"));
    w->takeInputs(design::NecInputs{});
    QVERIFY(!w->apexHeightField->isEnabled());
    w->takeInputs(kept);
    QCOMPARE(w->apexHeightField->text() + " " + w->conductivityField->text(), QString("6 35000000"));
    QVERIFY(w->apexHeightField->isEnabled() && w->regionList->currentIndex() == 1);
  }

  // The drawing follows the inputs: nothing before a run, the wire as it
  // hangs after one, its unrolled side view as long as the wire.
  void drawingFollowsTheHanging() {
    frmNec* w = frmNec::instance();
    QCOMPARE(w->hangingReason(), QString("Bitte zuerst die Antenne berechnen."));
    QVERIFY(w->hangingPicture().side.wire.empty());
    run();
    w = open();
    w->feedPointList->setCurrentText("10");
    w->shapeList->setCurrentIndex(2);
    w->heightField->setText("4");
    w->endHeightField->setText("4");
    w->apexHeightField->setText("10");
    const nec::HangingPicture& p = w->hangingPicture();
    if (w->hangingReason().isEmpty() && p.side.wire.empty()) QSKIP("the hanging's corners are not in this build");
    QVERIFY2(w->hangingReason().isEmpty(), qPrintable(w->hangingReason()));
    QCOMPARE(p.side.wire.size(), std::size_t(3));
    QVERIFY(p.side.apex);
    QCOMPARE(p.side.feed.x, p.side.apex->x);
    double pixels = 0;
    for (std::size_t i = 1; i < p.side.wire.size(); ++i)
      pixels += std::hypot(p.side.wire[i].x - p.side.wire[i - 1].x, p.side.wire[i].y - p.side.wire[i - 1].y);
    QVERIFY(std::abs(pixels / p.scale - form_->values().run.length) < 0.01);
    QCOMPARE(p.ground.from.y - p.side.wire[0].y, 4 * p.scale);
    // Painted: the feed point's red dot where the geometry puts it.
    const QImage painted = w->hangingView->grab().toImage();
    const QColor dot = painted.pixelColor(int(p.top.feed.x), int(p.top.feed.y));
    QVERIFY2(dot.red() > 180 && dot.green() < 80, qPrintable(dot.name()));
  }

  // Vk' goes into the main form's Vk field only after a check that found
  // a resonance, in the digits that field keeps.
  void takeVkIntoTheMainForm() {
    run();
    frmNec* w = open();
    QVERIFY(!w->takeVkButton->isEnabled());
    QVERIFY(check(w));
    const QString vk = form_->Text4->text();
    if (!w->shown_->resonance) {
      QVERIFY(!w->takeVkButton->isEnabled());
      w->shown_->resonance = nec::Resonance{3, 7.012, 0.93871};
      w->enableInputs();
    }
    QVERIFY(w->takeVkButton->isEnabled());
    const QString expected = QString::fromStdString(report::FormatPicture(w->shown_->resonance->vk, "0.00##", ','));
    QTest::mouseClick(w->takeVkButton, Qt::LeftButton);
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    QCOMPARE(form_->Text4->text(), expected);
    QVERIFY(expected != vk);
    // A figure the field would not keep stays out, with the main form's word.
    w->shown_->resonance->vk = 1.02;
    QTest::mouseClick(w->takeVkButton, Qt::LeftButton);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(form_->Text4->text(), expected);
    // While a check runs there is nothing to take.
    hold_ = true;
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    QTRY_VERIFY(w->running());
    QVERIFY(!w->takeVkButton->isEnabled());
    QTest::mouseClick(w->cancelButton, Qt::LeftButton);
    QTRY_VERIFY(!w->running());
  }

  // Starts the tuning and waits for its end, the event loop turning.
  bool tune(frmNec* w, int timeoutMs = 60000) {
    QSignalSpy finished(w, &frmNec::checkFinished);
    QTest::mouseClick(w->tuneButton, Qt::LeftButton);
    return finished.wait(timeoutMs);
  }

  // The picture after a tuning: per band the tuned design's solid curve and
  // the start's dashed one, and a legend that names both, the start with
  // its balun.
  static void pictureShowsBothSides(frmNec* w, const QString& tuned, const QString& start) {
    const nec::SwrPicture& p = w->picture();
    const auto dashed = std::count_if(p.curves.begin(), p.curves.end(), [](const auto& c) { return c.dashed; });
    QCOMPARE(int(dashed), int(w->tuned()->tuned.result.bands.size()));
    QCOMPARE(int(p.curves.size()), 2 * int(dashed));
    const auto has = [&p](const QString& text, bool whole) {
      return std::any_of(p.texts.begin(), p.texts.end(), [&](const nec::PlotText& t) {
        const QString shown = QString::fromStdString(t.text);
        return whole ? shown == text : shown.startsWith(text);
      });
    };
    QVERIFY2(has(tuned, true), qPrintable(tuned));
    QVERIFY2(has(start + QString::fromStdString(
                             nec::BalunText(w->tuned()->start.result.balunRatio, Module1::decimalSeparator())),
                 true),
             qPrintable(start));
  }

  // The fake answers every candidate alike, so the search ends at the
  // shortest wire it may try: the tuned design differs from the start. Both
  // columns come from the tuning's own figures; the deck written is the
  // tuned design's, with its report beside it, and the table and picture
  // show the tuned design's bands.
  void tuneShowsBothSidesAndWritesTheFilesTogether() {
    run();
    frmNec* w = open();
    QVERIFY(!w->takeTunedButton->isEnabled());
    QVERIFY(w->tuneButton->isEnabled());
    QVERIFY(tune(w));
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    QVERIFY(w->tuned());
    const nec::TunedDesign& t = *w->tuned();
    QVERIFY(t.evaluations > 1);
    const nec::CheckedCandidate* sides[] = {&t.start, &t.tuned};
    for (int col = 0; col < 2; ++col) {
      const nec::CheckedCandidate& c = *sides[col];
      QCOMPARE(w->tuneTable->item(0, col)->text(),
               QString::fromStdString(
                   report::FormatPicture(nec::TypedDecimal(c.candidate.design.length), "0.000", ',') + " m"));
      QCOMPARE(w->tuneTable->item(1, col)->text(),
               QString::fromStdString(report::FormatPicture(c.candidate.settings.feed, "0.000", ',') + " m"));
      QCOMPARE(w->tuneTable->item(3, col)->text(), QString::number(c.score.usableBands));
      QVERIFY(!w->tuneTable->item(2, col)->text().isEmpty() && !w->tuneTable->item(4, col)->text().isEmpty());
    }
    QVERIFY(w->tuneTable->item(0, 0)->text() != w->tuneTable->item(0, 1)->text());
    QCOMPARE(readAll(result("Lorvant.nec")).toStdString(), t.tuned.plan.deck);
    const QByteArray report = readAll(result("NecTune.txt"));
    QVERIFY(report.contains("\r\n"));
    QVERIFY(report.contains(w->tuneTable->item(0, 1)->text().chopped(2).toLatin1()));
    QVERIFY(!QFile::exists(result("NecCheck.txt")));
    QCOMPARE(w->resultTable->rowCount(), int(t.tuned.result.bands.size()));
    QVERIFY(w->pictureButton->isEnabled() && w->takeTunedButton->isEnabled());
    pictureShowsBothSides(w, "abgestimmt (NEC-2)", "Start, Balun ");
    main_->action("mnuSprache_engl")->trigger();
    pictureShowsBothSides(w, "tuned (NEC-2)", "start, balun ");
    main_->action("mnuSprache_dtsch")->trigger();
    QVERIFY2(w->hintLabel->text().startsWith("Abgestimmt nach " + QString::number(t.evaluations) + " Entwürfen"),
             qPrintable(w->hintLabel->text()));
    QVERIFY(w->hintLabel->text().contains("NecTune.txt"));
  }

  // While it searches the window tells the best so far in the language of
  // the moment, only Cancel is open, and Cancel leaves the earlier files.
  void tuneTellsTheBestSoFarAndCancelKeepsTheEarlierFiles() {
    run();
    frmNec* w = open();
    writeAll(result("NecTune.txt"), "earlier tuning\r\n");
    writeAll(result("Lorvant.nec"), "earlier deck\r\n");
    // The first batch is answered, the ones after wait for Cancel.
    int engines = 0;
    frmNec::setEngineFactory(
        [this, &engines] { return std::make_unique<test::FakeNecEngine>(engines++ > 0 ? &hold_ : nullptr); });
    hold_ = true;
    QSignalSpy finished(w, &frmNec::checkFinished);
    QTest::mouseClick(w->tuneButton, Qt::LeftButton);
    QTRY_VERIFY(w->running());
    QVERIFY(!w->checkButton->isEnabled() && !w->tuneButton->isEnabled() && w->cancelButton->isEnabled());
    QCOMPARE(w->progressBar->maximum(), 0);
    QTRY_VERIFY2(w->hintLabel->text().startsWith("bisher am besten: schlechtestes SWV "),
                 qPrintable(w->hintLabel->text()));
    QVERIFY2(w->hintLabel->text().endsWith(" Entwürfen"), qPrintable(w->hintLabel->text()));
    const QString after = w->hintLabel->text().section(" nach ", 1);
    QVERIFY(after.section(' ', 0, 0).toInt() > 0);
    main_->action("mnuSprache_engl")->trigger();
    QVERIFY2(w->hintLabel->text().startsWith("best so far: worst SWR "), qPrintable(w->hintLabel->text()));
    QVERIFY(w->hintLabel->text().endsWith(" designs"));
    QCOMPARE(w->tuneButton->text(), QString("T&une"));
    QTest::mouseClick(w->cancelButton, Qt::LeftButton);
    QVERIFY(finished.wait(5000));
    QVERIFY(!w->running() && !w->tuned());
    QVERIFY(w->tuneButton->isEnabled() && !w->takeTunedButton->isEnabled());
    QCOMPARE(readAll(result("NecTune.txt")), QByteArray("earlier tuning\r\n"));
    QCOMPARE(readAll(result("Lorvant.nec")), QByteArray("earlier deck\r\n"));
    main_->action("mnuSprache_dtsch")->trigger();
    QCOMPARE(w->tuneButton->text(), QString("Abstimm&en"));
  }

  // An engine that fails ends the tuning with its word; the earlier files
  // stay.
  void failedTuningKeepsTheEarlierFiles() {
    run();
    frmNec* w = open();
    writeAll(result("NecTune.txt"), "earlier tuning\r\n");
    frmNec::setEngineFactory([] {
      auto engine = std::make_unique<test::FakeNecEngine>();
      engine->fails = true;
      return engine;
    });
    QVERIFY(tune(w));
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY2(seam_->lastText().contains("floating point"), qPrintable(seam_->lastText()));
    QCOMPARE(w->hintLabel->text(), seam_->lastText());
    QVERIFY(!w->tuned() && !w->takeTunedButton->isEnabled() && w->tuneButton->isEnabled());
    QCOMPARE(readAll(result("NecTune.txt")), QByteArray("earlier tuning\r\n"));
    QVERIFY(!QFile::exists(result("Lorvant.nec")));
  }

  // The tuned Vk goes into the main form and the tuned feed point into the
  // feed-point field and the feed-point window's distance; a Vk the main
  // form refuses takes neither over.
  void takeTheTunedDesignOver() {
    run();
    frmSpeisePkt* allBands = frmSpeisePkt::openAllBands();
    QVERIFY(allBands);
    frmNec* w = open();
    QVERIFY(tune(w));
    const nec::TunedDesign& t = *w->tuned();
    const double vk =
        nec::TunedShorteningFactor(t.start.candidate.design, nec::TypedDecimal(t.tuned.candidate.design.length));
    const QString expected = QString::fromStdString(report::FormatPicture(vk, "0.00##", ','));
    const QString feed = QString::fromStdString(report::FormatPicture(t.tuned.candidate.settings.feed, "0.000", ','));
    QVERIFY(expected != form_->Text4->text());
    QTest::mouseClick(w->takeTunedButton, Qt::LeftButton);
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    QCOMPARE(form_->Text4->text(), expected);
    QCOMPARE(w->feedPointList->currentText(), feed);
    QCOMPARE(allBands->Text3->text(), feed);

    const QString chosen = w->feedPointList->itemText(0);
    w->feedPointList->setEditText(chosen);
    w->tuned_->tuned.candidate.design.length = w->tuned_->start.candidate.design.length * 1.2f;
    QTest::mouseClick(w->takeTunedButton, Qt::LeftButton);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(form_->Text4->text(), expected);
    QCOMPARE(w->feedPointList->currentText(), chosen);
    QCOMPARE(allBands->Text3->text(), feed);
  }

  // The window's tuning through the real nec2c on a 10 m wire for 14 and
  // 28 MHz over perfect ground with two sweep points (quick for the
  // engine): both files written, the deck the tuned wire's, and the tuned
  // Vk taken into the main form.
  void realEngineTunes() {
    if (nec::FindEngine().empty()) QSKIP("nec2c is not installed (apt install nec2c)");
    frmNec::setEngineFactory({});
    form_->Text1->setText("14,2");
    form_->Text2->setText("1");
    for (int i = 0; i < kBandCount; ++i) form_->setBandValue(i, i == 7 || i == 9 ? BandState::Counted : BandState::Off);
    form_->runCalculation();
    frmNec* w = open();
    QVERIFY(w);
    w->groundList->setCurrentIndex(1);
    w->pointsField->setText("2");
    QVERIFY(tune(w, 300000));
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    QVERIFY(w->tuned());
    const nec::TunedDesign& t = *w->tuned();
    QCOMPARE(t.tuned.candidate.settings.ground, nec::Ground::Perfect);
    QVERIFY(!nec::Better(t.start.score, t.start.point, t.tuned.score, t.tuned.point));
    const std::string deck = readAll(result("Lorvant.nec")).toStdString();
    QCOMPARE(deck, t.tuned.plan.deck);
    QVERIFY(deck.find("GN 1") != std::string::npos);
    QVERIFY(readAll(result("NecTune.txt")).contains("nec2c"));
    const QString vk = QString::fromStdString(report::FormatPicture(
        nec::TunedShorteningFactor(t.start.candidate.design, nec::TypedDecimal(t.tuned.candidate.design.length)),
        "0.00##", ','));
    QTest::mouseClick(w->takeTunedButton, Qt::LeftButton);
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    QCOMPARE(form_->Text4->text(), vk);
  }

  // The real engine on the README's example, when it is installed.
  void realEngine() {
    if (nec::FindEngine().empty()) QSKIP("nec2c is not installed (apt install nec2c)");
    frmNec::setEngineFactory({});
    run();
    frmNec* w = open();
    QVERIFY(check(w, 120000));
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
    QCOMPARE(w->resultTable->rowCount(), 4);
    for (int row = 0; row < 4; ++row) QVERIFY(w->resultTable->item(row, 2)->text().replace(',', '.').toDouble() > 0);
    QVERIFY(QFile::exists(result("NecCheck.txt")));
    // The Vk' of the note and the button start from the run's own Vk.
    const QString note = w->hintLabel->text();
    const qsizetype at = note.indexOf("Vk' = ");
    QVERIFY2(at >= 0, qPrintable(note));
    const double vk = note.mid(at + 6, 5).replace(',', '.').toDouble();
    QVERIFY2(vk > 0.9 && vk < 1.05, qPrintable(note));
  }
};

QTEST_MAIN(TestNecWindow)
#include "test_frmNec.moc"
