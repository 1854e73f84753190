// Reads back what the build sheet's PDF writer wrote, as a viewer would
// find it: the objects through the cross-reference table, the pages, and
// the strings shown by the content stream (Windows-1252 bytes). Every
// structural fault is a test failure.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace lorvant::test {

struct PdfContents {
  int objects = 0;
  int pages = 0;                  // objects of /Type /Page
  std::vector<std::string> text;  // every Tj string, in order, unescaped
  double lowestText = 1e9;        // the lowest baseline of a string, points
};

// The baselines of the strings ("... Tf x y Td (...) Tj").
inline double LowestBaseline(const std::string& content) {
  double lowest = 1e9;
  std::size_t at = 0;
  while ((at = content.find(" Td (", at)) != std::string::npos) {
    const std::size_t y = content.rfind(' ', at - 1);
    lowest = std::min(lowest, std::strtod(content.c_str() + y + 1, nullptr));
    at += 5;
  }
  return lowest;
}

// The strings of the Tj operators in a content stream.
inline std::vector<std::string> ShownStrings(const std::string& content) {
  std::vector<std::string> shown;
  std::size_t at = 0;
  while ((at = content.find('(', at)) != std::string::npos) {
    std::string s;
    std::size_t i = at + 1;
    int depth = 1;
    for (; i < content.size(); ++i) {
      const char c = content[i];
      if (c == '\\') {
        const char n = content[++i];
        if (n >= '0' && n <= '7') {
          s += static_cast<char>(std::strtol(content.substr(i, 3).c_str(), nullptr, 8));
          i += 2;
        } else {
          s += n;
        }
        continue;
      }
      if (c == '(') ++depth;
      if (c == ')' && --depth == 0) break;
      s += c;
    }
    if (content.compare(i + 1, 3, " Tj") == 0) shown.push_back(s);
    at = i + 1;
  }
  return shown;
}

inline PdfContents ReadPdf(const std::string& doc) {
  PdfContents c;
  EXPECT_EQ(doc.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_TRUE(doc.size() >= 6 && doc.compare(doc.size() - 6, 6, "%%EOF\n") == 0);
  const std::size_t sx = doc.rfind("startxref\n");
  if (sx == std::string::npos) {
    ADD_FAILURE() << "no startxref";
    return c;
  }
  const std::size_t xref = std::stoul(doc.substr(sx + 10));
  EXPECT_EQ(doc.compare(xref, 5, "xref\n"), 0) << "startxref points at " << doc.substr(xref, 10);
  const std::size_t count = std::stoul(doc.substr(xref + 7));
  EXPECT_EQ(doc.compare(xref + 5, 2, "0 "), 0);
  std::size_t entry = doc.find('\n', xref + 5) + 1;
  EXPECT_EQ(doc.substr(entry, 20), "0000000000 65535 f \n");
  const std::size_t trailer = doc.find("trailer\n", xref);
  EXPECT_NE(trailer, std::string::npos);
  EXPECT_NE(doc.find("/Size " + std::to_string(count) + " ", trailer), std::string::npos);
  EXPECT_NE(doc.find("/Root 1 0 R", trailer), std::string::npos);
  for (std::size_t n = 1; n < count; ++n) {
    entry += 20;
    const std::string row = doc.substr(entry, 20);
    EXPECT_EQ(row.substr(10), " 00000 n \n");
    const std::size_t offset = std::stoul(row.substr(0, 10));
    const std::string head = std::to_string(n) + " 0 obj\n";
    EXPECT_EQ(doc.compare(offset, head.size(), head), 0) << "object " << n << " at " << offset;
    const std::size_t end = doc.find("\nendobj\n", offset);
    const std::string body = doc.substr(offset + head.size(), end - offset - head.size());
    ++c.objects;
    if (body.find("/Type /Page ") != std::string::npos) ++c.pages;
    const std::size_t stream = body.find(">>\nstream\n");
    if (stream != std::string::npos) {
      const std::size_t length = std::stoul(body.substr(body.find("/Length ") + 8));
      const std::size_t from = stream + 10;
      EXPECT_EQ(body.compare(from + length, 10, "endstream"), 0) << "the stream's /Length";
      const std::vector<std::string> shown = ShownStrings(body.substr(from, length));
      c.text.insert(c.text.end(), shown.begin(), shown.end());
      c.lowestText = std::min(c.lowestText, LowestBaseline(body.substr(from, length)));
    }
  }
  return c;
}

// Whether one shown string holds `part`.
inline bool Shows(const PdfContents& c, const std::string& part) {
  for (const std::string& s : c.text)
    if (s.find(part) != std::string::npos) return true;
  return false;
}

}  // namespace lorvant::test
