#include "calc/picture/ImageCanvas.h"

namespace lorvant {

QImage ImageCanvas::image() const {
  QImage view(reinterpret_cast<const uchar*>(pixels()), width(), height(),
              static_cast<qsizetype>(width()) * 4, QImage::Format_RGB32);
  QImage copy = view.copy();
  copy.setDotsPerMeterX(kPictureDotsPerMetre);
  copy.setDotsPerMeterY(kPictureDotsPerMetre);
  return copy;
}

}  // namespace lorvant
