#include "session/measured_check.h"

#include "engine/sweep/model_sweep.h"
#include "session/measured_fit.h"

namespace lorvant::nec {

report::MeasuredCheck CompareMeasuredBands(const std::string& file, const sweep::MeasuredFile& m, const Design& design,
                                           const Result& result) {
  report::MeasuredCheck c;
  c.file = file;
  c.designLength = TypedDecimal(design.length);
  for (const sweep::BandFinding& f : m.bands) {
    report::MeasuredBandRow row;
    row.band = f.band;
    row.measured = f.resonances;
    row.minSwr = f.minSwr;
    row.minSwrFrequency = f.minSwrFrequency;
    for (const BandCheck& b : result.bands) row.counted = row.counted || b.solved.band == f.band;
    if (row.counted) row.model = sweep::ModelResonances(result, f.band);
    c.bands.push_back(row);
  }
  return c;
}

report::MeasuredCheck CompareMeasured(const std::string& file, const sweep::MeasuredFile& m, const Design& design,
                                      const Settings& settings, const Result& result, Engine& engine,
                                      const EngineProgress& progress) {
  report::MeasuredCheck c = CompareMeasuredBands(file, m, design, result);
  const LengthFit fit = FitLength(design, settings, result, m.bands, engine, progress);
  c.fitBand = fit.band;
  c.fitMeasured = fit.measured;
  c.fittedLength = fit.length;
  return c;
}

}  // namespace lorvant::nec
