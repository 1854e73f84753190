// libFuzzer target: any bytes through both sweep readers. What they read
// must be a sweep of rising finite frequencies, and its analysis must keep
// every band's findings within the band's edges.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "engine/sweep/analysis.h"
#include "engine/sweep/csv.h"
#include "engine/sweep/touchstone.h"

namespace {

void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

void Check(const lorvant::sweep::Sweep& s) {
  if (s.empty()) Fail("an empty sweep was read");
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (!std::isfinite(s[i].frequency) || !(s[i].frequency > 0)) Fail("a frequency that is none");
    if (i > 0 && !(s[i].frequency > s[i - 1].frequency)) Fail("frequencies that do not rise");
    if (std::isnan(s[i].swr) || s[i].swr < 1) Fail("an SWR that is none");
  }
  for (const lorvant::sweep::BandFinding& b : lorvant::sweep::AnalyseSweep(s)) {
    const lorvant::nec::BandEdges e = lorvant::nec::EdgesOf(b.band);
    if (b.points < 2) Fail("a band of fewer than two points");
    if (b.minSwrFrequency < e.low || b.minSwrFrequency > e.high) Fail("a minimum outside the band");
    if (b.resonances)
      for (double f : *b.resonances)
        if (!(f >= e.low && f <= e.high)) Fail("a resonance outside the band");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    Check(lorvant::sweep::ReadTouchstone(bytes));
  } catch (const lorvant::sweep::SweepError&) {
  }
  try {
    Check(lorvant::sweep::ReadSweepCsv(bytes));
  } catch (const lorvant::sweep::SweepError&) {
  }
  return 0;
}
