// A one-page PDF 1.4 document of text and straight lines, as the build
// sheet needs it: the standard Helvetica and Helvetica-Bold fonts with
// WinAnsiEncoding (so that umlauts print), an uncompressed content stream
// and a cross-reference table of exact byte offsets. Nothing embedded, so
// any viewer and printer takes it and a test can read its text back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lorvant::pdf {

// A4 in points (1/72 inch).
inline constexpr double kA4Width = 595.28;
inline constexpr double kA4Height = 841.89;

enum class Font { Regular, Bold };

// One thing put on the page, as it was put there: a window paints the
// same page for a printer from these.
struct Mark {
  bool isText = false;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a text's start is (x1, y1)
  double width = 0, dash = 0;             // a line's
  Font font = Font::Regular;              // a text's
  double size = 0;
  std::string cp1252;
};

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
  // Everything on the page, in the order it was put there.
  const std::vector<Mark>& marks() const { return marks_; }
  // The whole document.
  std::string document(std::string_view title) const;

 private:
  double width_, height_;
  std::string content_;
  std::vector<Mark> marks_;
};

// A PDF string literal's inner bytes: backslash, parentheses escaped; the
// bytes below 32 as octal escapes.
std::string EscapeString(std::string_view bytes);

}  // namespace lorvant::pdf
