#include "calc/necmodel.h"

#include <algorithm>
#include <cmath>

#include "calc/reports/text.h"

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
  const char* german;
  const char* english;
};

constexpr GroundEntry kGrounds[] = {
    {Ground::FreeSpace, "free", "Freiraum (ohne Boden)", "free space (no ground)"},
    {Ground::Perfect, "perfect", "idealer Boden", "perfect ground"},
    {Ground::Poor, "poor", "schlechter Boden", "poor ground"},
    {Ground::Average, "average", "mittlerer Boden", "average ground"},
    {Ground::Good, "good", "guter Boden", "good ground"},
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

std::string GroundName(Ground g, Language lang) { return tr(lang, EntryOf(g).german, EntryOf(g).english); }

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

std::string ModelErrorText(const ModelError& e, Language lang, char sep) {
  using Kind = ModelError::Kind;
  const auto num = [sep](double v) { return report::FormatGeneral(v, sep); };
  switch (e.kind()) {
    case Kind::BadLength:
      return tr(lang, "NEC-2-Prüfung: Die Antennenlänge muss größer als 0 sein.",
                "NEC-2 check: the antenna length must be above 0.");
    case Kind::FeedOutside:
      return tr(lang, "NEC-2-Prüfung: Der Speisepunkt ", "NEC-2 check: the feed point ") + num(e.value()) +
             tr(lang, " m liegt nicht auf dem Draht.", " m does not lie on the wire.");
    case Kind::BadDiameter:
      return tr(lang, "NEC-2-Prüfung: Der Leiterdurchmesser muss größer als 0 sein.",
                "NEC-2 check: the conductor diameter must be above 0.");
    case Kind::BadHeight:
      return tr(lang, "NEC-2-Prüfung: Die Höhe über Grund muss größer als der Drahtradius sein.",
                "NEC-2 check: the height above ground must exceed the wire's radius.");
    case Kind::BadFrequency:
      return tr(lang, "NEC-2-Prüfung: Keine Frequenz zu prüfen.", "NEC-2 check: no frequency to check.");
    case Kind::WireTooThick:
      return tr(lang, "NEC-2-Prüfung: Der Draht ist für NEC-2 bei ",
                "NEC-2 check: the wire is too thick for NEC-2 at ") +
             num(e.value()) +
             tr(lang, " MHz zu dick (Segmente kürzer als 8 Drahtradien).",
                " MHz (segments shorter than 8 wire radii).");
    case Kind::FeedNearEnd:
      return tr(lang, "NEC-2-Prüfung: Der Speisepunkt ", "NEC-2 check: the feed point ") + num(e.value()) +
             tr(lang, " m liegt zu nah am Drahtende.", " m lies too close to the end of the wire.");
    case Kind::TooManySegments:
      return tr(lang, "NEC-2-Prüfung: Das Modell bräuchte ", "NEC-2 check: the model would need ") + num(e.value()) +
             tr(lang, " Segmente (höchstens ", " segments (at most ") + std::to_string(kMaxSegments) +
             tr(lang, "); Speisepunkt zu nah am Drahtende oder Draht zu lang.",
                "); the feed point lies too close to an end or the wire is too long.");
  }
  return {};
}

}  // namespace lorvant::nec
