// TEMPORARY until the quick viewer lands: a plain text window.
#include "shell/ui/ViewerLink.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>

#include "shell/ui/Forms.h"

namespace lorvant::viewerlink {
namespace {
QPointer<QPlainTextEdit> viewer;
QPlainTextEdit* instance() {
  if (!viewer) {
    viewer = new QPlainTextEdit;
    viewer->setObjectName("frmRTF");
    Forms::adopt(viewer);
  }
  return viewer;
}
}  // namespace

bool setFont(const QString& family, QString*) {
  instance()->setFont(QFont(family));
  return true;
}

bool load(const QString& path, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    *error = f.errorString();
    return false;
  }
  instance()->setPlainText(QString::fromLatin1(f.readAll()));
  return true;
}

void show() { Forms::show(instance()); }

}  // namespace lorvant::viewerlink
