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

#include "calc/picture/LabelFontQt.h"
#include "calc/picture/PlotFontData.h"
#include "calc/reports/text.h"

namespace {

using lorvant::plotfont::Glyph;
using lorvant::plotfont::Kerning;

struct Face {
  int pixelSize;
  bool bold;
};
// The texts of the SWR picture: values and labels, band names, the heading.
constexpr Face kFaces[] = {{10, false}, {12, true}, {14, true}};

constexpr int kScratch = 64;
constexpr int kOriginX = 16;
constexpr int kBaseline = 40;

std::int16_t In64ths(double pixels) { return static_cast<std::int16_t>(std::lround(pixels * 64)); }

QString CharOfByte(int byte) {
  const std::string text = lorvant::report::FromCp1252(std::string(1, static_cast<char>(byte)));
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int Coverage(QRgb pixel) { return 255 - (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3; }

struct Table {
  std::vector<Glyph> glyphs = std::vector<Glyph>(256);
  std::vector<QString> chars = std::vector<QString>(256);
};

bool RenderGlyph(Table& t, std::vector<std::uint8_t>& coverage, int byte, const QString& c, const QFont& font,
                 const QFontMetricsF& metrics) {
  QImage scratch = lorvant::labelfont::QtSurface(kScratch, kScratch);
  {
    QPainter painter(&scratch);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(kOriginX, kBaseline), c);
  }
  int x0 = kScratch, y0 = kScratch, x1 = -1, y1 = -1;
  for (int y = 0; y < kScratch; ++y)
    for (int x = 0; x < kScratch; ++x)
      if (Coverage(scratch.pixel(x, y)) > 0) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
      }
  Glyph& g = t.glyphs[static_cast<std::size_t>(byte)];
  g.advance = In64ths(metrics.horizontalAdvance(c));
  if (x1 < 0) return true;  // a blank
  if (x0 == 0 || y0 == 0 || x1 == kScratch - 1 || y1 == kScratch - 1) {
    std::fprintf(stderr, "render_plot_font: the glyph of byte %d does not fit its scratch image\n", byte);
    return false;
  }
  g.left = static_cast<std::int8_t>(x0 - kOriginX);
  g.top = static_cast<std::int8_t>(y0 - kBaseline);
  g.width = static_cast<std::uint8_t>(x1 - x0 + 1);
  g.height = static_cast<std::uint8_t>(y1 - y0 + 1);
  g.bits = static_cast<std::uint32_t>(coverage.size());
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) coverage.push_back(static_cast<std::uint8_t>(Coverage(scratch.pixel(x, y))));
  return true;
}

std::vector<Kerning> Kernings(const Table& t, const QFontMetricsF& metrics) {
  std::vector<Kerning> kerning;
  for (int a = 0; a < 256; ++a) {
    const QString& ca = t.chars[static_cast<std::size_t>(a)];
    if (ca.isEmpty()) continue;
    for (int b = 0; b < 256; ++b) {
      const QString& cb = t.chars[static_cast<std::size_t>(b)];
      if (cb.isEmpty()) continue;
      const int adjust = In64ths(metrics.horizontalAdvance(ca + cb)) - t.glyphs[static_cast<std::size_t>(a)].advance -
                         t.glyphs[static_cast<std::size_t>(b)].advance;
      if (adjust != 0)
        kerning.push_back({static_cast<std::uint16_t>(a * 256 + b), static_cast<std::int16_t>(adjust)});
    }
  }
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
  const std::vector<Kerning> kerning = Kernings(table, metrics);
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
