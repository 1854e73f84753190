#include "shell/ui/Forms.h"

#include <QEvent>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QVector>
#include <algorithm>

namespace lorvant::Forms {
namespace {
// The workspace, and its widget to learn when it is gone.
Workspace* workspace = nullptr;
QPointer<QWidget> workspaceWidget;
QVector<QPointer<QWidget>> adopted;
bool inUnload = false;
QString statusWithoutMain;

QMdiSubWindow* subWindowOf(QWidget* form) {
  return form ? qobject_cast<QMdiSubWindow*>(form->parentWidget()) : nullptr;
}

// A window opens whole inside the area, no larger than the area on its
// first showing (never below what keeps it usable); where even that does
// not fit it stands at the top left and the area scrolls to the rest. A
// window shown again keeps the size the user gave it.
void placeInside(QMdiSubWindow* sub, QMdiArea* area) {
  if (sub->isMaximized() || sub->isMinimized()) return;
  const QSize room = area->viewport()->size();
  static const char* const kPlaced = "lorvantPlaced";
  if (!sub->property(kPlaced).toBool()) {
    sub->setProperty(kPlaced, true);
    sub->resize(sub->size().boundedTo(room).expandedTo(sub->minimumSizeHint()));
  }
  sub->move(std::clamp(sub->x(), 0, std::max(0, room.width() - sub->width())),
            std::clamp(sub->y(), 0, std::max(0, room.height() - sub->height())));
}

// A window of its own learns of its activation from its events.
class ActivationWatch : public QObject {
 public:
  ActivationWatch(QWidget* form, std::function<void()> activated) : QObject(form), activated_(std::move(activated)) {
    form->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WindowActivate) activated_();
    return false;
  }

 private:
  std::function<void()> activated_;
};
}  // namespace

Workspace* main() { return workspaceWidget ? workspace : nullptr; }

QWidget* mainWidget() { return workspaceWidget.data(); }

void setMain(Workspace* window) {
  workspace = window;
  workspaceWidget = window ? window->mainWidget() : nullptr;
}

void adopt(QWidget* form) {
  adopted.append(form);
  if (Workspace* w = main()) {
    QMdiSubWindow* sub = w->mdiArea()->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
  }
}

void onActivation(QWidget* form, std::function<void()> activated) {
  if (QMdiSubWindow* sub = subWindowOf(form)) {
    QObject::connect(sub, &QMdiSubWindow::windowStateChanged, form,
                     [activated = std::move(activated)](Qt::WindowStates before, Qt::WindowStates now) {
                       if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive)) activated();
                     });
  } else {
    new ActivationWatch(form, std::move(activated));
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
    if (QMdiArea* area = sub->mdiArea()) placeInside(sub, area);
    sub->raise();
    if (Workspace* w = main()) w->mdiArea()->setActiveSubWindow(sub);
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
  if (Workspace* w = main())
    w->setStatusText(text);
  else
    statusWithoutMain = text;
}

QString status() {
  Workspace* w = main();
  return w ? w->statusText() : statusWithoutMain;
}

}  // namespace lorvant::Forms
