// The NEC-2 model of the hanging wire read back from its deck, structure
// by structure and card by card, and what it refuses.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/nec/deck.h"
#include "engine/nec/model.h"
#include "tests/session/nec_support.h"
#include "text/nec_texts.h"

namespace lorvant::nec {
namespace {

using test::Card;
using test::ReadCards;

double Distance(const Point& a, const Point& b) { return std::hypot(b.x - a.x, b.y - a.y, b.z - a.z); }

// 3.5, 14 and 28 MHz with three sweep points each.
FrequencyPlan ThreeBands() {
  BandValues bands{};
  for (int b : {1, 5, 9}) bands[static_cast<std::size_t>(b)] = BandState::Counted;
  return PlanFrequencies(bands, Segment::Centre, false, 0, 3);
}

// The deck's structures, split at NX.
std::vector<std::vector<Card>> Structures(const std::string& deck) {
  std::vector<std::vector<Card>> out(1);
  for (const Card& c : ReadCards(deck)) {
    if (c.name == "NX")
      out.emplace_back();
    else if (c.name != "EN")
      out.back().push_back(c);
  }
  return out;
}

// One structure's GW cards against the polyline: tags in order, each wire
// starting where the one before ends, every wire's ends and middle on the
// polyline (so no wire cuts a corner), the corners among the wires' ends,
// segments between eight radii and a thirtieth of the structure's shortest
// wavelength, neighbours within a factor of two, and the source's centre
// within 1 cm of the feed point along the wire.
void ExpectSoundStructure(const std::vector<Card>& cards, const Model& m, const Structure& structure) {
  const std::vector<Point>& corners = structure.corners;
  std::vector<const Card*> gw;
  const Card* ex = nullptr;
  double highest = 0;
  for (const Card& c : cards) {
    if (c.name == "GW") gw.push_back(&c);
    if (c.name == "EX") ex = &c;
    if (c.name == "FR") highest = std::max(highest, c.fields[4] + (c.fields[1] - 1) * c.fields[5]);
  }
  ASSERT_FALSE(gw.empty());
  ASSERT_NE(ex, nullptr);
  const double longest = kSpeedOfLight / highest / 30;
  std::vector<double> segments;  // lengths along the wire
  std::vector<double> wireStart;
  std::vector<std::string> ends;
  double along = 0;
  std::size_t cornersSeen = 0;
  for (std::size_t i = 0; i < gw.size(); ++i) {
    const std::vector<double>& f = gw[i]->fields;
    ASSERT_EQ(f.size(), 9u) << gw[i]->text;
    EXPECT_EQ(f[0], static_cast<double>(i + 1)) << gw[i]->text;
    const Point from{f[2], f[3], f[4]}, to{f[5], f[6], f[7]};
    if (i == 0) {
      EXPECT_LT(Distance(from, corners.front()), 1e-9);
    } else {
      const std::vector<double>& before = gw[i - 1]->fields;
      EXPECT_EQ((std::vector<double>{before[5], before[6], before[7]}), (std::vector<double>{f[2], f[3], f[4]}))
          << "continuous: " << gw[i]->text;
    }
    const double length = Distance(from, to);
    EXPECT_LT(Distance(PointAlong(corners, along), from), 1e-6) << gw[i]->text;
    EXPECT_LT(Distance(PointAlong(corners, along + length / 2), PointAlong({from, to}, length / 2)), 1e-6)
        << "on one leg: " << gw[i]->text;
    wireStart.push_back(along);
    along += length;
    for (const Point& c : corners)
      if (Distance(c, to) < 1e-6) ++cornersSeen;
    EXPECT_DOUBLE_EQ(f[8], m.radius);
    for (int s = 0; s < static_cast<int>(f[1]); ++s) segments.push_back(length / f[1]);
  }
  EXPECT_NEAR(along, m.length, 1e-6) << "the wire's length along it";
  EXPECT_EQ(cornersSeen, corners.size() - 1) << "every corner after the first ends a wire";
  for (std::size_t s = 0; s < segments.size(); ++s) {
    EXPECT_LE(segments[s], longest * (1 + 1e-6));
    EXPECT_GE(segments[s], 8 * m.radius);
    if (s > 0) {
      EXPECT_LE(segments[s], 2 * segments[s - 1] * (1 + 1e-6)) << s;
      EXPECT_GE(segments[s], segments[s - 1] / 2 * (1 - 1e-6)) << s;
    }
  }
  const std::vector<double>& e = ex->fields;
  ASSERT_EQ(e.size(), 6u);
  EXPECT_EQ(e[0], 0);
  EXPECT_EQ(e[4], 1);
  const auto tag = static_cast<std::size_t>(e[1]);
  ASSERT_TRUE(tag >= 1 && tag <= gw.size());
  EXPECT_EQ(e[2], 1);
  const double source = Distance({gw[tag - 1]->fields[2], gw[tag - 1]->fields[3], gw[tag - 1]->fields[4]},
                                 {gw[tag - 1]->fields[5], gw[tag - 1]->fields[6], gw[tag - 1]->fields[7]}) /
                        gw[tag - 1]->fields[1];
  EXPECT_NEAR(wireStart[tag - 1] + source / 2, m.feed, kSourceTolerance + 1e-9) << ex->text;
}

void ExpectSoundDeck(const Model& m, const FrequencyPlan& plan) {
  const std::string deck = WriteDeck(m, Ground::Average, plan);
  const std::vector<std::vector<Card>> structures = Structures(deck);
  ASSERT_EQ(structures.size(), m.structures.size());
  for (std::size_t i = 0; i < structures.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "structure " << i + 1);
    EXPECT_EQ(structures[i].front().name, "CM") << "each structure starts with its comments";
    ExpectSoundStructure(structures[i], m, m.structures[i]);
  }
}

TEST(NecModel, HangingWiresReadBackFromTheirDecks) {
  const FrequencyPlan plan = ThreeBands();
  const Loads copper{5.8e7, {}};
  struct Case {
    const char* name;
    Hanging h;
    double feed;
  };
  const Case cases[] = {
      {"flat", {}, 13.7},
      {"sloper", {12, 4, std::nullopt, 180}, 13.7},
      {"inverted-V fed at its apex", {6, 5, Apex{12, {}}, 180}, 13.7},
      {"bent to an L at the feed point", {10, 10, std::nullopt, 90}, 13.7},
      {"inverted-V at 90 degrees", {6, 5, Apex{12, {}}, 90}, 13.7},
      {"apex 5 mm past the feed point", {10, 10, Apex{12, 13.705}, 180}, 13.7},
      {"apex 4 cm before the feed point", {10, 10, Apex{12, 13.66}, 180}, 13.7},
      {"apex 15 cm past the feed point", {10, 10, Apex{12, 13.85}, 180}, 13.7},
      {"apex far from the feed point", {10, 10, Apex{12, 25.0}, 120}, 13.7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Model m = MakeModel(41.2, c.feed, c.h, 1.4, copper, plan, Ground::Average);
    ASSERT_EQ(m.structures.size(), 3u);
    ExpectSoundDeck(m, plan);
  }
}

TEST(NecModel, AFeedPointOnTheBendGetsAFullSourceLaidStraightAcrossIt) {
  const FrequencyPlan plan = ThreeBands();
  struct Case {
    const char* name;
    Hanging h;
  };
  const Case cases[] = {
      {"inverted-V fed at its apex", {6, 5, Apex{12, {}}, 180}},
      {"apex 4 cm before the feed point", {10, 10, Apex{12, 13.66}, 180}},
      {"bent to an L at the feed point", {10, 10, std::nullopt, 90}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Model m = MakeModel(41.2, 13.7, c.h, 1.4, {}, plan, Ground::Average);
    ASSERT_EQ(m.corners.size(), 3u);
    const double bendHeight = m.corners[1].z;
    for (const Structure& s : m.structures) {
      SCOPED_TRACE(testing::Message() << "band " << s.band);
      ASSERT_EQ(s.corners.size(), 4u) << "start, the straight piece's ends, end";
      EXPECT_EQ(s.corners.front().z, m.corners.front().z);
      EXPECT_EQ(s.corners.back().z, m.corners.back().z);
      const Wire& w = s.wires.at(static_cast<std::size_t>(s.sourceTag - 1));
      EXPECT_EQ(w.segments, 1) << "the source is a wire of its own";
      EXPECT_EQ(w.from, s.corners[1]);
      EXPECT_EQ(w.to, s.corners[2]);
      EXPECT_EQ(w.from.z, bendHeight);
      EXPECT_EQ(w.to.z, bendHeight);
      EXPECT_NEAR(Distance(w.from, w.to), w.end - w.start, 1e-9);
      EXPECT_NEAR(s.sourceCentre(), 13.7, 1e-9);
      // The engine's thousandth of the lowest frequency's wavelength.
      EXPECT_GT(w.end - w.start, kSpeedOfLight / s.lowestMHz / 1000) << "source " << w.end - w.start << " m";
      // The legs keep their direction seen from above.
      const auto level = [](const Point& a, const Point& b) { return std::atan2(b.y - a.y, b.x - a.x); };
      EXPECT_NEAR(level(s.corners[0], s.corners[1]), level(m.corners[0], m.corners[1]), 1e-9);
      EXPECT_NEAR(level(s.corners[2], s.corners[3]), level(m.corners[1], m.corners[2]), 1e-9);
    }
  }
  // A bend further off than half the source stays a corner of the wire.
  const Model apart = MakeModel(41.2, 13.7, {10, 10, Apex{12, 25.0}, 180}, 1.4, {}, plan, Ground::Average);
  for (const Structure& s : apart.structures) EXPECT_EQ(s.corners, apart.corners) << "band " << s.band;
}

TEST(NecModel, OneStructurePerBandInTheOrderOfItsFirstStep) {
  FrequencyPlan plan = ThreeBands();
  // A later step of the lowest band joins its structure.
  plan.steps.push_back({1, 3.6, 0.01, 4, nec::StepKind::Sweep});
  const Model m = MakeModel(41.2, 13.7, {}, 1.4, {}, plan, Ground::Average);
  ASSERT_EQ(m.structures.size(), 3u);
  EXPECT_EQ(m.structures[0].band, 1);
  // Its own frequency, its sweep, the two cards of its resonance search.
  EXPECT_EQ(m.structures[0].steps, (std::vector<std::size_t>{0, 1, 2, 3, 8}));
  EXPECT_EQ(m.structures[2].band, 9);
  const std::vector<Card> cards = ReadCards(WriteDeck(m, Ground::Average, plan));
  std::vector<std::string> program;
  for (const Card& c : cards)
    if (c.name == "FR" || c.name == "NX" || c.name == "EX" || c.name == "LD") program.push_back(c.text);
  ASSERT_GE(program.size(), 8u);
  EXPECT_EQ(program[0], "EX 0 " + std::to_string(m.structures[0].sourceTag) + " 1 0 1 0");
  EXPECT_EQ(program[1], "FR 0 1 0 0 3.65 0");
  EXPECT_EQ(program[2], "FR 0 3 0 0 3.5 0.15");
  EXPECT_EQ(program[3], "FR 0 2 0 0 3.285 0.1825");
  EXPECT_EQ(program[4], "FR 0 2 0 0 3.8325 0.1825");
  EXPECT_EQ(program[5], "FR 0 4 0 0 3.6 0.01");
  EXPECT_EQ(program[6], "NX");
  EXPECT_EQ(std::count(program.begin(), program.end(), "NX"), 2);
  EXPECT_GT(m.structures[2].segmentCount(), 4 * m.structures[0].segmentCount()) << "28 MHz is cut finer";
}

TEST(NecModel, LoadCards) {
  const FrequencyPlan plan = ThreeBands();
  const auto loads = [&](const Loads& l) {
    std::string text;
    for (const Card& c :
         ReadCards(WriteDeck(MakeModel(20, 7, {}, 1.4, l, plan, Ground::Average), Ground::Average, plan)))
      if (c.name == "LD") text += c.text + ";";
    return text;
  };
  EXPECT_EQ(loads({}), "");
  EXPECT_EQ(loads({5.8e7, {}}), "LD 5 0 0 0 58000000;LD 5 0 0 0 58000000;LD 5 0 0 0 58000000;");
  // er 3.5 over 2.8 mm on 1.4 mm: 2e-7 * (1 - 1 / 3.5) * ln 2 H/m.
  const double inductance = 2e-7 * (1 - 1 / 3.5) * std::log(2.0);
  EXPECT_NEAR(InsulationInductance({3.5, 2.8}, 1.4), inductance, 1e-15);
  EXPECT_EQ(InsulationInductance({1, 2.8}, 1.4), 0);
  EXPECT_EQ(InsulationInductance({3.5, 1.4}, 1.4), 0);
  const std::string sleeve = loads({std::nullopt, Insulation{3.5, 2.8}});
  EXPECT_EQ(sleeve.substr(0, sleeve.find(';')), "LD 2 0 0 0 0 " + DeckNumber(inductance) + " 0");
  EXPECT_EQ(ConductivityOf(Material::Aluminium), 3.5e7);
  EXPECT_EQ(ConductivityOf(Material::Lossless), std::nullopt);
  EXPECT_EQ(MaterialFromWord("aluminium"), Material::Aluminium);
  EXPECT_STREQ(MaterialWord(Material::Lossless), "lossless");
  EXPECT_EQ(MaterialFromWord("gold"), std::nullopt);
}

TEST(NecModel, RefusesWhatNec2CannotModel) {
  using Kind = ModelError::Kind;
  const FrequencyPlan plan = ThreeBands();
  const auto refusal = [&](double length, double feed, const Hanging& h, double diameter, Ground g) {
    try {
      MakeModel(length, feed, h, diameter, {}, plan, g);
    } catch (const ModelError& e) {
      return e;
    }
    return ModelError(Kind::BadLength, -1);  // "none": no case below expects it
  };
  // The 3.5 MHz band's source segment is 1/80 of the wavelength at the top of
  // its resonance search, 1.1 * 3.65 MHz: 74.7 m.
  ModelError e = refusal(41.2, 0.2, {}, 1.4, Ground::Average);
  EXPECT_EQ(e.kind(), Kind::FeedNearEnd);
  EXPECT_NEAR(e.limit(), kSpeedOfLight / (1.1 * 3.65) / 80, 1e-12);
  EXPECT_EQ(refusal(41.2, 41.0, {}, 1.4, Ground::Average).kind(), Kind::FeedNearEnd);
  EXPECT_EQ(ModelErrorText(e, Language::English, '.'),
            "NEC-2 check: the feed point 0.2 m lies closer to an end of the wire than one segment of the model "
            "(0.933 m).");
  EXPECT_EQ(ModelErrorText(e, Language::German, ','),
            "NEC-2-Prüfung: Der Speisepunkt 0,2 m liegt näher an einem Drahtende als ein Segment des Modells "
            "(0,933 m).");

  // Lower than 0.1 m over a real ground, than ten radii over any.
  const Hanging low{0.05, 8, std::nullopt, 180};
  e = refusal(41.2, 13.7, low, 1.4, Ground::Average);
  EXPECT_EQ(e.kind(), Kind::TooLow);
  EXPECT_EQ(e.value(), 0.05);
  EXPECT_EQ(e.limit(), 0.1);
  EXPECT_EQ(ModelErrorText(e, Language::English, '.'),
            "NEC-2 check: the wire's lowest point hangs only 0.05 m high; NEC-2 needs at least 0.1 m above this "
            "ground.");
  EXPECT_NO_THROW(MakeModel(41.2, 13.7, low, 1.4, {}, plan, Ground::Perfect));
  e = refusal(41.2, 13.7, {0.006, 10, std::nullopt, 180}, 1.4, Ground::Perfect);
  EXPECT_EQ(e.kind(), Kind::TooLow);
  EXPECT_NEAR(e.limit(), 0.007, 1e-12);
  EXPECT_NO_THROW(MakeModel(41.2, 13.7, {0, 0, std::nullopt, 180}, 1.4, {}, plan, Ground::FreeSpace));

  // A hanging that cannot be made names its value.
  e = refusal(41.2, 13.7, {10, 10, Apex{12, 50.0}, 180}, 1.4, Ground::Average);
  EXPECT_EQ(e.kind(), Kind::CannotHang);
  ASSERT_TRUE(e.hang());
  EXPECT_EQ(e.hang()->value, HangError::Value::ApexAt);
  EXPECT_EQ(ModelErrorText(e, Language::English, '.'),
            "NEC-2 check: the apex at 50 m does not lie between the wire's ends.");

  EXPECT_EQ(refusal(41.2, 0, {}, 1.4, Ground::Average).kind(), Kind::FeedOutside);
  // Eight radii of a 100 mm conductor (0.4 m) exceed a thirtieth of 10.1 m.
  EXPECT_EQ(refusal(41.2, 13.7, {}, 100, Ground::Average).kind(), Kind::WireTooThick);
  // 1000 m at 29.7 MHz needs some 3000 segments in one structure.
  EXPECT_EQ(refusal(1000, 300, {}, 1.4, Ground::Average).kind(), Kind::TooManySegments);
}

}  // namespace
}  // namespace lorvant::nec
