// Every window of the program, in every mode and layout, as a user sees it
// in German and in English: one language throughout (the program's own
// captions and Qt's texts alike), the program's icon, unique access keys,
// and captions shown whole.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/HelpInfo.h"
#include "app/MDIForm1.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/ui/Files.h"
#include "shell/ui/Forms.h"
#include "shell/ui/Look.h"
#include "tests/support/ScriptedSeam.h"
#include "tools/fake_engine/FakeNecEngine.h"
#include "windows/dipole/ZusatzDipol.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"
#include "windows/nec/frmNec.h"
#include "windows/viewer/frmRTF.h"
#include "windows/vk/frmVk.h"

using namespace lorvant;
namespace M1 = lorvant::Module1;

namespace {

// Words that read the same in both languages: names (of the program, of
// materials), the bilingual entries of the language menu, and words that
// both languages use.
const QStringList kNeutralWords = {"Lorvant", "Info", "WINDOM", "Language", "Sprache", "deutsch", "german", "english",
                                   "englisch", "Listing", "Standard", "Text", "PTFE", "FEP", "PVC", "Plexiglas",
                                   "Cevausit", "Pertinax", "Igelit", "Vinidur", "Calit", "Name",
                                   // the insulation materials' own names, the same in both lists
                                   "Ethylenpropylen", "Polyethylen", "Polystyrol", "SIR", "Silikon", "Polyamid",
                                   "Epoxyd", "Porzellan", "Glas", "Glimmer"};

bool neutral(QString text) {
  if (text.startsWith(QLatin1Char('/'))) return true;  // a file's path
  static const QRegularExpression word(QStringLiteral("[A-Za-zÄÖÜäöüß]{3,}"));
  text.remove(QLatin1Char('&'));
  for (const QRegularExpressionMatch& m : word.globalMatch(text))
    if (!kNeutralWords.contains(m.captured())) return false;
  return true;
}

// A text with a word in it (units such as "mm" and single letters aside).
bool hasWords(const QString& text) {
  static const QRegularExpression word(QStringLiteral("[A-Za-zÄÖÜäöüß]{3}"));
  return text.contains(word);
}

// One window (or dialog) as shown: its texts by element, and what a user
// would find wrong with it at once.
struct Shown {
  QMap<QString, QString> texts;  // element path -> text
};

class Walk {
 public:
  QMap<QString, Shown> windows;  // window key -> texts
  QStringList faults;

  // `ours`: a window of the program (Qt's own dialogs have their own
  // access keys and lists of names).
  void visit(const QString& key, QWidget* window, QMenuBar* outerMenu, bool ours = true) {
    QTest::qWait(0);
    Shown& shown = windows[key];
    if (hasWords(window->windowTitle())) shown.texts.insert(QStringLiteral("title"), window->windowTitle());
    checkIcon(key, window);
    QMap<int, QString> marks;  // access key -> where
    auto mark = [&](const QString& text, const QString& where) {
      const QKeySequence m = QKeySequence::mnemonic(text);
      if (m.isEmpty() || !ours) return;
      const int k = m[0].toCombined();
      if (marks.contains(k))
        faults << QStringLiteral("%1: Alt+%2 is both %3 and %4").arg(key, m.toString().right(1), marks[k], where);
      else
        marks.insert(k, where);
    };
    if (outerMenu)
      for (QAction* a : outerMenu->actions())
        if (a->isVisible()) mark(a->text(), QStringLiteral("main menu ") + a->text());

    const QList<QWidget*> all = window->findChildren<QWidget*>();
    for (int i = 0; i < all.size(); ++i) {
      QWidget* w = all[i];
      if (!w->isVisibleTo(window) || qobject_cast<QMdiSubWindow*>(w)) continue;
      const QString path = QStringLiteral("%1#%2").arg(QString::fromLatin1(w->metaObject()->className())).arg(i);
      auto put = [&](const QString& what, const QString& text) {
        if (hasWords(text)) shown.texts.insert(path + what, text);
      };
      put(QStringLiteral(".tip"), w->toolTip());
      if (auto* l = qobject_cast<QLabel*>(w)) {
        put(QStringLiteral(".text"), l->text());
        mark(l->text(), l->text());
        checkWhole(key, w, l->text(), l->wordWrap());
      } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        put(QStringLiteral(".text"), b->text());
        if (!qobject_cast<QToolButton*>(w)) {
          mark(b->text(), b->text());
          checkWhole(key, w, b->text(), false);
        }
      } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        put(QStringLiteral(".title"), g->title());
        mark(g->title(), g->title());
        if (g->width() < g->minimumSizeHint().width()) faults << key + ": group cut: " + g->title();
      } else if (auto* c = qobject_cast<QComboBox*>(w); c && ours) {
        for (int j = 0; j < c->count(); ++j) put(QStringLiteral(".item%1").arg(j), c->itemText(j));
      } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
        for (QAction* a : bar->actions())
          if (a->isVisible()) mark(a->text(), QStringLiteral("menu ") + a->text());
        menuTexts(shown, path, bar->actions());
        if (ours) menuKeys(key, bar->actions());
      }
    }
  }

  // A dialog of the program's, opened through the desktop seam: visited
  // while it is open, then closed.
  // With `lines`, a text of ready-made lines must show each as one line.
  void visitModal(const QString& key, const std::function<void()>& open, bool lines = false) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog) return;
      seen = true;
      visit(key, dialog, nullptr, false);
      const auto* label = dialog->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
      if (lines && label)
        for (const QString& line : label->text().split(QRegularExpression(QStringLiteral("\\r\\n|\\n"))))
          if (label->fontMetrics().horizontalAdvance(line) > label->contentsRect().width())
            faults << key + ": line wrapped: " + line;
      if (auto* d = qobject_cast<QDialog*>(dialog)) d->reject();
    });
    open();
    if (!seen) faults << key + ": no dialog came up";
  }

 private:
  void checkIcon(const QString& key, QWidget* window) {
    QWidget* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()) ? window->parentWidget() : window;
    const QImage want = Look::programIcon().pixmap(16).toImage();
    if (want.isNull() || frame->windowIcon().pixmap(16).toImage() != want) faults << key + ": not the program's icon";
  }

  void checkWhole(const QString& key, QWidget* w, const QString& text, bool wraps) {
    if (!hasWords(text)) return;
    const QSize hint = w->sizeHint();
    const bool cut =
        wraps ? w->height() < w->heightForWidth(w->width()) : w->width() < hint.width() || w->height() < hint.height();
    if (cut)
      faults << QStringLiteral("%1: cut caption \"%2\" (%3x%4 of %5x%6)")
                    .arg(key, text)
                    .arg(w->width())
                    .arg(w->height())
                    .arg(hint.width())
                    .arg(hint.height());
  }

  // Inside an open menu a letter picks its entry: every entry has one, and
  // no two entries of one menu share it.
  void menuKeys(const QString& key, const QList<QAction*>& actions) {
    for (QAction* entry : actions) {
      QMenu* menu = entry->menu();
      if (!menu || !entry->isVisible()) continue;
      QMap<int, QString> marks;
      for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible()) continue;
        const QKeySequence m = QKeySequence::mnemonic(a->text());
        if (m.isEmpty()) {
          faults << QStringLiteral("%1: menu %2: no access key in %3").arg(key, entry->text(), a->text());
          continue;
        }
        const int k = m[0].toCombined();
        if (marks.contains(k))
          faults << QStringLiteral("%1: menu %2: Alt+%3 is both %4 and %5")
                        .arg(key, entry->text(), m.toString().right(1), marks[k], a->text());
        else
          marks.insert(k, a->text());
      }
      menuKeys(key, menu->actions());
    }
  }

  void menuTexts(Shown& shown, const QString& path, const QList<QAction*>& actions) {
    for (int j = 0; j < actions.size(); ++j) {
      QAction* a = actions[j];
      const QString at = QStringLiteral("%1/%2").arg(path).arg(j);
      if (hasWords(a->text())) shown.texts.insert(at, a->text());
      if (!a->shortcut().isEmpty())
        shown.texts.insert(at + QStringLiteral(".keys"), a->shortcut().toString(QKeySequence::NativeText));
      if (a->menu()) menuTexts(shown, at, a->menu()->actions());
    }
  }
};

// What a window holds apart from its captions (fields, results, notes
// without words, check marks, enabled states, pictures), and its captions,
// by element.
struct Held {
  QMap<QString, QString> state;
  QMap<QString, QString> words;
};

Held held(QWidget* window) {
  Held h;
  const auto put = [&h](const QString& at, const QString& text) {
    (hasWords(text) ? h.words : h.state).insert(at, text);
  };
  put(QStringLiteral("title"), window->windowTitle());
  const QList<QWidget*> all = window->findChildren<QWidget*>();
  for (int i = 0; i < all.size(); ++i) {
    QWidget* w = all[i];
    const QString at = QStringLiteral("%1#%2").arg(QString::fromLatin1(w->metaObject()->className())).arg(i);
    h.state.insert(at + ".enabled", w->isEnabled() ? "on" : "off");
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
      put(at, e->text());
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
      h.state.insert(at, t->toPlainText());
    } else if (auto* table = qobject_cast<QTableWidget*>(w)) {
      for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < table->columnCount(); ++c)
          if (const QTableWidgetItem* item = table->item(r, c))
            h.state.insert(at + QStringLiteral(".%1.%2").arg(r).arg(c), item->text());
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
      put(at, c->currentText());
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      h.state.insert(at + ".checked", b->isChecked() ? "checked" : "-");
      h.words.insert(at, b->text());  // a caption, however short
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
      put(at, l->text());
      const QImage image = l->pixmap().toImage();
      // A picture's labels are words too.
      if (!image.isNull())
        h.words.insert(at + ".picture", QString::number(qHashBits(image.constBits(), image.sizeInBytes())));
    }
  }
  for (QAction* a : window->findChildren<QAction*>())
    if (!a->objectName().isEmpty()) h.state.insert("action " + a->objectName(), a->isEnabled() ? "on" : "off");
  return h;
}

}  // namespace

class WindowsTest : public QObject {
  Q_OBJECT

  QTemporaryDir config_;
  QTemporaryDir results_;
  Walk walks_[2];  // German, English

  // Opens every window in every mode and layout in one language, switched
  // to at run time from the other one.
  void walk(Language lang, Walk& walk) {
    M1::resetState();
    M1::state().resultsFolder = results_.path() + '/';
    test::ScriptedSeam scripted;
    auto main = std::make_unique<MDIForm1>();
    main->switchLanguage(lang == Language::German ? Language::English : Language::German);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    main->switchLanguage(lang);
    QMenuBar* menu = main->menuBar();
    walk.visit(QStringLiteral("main window"), main.get(), nullptr);

    frmHauptform* f = main->mainForm();
    for (int band : {1, 3, 5}) f->setBandValue(band, BandState::Counted);
    f->runCalculation();
    walk.visit(QStringLiteral("main form"), f, menu);

    walk.visit(QStringLiteral("all bands"), frmSpeisePkt::openAllBands(), menu);
    walk.visit(QStringLiteral("one frequency"), frmSpeisePkt::openOneFrequency(), menu);
    walk.visit(QStringLiteral("impedance"), frmSpeisePkt::openImpedance(), menu);
    walk.visit(QStringLiteral("scan"), frmSpeisePkt::openScan(), menu);
    frmVk::mnuVk();
    walk.visit(QStringLiteral("calculator"), frmVk::loaded(), menu);
    frmVk::mnuPruning();
    walk.visit(QStringLiteral("pruning"), frmVk::loaded(), menu);
    ZusatzDipol::mnuBerZusDipol();
    walk.visit(QStringLiteral("dipole"), ZusatzDipol::loaded(), menu);
    ZusatzDipol::loaded()->Option1_Click(1);
    walk.visit(QStringLiteral("windom"), ZusatzDipol::loaded(), menu);
    frmNec::mnuBerNec();
    walk.visit(QStringLiteral("nec check"), frmNec::loaded(), menu);
    QVERIFY(M1::showFile(M1::state().reportPath));
    walk.visit(QStringLiteral("viewer"), frmRTF::loaded(), nullptr);

    // Qt's own dialogs as the program opens them.
    setSeam(nullptr);
    QWidget* parent = f;
    for (Buttons b : {Buttons::Ok, Buttons::OkCancel, Buttons::YesNo, Buttons::YesNoCancel, Buttons::AbortRetryIgnore})
      walk.visitModal(QStringLiteral("message %1").arg(int(b)),
                      [&] { showMessage(parent, QStringLiteral("x"), QStringLiteral("x"), Icon::Question, b); });
    walk.visitModal(QStringLiteral("file dialog"), [&] { seam().openFile(parent, FileDialogRequest{}); });
    walk.visitModal(QStringLiteral("folder dialog"),
                    [&] { seam().chooseFolder(parent, QStringLiteral("x"), results_.path()); });
    walk.visitModal(QStringLiteral("font dialog"), [&] { seam().chooseFont(parent, FontChoice{}); });
    QPrinter printer;
    walk.visitModal(QStringLiteral("print dialog"), [&] { seam().choosePrinter(parent, printer, PrintRequest{}); });
    {
      const auto progress = seam().startProgress(parent, QStringLiteral("x"));
      if (auto* dialog = parent->findChild<QProgressDialog*>())
        walk.visit(QStringLiteral("progress"), dialog, nullptr, false);
    }
    walk.visitModal(
        QStringLiteral("info box"), [&] { HelpInfo::mnuInfo(main.get()); }, true);
    walk.visitModal(
        QStringLiteral("conditions"), [&] { ZusatzDipol::loaded()->Command2_Click(); }, true);
    {
      const std::unique_ptr<QMenu> fieldMenu(f->Text1->createStandardContextMenu());
      for (int i = 0; QAction * a : fieldMenu->actions())
        walk.windows[QStringLiteral("field menu")].texts.insert(QString::number(i++), a->text());
    }
    setSeam(&scripted);

    frmRTF::unload();
    Forms::unloadAll();
    main.reset();
  }

 private slots:
  void initTestCase() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_.path());
    M1::setDecimalSeparator(',');
    walk(Language::German, walks_[0]);
    walk(Language::English, walks_[1]);
  }

  // A caption that reads the same in both languages is a leftover of one
  // of them, unless it is a name, a unit or a number. Nor may one
  // language show a text that only the other one uses.
  // The texts that only one language's windows show (0 German, 1 English).
  std::array<QSet<QString>, 2> onlyOneLanguage() const {
    std::array<QSet<QString>, 2> only;
    for (int l = 0; l < 2; ++l)
      for (const Shown& s : walks_[l].windows)
        for (const QString& t : s.texts) only[l].insert(t);
    const QSet<QString> both = QSet<QString>(only[0]).intersect(only[1]);
    for (int l = 0; l < 2; ++l) only[l].subtract(both);
    return only;
  }

  // Switches the language as a user does: the "?" menu, Options,
  // Language, the entry, each with the mouse.
  static void switchThroughTheMenu(MDIForm1* main, const char* entry) {
    QMenuBar* bar = main->menuBar();
    const auto open = [](QWidget* in, const QRect& at, QMenu* menu) {
      QTest::mouseClick(in, Qt::LeftButton, {}, at.center());
      QTRY_VERIFY(menu->isVisible());
    };
    QMenu* help = main->menu("mnuHelp");
    open(bar, bar->actionGeometry(help->menuAction()), help);
    QMenu* options = main->menu("mnuOpt");
    open(help, help->actionGeometry(options->menuAction()), options);
    QMenu* language = main->menu("mnuSprach");
    open(options, options->actionGeometry(language->menuAction()), language);
    QSignalSpy chosen(main->action(entry), &QAction::triggered);
    QTest::mouseClick(language, Qt::LeftButton, {}, language->actionGeometry(main->action(entry)).center());
    QTRY_COMPARE(chosen.count(), 1);
    QTRY_VERIFY(!help->isVisible());
  }

  // The same with the keys alone: Alt, to the "?" menu, up to Options, into
  // Language, the entry, Return.
  static void switchWithTheKeys(MDIForm1* main, bool toEnglish) {
    main->activateWindow();
    QTRY_VERIFY(main->isActiveWindow());
    QTest::keyClick(main, Qt::Key_Alt, Qt::AltModifier);
    QTRY_VERIFY(main->menuBar()->hasFocus());
    QTest::keyClick(main->menuBar(), Qt::Key_Left);
    QTest::keyClick(main->menuBar(), Qt::Key_Down);
    QMenu* help = main->menu("mnuHelp");
    QTRY_VERIFY(help->isVisible());
    QTest::keyClick(help, Qt::Key_Up);
    QTest::keyClick(help, Qt::Key_Right);
    QMenu* options = main->menu("mnuOpt");
    QTRY_VERIFY(options->isVisible());
    QTest::keyClick(options, Qt::Key_Right);
    QMenu* language = main->menu("mnuSprach");
    QTRY_VERIFY(language->isVisible());
    if (toEnglish) QTest::keyClick(language, Qt::Key_Down);
    QSignalSpy chosen(main->action(toEnglish ? "mnuSprache_engl" : "mnuSprache_dtsch"), &QAction::triggered);
    QTest::keyClick(language, Qt::Key_Return);
    QTRY_COMPARE(chosen.count(), 1);
    QTRY_VERIFY(!help->isVisible());
  }

  void speaksOneLanguage() {
    const std::array<QSet<QString>, 2> only = onlyOneLanguage();

    QStringList faults;
    for (auto w = walks_[0].windows.cbegin(); w != walks_[0].windows.cend(); ++w) {
      const Shown& english = walks_[1].windows.value(w.key());
      for (auto e = w->texts.cbegin(); e != w->texts.cend(); ++e) {
        const QString other = english.texts.value(e.key());
        if (!e.value().isEmpty() && e.value() == other && !neutral(e.value()))
          faults << QStringLiteral("%1 %2: \"%3\" in both languages").arg(w.key(), e.key(), e.value());
      }
    }
    for (int l = 0; l < 2; ++l)
      for (auto w = walks_[l].windows.cbegin(); w != walks_[l].windows.cend(); ++w)
        for (const QString& t : w->texts)
          if (only[1 - l].contains(t))
            faults << QStringLiteral("%1 (%2): \"%3\" of the other language").arg(w.key(), l ? "en" : "de", t);
    for (const QString& fault : faults) qWarning("%s", qPrintable(fault));
    QVERIFY(faults.isEmpty());
  }

  // Every window open, with its results: a switch German -> English ->
  // German through the menu re-captions each at once (visible or hidden),
  // keeps every field, result and enabled state, and renders the notes and
  // the picture in the new language; back in German all is as it was.
  void aSwitchReachesEveryOpenWindowAndKeepsItsResults() {
    M1::resetState();
    M1::state().resultsFolder = results_.path() + '/';
    test::ScriptedSeam scripted;
    frmNec::setEngineFactory([] { return std::make_unique<test::FakeNecEngine>(); });
    auto main = std::make_unique<MDIForm1>();
    main->switchLanguage(Language::German);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));

    frmHauptform* f = main->mainForm();
    for (int band : {1, 3, 5}) f->setBandValue(band, BandState::Counted);
    QTest::mouseClick(f->Command1, Qt::LeftButton);
    QVERIFY(f->Command2->isEnabled());
    QVERIFY(f->Info->text().contains(QString::fromUtf8("Mögliche Speisepunkte")));

    frmSpeisePkt* allBands = frmSpeisePkt::openAllBands();
    QTest::mouseClick(allBands->cmdRechnen, Qt::LeftButton);
    frmSpeisePkt* oneFrequency = frmSpeisePkt::openOneFrequency();
    oneFrequency->Text3->setText("8,1");
    QTest::mouseClick(oneFrequency->cmdRechnen, Qt::LeftButton);
    frmSpeisePkt* impedance = frmSpeisePkt::openImpedance();
    impedance->Text2->setText("0,8");
    QTest::mouseClick(impedance->cmdRechnen, Qt::LeftButton);
    frmSpeisePkt* scan = frmSpeisePkt::openScan();
    QTest::mouseClick(scan->cmdRechnen, Qt::LeftButton);
    frmVk::mnuVk();
    frmVk* vk = frmVk::loaded();
    QTest::mouseClick(vk->Command1, Qt::LeftButton);
    ZusatzDipol::mnuBerZusDipol();
    ZusatzDipol* dipole = ZusatzDipol::loaded();
    dipole->Text1->setText("18,1");
    QTest::mouseClick(dipole->Command1, Qt::LeftButton);
    frmNec::mnuBerNec();
    frmNec* nec = frmNec::loaded();
    {
      QSignalSpy finished(nec, &frmNec::checkFinished);
      QTest::mouseClick(nec->checkButton, Qt::LeftButton);
      QVERIFY(finished.wait(10000));
    }
    QVERIFY(nec->resultTable->rowCount() > 0);
    QTest::mouseClick(f->Command2, Qt::LeftButton);  // the report in the viewer
    frmRTF* viewer = frmRTF::loaded();
    QVERIFY(viewer && viewer->isVisible());
    // One window put away: a hidden window follows the switch as well.
    scan->close();
    QVERIFY(scan->isHidden() || scan->parentWidget()->isHidden());
    for (QWidget* w : std::initializer_list<QWidget*>{allBands, oneFrequency, impedance, vk, dipole, nec})
      QVERIFY(!w->isHidden());

    const QList<std::pair<QString, QWidget*>> windows = {
        {"main window", main.get()}, {"main form", f},  {"all bands", allBands}, {"one frequency", oneFrequency},
        {"impedance", impedance},    {"scan", scan},    {"calculator", vk},      {"dipole", dipole},
        {"nec check", nec},          {"viewer", viewer}};
    QMap<QString, Held> german;
    const auto keep = [&](const QList<std::pair<QString, QWidget*>>& list) {
      for (const auto& [key, w] : list) german[key] = held(w);
    };
    keep(windows);
    QVERIFY(f->Combo1->currentText().endsWith(" Luft"));
    const QImage germanPicture = f->Bild1->pixmap().toImage();

    const std::array<QSet<QString>, 2> only = onlyOneLanguage();
    QStringList faults;
    const auto check = [&](int lang, const QList<std::pair<QString, QWidget*>>& list) {
      Walk walk;
      for (const auto& [key, w] : list) {
        walk.visit(key, w, nullptr);
        const Held now = held(w);
        if (now.state != german[key].state)
          for (auto e = german[key].state.cbegin(); e != german[key].state.cend(); ++e)
            if (now.state.value(e.key()) != e.value())
              faults << QStringLiteral("%1 %2: \"%3\" became \"%4\"")
                            .arg(key, e.key(), e.value(), now.state.value(e.key()));
        if (lang == 0 && now.words != german[key].words)
          for (auto e = german[key].words.cbegin(); e != german[key].words.cend(); ++e)
            if (now.words.value(e.key()) != e.value())
              faults << QStringLiteral("%1 %2: \"%3\" came back as \"%4\"")
                            .arg(key, e.key(), e.value(), now.words.value(e.key()));
      }
      for (auto w = walk.windows.cbegin(); w != walk.windows.cend(); ++w)
        for (const QString& t : w->texts)
          if (only[1 - lang].contains(t))
            faults << QStringLiteral("%1 (%2): \"%3\" of the other language").arg(w.key(), lang ? "en" : "de", t);
    };

    switchThroughTheMenu(main.get(), "mnuSprache_engl");
    check(1, windows);
    QVERIFY(f->Info->text().contains("Possible feed points (x) for "));
    QVERIFY(f->Info->text().contains("The Feed point - Check is available as text file 'SpeisePkt.txt'."));
    QVERIFY(f->Info->text().contains("The additional dipole calculation is available as text file"));
    QVERIFY(nec->hintLabel->text().contains("Written: "));
    QVERIFY(f->Combo1->currentText().endsWith(" Air"));
    QVERIFY(f->Bild1->pixmap().toImage() != germanPicture);
    // Back with the keys, from the display command: working the menu is no
    // leaving of the command, which stays enabled.
    f->Command2->setFocus();
    switchWithTheKeys(main.get(), false);
    QCOMPARE(M1::state().language, Language::German);
    check(0, windows);

    // The calculator's window in its pruning layout, with a result.
    frmVk::mnuPruning();
    vk->Text2->setText("14");
    vk->Combo1->setEditText("14,2");
    QTest::mouseClick(vk->Command1, Qt::LeftButton);
    QVERIFY(!vk->Label9->text().isEmpty());
    keep({{"pruning", vk}});
    switchThroughTheMenu(main.get(), "mnuSprache_engl");
    check(1, {{"pruning", vk}});
    switchThroughTheMenu(main.get(), "mnuSprache_dtsch");
    check(0, {{"pruning", vk}});
    for (const QString& fault : faults) qWarning("%s", qPrintable(fault));
    QVERIFY(faults.isEmpty());

    frmNec::setEngineFactory({});
    frmRTF::unload();
    Forms::unloadAll();
    main.reset();
  }

  // A window made just wide enough for its German captions (as cascading
  // does) grows with a switch to English, so that no caption is cut.
  void aSwitchGrowsAWindowTooNarrowForTheNewCaptions() {
    M1::resetState();
    M1::state().resultsFolder = results_.path() + '/';
    test::ScriptedSeam scripted;
    auto main = std::make_unique<MDIForm1>();
    main->switchLanguage(Language::German);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    frmHauptform* f = main->mainForm();
    for (int band : {1, 3, 5}) f->setBandValue(band, BandState::Counted);
    QTest::mouseClick(f->Command1, Qt::LeftButton);
    frmNec::mnuBerNec();
    auto* sub = qobject_cast<QMdiSubWindow*>(frmNec::loaded()->parentWidget());
    QVERIFY(sub);
    sub->resize(sub->minimumSizeHint());
    QApplication::processEvents();
    switchThroughTheMenu(main.get(), "mnuSprache_engl");
    QStringList cut;
    for (QLabel* label : frmNec::loaded()->findChildren<QLabel*>())
      if (label->isVisible() && !label->wordWrap() && label->width() < label->minimumSizeHint().width())
        cut << label->text();
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(" | ")));
    switchThroughTheMenu(main.get(), "mnuSprache_dtsch");
    frmRTF::unload();
    Forms::unloadAll();
    main.reset();
  }

  // Icons, access keys and whole captions, in both languages.
  void everyWindowLooksFinished() {
    QStringList faults;
    for (const QString& f : walks_[0].faults) faults << "de: " + f;
    for (const QString& f : walks_[1].faults) faults << "en: " + f;
    for (const QString& fault : faults) qWarning("%s", qPrintable(fault));
    QVERIFY(faults.isEmpty());
  }
};

QTEST_MAIN(WindowsTest)
#include "test_windows.moc"
