#include <QApplication>
#include <cstring>
#include <iostream>
#include <memory>

#include "app/MDIForm1.h"
#include "app/StartUp.h"
#include "engine/version.h"

namespace {

// Also the text of the manual page (made from this output at build time),
// so it keeps the layout the page generator reads: "Usage:", a description,
// headed option lists, then free text.
constexpr const char* kHelp =
    "Usage: lorvant [--help | --version] [Qt options]\n"
    "\n"
    "Lorvant is a calculator for radio amateurs who plan multiband wire antennas\n"
    "fed off centre: current-sum antennas and the classic WINDOM. For a wire it\n"
    "computes each band's standing-wave current at every centimetre, averages the\n"
    "chosen bands into the current sum, and proposes the length and the feed points\n"
    "that serve those bands best, with approximate feed impedances. Further tools\n"
    "check a feed point on all bands, estimate the shortening factor, compute how\n"
    "much to prune a measured antenna and size an additional dipole. Reports are\n"
    "written into a results folder chosen at the first start; every text exists in\n"
    "German and in English.\n"
    "\n"
    "Options:\n"
    "  --version                     print the version and exit\n"
    "  --help                        this text\n"
    "\n"
    "Qt's own options are taken as well, for example -platform NAME or -style NAME.\n"
    "lorvant-calc runs the same calculations without a window.\n"
    "\n"
    "Files:\n"
    "  ~/.config/Lorvant/Lorvant.conf\n"
    "      window position and size, results folder and language\n"
    "  /usr/share/doc/lorvant/Lorvant.pdf, Lorvant_en.pdf\n"
    "      the manuals that Help (F1) opens (share/doc/lorvant of another\n"
    "      installation folder; beside the program in a build tree)\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt starts, so that they need no display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "lorvant " << lorvant::kVersionText << '\n';
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << kHelp;
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("Lorvant");
  QApplication::setOrganizationName("Lorvant");
  QApplication::setApplicationVersion(QString::fromLatin1(lorvant::kVersionText));
  // Lets the desktop match the windows to the desktop entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(LORVANT_APP_ID));
  const std::unique_ptr<lorvant::MDIForm1> window(lorvant::Module1::startUp());
  return QApplication::exec();
}
