// NecCheck.txt: the NEC-2 check of a design, with the feed impedance, the
// SWR through the balun and the current-sum report's approximation per
// counted band, and the sweep across each band.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/common.h"
#include "engine/nec/air.h"
#include "engine/nec/model.h"
#include "engine/nec/result.h"
#include "text/reports/measured_check.h"

namespace lorvant::report {

inline constexpr const char* kNecCheckFileName = "NecCheck.txt";

struct NecCheckReport {
  Language language = Language::German;
  char sep = ',';
  std::string dateText;          // date and time of the closing line
  double conductorDiameter = 0;  // mm
  float extraFrequency = 0;      // names the additional band
  nec::Model model;
  nec::Ground ground = nec::Ground::Average;
  nec::Result result;
  std::optional<nec::AirResult> air;      // with patterns or a feed line (neccheck_air.h)
  std::optional<MeasuredCheck> measured;  // a measured sweep beside the model, when one was given
};

// The lines between the title's separator and the closing line (UTF-8):
// what was modelled, the band table, the sweep table. The batch tool prints
// them as they stand.
std::vector<std::string> NecCheckBody(const NecCheckReport& r);

// The whole report (Windows-1252, CR LF).
void WriteNecCheckReport(std::ostream& out, const NecCheckReport& r);

// Texts that the window and the batch tool show beside the table.
// "Balun 4:1 verwenden (schlechtestes SWV 2,81 auf 3,5 MHz)."
// Names the bands that are not usable at the feed point, or says that none
// is usable.
std::string BalunAdvice(const NecCheckReport& r);
// "Resonanz des 7-MHz-Bands im Modell: 7,211 MHz; NEC-2-Verkürzungsfaktor
// Vk' = 0,965", or that the search found none; empty without a counted band.
std::string ResonanceText(const NecCheckReport& r);
// A band's name in the tables: "3,5 MHz", "24,9 MHz", "14,25 MHz".
std::string NecBandName(int band, float extraFrequency, char sep);
// An SWR as the tables show it: "1,85", ">99" for 100 and above.
std::string SwrText(double swr, char sep);
// The conductor's loss in percent of the power fed in, one decimal ("2.1");
// "-" without the engine's power budget.
std::string LossText(const nec::SolvedFrequency& s, char sep);
// Each band's loss in one line ("Loss in the conductor: 7 MHz 2.1 %, ...");
// empty when the engine gave no power budget.
std::string LossLine(const NecCheckReport& r);

}  // namespace lorvant::report
