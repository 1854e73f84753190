#include <QApplication>
#include <memory>

#include "shell/ui/MDIForm1.h"
#include "shell/ui/StartUp.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Lorvant");
  QApplication::setOrganizationName("Lorvant");
  const std::unique_ptr<lorvant::MDIForm1> window(lorvant::Module1::startUp());
  return QApplication::exec();
}
