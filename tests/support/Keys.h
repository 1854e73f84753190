// Input as the user gives it in window tests: keys pressed and released one
// by one, and clicks on a button's face.
#pragma once

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

namespace lorvant::test {

// Focuses the field, selects all and types `text` over it (an empty text is
// a Backspace), so that the field's key filter and events see every key.
inline void replace(QLineEdit* e, const QString& text) {
  e->setFocus();
  e->selectAll();
  if (text.isEmpty())
    QTest::keyClick(e, Qt::Key_Backspace);
  else
    QTest::keyClicks(e, text);
}

// A click near the left edge, where a check box's or option's box is.
inline void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }

}  // namespace lorvant::test
