#include "picture/qt/ImageCanvas.h"

namespace lorvant {

QImage ImageCanvas::image() const {
  QRgb palette[16];
  for (int c = 0; c < 16; ++c) {
    const Rgb rgb = PaletteColour(c);
    palette[c] = qRgb(rgb.r, rgb.g, rgb.b);
  }
  QImage image(width(), height(), QImage::Format_RGB32);
  image.setDotsPerMeterX(kPictureDotsPerMetre);
  image.setDotsPerMeterY(kPictureDotsPerMetre);
  for (int y = 0; y < height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width(); ++x) line[x] = palette[colourAt(x, y)];
  }
  return image;
}

}  // namespace lorvant
