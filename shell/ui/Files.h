// The results folder and the small file functions every tool shares.
#pragma once

#include <QString>

class QWidget;

namespace lorvant::Module1 {

// A result file: the results folder followed by the fixed file name
// ("AntStrSu.txt", "AntSpezi.txt", "SpeisePkt.txt", "ZusatzDipol.txt").
QString resultFile(const QString& fileName);

// Whether `folder` can be listed and holds at least one ordinary file
// (hidden files, system entries and folders do not count).
bool folderHasFiles(const QString& folder);

// Start-up check: a results folder that holds no ordinary file counts as not
// set; then the user is asked for one. When he declines, the current
// directory serves for this run.
void checkResultsFolder(QWidget* parent);

// Lets the user choose (or create) the results folder; true when one was
// chosen. A folder that takes no files is refused at once and the choice
// offered again. Cancel leaves the folder as it was. The folder is stored
// when the program closes.
bool chooseResultsFolder(QWidget* parent);

// Whether the results folder takes files (a probe file is created and
// removed). When it does not, the user is told at once, with the path and
// the cause, and may choose another folder; true when the folder finally
// takes files.
bool ensureWritableResultsFolder(QWidget* parent);

// True when `path` names an existing file; otherwise tells the user so and
// returns false.
bool fileExists(const QString& path, QWidget* parent = nullptr);

}  // namespace lorvant::Module1
