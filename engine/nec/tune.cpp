#include "engine/nec/tune.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace lorvant::nec {

namespace {

// Candidates the search reached by different sums of steps are one
// candidate when they agree to a micrometre and a ten-millionth.
using Key = std::pair<long long, long long>;
Key KeyOf(const TunePoint& p) { return {std::llround(p.length * 1e6), std::llround(p.feedFraction * 1e7)}; }

TunePoint Clamped(const TunePoint& p, const TuneBounds& b) {
  return {std::clamp(p.length, b.lengthMin, b.lengthMax), std::clamp(p.feedFraction, b.feedMin, b.feedMax)};
}

// Every candidate scored so far, and the count of calls.
class Scores {
 public:
  explicit Scores(TuneEvaluator& evaluator) : evaluator_(evaluator) {}

  bool known(const TunePoint& p) const { return scores_.count(KeyOf(p)) != 0; }
  const std::pair<TunePoint, TuneScore>& at(const TunePoint& p) const { return scores_.at(KeyOf(p)); }
  int evaluations() const { return static_cast<int>(scores_.size()); }
  int batches() const { return batches_; }

  // Scores those of `points` not scored yet, in one batch.
  void score(const std::vector<TunePoint>& points) {
    std::vector<TunePoint> batch;
    std::set<Key> keys;
    for (const TunePoint& p : points)
      if (!known(p) && keys.insert(KeyOf(p)).second) batch.push_back(p);
    if (batch.empty()) return;
    const std::vector<TuneScore> got = evaluator_.evaluate(batch);
    ++batches_;
    for (std::size_t i = 0; i < batch.size(); ++i)
      scores_[KeyOf(batch[i])] = {batch[i], i < got.size() ? got[i] : TuneScore{}};
  }

  // The best scored candidate for which `admit` holds; the map's order
  // makes the choice among equals fixed.
  template <class Admit>
  std::vector<TunePoint> best(std::size_t count, Admit admit) const {
    std::vector<const std::pair<TunePoint, TuneScore>*> all;
    for (const auto& [key, entry] : scores_)
      if (admit(entry.first)) all.push_back(&entry);
    std::stable_sort(all.begin(), all.end(),
                     [](const auto* a, const auto* b) { return Better(a->second, a->first, b->second, b->first); });
    std::vector<TunePoint> points;
    for (std::size_t i = 0; i < all.size() && i < count; ++i) points.push_back(all[i]->first);
    return points;
  }

 private:
  TuneEvaluator& evaluator_;
  std::map<Key, std::pair<TunePoint, TuneScore>> scores_;
  int batches_ = 0;
};

bool Inside(const TunePoint& p, const TuneBounds& b) { return Clamped(p, b) == p; }

std::vector<TunePoint> Grid(const TuneBounds& b, const TuneOptions& o) {
  const int nl = std::max(o.gridLengths, 1), nf = std::max(o.gridFeeds, 1);
  const auto at = [](double lo, double hi, int i, int n) {
    return n == 1 ? (lo + hi) / 2 : lo + (hi - lo) * i / (n - 1);
  };
  std::vector<TunePoint> grid;
  for (int i = 0; i < nl; ++i)
    for (int j = 0; j < nf; ++j) grid.push_back({at(b.lengthMin, b.lengthMax, i, nl), at(b.feedMin, b.feedMax, j, nf)});
  return grid;
}

// One pattern search: where it stands and its steps.
struct Walker {
  TunePoint at;
  double lengthStep = 0, feedStep = 0;
  bool done = false;
};

std::vector<TunePoint> Neighbours(const Walker& w, const TuneBounds& b) {
  std::vector<TunePoint> points;
  for (int dl = -1; dl <= 1; ++dl)
    for (int df = -1; df <= 1; ++df) {
      if (dl == 0 && df == 0) continue;
      const TunePoint p = Clamped({w.at.length + dl * w.lengthStep, w.at.feedFraction + df * w.feedStep}, b);
      if (!(p == w.at)) points.push_back(p);
    }
  return points;
}

// How far a walk goes: its resolutions, and the candidates its scores may
// hold at most.
struct WalkEnd {
  double lengthResolution = 0, feedResolution = 0;
  int maxEvaluations = 0;
};

// One round of all walkers still going: their neighbours scored in one
// batch, then each moves to its best neighbour when that ranks before it,
// or else halves its steps (and ends when they are already down to the
// resolutions). False when the round would go beyond the bound on
// evaluations.
bool Round(std::vector<Walker>& walkers, Scores& scores, const TuneBounds& b, const WalkEnd& e) {
  std::vector<TunePoint> wanted;
  std::set<Key> keys;
  for (const Walker& w : walkers)
    if (!w.done)
      for (const TunePoint& p : Neighbours(w, b))
        if (!scores.known(p) && keys.insert(KeyOf(p)).second) wanted.push_back(p);
  if (scores.evaluations() + static_cast<int>(wanted.size()) > e.maxEvaluations) return false;
  scores.score(wanted);

  for (std::size_t i = 0; i < walkers.size(); ++i) {
    Walker& w = walkers[i];
    if (w.done) continue;
    const auto& [here, hereScore] = scores.at(w.at);
    TunePoint best = here;
    TuneScore bestScore = hereScore;
    for (const TunePoint& p : Neighbours(w, b)) {
      const auto& [there, thereScore] = scores.at(p);
      if (Better(thereScore, there, bestScore, best)) best = there, bestScore = thereScore;
    }
    if (!(best == here)) {
      w.at = best;
    } else if (w.lengthStep <= e.lengthResolution && w.feedStep <= e.feedResolution) {
      w.done = true;
    } else {
      if (w.lengthStep > e.lengthResolution) w.lengthStep /= 2;
      if (w.feedStep > e.feedResolution) w.feedStep /= 2;
    }
    // Two walkers that meet would walk on as one.
    for (std::size_t k = 0; k < i && !w.done; ++k)
      if (!walkers[k].done && KeyOf(walkers[k].at) == KeyOf(w.at) && walkers[k].lengthStep == w.lengthStep &&
          walkers[k].feedStep == w.feedStep)
        w.done = true;
  }
  return true;
}

// Walks from each of `seeds` (scored first) at the given steps; where the
// walks ended, best first.
std::vector<TunePoint> Walk(const std::vector<TunePoint>& seeds, double lengthStep, double feedStep, Scores& scores,
                            const TuneBounds& b, const WalkEnd& e) {
  scores.score(seeds);
  std::vector<Walker> walkers;
  for (const TunePoint& p : seeds) walkers.push_back({p, lengthStep, feedStep});
  while (std::any_of(walkers.begin(), walkers.end(), [](const Walker& w) { return !w.done; }) &&
         Round(walkers, scores, b, e)) {
  }
  std::vector<TunePoint> ends;
  for (const Walker& w : walkers)
    if (std::none_of(ends.begin(), ends.end(), [&](const TunePoint& q) { return KeyOf(q) == KeyOf(w.at); }))
      ends.push_back(w.at);
  std::stable_sort(ends.begin(), ends.end(), [&](const TunePoint& x, const TunePoint& y) {
    return Better(scores.at(x).second, x, scores.at(y).second, y);
  });
  return ends;
}

// `first` and those of `more` that are not already among them.
std::vector<TunePoint> Distinct(std::vector<TunePoint> first, const std::vector<TunePoint>& more) {
  for (const TunePoint& p : more)
    if (std::none_of(first.begin(), first.end(), [&](const TunePoint& q) { return KeyOf(q) == KeyOf(p); }))
      first.push_back(p);
  return first;
}

}  // namespace

bool Better(const TuneScore& a, const TunePoint& pa, const TuneScore& b, const TunePoint& pb) {
  if (a.valid != b.valid) return a.valid;
  if (a.valid) {
    if (a.usableBands != b.usableBands) return a.usableBands > b.usableBands;
    if (a.worstSwr != b.worstSwr) return a.worstSwr < b.worstSwr;
  }
  if (pa.length != pb.length) return pa.length < pb.length;
  return pa.feedFraction < pb.feedFraction;
}

TuneBounds BoundsAround(double length) {
  TuneBounds b;
  b.lengthMin = length * (1 - kTuneLengthRange);
  b.lengthMax = length * (1 + kTuneLengthRange);
  return b;
}

TuneOutcome Tune(std::span<const TunePoint> starts, const TuneBounds& bounds, const TuneOptions& options,
                 TuneEvaluator& evaluator, TuneEvaluator* coarse) {
  Scores scores(evaluator);
  const std::vector<TunePoint> startList(starts.begin(), starts.end());
  scores.score(startList);
  const auto isStart = [&](const TunePoint& p) {
    return std::find(startList.begin(), startList.end(), p) != startList.end();
  };
  TuneOutcome out;
  out.start = scores.best(1, isStart).at(0);
  out.startScore = scores.at(out.start).second;

  // Without a coarse evaluator the one evaluator's scores serve both stages.
  std::optional<Scores> coarseScores;
  if (coarse) coarseScores.emplace(*coarse);
  Scores& first = coarse ? *coarseScores : scores;
  const auto inside = [&](const TunePoint& q) { return Inside(q, bounds); };

  first.score(Grid(bounds, options));
  // The best start walks, and the best few of the grid (and of the starts
  // within the bounds), from half the grid's spacing.
  const int nl = std::max(options.gridLengths, 2), nf = std::max(options.gridFeeds, 2);
  const double lengthStep = (bounds.lengthMax - bounds.lengthMin) / (nl - 1) / 2;
  const double feedStep = (bounds.feedMax - bounds.feedMin) / (nf - 1) / 2;
  const std::vector<TunePoint> seeds =
      Distinct({Clamped(out.start, bounds)}, first.best(static_cast<std::size_t>(std::max(options.seeds, 0)), inside));
  WalkEnd end{options.lengthResolution, options.feedResolution, options.maxEvaluations};
  if (coarse) {
    end = {std::max(options.coarseLengthResolution, options.lengthResolution),
           std::max(options.coarseFeedResolution, options.feedResolution),
           options.maxEvaluations - scores.evaluations()};
  }
  std::vector<TunePoint> ends = Walk(seeds, lengthStep, feedStep, first, bounds, end);

  if (coarse) {
    // The best few places the coarse walks reached walk on, on the full
    // evaluator, from the steps the coarse walks ended at.
    std::vector<TunePoint> refine = std::move(ends);
    refine.resize(std::min(refine.size(), static_cast<std::size_t>(std::max(options.refineSeeds, 1))));
    const WalkEnd fine{options.lengthResolution, options.feedResolution, options.maxEvaluations - first.evaluations()};
    if (scores.evaluations() + static_cast<int>(refine.size()) <= fine.maxEvaluations)
      Walk(refine, end.lengthResolution, end.feedResolution, scores, bounds, fine);
  }

  out.best = scores.best(1, [](const TunePoint&) { return true; }).at(0);
  out.bestScore = scores.at(out.best).second;
  out.coarseEvaluations = coarse ? first.evaluations() : 0;
  out.evaluations = scores.evaluations() + out.coarseEvaluations;
  out.batches = scores.batches() + (coarse ? first.batches() : 0);
  return out;
}

}  // namespace lorvant::nec
