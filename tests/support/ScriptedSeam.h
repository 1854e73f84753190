// A seam for tests: answers come from a script, everything asked is kept.
#pragma once

#include <QList>
#include <QPrinter>
#include <deque>
#include <functional>

#include "session/question.h"
#include "shell/Seam.h"

namespace lorvant::test {

class ScriptedSeam : public UiSeam {
 public:
  ScriptedSeam() { setSeam(this); }
  ~ScriptedSeam() override { setSeam(nullptr); }

  // Scripted answers, used in order; when none is left, the first button.
  std::deque<Answer> answers;
  std::deque<std::optional<QString>> inputs;
  std::deque<std::optional<FileDialogResult>> files;
  std::deque<std::optional<QString>> folders;
  std::deque<std::optional<FontChoice>> fonts;
  // For the print dialog: configure the printer (e.g. PDF output) and choose.
  std::function<std::optional<PrintChoice>(QPrinter&, const PrintRequest&)> printer;
  int cancelProgressAfter = -1;  // updates until a cancel; -1 never

  QList<MessageRequest> messages;
  QList<FileDialogRequest> fileRequests;
  QList<PrintRequest> printRequests;
  QStringList inputPrompts;
  int beeps = 0;
  int progressUpdates = 0;
  int busyNow = 0;

  Answer message(QWidget*, const MessageRequest& r) override {
    messages.append(r);
    if (!answers.empty()) {
      const Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    switch (r.buttons) {
      case Buttons::Ok:
      case Buttons::OkCancel:
        return Answer::Ok;
      case Buttons::YesNo:
      case Buttons::YesNoCancel:
        return Answer::Yes;
      case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    }
    return Answer::Ok;
  }
  void beep() override { ++beeps; }
  void processEvents() override {}
  std::optional<QString> inputBox(QWidget*, const QString& prompt, const QString&, const QString& def) override {
    inputPrompts << prompt;
    if (inputs.empty()) return def;
    return takeFront(inputs);
  }
  std::optional<FileDialogResult> openFile(QWidget*, const FileDialogRequest& r) override { return nextFile(r); }
  std::optional<FileDialogResult> saveFile(QWidget*, const FileDialogRequest& r) override { return nextFile(r); }
  std::optional<QString> chooseFolder(QWidget*, const QString&, const QString&) override { return takeFront(folders); }
  std::optional<FontChoice> chooseFont(QWidget*, const FontChoice&) override { return takeFront(fonts); }
  std::optional<PrintChoice> choosePrinter(QWidget*, QPrinter& p, const PrintRequest& r) override {
    printRequests.append(r);
    if (!printer) return std::nullopt;
    return printer(p, r);
  }
  std::unique_ptr<ProgressHandle> startProgress(QWidget*, const QString&) override {
    return std::make_unique<Progress>(*this);
  }
  void setBusy(bool busy) override { busyNow += busy ? 1 : -1; }

  QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }

 private:
  // Moves the value out rather than copying the optional: GCC 12 warns
  // falsely (-Wmaybe-uninitialized) on copies of optional<QString>.
  template <class T>
  static std::optional<T> takeFront(std::deque<std::optional<T>>& queue) {
    std::optional<T> value;
    if (queue.empty()) return value;
    if (queue.front()) value.emplace(std::move(*queue.front()));
    queue.pop_front();
    return value;
  }
  struct Progress : ProgressHandle {
    explicit Progress(ScriptedSeam& s) : seam(s) {}
    bool update(double) override {
      ++seam.progressUpdates;
      return seam.cancelProgressAfter < 0 || seam.progressUpdates <= seam.cancelProgressAfter;
    }
    ScriptedSeam& seam;
  };
  std::optional<FileDialogResult> nextFile(const FileDialogRequest& r) {
    fileRequests.append(r);
    return takeFront(files);
  }
};

}  // namespace lorvant::test
