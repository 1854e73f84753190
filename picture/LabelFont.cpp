#include "picture/LabelFont.h"

#include <algorithm>
#include <string>

#include "picture/LabelFontData.h"
#include "text/format.h"

namespace lorvant::labelfont {

namespace {

#include "picture/label_font_table.inc"

const Glyph& GlyphOf(unsigned char byte) {
  const Glyph& g = kGlyphs[byte];
  return g.advance != 0 || g.width != 0 ? g : kGlyphs[static_cast<unsigned char>('?')];
}

std::int32_t KerningOf(unsigned char a, unsigned char b) {
  const auto pair = static_cast<std::uint16_t>(a * 256 + b);
  const auto* end = std::end(kKerning);
  const auto* k =
      std::lower_bound(std::begin(kKerning), end, pair, [](const Kerning& e, std::uint16_t p) { return e.pair < p; });
  return k != end && k->pair == pair ? k->adjust : 0;
}

// The pen's moves along a text: each byte's advance and the kerning to the
// next byte.
template <typename Visit>
std::int64_t Walk(const std::string& bytes, std::int64_t pen, Visit visit) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const Glyph& g = GlyphOf(byte);
    visit(g, pen);
    pen += g.advance;
    if (i + 1 < bytes.size()) pen += KerningOf(byte, static_cast<unsigned char>(bytes[i + 1]));
  }
  return pen;
}

// Qt takes a position into its 1/64 pixel by cutting the rest off (toward
// zero), and a glyph's pixel column is the whole part below its pen.
std::int64_t To64ths(double pixels) { return static_cast<std::int64_t>(pixels * 64); }
std::int64_t FloorPixel(std::int64_t sixtyFourths) {
  return sixtyFourths >= 0 ? sixtyFourths / 64 : -((-sixtyFourths + 63) / 64);
}

}  // namespace

double Width(std::string_view utf8) {
  return static_cast<double>(Walk(report::ToCp1252(utf8), 0, [](const Glyph&, std::int64_t) {})) / 64;
}

double Ascent() { return static_cast<double>(kAscent) / 64; }

void Draw(std::uint8_t* pixels, int width, int height, double x, double baseline, std::string_view utf8,
          std::uint8_t value) {
  // The baseline lies on the nearest pixel row.
  const std::int64_t row = FloorPixel(To64ths(baseline) + 32);
  Walk(report::ToCp1252(utf8), To64ths(x), [&](const Glyph& g, std::int64_t pen) {
    const std::int64_t left = FloorPixel(pen) + g.left;
    const std::int64_t top = row + g.top;
    const int rowBytes = (g.width + 7) / 8;
    for (int r = 0; r < g.height; ++r) {
      const std::int64_t py = top + r;
      if (py < 0 || py >= height) continue;
      const std::uint8_t* line = kBits + g.bits + static_cast<std::size_t>(r * rowBytes);
      for (int c = 0; c < g.width; ++c) {
        const std::int64_t px = left + c;
        if (px < 0 || px >= width || !(line[c / 8] & (0x80 >> (c % 8)))) continue;
        pixels[static_cast<std::size_t>(py) * static_cast<std::size_t>(width) + static_cast<std::size_t>(px)] = value;
      }
    }
  });
}

}  // namespace lorvant::labelfont
