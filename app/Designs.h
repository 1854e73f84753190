// Designs the user keeps: the File menu's "Save design", "Open design" and
// recent designs, and the last inputs kept at exit and restored at start.
// A design is gathered from every loaded window (each gives its inputs) and
// handed back to them (each takes its own); the part of a window that is
// not open waits until the window is opened.
#pragma once

#include <QString>
#include <QStringList>

#include "session/design.h"

class QMenu;

namespace lorvant {
class MDIForm1;
}

namespace lorvant::Designs {

// The File menu's entries: connects them and fills the recent list.
void connectMenu(MDIForm1* main);

// The inputs of every window now.
design::Design current();
// Shows a design in the windows.
void apply(const design::Design& d);

// The commands. Each returns whether the design was saved or opened.
bool save(MDIForm1* main);
bool open(MDIForm1* main);
bool openFile(MDIForm1* main, const QString& path);

// The recent designs, newest first (at most kRecentCount).
inline constexpr int kRecentCount = 8;
QStringList recent();
// The submenu of the recent designs, filled again for the present list.
void fillRecentMenu(MDIForm1* main, QMenu* menu);

// The file of the last inputs, beside the settings.
QString lastInputsPath();
// At exit: the inputs of every window into that file (quietly; a failure
// only costs the restoring).
void keepLastInputs();
// At start: the last inputs back into the windows. A file that is refused
// is said; the windows keep their loaded values.
void restoreLastInputs(MDIForm1* main);

}  // namespace lorvant::Designs
