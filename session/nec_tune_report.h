// What NecTune.txt says about a tuning, as the batch tool and the NEC-2
// window both write it.
#pragma once

#include <string>
#include <vector>

#include "engine/nec/tune_score.h"
#include "session/nec_tune.h"
#include "text/reports/nectune.h"

namespace lorvant::nec {

// `jobs`: the engine processes the candidates were solved in.
report::NecTuneReport MakeTuneReport(const TunedDesign& t, const Settings& settings,
                                     const std::vector<BandWeight>& weights, int jobs, Language lang, char sep,
                                     const std::string& dateText);

}  // namespace lorvant::nec
