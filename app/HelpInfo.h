// The three small commands of the main menu: open the manual with the
// desktop's PDF program, the Info box, and printing the input form.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace lorvant::HelpInfo {

// A program the desktop registers for a kind of file, with the fixed
// arguments of its launcher; the file goes where the launcher wants it.
struct Launcher {
  QString program;        // absolute path; empty when there is none
  QStringList arguments;  // the file's place is marked by kFilePlaceholder
};
inline constexpr const char* kFilePlaceholder = "\x01file";

// What the commands ask of the desktop; tests replace the entries.
struct Platform {
  std::function<Launcher(const QString& file)> findProgram;
  std::function<bool(const QString& program, const QStringList& arguments)> start;
  std::function<QString()> programDir;
};
Platform& platform();
// Also brings back the system's default printer (Printout::defaultPrinter).
void resetPlatform();

// The desktop's program for a file: asks xdg-mime for the default
// application of the file's type and reads its desktop entry.
Launcher desktopProgramFor(const QString& file);
// Parses the Exec line of a desktop entry into a launcher (field codes for
// files become the placeholder; without one the file is appended).
Launcher launcherFromExec(const QString& exec);

// The manual in the current language: beside the program (a build tree),
// else in the installed documentation folder (LORVANT_DOCDIR_FROM_BINDIR,
// relative to the program's folder) when that folder exists.
QString helpPath();

void mnuHilfe(QWidget* parent);
void mnuInfo(QWidget* parent);
void mnuDatDruck(QWidget* parent);

// The text of the Info box.
QString infoText();

}  // namespace lorvant::HelpInfo
