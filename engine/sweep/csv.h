// A sweep saved as CSV: a header line naming the columns, then one line per
// frequency, the fields separated by commas or, when the header holds one,
// by semicolons (and then a comma in a number stands for the point, as
// spreadsheets with a decimal comma write it).
//
// Columns, by the header's names in any case: "frequency" with its unit
// ("frequency_hz", "frequency (kHz)", "frequency [MHz]"; plain "frequency"
// is Hz), and either "r" and "x" (ohms) or "swr"; both pairs given, r and x
// win. A name may carry a unit after a blank, "_" or bracket ("r (ohm)").
// Other columns are ignored but count for the line's width.
#pragma once

#include <string_view>

#include "engine/sweep/sweep.h"

namespace lorvant::sweep {

// Throws SweepError.
Sweep ReadSweepCsv(std::string_view bytes);

}  // namespace lorvant::sweep
