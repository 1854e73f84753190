// The font of the picture's labels, built into the program: DejaVu Sans at
// 8 points on a 96-dpi picture, unsmoothed, glyph for glyph and position for
// position as Qt draws that font (its glyphs, advances and kerning are
// rendered by Qt at build time, see render_label_font.cpp). Drawing needs no
// font file, no font configuration and no graphics library: the batch tool
// draws the picture without starting a GUI, and the window and the batch
// tool draw the same pixels on every machine.
//
// It knows the characters of Windows-1252; any other character is drawn as
// "?", as the reports write it. Ligatures are not formed (the picture's
// texts have none).
#pragma once

#include <cstdint>
#include <string_view>

namespace lorvant::labelfont {

// Width of a text (UTF-8) in pixels.
double Width(std::string_view utf8);

// Distance from the top of a line of text to its baseline, in pixels.
double Ascent();

// Draws a text (UTF-8) whose baseline starts at (x, baseline) pixels into
// `pixels`, `height` rows of `width` values, the top row first: the text's
// pixels are set to `value`, those outside the image are dropped.
void Draw(std::uint8_t* pixels, int width, int height, double x, double baseline, std::string_view utf8,
          std::uint8_t value);

}  // namespace lorvant::labelfont
