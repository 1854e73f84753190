// The application shell: start-up, settings, menus and language, results
// folder and file helpers. Settings live in a temporary config folder.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <memory>

#include "app/MDIForm1.h"
#include "app/StartUp.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/ui/Files.h"
#include "shell/ui/Forms.h"
#include "shell/ui/Settings.h"
#include "tests/support/ScriptedSeam.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"
#include "windows/viewer/frmRTF.h"
#include "windows/vk/frmVk.h"

using namespace lorvant;
namespace M1 = lorvant::Module1;

namespace {

QSettings store() { return QSettings(QStringLiteral("Lorvant"), QStringLiteral("Lorvant")); }

QString stored(const char* key) { return store().value(QStringLiteral("Settings/") + key).toString(); }

void putSetting(const char* key, const QString& value) {
  QSettings s = store();
  s.setValue(QStringLiteral("Settings/") + key, value);
}

void writeFile(const QString& path, const QByteArray& bytes = "x\r\n") {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

int px(float twips, const QWidget* w) { return *Settings::twipsToPixels(twips, w->screen()->logicalDotsPerInch()); }

}  // namespace

class ShellTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir config_;
  std::unique_ptr<QTemporaryDir> results_;
  std::unique_ptr<QTemporaryDir> workDir_;
  std::unique_ptr<test::ScriptedSeam> seam_;
  std::unique_ptr<MDIForm1> window_;

  QString resultsFolder() const { return results_->path() + '/'; }

  MDIForm1* start() {
    window_.reset(M1::startUp());
    return window_.get();
  }
  // Closes the running window and starts the program again.
  MDIForm1* restart() {
    window_->close();
    window_.reset();
    M1::resetState();
    seam_->messages.clear();
    return start();
  }

 private slots:
  void initTestCase() {
    QVERIFY(config_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_.path());
  }

  void init() {
    // A German desktop unless a test says otherwise.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    store().clear();
    M1::resetState();
    M1::setDecimalSeparator(',');
    results_ = std::make_unique<QTemporaryDir>();
    workDir_ = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(workDir_->path());
    seam_ = std::make_unique<test::ScriptedSeam>();
  }

  void cleanup() {
    QLocale::setDefault(QLocale::system());
    frmRTF::unload();
    window_.reset();
    QVERIFY(frmHauptform::loaded() == nullptr);
    seam_.reset();
    M1::setDecimalSeparator(0);
  }

  // Qt's own texts (key names in the menus, standard buttons) follow the
  // language menu at run time.
  void qtTextsFollowTheLanguageMenu() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    const auto keys = [w] { return w->action("mnuEnde")->shortcut().toString(QKeySequence::NativeText); };
    const auto yes = [] {
      QMessageBox box;
      box.setStandardButtons(QMessageBox::Yes);
      return box.button(QMessageBox::Yes)->text();
    };
    QCOMPARE(keys(), QStringLiteral("Strg+X"));
    QCOMPARE(yes(), QStringLiteral("&Ja"));
    w->action("mnuSprache_engl")->trigger();
    QCOMPARE(keys(), QStringLiteral("Ctrl+X"));
    QCOMPARE(yes(), QStringLiteral("&Yes"));
    w->action("mnuSprache_dtsch")->trigger();
    QCOMPARE(keys(), QStringLiteral("Strg+X"));
  }

  // A position stored on a monitor that is gone (or at a resolution that
  // is no more): the window comes back onto the screen, whole where it fits.
  void offScreenPositionComesBackOnScreen() {
    for (const auto& [left, top] :
         {std::pair{"-300000", "1200"}, std::pair{"15", "900000"}, std::pair{"400000", "-50000"}}) {
      store().clear();
      putSetting("SpeicherOrdner", resultsFolder());
      writeFile(resultsFolder() + "x.txt");
      putSetting("MainLeft", left);
      putSetting("MainTop", top);
      putSetting("MainWidth", "6000");
      putSetting("MainHeight", "4500");
      MDIForm1* w = window_ ? restart() : start();
      const QRect room = w->screen()->availableGeometry();
      QVERIFY2(room.contains(QRect(w->pos(), w->size())), qPrintable(QString("%1 %2").arg(left, top)));
    }
  }

  // A first start: default geometry, German, the folder question, the main
  // input form on screen, the feed-point menu still locked.
  void firstStartUsesDefaultsAndAsksForFolder() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();

    QCOMPARE(w->x(), px(15, w));
    QCOMPARE(w->y(), px(1200, w));
    QCOMPARE(w->width(), px(13200, w));
    QCOMPARE(w->height(), px(10800, w));
    QCOMPARE(M1::state().language, Language::German);
    QVERIFY(w->action("mnuSprache_dtsch")->isChecked());
    QVERIFY(!w->action("mnuSprache_engl")->isChecked());
    QCOMPARE(w->action("mnuEnde")->text(), QStringLiteral("&Beenden"));

    QCOMPARE(seam_->messages.size(), 1);
    const MessageRequest& ask = seam_->messages.first();
    QCOMPARE(ask.title, QStringLiteral("Ordner festlegen"));
    QCOMPARE(ask.text, QStringLiteral("Bitte den Ordner zum Ablegen der Berechnungsergebnisse festlegen.\r\n"
                                      " z.B.: ...\\Eigene Dateien\\Lorvant"));
    QCOMPARE(ask.icon, Icon::Critical);
    QCOMPARE(ask.buttons, Buttons::OkCancel);
    QCOMPARE(M1::state().resultsFolder, resultsFolder());
    QVERIFY(M1::state().reportPath.isEmpty());

    QVERIFY(frmHauptform::loaded() != nullptr);
    QVERIFY(!frmHauptform::loaded()->isHidden());
    QCOMPARE(frmHauptform::loaded()->parentWidget()->pos(), QPoint(0, 0));
    QVERIFY(!w->action("mnuBerSpeise")->isEnabled());
  }

  void declinedFolderQuestionUsesCurrentDirectory_data() {
    QTest::addColumn<bool>("declineQuestion");
    QTest::newRow("cancel in the question") << true;
    QTest::newRow("cancel in the dialog") << false;
  }
  void declinedFolderQuestionUsesCurrentDirectory() {
    QFETCH(bool, declineQuestion);
    seam_->answers.push_back(declineQuestion ? Answer::Cancel : Answer::Ok);
    start();
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(M1::state().resultsFolder, QDir::currentPath() + '/');
    QCOMPARE(QDir::currentPath(), QDir(workDir_->path()).canonicalPath());
  }

  // Only ordinary files make a folder count as set.
  void storedFolderIsCheckedForOrdinaryFiles() {
    putSetting("SpeicherOrdner", resultsFolder());
    QDir(results_->path()).mkdir(QStringLiteral("sub"));
    writeFile(results_->filePath(QStringLiteral(".hidden")));
    seam_->answers.push_back(Answer::Cancel);
    start();
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(M1::state().resultsFolder, QDir::currentPath() + '/');

    writeFile(results_->filePath(QStringLiteral("AntStrSu.txt")));
    putSetting("SpeicherOrdner", resultsFolder());
    window_.reset();
    M1::resetState();
    seam_->messages.clear();
    start();
    QVERIFY(seam_->messages.isEmpty());
    QCOMPARE(M1::state().resultsFolder, resultsFolder());
    QCOMPARE(M1::state().reportPath, resultsFolder() + "AntStrSu.txt");
  }

  void storedFolderWithoutSeparatorGetsOne() {
    writeFile(results_->filePath(QStringLiteral("a.txt")));
    putSetting("SpeicherOrdner", results_->path());
    start();
    QVERIFY(seam_->messages.isEmpty());
    QCOMPARE(M1::state().resultsFolder, resultsFolder());
    QCOMPARE(M1::resultFile(QStringLiteral("SpeisePkt.txt")), resultsFolder() + "SpeisePkt.txt");
  }

  // Geometry, folder and language survive a restart.
  void closeStoresSettingsAndNextStartRestoresThem() {
    seam_->folders.push_back(results_->path());
    writeFile(results_->filePath(QStringLiteral("keep.txt")));
    MDIForm1* w = start();
    w->move(100, 50);
    w->resize(640, 480);
    w->action("mnuSprache_engl")->trigger();
    w->close();

    const double dpi = w->screen()->logicalDotsPerInch();
    QCOMPARE(stored("MainLeft"), Settings::fromSingle(Settings::pixelsToTwips(100, dpi)));
    QCOMPARE(stored("MainWidth"), Settings::fromSingle(Settings::pixelsToTwips(640, dpi)));
    QCOMPARE(stored("Sprache"), QStringLiteral("engl"));
    QCOMPARE(stored("SpeicherOrdner"), resultsFolder());
    QVERIFY(frmHauptform::loaded() == nullptr);

    w = restart();
    QVERIFY(seam_->messages.isEmpty());
    QCOMPARE(w->pos(), QPoint(100, 50));
    QCOMPARE(w->size(), QSize(640, 480));
    QCOMPARE(M1::state().language, Language::English);
    QVERIFY(w->action("mnuSprache_engl")->isChecked());
    QVERIFY(!w->action("mnuSprache_dtsch")->isChecked());
    QCOMPARE(w->action("mnuBer")->text(), QStringLiteral("&Calculate"));
    QCOMPARE(frmHauptform::loaded()->Command1->text(), QStringLiteral("Calc&ulate"));
  }

  void minimisedCloseKeepsStoredGeometry() {
    putSetting("MainLeft", QStringLiteral("1500"));
    putSetting("MainTop", QStringLiteral("750"));
    putSetting("MainWidth", QStringLiteral("9000"));
    putSetting("MainHeight", QStringLiteral("7000"));
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    w->action("mnuSprache_engl")->trigger();
    w->move(300, 300);
    w->showMinimized();
    QVERIFY(w->isMinimized());
    w->close();
    QCOMPARE(stored("MainLeft"), QStringLiteral("1500"));
    QCOMPARE(stored("MainTop"), QStringLiteral("750"));
    QCOMPARE(stored("MainWidth"), QStringLiteral("9000"));
    QCOMPARE(stored("MainHeight"), QStringLiteral("7000"));
    QCOMPARE(stored("Sprache"), QStringLiteral("engl"));
    QCOMPARE(stored("SpeicherOrdner"), resultsFolder());
  }

  // A stored value that is no number skips only its own step.
  void unreadableGeometrySkipsItsStep() {
    putSetting("MainLeft", QStringLiteral("abc"));
    putSetting("MainTop", QStringLiteral("1500"));
    putSetting("MainWidth", QStringLiteral("12x"));
    putSetting("MainHeight", QStringLiteral("4500,0"));
    putSetting("Sprache", QStringLiteral("engl"));
    auto w = std::make_unique<MDIForm1>();
    const QPoint designPos = w->pos();
    const int designWidth = w->width();
    w->load();
    QCOMPARE(w->x(), designPos.x());
    QCOMPARE(w->y(), px(1500, w.get()));
    QCOMPARE(w->width(), designWidth);
    QCOMPARE(w->height(), px(4500, w.get()));
    QCOMPARE(M1::state().language, Language::English);
    QCOMPARE(w->statusText(), QStringLiteral("Status: Ready for antennas - calculations"));
  }

  void storedNumberText() {
    QCOMPARE(Settings::toSingle(QStringLiteral(" 11820 ")), std::optional<float>(11820.0f));
    QCOMPARE(Settings::toSingle(QStringLiteral("1234,5")), std::optional<float>(1234.5f));
    QCOMPARE(Settings::toSingle(QStringLiteral("1234.5")), std::optional<float>(1234.5f));
    QVERIFY(!Settings::toSingle(QString()));
    QVERIFY(!Settings::toSingle(QStringLiteral("1,234,5")));
    QVERIFY(!Settings::toSingle(QStringLiteral("1e39")));
    QVERIFY(!Settings::twipsToPixels(1e30f, 96));
    // Odd resolutions: pixels -> twips -> pixels comes back unchanged.
    for (double dpi : {96.0, 110.0, 144.0})
      for (int p : {0, 1, 623, 1919}) QCOMPARE(Settings::twipsToPixels(Settings::pixelsToTwips(p, dpi), dpi), p);
  }

  // With no language stored the desktop's is taken (German for every German
  // locale, English for all others); a stored one always wins, in the
  // stored words.
  void firstStartSpeaksTheDesktopsLanguage_data() {
    QTest::addColumn<QLocale>("desktop");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("language");
    const QLocale german(QLocale::German, QLocale::Germany), english(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("German desktop") << german << QString() << "dtsch";
    QTest::newRow("Austrian desktop") << QLocale(QLocale::German, QLocale::Austria) << QString() << "dtsch";
    QTest::newRow("English desktop") << english << QString() << "engl";
    QTest::newRow("French desktop") << QLocale(QLocale::French, QLocale::France) << QString() << "engl";
    QTest::newRow("stored German, English desktop") << english << "dtsch"
                                                    << "dtsch";
    QTest::newRow("stored English, German desktop") << german << "engl"
                                                    << "engl";
  }
  void firstStartSpeaksTheDesktopsLanguage() {
    QFETCH(QLocale, desktop);
    QFETCH(QString, stored);
    QFETCH(QString, language);
    QLocale::setDefault(desktop);
    if (!stored.isEmpty()) putSetting("Sprache", stored);
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    QCOMPARE(M1::state().language, language == "dtsch" ? Language::German : Language::English);
    QCOMPARE(w->action("mnuSprache_dtsch")->isChecked(), language == "dtsch");
    QCOMPARE(seam_->messages.first().title, language == "dtsch" ? QString("Ordner festlegen") : QString("Set folder"));
    w->close();
    QCOMPARE(::stored("Sprache"), language);
  }

  // Only the word "dtsch", exactly, is German.
  void unknownLanguageMeansEnglish_data() {
    QTest::addColumn<QString>("stored");
    for (const char* word : {"fr", "Dtsch", "", "dtsch "}) QTest::addRow("'%s'", word) << QString::fromLatin1(word);
  }
  void unknownLanguageMeansEnglish() {
    QFETCH(QString, stored);
    putSetting("Sprache", stored);
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    QVERIFY(w->action("mnuSprache_engl")->isChecked());
    QVERIFY(!w->action("mnuSprache_dtsch")->isChecked());
    QCOMPARE(w->action("mnuOrdner")->text(), QStringLiteral("Set &folder for results"));
    QCOMPARE(seam_->messages.first().title, QStringLiteral("Set folder"));
    QCOMPARE(seam_->messages.first().text, QStringLiteral("Please specify the folder for storing the calculation "
                                                          "results \r\n e.g.: ...\\my files\\Lorvant"));
    QCOMPARE(frmHauptform::loaded()->Command1->text(), QStringLiteral("Calc&ulate"));
    // Closing keeps the word as it was stored: it reads as English still.
    w->close();
    QCOMPARE(::stored("Sprache"), stored);
  }

  // The switch re-captions menus, status bar and the main input form at once.
  void languageSwitchRecaptions() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    w->action("mnuSprache_engl")->trigger();
    QCOMPARE(w->statusText(), QStringLiteral("Status: Ready for antennas - calculations"));
    QCOMPARE(w->action("mnuBerZusDipol")->text(), QStringLiteral("&Additional dipole/WINDOM (radiation-coupled)"));
    QCOMPARE(w->action("mnuOpt")->text(), QStringLiteral("&Options"));
    QCOMPARE(w->action("mnuHelp")->text(), QStringLiteral("&?"));
    QCOMPARE(frmHauptform::loaded()->Command1->text(), QStringLiteral("Calc&ulate"));

    // Choosing the checked entry again keeps its mark.
    w->action("mnuSprache_engl")->trigger();
    QVERIFY(w->action("mnuSprache_engl")->isChecked());

    w->action("mnuSprache_dtsch")->trigger();
    QVERIFY(w->action("mnuSprache_dtsch")->isChecked());
    QVERIFY(!w->action("mnuSprache_engl")->isChecked());
    QCOMPARE(w->statusText(), QStringLiteral("Status: Bereit für Antennen-Berechnungen"));
    QCOMPARE(w->action("mnuBerZusDipol")->text(), QStringLiteral("&Zusatz-Dipol/WINDOM (strahlungsgekoppelt)"));
    QCOMPARE(w->action("mnuOpt")->text(), QStringLiteral("&Optionen"));
    QCOMPARE(frmHauptform::loaded()->Command1->text(), QStringLiteral("&Rechnen"));
  }

  // Every entry in its place, with the shortcuts users know.
  void menuTree() {
    auto w = std::make_unique<MDIForm1>();
    QStringList top;
    for (QAction* a : w->menuBar()->actions()) top << a->objectName();
    QCOMPARE(top, QStringList({"mnuDat", "mnuBer", "mnuFenster", "mnuHelp"}));
    const auto names = [&](const char* menu) {
      QStringList out;
      for (QAction* a : w->menu(menu)->actions()) out << (a->isSeparator() ? "-" + a->objectName() : a->objectName());
      return out;
    };
    QCOMPARE(names("mnuDat"),
             QStringList({"mnuEntwurfOeffnen", "mnuEntwurfSpeichern", "mnuZuletzt", "-mnuTrenn9", "mnuAnz",
                          "mnuDatDruck", "-mnuTrenn5", "mnuOrdner", "-mnuTrenn6", "mnuEnde"}));
    QCOMPARE(names("mnuBerSpeise"), QStringList({QString::fromUtf8("mnuBerSpeisePktLänge"), "-mnuTrenn2",
                                                 "mnuBerSpeisePktQRG", "mnuBerSpeisePkt"}));
    QCOMPARE(names("mnuSprach"), QStringList({"mnuSprache_dtsch", "mnuSprache_engl"}));

    const QList<QPair<const char*, QKeySequence>> shortcuts = {
        {"mnuEnde", QKeySequence("Ctrl+X")},
        {"mnuVk", QKeySequence("Ctrl+V")},
        {"mnuBerStromsAnt", QKeySequence("Ctrl+S")},
        {"mnuBerSpeisePktLänge", QKeySequence("Ctrl+L")},
        {"mnuBerSpeisePktQRG", QKeySequence("Ctrl+F")},
        {"mnuBerSpeisePkt", QKeySequence("Ctrl+A")},
        {"mnuPruning", QKeySequence("Ctrl+O")},
        {"mnuHilfe", QKeySequence("F1")},
        {"mnuInfo", QKeySequence("Ctrl+F1")},
    };
    for (const auto& [name, keys] : shortcuts) QCOMPARE(w->action(name)->shortcut(), keys);
    QVERIFY(w->action("mnuSprache_engl")->isCheckable());
    QVERIFY(!w->action("mnuOrdner")->isCheckable());
    QVERIFY(w->action("mnuNichtDa") == nullptr);
  }

  // A locked submenu locks its entries' shortcuts as well.
  void lockedFeedPointMenuIgnoresShortcuts() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QSignalSpy check(w->action(QStringLiteral("mnuBerSpeisePktLänge")), &QAction::triggered);
    QSignalSpy vk(w->action("mnuVk"), &QAction::triggered);
    w->setFocus();
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(vk.count(), 1);
    QTest::keyClick(w, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(check.count(), 0);
    w->action("mnuBerSpeise")->setEnabled(true);
    QTest::keyClick(w, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(check.count(), 1);
  }

  // In a field, Ctrl+X, Ctrl+V and Ctrl+A edit the text; they neither end
  // the program nor open a tool.
  void editingKeysInFieldsStayWithTheField() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    auto* field = new QLineEdit(QStringLiteral("14,2"));
    Forms::adopt(field);
    Forms::show(field);
    field->setFocus();
    QVERIFY(field->hasFocus());
    QSignalSpy end(w->action("mnuEnde"), &QAction::triggered);
    QSignalSpy vk(w->action("mnuVk"), &QAction::triggered);
    QSignalSpy scan(w->action("mnuBerSpeisePkt"), &QAction::triggered);
    w->action("mnuBerSpeise")->setEnabled(true);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(field->selectedText(), field->text());
    QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
    QVERIFY(field->text().isEmpty());
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(!field->text().isEmpty());
    QCOMPARE(end.count() + vk.count() + scan.count(), 0);
    QVERIFY(w->isVisible());
  }

  // A menu entry, or its shortcut pressed outside a text field, brings an
  // open or closed window back as the user left it. Each feed-point mode has
  // a window of its own; the calculator and the pruning layout share one
  // window and switch cleanly between them.
  void menuEntriesBringWindowsBackAsTheyWere() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->action("mnuBerSpeise")->setEnabled(true);
    M1::state().antennaLength = 20.9f;
    for (int band : {1, 3, 5}) frmHauptform::loaded()->setBandValue(band, BandState::Counted);
    // The shortcut pressed with the focus on `at`; the window it brought up.
    const auto press = [w](QWidget* at, Qt::Key key) -> QWidget* {
      at->setFocus();
      QTest::keyClick(at, key, Qt::ControlModifier);
      QMdiSubWindow* sub = w->mdiArea()->activeSubWindow();
      return sub ? sub->widget() : nullptr;
    };
    const auto feedWindows = [w] { return w->findChildren<frmSpeisePkt*>().size(); };

    auto* scan = qobject_cast<frmSpeisePkt*>(press(frmHauptform::loaded()->Command1, Qt::Key_A));
    QVERIFY(scan);
    scan->Text1->setText(QStringLiteral("8"));
    scan->Text2->setText(QStringLiteral("8,03"));
    QTest::mouseClick(scan->cmdRechnen, Qt::LeftButton);
    const QString rows = scan->txtAuswertung->toPlainText();
    QVERIFY2(rows.startsWith(QStringLiteral("8,000 m")), qPrintable(rows + seam_->lastText()));
    QCOMPARE(press(scan->cmdRechnen, Qt::Key_A), scan);
    QCOMPARE(scan->Text1->text(), QStringLiteral("8"));
    QCOMPARE(scan->Text2->text(), QStringLiteral("8,03"));
    QCOMPARE(scan->txtAuswertung->toPlainText(), rows);

    auto* allBands = qobject_cast<frmSpeisePkt*>(press(scan->cmdRechnen, Qt::Key_L));
    QVERIFY(allBands && allBands != scan);
    allBands->Text3->setText(QStringLiteral("13,9"));
    QCOMPARE(press(allBands->cmdRechnen, Qt::Key_L), allBands);
    QCOMPARE(allBands->Text3->text(), QStringLiteral("13,9"));
    QCOMPARE(feedWindows(), 2);
    w->action("mnuBerSpeisePktLänge")->trigger();
    QCOMPARE(feedWindows(), 2);

    // Closed, then chosen again: as it was.
    scan->close();
    QVERIFY(scan->parentWidget()->isHidden());
    QCOMPARE(press(allBands->cmdRechnen, Qt::Key_A), scan);
    QVERIFY(!scan->parentWidget()->isHidden());
    QCOMPARE(scan->txtAuswertung->toPlainText(), rows);

    auto* vk = qobject_cast<frmVk*>(press(scan->cmdRechnen, Qt::Key_V));
    QVERIFY(vk);
    const QString calculatorTitle = vk->windowTitle();
    vk->Text2->setText(QStringLiteral("12"));
    QCOMPARE(press(vk->Command1, Qt::Key_V), vk);
    QCOMPARE(vk->Text2->text(), QStringLiteral("12"));

    QCOMPARE(press(vk->Command1, Qt::Key_O), vk);
    const QString pruningTitle = vk->windowTitle();
    QVERIFY(pruningTitle != calculatorTitle);
    vk->Text2->setText(QStringLiteral("7,2"));
    vk->Combo1->setEditText(QStringLiteral("7,05"));
    QCOMPARE(press(vk->Command1, Qt::Key_O), vk);
    QCOMPARE(vk->Text2->text(), QStringLiteral("7,2"));
    QCOMPARE(vk->Combo1->currentText(), QStringLiteral("7,05"));

    // Back to the calculator: its layout whole, not the pruning one with
    // a wire list.
    QCOMPARE(press(vk->Command1, Qt::Key_V), vk);
    QCOMPARE(vk->windowTitle(), calculatorTitle);
    QVERIFY(vk->mnuOpt->menuAction()->isVisible());
    QVERIFY(!vk->Label1->font().bold());
    QCOMPARE(vk->Text1->text(), frmHauptform::loaded()->Text1->text());
    QCOMPARE(vk->Combo1->currentText(), frmHauptform::loaded()->Combo2->currentText());
    QVERIFY(vk->Text2->text() != QStringLiteral("7,2"));
  }

  // The window menu: cascade, tile and the open windows, the active one
  // checked; choosing one brings it to the front.
  void windowMenuListsAndArrangesTheOpenWindows() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QMenu* m = w->menu("mnuFenster");
    const auto list = [&] {
      emit m->aboutToShow();
      const QList<QAction*> all = m->actions();
      return all.mid(all.indexOf(w->action("mnuFensterListe")) + 1);
    };
    const auto active = [w] { return w->mdiArea()->activeSubWindow()->widget(); };
    frmHauptform* form = frmHauptform::loaded();
    QCOMPARE(list().size(), 1);
    w->action("mnuVk")->trigger();
    w->action("mnuBerSpeise")->setEnabled(true);
    w->action("mnuBerSpeisePkt")->trigger();
    QWidget* scan = active();

    QList<QAction*> entries = list();
    QCOMPARE(entries.size(), 3);
    QCOMPARE(entries[0]->text(), "&1 " + form->windowTitle().trimmed());
    QCOMPARE(entries[2]->text(), "&3 " + scan->windowTitle().trimmed());
    QCOMPARE(entries[0]->isChecked(), false);
    QCOMPARE(entries[2]->isChecked(), true);
    entries[0]->trigger();
    QCOMPARE(active(), form);
    entries = list();
    QCOMPARE(entries.size(), 3);
    QVERIFY(entries[0]->isChecked() && !entries[2]->isChecked());

    frmVk::loaded()->close();
    QCOMPARE(list().size(), 2);

    const auto frames = [w] {
      QList<QRect> out;
      for (QMdiSubWindow* sub : w->mdiArea()->subWindowList())
        if (!sub->isHidden()) out << sub->geometry();
      return out;
    };
    w->action("mnuUeberlappend")->trigger();
    QList<QRect> r = frames();
    QCOMPARE(r.size(), 2);
    QVERIFY(r[1].topLeft().x() > r[0].topLeft().x() && r[1].topLeft().y() > r[0].topLeft().y());
    w->action("mnuNebeneinander")->trigger();
    r = frames();
    QVERIFY(!r[0].intersects(r[1]));

    w->action("mnuSprache_engl")->trigger();
    QCOMPARE(m->title(), QStringLiteral("Wi&ndow"));
    QCOMPARE(w->action("mnuUeberlappend")->text(), QStringLiteral("&Cascade"));
    QCOMPARE(w->action("mnuNebeneinander")->text(), QStringLiteral("&Tile"));
  }

  // At the default size the main window holds every tool window whole, and
  // each opens inside its area. A smaller main window opens them at the top
  // left, and the area scrolls to the rest.
  void everyWindowOpensWholeInsideTheArea() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    frmHauptform* form = frmHauptform::loaded();
    for (int band : {1, 3, 5}) form->setBandValue(band, BandState::Counted);
    form->runCalculation();
    QMdiArea* area = w->mdiArea();
    const char* const entries[] = {
        "mnuBerSpeisePktLänge", "mnuBerSpeisePktQRG", "mnuBerImpedanz", "mnuBerSpeisePkt", "mnuVk",
        "mnuPruning",           "mnuBerZusDipol",     "mnuBerNec",      "mnuBerStromsAnt"};
    for (const char* entry : entries) {
      w->action(QString::fromUtf8(entry))->trigger();
      QTest::qWait(0);
      QMdiSubWindow* sub = area->activeSubWindow();
      const QRect room = area->viewport()->rect();
      const QString where = QStringLiteral("%1: %2,%3 %4x%5 in %6x%7 (least %8x%9)")
                                .arg(QString::fromUtf8(entry))
                                .arg(sub->x())
                                .arg(sub->y())
                                .arg(sub->width())
                                .arg(sub->height())
                                .arg(room.width())
                                .arg(room.height())
                                .arg(sub->minimumSizeHint().width())
                                .arg(sub->minimumSizeHint().height());
      QVERIFY2(room.contains(sub->geometry()), qPrintable(where));
      QVERIFY2(sub->width() >= sub->minimumSizeHint().width() && sub->height() >= sub->minimumSizeHint().height(),
               qPrintable(where));
    }

    w = restart();
    area = w->mdiArea();
    w->resize(400, 300);
    QTest::qWait(0);
    w->action("mnuBerNec")->setEnabled(true);
    w->action("mnuBerNec")->trigger();
    QTest::qWait(0);
    QMdiSubWindow* sub = area->activeSubWindow();
    QCOMPARE(sub->pos(), QPoint(0, 0));
    QVERIFY(sub->height() >= sub->minimumSizeHint().height());
    QVERIFY(area->verticalScrollBar()->maximum() > 0);
  }

  // Every run reopens the feed-point scan; the feed-point submenu opens with
  // the first run that completed and stays open.
  void runOpensFeedPointMenus() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    frmHauptform* form = frmHauptform::loaded();
    w->action("mnuBerSpeisePkt")->setEnabled(false);
    emit form->runFinished(false);
    QVERIFY(w->action("mnuBerSpeisePkt")->isEnabled());
    QVERIFY(!w->action("mnuBerSpeise")->isEnabled());
    emit form->runFinished(true);
    QVERIFY(w->action("mnuBerSpeise")->isEnabled());
    emit form->runFinished(false);
    QVERIFY(w->action("mnuBerSpeise")->isEnabled());
  }

  void fileMenuStates() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    emit w->menu("mnuDat")->aboutToShow();
    QVERIFY(!w->action("mnuAnz")->isEnabled());
    QVERIFY(w->action("mnuDatDruck")->isEnabled());

    writeFile(resultsFolder() + "AntStrSu.txt");
    M1::state().reportPath = resultsFolder() + "AntStrSu.txt";
    frmHauptform::loaded()->close();
    QVERIFY(frmHauptform::loaded() != nullptr);
    emit w->menu("mnuDat")->aboutToShow();
    QVERIFY(w->action("mnuAnz")->isEnabled());
    QVERIFY(!w->action("mnuDatDruck")->isEnabled());

    // The menu brings the hidden form back with its inputs.
    frmHauptform::loaded()->Text1->setText(QStringLiteral("7,05"));
    w->action("mnuBerStromsAnt")->trigger();
    emit w->menu("mnuDat")->aboutToShow();
    QVERIFY(w->action("mnuDatDruck")->isEnabled());
    QCOMPARE(frmHauptform::loaded()->Text1->text(), QStringLiteral("7,05"));
  }

  // Each display entry is open only while its file is there: a missing one
  // would end in an error box. The menu is opened with its access keys.
  void displayEntriesFollowTheirFiles() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    seam_->messages.clear();  // the results folder asked for at start
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    writeFile(resultsFolder() + "AntStrSu.txt");
    M1::state().reportPath = resultsFolder() + "AntStrSu.txt";
    QMenu* display = w->menu("mnuAnz");
    const auto openDisplayMenu = [&] {
      QTest::keyClick(w, Qt::Key_D, Qt::AltModifier);
      QTRY_VERIFY(w->menu("mnuDat")->isVisible());
      QTest::keyClick(w->menu("mnuDat"), Qt::Key_A);
      QTRY_VERIFY(display->isVisible());
    };
    const auto closeMenus = [&] {
      QTest::keyClick(display, Qt::Key_Escape);
      QTest::keyClick(w->menu("mnuDat"), Qt::Key_Escape);
      QTRY_VERIFY(!w->menu("mnuDat")->isVisible());
    };
    openDisplayMenu();
    QVERIFY(w->action("mnuAnzeigen")->isEnabled());
    for (const char* entry : {"mnuSpeisePktBer", "mnuZusatzDipBer", "mnuSpezTab"})
      QVERIFY2(!w->action(entry)->isEnabled(), entry);
    closeMenus();

    writeFile(resultsFolder() + "AntSpezi.txt", "Spezial-Tabelle\r\n");
    openDisplayMenu();
    QVERIFY(w->action("mnuSpezTab")->isEnabled());
    QVERIFY(!w->action("mnuSpeisePktBer")->isEnabled());
    // The last entry, one up from the first.
    QTest::keyClick(display, Qt::Key_Up);
    QCOMPARE(display->activeAction(), w->action("mnuSpezTab"));
    QTest::keyClick(display, Qt::Key_Return);
    QTRY_VERIFY(frmRTF::loaded() && frmRTF::loaded()->isVisible());
    QVERIFY2(seam_->messages.isEmpty(), qPrintable(seam_->lastText()));
  }

  void endEntryClosesAndSaves() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    w->action("mnuEnde")->trigger();
    QVERIFY(!w->isVisible());
    QCOMPARE(stored("SpeicherOrdner"), resultsFolder());
    QCOMPARE(stored("Sprache"), QStringLiteral("dtsch"));
    QVERIFY(frmHauptform::loaded() == nullptr);
  }

  // Every way out ends the application's event loop and writes the
  // settings: the main window's Beenden and its close button, with and
  // without tool windows and a viewer holding a large, touched report (the
  // language switched before), and the viewer's own Beenden first, its
  // questions answered either way.
  void everyExitEndsTheProgramAndWritesTheSettings_data() {
    QTest::addColumn<QString>("way");  // menu, closeButton, viewerThenMenu, viewerThenCloseButton
    QTest::addColumn<bool>("tools");
    QTest::addColumn<QList<Answer>>("answers");  // to the viewer's questions, in order
    const QList<Answer> none;
    QTest::newRow("menu alone") << "menu" << false << none;
    QTest::newRow("close button alone") << "closeButton" << false << none;
    QTest::newRow("menu, tools, save no") << "menu" << true << QList<Answer>{Answer::No};
    QTest::newRow("menu, tools, save yes") << "menu" << true << QList<Answer>{Answer::Yes};
    QTest::newRow("close button, tools, save no") << "closeButton" << true << QList<Answer>{Answer::No};
    QTest::newRow("close button, tools, save yes") << "closeButton" << true << QList<Answer>{Answer::Yes};
    QTest::newRow("viewer yes, save no, then menu")
        << "viewerThenMenu" << true << QList<Answer>{Answer::Yes, Answer::No};
    QTest::newRow("viewer yes, save yes, then menu")
        << "viewerThenMenu" << true << QList<Answer>{Answer::Yes, Answer::Yes};
    QTest::newRow("viewer no, then menu, save no") << "viewerThenMenu" << true << QList<Answer>{Answer::No, Answer::No};
    QTest::newRow("viewer yes, save no, then close button")
        << "viewerThenCloseButton" << true << QList<Answer>{Answer::Yes, Answer::No};
    QTest::newRow("viewer no, then close button, save yes")
        << "viewerThenCloseButton" << true << QList<Answer>{Answer::No, Answer::Yes};
    // The main window gone without its close request (what the user met:
    // nothing saved, the viewer left): the viewer's Beenden ends the program,
    // and the settings are written all the same.
    QTest::newRow("viewer left alone, yes, save no") << "viewerAlone" << true << QList<Answer>{Answer::Yes, Answer::No};
  }
  void everyExitEndsTheProgramAndWritesTheSettings() {
    QFETCH(QString, way);
    QFETCH(bool, tools);
    QFETCH(QList<Answer>, answers);
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    if (tools) {
      w->action("mnuSprache_engl")->trigger();
      for (const char* entry : {"mnuVk", "mnuBerZusDipol", "mnuBerImpedanz"}) w->action(entry)->trigger();
      // A table big enough to be still reading in when the user leaves.
      QFile table(resultsFolder() + "AntSpezi.txt");
      QVERIFY(table.open(QIODevice::WriteOnly));
      const QByteArray row = QByteArray(129, '1') + "\r\n";
      for (int i = 0; i < 40000; ++i) table.write(row);
      table.close();
      QVERIFY(M1::showFile(table.fileName()));
      frmRTF* viewer = frmRTF::loaded();
      QVERIFY(QTest::qWaitForWindowExposed(viewer));
      QTest::keyClick(viewer->editor(), Qt::Key_Down);  // touched: the viewer asks to save
      QVERIFY(viewer->isModified());
    }
    for (Answer a : answers) seam_->answers.push_back(a);
    seam_->files.push_back(std::nullopt);  // a save offered is cancelled in its dialog

    bool stillRunning = false;
    bool mainExit = false;  // the main window's way out was taken
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [&] {
      stillRunning = true;
      QCoreApplication::exit(1);
    });
    QTimer::singleShot(0, w, [&] {
      if (way == "viewerAlone") {
        w->hide();
        frmRTF::loaded()->findChild<QAction*>("mnuExit")->trigger();
        return;
      }
      if (way.startsWith("viewer")) {
        frmRTF* viewer = frmRTF::loaded();
        viewer->findChild<QAction*>("mnuExit")->trigger();
        // The viewer closes itself or stays; the program goes on.
        QCOMPARE(viewer->isVisible(), answers.first() == Answer::No);
        QVERIFY(w->isVisible());
      }
      QTimer::singleShot(50, w, [&] {
        mainExit = true;
        if (way.endsWith("enu"))
          w->action("mnuEnde")->trigger();
        else
          w->windowHandle()->close();
      });
    });
    watchdog.start(20000);
    QApplication::exec();
    QVERIFY2(!stillRunning, "the event loop still ran with no way back");
    QCOMPARE(mainExit, way != "viewerAlone");  // nothing but the main window's exit ends a program it shows
    for (QWidget* top : QApplication::topLevelWidgets()) QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));
    QCOMPARE(stored("SpeicherOrdner"), resultsFolder());
    QCOMPARE(stored("Sprache"), QString(tools ? "engl" : "dtsch"));
    QVERIFY(!stored("MainWidth").isEmpty());
    QVERIFY(frmRTF::loaded() == nullptr);
    QVERIFY(seam_->answers.empty());  // every question expected was asked
  }

  void folderChoice_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "/tmp/Results"
                           << "/tmp/Results/";
    QTest::newRow("ending in /") << "/tmp/Results/"
                                 << "/tmp/Results/";
    QTest::newRow("root") << "/"
                          << "/";
  }
  void folderChoice() {
    QFETCH(QString, chosen);
    QFETCH(QString, expected);
    M1::state().resultsFolder = resultsFolder();
    QDir().mkpath(chosen);  // made in the dialog
    seam_->folders.push_back(chosen);
    QVERIFY(M1::chooseResultsFolder(nullptr));
    QCOMPARE(M1::state().resultsFolder, expected);
    QCOMPARE(M1::resultFile(QStringLiteral("AntStrSu.txt")), expected + "AntStrSu.txt");
    QCOMPARE(QDir::currentPath(), QDir(workDir_->path()).canonicalPath());

    seam_->folders.push_back(std::nullopt);
    QVERIFY(!M1::chooseResultsFolder(nullptr));
    QCOMPARE(M1::state().resultsFolder, expected);
  }

  // A folder that takes no files is refused when it is chosen and before a
  // run, with its path and the cause, and another one is asked for.
  void unwritableFolderIsSaidAtOnce() {
    const QString good = resultsFolder();
    const QString missing = good + "gone/";
    M1::state().resultsFolder = good;
    seam_->folders = {missing, good};
    QVERIFY(M1::chooseResultsFolder(nullptr));
    QCOMPARE(M1::state().resultsFolder, good);
    QCOMPARE(seam_->messages.size(), 1);
    QCOMPARE(seam_->messages[0].text, "In den Ordner\r\n" + missing +
                                          "\r\nkann nicht geschrieben werden: Pfad nicht gefunden.\r\nBitte einen "
                                          "anderen Ordner wählen.");
    QCOMPARE(seam_->messages[0].icon, Icon::Critical);

    // Before a run: the user may choose another folder at once, or not.
    seam_->messages.clear();
    M1::state().resultsFolder = missing;
    seam_->answers = {Answer::No};
    QVERIFY(!M1::ensureWritableResultsFolder(nullptr));
    QCOMPARE(seam_->messages.size(), 1);
    QVERIFY(seam_->messages[0].text.startsWith("In den Ordner\r\n" + missing));
    QCOMPARE(seam_->messages[0].buttons, Buttons::YesNo);
    seam_->answers = {Answer::Yes};
    seam_->folders = {good};
    QVERIFY(M1::ensureWritableResultsFolder(nullptr));
    QCOMPARE(M1::state().resultsFolder, good);
  }

  void fileExists() {
    const QString file = resultsFolder() + "SpeisePkt.txt";
    writeFile(file);
    QVERIFY(M1::fileExists(file));
    QVERIFY(seam_->messages.isEmpty());

    const QString missing = resultsFolder() + "ZusatzDipol.txt";
    QVERIFY(!M1::fileExists(missing));
    QCOMPARE(seam_->lastText(),
             "Die Datei \r\n" + missing + "  \r\nist nicht vorhanden!\r\nBitte selbst nach der Datei suchen.");
    QCOMPARE(seam_->messages.last().title, QStringLiteral(" Datei nicht gefunden"));
    QCOMPARE(seam_->messages.last().icon, Icon::Critical);

    M1::state().language = Language::English;
    QVERIFY(!M1::fileExists(QString()));
    QCOMPARE(seam_->lastText(), QStringLiteral("The file \r\n  \r\nis not available!\r\n"
                                               "Please search for the file yourself."));
    QCOMPARE(seam_->messages.last().title, QStringLiteral(" File not found"));
    QVERIFY(!M1::fileExists(results_->path()));
  }

  // Tool windows are kept when closed and destroyed when the program ends.
  void childWindowsHiddenOnCloseDestroyedAtEnd() {
    seam_->folders.push_back(results_->path());
    MDIForm1* w = start();
    QPointer<QWidget> tool = new QWidget;
    Forms::adopt(tool);
    Forms::show(tool);
    auto* sub = qobject_cast<QMdiSubWindow*>(tool->parentWidget());
    QVERIFY(sub);
    sub->close();
    QVERIFY(tool);
    QVERIFY(sub->isHidden());
    QPointer<frmHauptform> form = frmHauptform::loaded();
    writeFile(resultsFolder() + "SpeisePkt.txt");
    w->action("mnuSpeisePktBer")->trigger();
    QVERIFY(frmRTF::loaded() && frmRTF::loaded()->isVisible());
    w->close();
    QVERIFY(!tool);
    QVERIFY(!form);
    QVERIFY(!frmRTF::loaded());
  }
};

QTEST_MAIN(ShellTest)
#include "test_shell.moc"
