#include <QApplication>

#include "shell/ui/MDIForm1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Lorvant");
  lorvant::MDIForm1 window;
  window.show();
  return QApplication::exec();
}
