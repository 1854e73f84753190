#include "calc/picture/BitmapCanvas.h"

#include <cmath>
#include <string>

#include "calc/picture/LabelFont.h"

namespace lorvant {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

std::uint32_t Pixel(int colour) {
  const Rgb c = PaletteColour(colour);
  return 0xFF000000u | static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b;
}

}  // namespace

BitmapCanvas::BitmapCanvas(int pixelWidth, int pixelHeight)
    : width_(pixelWidth > 0 ? pixelWidth : 1),
      height_(pixelHeight > 0 ? pixelHeight : 1),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), kWhite),
      sx_(width_ / kPictureScaleWidth),
      sy_(height_ / kPictureScaleHeight) {
  for (int c = 0; c < 16; ++c) palette_[static_cast<std::size_t>(c)] = Pixel(c);
}

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
      palette_[static_cast<std::size_t>(colour >= 0 && colour < 16 ? colour : 0)];
}

void BitmapCanvas::text(double x, double y, std::string_view utf8, int colour) {
  // Far outside the picture nothing would show.
  constexpr double kFar = 1e6;
  if (!(std::fabs(x) < kFar) || !(std::fabs(y) < kFar)) return;
  labelfont::Draw(pixels_.data(), width_, height_, (x - kPictureScaleLeft) * sx_,
                  (y - kPictureScaleTop) * sy_ + labelfont::Ascent(), utf8, Pixel(colour));
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
  out.resize(54 + pixelBytes, '\0');
  char* row = out.data() + 54;
  for (std::uint32_t y = h; y-- > 0; row += rowBytes) {
    const std::uint32_t* line = pixels_.data() + static_cast<std::size_t>(y) * w;
    for (std::uint32_t x = 0; x < w; ++x) {
      row[3 * x] = static_cast<char>(line[x] & 0xFF);
      row[3 * x + 1] = static_cast<char>((line[x] >> 8) & 0xFF);
      row[3 * x + 2] = static_cast<char>((line[x] >> 16) & 0xFF);
    }
  }
  return out;
}

}  // namespace lorvant
