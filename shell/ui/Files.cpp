#include "shell/ui/Files.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "io/staged_files.h"
#include "session/messages.h"
#include "session/question.h"
#include "shell/Module1.h"
#include "shell/Seam.h"
#include "shell/Text.h"
#include "shell/ui/Forms.h"
#include "text/bilingual.h"

namespace lorvant::Module1 {
namespace {

QWidget* mainWindow() { return Forms::mainWidget(); }

// The folder a dialog returned, in the program's form: "/" separators and
// one "/" at the end.
QString asResultsFolder(const QString& chosen) {
  QString folder = QDir::fromNativeSeparators(chosen);
  if (!folder.endsWith('/')) folder += '/';
  return folder;
}

// "In den Ordner ... kann nicht geschrieben werden: <cause>." and a line break.
QString unwritableFolderText(const QString& folder, int error) {
  const QString& lb = state().lineBreak;
  return say(Text::WindowFolderUnwritable) + lb + QDir::toNativeSeparators(folder) + lb +
         say(Text::WindowFolderUnwritableCause) + QString::fromStdString(files::FileErrorCause(language(), error)) +
         "." + lb;
}

QString withSlash(QString folder) {
  if (!folder.endsWith('/')) folder += '/';
  return folder;
}

}  // namespace

QString resultFile(const QString& fileName) { return state().resultsFolder + fileName; }

bool folderHasFiles(const QString& folder) {
  if (folder.isEmpty()) return false;
  const QDir dir(folder);
  if (!dir.exists()) return false;
  return !dir.entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty();
}

void checkResultsFolder(QWidget* parent) {
  State& s = state();
  if (!folderHasFiles(s.resultsFolder)) s.resultsFolder.clear();
  if (!s.resultsFolder.isEmpty()) return;

  const Answer a =
      showMessage(parent, say(Text::WindowFolderAsk), say(Text::WindowFolderTitle), Icon::Critical, Buttons::OkCancel);
  if (a == Answer::Ok) {
    chooseResultsFolder(parent);
    if (!s.resultsFolder.isEmpty()) return;
  }
  s.resultsFolder = withSlash(QDir::currentPath());
}

bool chooseResultsFolder(QWidget* parent) {
  QString initial = state().resultsFolder;
  for (;;) {
    // The dialog may move the process into the chosen folder; the program's
    // own working folder stays where it was.
    const QString remembered = QDir::currentPath();
    const std::optional<QString> chosen = seam().chooseFolder(parent, say(Text::WindowFolderChoose), initial);
    QDir::setCurrent(remembered);
    if (!chosen || chosen->trimmed().isEmpty()) return false;
    const QString folder = asResultsFolder(*chosen);
    const int err = files::ProbeFolder(nativePath(folder));
    if (err == 0) {
      state().resultsFolder = folder;
      return true;
    }
    showMessage(parent, unwritableFolderText(folder, err) + say(Text::WindowFolderChooseOther),
                say(Text::WindowFolderTitle), Icon::Critical);
    initial = folder;
  }
}

bool ensureWritableResultsFolder(QWidget* parent) {
  for (;;) {
    const QString folder = state().resultsFolder;
    const int err = files::ProbeFolder(nativePath(folder));
    if (err == 0) return true;
    const Answer a = showMessage(parent, unwritableFolderText(folder, err) + say(Text::WindowFolderChooseOtherNow),
                                 say(Text::WindowFolderTitle), Icon::Critical, Buttons::YesNo);
    if (a != Answer::Yes || !chooseResultsFolder(parent)) return false;
  }
}

bool fileExists(const QString& path, QWidget* parent) {
  if (!path.isEmpty() && QFileInfo(path).isFile()) return true;
  const QString& lb = state().lineBreak;
  const QString text = say(Text::WindowFileNamed) + lb + path + "  " + lb + say(Text::WindowFileMissing);
  showMessage(parent ? parent : mainWindow(), text, say(Text::WindowFileMissingTitle), Icon::Critical);
  return false;
}

}  // namespace lorvant::Module1
