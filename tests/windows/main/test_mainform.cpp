// The main input form: loading, key filters, the field checks and their
// reset values, band boxes and presets, the spinner, the insulation group,
// status texts, and whole runs as a user starts them.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "app/MDIForm1.h"
#include "picture/curve_picture.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/ui/Forms.h"
#include "tests/session/run_support.h"
#include "tests/support/Keys.h"
#include "tests/support/Paste.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/main/frmHauptform.h"

using namespace lorvant;

namespace {

using test::click;

void leave(QWidget* w) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(w, &out);
}

// Typing goes key by key (press and release), as the user does it.
void type(QWidget* w, const QString& text) { QTest::keyClicks(w, text); }

void replace(QLineEdit* e, const QString& text) {
  e->selectAll();
  if (text.isEmpty())
    QTest::keyClick(e, Qt::Key_Backspace);
  else
    type(e, text);
}

void choose(QComboBox* c, int index) {
  c->setCurrentIndex(index);
  emit c->activated(index);
}

QString sep(const QString& s) { return QString(s).replace(',', QChar::fromLatin1(Module1::decimalSeparator())); }

// Where Bild1 shows its picture: the box of the red pixels of a red
// picture of the full pixel size.
QRect pictureShown(frmHauptform* f) {
  QImage red(frmHauptform::kPictureWidth, frmHauptform::kPictureHeight, QImage::Format_RGB32);
  red.fill(Qt::red);
  f->Bild1->setPixmap(QPixmap::fromImage(red));
  const QImage image = f->Bild1->grab().toImage().convertToFormat(QImage::Format_RGB32);
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 60) box |= QRect(x, y, 1, 1);
  return box;
}

// Contrast ratio of two colours as readability guidelines define it.
double contrast(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The form in a main window of the test's own; every window and the form's
// pointer go with it.
struct OwnMainWindow {
  explicit OwnMainWindow(frmHauptform*& form) : form(form) { Forms::setMain(&main); }
  ~OwnMainWindow() {
    Forms::unloadAll();
    form = nullptr;
    Forms::setMain(nullptr);
  }
  MDIForm1 main;
  frmHauptform*& form;
};

}  // namespace

class TestMainForm : public QObject {
  Q_OBJECT

 private:
  test::ScriptedSeam* seam_ = nullptr;
  frmHauptform* f = nullptr;
  QTemporaryDir results_;

  void fresh(char separator, Language language) {
    delete f;
    Module1::resetState();
    Module1::setDecimalSeparator(separator);
    Module1::state().language = language;
    Module1::state().resultsFolder = results_.path() + '/';
    f = frmHauptform::instance();
    f->show();
    QVERIFY(QTest::qWaitForWindowExposed(f));
    seam_->beeps = 0;
    seam_->messages.clear();
  }
  void separators() {
    QTest::addColumn<char>("separator");
    QTest::newRow("comma") << ',';
    QTest::newRow("point") << '.';
  }

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(results_.isValid());
  }
  void init() {
    seam_ = new test::ScriptedSeam;
    fresh(',', Language::German);
  }
  void cleanup() {
    delete f;
    f = nullptr;
    delete seam_;
    Module1::setDecimalSeparator(0);
  }

  void loadWritesDefaultsInTheLocale_data() { separators(); }
  void loadWritesDefaultsInTheLocale() {
    QFETCH(char, separator);
    const bool de = separator == ',';
    fresh(separator, de ? Language::German : Language::English);
    QCOMPARE(f->Text1->text(), sep("14,2"));
    QCOMPARE(f->Text2->text(), QString("4"));
    QCOMPARE(f->Text4->text(), sep("0,95"));
    QCOMPARE(f->Text6->text(), sep("2,1"));
    QCOMPARE(f->Combo2->currentText(), sep("1,4"));
    QCOMPARE(f->Text8->text(), sep("0,4"));
    QCOMPARE(f->VkSteller->value(), 50);
    QCOMPARE(f->Combo1->currentText(), sep("1,00059") + (de ? " Luft" : " Air"));
    QCOMPARE(f->Info->text(), QString(de ? "Hinweis:" : "Note:"));
    QCOMPARE(f->Combo1->count(), 27);
    QCOMPARE(f->Combo1->itemText(0), QString(8, ' '));
    QCOMPARE(f->Combo1->itemText(1), sep("1,0") + (de ? "   Vakuum" : "   Vacuum"));
    QCOMPARE(f->Combo1->itemText(2), sep("1,00059") + (de ? " Luft" : " Air"));
    QCOMPARE(f->Combo1->itemText(16), sep("4,0") + "   PVC (" + sep("3,5") + "..." + sep("4,5") + ")");
    QCOMPARE(f->Combo2->count(), 10);
    QCOMPARE(f->Combo2->itemText(0), sep("0,977 (0,75") + QString::fromUtf8(" mm²)"));
    QCOMPARE(f->Combo2->itemText(9), sep("3,568 (10") + QString::fromUtf8(" mm²)"));
    QVERIFY(!f->Text5->isEnabled() && !f->Text6->isEnabled() && !f->Combo2->isEnabled());
    QVERIFY(!f->Command2->isEnabled());
    QCOMPARE(seam_->beeps, 0);
  }

  void keyFilterAndLengths() {
    f->Text1->clear();
    type(f->Text1, "1a4,2");
    QTest::keyClick(f->Text1, Qt::Key_Minus);
    QTest::keyClick(f->Text1, Qt::Key_Space);
    QCOMPARE(seam_->beeps, 3);
    QTest::keyClick(f->Text1, Qt::Key_Backspace);
    QTest::keyClick(f->Text1, Qt::Key_Left);
    QCOMPARE(f->Text1->text(), QString("14,"));
    QCOMPARE(seam_->beeps, 3);

    // The editing keys edit; a paste passes only what typing would.
    QTest::keyClick(f->Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(f->Text1, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f->Text1->text(), QString());
    QTest::keyClick(f->Text1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f->Text1->text(), QString("14,"));
    QGuiApplication::clipboard()->setText("7 MHz");
    QTest::keyClick(f->Text1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f->Text1->text(), QString("14,"));
    QCOMPARE(seam_->beeps, 4);

    f->Text1->clear();
    type(f->Text1, "123456789");
    QCOMPARE(f->Text1->text(), QString("1234567"));
    f->Text2->clear();
    type(f->Text2, "3,5.123");
    QCOMPARE(f->Text2->text(), QString("3512"));
    QCOMPARE(seam_->beeps, 6);
    QCOMPARE(f->Text3->maxLength(), 5);
    QCOMPARE(f->Text6->maxLength(), 5);

    // Numbers only in the material field, anything in the conductor field.
    f->Combo1->setEditText("");
    type(f->Combo1, "2x,5");
    QCOMPARE(f->Combo1->currentText(), QString("2,5"));
    f->Combo2->setEnabled(true);
    f->Combo2->setEditText("");
    type(f->Combo2, "2 mm");
    QCOMPARE(f->Combo2->currentText(), QString("2 mm"));
    QCOMPARE(seam_->beeps, 7);
  }

  // Text that is not typed passes the key filter too: the context menu's
  // paste, the middle button's selection (every way in: Fields).
  void textFromElsewherePassesTheKeyFilter() {
    f->show();
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    QVERIFY(test::pasteFromContextMenu(f->Text1, "7 MHz"));
    QCOMPARE(f->Text1->text(), sep("14,2"));
    QCOMPARE(seam_->beeps, 1);
    if (test::pasteSelection(f->Text4, "0.9 Vk")) {
      QCOMPARE(f->Text4->text(), sep("0,95"));
      QCOMPARE(seam_->beeps, 2);
    } else {
      qInfo("no selection clipboard: the middle button pastes nothing on this platform");
    }
    // What typing would take goes in, also into the material list.
    f->Combo1->setEditText("");
    QVERIFY(test::pasteFromContextMenu(f->Combo1, "3,5"));
    QCOMPARE(f->Combo1->currentText(), QString("3,5"));
    f->Text2->clear();
    QVERIFY(test::pasteFromContextMenu(f->Text2, "6,5"));
    QVERIFY(f->Text2->text().isEmpty());
  }

  void bandBoxesClickKeysAndAll() {
    QCheckBox* b14 = f->Check1[5];
    QTest::keyClick(b14, Qt::Key_0);
    QCOMPARE(f->bandValue(5), BandState::Off);  // "0" greys only a ticked box
    click(b14);
    QCOMPARE(f->bandValue(5), BandState::Counted);
    QTest::keyClick(b14, Qt::Key_0, Qt::KeypadModifier);
    QCOMPARE(f->bandValue(5), BandState::Counted);
    QTest::keyClick(b14, Qt::Key_0);
    QCOMPARE(f->Check1[5]->checkState(), Qt::PartiallyChecked);
    QTest::keyClick(b14, Qt::Key_1);
    QCOMPARE(f->bandValue(5), BandState::Counted);
    QTest::keyClick(b14, Qt::Key_0);
    click(b14);  // a click on a grey box clears it, clicks never grey
    QCOMPARE(f->bandValue(5), BandState::Off);

    click(f->Check10);
    QVERIFY(f->Check10->isChecked());
    for (int i = 0; i < kBandCount; ++i) QCOMPARE(f->bandValue(i), BandState::Counted);
    click(f->Check1[0]);
    QCOMPARE(f->bandValue(0), BandState::Off);
    QVERIFY(!f->Check10->isChecked());
  }

  void windomPresets_data() {
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QList<int>>("expected");  // all eleven boxes
    QTest::addColumn<QString>("halfWaves");
    QTest::newRow("3.5 7 10 14") << QList<int>{1, 3, 4, 5} << QList<int>{0, 1, 0, 1, 2, 1, 0, 0, 0, 0, 0} << "4";
    QTest::newRow("14 21") << QList<int>{5, 7} << QList<int>{0, 0, 0, 1, 0, 1, 0, 2, 0, 0, 0} << "2";
    QTest::newRow("1.8 5.3 7 28") << QList<int>{0, 2, 3, 9} << QList<int>{1, 0, 2, 1, 0, 0, 0, 0, 0, 1, 0} << "8";
    QTest::newRow("7 14") << QList<int>{3, 5} << QList<int>{0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0} << "2";
  }
  void windomPresets() {
    QFETCH(QList<int>, ticked);
    QFETCH(QList<int>, expected);
    QFETCH(QString, halfWaves);
    replace(f->Text1, "7,1");
    f->Text2->setText("9");
    for (int i : ticked) click(f->Check1[i]);
    click(f->Check2);
    QVERIFY(f->Option4->isChecked());
    QCOMPARE(f->Text1->text(), QString("14,2"));
    QCOMPARE(f->Text2->text(), halfWaves);
    for (int i = 0; i < kBandCount; ++i) QCOMPARE(BandBoxValue(f->bandValue(i)), expected[i]);
    click(f->Option3);
    QVERIFY(!f->Check2->isChecked());
  }

  void lengthModeAndTolerance() {
    click(f->Option2[1]);
    QVERIFY(f->Text5->isEnabled() && !f->Text3->isEnabled());
    for (const char* bad : {"0", "100"}) {
      replace(f->Text5, bad);
      leave(f->Text5);
      QCOMPARE(f->Text5->text(), QString("5"));
      QCOMPARE(f->Option2[1]->toolTip(), QString("bei max 5% Abweichung"));
    }
    QCOMPARE(seam_->beeps, 2);
    replace(f->Text5, "7,5");
    Module1::state().language = Language::English;
    leave(f->Text5);
    QCOMPARE(f->Text5->text(), QString("7,5"));
    QCOMPARE(f->Option2[1]->toolTip(), QString("with maximum 7,5% deviation"));
    click(f->Option2[2]);
    QVERIFY(!f->Text5->isEnabled() && f->Text3->isEnabled());
  }

  void segmentButtonsWriteTheSegmentFrequency_data() { separators(); }
  void segmentButtonsWriteTheSegmentFrequency() {
    QFETCH(char, separator);
    fresh(separator, Language::German);
    click(f->Option1[0]);
    QCOMPARE(f->Text1->text(), sep("14,0"));
    click(f->Option1[1]);
    QCOMPARE(f->Text1->text(), sep("14,25"));
    replace(f->Text1, "144");  // outside every band: unchanged
    click(f->Option1[0]);
    QCOMPARE(f->Text1->text(), sep("144,0"));
  }

  void halfWavesWireLengthAndDerivation() {
    // Half-waves and wire length exclude each other.
    type(f->Text3, "38");
    QCOMPARE(f->Text2->text(), QString());
    type(f->Text2, "0");
    QCOMPARE(f->Text3->text(), QString("38"));
    replace(f->Text2, "2");
    QCOMPARE(f->Text3->text(), QString());

    // At least one half-wave on the lowest counted band: 14.2 / 3.5 needs 4,
    // with a beep when the count is left.
    click(f->Check1[1]);
    click(f->Check1[5]);
    leave(f->Text2);
    QCOMPARE(f->Text2->text(), QString("4"));
    QCOMPARE(seam_->beeps, 1);
    f->Text2->setText("1");
    replace(f->Text1, "14,25");
    QCOMPARE(f->Text2->text(), QString("4"));
    QCOMPARE(seam_->beeps, 1);

    // From a wire length: 41 m is 4.09 half-waves at 14.2 MHz and Vk 0.95,
    // but four need 41.73 m, so three fit; 3.5 MHz then raises it to four.
    replace(f->Text1, "14,2");
    click(f->Check1[1]);
    f->Text2->clear();
    type(f->Text3, "41");
    leave(f->Text2);
    QCOMPARE(f->Text2->text(), QString("3"));
    f->Text2->clear();
    click(f->Check1[1]);
    leave(f->Text2);
    QCOMPARE(f->Text2->text(), QString("4"));
    click(f->Check1[1]);
    f->Text2->clear();
    f->Text3->setText("42");
    f->Text1->setText("14,20");  // 42 m hold four
    QCOMPARE(f->Text2->text(), QString("4"));

    // Failing divisions (zero frequency, zero Vk) are skipped.
    f->Text2->clear();
    replace(f->Text1, "0");
    QCOMPARE(f->Text2->text(), QString("0"));
    f->Text2->clear();
    f->Text4->setText("0");
    replace(f->Text1, "7");
    QCOMPARE(f->Text2->text(), QString("0"));
  }

  void shorteningFactorColourAndChecks() {
    replace(f->Text4, "0,75");
    QCOMPARE(f->Text4->palette().color(QPalette::Text), QColor(255, 0, 0));
    replace(f->Text4, "0,8");
    QCOMPARE(f->Text4->palette().color(QPalette::Text), QColor(0, 0, 0));

    for (const char* bad : {"1,2", "0"}) {
      replace(f->Text4, bad);
      leave(f->Text4);
      QCOMPARE(f->Text4->text(), QString("0,946"));
    }
    QCOMPARE(f->Info->text(),
             QString::fromUtf8(" Bitte einen Verkürzungsfaktor von 0 - 1,0 (typisch 0,946) eintragen!"));
    QCOMPARE(seam_->beeps, 2);

    choose(f->Combo1, 5);
    replace(f->Text4, "1");
    leave(f->Text4);
    QCOMPARE(f->Combo1->currentText(), QString("1,0"));
    QVERIFY(!f->Combo2->isEnabled() && !f->Text6->isEnabled());
    QCOMPARE(seam_->beeps, 3);

    replace(f->Text4, "0,9");
    leave(f->Text4);
    QCOMPARE(f->VkSteller->value(), 100);
    QCOMPARE(f->Text4->text(), QString("0,90"));
    QCOMPARE(seam_->beeps, 3);
  }

  void spinnerFollowsTheEditedValue_data() { separators(); }
  void spinnerFollowsTheEditedValue() {
    QFETCH(char, separator);
    fresh(separator, Language::German);
    f->VkSteller->triggerAction(QAbstractSlider::SliderSingleStepSub);  // up raises Vk
    QCOMPARE(f->Text4->text(), sep("0,951"));

    // Edited without leaving the field: the next step starts from the
    // edited value, not from the spinner's old position.
    f->Text4->setText(sep("0,9"));
    f->VkSteller->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f->VkSteller->value(), 101);
    QCOMPARE(f->Text4->text(), sep("0,899"));
    f->Text4->setText("0,97");
    f->VkSteller->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(f->Text4->text(), sep("0,971"));
    // Again right after such a correction, and with a step of five.
    f->Text4->setText("0,9");
    f->VkSteller->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f->Text4->text(), sep("0,899"));
    f->Text4->setText("0,95");
    f->VkSteller->setValue(f->VkSteller->value() + 5);
    QCOMPARE(f->Text4->text(), sep("0,945"));

    // Focus on the spinner and activation take the value from the field.
    f->Text4->setText("0,934");
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(f->VkSteller, &in);
    QCOMPARE(f->VkSteller->value(), 66);
    f->Text4->setText("0,8");
    f->activate();
    QCOMPARE(f->VkSteller->value(), 200);
  }

  void insulationGroup() {
    auto enabled = [&] { return f->Text6->isEnabled() && f->Combo2->isEnabled(); };
    choose(f->Combo1, 3);
    QVERIFY(enabled());
    choose(f->Combo1, 2);
    QVERIFY(!enabled());
    f->Combo1->setEditText("");
    type(f->Combo1, "3,5");
    QVERIFY(enabled() && f->Label9->isEnabled());
    f->Combo1->setEditText("");
    type(f->Combo1, "1");
    QVERIFY(!enabled() && !f->Label9->isEnabled());

    // The outer diameter stays above the conductor.
    QSignalSpy conductor(f, &frmHauptform::conductorChanged);
    f->Combo2->setEditText("2,5");
    QCOMPARE(f->Text6->text(), QString("3,5"));
    QCOMPARE(conductor.last().at(0).toString(), QString("2,5"));
    f->Text6->setText("2");
    choose(f->Combo2, 9);
    QCOMPARE(f->Text6->text(), QString("4,6"));
    f->Text6->setText("1");
    leave(f->Combo2);
    QCOMPARE(f->Text6->text(), QString("4,6"));
  }

  void minimumCurrentSum() {
    for (const char* bad : {"0", "1,5", ""}) {
      replace(f->Text8, bad);
      leave(f->Text8);
      QCOMPARE(f->Text8->text(), QString("0,4"));
    }
    QCOMPARE(f->Info->text(), QString("Hinweis: Bitte min. Stromsumme 0,01 - 1,0 (typisch 0,1 - 0,8) eintragen !"));
    QCOMPARE(seam_->beeps, 3);
    replace(f->Text8, "1");
    leave(f->Text8);
    QCOMPARE(f->Text8->text(), QString("1"));
  }

  // Inside the main window the form becomes active when the user comes back
  // to it from another child window, not when the program comes back from
  // another application; closing hides it with its inputs.
  void activationStatusAndHiding() {
    delete f;
    MDIForm1 main;
    Forms::setMain(&main);
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    f = frmHauptform::instance();
    Forms::show(f);
    f->Text3->setText("40");

    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    QCOMPARE(f->Text3->text(), QString("40"));

    auto* child = new QWidget;
    Forms::adopt(child);
    Forms::show(child);
    Forms::setStatus("x");
    Forms::show(f);
    QCOMPARE(f->Text3->text(), QString());
    QCOMPARE(Forms::status(), QString("Status: Berechnung einer Stromsummenantenne"));

    f->Command2->setEnabled(true);
    Forms::setStatus("x");
    leave(f->Command2);
    QVERIFY(!f->Command2->isEnabled());
    QCOMPARE(Forms::status(), QString("Status: Berechnung einer Stromsummenantenne"));

    f->Text1->setText("7,1");
    Module1::state().language = Language::English;
    f->parentWidget()->close();
    QVERIFY(f->parentWidget()->isHidden());
    QCOMPARE(Forms::status(), QString("Status: Ready for antenna-calculations"));
    QCOMPARE(frmHauptform::instance(), f);
    QCOMPARE(f->Text1->text(), QString("7,1"));

    Forms::unloadAll();
    QVERIFY(!frmHauptform::loaded());
    f = nullptr;
    Forms::setMain(nullptr);
  }

  void languageSwitchKeepsTheTypedMaterial() {
    f->Combo1->setEditText("2,5 mein Lack");
    Module1::state().language = Language::English;
    f->HauptForm_Sprache();
    QCOMPARE(f->Command2->text(), QString("&Displays"));
    QCOMPARE(f->Info->text(), QString("Note:"));
    QCOMPARE(f->Combo1->itemText(1), QString("1,0   Vacuum"));
    QCOMPARE(f->Combo1->currentText(), QString("2,5 mein Lack"));
  }

  // The form filled as a user does it, then "&Rechnen".
  void runFromTheFilledForm_data() { separators(); }
  void runFromTheFilledForm() {
    QFETCH(char, separator);
    fresh(separator, Language::German);
    const QString report = results_.path() + "/AntStrSu.txt";
    // The picture goes with the reports; nothing lands beside the program.
    const QString picture = results_.path() + "/AntKurve.BMP";
    const QString besideProgram = QCoreApplication::applicationDirPath() + "/AntKurve.BMP";
    QFile::remove(report);
    QFile::remove(picture);
    QFile::remove(besideProgram);
    QSignalSpy finished(f, &frmHauptform::runFinished);

    for (int i : {1, 3, 5, 7, 9}) click(f->Check1[i]);
    replace(f->Text1, sep("14,2"));
    replace(f->Text2, "4");
    leave(f->Text2);
    click(f->Command1);

    QCOMPARE(seam_->messages.size(), 0);  // 14.2 MHz is the band centre: no question
    QCOMPARE(seam_->busyNow, 0);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QVERIFY(QFileInfo(report).size() > 0);
    QCOMPARE(QImage(picture).size(), QSize(frmHauptform::kPictureWidth, frmHauptform::kPictureHeight));
    QCOMPARE(Module1::state().reportPath, report);
    QCOMPARE(Module1::state().antennaLength, test::worked::kLength);

    const QString info = f->Info->text();
    QVERIFY2(info.startsWith(QString::fromUtf8("Berechnung für Bandmitte: Länge der Antenne ") +
                             QString::fromStdString(test::worked::LengthText(separator)) + " m\r\n"),
             qPrintable(info));
    QVERIFY2(info.contains("'AntStrSu.txt'") && info.endsWith("Kurve liegt als '" + picture + "' vor. "),
             qPrintable(info));
    QVERIFY(!QFile::exists(besideProgram));
    QCOMPARE(f->Text1->text(), sep("14,2"));
    QCOMPARE(f->Text2->text(), QString("4"));
    QVERIFY(f->Command2->isEnabled());
    QCOMPARE(Forms::status(), QString("Status: Bereit zum Anzeigen der Berechnungsergebnisse"));

    // The batch tool saves the same picture for the same design, byte for
    // byte.
    QTemporaryDir batch;
    QProcess tool;
    tool.start(LORVANT_CALC_TOOL, {"run",
                                   "--out",
                                   batch.path(),
                                   "--band",
                                   "3.5",
                                   "--band",
                                   "7",
                                   "--band",
                                   "14",
                                   "--band",
                                   "21",
                                   "--band",
                                   "28",
                                   "--frequency",
                                   sep("14,2"),
                                   "--halfwaves",
                                   "4",
                                   "--language",
                                   "de",
                                   "--decimal-separator",
                                   QString(QChar::fromLatin1(separator))});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const auto bytes = [](const QString& path) {
      QFile file(path);
      return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray windowPicture = bytes(picture);
    QVERIFY(!windowPicture.isEmpty());
    QVERIFY(bytes(batch.path() + "/AntKurve.BMP") == windowPicture);

    // The picture is shown; the band boxes are its colour legend.
    QCOMPARE(f->Bild1->pixmap().size(), QSize(frmHauptform::kPictureWidth, frmHauptform::kPictureHeight));
    QCOMPARE(f->Check1[5]->palette().color(QPalette::WindowText), QColor(255, 255, 0));  // 14 MHz
    QCOMPARE(f->Check1[9]->palette().color(QPalette::WindowText), QColor(128, 0, 0));    // 28 MHz
    QCOMPARE(f->Check1[0]->palette().color(QPalette::WindowText), QColor(0, 0, 0));      // off

    // "&Anzeigen" hands the report to the quick viewer.
    click(f->Command2);
    QCOMPARE(seam_->messages.size(), 0);
    QWidget* viewer = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "frmRTF" || w->findChild<QWidget*>("frmRTF")) viewer = w;
    QVERIFY(viewer && viewer->isVisible());
    delete viewer;
  }

  void runEndsEarlyOnBadInput() {
    const QString report = results_.path() + "/AntStrSu.txt";
    QFile::remove(report);
    QSignalSpy finished(f, &frmHauptform::runFinished);
    click(f->Check1[5]);
    click(f->Command1);
    QCOMPARE(f->Info->text(), QString::fromUtf8(" Bitte mindestens zwei Bänder auswählen!"));
    QCOMPARE(seam_->beeps, 1);

    click(f->Check1[3]);
    f->Combo1->setEditText("2,5");
    f->Combo2->setEditText("2");
    f->Text6->setText("2");
    click(f->Command1);
    QCOMPARE(f->Info->text(), QString("Hinweis: Durchmesser zu gering!"));

    QCOMPARE(finished.count(), 2);
    for (const auto& call : finished) QCOMPARE(call.at(0).toBool(), false);
    QVERIFY(!f->Command2->isEnabled());
    QVERIFY(!QFileInfo::exists(report));
    QCOMPARE(Module1::state().reportPath, QString());
    QCOMPARE(seam_->busyNow, 0);
  }

  // A run refused for its input leaves nothing of the run before it on
  // the form as if it were this run's: no picture, no display command.
  void refusedRunClearsTheLastResults() {
    const auto blank = [](const QLabel* picture) {
      const QImage image = picture->pixmap().toImage();
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
      return true;
    };
    for (int i : {3, 5}) click(f->Check1[i]);
    click(f->Command1);
    QVERIFY(f->Command2->isEnabled());
    QVERIFY(!blank(f->Bild1));
    f->Combo1->setEditText("2,5");
    f->Combo2->setEditText("2");
    f->Text6->setText("2");
    click(f->Command1);
    QCOMPARE(f->Info->text(), QString("Hinweis: Durchmesser zu gering!"));
    QVERIFY(!f->Command2->isEnabled());
    QVERIFY(blank(f->Bild1));
  }

  void runQuestionsAndWriteBacks() {
    for (int i : {3, 5}) click(f->Check1[i]);
    // 14.03 MHz lies in the CW part while the band centre is chosen.
    replace(f->Text1, "14,03");
    seam_->answers = {Answer::Cancel};
    click(f->Command1);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->messages[0].title, QString(" Korrektur"));
    QVERIFY(f->Option1[2]->isChecked());
    QVERIFY(!f->Command2->isEnabled());
    seam_->answers = {Answer::Yes};
    click(f->Command1);
    QVERIFY(f->Option1[0]->isChecked());
    QCOMPARE(f->Text1->text(), QString("14,03"));  // the run's frequency, not the CW default
    QVERIFY(f->Command2->isEnabled());

    // An insulated wire: the insulation fraction goes to the shared state.
    f->Combo1->setEditText("2,5");
    f->Combo2->setEditText("2");
    f->Text6->setText("3");
    click(f->Command1);
    QVERIFY(std::abs(Module1::state().insulation - 0.01251) < 0.00001);

    // Outside every band: the additional band, then the segment question.
    f->Combo1->setEditText("1");
    replace(f->Text1, "12");
    seam_->messages.clear();
    seam_->answers = {Answer::Yes, Answer::Yes};
    click(f->Command1);
    QCOMPARE(seam_->messages.size(), 2);
    QCOMPARE(seam_->messages[0].title, QString(" Neues Frequenzband"));
    QVERIFY(Module1::state().extraBandOn);
    QCOMPARE(Module1::state().extraBandFrequency, 12.0f);
    QVERIFY(f->Option1[2]->isChecked());

    // Under a wire-length limit the bands below the fundamental turn grey.
    replace(f->Text1, "14,2");
    click(f->Check1[0]);
    click(f->Check1[1]);
    type(f->Text3, "41");
    click(f->Command1);
    QCOMPARE(f->bandValue(0), BandState::Grey);
    QCOMPARE(f->bandValue(1), BandState::Counted);
    QVERIFY(!f->Text2->text().isEmpty());
  }

  // A report that could not be written and was ignored: a note says so,
  // "&Anzeigen" offers nothing of this run and success is not claimed. An
  // unwritable folder is said before the run.
  void runWithoutItsReport() {
    const QString report = results_.path() + "/AntStrSu.txt";
    QFile::remove(report);
    for (int i : {1, 3, 5}) click(f->Check1[i]);
    {
      test::FaultyFiles faults;
      faults.full = {{"AntStrSu.txt", 10}};
      seam_->answers = {Answer::Ignore};
      click(f->Command1);
    }
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY(seam_->messages[0].text.startsWith(QString::fromUtf8("Datenträger voll\r\n") + report));
    QVERIFY(!QFileInfo::exists(report));
    QVERIFY(f->Info->text().contains(QString::fromUtf8("\r\nDie Datei 'AntStrSu.txt' wurde nicht geschrieben.")));
    QVERIFY(!f->Info->text().contains("Tabelle liegt"));
    QVERIFY(!f->Command2->isEnabled());
    QCOMPARE(Forms::status(), QString("Status: Nicht alle Ergebnisdateien wurden geschrieben"));

    seam_->messages.clear();
    const int updates = seam_->progressUpdates;
    Module1::state().resultsFolder = results_.path() + "/gone/";
    seam_->answers = {Answer::No};
    click(f->Command1);
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY(seam_->messages[0].text.startsWith("In den Ordner\r\n" + results_.path() + "/gone/\r\n"));
    QCOMPARE(seam_->progressUpdates, updates);  // no run
  }

  void runCancelledFromItsProgress() {
    const QString report = results_.path() + "/AntStrSu.txt";
    QFile::remove(report);
    QSignalSpy finished(f, &frmHauptform::runFinished);
    for (int i : {1, 3, 5}) click(f->Check1[i]);
    seam_->cancelProgressAfter = 0;
    click(f->Command1);
    QVERIFY(seam_->progressUpdates >= 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(!f->Command2->isEnabled());
    QVERIFY(!QFileInfo::exists(report));
    QCOMPARE(seam_->busyNow, 0);
    QCOMPARE(f->Info->text(), QString("Berechnung abgebrochen."));

    // After a complete run: its files stay, and nothing points at them as
    // if they were this run's.
    seam_->cancelProgressAfter = -1;
    click(f->Command1);
    QVERIFY(QFileInfo::exists(report));
    const QByteArray kept = [&] {
      QFile file(report);
      return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    seam_->progressUpdates = 0;
    seam_->cancelProgressAfter = 0;
    replace(f->Text2, "6");
    click(f->Command1);
    QCOMPARE(f->Info->text(),
             QString::fromUtf8("Berechnung abgebrochen. Die Dateien der letzten vollständigen Berechnung bleiben "
                               "erhalten."));
    QVERIFY(!f->Command2->isEnabled());
    QCOMPARE(Forms::status(), QString("Status: Berechnung einer Stromsummenantenne"));
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), kept);
    // The half-drawn picture is cleared.
    const QImage shown = f->Bild1->pixmap().toImage();
    QVERIFY(!shown.isNull());
    for (int y = 0; y < shown.height(); y += 3)
      for (int x = 0; x < shown.width(); x += 3) QCOMPARE(shown.pixel(x, y), shown.pixel(0, 0));
  }

  // The form in the main window at its default size: nothing to scroll,
  // every control whole, the picture whole and nearly as wide as the form.
  void fitsTheMainWindowAtItsDefaultSize_data() {
    QTest::addColumn<bool>("german");
    QTest::newRow("German") << true;
    QTest::newRow("English") << false;
  }
  void fitsTheMainWindowAtItsDefaultSize() {
    QFETCH(bool, german);
    delete f;
    f = nullptr;
    Module1::state().language = german ? Language::German : Language::English;
    OwnMainWindow own(f);
    MDIForm1& main = own.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QCOMPARE(main.size(), QSize(880, 720));
    f = main.mainForm();
    QTest::qWait(0);
    auto* sub = qobject_cast<QMdiSubWindow*>(f->parentWidget());
    QVERIFY(sub);
    QMdiArea* area = main.mdiArea();

    QVERIFY(!area->horizontalScrollBar()->isVisible());
    QVERIFY(!area->verticalScrollBar()->isVisible());
    QVERIFY(area->viewport()->rect().contains(sub->geometry()));
    QCOMPARE(sub->pos(), QPoint(0, 0));

    QList<QWidget*> controls = {f->Text1,   f->Text2,    f->Text3,     f->Text4,   f->Text5,  f->Text6,   f->Text8,
                                f->Combo1,  f->Combo2,   f->VkSteller, f->Check10, f->Check2, f->Check11, f->Option3,
                                f->Option4, f->Command1, f->Command2,  f->Bild1,   f->Label1, f->Label2,  f->Label3,
                                f->Label4,  f->Label6,   f->Label7,    f->Label8,  f->Label9, f->Label10, f->Label11,
                                f->Label12, f->Frame1,   f->Frame2,    f->Frame3,  f->Frame4, f->Frame5,  f->Frame6};
    for (QCheckBox* box : f->Check1) controls << box;
    for (int i = 0; i < 3; ++i) controls << f->Option1[i] << f->Option2[i];
    for (QWidget* w : controls) {
      const QRect inForm(w->mapTo(f, QPoint(0, 0)), w->size());
      QVERIFY2(f->rect().contains(inForm), qPrintable(w->objectName()));
      QVERIFY2(w->height() >= w->minimumSizeHint().height(), qPrintable(w->objectName()));
      // Captions are shown whole (the band captions are the legend of the
      // picture); a word-wrapped label gets the two lines it needs.
      auto* label = qobject_cast<QLabel*>(w);
      if (qobject_cast<QAbstractButton*>(w) || (label && !label->wordWrap() && w != f->Bild1))
        QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
    }
    QVERIFY(f->Label2->height() >= 2 * f->Label2->fontMetrics().lineSpacing());
    // The notes have room for four lines at least, and a long note never
    // takes room from the picture.
    QVERIFY(f->Info->visibleRegion().boundingRect().height() >= 4 * f->Info->fontMetrics().lineSpacing());
    const QRect pictureBefore = f->Bild1->geometry();
    // The notes of runs over 9 999 m and 99 999 m of wire: the line with
    // the antenna length stays readable, in the form's own type (never
    // below 8 pt), however long the list of feed points after it.
    for (int candidates : {700, 7000}) {
      const QString lengthLine =
          QStringLiteral("Berechnung für Bandmitte: Länge der Antenne %1,0 m").arg(candidates == 700 ? 9999 : 99999);
      QString note = lengthLine + "\r\nMögliche Speisepunkte (X) bei ";
      for (int i = 0; i < candidates; ++i) note += QStringLiteral(" %1,0 m,").arg(7 + 14 * i);
      f->Info->setText(note + "\r\nTabelle liegt als Textfile 'AntStrSu.txt' vor.  ");
      QTest::qWait(0);
      QVERIFY(QFontInfo(f->Info->font()).pointSizeF() >= 8);
      const QRect seen = f->Info->visibleRegion().boundingRect();
      QLabel alone;
      alone.setFont(f->Info->font());
      alone.setWordWrap(true);
      alone.setAlignment(f->Info->alignment());
      alone.setContentsMargins(f->Info->contentsMargins());
      alone.setText(lengthLine);
      alone.resize(f->Info->width(), f->Info->height());
      const int line = f->Info->fontMetrics().lineSpacing();
      const QImage want = alone.grab(QRect(seen.topLeft(), QSize(seen.width(), line))).toImage();
      const QImage shown = f->grab(QRect(f->Info->mapTo(f, seen.topLeft()), QSize(seen.width(), line)))
                               .toImage()
                               .convertToFormat(want.format());
      QVERIFY2(shown == want, qPrintable(QString::number(candidates)));
    }
    QTest::qWait(0);
    QCOMPARE(f->Bild1->geometry(), pictureBefore);

    // The picture: whole, in its own proportions, across the form.
    const QRect shown = pictureShown(f);
    QVERIFY2(shown.width() >= f->width() * 9 / 10, qPrintable(QString::number(shown.width())));
    QVERIFY(std::abs(shown.height() * frmHauptform::kPictureWidth - shown.width() * frmHauptform::kPictureHeight) <=
            frmHauptform::kPictureWidth);
  }

  // A larger main window lets the form grow until the picture is shown in
  // its own pixels, a smaller one takes it back; a size the user gave the
  // form stands.
  void followsTheSizeOfTheMainWindow() {
    delete f;
    f = nullptr;
    OwnMainWindow own(f);
    MDIForm1& main = own.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    // From a main window smaller than the form would like.
    const QSize start(788, 623);
    main.resize(start);
    f = main.mainForm();
    QTest::qWait(0);
    auto* sub = qobject_cast<QMdiSubWindow*>(f->parentWidget());
    const QSize fitted = sub->size();

    main.resize(1200, 900);
    QTest::qWait(0);
    QCOMPARE(sub->size(), sub->sizeHint());
    QVERIFY(sub->width() > fitted.width() && sub->height() > fitted.height());
    QCOMPARE(pictureShown(f).size(), QSize(frmHauptform::kPictureWidth, frmHauptform::kPictureHeight));

    main.resize(start);
    QTest::qWait(0);
    QCOMPARE(sub->size(), fitted);

    // Too small a window: the form keeps its least size and the area scrolls.
    main.resize(500, 400);
    QTest::qWait(0);
    QCOMPARE(sub->size(), sub->minimumSizeHint());
    main.resize(start);
    QTest::qWait(0);
    QCOMPARE(sub->size(), fitted);

    sub->resize(fitted - QSize(10, 10));
    main.resize(1200, 900);
    QTest::qWait(0);
    QCOMPARE(sub->size(), fitted - QSize(10, 10));
  }

  // Maximised, the notes and the picture take the room the form gains;
  // every field stays beside its caption.
  void maximisedTheNotesAndThePictureGrow() {
    delete f;
    f = nullptr;
    OwnMainWindow own(f);
    MDIForm1& main = own.main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    f = main.mainForm();
    QTest::qWait(0);
    auto* sub = qobject_cast<QMdiSubWindow*>(f->parentWidget());
    auto* notes = f->findChild<QWidget*>(QStringLiteral("InfoArea"));
    QVERIFY(sub && notes);
    // From the end of a caption's text to the start of its field.
    const auto gaps = [this] {
      QList<int> out;
      const std::pair<QLabel*, QWidget*> rows[] = {{f->Label1, f->Text1},
                                                   {f->Label6, f->Text3},
                                                   {f->Label7, f->Text4},
                                                   {f->Label8, f->Combo1},
                                                   {f->Label12, f->Text8}};
      for (const auto& [label, field] : rows)
        out << field->mapTo(f, QPoint(0, 0)).x() - label->mapTo(f, QPoint(label->sizeHint().width(), 0)).x();
      return out;
    };
    const QList<int> gapsBefore = gaps();
    const int notesBefore = notes->height();
    const QSize pictureBefore = pictureShown(f).size();

    main.resize(1600, 1200);
    sub->showMaximized();
    QTest::qWait(0);
    QCOMPARE(gaps(), gapsBefore);
    QVERIFY2(notes->height() > notesBefore, qPrintable(QStringLiteral("%1 %2").arg(notesBefore).arg(notes->height())));
    const QSize picture = pictureShown(f).size();
    QVERIFY2(picture.width() > pictureBefore.width() && picture.height() > pictureBefore.height(),
             qPrintable(QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height())));
    QVERIFY(std::abs(picture.height() * frmHauptform::kPictureWidth - picture.width() * frmHauptform::kPictureHeight) <=
            frmHauptform::kPictureWidth);
  }

  // After a run the band captions take the colours of their curves; on
  // every colour of the palette a caption stays readable against the
  // ground it is written on.
  void bandCaptionsStayReadableInEveryColour() {
    QCheckBox* box = f->Check1[5];
    for (int colour = 0; colour < 16; ++colour) {
      const Rgb rgb = PaletteColour(colour);
      const QColor ink(rgb.r, rgb.g, rgb.b);
      QPalette pal = box->palette();
      pal.setColor(QPalette::WindowText, ink);
      box->setPalette(pal);
      const QImage image = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
      // The ground is the commonest colour inside the caption's own outline.
      QRect glyphs;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          if (QColor(image.pixel(x, y)) == ink && x > box->height()) glyphs |= QRect(x, y, 1, 1);
      QVERIFY2(!glyphs.isEmpty(), qPrintable(ink.name()));
      QHash<QRgb, int> count;
      for (int y = glyphs.top(); y <= glyphs.bottom(); ++y)
        for (int x = glyphs.left(); x <= glyphs.right(); ++x)
          if (image.pixel(x, y) != ink.rgb()) ++count[image.pixel(x, y)];
      QRgb ground = 0;
      for (auto it = count.cbegin(); it != count.cend(); ++it)
        if (!count.contains(ground) || it.value() > count[ground]) ground = it.key();
      QVERIFY2(contrast(ink, QColor(ground)) >= 3.0, qPrintable(ink.name() + " on " + QColor(ground).name()));
    }
  }
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
