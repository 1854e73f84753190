// The NEC-2 model of a designed antenna: the wire as it hangs above a
// ground (engine/nec/hanging.h), one structure per checked band, each cut
// into segments by NEC-2's rules with a voltage source on a segment
// centred on the feed point, and the wire's loads.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common.h"
#include "engine/nec/frequencies.h"
#include "engine/nec/hanging.h"
#include "engine/nec/loads.h"

namespace lorvant::nec {

// Metres times megahertz: NEC-2 works with the true speed of light, not
// with the 300 of the closed-form model.
inline constexpr double kSpeedOfLight = 299.792458;

// NEC-2's segmentation rules: a segment is at least eight wire radii long
// and more than a thousandth of a wavelength; next to the source and across
// a bend neighbouring segments differ by no more than a factor of two. The
// thousandth holds by itself: 1/80 of a band's highest frequency is far
// above it, and a feed point on a bend gets a source of that length too,
// laid straight across the bend. Each band is a structure of its own, cut into segments of
// at most 1 / kSegmentsPerWavelength of its highest frequency's wavelength;
// its source segment and the one segment on either side of it are as long
// as a kSourceSegmentsPerWavelength-th, and the segments beyond grow by
// doubling. The figures come from nec2c on 40 m and 41.2 m wires over
// average ground, fed off centre, on all eleven bands: R and X lie within
// 1.2 % of |Z| (or 2 ohm) of a model cut into eightieths of a wavelength
// (1.9 % with twentieths). A feed point of high impedance is decided mostly
// by the source segment's own length, a low one by the step to its
// neighbours: a source as short as the finer model's with neighbours of its
// length meets both.
inline constexpr double kSegmentsPerWavelength = 30;
inline constexpr double kSourceSegmentsPerWavelength = 80;
inline constexpr double kMinSegmentRadii = 8;
// Per structure. Above this the engine's time grows out of all proportion
// (it rises with the cube of the count); only a very long wire checked up
// to 50 MHz gets there.
inline constexpr int kMaxSegments = 1000;
// The wire must hang at least ten radii above any ground, and over a real
// ground at least 0.1 m (the Sommerfeld-Norton tables need it).
inline constexpr double kMinHeightRadii = 10;
inline constexpr double kMinRealGroundHeight = 0.1;
// How far the source segment's centre may lie from the feed point along the
// wire, m.
inline constexpr double kSourceTolerance = 0.01;

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

// One GW wire: `segments` equal segments from `from` to `to`, which lie
// `start` and `end` metres along the hanging wire.
struct Wire {
  int tag = 0;
  int segments = 0;
  double start = 0;
  double end = 0;
  Point from, to;
  double radius = 0;  // m; 0: the model's conductor
  double segmentLength() const { return (end - start) / segments; }
};

// One band's NEC-2 structure: the wire cut for that band's highest
// frequency, with its own source segment.
struct Structure {
  int band = 0;
  std::vector<std::size_t> steps;  // indices into the plan's steps, in their order
  double lowestMHz = 0, highestMHz = 0;
  double maxSegment = 0;  // m, the longest segment this band allows
  // The polyline its wires follow: the model's corners, or with the bend
  // laid straight under the source (see MakeModel).
  std::vector<Point> corners;
  std::vector<Wire> wires;  // in order along the wire, tags 1, 2, ...
  int sourceTag = 0;        // the wire that carries the source
  int sourceSegment = 0;    // its segment number within that wire (from 1)
  // The feed line's shield, a wire after the antenna's (engine/nec/feedline.h);
  // 0 without one.
  int shieldTag = 0;

  // The source segment's number counted over all wires, as the engine's
  // output names it.
  int sourceNumber() const;
  int segmentCount() const;
  // The source segment's centre, m along the wire.
  double sourceCentre() const;
};

struct Model {
  double length = 0;  // m along the wire
  double radius = 0;  // m, conductor diameter / 2
  double feed = 0;    // m along the wire from its start
  Hanging hanging;
  std::vector<Point> corners;  // HangingPoints: the wire's polyline
  Loads loads;
  double insulationInductance = 0;    // H/m of the sleeve; 0 without one
  double chokeOhms = 0;               // a resistive choke atop the shield; 0 without one
  std::vector<Structure> structures;  // one per band, in the order the plan first names them

  int segmentCount() const;  // over all structures
};

// Why no model could be made; texts by ModelErrorText (text/nec_texts.h).
class ModelError : public std::runtime_error {
 public:
  enum class Kind {
    BadLength,     // the wire length is not above 0
    FeedOutside,   // the feed point is not on the wire (0 < feed < length)
    BadDiameter,   // the conductor diameter is not above 0
    BadFrequency,  // no frequency above 0 to check
    WireTooThick,  // eight radii exceed a band's longest segment
    FeedNearEnd,   // the feed point lies closer to an end than one segment of the model
    TooManySegments,
    TooLow,      // a point of the wire lies lower than NEC-2 can model over the ground
    CannotHang,  // the hanging's values do not make a wire (hang() says why)
  };
  ModelError(Kind kind, double value, double limit = 0)
      : std::runtime_error("NEC-2 model"), kind_(kind), value_(value), limit_(limit) {}
  explicit ModelError(const HangError& e)
      : std::runtime_error("NEC-2 model"), kind_(Kind::CannotHang), value_(e.figure), hang_(e) {}
  Kind kind() const { return kind_; }
  // The figure the text names: the segment count for TooManySegments, the
  // highest frequency for WireTooThick, the lowest point's height for
  // TooLow, else the offending input.
  double value() const { return value_; }
  // The bound it broke: the segment length for FeedNearEnd, the least
  // height for TooLow.
  double limit() const { return limit_; }
  const std::optional<HangError>& hang() const { return hang_; }

 private:
  Kind kind_;
  double value_;
  double limit_ = 0;
  std::optional<HangError> hang_;
};

// The model for a wire of `length` metres fed at `feed` metres from its
// start along the wire, hanging as told, of `diameterMm` conductor
// diameter, with one structure per band of `frequencies` (grouped by band
// in the order of their first step). Throws ModelError.
//
// Each structure cuts the wire's polyline into GW wires: the source is a
// segment of its own centred on the feed point; the pieces before and
// after it, split at the bend, grow from the source's length by at most a
// factor of two per segment up to the band's longest segment. A bend
// closer to the feed point than half the source's length is laid straight
// under the source (StraightenBend): a few centimetres of the apex become
// level, as the balun's box holds them, and the wire keeps its length.
Model MakeModel(double length, double feed, const Hanging& hanging, double diameterMm, const Loads& loads,
                const FrequencyPlan& frequencies, Ground ground);

}  // namespace lorvant::nec
