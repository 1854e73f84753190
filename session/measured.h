// A measured sweep read from its file: Touchstone (.s1p) or CSV by the
// file's name, and what it says about each band it covers. The batch tool
// and a window read it the same way.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/nec/frequencies.h"
#include "engine/sweep/analysis.h"
#include "engine/sweep/sweep.h"
#include "text/bilingual.h"

namespace lorvant::sweep {

// Larger than any analyser's sweep (a NanoVNA saves some 100 bytes a
// point and at most a few thousand points); a larger file is no sweep.
inline constexpr std::size_t kMaxMeasuredBytes = 16 * 1024 * 1024;

// A name ending in ".csv" (any case) is CSV; every other a Touchstone file.
bool IsCsvName(const std::string& path);

// The sweep of the file's bytes. Throws SweepError.
Sweep ParseMeasured(std::string_view bytes, bool csv);

struct MeasuredFile {
  bool read = false;
  Reason refusal;  // why not, naming the file, in both languages
  Sweep sweep;
  std::vector<BandFinding> bands;
};
MeasuredFile ReadMeasured(const std::string& path, nec::Region region = nec::kDefaultRegion);

}  // namespace lorvant::sweep
