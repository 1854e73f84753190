#include "shell/Seam.h"

#include <QApplication>
#include <QColorDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <algorithm>

#include "session/question.h"
#include "shell/Module1.h"
#include "shell/ui/Forms.h"
#include "text/bilingual.h"

namespace lorvant {
namespace {

QMessageBox::Icon toQtIcon(Icon icon) {
  switch (icon) {
    case Icon::Critical:
      return QMessageBox::Critical;
    case Icon::Exclamation:
      return QMessageBox::Warning;
    case Icon::Question:
      return QMessageBox::Question;
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

struct ButtonSet {
  QList<QMessageBox::StandardButton> qt;
  QList<Answer> answers;
};

ButtonSet buttonSet(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return {{QMessageBox::Ok}, {Answer::Ok}};
    case Buttons::OkCancel:
      return {{QMessageBox::Ok, QMessageBox::Cancel}, {Answer::Ok, Answer::Cancel}};
    case Buttons::YesNo:
      return {{QMessageBox::Yes, QMessageBox::No}, {Answer::Yes, Answer::No}};
    case Buttons::YesNoCancel:
      return {{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, {Answer::Yes, Answer::No, Answer::Cancel}};
    case Buttons::AbortRetryIgnore:
      return {{QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore},
              {Answer::Abort, Answer::Retry, Answer::Ignore}};
  }
  return {{QMessageBox::Ok}, {Answer::Ok}};
}

// What a closed box means when the user escapes it.
Answer escapeAnswer(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
      return Answer::Cancel;
    case Buttons::YesNo:
      return Answer::No;
    case Buttons::AbortRetryIgnore:
      return Answer::Abort;
  }
  return Answer::Cancel;
}

class DesktopProgress : public ProgressHandle {
 public:
  DesktopProgress(QWidget* parent, const QString& label)
      : dialog_(label, QProgressDialog::tr("Cancel"), 0, 1000, parent) {
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    timer_.start();
  }
  bool update(double fraction) override {
    // Keep the event loop turning only every few milliseconds: the work
    // itself must dominate.
    if (timer_.elapsed() - last_ >= 30) {
      last_ = timer_.elapsed();
      dialog_.setValue(static_cast<int>(fraction * 1000));
      QApplication::processEvents();
    }
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
  QElapsedTimer timer_;
  qint64 last_ = 0;
};

// A text laid out in lines of its own is shown as written where the screen
// has room: the box would otherwise break its lines again at half the screen
// width and leave a ragged edge of long and short lines.
void keepLines(QMessageBox& box, const QString& text, QWidget* parent) {
  QLabel* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  if (!label || !screen) return;
  const QFontMetrics fm(label->font());
  int widest = 0;
  for (const QString& line : text.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n"))))
    widest = std::max(widest, fm.horizontalAdvance(line));
  // Icon, margins and frame take the rest; a line too long for that wraps.
  const int room = screen->availableGeometry().width() - 120;
  label->setMinimumWidth(std::min(widest + fm.averageCharWidth(), room));
}

class DesktopSeam : public UiSeam {
 public:
  Answer message(QWidget* parent, const MessageRequest& r) override {
    QMessageBox box(toQtIcon(r.icon), r.title, r.text, QMessageBox::NoButton, parent);
    const ButtonSet set = buttonSet(r.buttons);
    QList<QPushButton*> made;
    for (auto b : set.qt) made.append(box.addButton(b));
    const int def = std::clamp(r.defaultButton, 1, static_cast<int>(made.size())) - 1;
    box.setDefaultButton(made[def]);
    keepLines(box, r.text, parent);
    const bool restoreBusy = QApplication::overrideCursor() != nullptr;
    if (restoreBusy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (restoreBusy) QApplication::restoreOverrideCursor();
    const int index = made.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return index >= 0 ? set.answers[index] : escapeAnswer(r.buttons);
  }

  void beep() override { QApplication::beep(); }
  void processEvents() override { QApplication::processEvents(); }

  std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                  const QString& defaultText) override {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
  }

  std::optional<FileDialogResult> openFile(QWidget* parent, const FileDialogRequest& r) override {
    return fileDialog(parent, r, QFileDialog::AcceptOpen);
  }
  std::optional<FileDialogResult> saveFile(QWidget* parent, const FileDialogRequest& r) override {
    return fileDialog(parent, r, QFileDialog::AcceptSave);
  }

  std::optional<QString> chooseFolder(QWidget* parent, const QString& title, const QString& initial) override {
    const QString dir = QFileDialog::getExistingDirectory(parent, title, initial);
    if (dir.isEmpty()) return std::nullopt;
    return dir;
  }

  std::optional<FontChoice> chooseFont(QWidget* parent, const FontChoice& initial) override {
    // The dialog picks its list entries by family and style name. A family
    // that is not installed would land on another one, and without a style
    // name it takes the first style of the list, often "Oblique"; so it gets
    // the font the text is really shown in.
    const QFontInfo shown(initial.font);
    QFont preset = initial.font;
    preset.setFamilies({shown.family()});
    preset.setStyleName(shown.styleName());
    bool ok = false;
    QFont font = QFontDialog::getFont(&ok, preset, parent);
    if (!ok) return std::nullopt;
    // An untouched family keeps the name the text asked for.
    if (font.family() == shown.family()) font.setFamilies(initial.font.families());
    const QColor color = QColorDialog::getColor(initial.color, parent);
    return FontChoice{font, color.isValid() ? color : initial.color};
  }

  std::optional<PrintChoice> choosePrinter(QWidget* parent, QPrinter& printer, const PrintRequest& r) override {
    QPrintDialog dialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions opts;
    if (r.hasSelection) opts |= QAbstractPrintDialog::PrintSelection;
    dialog.setOptions(opts);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return PrintChoice{dialog.printRange() == QAbstractPrintDialog::Selection};
  }

  std::unique_ptr<ProgressHandle> startProgress(QWidget* parent, const QString& label) override {
    return std::make_unique<DesktopProgress>(parent, label);
  }

  void setBusy(bool busy) override {
    if (busy)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (QApplication::overrideCursor())
      QApplication::restoreOverrideCursor();
  }

 private:
  static std::optional<FileDialogResult> fileDialog(QWidget* parent, const FileDialogRequest& r,
                                                    QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, r.title, r.initialFolder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!r.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = splitFilter(r.filter);
    dialog.setNameFilters(filters);
    if (r.filterIndex >= 1 && r.filterIndex <= filters.size()) dialog.selectNameFilter(filters[r.filterIndex - 1]);
    if (!r.proposedName.isEmpty()) dialog.selectFile(r.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return FileDialogResult{dialog.selectedFiles().first(),
                            static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1};
  }
};

// A refusal's reason stays in the status bar until the next key or click,
// which gives the bar back what it said before - unless something else has
// written there meanwhile.
class ReasonInStatus final : public QObject {
 public:
  static void show(const QString& reason) {
    static QPointer<ReasonInStatus> watch;
    if (!watch) watch = new ReasonInStatus(qApp);
    if (!watch->showing_) {
      watch->before_ = Forms::status();
      watch->showing_ = true;
      qApp->installEventFilter(watch);
    }
    watch->reason_ = reason;
    Forms::setStatus(reason);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::ShortcutOverride:
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        restore();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  using QObject::QObject;

  void restore() {
    qApp->removeEventFilter(this);
    showing_ = false;
    if (Forms::status() == reason_) Forms::setStatus(before_);
  }

  bool showing_ = false;
  QString before_, reason_;
};

DesktopSeam& desktopSeam() {
  static DesktopSeam instance;
  return instance;
}

UiSeam* installed = nullptr;

}  // namespace

UiSeam& seam() { return installed ? *installed : desktopSeam(); }

void setSeam(UiSeam* replacement) { installed = replacement; }

Answer showMessage(QWidget* parent, const QString& text, const QString& title, Icon icon, Buttons buttons,
                   int defaultButton) {
  return seam().message(parent, MessageRequest{text, title, icon, buttons, defaultButton});
}

Answer ask(QWidget* parent, const Question& q) {
  return showMessage(parent, QString::fromStdString(q.text), QString::fromStdString(q.title), q.icon, q.buttons,
                     q.defaultButton);
}

void refuse(const QString& reason) {
  seam().beep();
  if (qApp && !reason.isEmpty()) ReasonInStatus::show(reason);
}

void refuse(const Reason& reason) { refuse(QString::fromStdString(reason.in(Module1::language()))); }

Answer SeamAsker::ask(const Question& q) { return lorvant::ask(parent_, q); }

QStringList splitFilter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i];
    const QString pattern = parts[i + 1].trimmed();
    // Qt reads the patterns from the parentheses of the name.
    if (!name.contains('('))
      name += " (" + pattern + ")";
    else if (!pattern.isEmpty())
      name = name.left(name.indexOf('(')) + "(" + pattern + ")";
    out << name;
  }
  return out;
}

}  // namespace lorvant
