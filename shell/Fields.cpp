#include "shell/Fields.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <string>

#include "engine/numparse.h"
#include "shell/Module1.h"

namespace lorvant::Fields {
namespace {

bool isEditingKey(const QKeyEvent* key) {
  for (QKeySequence::StandardKey k : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut,
                                      QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo})
    if (key->matches(k)) return true;
  return false;
}

class NumberFilter final : public QObject {
 public:
  NumberFilter(QWidget* owner, QLineEdit* edit, std::u32string_view keySet)
      : QObject(owner), edit_(edit), keys_(keySet) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
        return refusesKey(static_cast<QKeyEvent*>(event));
      case QEvent::ContextMenu:
        if (watched != edit_) return false;
        showMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
      case QEvent::MouseButtonRelease: {
        // Where the platform has a selection, the middle button pastes it.
        QClipboard* clipboard = QGuiApplication::clipboard();
        return watched == edit_ && static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton &&
               !edit_->isReadOnly() && clipboard->supportsSelection() &&
               !passes(clipboard->text(QClipboard::Selection));
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!drop->mimeData()->hasText() || passes(drop->mimeData()->text())) return false;
        drop->ignore();
        return true;
      }
      case QEvent::InputMethod: {
        auto* input = static_cast<QInputMethodEvent*>(event);
        if (passes(input->commitString())) return false;
        // The composition ends without its text.
        QInputMethodEvent cleared;
        QCoreApplication::sendEvent(watched, &cleared);
        return true;
      }
      default:
        return false;
    }
  }

 private:
  // Every character must be one the field takes; the first that is not is
  // refused by the key filter (a pasted backspace is text, not a key).
  bool passes(const QString& text) const {
    for (char32_t c : text.toUcs4())
      if (c == 8 || !KeyAccepted(c, keys_)) {
        Module1::keyFilter(c == 8 ? -1 : static_cast<int>(c), keys_);
        return false;
      }
    return true;
  }

  bool refusesKey(const QKeyEvent* key) const {
    if (key->matches(QKeySequence::Paste)) return !passes(QGuiApplication::clipboard()->text());
    if (isEditingKey(key)) return false;
    // Only keys that type a character are filtered; moving keys, Delete and
    // Tab (the way to the next field) are not characters the field receives.
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Delete || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
      return false;
    return Module1::keyFilter(static_cast<int>(text.toUcs4().value(0)), keys_) == 0;
  }

  // The field's own menu, whose paste goes through the filter.
  void showMenu(const QPoint& at) {
    QMenu* menu = edit_->createStandardContextMenu();
    if (!menu) return;
    for (QAction* a : menu->actions()) {
      if (QObject::disconnect(a, &QAction::triggered, edit_, &QLineEdit::paste) ||
          QObject::disconnect(a, SIGNAL(triggered()), edit_, SLOT(paste())))
        connect(a, &QAction::triggered, edit_, [this] {
          if (passes(QGuiApplication::clipboard()->text())) edit_->paste();
        });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(at);
  }

  QLineEdit* edit_;
  std::u32string keys_;
};

bool isTextWidget(QObject* o) {
  if (qobject_cast<QLineEdit*>(o) || qobject_cast<QPlainTextEdit*>(o) || qobject_cast<QTextEdit*>(o) ||
      qobject_cast<QAbstractSpinBox*>(o))
    return true;
  const auto* combo = qobject_cast<QComboBox*>(o);
  return combo && combo->isEditable();
}

// A shortcut is tried only when the focused widget does not claim the key
// (ShortcutOverride). Editable fields claim the editing keys themselves; a
// read-only result box does not, so its Ctrl+A went to the menu.
class EditingKeys final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride || watched != QApplication::focusWidget() || !isTextWidget(watched) ||
        !isEditingKey(static_cast<QKeyEvent*>(event)))
      return false;
    event->accept();
    return true;
  }
};

}  // namespace

void filterNumbers(QLineEdit* field, std::u32string_view keySet) {
  field->installEventFilter(new NumberFilter(field, field, keySet));
}

void filterNumbers(QComboBox* field, std::u32string_view keySet) {
  auto* filter = new NumberFilter(field, field->lineEdit(), keySet);
  field->installEventFilter(filter);
  field->lineEdit()->installEventFilter(filter);
}

void keepTypedText(QComboBox* combo) {
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
}

void keepEditingKeys() {
  static QPointer<QObject> guard;
  if (guard) return;
  guard = new EditingKeys(qApp);
  qApp->installEventFilter(guard);
}

}  // namespace lorvant::Fields
