// The two text encodings of the program, one character at a time: the
// Windows-1252 code page of the reports and UTF-8. The reports' writer, the
// quick viewer and the batch tool all read and write characters through
// these (header only, so that the viewer's small libraries need no more).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace lorvant {

namespace cp1252 {

// Code points of the bytes 0x80 to 0x9F. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control
// characters of the same value, so that a file read in and written out
// keeps them.
inline constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
                                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
                                                   0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
                                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The character of a byte.
constexpr char16_t ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : char16_t{byte};
}

// The byte of a character; -1 when the code page has none for it.
constexpr int FromUnicode(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == c) return static_cast<int>(0x80 + i);
  return -1;
}

}  // namespace cp1252

namespace utf8 {

// One character read from UTF-8.
struct Char {
  char32_t code = 0;
  std::size_t length = 0;  // bytes; 0 when the bytes at that place are no well-formed UTF-8
};

// The character whose sequence starts at s[i]. Overlong forms, surrogates,
// code points above U+10FFFF and sequences cut off by the end of s are not
// well-formed.
constexpr Char Decode(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return {b0, 1};
  std::size_t n = 0;
  char32_t code = 0, least = 0;
  if ((b0 & 0xE0) == 0xC0) {
    n = 2, code = b0 & 0x1F, least = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3, code = b0 & 0x0F, least = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4, code = b0 & 0x07, least = 0x10000;
  } else {
    return {};
  }
  if (n > s.size() - i) return {};
  for (std::size_t k = 1; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return {};
    code = (code << 6) | (b & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return {code, n};
}

}  // namespace utf8

}  // namespace lorvant
