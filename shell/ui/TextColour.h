// Text colours of the 16-colour palette on widgets: 0 black, 12 light red.
#pragma once

#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

#include "session/toolfields.h"

namespace lorvant::ui {

inline QColor paletteColour(TextColour c) { return c == TextColour::Red ? QColor(255, 0, 0) : QColor(0, 0, 0); }

// Labels draw with WindowText, edit fields with Text; both are set.
inline void setTextColour(QWidget* w, TextColour c) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, paletteColour(c));
  p.setColor(QPalette::Text, paletteColour(c));
  w->setPalette(p);
  if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) combo->lineEdit()->setPalette(p);
}

inline TextColour textColour(const QWidget* w) {
  const auto* combo = qobject_cast<const QComboBox*>(w);
  const QWidget* shown = combo && combo->lineEdit() ? combo->lineEdit() : w;
  const QColor c =
      shown->palette().color(qobject_cast<const QLineEdit*>(shown) ? QPalette::Text : QPalette::WindowText);
  return c == QColor(255, 0, 0) ? TextColour::Red : TextColour::Black;
}

}  // namespace lorvant::ui
