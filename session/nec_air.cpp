#include "session/nec_air.h"

#include <algorithm>

#include "engine/nec/deck.h"
#include "engine/nec/output.h"

namespace lorvant::nec {

namespace {

// A counted band's place in the engine's output: the how-many-th solved
// frequency and the how-many-th own frequency in the deck's order, its
// structure, and its place in Result::bands (the plan's order).
struct OwnPlace {
  std::size_t solved = 0;
  std::size_t deckOwn = 0;
  std::size_t resultIndex = 0;
  const Structure* structure = nullptr;
  int band = 0;
};

std::vector<OwnPlace> OwnPlaces(const Model& model, const FrequencyPlan& plan) {
  // Result::bands follows the plan's steps.
  std::vector<std::size_t> resultIndex(plan.steps.size(), 0);
  std::size_t counted = 0;
  for (std::size_t i = 0; i < plan.steps.size(); ++i)
    if (plan.steps[i].kind == StepKind::Own) resultIndex[i] = counted++;
  std::vector<OwnPlace> places;
  std::size_t solved = 0, own = 0;
  for (const Structure& s : model.structures) {
    for (std::size_t index : s.steps) {
      const FrequencyStep& step = plan.steps.at(index);
      if (step.kind == StepKind::Own) places.push_back({solved, own++, resultIndex[index], &s, step.band});
      solved += static_cast<std::size_t>(step.count);
    }
  }
  std::sort(places.begin(), places.end(),
            [](const OwnPlace& a, const OwnPlace& b) { return a.resultIndex < b.resultIndex; });
  return places;
}

std::vector<double> CommonModes(const std::vector<OwnPlace>& places, std::string_view output, int expected) {
  const std::vector<InputParameters> inputs = ParseInputParameters(output);
  const std::vector<std::vector<SegmentCurrent>> currents = ParseCurrentTables(output);
  std::vector<double> shares;
  for (const OwnPlace& p : places) {
    if (p.solved >= inputs.size() || p.solved >= currents.size())
      throw OutputError(static_cast<int>(std::min(inputs.size(), currents.size())), expected, LastLine(output));
    const std::optional<double> share =
        CommonModeFraction(currents[p.solved], ShieldTopSegment(*p.structure), inputs[p.solved].impedance);
    if (!share) throw OutputError(static_cast<int>(p.solved), expected, LastLine(output));
    shares.push_back(*share);
  }
  return shares;
}

}  // namespace

void PrepareAir(Plan& plan, const AirSettings& air) {
  if (air.feedline) AddFeedline(plan.model, plan.ground, *air.feedline);
  plan.deck = WriteDeck(plan.model, plan.ground, plan.frequencies, air.patterns);
}

int ShieldTopSegment(const Structure& s) {
  int n = 1;
  for (const Wire& w : s.wires)
    if (w.tag < s.shieldTag) n += w.segments;
  return n;
}

AirResult EvaluateAir(const Plan& plan, const AirSettings& air, std::string_view engineOutput) {
  AirResult r;
  r.patterns = air.patterns;
  r.feedline = air.feedline;
  const std::vector<OwnPlace> places = OwnPlaces(plan.model, plan.frequencies);
  const int expected = plan.frequencies.count();
  for (const OwnPlace& p : places) r.bands.push_back({p.band, std::nullopt, std::nullopt, {}});
  if (air.patterns) {
    const std::vector<PatternTable> tables = ParsePatterns(engineOutput);
    const std::vector<InputParameters> inputs = ParseInputParameters(engineOutput);
    for (std::size_t k = 0; k < places.size(); ++k) {
      const OwnPlace& p = places[k];
      if (p.deckOwn >= tables.size() || tables[p.deckOwn].points.empty() || p.solved >= inputs.size())
        throw OutputError(static_cast<int>(std::min(tables.size(), inputs.size())), expected, LastLine(engineOutput));
      const std::optional<double> loss = inputs[p.solved].lossFraction();
      const std::optional<double> budget = loss ? std::optional(1 - *loss) : std::nullopt;
      r.bands[k].pattern = SummarisePattern(tables[p.deckOwn], IsRealGround(plan.ground), budget);
      r.bands[k].cuts = CutPattern(tables[p.deckOwn], *r.bands[k].pattern);
    }
  }
  if (air.feedline) {
    const std::vector<double> shares = CommonModes(places, engineOutput, expected);
    for (std::size_t k = 0; k < places.size(); ++k) r.bands[k].commonMode = shares[k];
  }
  return r;
}

std::optional<std::vector<double>> CommonModeWithChoke(const Plan& plan, double ohms, Engine& engine,
                                                       const EngineProgress& progress) {
  Model model = plan.model;
  model.chokeOhms = ohms;
  // Only the own frequencies: the sweeps and the search would cost five
  // times as much and tell the choke nothing more.
  int expected = 0;
  for (Structure& s : model.structures) {
    std::erase_if(s.steps, [&](std::size_t i) { return plan.frequencies.steps.at(i).kind != StepKind::Own; });
    for (std::size_t i : s.steps) expected += plan.frequencies.steps.at(i).count;
  }
  const EngineResult run = engine.run(WriteDeck(model, plan.ground, plan.frequencies), progress);
  if (run.status != EngineResult::Status::Completed) return std::nullopt;
  return CommonModes(OwnPlaces(model, plan.frequencies), run.output, expected);
}

std::optional<double> RecommendChoke(const Plan& plan, Engine& engine, const EngineProgress& progress,
                                     bool& completed) {
  completed = true;
  for (double ohms : kChokeSteps) {
    const std::optional<std::vector<double>> shares = CommonModeWithChoke(plan, ohms, engine, progress);
    if (!shares) {
      completed = false;
      return std::nullopt;
    }
    if (std::all_of(shares->begin(), shares->end(), [](double s) { return s < kCommonModeLimit; })) return ohms;
  }
  return std::nullopt;
}

AirResult CheckAir(const Plan& plan, const AirSettings& air, std::string_view engineOutput, Engine& engine,
                   const EngineProgress& progress) {
  AirResult r = EvaluateAir(plan, air, engineOutput);
  if (air.feedline) r.chokeRecommendation = RecommendChoke(plan, engine, progress, r.chokeSearched);
  return r;
}

}  // namespace lorvant::nec
