#include "engine/nec/model.h"

#include <algorithm>
#include <cmath>

namespace lorvant::nec {

bool IsRealGround(Ground g) { return g == Ground::Poor || g == Ground::Average || g == Ground::Good; }

GroundConstants ConstantsOf(Ground g) {
  switch (g) {
    case Ground::Poor:
      return {5, 0.001};
    case Ground::Average:
      return {13, 0.005};
    case Ground::Good:
      return {20, 0.03};
    case Ground::FreeSpace:
    case Ground::Perfect:
      break;
  }
  return {};
}

namespace {

struct GroundEntry {
  Ground ground;
  const char* word;
};

constexpr GroundEntry kGrounds[] = {
    {Ground::FreeSpace, "free"},  {Ground::Perfect, "perfect"}, {Ground::Poor, "poor"},
    {Ground::Average, "average"}, {Ground::Good, "good"},
};

const GroundEntry& EntryOf(Ground g) {
  for (const GroundEntry& e : kGrounds)
    if (e.ground == g) return e;
  return kGrounds[0];
}

// The lengths of the segments that fill `span` metres outward from a
// segment of `first` metres: each at most twice the one before and at most
// `longest`, all scaled alike so that they fill the span exactly. The
// scale is the one nearer 1 of shrinking the segments that reach past the
// span's end or stretching those that stop short of it; either keeps the
// neighbours' ratios, and the first segment stays within a factor of
// about 1.7 of `first`.
std::vector<double> Fill(double span, double first, double longest) {
  std::vector<double> lengths;
  double sum = 0;
  for (double next = std::min(first, longest); sum < span * (1 - 1e-12); next = std::min(2 * next, longest)) {
    lengths.push_back(next);
    sum += next;
  }
  if (lengths.empty()) return lengths;
  double scale = span / sum;
  const double shorter = sum - lengths.back();
  if (lengths.size() >= 2 && span / shorter < 1 / scale &&
      lengths[lengths.size() - 2] * span / shorter <= longest * (1 + 1e-9)) {
    lengths.pop_back();
    scale = span / shorter;
  }
  for (double& l : lengths) l *= scale;
  return lengths;
}

// One stretch of segments along the wire before it becomes GW cards.
struct Stretch {
  double start, end;  // m along the wire
  int segments;
  bool source;
};

// The pieces on one side of the source, outward from it: up to the bend
// when it lies on this side, then on to the wire's end. `room` is the
// distance from the source to the wire's end, `bend` the distance to the
// bend (none when it is not on this side). The segment after the bend
// continues from the one before it, so both sides of a bend get segments
// of similar length.
std::vector<std::vector<double>> Side(double room, std::optional<double> bend, double source, double longest) {
  std::vector<std::vector<double>> pieces;
  double first = source;
  if (bend && *bend > 0 && *bend < room) {
    pieces.push_back(Fill(*bend, first, longest));
    first = pieces.back().back();
    room -= *bend;
  }
  pieces.push_back(Fill(room, first, longest));
  return pieces;
}

// A piece's equal neighbours become one GW wire; a piece never shares a
// wire with the next, so no wire runs round the bend.
double AddPiece(std::vector<Stretch>& out, double at, const std::vector<double>& lengths) {
  bool fresh = true;
  for (double l : lengths) {
    Stretch* last = out.empty() ? nullptr : &out.back();
    if (!fresh && std::fabs((last->end - last->start) / last->segments - l) <= 1e-9 * l) {
      last->end = at + l;
      ++last->segments;
    } else {
      out.push_back({at, at + l, 1, false});
    }
    fresh = false;
    at += l;
  }
  return at;
}

double Wavelength(double mhz) { return kSpeedOfLight / mhz; }

}  // namespace

const char* GroundWord(Ground g) { return EntryOf(g).word; }

std::optional<Ground> GroundFromWord(std::string_view word) {
  for (const GroundEntry& e : kGrounds)
    if (word == e.word) return e.ground;
  return std::nullopt;
}

int Structure::sourceNumber() const {
  int n = sourceSegment;
  for (int t = 1; t < sourceTag; ++t) n += wires.at(static_cast<std::size_t>(t - 1)).segments;
  return n;
}

int Structure::segmentCount() const {
  int n = 0;
  for (const Wire& w : wires) n += w.segments;
  return n;
}

double Structure::sourceCentre() const {
  const Wire& w = wires.at(static_cast<std::size_t>(sourceTag - 1));
  return w.start + (sourceSegment - 0.5) * w.segmentLength();
}

int Model::segmentCount() const {
  int n = 0;
  for (const Structure& s : structures) n += s.segmentCount();
  return n;
}

namespace {

// The source segment of a structure and the stretches around it. A bend
// within half a source of the feed point has been laid straight by the
// caller (StraightenBend) and comes here as none.
std::vector<Stretch> Layout(double length, double feed, std::optional<double> bend, double source, double longest) {
  double a = feed - source / 2, b = feed + source / 2;
  if (bend) {
    // A bend so close beyond the source's end that the segment between
    // them would be less than half the source's would break its
    // neighbour: the source reaches to the bend instead, centred on the
    // feed point.
    const double d = std::fabs(*bend - feed);
    if (d < source) {
      const double half = std::min(d, longest / 2);
      a = feed - half;
      b = feed + half;
      if (half < d) {
        // Longer than a segment may be: the source and one neighbour of
        // its length reach the bend.
        a = feed - d / 3;
        b = feed + d / 3;
      }
    }
  }
  const double s = b - a;
  std::optional<double> before, after;
  if (bend && *bend <= a) before = a - *bend;
  if (bend && *bend >= b) after = *bend - b;
  std::vector<std::vector<double>> left = Side(a, before, s, longest);
  std::reverse(left.begin(), left.end());
  std::vector<Stretch> out;
  double at = 0;
  for (std::vector<double>& piece : left) {
    std::reverse(piece.begin(), piece.end());
    at = AddPiece(out, at, piece);
  }
  out.push_back({a, b, 1, true});
  at = b;
  for (const std::vector<double>& piece : Side(length - b, after, s, longest)) at = AddPiece(out, at, piece);
  return out;
}

// A structure's wire as straight pieces: `along[i]` metres along the wire
// lies at `points[i]`. Each boundary's point is computed once, so that a
// GW wire starts exactly where the one before ends.
struct Path {
  std::vector<double> along;
  std::vector<Point> points;

  Point at(double s) const {
    for (std::size_t i = 0; i < along.size(); ++i)
      if (std::fabs(s - along[i]) < 1e-9) return points[i];
    for (std::size_t i = 1; i < along.size(); ++i) {
      if (s < along[i]) {
        const double t = (s - along[i - 1]) / (along[i] - along[i - 1]);
        const Point& p = points[i - 1];
        const Point& q = points[i];
        return {p.x + t * (q.x - p.x), p.y + t * (q.y - p.y), p.z + t * (q.z - p.z)};
      }
    }
    return points.back();
  }
};

Path PathOf(const std::vector<Point>& corners, std::optional<double> bend, double length) {
  if (bend) return {{0, *bend, length}, corners};
  return {{0, length}, {corners.front(), corners.back()}};
}

}  // namespace

Model MakeModel(double length, double feed, const Hanging& hanging, double diameterMm, const Loads& loads,
                const FrequencyPlan& frequencies, Ground ground) {
  using Kind = ModelError::Kind;
  if (!(length > 0) || !std::isfinite(length)) throw ModelError(Kind::BadLength, length);
  if (!(feed > 0 && feed < length)) throw ModelError(Kind::FeedOutside, feed);
  if (!(diameterMm > 0) || !std::isfinite(diameterMm)) throw ModelError(Kind::BadDiameter, diameterMm);
  const double highest = frequencies.highest();
  if (!(highest > 0) || !std::isfinite(highest)) throw ModelError(Kind::BadFrequency, highest);
  for (const FrequencyStep& step : frequencies.steps)
    if (!(step.start > 0)) throw ModelError(Kind::BadFrequency, step.start);

  Model m;
  m.length = length;
  m.feed = feed;
  m.radius = diameterMm / 2000;
  m.hanging = hanging;
  m.loads = loads;
  if (loads.insulation) m.insulationInductance = InsulationInductance(*loads.insulation, diameterMm);
  try {
    m.corners = HangingPoints(hanging, length, feed, ground != Ground::FreeSpace);
  } catch (const HangError& e) {
    throw ModelError(e);
  }
  if (ground != Ground::FreeSpace) {
    double lowest = m.corners.front().z;
    for (const Point& p : m.corners) lowest = std::min(lowest, p.z);
    const double least = std::max(kMinHeightRadii * m.radius, IsRealGround(ground) ? kMinRealGroundHeight : 0.0);
    if (lowest < least) throw ModelError(Kind::TooLow, lowest, least);
  }
  // The bend splits the wire only where its legs really turn.
  std::optional<double> bend;
  if (m.corners.size() == 3) bend = BendAt(hanging, feed);

  // One structure per band, in the order the plan first names it.
  for (std::size_t i = 0; i < frequencies.steps.size(); ++i) {
    const FrequencyStep& step = frequencies.steps[i];
    auto it =
        std::find_if(m.structures.begin(), m.structures.end(), [&](const Structure& s) { return s.band == step.band; });
    if (it == m.structures.end()) {
      m.structures.push_back({});
      it = std::prev(m.structures.end());
      it->band = step.band;
      it->lowestMHz = step.start;
    }
    it->steps.push_back(i);
    it->lowestMHz = std::min(it->lowestMHz, step.start);
    it->highestMHz = std::max(it->highestMHz, step.frequency(step.count - 1));
  }

  const double thinnest = kMinSegmentRadii * m.radius;
  const double toEnd = std::min(feed, length - feed);
  double longestSource = 0;
  for (Structure& s : m.structures) {
    const double lambda = Wavelength(s.highestMHz);
    s.maxSegment = lambda / kSegmentsPerWavelength;
    if (s.maxSegment < thinnest) throw ModelError(Kind::WireTooThick, s.highestMHz);
    const double source = std::max(std::min(s.maxSegment, lambda / kSourceSegmentsPerWavelength), thinnest);
    longestSource = std::max(longestSource, source);
  }
  // The feed point needs a source segment and a neighbour at least half as
  // long between it and the end; shortening the source there instead
  // would give the engine's numbers for a wire end, not a feed point.
  if (toEnd < longestSource) throw ModelError(Kind::FeedNearEnd, feed, longestSource);

  for (Structure& s : m.structures) {
    const double lambda = Wavelength(s.highestMHz);
    const double source = std::max(std::min(s.maxSegment, lambda / kSourceSegmentsPerWavelength), thinnest);
    // The feed point on the bend, or so near it that the bend would cut
    // the source: the source is laid straight across it, as long as
    // anywhere else, where a source beside the bend would have to be too
    // short for the engine on the lower bands.
    std::optional<double> bendHere = bend;
    Path path;
    if (bend && std::fabs(*bend - feed) < source / 2) {
      const double a = feed - source / 2, b = feed + source / 2;
      path = {{0, a, b, length}, StraightenBend(m.corners, *bend, a, b, length)};
      bendHere.reset();
    } else {
      path = PathOf(m.corners, bend, length);
    }
    s.corners = path.points;
    const std::vector<Stretch> stretches = Layout(length, feed, bendHere, source, s.maxSegment);
    int total = 0;
    for (const Stretch& p : stretches) {
      total += p.segments;
      if ((p.end - p.start) / p.segments < thinnest * (1 - 1e-9)) throw ModelError(Kind::WireTooThick, s.highestMHz);
    }
    if (total > kMaxSegments) throw ModelError(Kind::TooManySegments, total);

    int tag = 0;
    Point from = path.points.front();
    for (std::size_t k = 0; k < stretches.size(); ++k) {
      const Stretch& p = stretches[k];
      const double end = k + 1 == stretches.size() ? length : p.end;
      const Point to = path.at(end);
      ++tag;
      s.wires.push_back({tag, p.segments, k == 0 ? 0 : s.wires.back().end, end, from, to});
      if (p.source) {
        s.sourceTag = tag;
        s.sourceSegment = 1;
      }
      from = to;
    }
  }
  return m;
}

}  // namespace lorvant::nec
