// The records of the built-in label font's table (made at build time by
// render_label_font, included by LabelFont.cpp only).
#pragma once

#include <cstdint>

namespace lorvant::labelfont {

// Lengths are in 1/64 pixel, as Qt's text layout counts them.
struct Glyph {
  std::int16_t advance = 0;  // 0 for a byte without a glyph
  std::int8_t left = 0;      // first pixel column, from the pen position
  std::int8_t top = 0;       // first pixel row, from the baseline row (up is negative)
  std::uint8_t width = 0;    // pixels
  std::uint8_t height = 0;   // pixels
  std::uint32_t bits = 0;    // first byte of the glyph in kBits: rows top down, each
                             // (width + 7) / 8 bytes, the leftmost pixel in the high bit
};

// What the pen moves between two characters besides the first one's advance.
struct Kerning {
  std::uint16_t pair = 0;  // first Windows-1252 byte * 256 + second
  std::int16_t adjust = 0;
};

}  // namespace lorvant::labelfont
