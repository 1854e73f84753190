// The Qt font that the built-in label font reproduces, and the surface Qt
// draws it on: for the build tool that renders the table and for the test
// that holds the two side by side.
#pragma once

#include <QFont>
#include <QImage>

#include "picture/BitmapCanvas.h"

namespace lorvant::labelfont {

inline constexpr const char* kFamily = "DejaVu Sans";

inline QFont QtFont() {
  QFont font(kFamily);
  font.setPointSize(8);
  // Crisp text in the single colours of the palette, as the points are.
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

// A white image at the picture's resolution.
inline QImage QtSurface(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.setDotsPerMeterX(kPictureDotsPerMetre);
  image.setDotsPerMeterY(kPictureDotsPerMetre);
  image.fill(Qt::white);
  return image;
}

}  // namespace lorvant::labelfont
