// The SWR picture of a NEC-2 check drawn into pixels in memory and written
// as a PNG file: plain C++, so that the batch tool writes without a GUI the
// same bytes as the NEC-2 window saves. Lines, curves and dots are smoothed
// by their covered share of each pixel; texts are DejaVu Sans, rendered
// into the program at build time (render_plot_font.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture/swr_picture.h"

namespace lorvant::nec {

// Rows top down, three bytes (red, green, blue) per pixel.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
};

RgbImage RasteriseSwrPicture(const SwrPicture& picture);

// A PNG file of 8-bit RGB pixels, compressed with zlib.
std::string PngOf(const RgbImage& image);

// The two together: the picture's PNG file.
std::string SwrPicturePng(const SwrPicture& picture);

// Width of a text of the picture, pixels.
double PlotTextWidth(const PlotText& text);

}  // namespace lorvant::nec
