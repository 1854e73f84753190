// The records of the SWR picture's font table (made at build time by
// render_plot_font, included by PlotFont.cpp only).
#pragma once

#include <cstddef>
#include <cstdint>

#include "picture/LabelFontData.h"

namespace lorvant::plotfont {

using labelfont::Kerning;

// As the label font's glyph, but `bits` is the first byte of one coverage
// byte per pixel (0 none, 255 full), rows top down.
using Glyph = labelfont::Glyph;

// One size and weight of DejaVu Sans, smoothed.
struct Face {
  int pixelSize = 0;
  bool bold = false;
  const Glyph* glyphs = nullptr;     // 256, by Windows-1252 byte
  const Kerning* kerning = nullptr;  // sorted by pair, ends with pair 0xFFFF
  std::size_t kerningCount = 0;
};

}  // namespace lorvant::plotfont
