#include "text/pdf.h"

#include <cstdio>
#include <vector>

namespace lorvant::pdf {

namespace {

// A coordinate or size to the hundredth of a point, with the decimal point
// whatever the locale.
std::string Number(double v) {
  const long hundredths = static_cast<long>(v * 100 + (v < 0 ? -0.5 : 0.5));
  const long whole = hundredths / 100;
  long part = hundredths % 100;
  std::string s = (hundredths < 0 && whole == 0) ? "-" : "";
  s += std::to_string(whole);
  if (part < 0) part = -part;
  if (part != 0) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02ld", part);
    s += '.';
    s += digits;
    if (s.back() == '0') s.pop_back();
  }
  return s;
}

}  // namespace

std::string EscapeString(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\\' || c == '(' || c == ')') {
      out += '\\';
      out += c;
    } else if (b < 32) {
      char octal[5];
      std::snprintf(octal, sizeof octal, "\\%03o", b);
      out += octal;
    } else {
      out += c;
    }
  }
  return out;
}

void Page::text(double x, double y, Font font, double size, std::string_view cp1252) {
  content_ += "BT /" + std::string(font == Font::Bold ? "F2 " : "F1 ") + Number(size) + " Tf " + Number(x) + " " +
              Number(y) + " Td (" + EscapeString(cp1252) + ") Tj ET\n";
  marks_.push_back(Mark{true, x, y, 0, 0, 0, 0, font, size, std::string(cp1252)});
}

void Page::line(double x1, double y1, double x2, double y2, double width, double dash) {
  content_ += Number(width) + " w " + (dash > 0 ? "[" + Number(dash) + "] 0 d " : "[] 0 d ") + Number(x1) + " " +
              Number(y1) + " m " + Number(x2) + " " + Number(y2) + " l S\n";
  marks_.push_back(Mark{false, x1, y1, x2, y2, width, dash, Font::Regular, 0, {}});
}

std::string Page::document(std::string_view title) const {
  const std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(width_) + " " + Number(height_) +
          "] /Resources << /Font << /F1 4 0 R /F2 5 0 R >> >> /Contents 6 0 R >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>",
      "<< /Length " + std::to_string(content_.size()) + " >>\nstream\n" + content_ + "endstream",
      "<< /Title (" + EscapeString(title) + ") /Producer (Lorvant) >>",
  };
  // The binary comment line tells transfer programs the file is not text.
  std::string doc = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(doc.size());
    doc += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const std::size_t xref = doc.size();
  doc += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (const std::size_t offset : offsets) {
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    doc += entry;
  }
  doc += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R /Info 7 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return doc;
}

}  // namespace lorvant::pdf
