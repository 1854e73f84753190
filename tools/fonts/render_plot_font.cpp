// Build tool: renders the faces of the SWR picture's texts (DejaVu Sans at
// the pixel sizes and weights the picture uses, smoothed) into the table
// that PlotFont.cpp includes: for every character of Windows-1252 its
// coverage as Qt draws it alone at a whole pixel, its advance, and the
// kerning of every pair, in Qt's 1/64 pixel.
//
//   render_plot_font OUTPUT
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "picture/PlotFontData.h"
#include "text/format.h"
#include "tools/fonts/FontTool.h"
#include "tools/fonts/LabelFontQt.h"

namespace {

using lorvant::plotfont::Glyph;
using lorvant::plotfont::Kerning;

struct Face {
  int pixelSize;
  bool bold;
};
// The texts of the SWR picture: values and labels, band names, the heading.
constexpr Face kFaces[] = {{10, false}, {12, true}, {14, true}};

using namespace lorvant::fonttool;

int Coverage(QRgb pixel) { return 255 - (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3; }

struct Table {
  std::vector<Glyph> glyphs = std::vector<Glyph>(256);
  std::vector<QString> chars = std::vector<QString>(256);
};

bool RenderGlyph(Table& t, std::vector<std::uint8_t>& coverage, int byte, const QString& c, const QFont& font,
                 const QFontMetricsF& metrics) {
  const QImage scratch = DrawnAlone(c, font);
  const Box box = InkBox(scratch);
  Glyph& g = t.glyphs[static_cast<std::size_t>(byte)];
  g.advance = In64ths(metrics.horizontalAdvance(c));
  if (box.blank()) return true;
  if (box.touchesEdge()) {
    std::fprintf(stderr, "render_plot_font: the glyph of byte %d does not fit its scratch image\n", byte);
    return false;
  }
  Place(g, box);
  g.bits = static_cast<std::uint32_t>(coverage.size());
  for (int y = box.y0; y <= box.y1; ++y)
    for (int x = box.x0; x <= box.x1; ++x) coverage.push_back(static_cast<std::uint8_t>(Coverage(scratch.pixel(x, y))));
  return true;
}

std::vector<Kerning> KerningsWithEnd(const Table& t, const QFontMetricsF& metrics) {
  std::vector<Kerning> kerning = Kernings<Kerning>(t, metrics);
  kerning.push_back({0xFFFF, 0});  // the end, so that no array is empty
  return kerning;
}

bool RenderFace(std::ofstream& out, std::vector<std::uint8_t>& coverage, std::size_t index, const Face& face) {
  QFont font(lorvant::labelfont::kFamily);
  font.setPixelSize(face.pixelSize);
  font.setBold(face.bold);
  if (QFontInfo(font).family() != lorvant::labelfont::kFamily) {
    std::fprintf(stderr, "render_plot_font: the font %s is not installed (Debian: fonts-dejavu-core)\n",
                 lorvant::labelfont::kFamily);
    return false;
  }
  const QImage device = lorvant::labelfont::QtSurface(1, 1);
  const QFontMetricsF metrics(font, &device);
  Table table;
  for (int byte = 0x20; byte < 256; ++byte) {
    const QString c = CharOfByte(byte);
    if (c.size() != 1 || c.at(0).category() == QChar::Other_Control || !metrics.inFont(c.at(0))) continue;
    table.chars[static_cast<std::size_t>(byte)] = c;
    if (!RenderGlyph(table, coverage, byte, c, font, metrics)) return false;
  }
  out << "constexpr Glyph kGlyphs" << index << "[256] = {\n";
  for (const Glyph& g : table.glyphs)
    out << "    {" << g.advance << ", " << int(g.left) << ", " << int(g.top) << ", " << int(g.width) << ", "
        << int(g.height) << ", " << g.bits << "},\n";
  const std::vector<Kerning> kerning = KerningsWithEnd(table, metrics);
  out << "};\nconstexpr Kerning kKerning" << index << "[] = {";
  for (std::size_t i = 0; i < kerning.size(); ++i)
    out << (i % 6 == 0 ? "\n    " : " ") << "{" << kerning[i].pair << ", " << kerning[i].adjust << "},";
  out << "\n};\n";
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: render_plot_font OUTPUT\n");
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << "// Made by render_plot_font from " << lorvant::labelfont::kFamily << ", smoothed; not to be edited.\n";
  std::vector<std::uint8_t> coverage;
  for (std::size_t i = 0; i < std::size(kFaces); ++i)
    if (!RenderFace(out, coverage, i, kFaces[i])) return 1;
  out << "constexpr std::uint8_t kCoverage[] = {";
  for (std::size_t i = 0; i < coverage.size(); ++i) out << (i % 16 == 0 ? "\n    " : " ") << int(coverage[i]) << ",";
  out << "\n};\nconstexpr Face kFaces[] = {\n";
  for (std::size_t i = 0; i < std::size(kFaces); ++i)
    out << "    {" << kFaces[i].pixelSize << ", " << (kFaces[i].bold ? "true" : "false") << ", kGlyphs" << i
        << ", kKerning" << i << ", std::size(kKerning" << i << ")},\n";
  out << "};\n";
  out.close();
  if (!out) {
    std::fprintf(stderr, "render_plot_font: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
