#include "shell/ui/Forms.h"

#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QVector>

#include "shell/ui/MDIForm1.h"

namespace lorvant::Forms {
namespace {
QPointer<MDIForm1> mainWindow;
QVector<QPointer<QWidget>> adopted;
bool inUnload = false;
QString statusWithoutMain;

QMdiSubWindow* subWindowOf(QWidget* form) {
  return form ? qobject_cast<QMdiSubWindow*>(form->parentWidget()) : nullptr;
}
}  // namespace

MDIForm1* main() { return mainWindow.data(); }

void setMain(MDIForm1* window) { mainWindow = window; }

void adopt(QWidget* form) {
  adopted.append(form);
  if (mainWindow) {
    QMdiSubWindow* sub = mainWindow->mdiArea()->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
  }
}

void show(QWidget* form) {
  if (QMdiSubWindow* sub = subWindowOf(form)) {
    // Captions may have grown since the window was sized (another layout,
    // another language); a sub-window does not follow its content by
    // itself, and what it lacks would be cut off its captions.
    if (QLayout* layout = form->layout()) layout->activate();
    sub->resize(sub->size().expandedTo(sub->minimumSizeHint()));
    sub->show();
    form->show();
    sub->raise();
    if (mainWindow) mainWindow->mdiArea()->setActiveSubWindow(sub);
  } else {
    form->show();
    form->raise();
    form->activateWindow();
  }
}

void hide(QWidget* form) {
  if (QMdiSubWindow* sub = subWindowOf(form))
    sub->hide();
  else
    form->hide();
}

void unloadAll() {
  inUnload = true;
  while (!adopted.isEmpty()) {
    QPointer<QWidget> form = adopted.takeLast();
    if (!form) continue;
    QMdiSubWindow* sub = subWindowOf(form);
    form->close();
    QWidget* victim = sub ? static_cast<QWidget*>(sub) : form.data();
    delete victim;
  }
  inUnload = false;
}

bool unloading() { return inUnload; }

void setStatus(const QString& text) {
  if (mainWindow)
    mainWindow->setStatusText(text);
  else
    statusWithoutMain = text;
}

QString status() { return mainWindow ? mainWindow->statusText() : statusWithoutMain; }

}  // namespace lorvant::Forms
