// What a NEC-2 check found: the impedance and SWR of every solved
// frequency, each counted band beside the impedance its report gave, and
// the balun that serves them best.
#pragma once

#include <complex>
#include <optional>
#include <string>
#include <vector>

#include "engine/nec/frequencies.h"

namespace lorvant::nec {

// One frequency the engine solved.
struct SolvedFrequency {
  int band = 0;          // 0..10, or kExtraBand
  double frequency = 0;  // MHz
  std::complex<double> impedance;
  double swr = 0;  // on 50 ohms through the balun
  // The share of the input power the wire's conductor turns into heat, from
  // the engine's power budget; none when its output had no budget.
  std::optional<double> loss;
};

// The approximate impedance that AntStrSu.txt shows for a band at the feed
// point: its number and its cell as the report writes it ("(534)", "1000K").
struct ReportedImpedance {
  float ohms = 0;
  std::string cell;
};

struct BandCheck {
  SolvedFrequency solved;                  // at the band's own frequency
  std::optional<ReportedImpedance> model;  // none where AntStrSu.txt shows none
  // False when no balun ratio brings the band under kUsableSwr at its own
  // frequency: it is not usable at this feed point and does not choose the
  // ratio.
  bool usable = true;
};

// Where the model of the lowest counted band resonates (its reactance
// crosses zero), and the shortening factor that would put the closed-form
// design there: vk = design Vk * frequency / design frequency.
struct Resonance {
  int band = 0;          // 0..10
  double frequency = 0;  // MHz
  double vk = 0;
};

struct Result {
  std::vector<BandCheck> bands;        // the counted bands, lowest first
  std::vector<SolvedFrequency> sweep;  // band by band, edge to edge
  double balunRatio = 1;
  bool balunChosen = false;  // picked automatically
  // Over the usable bands' own and sweep frequencies, through the balun;
  // worstBand -1 when no band is usable.
  double worstSwr = 0;
  int worstBand = 0;
  Region region = kDefaultRegion;      // whose band edges the sweep followed
  std::optional<Resonance> resonance;  // none when the sweep found no crossing
};

}  // namespace lorvant::nec
