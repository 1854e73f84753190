// The measured sweep beside the model in NecCheck.txt: per band the
// measured resonances and lowest SWR next to where the model resonates,
// and the wire length whose model resonates where the antenna does.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/common.h"

namespace lorvant::report {

struct MeasuredBandRow {
  int band = 0;                                 // 0..10
  std::optional<std::vector<double>> measured;  // MHz; none for a sweep of SWR alone
  double minSwr = 0, minSwrFrequency = 0;
  bool counted = false;       // the check modelled the band
  std::vector<double> model;  // the model's resonances, MHz
};

struct MeasuredCheck {
  std::string file;
  std::vector<MeasuredBandRow> bands;
  double designLength = 0;             // m
  int fitBand = -1;                    // -1: no band both show a resonance in
  double fitMeasured = 0;              // MHz
  std::optional<double> fittedLength;  // m
};

// Resonances in MHz to the kHz, blank between them ("none" for none).
std::string ResonancesText(const std::vector<double>& f, Language lang, char sep);
// The fitted length and what it means: cut or add the difference; or why
// there is none.
std::string FitLine(const MeasuredCheck& m, Language lang, char sep);

// The section's lines (UTF-8), from its heading on.
std::vector<std::string> MeasuredCheckLines(const MeasuredCheck& m, Language lang, char sep);

}  // namespace lorvant::report
