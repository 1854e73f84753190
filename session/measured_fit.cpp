#include "session/measured_fit.h"

#include <cmath>

namespace lorvant::nec {

LengthFit FitBand(const Result& check, const std::vector<sweep::BandFinding>& measured) {
  LengthFit fit;
  for (const BandCheck& b : check.bands) {  // lowest first
    for (const sweep::BandFinding& f : measured) {
      if (f.band != b.solved.band || !f.resonances || f.resonances->empty()) continue;
      const double own = b.solved.frequency;
      fit.band = f.band;
      fit.measured = f.resonances->front();
      for (const double zero : *f.resonances)
        if (std::fabs(zero - own) < std::fabs(fit.measured - own)) fit.measured = zero;
      return fit;
    }
  }
  return fit;
}

namespace {

// The model of the one band for a wire of `length`: the resonance its
// search finds, or none.
struct OneBand {
  const Design& design;
  const Settings& settings;
  int band;
  Engine& engine;
  const EngineProgress& progress;
  int runs = 0;

  std::optional<double> resonance(double length) {
    Design d = design;
    d.length = static_cast<float>(length);
    d.bands.fill(BandState::Off);
    d.bands[static_cast<std::size_t>(band)] = design.bands[static_cast<std::size_t>(band)];
    d.extraBand = false;
    // A wire of another length is no row of the run's report.
    d.proposedFeeds.clear();
    Settings s = settings;
    const double scale = length / TypedDecimal(design.length);
    s.feed = settings.feed * scale;
    if (s.hanging.apex && s.hanging.apex->at) s.hanging.apex->at = *s.hanging.apex->at * scale;
    s.sweepPoints = 0;
    s.balunRatio = 1;  // the balun does not move the resonance
    ++runs;
    try {
      const Plan plan = PrepareCheck(d, s);
      const EngineResult r = engine.run(plan.deck, progress);
      if (r.status != EngineResult::Status::Completed) return std::nullopt;
      const Result result = Evaluate(d, s, plan, r.output);
      if (!result.resonance) return std::nullopt;
      return result.resonance->frequency;
    } catch (const ModelError&) {
    } catch (const OutputError&) {
    } catch (const ImpedanceError&) {
    }
    return std::nullopt;
  }
};

}  // namespace

LengthFit FitLength(const Design& design, const Settings& settings, const Result& check,
                    const std::vector<sweep::BandFinding>& measured, Engine& engine, const EngineProgress& progress) {
  LengthFit fit = FitBand(check, measured);
  if (fit.band < 0) return fit;
  OneBand model{design, settings, fit.band, engine, progress};
  const double target = fit.measured;
  double l0 = TypedDecimal(design.length);
  std::optional<double> r0 = model.resonance(l0);
  if (!r0) {
    fit.runs = model.runs;
    return fit;
  }
  // The resonance goes nearly as 1/length: the first guess is close, the
  // secant through it and the design closes in on it.
  double l1 = l0 * *r0 / target;
  std::optional<double> r1 = model.resonance(l1);
  while (r1 && model.runs <= kFitRuns) {
    if (std::fabs(*r1 - target) <= kFitTolerance * target) {
      fit.length = l1;
      fit.resonance = r1;
      break;
    }
    if (*r1 == *r0) break;
    const double l2 = l1 + (target - *r1) * (l1 - l0) / (*r1 - *r0);
    l0 = l1;
    r0 = r1;
    l1 = l2;
    r1 = model.resonance(l1);
  }
  fit.runs = model.runs;
  return fit;
}

}  // namespace lorvant::nec
