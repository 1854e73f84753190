// The NEC-2 input deck of a check: comment cards, one GW card per wire, the
// ground, the source, and one frequency card with its XQ per band and sweep.
#pragma once

#include <string>

#include "engine/nec/frequencies.h"
#include "engine/nec/model.h"

namespace lorvant::nec {

inline constexpr const char* kDeckFileName = "Lorvant.nec";

// The deck as ASCII text, one card per line (LF), numbers with a point:
//   CM ... / CE
//   GW tag segments x1 0 h x2 0 h radius      (per wire, from x = 0 on)
//   GE 0 (free space) or GE 1 (over ground)
//   GN 1 (perfect) or GN 2 0 0 0 permittivity conductivity (Sommerfeld-Norton)
//   EX 0 tag segment 0 1 0                    (1 V at the feed point)
//   PT -1                                     (no current tables)
//   FR 0 count 0 0 start step / XQ            (per band, then per sweep)
//   EN
std::string WriteDeck(const Model& model, Ground ground, const FrequencyPlan& frequencies);

// A number as the deck writes it: up to ten significant digits, no
// trailing zeros, a point as separator ("13.70693407", "0.0007", "10").
std::string DeckNumber(double v);

}  // namespace lorvant::nec
