// The NEC-2 model of a designed antenna: one straight horizontal wire along
// x at a height above a ground, cut into segments by NEC-2's rules, with a
// voltage source on a segment centred on the feed point.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common.h"

namespace lorvant::nec {

// Metres times megahertz: NEC-2 works with the true speed of light, not
// with the 300 of the closed-form model.
inline constexpr double kSpeedOfLight = 299.792458;

// NEC-2's segmentation rules: a segment is at most a twentieth of the
// shortest wavelength and at least eight wire radii long; next to the
// source neighbouring segments differ by no more than a factor of two.
inline constexpr double kSegmentsPerWavelength = 20;
inline constexpr double kMinSegmentRadii = 8;
// Above this the engine's time grows out of all proportion (it rises with
// the cube of the count); only a feed point a few centimetres from an end,
// or a very long wire checked up to 50 MHz, gets there.
inline constexpr int kMaxSegments = 1000;

enum class Ground { FreeSpace, Perfect, Poor, Average, Good };

// Relative permittivity and conductivity (S/m) of a real ground.
struct GroundConstants {
  double permittivity = 1;
  double conductivity = 0;
};

// Real grounds are computed with the Sommerfeld-Norton method.
bool IsRealGround(Ground g);
GroundConstants ConstantsOf(Ground g);
// The batch tool's word: "free", "perfect", "poor", "average", "good".
const char* GroundWord(Ground g);
std::optional<Ground> GroundFromWord(std::string_view word);

// One GW wire: `segments` equal segments from x = start to x = end.
struct Wire {
  int tag = 0;
  int segments = 0;
  double start = 0;
  double end = 0;
  double segmentLength() const { return (end - start) / segments; }
};

struct Model {
  double length = 0;        // m; the wire runs from x = 0 to x = length
  double height = 0;        // m above the ground (z)
  double radius = 0;        // m, conductor diameter / 2 (insulation not modelled)
  double feed = 0;          // m from the wire's start
  double maxSegment = 0;    // m, a twentieth of the shortest checked wavelength
  std::vector<Wire> wires;  // in order from x = 0 to x = length, tags 1, 2, ...
  int sourceTag = 0;        // the wire that carries the source
  int sourceSegment = 0;    // its segment number within that wire (from 1)

  // The source segment's number counted over all wires, as the engine's
  // output names it.
  int sourceNumber() const;
  int segmentCount() const;
};

// Why no model could be made; texts by ModelErrorText (text/nec_texts.h).
class ModelError : public std::runtime_error {
 public:
  enum class Kind {
    BadLength,     // the wire length is not above 0
    FeedOutside,   // the feed point is not on the wire (0 < feed < length)
    BadDiameter,   // the conductor diameter is not above 0
    BadHeight,     // height not above 0 over a ground
    BadFrequency,  // no frequency above 0 to check
    WireTooThick,  // eight radii exceed a twentieth of the wavelength
    FeedNearEnd,   // the source segment next to a wire end would be shorter than eight radii
    TooManySegments,
  };
  ModelError(Kind kind, double value) : std::runtime_error("NEC-2 model"), kind_(kind), value_(value) {}
  Kind kind() const { return kind_; }
  // The figure the text names: the segment count for TooManySegments, the
  // highest frequency for WireTooThick, else the offending input.
  double value() const { return value_; }

 private:
  Kind kind_;
  double value_;
};

// The model for a wire of `length` metres fed at `feed` metres from its
// start, `height` metres up, of `diameterMm` conductor diameter, segmented
// for frequencies up to `highestMHz`. Throws ModelError.
//
// The source is a segment of its own whose centre is the feed point; the
// wire before and after it are wires of their own with segments no longer
// than the source's and at least half as long. A feed point less than one
// segment from an end makes the source segment shorter, or lets it reach
// the end (then there are two wires instead of three).
Model MakeModel(double length, double feed, double height, double diameterMm, double highestMHz, Ground ground);

}  // namespace lorvant::nec
