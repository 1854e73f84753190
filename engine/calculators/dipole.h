// The numbers of the additional, radiation-coupled dipole or WINDOM beside
// an exciting antenna: the input checks, the spacing of the two wires, the
// additional wire's length and its feed point.
//
// Notation (ZusatzAbstand is the maintainers' name):
//   fExc, fAdd  lowest resonance of the exciter / resonance of the
//               additional wire, MHz
//   z           feed-point impedance, ohms
//   dExc, dAdd  wire diameters, mm
//   vk          the exciter's shortening factor Vk
//   n           the WINDOM's half-waves     c  feed point as a fraction of the length
//   ins         insulation fraction (see engine/shortening.h)
//   w           wavelength on the wire, m   s0 first spacing estimate, mm
//   s1, s2      shortening of exciter / additional wire, percent
//   F           the WINDOM's factor on the spacing
#pragma once

#include "engine/bands.h"
#include "engine/shortening.h"

namespace lorvant::dipole {

struct Figures {
  bool windom = false;  // the WINDOM variant (else the dipole)
  float fAdd = 0, fExc = 0, z = 0, dAdd = 0, dExc = 0, vk = 0, n = 0, c = 0;
  double ins = 0;
  LengthContext length;  // main form's length mode and calculator state
};

// Why nothing was calculated, in the order the checks run.
enum class Refusal {
  None,
  NoExciterFrequency,
  NoFrequency,
  NoImpedance,
  NoExciterDiameter,
  NoDiameter,
  VkOutside,  // not above 0 and at most 1
  NoHalfWaves,
  FrequencyNotAboveExciter,
  NoSpacing,
  ExciterTooThick,  // thicker than half its height: exciterLimit
  GapBelowWire,     // clear gap of 1 mm or less, thinner than the additional wire: gap
  WiresTooClose,    // clear gap of 1 mm or less otherwise
  NoWindomLength,
  FeedPointOffWire,  // the fraction leaves one side without wire
};

struct Result {
  Refusal refusal = Refusal::None;
  float exciterLimit = 0;     // thickest exciter wire for its height, mm
  bool showEstimate = false;  // WiresTooClose with s0 worth showing
  double wavelength = 0;      // w, from NoSpacing on
  float s0 = 0;               // from NoSpacing on
  float gap = 0;              // clear gap, mm, from ExciterTooThick on
  float s1 = 0, s2 = 0;       // the rest only when computed
  float exciterVk = 0;        // the exciter's Vk from s1
  float spacing = 0;          // S, mm
  bool withinRange = false;   // the spacing formula holds for these wires
  float length = 0;           // L, m
  float feedPoint = 0;        // c * L, m
  float windomFactor = 0;     // F (WINDOM only)
  bool computed() const { return refusal == Refusal::None; }
};

Result Compute(const Figures& in);

// Spacing of the two wires in mm. fExc and s are part of the signature of
// the formula's family and are not used.
float ZusatzAbstand(float z, float fExc, float fAdd, float dExc, float dAdd, float s, double ins);

// The lowest counted band's nominal frequency, 0 when none counts.
float LowestCountedFrequency(const BandValues& bands);

}  // namespace lorvant::dipole
