#include "app/Designs.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <vector>

#include "app/MDIForm1.h"
#include "io/staged_files.h"
#include "session/messages.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Forms.h"
#include "shell/ui/Settings.h"
#include "text/bilingual.h"
#include "windows/dipole/ZusatzDipol.h"
#include "windows/feedpoint/frmSpeisePkt.h"
#include "windows/main/frmHauptform.h"
#include "windows/nec/frmNec.h"
#include "windows/vk/frmVk.h"

namespace lorvant::Designs {
namespace {

// The last design shown: what a window that was not open keeps of it.
design::Design& carried() {
  static design::Design d;
  return d;
}
// The parts of the last design shown that their windows have not taken yet.
design::Design& waiting() {
  static design::Design d;
  return d;
}

QList<frmSpeisePkt*> feedPointWindows() {
  QWidget* main = Forms::main() ? Forms::main()->mainWidget() : nullptr;
  return main ? main->findChildren<frmSpeisePkt*>() : QList<frmSpeisePkt*>();
}

// Hands the waiting parts to the windows that are open now.
void handOut() {
  design::Design& w = waiting();
  if (frmVk* vk = frmVk::loaded(); vk && vk->takeInputs(w)) {
    if (vk->calculatorLayout())
      w.calculator.reset();
    else
      w.pruning.reset();
  }
  if (ZusatzDipol* dipole = ZusatzDipol::loaded(); dipole && w.dipole) {
    dipole->takeInputs(*w.dipole);
    w.dipole.reset();
  }
  if (frmNec* nec = frmNec::loaded(); nec && w.nec) {
    nec->takeInputs(*w.nec);
    w.nec.reset();
  }
  if (w.feedPoint) {
    design::FeedPointInputs& f = *w.feedPoint;
    std::vector<feedpoint::Mode> taken;
    for (frmSpeisePkt* window : feedPointWindows())
      if (const std::optional<feedpoint::Mode> mode = window->takeInputs(f)) taken.push_back(*mode);
    for (feedpoint::Mode mode : taken) {
      switch (mode) {
        case feedpoint::Mode::AllBands:
          f.allBands.reset();
          break;
        case feedpoint::Mode::OneFrequency:
          f.oneFrequency.reset();
          break;
        case feedpoint::Mode::Impedance:
          f.currentSum.reset();
          break;
        case feedpoint::Mode::Scan:
          f.scan.reset();
          break;
      }
    }
    if (!f.allBands && !f.oneFrequency && !f.scan && !f.currentSum) w.feedPoint.reset();
  }
}

QString title(Text key) { return QStringLiteral("  ") + say(key); }

QString filter() { return say(Text::MenuDesignFilter); }

QString recentKey(int i) { return QStringLiteral("Entwurf%1").arg(i + 1); }

void storeRecent(const QStringList& list) {
  for (int i = 0; i < kRecentCount; ++i) Settings::save(recentKey(i), i < list.size() ? list[i] : QString());
}

void remember(const QString& path) {
  QStringList list = recent();
  const QString full = QFileInfo(path).absoluteFilePath();
  list.removeAll(full);
  list.prepend(full);
  while (list.size() > kRecentCount) list.removeLast();
  storeRecent(list);
}

QString startFolder() {
  const QStringList list = recent();
  if (!list.isEmpty()) return QFileInfo(list.first()).absolutePath();
  return Module1::state().resultsFolder;
}

}  // namespace

design::Design current() {
  design::Design d = carried();
  // A calculator that is not loaded, or shows the pruning, counts for
  // nothing, whatever the design said when it was opened.
  if (d.calculator && !(frmVk::loaded() && frmVk::loaded()->calculatorLayout())) d.calculator->active = false;
  frmHauptform::instance()->giveInputs(d.main);
  if (const frmVk* vk = frmVk::loaded()) vk->giveInputs(d);
  if (const ZusatzDipol* dipole = ZusatzDipol::loaded()) dipole->giveInputs(d.dipole ? *d.dipole : d.dipole.emplace());
  if (const frmNec* nec = frmNec::loaded()) nec->giveInputs(d.nec ? *d.nec : d.nec.emplace());
  for (const frmSpeisePkt* window : feedPointWindows())
    window->giveInputs(d.feedPoint ? *d.feedPoint : d.feedPoint.emplace());
  return d;
}

void apply(const design::Design& d) {
  carried() = d;
  waiting() = d;
  waiting().main = {};
  frmHauptform::instance()->takeInputs(d.main);
  // An active calculator counts in the next run: its window belongs on
  // screen with the design's values.
  if (d.calculator && d.calculator->active && !frmVk::loaded()) frmVk::mnuVk();
  handOut();
}

bool save(MDIForm1* main) {
  FileDialogRequest request{title(Text::MenuDesignSaveTitle), startFolder(), QString(), filter(), 1, true};
  const std::optional<FileDialogResult> chosen = seam().saveFile(main, request);
  if (!chosen || chosen->path.isEmpty()) return false;
  QString path = chosen->path;
  if (chosen->filterIndex == 1 && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".lorvant");
  try {
    design::WriteFile(Module1::nativePath(path), current());
  } catch (const files::FileError& e) {
    showMessage(main, qs(files::FileErrorText(Module1::language(), e.error(), Module1::nativePath(path))),
                title(Text::MenuDesignSaveTitle), Icon::Exclamation);
    return false;
  }
  remember(path);
  main->setStatusText(say(Text::MenuDesignSaved) + QDir::toNativeSeparators(path));
  return true;
}

bool openFile(MDIForm1* main, const QString& path) {
  const design::ReadResult read = design::ReadFile(Module1::nativePath(path), Module1::language());
  if (!read.design) {
    showMessage(main, qs(design::RefusalText(Module1::language(), utf8(QDir::toNativeSeparators(path)), read.refusal)),
                title(Text::MenuDesignOpenTitle), Icon::Exclamation);
    // A design that is gone leaves the recent list; a damaged one stays
    // there to be mended.
    if (!QFileInfo(path).isFile()) {
      QStringList list = recent();
      list.removeAll(QFileInfo(path).absoluteFilePath());
      storeRecent(list);
    }
    return false;
  }
  apply(*read.design);
  remember(path);
  main->setStatusText(say(Text::MenuDesignOpened) + QDir::toNativeSeparators(path));
  return true;
}

bool open(MDIForm1* main) {
  FileDialogRequest request{title(Text::MenuDesignOpenTitle), startFolder(), QString(), filter(), 1, false};
  const std::optional<FileDialogResult> chosen = seam().openFile(main, request);
  if (!chosen || chosen->path.isEmpty()) return false;
  return openFile(main, chosen->path);
}

QStringList recent() {
  QStringList list;
  for (int i = 0; i < kRecentCount; ++i) {
    const QString path = Settings::get(recentKey(i), QString());
    if (!path.isEmpty() && !list.contains(path)) list << path;
  }
  return list;
}

void fillRecentMenu(MDIForm1* main, QMenu* menu) {
  menu->clear();
  const QStringList list = recent();
  for (int i = 0; i < list.size(); ++i) {
    const QString path = list[i];
    QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
    QObject::connect(a, &QAction::triggered, main, [main, path] { openFile(main, path); });
  }
  if (list.isEmpty()) menu->addAction(say(Text::MenuRecentNone))->setEnabled(false);
}

void connectMenu(MDIForm1* main) {
  // A new main window starts without a design shown.
  carried() = {};
  waiting() = {};
  QObject::connect(main->action("mnuEntwurfOeffnen"), &QAction::triggered, main, [main] { open(main); });
  QObject::connect(main->action("mnuEntwurfSpeichern"), &QAction::triggered, main, [main] { save(main); });
  QMenu* recentMenu = main->menu("mnuZuletzt");
  // Filled when it opens: the list and its language are those of the moment.
  QObject::connect(recentMenu, &QMenu::aboutToShow, main, [main, recentMenu] { fillRecentMenu(main, recentMenu); });
  // A window opened after a design was shown takes its part of it; these
  // run after the window's own menu command.
  for (const char* entry : {"mnuVk", "mnuPruning", "mnuBerZusDipol", "mnuBerNec", "mnuBerSpeisePktLänge",
                            "mnuBerSpeisePktQRG", "mnuBerImpedanz", "mnuBerSpeisePkt"})
    QObject::connect(main->action(entry), &QAction::triggered, main, [] { handOut(); });
}

QString lastInputsPath() {
  const QSettings store(QString::fromLatin1(Settings::kOrganisation), QString::fromLatin1(Settings::kApplication));
  return QFileInfo(store.fileName()).absolutePath() + QStringLiteral("/LetzteEingaben.lorvant");
}

void keepLastInputs() {
  if (!frmHauptform::loaded()) return;
  const QString path = lastInputsPath();
  QDir().mkpath(QFileInfo(path).absolutePath());
  try {
    design::WriteFile(Module1::nativePath(path), current());
  } catch (const files::FileError&) {
    // Not kept: the next start shows the loaded values.
  }
}

void restoreLastInputs(MDIForm1* main) {
  const QString path = lastInputsPath();
  if (!QFileInfo(path).isFile()) return;
  const design::ReadResult read = design::ReadFile(Module1::nativePath(path), Module1::language());
  if (!read.design) {
    showMessage(main,
                say(Text::MenuLastInputsNotRestored) + Module1::state().lineBreak +
                    qs(design::RefusalText(Module1::language(), utf8(QDir::toNativeSeparators(path)), read.refusal)),
                title(Text::MenuDesignOpenTitle), Icon::Exclamation);
    return;
  }
  apply(*read.design);
}

}  // namespace lorvant::Designs
