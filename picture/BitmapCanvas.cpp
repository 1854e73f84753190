#include "picture/BitmapCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "picture/LabelFont.h"

namespace lorvant {

namespace {

constexpr std::uint8_t kWhite = 15;

// Numbers outside the palette draw black.
std::uint8_t ColourNumber(int colour) { return static_cast<std::uint8_t>(colour >= 0 && colour < 16 ? colour : 0); }

}  // namespace

BitmapCanvas::BitmapCanvas(int pixelWidth, int pixelHeight)
    : width_(pixelWidth > 0 ? pixelWidth : 1),
      height_(pixelHeight > 0 ? pixelHeight : 1),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kWhite),
      sx_(width_ / kPictureScaleWidth),
      sy_(height_ / kPictureScaleHeight) {}

void BitmapCanvas::setup() { clear(); }

void BitmapCanvas::clear() { std::fill(pixels_.begin(), pixels_.end(), kWhite); }

int BitmapCanvas::pixelX(double x) const { return static_cast<int>(std::floor((x - kPictureScaleLeft) * sx_)); }

int BitmapCanvas::pixelY(double y) const { return static_cast<int>(std::floor((y - kPictureScaleTop) * sy_)); }

void BitmapCanvas::point(double x, double y, int colour) {
  // A point of drawing width 1 is exactly one pixel.
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  const double px = std::floor((x - kPictureScaleLeft) * sx_);
  const double py = std::floor((y - kPictureScaleTop) * sy_);
  if (px < 0 || py < 0 || px >= width_ || py >= height_) return;
  pixels_[static_cast<std::size_t>(py) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(px)] =
      ColourNumber(colour);
}

void BitmapCanvas::text(double x, double y, std::string_view utf8, int colour) {
  // Far outside the picture nothing would show.
  constexpr double kFar = 1e6;
  if (!(std::fabs(x) < kFar) || !(std::fabs(y) < kFar)) return;
  labelfont::Draw(pixels_.data(), width_, height_, (x - kPictureScaleLeft) * sx_,
                  (y - kPictureScaleTop) * sy_ + labelfont::Ascent(), utf8, ColourNumber(colour));
}

double BitmapCanvas::textWidth(std::string_view utf8) const { return labelfont::Width(utf8) / sx_; }

std::string BitmapCanvas::bitmap() const {
  // A 24-bit Windows bitmap, rows from the bottom up, each padded to four
  // bytes.
  const auto w = static_cast<std::uint32_t>(width_);
  const auto h = static_cast<std::uint32_t>(height_);
  const std::uint32_t rowBytes = (w * 3 + 3) / 4 * 4;
  const std::uint32_t pixelBytes = rowBytes * h;
  std::string out;
  out.reserve(54 + pixelBytes);
  const auto put16 = [&out](std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
  };
  const auto put32 = [&put16](std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  out += "BM";
  put32(54 + pixelBytes);
  put32(0);
  put32(54);  // where the pixels start
  put32(40);  // size of the information header
  put32(w);
  put32(h);
  put16(1);   // planes
  put16(24);  // bits per pixel
  put32(0);   // no compression
  put32(pixelBytes);
  put32(kPictureDotsPerMetre);
  put32(kPictureDotsPerMetre);
  put32(0);
  put32(0);
  std::array<std::array<char, 3>, 16> bgr{};
  for (int c = 0; c < 16; ++c) {
    const Rgb rgb = PaletteColour(c);
    bgr[static_cast<std::size_t>(c)] = {static_cast<char>(rgb.b), static_cast<char>(rgb.g), static_cast<char>(rgb.r)};
  }
  out.resize(54 + pixelBytes, '\0');
  char* row = out.data() + 54;
  for (std::uint32_t y = h; y-- > 0; row += rowBytes) {
    const std::uint8_t* line = pixels_.data() + static_cast<std::size_t>(y) * w;
    for (std::uint32_t x = 0; x < w; ++x) std::copy_n(bgr[line[x]].data(), 3, row + 3 * x);
  }
  return out;
}

}  // namespace lorvant
