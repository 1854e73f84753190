// What the two build tools that render a font table with Qt (the label font
// and the SWR picture's faces) share: the scratch image a character is drawn
// on alone, its inked box, the 1/64 pixel of Qt's metrics, and the kerning
// of every pair of characters.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "text/format.h"
#include "tools/fonts/LabelFontQt.h"

namespace lorvant::fonttool {

// Where a glyph is drawn on its scratch image: far enough from the edges
// for any glyph of the sizes the picture uses.
inline constexpr int kScratch = 64;
inline constexpr int kOriginX = 16;
inline constexpr int kBaseline = 40;

inline std::int16_t In64ths(double pixels) { return static_cast<std::int16_t>(std::lround(pixels * 64)); }

// The character a Windows-1252 byte stands for.
inline QString CharOfByte(int byte) {
  const std::string text = report::FromCp1252(std::string(1, static_cast<char>(byte)));
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The bounding box of the drawn (not white) pixels; x1 < 0 for a blank.
struct Box {
  int x0 = kScratch, y0 = kScratch, x1 = -1, y1 = -1;
  bool blank() const { return x1 < 0; }
  bool touchesEdge() const { return x0 == 0 || y0 == 0 || x1 == kScratch - 1 || y1 == kScratch - 1; }
};

inline Box InkBox(const QImage& scratch) {
  Box b;
  for (int y = 0; y < kScratch; ++y)
    for (int x = 0; x < kScratch; ++x)
      if (scratch.pixel(x, y) != qRgb(255, 255, 255)) {
        b.x0 = std::min(b.x0, x);
        b.y0 = std::min(b.y0, y);
        b.x1 = std::max(b.x1, x);
        b.y1 = std::max(b.y1, y);
      }
  return b;
}

// One character drawn alone in black on its white scratch image.
inline QImage DrawnAlone(const QString& c, const QFont& font) {
  QImage scratch = labelfont::QtSurface(kScratch, kScratch);
  QPainter painter(&scratch);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(kOriginX, kBaseline), c);
  return scratch;
}

// A glyph's place and size from its inked box, relative to the origin.
template <class Glyph>
void Place(Glyph& g, const Box& box) {
  g.left = static_cast<std::int8_t>(box.x0 - kOriginX);
  g.top = static_cast<std::int8_t>(box.y0 - kBaseline);
  g.width = static_cast<std::uint8_t>(box.x1 - box.x0 + 1);
  g.height = static_cast<std::uint8_t>(box.y1 - box.y0 + 1);
}

// Every pair whose advance differs from the sum of its two, in the order of
// the pair (first byte, then second): `table` has `chars` (empty for a byte
// without a character) and `glyphs` with their advances.
template <class Kerning, class Table>
std::vector<Kerning> Kernings(const Table& table, const QFontMetricsF& metrics) {
  std::vector<Kerning> kerning;
  for (int a = 0; a < 256; ++a) {
    const QString& ca = table.chars[static_cast<std::size_t>(a)];
    if (ca.isEmpty()) continue;
    for (int b = 0; b < 256; ++b) {
      const QString& cb = table.chars[static_cast<std::size_t>(b)];
      if (cb.isEmpty()) continue;
      const int adjust = In64ths(metrics.horizontalAdvance(ca + cb)) -
                         table.glyphs[static_cast<std::size_t>(a)].advance -
                         table.glyphs[static_cast<std::size_t>(b)].advance;
      if (adjust != 0) kerning.push_back({static_cast<std::uint16_t>(a * 256 + b), static_cast<std::int16_t>(adjust)});
    }
  }
  return kerning;
}

}  // namespace lorvant::fonttool
