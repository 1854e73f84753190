// The main window: menus, the area holding the tool windows, the status bar.
#pragma once

#include <QMainWindow>

class QMdiArea;
class QLabel;

namespace lorvant {

class MDIForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit MDIForm1(QWidget* parent = nullptr);

  QMdiArea* mdiArea() const { return area_; }
  // Panel 1 of the status bar.
  void setStatusText(const QString& text);
  QString statusText() const;

 private:
  QMdiArea* area_;
  QLabel* panel1_;
};

}  // namespace lorvant
