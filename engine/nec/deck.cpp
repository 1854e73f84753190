#include "engine/nec/deck.h"

#include <charconv>
#include <cmath>

#include "engine/nec/pattern.h"
#include "engine/version.h"

namespace lorvant::nec {

std::string DeckNumber(double v) {
  if (v == 0) return "0";  // also -0
  // to_chars, unlike printf, ignores the locale that a window's toolkit
  // may have set: the deck always has a point.
  char buf[40];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 10);
  return std::string(buf, r.ptr);
}

namespace {

// A coordinate a hair off zero, from a right angle's cosine, reads as 0.
std::string Coordinate(double v) { return DeckNumber(std::fabs(v) < 1e-9 ? 0 : v); }

const char* ShapeWord(const Model& m) {
  switch (ShapeOf(m.hanging)) {
    case Shape::Flat:
      return "flat-top";
    case Shape::Sloper:
      return "sloping";
    case Shape::InvertedV:
      return "inverted-V";
  }
  return "flat-top";
}

std::string PointText(const Point& p) {
  return "(" + Coordinate(p.x) + " " + Coordinate(p.y) + " " + Coordinate(p.z) + ")";
}

// What every structure's comment cards say about the wire, so that each
// structure reads as a deck of its own.
std::vector<std::string> WireComments(const Model& m, Ground ground, RealGroundMethod method) {
  std::vector<std::string> lines;
  const Hanging& h = m.hanging;
  std::string shape = std::string("CM ") + kProgramTitle + ": " + ShapeWord(m) + " wire of " + DeckNumber(m.length) +
                      " m along the wire, fed at " + DeckNumber(m.feed) + " m from its start";
  lines.push_back(shape);
  std::string heights = "CM heights: start " + DeckNumber(h.startHeight) + " m, end " + DeckNumber(h.endHeight) + " m";
  if (h.apex)
    heights += ", apex " + DeckNumber(h.apex->height) + " m at " + DeckNumber(BendAt(h, m.feed)) + " m along the wire";
  heights += "; plan angle " + DeckNumber(h.planAngle) + " degrees";
  lines.push_back(heights);
  std::string corners = "CM corners (x y z, m):";
  for (const Point& p : m.corners) corners += " " + PointText(p);
  lines.push_back(corners);
  std::string groundNote = "CM ground: ";
  groundNote += GroundWord(ground);
  if (IsRealGround(ground)) {
    const GroundConstants g = ConstantsOf(ground);
    groundNote += std::string(method == RealGroundMethod::SommerfeldNorton ? " (Sommerfeld-Norton"
                                                                           : " (reflection coefficients") +
                  ", permittivity " + DeckNumber(g.permittivity) + ", conductivity " + DeckNumber(g.conductivity) +
                  " S/m)";
  }
  lines.push_back(groundNote);
  lines.push_back(m.loads.conductivity ? "CM conductor: " + DeckNumber(*m.loads.conductivity) + " S/m (LD 5)"
                                       : std::string("CM conductor: lossless"));
  if (m.insulationInductance > 0) {
    const Insulation& i = *m.loads.insulation;
    lines.push_back("CM insulation: permittivity " + DeckNumber(i.permittivity) + " over " +
                    DeckNumber(i.outerDiameterMm) + " mm, as a distributed series inductance of " +
                    DeckNumber(m.insulationInductance) + " H/m (LD 2)");
  } else {
    lines.push_back("CM insulation: none");
  }
  return lines;
}

}  // namespace

std::string WriteDeck(const Model& m, Ground ground, const FrequencyPlan& frequencies, bool patterns,
                      RealGroundMethod method) {
  std::string deck;
  const auto card = [&deck](const std::string& line) { deck += line + "\n"; };
  const std::vector<std::string> comments = WireComments(m, ground, method);
  const std::string radius = DeckNumber(m.radius);
  const std::string count = std::to_string(m.structures.size());

  for (std::size_t n = 0; n < m.structures.size(); ++n) {
    const Structure& s = m.structures[n];
    if (n > 0) card("NX");
    for (const std::string& c : comments) card(c);
    card("CM structure " + std::to_string(n + 1) + " of " + count + ": band " + std::to_string(s.band) + ", " +
         DeckNumber(s.lowestMHz) + " to " + DeckNumber(s.highestMHz) + " MHz, segments at most " +
         DeckNumber(s.maxSegment) + " m, " + std::to_string(s.segmentCount()) + " segments");
    if (s.shieldTag > 0) {
      const Wire& w = s.wires.at(static_cast<std::size_t>(s.shieldTag - 1));
      card("CM feed line: the coax's shield, tag " + std::to_string(w.tag) + ", " + DeckNumber(2000 * w.radius) +
           " mm, from " + PointText(w.from) + " down to " + PointText(w.to) +
           (m.chokeOhms > 0 ? "; choke " + DeckNumber(m.chokeOhms) + " ohm (LD 0)" : std::string("; no choke")));
    }
    card("CE");
    for (const Wire& w : s.wires) {
      card("GW " + std::to_string(w.tag) + " " + std::to_string(w.segments) + " " + Coordinate(w.from.x) + " " +
           Coordinate(w.from.y) + " " + Coordinate(w.from.z) + " " + Coordinate(w.to.x) + " " + Coordinate(w.to.y) +
           " " + Coordinate(w.to.z) + " " + (w.radius > 0 ? DeckNumber(w.radius) : radius));
    }
    card(ground == Ground::FreeSpace ? "GE 0" : "GE 1");
    if (ground == Ground::Perfect) card("GN 1");
    if (IsRealGround(ground)) {
      const GroundConstants g = ConstantsOf(ground);
      card((method == RealGroundMethod::SommerfeldNorton ? "GN 2 0 0 0 " : "GN 0 0 0 0 ") + DeckNumber(g.permittivity) +
           " " + DeckNumber(g.conductivity));
    }
    // Tag 0 loads every segment of the structure.
    if (m.loads.conductivity) card("LD 5 0 0 0 " + DeckNumber(*m.loads.conductivity));
    // A series load per metre with only L: NEC-2 leaves out a capacitance
    // of 0, so the sleeve adds no capacitor.
    // The sleeve is the antenna wire's alone: the shield's jacket is no
    // part of it.
    if (m.insulationInductance > 0) {
      if (s.shieldTag == 0) {
        card("LD 2 0 0 0 0 " + DeckNumber(m.insulationInductance) + " 0");
      } else {
        for (const Wire& w : s.wires)
          if (w.tag != s.shieldTag)
            card("LD 2 " + std::to_string(w.tag) + " 0 0 0 " + DeckNumber(m.insulationInductance) + " 0");
      }
    }
    const std::string shield = std::to_string(s.shieldTag);
    if (s.shieldTag > 0 && m.chokeOhms > 0) card("LD 0 " + shield + " 1 1 " + DeckNumber(m.chokeOhms) + " 0 0");
    card("EX 0 " + std::to_string(s.sourceTag) + " " + std::to_string(s.sourceSegment) + " 0 1 0");
    // The shield's top segment alone keeps the current tables short.
    card(s.shieldTag > 0 ? "PT 0 " + shield + " 1 1" : std::string("PT -1"));
    for (std::size_t i : s.steps) {
      const FrequencyStep& f = frequencies.steps.at(i);
      card("FR 0 " + std::to_string(f.count) + " 0 0 " + DeckNumber(f.start) + " " + DeckNumber(f.step));
      // RP solves the frequency as XQ would and adds its far field.
      card(patterns && f.kind == StepKind::Own ? PatternCard() : std::string("XQ"));
    }
  }
  card("EN");
  return deck;
}

}  // namespace lorvant::nec
