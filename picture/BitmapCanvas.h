// The current-curve picture drawn into pixels in memory: the canvas of the
// optimisation run for the program's window and for the batch tool. Plain
// C++; text in the built-in label font. Everything in the picture has one
// of the sixteen palette colours, so a pixel is its colour number.
#pragma once

#include <cstdint>
#include <vector>

#include "picture/curve_picture.h"

namespace lorvant {

// 96 dots per inch, so that a point size means the same on every machine.
inline constexpr int kPictureDotsPerMetre = 3780;

class BitmapCanvas : public Canvas {
 public:
  explicit BitmapCanvas(int pixelWidth = kPicturePixelWidth, int pixelHeight = kPicturePixelHeight);

  void setup() override;
  void clear() override;
  void point(double x, double y, int colour) override;
  void text(double x, double y, std::string_view utf8, int colour) override;
  double textWidth(std::string_view utf8) const override;
  double unitsPerPixel() const override { return 1 / sx_; }
  // A BMP file's bytes (24 bits per pixel).
  std::string bitmap() const override;

  int width() const { return width_; }
  int height() const { return height_; }
  // The colour number of a pixel.
  int colourAt(int px, int py) const {
    return pixels_[static_cast<std::size_t>(py) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(px)];
  }
  // Pixel position of a user coordinate (rounded down to the pixel).
  int pixelX(double x) const;
  int pixelY(double y) const;

 private:
  int width_, height_;
  std::vector<std::uint8_t> pixels_;  // colour numbers, rows top down
  double sx_, sy_;                    // pixels per user unit
};

}  // namespace lorvant
