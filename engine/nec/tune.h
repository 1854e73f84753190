// Tuning a design with the NEC-2 engine: the search for the wire length and
// feed point that serve the counted bands best. The search knows nothing of
// the engine: it hands batches of candidates to an evaluator and ranks what
// comes back, so that a batch may be solved in parallel and the outcome is
// the same however many engines run at once.
//
// The landscape is rugged (a band's impedance swings from a few ohms to
// kilohms as a current node passes the feed point), so the search first
// scores a coarse grid over the whole range and then walks from the best
// few grid points with a pattern search: the eight neighbours at the
// current steps, moving to the best one that is better, halving both steps
// when none is, until the steps are down to the resolutions. A cheaper
// evaluator may take the grid and the walks' first, long steps; the best
// of its candidates then walk the last, short steps on the full one.
#pragma once

#include <limits>
#include <span>
#include <vector>

namespace lorvant::nec {

// One candidate: the wire's length and its feed point as a fraction of the
// length from the wire's start.
struct TunePoint {
  double length = 0;        // m
  double feedFraction = 0;  // 0..1
  bool operator==(const TunePoint&) const = default;
};

// How well a candidate serves. Ranked lexicographically: a valid candidate
// before one that could not be modelled or solved, more usable bands before
// fewer, then the lower worst SWR (weighted, see tune_score.h), then the
// shorter wire, then the feed point nearer the start.
struct TuneScore {
  bool valid = false;
  int usableBands = 0;
  double worstSwr = std::numeric_limits<double>::infinity();
  double balunRatio = 1;  // the ratio that gives worstSwr
};

// True when `a` at `pa` ranks before `b` at `pb`.
bool Better(const TuneScore& a, const TunePoint& pa, const TuneScore& b, const TunePoint& pb);

class TuneEvaluator {
 public:
  virtual ~TuneEvaluator() = default;
  // The scores of the candidates in their order. A candidate's score may
  // depend only on the candidate, not on the others in its batch.
  virtual std::vector<TuneScore> evaluate(std::span<const TunePoint> batch) = 0;
};

// Where the search looks: the length within ±kTuneLengthRange of the start,
// the feed point between kTuneFeedMin and kTuneFeedMax of the length.
inline constexpr double kTuneLengthRange = 0.10;
inline constexpr double kTuneFeedMin = 0.05;
inline constexpr double kTuneFeedMax = 0.50;

struct TuneBounds {
  double lengthMin = 0, lengthMax = 0;  // m
  double feedMin = kTuneFeedMin, feedMax = kTuneFeedMax;
};
// ±kTuneLengthRange around `length`.
TuneBounds BoundsAround(double length);

struct TuneOptions {
  // The coarse grid: this many lengths and feed fractions, ends included.
  int gridLengths = 9;
  int gridFeeds = 10;
  // The pattern search starts from the best this many grid points and
  // starts.
  int seeds = 3;
  // The steps the pattern search ends at.
  double lengthResolution = 0.01;  // m
  double feedResolution = 0.001;   // of the length
  // With a coarse evaluator the grid and the walks down to these steps are
  // its; the final walks, from the best `refineSeeds` candidates it found,
  // at these steps, and every outcome are the evaluator's.
  double coarseLengthResolution = 0.04;  // m
  double coarseFeedResolution = 0.004;   // of the length
  // One: on the 80/40/20/10 m OCF over average ground the coarse model's
  // best grid point is also Sommerfeld-Norton's best (bench_tune), a walk
  // over the chosen ground costs some ten coarse ones, and a second walk
  // found the same design.
  int refineSeeds = 1;
  // A bound on the candidates scored, so that no landscape keeps the search
  // going for ever; the best found so far is the outcome.
  int maxEvaluations = 2000;
};

struct TuneOutcome {
  TunePoint start;  // the best of the starts
  TuneScore startScore;
  TunePoint best;  // never ranked after the start
  TuneScore bestScore;
  int evaluations = 0;        // distinct candidates scored, by both evaluators
  int coarseEvaluations = 0;  // of them by the coarse evaluator
  int batches = 0;            // calls of the evaluators
};

// Searches from `starts` (at least one; they are scored as given, even
// outside the bounds, and compete for the outcome) within `bounds`. A
// `coarse` evaluator, cheaper than `evaluator` and ranking much as it does,
// takes the grid and the first walks; only `evaluator`'s scores compete for
// the outcome. Exceptions of the evaluators pass through.
TuneOutcome Tune(std::span<const TunePoint> starts, const TuneBounds& bounds, const TuneOptions& options,
                 TuneEvaluator& evaluator, TuneEvaluator* coarse = nullptr);

}  // namespace lorvant::nec
