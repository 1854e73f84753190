// The current-curve picture of a completed run, drawn again.
#include <optional>

#include "engine/common.h"
#include "engine/current.h"
#include "engine/scan.h"
#include "picture/curve_picture.h"
#include "session/run.h"

namespace lorvant {

void DrawRunPicture(Canvas& canvas, const report::ReportData& d, std::span<const FeedCandidate> reported,
                    Language lang) {
  // The run's steps for the picture alone, in its order and precision.
  CurvePicture picture(canvas);
  picture.setup();
  const std::optional<std::int32_t> steps = toInt32(sng(static_cast<double>(d.length) * 100));
  if (!picture.setScale(d.length) || !steps) return;
  double extraWavelength = 0;
  if (d.extraBand && d.extraFrequency != 0) extraWavelength = 300.0 / d.extraFrequency * (1 - 2 * d.ins);
  int counted = d.extraBand ? 1 : 0;
  for (BandState v : d.bands) counted += v == BandState::Counted ? 1 : 0;
  const WireCurrents currents({.wavelengths = BandWellenlaengen(d.segment, d.ins),
                               .extraBand = d.extraBand,
                               .extraWavelength = extraWavelength,
                               .length = d.length,
                               .shorteningFactor = d.vk,
                               .insulation = d.ins,
                               .calculator = d.calc,
                               .bands = d.bands,
                               .countedBands = counted});
  const std::array<bool, kBandCount> shown = currents.shownBands();
  for (std::int32_t p = 0; p <= *steps; ++p) {
    const StepCurrents v = currents.at(p);
    picture.step(p, v.startCurrent, shown, d.extraBand, v.extra.I1, v.startCurrentSum);
  }
  picture.labels(*steps, d.length, d.extraBand, d.extraFrequency, lang, d.sep);
  for (const FeedCandidate& c : reported) picture.candidate(c.x);
}

}  // namespace lorvant
