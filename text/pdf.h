// A one-page PDF 1.4 document of text and straight lines, as the build
// sheet needs it: the standard Helvetica and Helvetica-Bold fonts with
// WinAnsiEncoding (so that umlauts print), an uncompressed content stream
// and a cross-reference table of exact byte offsets. Nothing embedded, so
// any viewer and printer takes it and a test can read its text back.
#pragma once

#include <string>
#include <string_view>

namespace lorvant::pdf {

// A4 in points (1/72 inch).
inline constexpr double kA4Width = 595.28;
inline constexpr double kA4Height = 841.89;

enum class Font { Regular, Bold };

class Page {
 public:
  Page(double width = kA4Width, double height = kA4Height) : width_(width), height_(height) {}
  // Text starting at (x, y) in points from the page's lower left corner;
  // `cp1252` is Windows-1252 bytes (see text/encoding.h).
  void text(double x, double y, Font font, double size, std::string_view cp1252);
  // A line `width` points wide; dashed with `dash` points on and off (0:
  // solid).
  void line(double x1, double y1, double x2, double y2, double width = 0.5, double dash = 0);
  double width() const { return width_; }
  double height() const { return height_; }
  // The whole document.
  std::string document(std::string_view title) const;

 private:
  double width_, height_;
  std::string content_;
};

// A PDF string literal's inner bytes: backslash, parentheses escaped; the
// bytes below 32 as octal escapes.
std::string EscapeString(std::string_view bytes);

}  // namespace lorvant::pdf
