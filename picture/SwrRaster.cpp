#include "picture/SwrRaster.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>

#include "picture/BitmapCanvas.h"
#include "picture/PlotFontData.h"
#include "text/format.h"

namespace lorvant::nec {

namespace {

namespace font {
using plotfont::Face;
using plotfont::Glyph;
using plotfont::Kerning;
#include "picture/plot_font_table.inc"
}  // namespace font

// The face nearest to a text's size among those of its weight.
const plotfont::Face& FaceOf(const PlotText& t) {
  const plotfont::Face* best = nullptr;
  for (const plotfont::Face& f : font::kFaces) {
    const bool better = !best || (f.bold == t.bold) > (best->bold == t.bold) ||
                        ((f.bold == t.bold) == (best->bold == t.bold) &&
                         std::fabs(f.pixelSize - t.size) < std::fabs(best->pixelSize - t.size));
    if (better) best = &f;
  }
  return *best;
}

const plotfont::Glyph& GlyphOf(const plotfont::Face& f, unsigned char byte) {
  const plotfont::Glyph& g = f.glyphs[byte];
  return g.advance != 0 || g.width != 0 ? g : f.glyphs[static_cast<unsigned char>('?')];
}

std::int32_t KerningOf(const plotfont::Face& f, unsigned char a, unsigned char b) {
  const auto pair = static_cast<std::uint16_t>(a * 256 + b);
  const auto* end = f.kerning + f.kerningCount;
  const auto* k =
      std::lower_bound(f.kerning, end, pair, [](const plotfont::Kerning& e, std::uint16_t p) { return e.pair < p; });
  return k != end && k->pair == pair ? k->adjust : 0;
}

// The pen's moves along a text, in 1/64 pixel.
template <typename Visit>
std::int64_t Walk(const plotfont::Face& f, const std::string& bytes, std::int64_t pen, Visit visit) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const plotfont::Glyph& g = GlyphOf(f, byte);
    visit(g, pen);
    pen += g.advance;
    if (i + 1 < bytes.size()) pen += KerningOf(f, byte, static_cast<unsigned char>(bytes[i + 1]));
  }
  return pen;
}

std::int64_t FloorPixel(std::int64_t sixtyFourths) {
  return sixtyFourths >= 0 ? sixtyFourths / 64 : -((-sixtyFourths + 63) / 64);
}

class Raster {
 public:
  Raster(int width, int height) : image_{width, height, std::vector<std::uint8_t>(Size(width, height), 255)} {}

  // Mixes `colour` into a pixel by the covered share (0 … 1).
  void blend(long px, long py, PlotColour c, double share) {
    if (px < 0 || py < 0 || px >= image_.width || py >= image_.height || !(share > 0)) return;
    share = std::min(share, 1.0);
    std::uint8_t* p =
        image_.rgb.data() +
        (static_cast<std::size_t>(py) * static_cast<std::size_t>(image_.width) + static_cast<std::size_t>(px)) * 3;
    const std::uint8_t parts[] = {c.r, c.g, c.b};
    for (int i = 0; i < 3; ++i) p[i] = static_cast<std::uint8_t>(std::lround(p[i] + (parts[i] - p[i]) * share));
  }

  // A straight stroke with flat ends: the share of a pixel is how far its
  // centre lies inside the stroke, across and along, by up to half a pixel.
  void segment(PlotPoint a, PlotPoint b, double width, PlotColour c) {
    const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    if (!(length > 0) || !std::isfinite(length)) return;
    const double ux = dx / length, uy = dy / length, half = width / 2;
    forBox(std::min(a.x, b.x) - half - 1, std::min(a.y, b.y) - half - 1, std::max(a.x, b.x) + half + 1,
           std::max(a.y, b.y) + half + 1, [&](long px, long py, double cx, double cy) {
             const double along = (cx - a.x) * ux + (cy - a.y) * uy;
             const double across = std::fabs((cx - a.x) * uy - (cy - a.y) * ux);
             const double inAlong = std::clamp(0.5 + std::min(along, length - along), 0.0, 1.0);
             const double inAcross = std::clamp(half + 0.5 - across, 0.0, 1.0);
             blend(px, py, c, inAlong * std::min(inAcross, width));
           });
  }

  void line(const PlotLine& l) {
    if (!l.dashed) return segment(l.from, l.to, l.width, l.colour);
    // Dashes of 6 pixels with gaps of 4, from the line's start.
    constexpr double kDash = 6, kGap = 4;
    const double dx = l.to.x - l.from.x, dy = l.to.y - l.from.y, length = std::hypot(dx, dy);
    if (!(length > 0) || !std::isfinite(length)) return;
    for (double s = 0; s < length; s += kDash + kGap) {
      const double e = std::min(s + kDash, length);
      segment({l.from.x + dx * s / length, l.from.y + dy * s / length},
              {l.from.x + dx * e / length, l.from.y + dy * e / length}, l.width, l.colour);
    }
  }

  // Dashes of 6 pixels with gaps of 4 along the whole polyline, each dash
  // drawn as a polyline of its own; its round ends reach half the width
  // beyond it, so it is laid that much shorter.
  void dashedCurve(const PlotCurve& c) {
    const double kDash = std::max(6 - c.width, 0.5), kGap = 10 - kDash;
    PlotCurve dash{{}, c.colour, c.width, false};
    double phase = 0;  // along the current dash or gap
    bool on = true;
    dash.points.push_back(c.points[0]);
    for (std::size_t i = 0; i + 1 < c.points.size(); ++i) {
      PlotPoint a = c.points[i];
      const PlotPoint b = c.points[i + 1];
      double left = std::hypot(b.x - a.x, b.y - a.y);
      if (!std::isfinite(left)) continue;
      while (left > 0) {
        const double step = std::min(left, (on ? kDash : kGap) - phase);
        const PlotPoint at{a.x + (b.x - a.x) * step / left, a.y + (b.y - a.y) * step / left};
        if (on) dash.points.push_back(at);
        phase += step;
        left -= step;
        a = at;
        if (phase >= (on ? kDash : kGap)) {
          if (on) curve(dash);
          dash.points = {at};
          on = !on;
          phase = 0;
        }
      }
    }
    if (on) curve(dash);
  }

  // A polyline with round joins, each pixel mixed once by its distance to
  // the nearest of its pieces.
  void curve(const PlotCurve& c) {
    if (c.points.size() < 2) return;
    if (c.dashed) return dashedCurve(c);
    const double half = c.width / 2;
    for (std::size_t i = 0; i + 1 < c.points.size(); ++i) {
      const PlotPoint a = c.points[i], b = c.points[i + 1];
      forBox(std::min(a.x, b.x) - half - 1, std::min(a.y, b.y) - half - 1, std::max(a.x, b.x) + half + 1,
             std::max(a.y, b.y) + half + 1, [&](long px, long py, double cx, double cy) {
               // A pixel is mixed by its nearest piece only (the first of equals).
               const double nearest = Distance({cx, cy}, a, b);
               for (std::size_t j = 0; j + 1 < c.points.size(); ++j) {
                 if (j == i) continue;
                 const double d = Distance({cx, cy}, c.points[j], c.points[j + 1]);
                 if (d < nearest || (d == nearest && j < i)) return;
               }
               blend(px, py, c.colour, std::min(std::clamp(half + 0.5 - nearest, 0.0, 1.0), c.width));
             });
    }
  }

  void dot(const PlotDot& d) {
    const double r = d.radius;
    forBox(d.at.x - r - 1, d.at.y - r - 1, d.at.x + r + 1, d.at.y + r + 1, [&](long px, long py, double cx, double cy) {
      blend(px, py, d.colour, std::clamp(r + 0.5 - std::hypot(cx - d.at.x, cy - d.at.y), 0.0, 1.0));
    });
  }

  void text(const PlotText& t) {
    constexpr double kFar = 1e6;
    if (!(std::fabs(t.at.x) < kFar) || !(std::fabs(t.at.y) < kFar)) return;
    const plotfont::Face& f = FaceOf(t);
    const std::string bytes = report::ToCp1252(t.text);
    const double width = PlotTextWidth(t);
    const double x = t.anchor == TextAnchor::Start    ? t.at.x
                     : t.anchor == TextAnchor::Middle ? t.at.x - width / 2
                                                      : t.at.x - width;
    const std::int64_t row = FloorPixel(static_cast<std::int64_t>(t.at.y * 64) + 32);
    Walk(f, bytes, static_cast<std::int64_t>(x * 64), [&](const plotfont::Glyph& g, std::int64_t pen) {
      const std::int64_t left = FloorPixel(pen) + g.left, top = row + g.top;
      const std::uint8_t* cover = font::kCoverage + g.bits;
      for (int r = 0; r < g.height; ++r)
        for (int col = 0; col < g.width; ++col)
          blend(static_cast<long>(left + col), static_cast<long>(top + r), t.colour, cover[r * g.width + col] / 255.0);
    });
  }

  RgbImage take() { return std::move(image_); }

 private:
  static std::size_t Size(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
  }

  static double Distance(PlotPoint p, PlotPoint a, PlotPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
  }

  // Every pixel of the picture within a box, with its centre.
  template <typename Visit>
  void forBox(double x0, double y0, double x1, double y1, Visit visit) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
    const long px0 = std::max(0L, static_cast<long>(std::floor(std::max(x0, -1.0))));
    const long py0 = std::max(0L, static_cast<long>(std::floor(std::max(y0, -1.0))));
    const long px1 = static_cast<long>(std::min(std::ceil(x1), static_cast<double>(image_.width - 1)));
    const long py1 = static_cast<long>(std::min(std::ceil(y1), static_cast<double>(image_.height - 1)));
    for (long py = py0; py <= py1; ++py)
      for (long px = px0; px <= px1; ++px) visit(px, py, px + 0.5, py + 0.5);
  }

  RgbImage image_;
};

void PutBig32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

std::uint32_t Crc32(const std::string& bytes, std::size_t from) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    crc ^= static_cast<unsigned char>(bytes[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// A chunk: its length, type and data, and the CRC of type and data.
void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out += type;
  out += data;
  PutBig32(out, Crc32(out, start));
}

}  // namespace

double PlotTextWidth(const PlotText& t) {
  const plotfont::Face& f = FaceOf(t);
  return static_cast<double>(Walk(f, report::ToCp1252(t.text), 0, [](const plotfont::Glyph&, std::int64_t) {})) / 64;
}

RgbImage RasteriseSwrPicture(const SwrPicture& p) {
  static constexpr double kLargest = 16384;  // pixels either way; the picture is far smaller
  const auto side = [](double v) {
    return std::isfinite(v) ? static_cast<int>(std::clamp(std::ceil(v), 1.0, kLargest)) : 1;
  };
  Raster raster(side(p.width), side(p.height));
  for (const PlotLine& l : p.lines) raster.line(l);
  for (const PlotCurve& c : p.curves) raster.curve(c);
  for (const PlotDot& d : p.dots) raster.dot(d);
  for (const PlotText& t : p.texts) raster.text(t);
  return raster.take();
}

std::string PngOf(const RgbImage& image) {
  // Each row behind filter type 0 (none): the same pixels give the same bytes.
  const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
  std::string raw;
  raw.reserve((rowBytes + 1) * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    raw += '\0';
    raw.append(reinterpret_cast<const char*>(image.rgb.data()) + static_cast<std::size_t>(y) * rowBytes, rowBytes);
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(packedSize, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("PNG: the pixels cannot be compressed");
  packed.resize(packedSize);

  std::string header;
  PutBig32(header, static_cast<std::uint32_t>(image.width));
  PutBig32(header, static_cast<std::uint32_t>(image.height));
  header += '\x08';                // bits per sample
  header += '\x02';                // RGB
  header += std::string(3, '\0');  // deflate, adaptive filtering, not interlaced
  // 96 dots per inch, as the current-curve picture.
  std::string density;
  PutBig32(density, kPictureDotsPerMetre);
  PutBig32(density, kPictureDotsPerMetre);
  density += '\x01';  // per metre

  std::string out = "\x89PNG\r\n\x1a\n";
  PutChunk(out, "IHDR", header);
  PutChunk(out, "pHYs", density);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", "");
  return out;
}

std::string SwrPicturePng(const SwrPicture& p) { return PngOf(RasteriseSwrPicture(p)); }

}  // namespace lorvant::nec
