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

#include "app/Designs.h"
#include "app/HelpInfo.h"
#include "app/Wiring.h"
#include "shell/Fields.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
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
  const char* german;  // also the design caption unless `design` is set
  const char* english;
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
    {"mnuDat", "", Kind::Submenu, "&Datei", "&File"},
    {"mnuEntwurfOeffnen", "mnuDat", Kind::Item, "Entwurf &öffnen", "&Open design"},
    {"mnuEntwurfSpeichern", "mnuDat", Kind::Item, "Entwurf &speichern", "Sa&ve design"},
    {"mnuZuletzt", "mnuDat", Kind::Submenu, "&Zuletzt geöffnete Entwürfe", "&Recent designs"},
    {"mnuTrenn9", "mnuDat", Kind::Separator, "-", "-"},
    {"mnuAnz", "mnuDat", Kind::Submenu, "&Anzeigen/Drucken", "&Display/printing"},
    {"mnuAnzeigen", "mnuAnz", Kind::Item, "&Antennenberechnung", "&Antenna calculation"},
    {"mnuSpeisePktBer", "mnuAnz", Kind::Item, "&Speisepunkt-Prüfung", "&Feedpoint-test"},
    {"mnuZusatzDipBer", "mnuAnz", Kind::Item, "&Zusatz-Dipol-Berechnung", "Additional &dipole calculation"},
    {"mnuSpezTab", "mnuAnz", Kind::Item, "Spezial-&Tabelle", "&Special-table"},
    {"mnuDatDruck", "mnuDat", Kind::Item, "&Eingaben drucken", "&Printing input"},
    {"mnuTrenn5", "mnuDat", Kind::Separator, "-", "-"},
    {"mnuOrdner", "mnuDat", Kind::Item, "&Ordner für Ergebnisse festlegen", "Set &folder for results"},
    {"mnuTrenn6", "mnuDat", Kind::Separator, "-", "-"},
    {"mnuEnde", "mnuDat", Kind::Item, "&Beenden", "E&xit", ctrl(Qt::Key_X)},
    {"mnuBer", "", Kind::Submenu, "&Berechnen", "&Calculate"},
    {"mnuVk", "mnuBer", Kind::Item, "1. &Verkürzungsfaktor", "1. &Shortening faktor", ctrl(Qt::Key_V)},
    {"mnuBerStromsAnt", "mnuBer", Kind::Item, "2. &Stromsummen-Antenne", "2. &Current sum-antenna", ctrl(Qt::Key_S)},
    {"mnuTrenn1", "mnuBer", Kind::Separator, "-", "-"},
    {"mnuBerSpeise", "mnuBer", Kind::Submenu, "3. Speise&punkt prüfen", "3. Check the &feed point"},
    {"mnuBerSpeisePktLänge", "mnuBerSpeise", Kind::Item, "&einen Abstand/alle Frequenzen",
     "a &distance/all frequencies", ctrl(Qt::Key_L)},
    {"mnuTrenn2", "mnuBerSpeise", Kind::Separator, "-", "-"},
    {"mnuBerSpeisePktQRG", "mnuBerSpeise", Kind::Item, "&bei einer Frequenz", "for &one frequency", ctrl(Qt::Key_F)},
    {"mnuBerSpeisePkt", "mnuBerSpeise", Kind::Item, "&alle Frequenzen", "for &all Frequencies", ctrl(Qt::Key_A)},
    {"mnuPruning", "mnuBer", Kind::Item, "4. Pruning / &Optimieren", "4. &Pruning / Optimisation", ctrl(Qt::Key_O)},
    {"mnuTrenn3", "mnuBer", Kind::Separator, "-", "-"},
    {"mnuBerImpedanz", "mnuBer", Kind::Item, "&Impedanz aus Stromsumme berechnen",
     "Calculate &impedance from current sum"},
    {"mnuTrenn4", "mnuBer", Kind::Separator, "-", "-"},
    {"mnuBerZusDipol", "mnuBer", Kind::Item, "&Zusatz-Dipol/WINDOM (strahlungsgekoppelt)",
     "&Additional dipole/WINDOM (radiation-coupled)", kNone, "&Zusatz-Dipol/Windom (strahlungsgekoppelt)"},
    {"mnuTrenn8", "mnuBer", Kind::Separator, "-", "-"},
    {"mnuBerNec", "mnuBer", Kind::Item, "&NEC-2-Prüfung", "&NEC-2 check"},
    {"mnuFenster", "", Kind::Submenu, "Fens&ter", "Wi&ndow"},
    {"mnuUeberlappend", "mnuFenster", Kind::Item, "&Überlappend", "&Cascade"},
    {"mnuNebeneinander", "mnuFenster", Kind::Item, "&Nebeneinander", "&Tile"},
    {"mnuFensterListe", "mnuFenster", Kind::Separator, "-", "-"},
    {"mnuHelp", "", Kind::Submenu, "&?", "&?"},
    {"mnuHilfe", "mnuHelp", Kind::Item, "&Hilfe", "&Help", QKeyCombination(Qt::Key_F1)},
    {"mnuInfo", "mnuHelp", Kind::Item, "&Info", "&Info", ctrl(Qt::Key_F1)},
    {"mnuTrenn7", "mnuHelp", Kind::Separator, "-", "-"},
    {"mnuOpt", "mnuHelp", Kind::Submenu, "&Optionen", "&Options", kNone, "&Options"},
    {"mnuSprach", "mnuOpt", Kind::Submenu, "&Language/Sprache", "&Language/Sprache"},
    {"mnuSprache_dtsch", "mnuSprach", Kind::Item, "&deutsch/german", "&deutsch/german"},
    {"mnuSprache_engl", "mnuSprach", Kind::Item, "&english/englisch", "&english/englisch"},
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
    const QString caption = QString::fromUtf8(e.design ? e.design : e.german);
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
  on("mnuSprache_dtsch", [this] { switchLanguage(QStringLiteral("dtsch")); });
  on("mnuSprache_engl", [this] { switchLanguage(QStringLiteral("engl")); });
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
  const QString desktop = QLocale().language() == QLocale::German ? QStringLiteral("dtsch") : QStringLiteral("engl");
  s.language = Settings::get(QStringLiteral("Sprache"), desktop);

  Look::applyQtLanguage();
  applyCaptions();
}

void MDIForm1::applyCaptions() {
  const bool de = Module1::german();
  action("mnuSprache_dtsch")->setChecked(de);
  action("mnuSprache_engl")->setChecked(!de);
  setWindowTitle(QStringLiteral("Lorvant"));
  setStatusText(Module1::tr("Status: Bereit für Antennen-Berechnungen", "Status: Ready for antennas - calculations"));
  for (const MenuEntry& e : kMenu) {
    if (e.kind == Kind::Separator) continue;
    action(e.name)->setText(QString::fromUtf8(de ? e.german : e.english));
  }
}

void MDIForm1::switchLanguage(const QString& setting) {
  Module1::state().language = setting;
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
  Settings::save(QStringLiteral("Sprache"), Module1::state().language);
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
