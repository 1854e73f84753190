#include "engine/bands.h"

#include <cmath>
#include <initializer_list>
#include <string>

namespace lorvant {
namespace {

constexpr std::array<float, kBandCount> kNominal = {1.8f,  3.5f,  5.3f,  7.0f,  10.0f, 14.0f,
                                                    18.0f, 21.0f, 24.9f, 28.0f, 50.0f};

// Representative frequencies per band: CW, SSB, band centre.
struct SegmentRow {
  float cw, ssb, centre;
};
constexpr std::array<SegmentRow, kBandCount> kTableS = {{
    {1.82f, 1.86f, 1.857f},
    {3.5f, 3.7f, 3.65f},
    {5.353f, 5.36f, 5.36f},
    {7.02f, 7.12f, 7.1f},
    {10.1f, 10.13f, 10.125f},
    {14.0f, 14.25f, 14.2f},
    {18.068f, 18.13f, 18.118f},
    {21.0f, 21.25f, 21.225f},
    {24.89f, 24.95f, 24.94f},
    {28.0f, 28.6f, 28.5f},
    {50.09f, 50.15f, 50.5f},
}};

// The wavelength table of the run differs from the lookup in three cells
// (3.5 MHz SSB, 14 MHz centre, 50 MHz CW); both are kept as they are.
struct WavelengthRow {
  double cw, ssb, centre;
};
constexpr std::array<WavelengthRow, kBandCount> kTableW = {{
    {1.82, 1.86, 1.857},
    {3.5, 3.75, 3.65},
    {5.353, 5.36, 5.36},
    {7.02, 7.12, 7.1},
    {10.1, 10.13, 10.125},
    {14.0, 14.25, 14.25},
    {18.068, 18.13, 18.118},
    {21.0, 21.25, 21.225},
    {24.89, 24.95, 24.94},
    {28.0, 28.6, 28.5},
    {50.1, 50.15, 50.5},
}};

// Band index of a whole-MHz key, or -1 when no band answers to it.
int bandOfKey(int key) {
  switch (key) {
    case 2:
      return 0;
    case 3:
    case 4:
      return 1;
    case 5:
      return 2;
    case 6:
    case 7:
      return 3;
    case 10:
      return 4;
    case 14:
      return 5;
    case 18:
      return 6;
    case 21:
      return 7;
    case 25:
      return 8;
    case 28:
    case 29:
    case 30:
      return 9;
    case 50:
      return 10;
    default:
      return -1;
  }
}

template <class Row>
auto column(const Row& row, Segment segment) {
  if (segment == Segment::Cw) return row.cw;
  if (segment == Segment::Ssb) return row.ssb;
  return row.centre;
}

}  // namespace

float BandNennFrequenz(int index) {
  if (index < 0 || index >= kBandCount) return 0;
  return kNominal[static_cast<std::size_t>(index)];
}

float SegmentFrequenz(Segment segment, float f) {
  const auto key = toInt16(f);
  if (!key) return f;
  const int band = bandOfKey(*key);
  if (band < 0) return f;
  return column(kTableS[static_cast<std::size_t>(band)], segment);
}

double BandTableWFrequency(int bandIndex, Segment segment) {
  if (bandIndex < 0 || bandIndex >= kBandCount) return 0;
  return column(kTableW[static_cast<std::size_t>(bandIndex)], segment);
}

SegmentSuggestion SuggestSegment(float f0) {
  SegmentSuggestion s;
  // A frequency that is no number at all lies in no band.
  if (!std::isfinite(f0)) {
    s.outsideBands = true;
    return s;
  }
  // The rounded frequency itself, not its 16-bit key: a value too large for
  // a key simply lies outside every band.
  const float r = static_cast<float>(roundHalfEven(f0));
  const float cw = SegmentFrequenz(Segment::Cw, r);
  const float ssb = SegmentFrequenz(Segment::Ssb, r);
  const float centre = SegmentFrequenz(Segment::Centre, r);

  if (cw == r && ssb == r && centre == r) {
    s.outsideBands = true;
    s.segment = Segment::Centre;
  } else if (f0 > centre) {
    s.segment = sng(static_cast<double>(ssb) / f0) > 1.003 ? Segment::Centre : Segment::Ssb;
  } else if (f0 == centre) {
    s.segment = Segment::Centre;
  } else {
    s.segment = sng(static_cast<double>(f0) / cw) > 1.004 ? Segment::Centre : Segment::Cw;
  }
  return s;
}

std::optional<Segment> SegmentOfButton(int button) {
  switch (button) {
    case 0:
      return Segment::Cw;
    case 1:
      return Segment::Ssb;
    case 2:
      return Segment::Centre;
    default:
      return std::nullopt;
  }
}

int ButtonOfSegment(std::optional<Segment> segment) {
  return segment ? static_cast<int>(*segment) - 1 : kNoSegmentButton;
}

std::optional<BandState> BandStateOf(int value) {
  if (value < 0 || value > 2) return std::nullopt;
  return static_cast<BandState>(value);
}

}  // namespace lorvant
