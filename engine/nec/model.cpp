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

// A piece of the wire before it becomes a GW card.
struct Piece {
  double start, end;
  int segments;
  bool source;
};

// Segments no longer than `longest` for a stretch of `span` metres.
int SegmentsFor(double span, double longest) {
  // A hair of tolerance keeps an exact multiple from getting one more.
  return std::max(1, static_cast<int>(std::ceil(span / longest - 1e-9)));
}

// The layout with the source at the feed point, for a wire whose feed point
// lies nearer its start than its end (the caller mirrors the other case).
std::vector<Piece> Layout(double length, double feed, double nominal) {
  std::vector<Piece> pieces;
  if (feed >= nominal) {
    // Room on both sides: wire, source segment, wire.
    const double a = feed - nominal / 2, b = feed + nominal / 2;
    pieces.push_back({0, a, SegmentsFor(a, nominal), false});
    pieces.push_back({a, b, 1, true});
    pieces.push_back({b, length, SegmentsFor(length - b, nominal), false});
  } else if (feed >= nominal / 2) {
    // Less than a segment before the feed point: a source as long as that
    // distance, and half of it as the one segment before.
    const double source = feed;
    pieces.push_back({0, feed / 2, 1, false});
    pieces.push_back({feed / 2, feed * 1.5, 1, true});
    pieces.push_back({feed * 1.5, length, SegmentsFor(length - feed * 1.5, source), false});
  } else {
    // Closer than half a segment: the source segment reaches the end.
    const double source = 2 * feed;
    pieces.push_back({0, source, 1, true});
    pieces.push_back({source, length, SegmentsFor(length - source, source), false});
  }
  return pieces;
}

}  // namespace

const char* GroundWord(Ground g) { return EntryOf(g).word; }

std::optional<Ground> GroundFromWord(std::string_view word) {
  for (const GroundEntry& e : kGrounds)
    if (word == e.word) return e.ground;
  return std::nullopt;
}

int Model::sourceNumber() const {
  int n = sourceSegment;
  for (int t = 1; t < sourceTag; ++t) n += wires.at(static_cast<std::size_t>(t - 1)).segments;
  return n;
}

int Model::segmentCount() const {
  int n = 0;
  for (const Wire& w : wires) n += w.segments;
  return n;
}

Model MakeModel(double length, double feed, double height, double diameterMm, double highestMHz, Ground ground) {
  using Kind = ModelError::Kind;
  if (!(length > 0) || !std::isfinite(length)) throw ModelError(Kind::BadLength, length);
  if (!(feed > 0 && feed < length)) throw ModelError(Kind::FeedOutside, feed);
  if (!(diameterMm > 0) || !std::isfinite(diameterMm)) throw ModelError(Kind::BadDiameter, diameterMm);
  if (!(highestMHz > 0) || !std::isfinite(highestMHz)) throw ModelError(Kind::BadFrequency, highestMHz);
  const double radius = diameterMm / 2000;
  // Over a ground the wire must stay clear of it; in free space the height
  // only places the wire.
  const bool heightOk = ground == Ground::FreeSpace ? height >= 0 : height > radius;
  if (!heightOk || !std::isfinite(height)) throw ModelError(Kind::BadHeight, height);

  Model m;
  m.length = length;
  m.feed = feed;
  m.height = height;
  m.radius = radius;
  m.maxSegment = kSpeedOfLight / highestMHz / kSegmentsPerWavelength;
  const double shortest = kMinSegmentRadii * radius;
  if (m.maxSegment < shortest) throw ModelError(Kind::WireTooThick, highestMHz);

  // At least three segments, so that a feed point always has room on one side.
  const int nominalCount = std::max(3, SegmentsFor(length, m.maxSegment));
  const double nominal = length / nominalCount;

  const bool mirrored = length - feed < feed;
  std::vector<Piece> pieces = Layout(length, mirrored ? length - feed : feed, nominal);
  if (mirrored) {
    std::reverse(pieces.begin(), pieces.end());
    for (Piece& p : pieces) p = {length - p.end, length - p.start, p.segments, p.source};
  }

  int total = 0;
  for (const Piece& p : pieces) {
    total += p.segments;
    if ((p.end - p.start) / p.segments < shortest) {
      // Only the shortened pieces near an end can get below eight radii:
      // the nominal segment is longer than that when the wire is thin enough.
      throw ModelError(nominal / 2 < shortest ? Kind::WireTooThick : Kind::FeedNearEnd,
                       nominal / 2 < shortest ? highestMHz : feed);
    }
  }
  if (total > kMaxSegments) throw ModelError(Kind::TooManySegments, total);

  int tag = 0;
  for (const Piece& p : pieces) {
    ++tag;
    m.wires.push_back({tag, p.segments, p.start, p.end});
    if (p.source) {
      m.sourceTag = tag;
      m.sourceSegment = 1;
    }
  }
  // The pieces meet exactly: the start of each is the end of the one before.
  m.wires.front().start = 0;
  m.wires.back().end = length;
  return m;
}

}  // namespace lorvant::nec
