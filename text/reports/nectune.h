// NecTune.txt: the NEC-2 tuning of a design, the start and the tuned design
// side by side (length, feed point, balun, usable bands, worst SWR), each
// band's impedance and SWR at its frequency and its worst over the sweep,
// the shortening factor for the main form, and what the search cost.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/common.h"
#include "engine/nec/model.h"
#include "engine/nec/result.h"
#include "engine/nec/tune_score.h"

namespace lorvant::report {

inline constexpr const char* kNecTuneFileName = "NecTune.txt";

// One side of the table.
struct TunedSide {
  double length = 0;  // m
  double feed = 0;    // m from the wire's start
  nec::Result result;
  double weightedWorstSwr = 0;  // the score's worst, each band's SWR weighted
};

struct NecTuneReport {
  Language language = Language::German;
  char sep = ',';
  std::string dateText;  // date and time of the closing line
  float extraFrequency = 0;
  nec::Ground ground = nec::Ground::Average;
  TunedSide start, tuned;
  std::vector<nec::BandWeight> weights;
  float shorteningFactor = 0;  // the run's Vk
  double tunedShorteningFactor = 0;
  int evaluations = 0, engineRuns = 0, jobs = 1;
  int coarseEvaluations = 0;  // of the evaluations over reflection-coefficient ground
  double seconds = 0;
  double engineSeconds = 0;  // of the seconds spent waiting for nec2c
};

// The lines between the title's separator and the closing line (UTF-8);
// the batch tool prints them as they stand.
std::vector<std::string> NecTuneBody(const NecTuneReport& r);

// The whole report (Windows-1252, CR LF).
void WriteNecTuneReport(std::ostream& out, const NecTuneReport& r);

// The worst SWR of the band over its sweep through the result's balun; 0
// when the sweep has none of it.
double WorstOverSweep(const nec::Result& result, int band);

}  // namespace lorvant::report
