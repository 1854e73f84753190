// The measured sweep beside a completed check: per band the measured
// resonances and lowest SWR next to the model's, and the wire length whose
// model resonates where the antenna does. The batch tool's nec command and
// the NEC-2 window put the same comparison into NecCheck.txt.
#pragma once

#include <string>

#include "io/engine_runner.h"
#include "session/measured.h"
#include "session/nec_check.h"
#include "text/reports/measured_check.h"

namespace lorvant::nec {

// The bands alone, without the fit (no engine runs): `result` is the
// completed check of `design`, `file` the name the report shows.
report::MeasuredCheck CompareMeasuredBands(const std::string& file, const sweep::MeasuredFile& m, const Design& design,
                                           const Result& result);

// The bands and the fitted length (a few more engine runs on `engine`;
// `progress` is asked during and between them, and a false answer ends the
// search without a length).
report::MeasuredCheck CompareMeasured(const std::string& file, const sweep::MeasuredFile& m, const Design& design,
                                      const Settings& settings, const Result& result, Engine& engine,
                                      const EngineProgress& progress);

}  // namespace lorvant::nec
