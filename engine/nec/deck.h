// The NEC-2 input deck of a check: per band a structure of comment cards,
// GW cards, the ground, the loads, the source, and one frequency card with
// its XQ per step of that band.
#pragma once

#include <string>

#include "engine/nec/frequencies.h"
#include "engine/nec/model.h"

namespace lorvant::nec {

inline constexpr const char* kDeckFileName = "Lorvant.nec";

// The deck as ASCII text, one card per line (LF), numbers with a point;
// one NEC-2 structure per band of the model, each complete in itself and
// the next one started by NX:
//   CM ... / CE                                (the wire, its loads, the band)
//   GW tag segments x1 y1 z1 x2 y2 z2 radius   (per wire, from the start on)
//   GE 0 (free space) or GE 1 (over ground)
//   GN 1 (perfect) or GN 2 0 0 0 permittivity conductivity (Sommerfeld-Norton)
//   or GN 0 0 0 0 permittivity conductivity    (the reflection-coefficient approximation)
//   LD 5 0 0 0 conductivity                    (unless lossless)
//   LD 2 0 0 0 0 inductance 0                  (an insulated wire, H/m)
//   LD 0 shield 1 1 R 0 0                      (a choke atop the feed line's shield)
//   EX 0 tag segment 0 1 0                     (1 V at the feed point)
//   PT -1                                      (no current tables), or with a
//   PT 0 shield 1 1                            feed line its top segment's current
//   FR 0 count 0 0 start step / XQ             (the band's steps in the plan's order)
//   FR 0 1 0 0 own 0 / RP ...                  (with `patterns`: the band's own frequency
//                                               solved with its far field, PatternCard)
//   NX                                         (before the next structure)
//   EN
// How a real ground is solved. Sommerfeld-Norton is what every check reports;
// the reflection-coefficient approximation needs no ground tables, which
// nec2c otherwise computes anew for every frequency (most of its time for a
// wire of a few hundred segments), and serves only where a tuning's coarse
// stage ranks designs.
enum class RealGroundMethod { SommerfeldNorton, ReflectionCoefficient };

std::string WriteDeck(const Model& model, Ground ground, const FrequencyPlan& frequencies, bool patterns = false,
                      RealGroundMethod method = RealGroundMethod::SommerfeldNorton);

// A number as the deck writes it: up to ten significant digits, no
// trailing zeros, a point as separator ("13.70693407", "0.0007", "10").
std::string DeckNumber(double v);

}  // namespace lorvant::nec
