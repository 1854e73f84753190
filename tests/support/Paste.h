// The ways text enters a field without being typed, as a user takes them:
// the context menu's Paste, the middle mouse button, a drop.
#pragma once

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>

namespace lorvant::test {

// The line edit that shows a field's text (a list's own line edit).
inline QWidget* textPart(QWidget* field) {
  if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit()) return combo->lineEdit();
  return field;
}

// Right click into the field, then "Paste" in the menu that comes up.
// False when no menu with a Paste entry appeared.
inline bool pasteFromContextMenu(QWidget* field, const QString& clipboardText) {
  QGuiApplication::clipboard()->setText(clipboardText);
  QWidget* target = textPart(field);
  target->setFocus();
  const QPoint at(4, target->height() / 2);
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
  QCoreApplication::sendEvent(target, &click);
  QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (!menu) return false;
  QAction* paste = nullptr;
  for (QAction* a : menu->actions())
    if (a->text().startsWith(QLatin1String("&Paste"))) paste = a;
  if (paste) paste->trigger();
  menu->close();
  return paste != nullptr;
}

// The middle button pastes the selection where the platform has one.
inline bool pasteSelection(QWidget* field, const QString& selectedText) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->supportsSelection()) return false;
  clipboard->setText(selectedText, QClipboard::Selection);
  QWidget* target = textPart(field);
  QTest::mouseClick(target, Qt::MiddleButton, {}, QPoint(target->width() - 4, target->height() / 2));
  return true;
}

// Text dragged from elsewhere and dropped on the field.
inline void dropText(QWidget* field, const QString& text) {
  QWidget* target = textPart(field);
  QMimeData data;
  data.setText(text);
  const QPointF at(target->width() - 4, target->height() / 2.0);
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
  QCoreApplication::sendEvent(target, &enter);
  QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
  QCoreApplication::sendEvent(target, &move);
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
  QCoreApplication::sendEvent(target, &drop);
}

}  // namespace lorvant::test
