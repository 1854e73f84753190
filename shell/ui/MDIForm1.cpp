#include "shell/ui/MDIForm1.h"

#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>

namespace lorvant {

MDIForm1::MDIForm1(QWidget* parent) : QMainWindow(parent), area_(new QMdiArea(this)), panel1_(new QLabel(this)) {
  setObjectName("MDIForm1");
  setWindowTitle("Lorvant");
  setCentralWidget(area_);
  statusBar()->addWidget(panel1_, 1);
  resize(788, 623);
}

void MDIForm1::setStatusText(const QString& text) { panel1_->setText(text); }

QString MDIForm1::statusText() const { return panel1_->text(); }

}  // namespace lorvant
