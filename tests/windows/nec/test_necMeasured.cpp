// The NEC-2 window's page for the field: an analyser's sweep opened over a
// check (dashed in the picture, its resonances in the note in both
// languages, the fit with the next check, a broken file refused by name),
// the hand-over to the pruning calculator, the model's sweep as Touchstone
// and the build sheet saved and printed. The comparison's and the sheet's
// numbers are the session's and the batch tool's tests' business.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <complex>
#include <sstream>

#include "app/MDIForm1.h"
#include "shell/Module1.h"
#include "shell/Printout.h"
#include "shell/ui/Forms.h"
#include "tests/support/FreshProgram.h"
#include "tests/support/ScriptedSeam.h"
#include "tools/fake_engine/FakeNecEngine.h"
#include "windows/main/frmHauptform.h"
#include "windows/nec/NecMeasuredPage.h"
#include "windows/nec/frmNec.h"
#include "windows/vk/frmVk.h"

using namespace lorvant;

class TestNecMeasured : public QObject {
  Q_OBJECT

  test::ScriptedSeam* seam_ = nullptr;
  MDIForm1* main_ = nullptr;
  QTemporaryDir results_;

  QString file(const QString& name) const { return results_.path() + '/' + name; }
  QByteArray bytes(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void write(const QString& name, const QByteArray& content) {
    QFile f(file(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
  }

  // The README's example (7.1 MHz, one half-wave, 7 to 28 MHz) checked
  // with the fake engine.
  frmNec* checked() {
    frmHauptform* form = main_->mainForm();
    form->Text1->setText("7,1");
    form->Text2->setText("1");
    for (int i = 0; i < kBandCount; ++i)
      form->setBandValue(i, i == 3 || i == 5 || i == 7 || i == 9 ? BandState::Counted : BandState::Off);
    form->runCalculation();
    main_->action("mnuBerNec")->trigger();
    frmNec* w = frmNec::loaded();
    return w && check(w) ? w : nullptr;
  }
  bool check(frmNec* w) {
    QSignalSpy finished(w, &frmNec::checkFinished);
    QTest::mouseClick(w->checkButton, Qt::LeftButton);
    return finished.wait(20000);
  }
  // Opens a sweep through the page's file dialog.
  void openSweep(frmNec* w, const QString& name) {
    seam_->files.push_back(FileDialogResult{file(name), 1});
    QTest::mouseClick(w->measuredPage->openButton, Qt::LeftButton);
  }
  static bool dashed(const frmNec* w) {
    const auto& curves = w->picture().curves;
    return std::any_of(curves.begin(), curves.end(), [](const nec::PlotCurve& c) { return c.dashed; });
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(results_.isValid());
  }
  void init() {
    seam_ = new test::ScriptedSeam;
    test::FreshState(results_.path());
    frmNec::setEngineFactory([] { return std::make_unique<test::FakeNecEngine>(); });
    main_ = test::ShowMainWindow();
    QVERIFY(main_);
    // A 20 m sweep resonant at 14.1 MHz, and one line cut short.
    write("antenna.s1p", "! analyser\n# MHZ Z RI R 50\n14.000 50 -5\n14.200 52 5\n14.350 55 9\n");
    write("broken.s1p", "# MHZ Z RI R 50\n14.000 50\n");
  }
  void cleanup() {
    Forms::unloadAll();
    delete main_;
    main_ = nullptr;
    delete seam_;
    frmNec::setEngineFactory({});
    Printout::resetDefaultPrinter();
    Module1::state().language = Language::German;
  }

  // Opened over a check the sweep is drawn dashed and its resonances stand
  // beside the model's; the next check fits the length and writes the
  // comparison into its report; both survive a language switch; Drop takes
  // it away again. A broken file is refused by its name and changes nothing.
  void sweepOverTheCheckInBothLanguages() {
    frmNec* w = checked();
    QVERIFY(w);
    QVERIFY(!dashed(w));
    QCOMPARE(w->measuredPage->fileLabel->text(), QString("keine Messung geladen"));
    QVERIFY(!w->measuredPage->dropButton->isEnabled());

    openSweep(w, "broken.s1p");
    QCOMPARE(seam_->messages.size(), 1);
    const QString refusal = seam_->messages.last().text;
    QVERIFY2(refusal.startsWith("Die Messung kann nicht gelesen werden: ") && refusal.contains("broken.s1p"),
             qPrintable(refusal));
    QVERIFY(!dashed(w) && !w->measuredPage->measured());

    openSweep(w, "antenna.s1p");
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY(dashed(w));
    QCOMPARE(w->measuredPage->fileLabel->text(), QString("antenna.s1p: 3 Punkte; Bänder: 14 MHz"));
    QString note = w->hintLabel->text();
    QVERIFY2(note.contains("Resonanzen gemessen (Modell) [MHz]: 14 MHz 14,100 (") &&
                 note.contains("Die passende Drahtlänge sucht die nächste Prüfung."),
             qPrintable(note));
    // The note before stays in front.
    QVERIFY2(note.startsWith("Balun "), qPrintable(note));

    QVERIFY(check(w));
    note = w->hintLabel->text();
    QVERIFY(dashed(w));
    QVERIFY2(!note.contains("nächste Prüfung") && note.contains("14 MHz 14,100 ("), qPrintable(note));
    const QByteArray report = bytes("NecCheck.txt");
    QVERIFY2(report.contains("Gemessen und Modell: ") && report.contains("antenna.s1p"), report.constData());

    main_->action("mnuSprache_engl")->trigger();
    note = w->hintLabel->text();
    QVERIFY2(note.contains("Resonances measured (model) [MHz]: 14 MHz 14,100 ("), qPrintable(note));
    QCOMPARE(w->measuredPage->openButton->text(), QString("&Measured sweep ..."));
    QCOMPARE(w->inputPages->tabText(w->inputPages->indexOf(w->measuredPage)), QString("Measurement, sheet"));
    QVERIFY(dashed(w));

    QTest::mouseClick(w->measuredPage->dropButton, Qt::LeftButton);
    QVERIFY(!dashed(w));
    QVERIFY(!w->hintLabel->text().contains("Resonances measured"));
    QCOMPARE(w->measuredPage->fileLabel->text(), QString("no measurement loaded"));
  }

  // The chosen band's measured resonance and the wire's length go into the
  // pruning calculator, opened in its pruning layout.
  void handOverToThePruningCalculator() {
    frmNec* w = checked();
    QVERIFY(w);
    QVERIFY(!w->measuredPage->pruneButton->isEnabled());
    openSweep(w, "antenna.s1p");
    QVERIFY(w->measuredPage->pruneButton->isEnabled());
    QCOMPARE(w->measuredPage->bandList->currentText(), QString("14 MHz"));
    QTest::mouseClick(w->measuredPage->pruneButton, Qt::LeftButton);
    frmVk* vk = frmVk::loaded();
    QVERIFY(vk && vk->isVisibleTo(main_));
    QVERIFY(!vk->calculatorLayout());
    QCOMPARE(vk->Text2->text(), QString("14,100"));
    const auto number = [](QString text) { return text.replace(',', '.').toDouble(); };
    const QString length = w->lengthLabel->text().section(' ', -2, -2);
    QVERIFY2(number(length) > 10 && std::abs(number(vk->Text1->text()) - number(length)) < 1e-3,
             qPrintable(vk->Text1->text() + " / " + length));
  }

  // The model's sweep as Touchstone: S11 on 50 ohms of the engine's
  // impedance at each solved frequency.
  void savesTheModelSweepAsTouchstone() {
    frmNec* w = checked();
    QVERIFY(w);
    seam_->files.push_back(FileDialogResult{file("model"), 1});
    QTest::mouseClick(w->measuredPage->touchstoneButton, Qt::LeftButton);
    std::istringstream lines(bytes("model.s1p").toStdString());
    std::string line;
    int points = 0;
    bool option = false;
    while (std::getline(lines, line)) {
      if (line.empty() || line[0] == '!') continue;
      if (line[0] == '#') {
        option = line == "# MHZ S RI R 50";
        continue;
      }
      std::istringstream f(line);
      double mhz = 0, re = 0, im = 0;
      QVERIFY(f >> mhz >> re >> im);
      const std::complex<double> z(test::FakeResistance(mhz), test::FakeReactance(mhz));
      const std::complex<double> s = (z - 50.0) / (z + 50.0);
      QVERIFY2(std::abs(s - std::complex<double>(re, im)) < 1e-5, line.c_str());
      ++points;
    }
    QVERIFY(option);
    QVERIFY2(points >= 4 * 5, qPrintable(QString::number(points)));
  }

  // The sheet with the allowance typed: saved as one page naming both legs
  // and the balun; printed through the print dialog; an allowance out of
  // range is refused and nothing is written.
  void savesAndPrintsTheBuildSheet() {
    frmNec* w = checked();
    QVERIFY(w);
    NecMeasuredPage* page = w->measuredPage;
    QCOMPARE(page->allowanceField->text(), QString("15"));
    page->allowanceField->setText("150");
    QTest::mouseClick(page->sheetButton, Qt::LeftButton);
    QCOMPARE(seam_->lastText(), QString("Die Zugabe je Ende liegt zwischen 0 und 100 cm."));
    QVERIFY(seam_->fileRequests.isEmpty());

    page->allowanceField->setText("20");
    seam_->files.push_back(FileDialogResult{file("sheet"), 1});
    QTest::mouseClick(page->sheetButton, Qt::LeftButton);
    const QByteArray pdf = bytes("sheet.pdf");
    QVERIFY(pdf.startsWith("%PDF-1.4"));
    QCOMPARE(pdf.count("/Type /Page "), 1);
    for (const char* text : {"Schenkel zum Anfang", "Schenkel zum Ende", "Zugabe f\xfcr die Knoten: 20 cm", "Balun: "})
      QVERIFY2(pdf.contains(text), text);

    Printout::defaultPrinter() = [] { return QStringLiteral("Testdrucker"); };
    seam_->printer = [this](QPrinter& p, const PrintRequest&) {
      p.setOutputFormat(QPrinter::PdfFormat);
      p.setOutputFileName(file("printed.pdf"));
      return std::optional<PrintChoice>(PrintChoice{});
    };
    QTest::mouseClick(page->printButton, Qt::LeftButton);
    QCOMPARE(seam_->printRequests.size(), 1);
    const QByteArray printed = bytes("printed.pdf");
    QVERIFY2(printed.startsWith("%PDF") && printed.contains("/Count 1"), printed.left(200).constData());

    // Without a printer the sheet's own PDF lands in the results folder.
    Printout::defaultPrinter() = [] { return QString(); };
    QTest::mouseClick(page->printButton, Qt::LeftButton);
    QCOMPARE(bytes("Lorvant-Sheet.pdf"), pdf);
    QVERIFY(seam_->lastText().contains("Lorvant-Sheet.pdf"));
  }
};

QTEST_MAIN(TestNecMeasured)
#include "test_necMeasured.moc"
