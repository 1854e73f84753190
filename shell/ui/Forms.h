// Where the windows meet: the main window, the status text, and the list of
// loaded tool windows (created on first use, hidden when closed, destroyed
// at shut-down, the most recently loaded first).
//
// Each tool window class offers
//   static T* instance();  // loads it on first use
//   static T* loaded();    // nullptr while not loaded
// and calls Forms::adopt() when it is created.
#pragma once

#include <QString>
#include <functional>

class QWidget;
class QMdiArea;
class QMdiSubWindow;

namespace lorvant {

// The main window as the windows see it: the area that holds them and the
// status text. The program's main window (app/MDIForm1) is one; the windows
// never need to know more of it.
class Workspace {
 public:
  virtual QWidget* mainWidget() = 0;
  virtual QMdiArea* mdiArea() const = 0;
  virtual void setStatusText(const QString& text) = 0;
  virtual QString statusText() const = 0;

 protected:
  ~Workspace() = default;
};

namespace Forms {

Workspace* main();      // nullptr before start-up (and in window tests)
QWidget* mainWidget();  // the same as a parent for boxes and dialogs
void setMain(Workspace* window);

// Places a tool window into the main window's area (top-level when there is
// no main window) and remembers it for unloading.
void adopt(QWidget* form);
// Calls `activated` each time an adopted window becomes the active one:
// inside the main window's area when its sub-window does, on its own (no
// main window around it) when it does.
void onActivation(QWidget* form, std::function<void()> activated);
// Shows an adopted window (its sub-window inside the main area).
void show(QWidget* form);
// Hides an adopted window without destroying it.
void hide(QWidget* form);
// Destroys every adopted window, the most recently loaded first.
void unloadAll();
bool unloading();  // true while unloadAll runs (forms then really close)

// Panel 1 of the main window's status bar; "" when there is no main window.
void setStatus(const QString& text);
QString status();

}  // namespace Forms
}  // namespace lorvant
