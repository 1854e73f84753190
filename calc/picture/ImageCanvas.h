// The current-curve picture drawn into an image: the canvas of the
// optimisation run for the program's window and for the batch tool.
#pragma once

#include <QFont>
#include <QRgb>
#include <array>
#include <QImage>

#include "calc/curves.h"

namespace lorvant {

// Default pixel size of the picture: 0.8 pixel per user unit across and
// 1 pixel per unit down, so the 1340 x 209 units become 1072 x 209 pixels.
inline constexpr int kPicturePixelWidth = 1072;
inline constexpr int kPicturePixelHeight = 209;

// Text needs the fonts of a QGuiApplication (for a batch tool: one with the
// "offscreen" platform).
class ImageCanvas final : public Canvas {
 public:
  explicit ImageCanvas(int pixelWidth = kPicturePixelWidth, int pixelHeight = kPicturePixelHeight);

  void setup() override;
  void clear() override;
  void point(double x, double y, int colour) override;
  void text(double x, double y, std::string_view utf8, int colour) override;
  double textWidth(std::string_view utf8) const override;
  // A BMP file's bytes (24 bits per pixel).
  std::string bitmap() const override;

  const QImage& image() const { return image_; }
  // Pixel position of a user coordinate (rounded down to the pixel).
  int pixelX(double x) const;
  int pixelY(double y) const;

 private:
  QImage image_;
  QFont font_;
  std::array<QRgb, 16> palette_{};
  double sx_, sy_;  // pixels per user unit
};

}  // namespace lorvant
