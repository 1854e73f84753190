// NecCheck.txt's part on what the wire does on the air: a table of each
// band's far field, and the feed line's common-mode current with the choke
// that would keep it under 10 %.
#pragma once

#include <string>
#include <vector>

#include "text/reports/neccheck.h"

namespace lorvant::report {

// Empty without r.air; else a blank line before each part.
std::vector<std::string> AirLines(const NecCheckReport& r);

// "53 %": a common-mode share in whole percent.
std::string ShareText(double share);

}  // namespace lorvant::report
