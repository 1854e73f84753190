#include "picture/curve_picture.h"

#include <cmath>

#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant {

namespace {

// Colour numbers of the band curves by band index (1.8 ... 50 MHz).
constexpr std::array<int, kBandCount> kBandColours = {1, 6, 2, 5, 8, 14, 9, 3, 10, 4, 11};

constexpr std::array<Rgb, 16> kPalette = {{
    {0, 0, 0},
    {0, 0, 128},
    {0, 128, 0},
    {0, 128, 128},
    {128, 0, 0},
    {128, 0, 128},
    {128, 128, 0},
    {192, 192, 192},
    {128, 128, 128},
    {0, 0, 255},
    {0, 255, 0},
    {0, 255, 255},
    {255, 0, 0},
    {255, 0, 255},
    {255, 255, 0},
    {255, 255, 255},
}};

}  // namespace

Rgb PaletteColour(int colour) {
  if (colour < 0 || colour > 15) return kPalette[0];
  return kPalette[static_cast<std::size_t>(colour)];
}

int BandColour(int bandIndex) {
  if (bandIndex < 0 || bandIndex >= kBandCount) return kColourBlack;
  return kBandColours[static_cast<std::size_t>(bandIndex)];
}

int BandCheckColour(int bandIndex, BandState value) {
  return value != BandState::Off ? BandColour(bandIndex) : kColourBlack;
}

double NullCanvas::textWidth(std::string_view utf8) const { return 6.0 * report::CharCount(utf8); }

namespace {

// Marks closer than this many pixels run together.
constexpr double kMinPixelsApart = 3;

// The step after `step` in the row 1, 2, 5, 10, 20, 50, ...
std::int32_t NextStep(std::int32_t step) {
  std::int32_t decade = 1;
  while (step / decade >= 10) decade *= 10;
  const std::int32_t lead = step / decade;
  return lead == 1 ? 2 * decade : lead == 2 ? 5 * decade : 10 * decade;
}

}  // namespace

void CurvePicture::setup() {
  crosses_.clear();
  canvas_.setup();
}

void CurvePicture::clear() {
  crosses_.clear();
  canvas_.clear();
}

bool CurvePicture::setScale(float length) {
  k_ = sng(static_cast<double>(length) * 100 / kPictureWireWidth);
  scaleOk_ = std::isfinite(k_) && k_ != 0;
  tickEvery_ = 100;
  labelEvery_ = 1000;
  if (!scaleOk_) return false;

  // Steps beyond the wire leave just the start's tick and label.
  constexpr std::int32_t kLongest = 1'000'000'000;
  const double units = 1 / std::fabs(static_cast<double>(k_));  // per centimetre
  const double minTick = kMinPixelsApart * canvas_.unitsPerPixel();
  while (tickEvery_ < kLongest && tickEvery_ * units < minTick) tickEvery_ = NextStep(tickEvery_);
  // The widest label is the one of the last whole metre.
  const double metres = std::floor(std::fabs(static_cast<double>(length)));
  const double widest = canvas_.textWidth(" " + std::to_string(metres < 1e9 ? static_cast<long long>(metres) : 0));
  while (labelEvery_ < kLongest &&
         (labelEvery_ < tickEvery_ || labelEvery_ % tickEvery_ != 0 || labelEvery_ * units < widest))
    labelEvery_ = NextStep(labelEvery_);
  return true;
}

void CurvePicture::step(std::int32_t p, const std::array<double, kBandCount>& i1,
                        const std::array<bool, kBandCount>& shown, bool extraBand, double extraI1, double T) {
  if (!scaleOk_) return;
  using namespace picture;
  const double x = static_cast<double>(p) / k_;
  for (int b = kBandCount - 1; b >= 0; --b) {
    const auto i = static_cast<std::size_t>(b);
    if (shown[i]) canvas_.point(x, kBaseline - kBandHeight * i1[i], BandColour(b));
  }
  if (extraBand) canvas_.point(x, kBaseline - kBandHeight * extraI1, kColourExtraBand);
  canvas_.point(x, kBaseline, kColourBlack);
  canvas_.point(x, kBaseline - kSumHeight * T, kColourSum);
  if (p % tickEvery_ == 0) {
    // A short wire: long ticks at every 10 m (the labels), middle ones at
    // the 5 m between.
    const std::int32_t half = labelEvery_ / 2;
    const int length = p % labelEvery_ == 0                      ? kTickLong
                       : half % tickEvery_ == 0 && p % half == 0 ? kTickMiddle
                                                                 : kTickShort;
    for (int j = 0; j <= length; ++j) canvas_.point(x, kTickTop + j, kColourBlack);
    // The metre value prints like a number: with a leading blank.
    if (p % labelEvery_ == 0)
      canvas_.text(x - kScaleLabelShift, kScaleLabelY, " " + std::to_string(p / 100), kColourBlack);
  }
  if (p > kLegendMarkFrom && p < kLegendMarkTo) canvas_.point(p, kLegendMarkY, kColourSum);
}

void CurvePicture::labels(std::int32_t N, float length, bool extraBand, float extraFrequency, Language lang, char sep) {
  using namespace picture;
  canvas_.text(kLegendX, kLegendY, std::string(" ") + say(lang, Text::ReportCurrentSums), kColourBlack);
  if (extraBand) {
    canvas_.text(
        kExtraLegendX, kLegendY,
        std::string(say(lang, Text::PictureExtraBand)) + report::FormatPicture(extraFrequency, "##0.0#", sep) + " MHz",
        kColourBlack);
  }
  if (!scaleOk_) return;
  const double end = static_cast<double>(N) / k_;
  canvas_.text(end + kUnitShift, kScaleLabelY, "m", kColourBlack);
  canvas_.text(0, kMarkY, "|", kColourBlack);
  canvas_.text(end / 2, kMarkY, "|", kColourBlack);
  canvas_.text(end, kMarkY, "|", kColourBlack);

  canvas_.text(0, kLengthLabelY, say(lang, Text::PictureStart), kColourBlack);
  // The centre label stands under the centre mark.
  const std::string centre = std::string(say(lang, Text::PictureCentre)) +
                             report::FormatPicture(sng(static_cast<double>(length) / 2), "###0.0##", sep) + " m";
  canvas_.text(end / 2 - canvas_.textWidth(centre) / 2, kLengthLabelY, centre, kColourBlack);
  const std::string total =
      std::string(say(lang, Text::PictureTotalLength)) + report::FormatPicture(length, "###0.0##", sep) + " m";
  canvas_.text(end - (canvas_.textWidth(total) - kTotalOverhang), kLengthLabelY, total, kColourBlack);
}

void CurvePicture::candidate(double x) {
  if (!scaleOk_) return;
  const double at = x * 100 / k_ - picture::kCrossShift;
  const double apart = kMinPixelsApart * canvas_.unitsPerPixel();
  for (double drawn : crosses_)
    if (std::fabs(at - drawn) < apart) return;
  crosses_.push_back(at);
  canvas_.text(at, picture::kMarkY, "X", kColourBlack);
}

}  // namespace lorvant
