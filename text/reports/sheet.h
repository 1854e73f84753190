// The build sheet: one printable A4 page (PDF) per checked design with
// what to cut and hang — both legs from the feed point as designed and
// with the knots' allowance, the heights of the feed point and the
// supports, the balun — and per counted band the SWR to expect, where the
// model resonates and how much to prune per 100 kHz; a side view of the
// wire to scale below. It stays one page for any number of bands.
#pragma once

#include <string>

#include "text/pdf.h"
#include "text/reports/neccheck.h"

namespace lorvant::report {

inline constexpr const char* kSheetFileName = "Lorvant-Sheet.pdf";
inline constexpr double kDefaultAllowance = 0.15;  // m per end of a leg, for the knot

struct SheetData {
  NecCheckReport check;                  // the completed check (language, separator, date, model, result)
  double allowance = kDefaultAllowance;  // m added at each end of each leg
};

// A length in metres to the centimetre ("10,12 m") and in feet and inches
// to the tenth of an inch ("33 ft 2,4 in").
std::string MetresText(double m, char sep);
std::string FeetInchesText(double m, char sep);
// The pruning rule of thumb: cm of wire per 100 kHz of resonance at
// `frequency` MHz for a wire of `length` m, from f ~ 1/length.
double CentimetresPer100kHz(double length, double frequency);

// The page as laid out (a window paints it for a printer), and its PDF
// document.
pdf::Page SheetPage(const SheetData& d);
std::string WriteSheet(const SheetData& d);

}  // namespace lorvant::report
