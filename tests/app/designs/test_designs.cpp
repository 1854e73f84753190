// Designs in the windows: saved and opened through the File menu, the
// recent list, refused files that change nothing, and the last inputs
// restored at the next start. Settings live in a temporary config folder.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/Designs.h"
#include "app/MDIForm1.h"
#include "app/StartUp.h"
#include "session/design.h"
#include "shell/Module1.h"
#include "tests/support/Keys.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/dipole/ZusatzDipol.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"
#include "windows/nec/frmNec.h"
#include "windows/viewer/frmRTF.h"
#include "windows/vk/frmVk.h"

using namespace lorvant;
namespace M1 = lorvant::Module1;

namespace {

using test::click;

QSettings store() { return QSettings(QStringLiteral("Lorvant"), QStringLiteral("Lorvant")); }

void retype(QLineEdit* field, const QString& text) {
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Delete);
  QTest::keyClicks(field, text);
}

QByteArray contents(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

std::string inputsNow() { return design::Serialise(Designs::current()); }

}  // namespace

class DesignsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir config_;
  std::unique_ptr<QTemporaryDir> results_;
  std::unique_ptr<test::ScriptedSeam> seam_;
  std::unique_ptr<MDIForm1> window_;

  QString file(const char* name) const { return results_->filePath(QString::fromUtf8(name)); }
  MDIForm1* start() {
    window_.reset(M1::startUp());
    return window_.get();
  }
  void stop() {
    window_->close();
    window_.reset();
    M1::resetState();
    M1::setDecimalSeparator(',');
    seam_->messages.clear();
  }
  frmHauptform* form() const { return frmHauptform::loaded(); }
  void saveAs(const QString& path) {
    seam_->files.push_back(FileDialogResult{path, 1});
    window_->action("mnuEntwurfSpeichern")->trigger();
  }
  void open(const QString& path) {
    seam_->files.push_back(FileDialogResult{path, 1});
    window_->action("mnuEntwurfOeffnen")->trigger();
  }

 private slots:
  void initTestCase() {
    QVERIFY(config_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_.path());
  }

  void init() {
    store().clear();
    QFile::remove(Designs::lastInputsPath());
    M1::resetState();
    M1::setDecimalSeparator(',');
    results_ = std::make_unique<QTemporaryDir>();
    // A results folder with a file in it: no folder question at start.
    store().setValue(QStringLiteral("Settings/SpeicherOrdner"), results_->path() + '/');
    // German as stored, whatever the desktop speaks.
    store().setValue(QStringLiteral("Settings/Sprache"), QStringLiteral("dtsch"));
    writeFile(file("keep.txt"), "x\r\n");
    seam_ = std::make_unique<test::ScriptedSeam>();
  }

  void cleanup() {
    frmRTF::unload();
    window_.reset();
    seam_.reset();
    M1::setDecimalSeparator(0);
  }

  void mainFormSavedAndOpenedThroughTheFileMenu() {
    start();
    frmHauptform* f = form();
    retype(f->Text1, QStringLiteral("7,05"));
    click(f->Check1[kBand7]);
    click(f->Check1[kBand14]);
    click(f->Option2[2]);
    retype(f->Combo1->lineEdit(), QStringLiteral("3,1"));

    saveAs(file("forty"));
    QCOMPARE(seam_->fileRequests.last().overwritePrompt, true);
    QVERIFY(seam_->fileRequests.last().filter.contains(QStringLiteral("*.lorvant")));
    const QByteArray text = contents(file("forty.lorvant"));
    for (const char* line : {"\nfrequency = 7.05\n", "\nband-7 = counted\n", "\nband-14 = counted\n",
                             "\nlength-mode = all\n", "\nmaterial =\n", "\ndielectric = 3.1\n"})
      QVERIFY2(text.contains(line), line);
    QVERIFY(seam_->messages.isEmpty());

    retype(f->Text1, QStringLiteral("14,2"));
    click(f->Check1[kBand7]);
    click(f->Option2[0]);
    open(file("forty.lorvant"));
    QCOMPARE(f->Text1->text(), QStringLiteral("7,05"));
    QCOMPARE(f->bandValue(kBand7), BandState::Counted);
    QVERIFY(f->Option2[2]->isChecked());
    QCOMPARE(f->Combo1->currentText(), QStringLiteral("3,1"));
    QVERIFY(window_->statusText().contains(QStringLiteral("forty.lorvant")));

    // The same design under a point locale shows the point.
    M1::setDecimalSeparator('.');
    open(file("forty.lorvant"));
    QCOMPARE(f->Text1->text(), QStringLiteral("7.05"));

    // The recent designs list it once, newest first.
    saveAs(file("twenty.lorvant"));
    QMenu* recent = window_->menu("mnuZuletzt");
    emit recent->aboutToShow();
    QCOMPARE(recent->actions().size(), 2);
    QCOMPARE(recent->actions()[0]->text(), QStringLiteral("&1 ") + file("twenty.lorvant"));
    QCOMPARE(recent->actions()[1]->text(), QStringLiteral("&2 ") + file("forty.lorvant"));
    retype(f->Text1, QStringLiteral("21"));
    recent->actions()[1]->trigger();
    QCOMPARE(f->Text1->text(), QStringLiteral("7.05"));
    emit recent->aboutToShow();
    QCOMPARE(recent->actions()[0]->text(), QStringLiteral("&1 ") + file("forty.lorvant"));
  }

  // Alt+letter reaches each entry of the File menu, in both languages.
  void fileMenuEntriesHaveTheirOwnAccessKeys() {
    start();
    for (const char* language : {"mnuSprache_dtsch", "mnuSprache_engl"}) {
      window_->action(language)->trigger();
      QStringList keys;
      for (QAction* a : window_->menu("mnuDat")->actions()) {
        const qsizetype amp = a->text().indexOf('&');
        if (amp >= 0) keys << a->text().mid(amp + 1, 1).toLower();
      }
      for (const char* entry : {"mnuEntwurfOeffnen", "mnuEntwurfSpeichern", "mnuZuletzt"})
        QVERIFY2(window_->action(entry)->text().contains('&'), entry);
      QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
    }
    QCOMPARE(window_->action("mnuEntwurfSpeichern")->text(), QStringLiteral("Sa&ve design"));
    window_->action("mnuSprache_dtsch")->trigger();
    QCOMPARE(window_->action("mnuEntwurfOeffnen")->text(), QStringLiteral("Entwurf &öffnen"));
    QCOMPARE(window_->action("mnuZuletzt")->text(), QStringLiteral("&Zuletzt geöffnete Entwürfe"));
  }

  void recentListKeepsEightAndForgetsAFileThatIsGone() {
    start();
    for (int i = 0; i < 10; ++i) saveAs(file(QByteArray::number(i).constData()));
    QStringList expected;
    for (int i = 9; i >= 2; --i) expected << file((QByteArray::number(i) + ".lorvant").constData());
    QCOMPARE(Designs::recent(), expected);
    QFile::remove(expected[3]);
    QVERIFY(!Designs::openFile(window_.get(), expected[3]));
    QVERIFY(seam_->lastText().contains(expected[3]));
    expected.removeAt(3);
    QCOMPARE(Designs::recent(), expected);
  }

  void toolWindowsGiveAndTakeTheirInputs() {
    start();
    window_->action("mnuVk")->trigger();
    frmVk* vk = frmVk::loaded();
    retype(vk->Text2, QStringLiteral("12,5"));
    click(vk->Command1);
    QCOMPARE(vk->Tag, QStringLiteral("Aktiv"));
    window_->action("mnuBerZusDipol")->trigger();
    ZusatzDipol* dipole = ZusatzDipol::loaded();
    click(dipole->Option1[1]);
    retype(dipole->Text3, QStringLiteral("600"));
    window_->action("mnuBerImpedanz")->trigger();
    QList<frmSpeisePkt*> feed = window_->findChildren<frmSpeisePkt*>();
    QCOMPARE(feed.size(), 1);
    retype(feed[0]->Text2, QStringLiteral("0,45"));

    saveAs(file("tools.lorvant"));
    const QByteArray text = contents(file("tools.lorvant"));
    for (const char* line : {"[calculator]\nactive = yes\n", "\nheight = 12.5\n", "[dipole]\ntype = windom\n",
                             "\nimpedance = 600\n", "[feed-point]\ncurrent-sum = 0.45\n"})
      QVERIFY2(text.contains(line), line);

    vk->close();  // unloads it: no longer active
    QVERIFY(!frmVk::calculatorState().active);
    click(dipole->Option1[0]);
    retype(dipole->Text3, QStringLiteral("450"));
    retype(feed[0]->Text2, QStringLiteral("0,8"));

    open(file("tools.lorvant"));
    vk = frmVk::loaded();
    QVERIFY(vk && vk->isVisible());
    QCOMPARE(vk->Text2->text(), QStringLiteral("12,5"));
    QVERIFY(frmVk::calculatorState().active);
    QVERIFY(dipole->Option1[1]->isChecked());
    QCOMPARE(dipole->Text3->text(), QStringLiteral("600"));
    QCOMPARE(feed[0]->Text2->text(), QStringLiteral("0,45"));
  }

  void pruningAndNecSettingsGiveAndTakeTheirInputs() {
    start();
    window_->action("mnuPruning")->trigger();
    frmVk* prune = frmVk::loaded();
    retype(prune->Text1, QStringLiteral("40,2"));
    retype(prune->Text2, QStringLiteral("3,55"));
    retype(prune->Combo1->lineEdit(), QStringLiteral("3,65"));
    frmNec::mnuBerNec();  // its menu entry waits for a run; the window opens all the same
    frmNec* nec = frmNec::loaded();
    retype(nec->heightField, QStringLiteral("8,5"));
    nec->groundList->setCurrentIndex(2);
    nec->balunList->setCurrentIndex(3);
    retype(nec->pointsField, QStringLiteral("21"));

    saveAs(file("more.lorvant"));
    const QByteArray text = contents(file("more.lorvant"));
    for (const char* line : {"[pruning]\nmeasured-length = 40.2\nmeasured-frequency = 3.55\ndesired-frequency = 3.65\n",
                             "\nheight = 8.5\nground = poor\nbalun = 4\npoints = 21\n"})
      QVERIFY2(text.contains(line), line);

    retype(prune->Text2, QStringLiteral("7"));
    retype(nec->heightField, QStringLiteral("20"));
    nec->groundList->setCurrentIndex(0);
    nec->balunList->setCurrentIndex(0);
    open(file("more.lorvant"));
    QCOMPARE(prune->Text2->text(), QStringLiteral("3,55"));
    QCOMPARE(prune->Combo1->currentText(), QStringLiteral("3,65"));
    QCOMPARE(nec->heightField->text(), QStringLiteral("8,5"));
    QCOMPARE(nec->groundList->currentIndex(), 2);
    QCOMPARE(nec->balunList->currentIndex(), 3);
  }

  void partOfAClosedWindowWaitsForItsOpening() {
    start();
    writeFile(file("dipole.lorvant"),
              "[design]\nformat = lorvant-design\nversion = 1\n[main]\n[dipole]\ntype = windom\nimpedance = 300\n");
    open(file("dipole.lorvant"));
    QVERIFY(!ZusatzDipol::loaded());
    window_->action("mnuBerZusDipol")->trigger();
    QVERIFY(ZusatzDipol::loaded()->Option1[1]->isChecked());
    QCOMPARE(ZusatzDipol::loaded()->Text3->text(), QStringLiteral("300"));
    // Saved again, the part is still there.
    QVERIFY(inputsNow().find("[dipole]\ntype = windom\n") != std::string::npos);
  }

  void refusedDesignSaysFileAndLineAndChangesNothing_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("why");
    const QByteArray head = "[design]\nformat = lorvant-design\nversion = 1\n[main]\nfrequency = 3.6\n";
    QTest::newRow("damaged") << head + "band-7 = maybe\n"
                             << QStringLiteral(", Zeile 6: ") << QStringLiteral("unbekannte Wahl");
    QTest::newRow("newer") << QByteArray(head).replace("version = 1", "version = 2") << QStringLiteral(", Zeile 3: ")
                           << QStringLiteral("neueren");
    QTest::newRow("foreign") << QByteArray("<?xml version=\"1.0\"?>\n<antenna/>\n") << QStringLiteral(", Zeile 1: ")
                             << QStringLiteral("kein Lorvant-Entwurf");
  }

  void refusedDesignSaysFileAndLineAndChangesNothing() {
    QFETCH(QByteArray, text);
    QFETCH(QString, where);
    QFETCH(QString, why);
    start();
    retype(form()->Text1, QStringLiteral("7,05"));
    click(form()->Check1[kBand7]);
    const std::string before = inputsNow();
    writeFile(file("bad.lorvant"), text);
    open(file("bad.lorvant"));
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY2(seam_->lastText().contains(file("bad.lorvant") + where), qPrintable(seam_->lastText()));
    QVERIFY2(seam_->lastText().contains(why), qPrintable(seam_->lastText()));
    QCOMPARE(inputsNow(), before);
    QCOMPARE(form()->Text1->text(), QStringLiteral("7,05"));
    QVERIFY(Designs::recent().isEmpty());
  }

  void lastInputsComeBackAtTheNextStart() {
    start();
    click(form()->Check2);  // classic WINDOM, with its preset
    retype(form()->Text1, QStringLiteral("7,05"));
    click(form()->Check1[kBand14]);
    const std::string kept = inputsNow();
    stop();
    QVERIFY(QFile::exists(Designs::lastInputsPath()));

    start();
    QVERIFY(seam_->messages.isEmpty());
    QCOMPARE(form()->Text1->text(), QStringLiteral("7,05"));
    QVERIFY(form()->Check2->isChecked());
    QCOMPARE(inputsNow(), kept);

    // A damaged file is said at start and leaves the loaded values.
    stop();
    writeFile(Designs::lastInputsPath(), "[design]\nformat = lorvant-design\nversion = one\n");
    start();
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY2(seam_->lastText().contains(Designs::lastInputsPath() + ", Zeile 3"), qPrintable(seam_->lastText()));
    QCOMPARE(form()->Text1->text(), QStringLiteral("14,2"));
  }
};

QTEST_MAIN(DesignsTest)
#include "test_designs.moc"
