// Helpers for the tests of the NEC-2 check: the deck read back card by card,
// the design of the captured engine output in tests/data/nec, files.
#pragma once

#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include "session/nec_check.h"
#include "tests/session/run_support.h"
#include "tests/support/Boxes.h"

namespace lorvant::test {

// One card of a deck: its two letters and its fields as numbers.
struct Card {
  std::string name;
  std::vector<double> fields;
  std::string text;  // the whole line
};

inline std::vector<Card> ReadCards(const std::string& deck) {
  std::vector<Card> cards;
  std::istringstream lines(deck);
  for (std::string line; std::getline(lines, line);) {
    Card c;
    c.text = line;
    std::istringstream fields(line);
    fields >> c.name;
    for (std::string f; fields >> f;) {
      double v = 0;
      const auto r = std::from_chars(f.data(), f.data() + f.size(), v);
      c.fields.push_back(r.ec == std::errc() && r.ptr == f.data() + f.size() ? v : std::nan(""));
    }
    cards.push_back(c);
  }
  return cards;
}

inline std::vector<Card> CardsNamed(const std::vector<Card>& cards, const std::string& name) {
  std::vector<Card> out;
  for (const Card& c : cards)
    if (c.name == name) out.push_back(c);
  return out;
}

// The design whose deck and nec2c output lie in tests/data/nec/ocf_7_14.*:
// the run at 7.1 MHz, one half-wave, 7 and 14 MHz counted, Vk 0.95, 1.4 mm,
// checked at 7.06 m, 10 m over average ground, two sweep points.
inline nec::Design CapturedDesign() {
  nec::Design d;
  d.length = 20.070423f;
  d.conductorDiameter = 1.4;
  d.segment = Segment::Centre;
  d.bands = Boxes({0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0});
  d.reportData.segment = Segment::Centre;
  d.reportData.f0 = 7.1f;
  d.reportData.n = 1;
  d.reportData.length = d.length;
  d.reportData.vk = 0.95f;
  d.reportData.bands = d.bands;
  d.shorteningFactor = 0.95f;
  return d;
}

inline nec::Settings CapturedSettings() {
  nec::Settings s;
  s.feed = 7.06;
  s.hanging = {.startHeight = 10, .endHeight = 10};
  s.ground = nec::Ground::Average;
  s.sweepPoints = 2;
  return s;
}

inline std::string DataFile(const std::string& name) { return ReadBytes(std::string(LORVANT_TEST_DATA) + "/" + name); }

}  // namespace lorvant::test
