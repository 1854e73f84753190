#include "engine/nec/deck.h"

#include <charconv>

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

std::string WriteDeck(const Model& m, Ground ground, const FrequencyPlan& frequencies) {
  std::string deck;
  const auto card = [&deck](const std::string& line) { deck += line + "\n"; };
  const std::string h = DeckNumber(m.height);

  card(std::string("CM ") + kProgramTitle + ": horizontal wire of " + DeckNumber(m.length) + " m along x at " + h +
       " m, fed at " + DeckNumber(m.feed) + " m");
  std::string groundNote = "CM ground: ";
  groundNote += GroundWord(ground);
  if (IsRealGround(ground)) {
    const GroundConstants g = ConstantsOf(ground);
    groundNote += " (Sommerfeld-Norton, permittivity " + DeckNumber(g.permittivity) + ", conductivity " +
                  DeckNumber(g.conductivity) + " S/m)";
  }
  card(groundNote);
  card("CM insulation of the wire not modelled");
  card("CE");
  for (const Wire& w : m.wires) {
    card("GW " + std::to_string(w.tag) + " " + std::to_string(w.segments) + " " + DeckNumber(w.start) + " 0 " + h +
         " " + DeckNumber(w.end) + " 0 " + h + " " + DeckNumber(m.radius));
  }
  card(ground == Ground::FreeSpace ? "GE 0" : "GE 1");
  if (ground == Ground::Perfect) card("GN 1");
  if (IsRealGround(ground)) {
    const GroundConstants g = ConstantsOf(ground);
    card("GN 2 0 0 0 " + DeckNumber(g.permittivity) + " " + DeckNumber(g.conductivity));
  }
  card("EX 0 " + std::to_string(m.sourceTag) + " " + std::to_string(m.sourceSegment) + " 0 1 0");
  card("PT -1");
  for (const FrequencyStep& s : frequencies.steps) {
    card("FR 0 " + std::to_string(s.count) + " 0 0 " + DeckNumber(s.start) + " " + DeckNumber(s.step));
    card("XQ");
  }
  card("EN");
  return deck;
}

}  // namespace lorvant::nec
