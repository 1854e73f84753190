// The one door through which the program talks to its user outside its own
// windows: message boxes, beeps, input boxes, file/folder/font/print
// dialogs, progress and "let pending events run". The desktop seam shows
// real dialogs; tests install a scripted seam and read what was asked.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "engine/common.h"
#include "session/question.h"
#include "text/bilingual.h"

class QWidget;
class QPrinter;

namespace lorvant {

struct MessageRequest {
  QString text;
  QString title;
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;
  int defaultButton = 1;  // 1-based
};

struct FileDialogRequest {
  QString title;
  QString initialFolder;
  QString proposedName;
  QString filter;       // "Rich Text File (*.Rtf)|*.rtf|Text File (*.Txt)|*.txt|..."
  int filterIndex = 1;  // 1-based preselected entry
  bool overwritePrompt = false;
};

struct FileDialogResult {
  QString path;
  int filterIndex = 1;  // 1-based entry the user chose
};

struct FontChoice {
  QFont font;
  QColor color;
};

struct PrintRequest {
  bool hasSelection = false;  // offer "print selection"
};

struct PrintChoice {
  bool selectionOnly = false;
};

// A running progress display; update returns false once the user cancelled.
class ProgressHandle {
 public:
  virtual ~ProgressHandle() = default;
  virtual bool update(double fraction) = 0;
};

class UiSeam {
 public:
  virtual ~UiSeam() = default;

  virtual Answer message(QWidget* parent, const MessageRequest& request) = 0;
  virtual void beep() = 0;
  virtual void processEvents() = 0;
  virtual std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                          const QString& defaultText) = 0;
  virtual std::optional<FileDialogResult> openFile(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual std::optional<FileDialogResult> saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
  virtual std::optional<QString> chooseFolder(QWidget* parent, const QString& title, const QString& initialFolder) = 0;
  virtual std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) = 0;
  // Configures `printer` (a real printer or a PDF file in tests).
  virtual std::optional<PrintChoice> choosePrinter(QWidget* parent, QPrinter& printer, const PrintRequest& request) = 0;
  // A progress display that appears only when the work lasts longer than
  // about half a second.
  virtual std::unique_ptr<ProgressHandle> startProgress(QWidget* parent, const QString& label) = 0;
  virtual void setBusy(bool busy) = 0;  // hourglass pointer
};

// The installed seam (the desktop seam unless a test replaced it).
UiSeam& seam();
// Installs a seam (not owned); nullptr restores the desktop seam.
void setSeam(UiSeam* replacement);

// Convenience for the common cases.
Answer showMessage(QWidget* parent, const QString& text, const QString& title, Icon icon, Buttons buttons = Buttons::Ok,
                   int defaultButton = 1);
Answer ask(QWidget* parent, const Question& q);  // a calc question through the seam

// Refuses an input: the beep, and its reason in the main window's status
// bar until the user's next key or click (on many desktops the beep is
// silent, and a refusal must not look like nothing happened).
void refuse(const QString& reason);
void refuse(const Reason& reason);  // in the current language

// Converts "Name (*.x)|*.x|Other (*.y)|*.y" to Qt's ";;" filter list.
QStringList splitFilter(const QString& filter);

// Answers a calculation's questions through the seam.
class SeamAsker : public Asker {
 public:
  explicit SeamAsker(QWidget* parent) : parent_(parent) {}
  Answer ask(const Question& q) override;

 private:
  QWidget* parent_;
};

}  // namespace lorvant
