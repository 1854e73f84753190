#include "session/nec_tune_report.h"

namespace lorvant::nec {

report::NecTuneReport MakeTuneReport(const TunedDesign& t, const Settings& settings,
                                     const std::vector<BandWeight>& weights, int jobs, Language lang, char sep,
                                     const std::string& dateText) {
  report::NecTuneReport r;
  r.language = lang;
  r.sep = sep;
  r.dateText = dateText;
  r.extraFrequency = t.tuned.candidate.design.extraFrequency;
  r.ground = settings.ground;
  r.start = {TypedDecimal(t.start.candidate.design.length), t.start.candidate.settings.feed, t.start.result,
             t.start.score.worstSwr};
  r.tuned = {TypedDecimal(t.tuned.candidate.design.length), t.tuned.candidate.settings.feed, t.tuned.result,
             t.tuned.score.worstSwr};
  r.weights = weights;
  r.shorteningFactor = t.start.candidate.design.shorteningFactor;
  r.tunedShorteningFactor = TunedShorteningFactor(t.start.candidate.design, r.tuned.length);
  r.evaluations = t.evaluations;
  r.engineRuns = t.engineRuns;
  r.jobs = jobs;
  r.seconds = t.seconds;
  r.coarseEvaluations = t.coarseEvaluations;
  r.engineSeconds = t.engineSeconds;
  return r;
}

}  // namespace lorvant::nec
