// Build tool: renders the picture's label font with Qt into the table that
// LabelFont.cpp includes: for every character of Windows-1252 its pixels as
// Qt draws it alone at a whole pixel, its advance, and the kerning of every
// pair, in Qt's 1/64 pixel.
//
//   render_label_font OUTPUT
//
// Fails when DejaVu Sans is not installed (another family would give
// another picture).
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "picture/LabelFontData.h"
#include "text/format.h"
#include "tools/fonts/FontTool.h"
#include "tools/fonts/LabelFontQt.h"

namespace {

using lorvant::labelfont::Glyph;
using lorvant::labelfont::Kerning;

using namespace lorvant::fonttool;

// The rendered font: a glyph and its characters for every byte, the glyphs'
// pixels one bit each, rows padded to whole bytes.
struct Table {
  std::vector<Glyph> glyphs = std::vector<Glyph>(256);
  std::vector<std::uint8_t> bits;
  std::vector<QString> chars = std::vector<QString>(256);
};

// Draws one character alone and records its glyph; false when it does not
// fit its scratch image.
bool RenderGlyph(Table& t, int byte, const QString& c, const QFont& font, const QFontMetricsF& metrics) {
  const QImage scratch = DrawnAlone(c, font);
  const Box box = InkBox(scratch);
  Glyph& g = t.glyphs[static_cast<std::size_t>(byte)];
  g.advance = In64ths(metrics.horizontalAdvance(c));
  if (box.blank()) return true;
  if (box.touchesEdge()) {
    std::fprintf(stderr, "render_label_font: the glyph of byte %d does not fit its scratch image\n", byte);
    return false;
  }
  Place(g, box);
  g.bits = static_cast<std::uint32_t>(t.bits.size());
  for (int y = box.y0; y <= box.y1; ++y) {
    for (int x = box.x0; x <= box.x1; x += 8) {
      std::uint8_t b = 0;
      for (int k = 0; k < 8 && x + k <= box.x1; ++k)
        if (scratch.pixel(x + k, y) != qRgb(255, 255, 255)) b |= static_cast<std::uint8_t>(0x80 >> k);
      t.bits.push_back(b);
    }
  }
  return true;
}

bool WriteTable(const char* path, const Table& t, const std::vector<Kerning>& kerning, const QFontMetricsF& metrics) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "// Made by render_label_font from " << lorvant::labelfont::kFamily
      << " 8 pt at 96 dpi, unsmoothed; not to be edited.\n";
  out << "constexpr std::int32_t kAscent = " << In64ths(metrics.ascent()) << ";\n";
  out << "constexpr Glyph kGlyphs[256] = {\n";
  for (const Glyph& g : t.glyphs)
    out << "    {" << g.advance << ", " << int(g.left) << ", " << int(g.top) << ", " << int(g.width) << ", "
        << int(g.height) << ", " << g.bits << "},\n";
  out << "};\nconstexpr std::uint8_t kBits[] = {";
  for (std::size_t i = 0; i < t.bits.size(); ++i) out << (i % 16 == 0 ? "\n    " : " ") << int(t.bits[i]) << ",";
  out << "\n};\n// Sorted by pair.\nconstexpr Kerning kKerning[] = {";
  for (std::size_t i = 0; i < kerning.size(); ++i)
    out << (i % 6 == 0 ? "\n    " : " ") << "{" << kerning[i].pair << ", " << kerning[i].adjust << "},";
  out << "\n};\n";
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: render_label_font OUTPUT\n");
    return 2;
  }
  const QFont font = lorvant::labelfont::QtFont();
  if (QFontInfo(font).family() != lorvant::labelfont::kFamily) {
    std::fprintf(stderr, "render_label_font: the font %s is not installed (Debian: fonts-dejavu-core)\n",
                 lorvant::labelfont::kFamily);
    return 1;
  }
  const QImage device = lorvant::labelfont::QtSurface(1, 1);
  const QFontMetricsF metrics(font, &device);

  Table table;
  for (int byte = 0x20; byte < 256; ++byte) {
    const QString c = CharOfByte(byte);
    // Controls (DEL and the five unassigned codes) have no glyph; neither
    // has what the font lacks (Qt would take it from another font).
    if (c.size() != 1 || c.at(0).category() == QChar::Other_Control || !metrics.inFont(c.at(0))) continue;
    table.chars[static_cast<std::size_t>(byte)] = c;
    if (!RenderGlyph(table, byte, c, font, metrics)) return 1;
  }
  if (!WriteTable(argv[1], table, Kernings<Kerning>(table, metrics), metrics)) {
    std::fprintf(stderr, "render_label_font: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
