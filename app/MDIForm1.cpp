#include "app/MDIForm1.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <optional>

#include "app/Designs.h"
#include "app/HelpInfo.h"
#include "app/Wiring.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Files.h"
#include "shell/ui/Forms.h"
#include "shell/ui/Look.h"
#include "shell/ui/Settings.h"
#include "text/bilingual.h"
#include "windows/dipole/ZusatzDipol.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"
#include "windows/nec/frmNec.h"
#include "windows/viewer/frmRTF.h"
#include "windows/vk/frmVk.h"

namespace lorvant {
namespace {

enum class Kind { Item, Submenu, Separator };

struct MenuEntry {
  const char* name;
  const char* parent;  // "" for the menu bar
  Kind kind;
  std::optional<Text> caption;  // none for a separator; its German is also the design caption unless `design` is set
  QKeyCombination shortcut = QKeyCombination();
  const char* design = nullptr;
};

constexpr QKeyCombination kNone{};

// The main window's size at a first start (twips; 15 to a pixel at 96 dpi).
constexpr int kDefaultWidthTwips = 13200;
constexpr int kDefaultHeightTwips = 10800;
constexpr QKeyCombination ctrl(Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); }

// The whole menu tree in its order.
const MenuEntry kMenu[] = {
    {"mnuDat", "", Kind::Submenu, Text::MenuFile},
    {"mnuEntwurfOeffnen", "mnuDat", Kind::Item, Text::MenuOpenDesign},
    {"mnuEntwurfSpeichern", "mnuDat", Kind::Item, Text::MenuSaveDesign},
    {"mnuZuletzt", "mnuDat", Kind::Submenu, Text::MenuRecentDesigns},
    {"mnuTrenn9", "mnuDat", Kind::Separator, std::nullopt},
    {"mnuAnz", "mnuDat", Kind::Submenu, Text::MenuDisplayPrint},
    {"mnuAnzeigen", "mnuAnz", Kind::Item, Text::MenuShowAntennaReport},
    {"mnuSpeisePktBer", "mnuAnz", Kind::Item, Text::MenuShowFeedReport},
    {"mnuZusatzDipBer", "mnuAnz", Kind::Item, Text::MenuShowDipoleReport},
    {"mnuSpezTab", "mnuAnz", Kind::Item, Text::MenuShowSpecialTable},
    {"mnuDatDruck", "mnuDat", Kind::Item, Text::MenuPrintInputs},
    {"mnuTrenn5", "mnuDat", Kind::Separator, std::nullopt},
    {"mnuOrdner", "mnuDat", Kind::Item, Text::MenuResultsFolder},
    {"mnuTrenn6", "mnuDat", Kind::Separator, std::nullopt},
    {"mnuEnde", "mnuDat", Kind::Item, Text::MenuExit, ctrl(Qt::Key_X)},
    {"mnuBer", "", Kind::Submenu, Text::MenuCalculate},
    {"mnuVk", "mnuBer", Kind::Item, Text::MenuShorteningFactor, ctrl(Qt::Key_V)},
    {"mnuBerStromsAnt", "mnuBer", Kind::Item, Text::MenuCurrentSumAntenna, ctrl(Qt::Key_S)},
    {"mnuTrenn1", "mnuBer", Kind::Separator, std::nullopt},
    {"mnuBerSpeise", "mnuBer", Kind::Submenu, Text::MenuCheckFeedPoint},
    {"mnuBerSpeisePktLänge", "mnuBerSpeise", Kind::Item, Text::MenuFeedOneDistance, ctrl(Qt::Key_L)},
    {"mnuTrenn2", "mnuBerSpeise", Kind::Separator, std::nullopt},
    {"mnuBerSpeisePktQRG", "mnuBerSpeise", Kind::Item, Text::MenuFeedOneFrequency, ctrl(Qt::Key_F)},
    {"mnuBerSpeisePkt", "mnuBerSpeise", Kind::Item, Text::MenuFeedAllFrequencies, ctrl(Qt::Key_A)},
    {"mnuPruning", "mnuBer", Kind::Item, Text::MenuPruning, ctrl(Qt::Key_O)},
    {"mnuTrenn3", "mnuBer", Kind::Separator, std::nullopt},
    {"mnuBerImpedanz", "mnuBer", Kind::Item, Text::MenuImpedance},
    {"mnuTrenn4", "mnuBer", Kind::Separator, std::nullopt},
    {"mnuBerZusDipol", "mnuBer", Kind::Item, Text::MenuAdditionalDipole, kNone,
     "&Zusatz-Dipol/Windom (strahlungsgekoppelt)"},
    {"mnuTrenn8", "mnuBer", Kind::Separator, std::nullopt},
    {"mnuBerNec", "mnuBer", Kind::Item, Text::MenuNecCheck},
    {"mnuFenster", "", Kind::Submenu, Text::MenuWindow},
    {"mnuUeberlappend", "mnuFenster", Kind::Item, Text::MenuCascade},
    {"mnuNebeneinander", "mnuFenster", Kind::Item, Text::MenuTile},
    {"mnuFensterListe", "mnuFenster", Kind::Separator, std::nullopt},
    {"mnuHelp", "", Kind::Submenu, Text::MenuHelpMenu},
    {"mnuHilfe", "mnuHelp", Kind::Item, Text::MenuHelp, QKeyCombination(Qt::Key_F1)},
    {"mnuInfo", "mnuHelp", Kind::Item, Text::MenuInfo, ctrl(Qt::Key_F1)},
    {"mnuTrenn7", "mnuHelp", Kind::Separator, std::nullopt},
    {"mnuOpt", "mnuHelp", Kind::Submenu, Text::MenuOptions, kNone, "&Options"},
    {"mnuSprach", "mnuOpt", Kind::Submenu, Text::MenuLanguage},
    {"mnuSprache_dtsch", "mnuSprach", Kind::Item, Text::MenuGerman},
    {"mnuSprache_engl", "mnuSprach", Kind::Item, Text::MenuEnglish},
};

// Whether an adopted window is shown (inside the main area or on its own),
// independent of whether the main window itself is on screen yet.
bool shown(QWidget* form) {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) return !sub->isHidden() && !form->isHidden();
  return !form->isHidden();
}

double dotsPerInch(const QWidget* w) {
  const QScreen* screen = w->screen();
  return screen ? screen->logicalDotsPerInch() : 96.0;
}

}  // namespace

MDIForm1::MDIForm1(QWidget* parent) : QMainWindow(parent), area_(new QMdiArea(this)), panel1_(new QLabel(this)) {
  Look::installProgramIcon();
  setObjectName("MDIForm1");
  setWindowTitle("Lorvant");
  setCentralWidget(area_);
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  statusBar()->setObjectName("StatusBar1");
  statusBar()->addWidget(panel1_, 1);
  // Room for the largest tool window (the NEC-2 check) whole, and for the
  // main input form with its picture in its own pixels.
  resize(kDefaultWidthTwips / 15, kDefaultHeightTwips / 15);
  buildMenus();
  connectMenus();
  Designs::connectMenu(this);
  // Ctrl+A, Ctrl+V and Ctrl+X are also menu shortcuts here; in a field or
  // result box they edit.
  Fields::keepEditingKeys();
  Forms::setMain(this);
  app::connectToolWindows();
  // However the program comes to its end (the viewer closed last, the
  // session ending), the close request runs once: settings written, every
  // window put away.
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
    if (!closing_) close();
  });
}

frmHauptform* MDIForm1::mainForm() {
  const bool fresh = frmHauptform::loaded() == nullptr;
  frmHauptform* form = frmHauptform::instance();
  if (fresh) {
    Forms::show(form);
    // The main input form opens in the top left corner; the area scrolls
    // to what does not fit.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) sub->move(0, 0);
  }
  if (runWatched_ != form) {
    runWatched_ = form;
    connect(form, &frmHauptform::runFinished, this, &MDIForm1::runFinished);
  }
  return form;
}

void MDIForm1::runFinished(bool completed) {
  // "&Rechnen" opens the feed-point scan again; the feed-point checks need
  // an antenna, so their submenu opens with the first run that got one.
  action("mnuBerSpeisePkt")->setEnabled(true);
  if (completed) action("mnuBerSpeise")->setEnabled(true);
  // The NEC-2 check models the last run's design; one that ended early left none.
  action("mnuBerNec")->setEnabled(completed);
}

void MDIForm1::setStatusText(const QString& text) { panel1_->setText(text); }

QString MDIForm1::statusText() const { return panel1_->text(); }

QAction* MDIForm1::action(const char* name) const { return action(QString::fromUtf8(name)); }

QAction* MDIForm1::action(const QString& name) const { return actions_.value(name, nullptr); }

QMenu* MDIForm1::menu(const char* name) const { return menus_.value(QString::fromUtf8(name), nullptr); }

void MDIForm1::buildMenus() {
  for (const MenuEntry& e : kMenu) {
    const QString name = QString::fromUtf8(e.name);
    const QString caption = e.design    ? QString::fromUtf8(e.design)
                            : e.caption ? sayIn(Language::German, *e.caption)
                                        : QString();
    const QString parentName = QString::fromUtf8(e.parent);
    QMenu* parentMenu = parentName.isEmpty() ? nullptr : menus_.value(parentName);
    QAction* a = nullptr;
    switch (e.kind) {
      case Kind::Submenu: {
        QMenu* m = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
        m->setObjectName(name);
        menus_.insert(name, m);
        a = m->menuAction();
        break;
      }
      case Kind::Separator:
        a = parentMenu->addSeparator();
        break;
      case Kind::Item:
        a = parentMenu->addAction(caption);
        if (e.shortcut != kNone) a->setShortcut(QKeySequence(e.shortcut));
        break;
    }
    a->setObjectName(name);
    actions_.insert(name, a);
  }
  action("mnuSprache_dtsch")->setCheckable(true);
  action("mnuSprache_engl")->setCheckable(true);
  action("mnuSprache_dtsch")->setChecked(true);
  // No feed-point check before the first run has fixed the antenna.
  action("mnuBerSpeise")->setEnabled(false);
}

void MDIForm1::connectMenus() {
  const auto on = [this](const char* name, auto&& handler) {
    connect(action(name), &QAction::triggered, this, std::forward<decltype(handler)>(handler));
  };
  connect(menu("mnuDat"), &QMenu::aboutToShow, this, &MDIForm1::updateFileMenu);
  connect(menu("mnuFenster"), &QMenu::aboutToShow, this, &MDIForm1::updateWindowMenu);
  on("mnuUeberlappend", [this] { area_->cascadeSubWindows(); });
  on("mnuNebeneinander", [this] { area_->tileSubWindows(); });

  on("mnuAnzeigen", [] { Module1::showFile(Module1::state().reportPath); });
  on("mnuSpeisePktBer", [] { Module1::showFile(Module1::resultFile("SpeisePkt.txt")); });
  on("mnuZusatzDipBer", [] { Module1::showFile(Module1::resultFile("ZusatzDipol.txt")); });
  on("mnuSpezTab", [] { Module1::showFile(Module1::resultFile("AntSpezi.txt")); });
  on("mnuOrdner", [this] { Module1::chooseResultsFolder(this); });
  on("mnuEnde", [this] { close(); });
  on("mnuBerStromsAnt", [this] { Forms::show(mainForm()); });
  on("mnuSprache_dtsch", [this] { switchLanguage(Language::German); });
  on("mnuSprache_engl", [this] { switchLanguage(Language::English); });
  on("mnuVk", [] { frmVk::mnuVk(); });
  on("mnuPruning", [] { frmVk::mnuPruning(); });
  on("mnuBerZusDipol", [] { ZusatzDipol::mnuBerZusDipol(); });
  on("mnuHilfe", [this] { HelpInfo::mnuHilfe(this); });
  on("mnuInfo", [this] { HelpInfo::mnuInfo(this); });
  on("mnuDatDruck", [this] { HelpInfo::mnuDatDruck(this); });
  on("mnuBerSpeisePktLänge", [] { frmSpeisePkt::openAllBands(); });
  on("mnuBerSpeisePktQRG", [] { frmSpeisePkt::openOneFrequency(); });
  on("mnuBerImpedanz", [] { frmSpeisePkt::openImpedance(); });
  on("mnuBerSpeisePkt", [] { frmSpeisePkt::openScan(); });
  on("mnuBerNec", [] { frmNec::mnuBerNec(); });
  // Nothing to model before a run has completed.
  action("mnuBerNec")->setEnabled(false);
}

void MDIForm1::load() {
  const double dpi = dotsPerInch(this);
  const auto stored = [&](const char* key, float fallback) -> std::optional<int> {
    const QString text = Settings::get(QString::fromLatin1(key), Settings::fromSingle(fallback));
    const std::optional<float> twips = Settings::toSingle(text);
    if (!twips) return std::nullopt;
    return Settings::twipsToPixels(*twips, dpi);
  };
  if (const auto left = stored("MainLeft", 15)) move(*left, y());
  if (const auto top = stored("MainTop", 1200)) move(x(), *top);
  if (const auto width = stored("MainWidth", kDefaultWidthTwips); width && *width > 0) resize(*width, height());
  if (const auto height = stored("MainHeight", kDefaultHeightTwips); height && *height > 0) resize(width(), *height);
  Look::keepOnScreen(this);

  Module1::State& s = Module1::state();
  s.resultsFolder = Settings::get(QStringLiteral("SpeicherOrdner"), QString());
  // Every result path is folder + name: a folder typed without its final
  // separator would put the files beside it.
  if (!s.resultsFolder.isEmpty() && !s.resultsFolder.endsWith('/')) s.resultsFolder += '/';
  // A first start speaks the desktop's language, so that its first question
  // can be read; from then on the stored choice counts.
  s.language = Settings::getLanguage(QLocale().language() == QLocale::German ? Language::German : Language::English);

  Look::applyQtLanguage();
  applyCaptions();
}

void MDIForm1::applyCaptions() {
  const bool de = Module1::german();
  action("mnuSprache_dtsch")->setChecked(de);
  action("mnuSprache_engl")->setChecked(!de);
  setWindowTitle(QStringLiteral("Lorvant"));
  setStatusText(say(Text::MenuReadyStatus));
  for (const MenuEntry& e : kMenu)
    if (e.caption) action(e.name)->setText(say(*e.caption));
}

void MDIForm1::switchLanguage(Language lang) {
  Module1::state().language = lang;
  Look::applyQtLanguage();
  applyCaptions();
  // Every loaded window at once, shown or hidden: none keeps the old
  // language until it is opened again.
  mainForm()->HauptForm_Sprache();
  frmSpeisePkt::applyLanguage();
  if (frmVk* vk = frmVk::loaded()) vk->applyCaptions();
  if (ZusatzDipol* dipole = ZusatzDipol::loaded()) dipole->applyCaptions();
  if (frmNec* nec = frmNec::loaded()) nec->applyCaptions();
  if (frmRTF* viewer = frmRTF::loaded()) viewer->applyCaptions();
  seam().processEvents();
  // Longer captions of the other language must not be cut in a window the
  // user (or cascading) made just wide enough for the old ones.
  for (QMdiSubWindow* sub : area_->subWindowList()) {
    if (QLayout* layout = sub->widget() ? sub->widget()->layout() : nullptr) layout->activate();
    const QSize least = sub->minimumSizeHint();
    if (sub->width() < least.width() || sub->height() < least.height()) sub->resize(sub->size().expandedTo(least));
  }
}

void MDIForm1::updateFileMenu() {
  action("mnuDatDruck")->setEnabled(shown(mainForm()));
  const auto exists = [](const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); };
  const QString report = Module1::state().reportPath;
  action("mnuAnz")->setEnabled(exists(report));
  // Each entry shows one file: one that is not there is nothing to show
  // (and would only end in an error box).
  action("mnuAnzeigen")->setEnabled(exists(report));
  action("mnuSpeisePktBer")->setEnabled(exists(Module1::resultFile("SpeisePkt.txt")));
  action("mnuZusatzDipBer")->setEnabled(exists(Module1::resultFile("ZusatzDipol.txt")));
  action("mnuSpezTab")->setEnabled(exists(Module1::resultFile("AntSpezi.txt")));
}

QList<QMdiSubWindow*> MDIForm1::openWindows() const {
  QList<QMdiSubWindow*> open;
  for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder))
    if (!sub->isHidden()) open << sub;
  return open;
}

void MDIForm1::updateWindowMenu() {
  QMenu* m = menu("mnuFenster");
  // The entries after the separator are the open windows as they are now.
  const QList<QAction*> entries = m->actions();
  for (qsizetype i = entries.indexOf(action("mnuFensterListe")) + 1; i < entries.size(); ++i) delete entries[i];
  const QList<QMdiSubWindow*> open = openWindows();
  action("mnuUeberlappend")->setEnabled(!open.isEmpty());
  action("mnuNebeneinander")->setEnabled(!open.isEmpty());
  action("mnuFensterListe")->setVisible(!open.isEmpty());
  for (int i = 0; i < open.size(); ++i) {
    QMdiSubWindow* sub = open[i];
    QString title = sub->widget() ? sub->widget()->windowTitle().trimmed() : sub->windowTitle();
    title.replace(QLatin1Char('&'), QStringLiteral("&&"));
    const QString number = i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1);
    QAction* a = m->addAction(number + title);
    a->setCheckable(true);
    a->setChecked(sub == area_->activeSubWindow());
    connect(a, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
      if (sub) area_->setActiveSubWindow(sub);
    });
  }
}

void MDIForm1::activate() {
  if (closing_) return;
  mainForm()->syncSpinnerFromVk();
}

bool MDIForm1::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) activate();
  return QMainWindow::event(e);
}

void MDIForm1::saveSettings() {
  if (!isMinimized()) {
    const double dpi = dotsPerInch(this);
    const auto twips = [dpi](int pixels) { return Settings::fromSingle(Settings::pixelsToTwips(pixels, dpi)); };
    Settings::save(QStringLiteral("MainLeft"), twips(x()));
    Settings::save(QStringLiteral("MainTop"), twips(y()));
    Settings::save(QStringLiteral("MainWidth"), twips(width()));
    Settings::save(QStringLiteral("MainHeight"), twips(height()));
  }
  Settings::save(QStringLiteral("SpeicherOrdner"), Module1::state().resultsFolder);
  Settings::saveLanguage(Module1::state().language);
}

void MDIForm1::closeEvent(QCloseEvent* e) {
  // The close request is never refused: settings first, then every tool
  // window, the most recently loaded first.
  closing_ = true;
  saveSettings();
  Designs::keepLastInputs();
  frmRTF::unload();
  Forms::unloadAll();
  e->accept();
  // The program ends with its main window, by its Beenden as by its close
  // button, and does not wait for "the last window closed": a window that
  // does not count for it would keep the program alive unseen.
  QCoreApplication::quit();
}

}  // namespace lorvant
