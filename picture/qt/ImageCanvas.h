// The current-curve picture as a Qt image, for the window that shows it.
#pragma once

#include <QImage>

#include "picture/BitmapCanvas.h"

namespace lorvant {

class ImageCanvas final : public BitmapCanvas {
 public:
  using BitmapCanvas::BitmapCanvas;

  // A copy of the picture as it stands.
  QImage image() const;
};

}  // namespace lorvant
