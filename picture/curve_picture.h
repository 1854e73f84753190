// The current-curve picture: what is drawn where, in the picture's user
// coordinates (x from -10 to 1330, y from 0 to 209 downwards; the wire spans
// x = 0 to 1280). The drawing surface itself is an abstract canvas so that
// the computation stays free of any graphics library; BitmapCanvas draws
// it into pixels; callers without a picture use the null canvas.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/bands.h"

namespace lorvant {

// User coordinate system of the picture.
inline constexpr double kPictureScaleWidth = 1340;
inline constexpr double kPictureScaleHeight = 209;
inline constexpr double kPictureScaleLeft = -10;
inline constexpr double kPictureScaleTop = 0;
inline constexpr double kPictureWireWidth = 1280;  // x of the wire's end

// Where the parts of the picture stand, in those units.
namespace picture {
inline constexpr double kBaseline = 150;   // y of current 0 (the wire)
inline constexpr double kBandHeight = 80;  // a band's current 1 stands this far above it
inline constexpr double kSumHeight = 160;  // the current sum's 1
inline constexpr double kTickTop = 151;    // the metre scale's ticks hang from here
inline constexpr int kTickLong = 10;       // at a labelled metre
inline constexpr int kTickMiddle = 7;      // half way between two labels
inline constexpr int kTickShort = 5;
inline constexpr double kScaleLabelY = 165;     // the metre labels and the unit "m"
inline constexpr double kScaleLabelShift = 15;  // a label starts this far left of its tick
inline constexpr double kUnitShift = 22;        // the unit stands this far right of the wire's end
inline constexpr double kMarkY = 180;           // start, centre and end marks, candidate crosses
inline constexpr double kCrossShift = 5;        // a cross starts this far left of its position
inline constexpr double kLengthLabelY = 195;    // "Anfang", centre and total length
inline constexpr double kTotalOverhang = 40;    // the total length ends this far right of the end mark
inline constexpr double kLegendY = 4;
inline constexpr double kLegendX = 575;       // "Stromsummen:"
inline constexpr double kExtraLegendX = 900;  // the additional band's legend
// The sum curve's legend mark: the scan steps (centimetres) between these
// two, drawn at x = step on the line kLegendMarkY.
inline constexpr std::int32_t kLegendMarkFrom = 540;
inline constexpr std::int32_t kLegendMarkTo = 570;
inline constexpr double kLegendMarkY = 10;
}  // namespace picture

// Pixel size of the picture, in the window and in AntKurve.BMP alike: 0.6
// pixel per user unit across and 1 pixel per unit down, so the 1340 x 209
// units become 804 x 209 pixels and the labels keep their own lines.
inline constexpr int kPicturePixelWidth = 804;
inline constexpr int kPicturePixelHeight = 209;

// The sixteen colour numbers of the classic console palette.
struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};
Rgb PaletteColour(int colour);  // 0..15; other numbers give black

inline constexpr int kColourBlack = 0;
inline constexpr int kColourSum = 12;       // sum curve and its legend mark
inline constexpr int kColourExtraBand = 0;  // the additional band's curve

// Colour number of a band's curve (band index 0 = 1.8 MHz ... 10 = 50 MHz).
int BandColour(int bandIndex);
// Text colour of a band check box after a run: its band colour when the
// box is not off, black otherwise.
int BandCheckColour(int bandIndex, BandState value);

// A drawing surface with the user coordinates above.
class Canvas {
 public:
  virtual ~Canvas() = default;
  // Applies the coordinate system, drawing width 1 pixel, black, font size
  // 8, and clears the picture.
  virtual void setup() = 0;
  // Clears the picture (to white).
  virtual void clear() = 0;
  // One point of drawing width 1 at (x, y).
  virtual void point(double x, double y, int colour) = 0;
  // Text whose top-left corner stands at (x, y), like printing at the
  // current position of a picture box.
  virtual void text(double x, double y, std::string_view utf8, int colour) = 0;
  // Printed width of a text, in user units.
  virtual double textWidth(std::string_view utf8) const = 0;
  // The picture as the bytes of a Windows bitmap file (what is written as
  // AntKurve.BMP); empty when it cannot be encoded.
  virtual std::string bitmap() const = 0;
  // Whether there is an image to save at all.
  virtual bool keepsImage() const { return true; }
  // Width of one pixel in user units: what decides whether marks drawn side
  // by side still stand apart. Unless a canvas knows better, the picture's
  // default size.
  virtual double unitsPerPixel() const { return kPictureScaleWidth / kPicturePixelWidth; }
};

// A canvas that draws nothing (for callers without a picture). Its text
// width is an estimate of 6 user units per character; it keeps no image, so
// the run saves no AntKurve.BMP with it.
class NullCanvas : public Canvas {
 public:
  void setup() override {}
  void clear() override {}
  void point(double, double, int) override {}
  void text(double, double, std::string_view, int) override {}
  double textWidth(std::string_view utf8) const override;
  std::string bitmap() const override { return {}; }
  bool keepsImage() const override { return false; }
};

// The drawing steps of one optimisation run.
class CurvePicture {
 public:
  explicit CurvePicture(Canvas& canvas) : canvas_(canvas) {}

  // Before the scan: the coordinate system, cleared.
  void setup();
  void clear();

  // Horizontal scale: k = L * 100 / 1280 centimetres per unit (single).
  // Returns false when k is zero or not finite; then nothing that depends
  // on the scale is drawn. Also chooses how densely the metre scale is
  // drawn: a tick at every metre and a label at every 10 m as long as the
  // ticks stand at least three pixels apart and the labels do not touch,
  // otherwise at the nearest coarser steps of 1, 2 or 5 times a power of ten.
  bool setScale(float length);
  float scale() const { return k_; }

  // One scan step at position p (centimetres): the points of every shown
  // band (I1 seen from the start; shown[b] says whether band b has a box
  // value other than 0), the additional band when present, the base line,
  // the sum curve (T), the scale tick and its label, the legend mark.
  void step(std::int32_t p, const std::array<double, kBandCount>& i1, const std::array<bool, kBandCount>& shown,
            bool extraBand, double extraI1, double T);

  // After the scan: legend texts, unit, start/centre/end marks and lengths.
  void labels(std::int32_t N, float length, bool extraBand, float extraFrequency, Language lang, char sep);

  // A reported candidate at x metres from the start. A cross closer than
  // three pixels to one already drawn is not drawn again: on a long wire
  // neighbouring candidates would merge into a bar.
  void candidate(double x);

  std::string bitmap() const { return canvas_.bitmap(); }
  bool keepsImage() const { return canvas_.keepsImage(); }

 private:
  Canvas& canvas_;
  float k_ = 0;
  bool scaleOk_ = false;
  std::int32_t tickEvery_ = 100;    // centimetres between ticks
  std::int32_t labelEvery_ = 1000;  // centimetres between labels (and the longest ticks)
  std::vector<double> crosses_;     // x of the crosses drawn
};

}  // namespace lorvant
