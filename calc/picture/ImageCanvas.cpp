#include "calc/picture/ImageCanvas.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <cmath>
#include <cstdint>

namespace lorvant {

namespace {

QColor qcolour(int colour) {
  const Rgb c = PaletteColour(colour);
  return QColor(c.r, c.g, c.b);
}

QString qtext(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// 96 dots per inch, so that a point size means the same on every machine.
constexpr int kDotsPerMetre = 3780;

}  // namespace

ImageCanvas::ImageCanvas(int pixelWidth, int pixelHeight)
    : image_(pixelWidth > 0 ? pixelWidth : 1, pixelHeight > 0 ? pixelHeight : 1, QImage::Format_RGB32),
      sx_(image_.width() / kPictureScaleWidth),
      sy_(image_.height() / kPictureScaleHeight) {
  for (int c = 0; c < 16; ++c) {
    const Rgb rgb = PaletteColour(c);
    palette_[static_cast<std::size_t>(c)] = qRgb(rgb.r, rgb.g, rgb.b);
  }
  image_.setDotsPerMeterX(kDotsPerMetre);
  image_.setDotsPerMeterY(kDotsPerMetre);
  font_.setPointSize(8);
  // Crisp text in the single colours of the palette, as the points are.
  font_.setStyleStrategy(QFont::NoAntialias);
  image_.fill(Qt::white);
}

void ImageCanvas::setup() { clear(); }

void ImageCanvas::clear() { image_.fill(Qt::white); }

int ImageCanvas::pixelX(double x) const { return static_cast<int>(std::floor((x - kPictureScaleLeft) * sx_)); }

int ImageCanvas::pixelY(double y) const { return static_cast<int>(std::floor((y - kPictureScaleTop) * sy_)); }

void ImageCanvas::point(double x, double y, int colour) {
  // The points are the bulk of the picture (up to fourteen per centimetre
  // of wire), so they go straight into the pixels; a one-pixel point of
  // width 1 is exactly one pixel.
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  const double px = std::floor((x - kPictureScaleLeft) * sx_);
  const double py = std::floor((y - kPictureScaleTop) * sy_);
  if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height()) return;
  auto* line = reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(py)));
  line[static_cast<int>(px)] = palette_[static_cast<std::size_t>(colour >= 0 && colour < 16 ? colour : 0)];
}

void ImageCanvas::text(double x, double y, std::string_view utf8, int colour) {
  // Far outside the picture nothing would show; such coordinates are also
  // beyond what the painter handles.
  constexpr double kFar = 1e6;
  if (!(std::fabs(x) < kFar) || !(std::fabs(y) < kFar)) return;
  QPainter painter(&image_);
  painter.setFont(font_);
  painter.setPen(qcolour(colour));
  const QFontMetricsF fm(font_, &image_);
  const QPointF baseline((x - kPictureScaleLeft) * sx_, (y - kPictureScaleTop) * sy_ + fm.ascent());
  painter.drawText(baseline, qtext(utf8));
}

double ImageCanvas::textWidth(std::string_view utf8) const {
  const QFontMetricsF fm(font_, &image_);
  return fm.horizontalAdvance(qtext(utf8)) / sx_;
}

std::string ImageCanvas::bitmap() const {
  // A 24-bit Windows bitmap, rows from the bottom up, each padded to four
  // bytes. Written here directly: it is one pass over the pixels.
  const auto w = static_cast<std::uint32_t>(image_.width());
  const auto h = static_cast<std::uint32_t>(image_.height());
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
  put32(static_cast<std::uint32_t>(image_.dotsPerMeterX()));
  put32(static_cast<std::uint32_t>(image_.dotsPerMeterY()));
  put32(0);
  put32(0);
  out.resize(54 + pixelBytes, '\0');
  char* row = out.data() + 54;
  for (std::uint32_t y = h; y-- > 0; row += rowBytes) {
    const auto* line = reinterpret_cast<const QRgb*>(image_.constScanLine(static_cast<int>(y)));
    for (std::uint32_t x = 0; x < w; ++x) {
      row[3 * x] = static_cast<char>(qBlue(line[x]));
      row[3 * x + 1] = static_cast<char>(qGreen(line[x]));
      row[3 * x + 2] = static_cast<char>(qRed(line[x]));
    }
  }
  return out;
}

}  // namespace lorvant
