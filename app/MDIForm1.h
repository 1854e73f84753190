// The main window: the menu bar, the area holding the tool windows and the
// status bar. It restores and stores the window geometry, the results folder
// and the language, and switches the language of the menus.
//
// Tool windows connect their menu entries through action(), e.g.
//   connect(main->action("mnuVk"), &QAction::triggered, ...);
// Until a tool connects, its entry does nothing.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include "engine/common.h"
#include "shell/ui/Forms.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMdiSubWindow;

namespace lorvant {
class frmHauptform;

class MDIForm1 : public QMainWindow, public Workspace {
  Q_OBJECT
 public:
  // Creates the window with its menus (design captions) and makes it the
  // program's main window (Forms::main()).
  explicit MDIForm1(QWidget* parent = nullptr);

  QWidget* mainWidget() override { return this; }
  QMdiArea* mdiArea() const override { return area_; }
  // Panel 1 of the status bar.
  void setStatusText(const QString& text) override;
  QString statusText() const override;

  // A menu entry by its name ("mnuEnde", "mnuBerSpeise", ...); for a
  // submenu its entry in the parent menu. nullptr for an unknown name.
  QAction* action(const char* name) const;
  QAction* action(const QString& name) const;
  // A submenu by its name ("mnuDat", "mnuBerSpeise", ...).
  QMenu* menu(const char* name) const;

  // Load: geometry, results folder and language from the settings, then the
  // captions. Each step on its own: a stored value that is no number leaves
  // that part of the geometry as it was.
  void load();
  // Captions, check marks and status text for the current language.
  void applyCaptions();
  // The language entries.
  void switchLanguage(Language lang);
  // Opening "&Datei": enables the printing of the inputs and the display
  // submenu by what is there to print and display.
  void updateFileMenu();
  // Opening "&Fenster": the list of open windows, the active one checked.
  void updateWindowMenu();
  // Activation: the main input form (loaded on first use) sets its spinner
  // from its shortening factor.
  void activate();
  // The main input form, loaded (and so shown) on first use.
  frmHauptform* mainForm();

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  // The windows shown inside the area, in the order they were made.
  QList<QMdiSubWindow*> openWindows() const;
  void buildMenus();
  void connectMenus();
  void saveSettings();
  // The end of a run of the main input form opens the feed-point menus.
  void runFinished(bool completed);

  QMdiArea* area_;
  QLabel* panel1_;
  QHash<QString, QAction*> actions_;
  QHash<QString, QMenu*> menus_;
  QPointer<frmHauptform> runWatched_;
  bool closing_ = false;
};

}  // namespace lorvant
