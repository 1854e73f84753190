// The far field and the feed line's common-mode current: the engine's
// tables read from a captured output, the shield read back from the deck,
// and nec2c's answers on a dipole and an off-centre-fed wire (skipped
// without nec2c).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/nec/deck.h"
#include "engine/nec/feedline.h"
#include "engine/nec/output.h"
#include "engine/nec/pattern.h"
#include "io/engine_runner.h"
#include "session/nec_air.h"

namespace lorvant::nec {
namespace {

#define SKIP_WITHOUT_NEC2C() \
  if (FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)"

std::string ReadData(const std::string& name) {
  std::ifstream in(std::string(LORVANT_TEST_DATA) + "/" + name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Fields(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> f;
  for (std::string w; in >> w;) f.push_back(w);
  return f;
}

// The cards of the deck that start with `name`, structure by structure.
std::vector<std::vector<std::vector<std::string>>> CardsByStructure(const std::string& deck, const std::string& name) {
  std::vector<std::vector<std::vector<std::string>>> out(1);
  std::istringstream in(deck);
  for (std::string line; std::getline(in, line);) {
    const std::vector<std::string> f = Fields(line);
    if (f.empty()) continue;
    if (f[0] == "NX") out.emplace_back();
    if (f[0] == name) out.back().push_back(f);
  }
  return out;
}

TEST(NecAirOutput, TheCapturedPatternCurrentsAndAverageAreReadAsNec2cPrintedThem) {
  const std::string out = ReadData("nec/air_dipole.out");
  const std::vector<PatternTable> tables = ParsePatterns(out);
  ASSERT_EQ(tables.size(), 1u);
  const PatternTable& t = tables[0];
  ASSERT_EQ(t.points.size(), 40u) << "RP 0 10 4: ten thetas by four phis";
  EXPECT_DOUBLE_EQ(t.points[0].theta, 0);
  EXPECT_DOUBLE_EQ(t.points[0].gain, -5.20);
  EXPECT_DOUBLE_EQ(t.points[6].theta, 60);
  EXPECT_DOUBLE_EQ(t.points[6].gain, 7.32) << "the TOTAL column, not VERTC or HORIZ";
  EXPECT_DOUBLE_EQ(t.points[9].gain, -999.99) << "the horizon's row with its empty SENSE field";
  EXPECT_DOUBLE_EQ(t.points[10].phi, 90);
  ASSERT_TRUE(t.averageGain && t.solidAngle);
  EXPECT_DOUBLE_EQ(*t.averageGain, 1.5557);
  EXPECT_DOUBLE_EQ(*t.solidAngle, 1.5);

  const auto currents = ParseCurrentTables(out);
  ASSERT_EQ(currents.size(), 1u);
  ASSERT_EQ(currents[0].size(), 1u) << "PT 0 2 1 1 prints the shield's top segment alone";
  EXPECT_EQ(currents[0][0].segment, 22);
  EXPECT_EQ(currents[0][0].tag, 2);
  EXPECT_DOUBLE_EQ(currents[0][0].current.real(), 4.5929e-05);
  EXPECT_DOUBLE_EQ(currents[0][0].current.imag(), -6.4059e-05);

  // The share against the feed current that the input table prints.
  const std::vector<InputParameters> in = ParseInputParameters(out);
  ASSERT_EQ(in.size(), 1u);
  const double feedCurrent = std::abs(std::complex(1.0946e-02, -5.2581e-03));
  const auto share = CommonModeFraction(currents[0], 22, in[0].impedance);
  ASSERT_TRUE(share);
  EXPECT_NEAR(*share, 7.8823e-05 / feedCurrent, 1e-6);
  EXPECT_FALSE(CommonModeFraction(currents[0], 21, in[0].impedance)) << "a segment the table does not hold";
}

TEST(NecAirOutput, TheSummaryTakesTheMaximumItsLowAnglesAndTheEfficiencyByGround) {
  const PatternTable t = ParsePatterns(ReadData("nec/air_dipole.out")).at(0);
  const PatternSummary real = SummarisePattern(t, true, 0.99);
  EXPECT_DOUBLE_EQ(real.gainDbi, 7.32);
  EXPECT_DOUBLE_EQ(real.elevation, 30);
  EXPECT_DOUBLE_EQ(real.azimuth, 0) << "phi 180 is as strong; the first is taken";
  EXPECT_DOUBLE_EQ(*real.gainAt[0], 2.49);  // theta 80
  EXPECT_DOUBLE_EQ(*real.gainAt[1], 6.64);  // theta 70
  EXPECT_DOUBLE_EQ(*real.gainAt[2], 7.32);  // theta 60
  EXPECT_NEAR(*real.efficiency, 1.5557 * 1.5 / 4, 1e-12) << "the average over the grid's share of the sphere";
  EXPECT_DOUBLE_EQ(*SummarisePattern(t, false, 0.99).efficiency, 0.99) << "free space and perfect ground: the budget";

  // The pictures' cuts: upright through phi 0 and 180 from horizon to
  // horizon over the zenith (there once), and round at theta 60.
  const PatternCuts cuts = CutPattern(t, real);
  ASSERT_EQ(cuts.elevation.size(), 19u);
  EXPECT_DOUBLE_EQ(cuts.elevation[0].angle, 0);
  EXPECT_DOUBLE_EQ(cuts.elevation[0].gain, -999.99);
  EXPECT_DOUBLE_EQ(cuts.elevation[3].angle, 30);
  EXPECT_DOUBLE_EQ(cuts.elevation[3].gain, 7.32);
  EXPECT_DOUBLE_EQ(cuts.elevation[9].angle, 90);
  EXPECT_DOUBLE_EQ(cuts.elevation[9].gain, -5.20);
  EXPECT_DOUBLE_EQ(cuts.elevation[11].angle, 110) << "phi 180's theta 20";
  EXPECT_DOUBLE_EQ(cuts.elevation[11].gain, -4.82);
  EXPECT_DOUBLE_EQ(cuts.elevation[18].angle, 180);
  ASSERT_EQ(cuts.azimuth.size(), 4u);
  const double round[] = {7.32, -3.68, 7.32, -2.02};
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_DOUBLE_EQ(cuts.azimuth[k].angle, 90.0 * static_cast<double>(k));
    EXPECT_DOUBLE_EQ(cuts.azimuth[k].gain, round[k]);
  }
  PatternSummary sideways = real;
  sideways.azimuth = 270;  // behind it lies 90
  EXPECT_DOUBLE_EQ(CutPattern(t, sideways).elevation[13].gain, -1.20) << "phi 90's theta 40";

  // Straight up wins a tie with lower angles; a grid without 10 degrees
  // has no gain there.
  PatternTable up;
  up.points = {{0, 0, 6.0}, {4, 0, 6.0}, {4, 90, 5.0}, {70, 0, 1.0}};
  const PatternSummary nvis = SummarisePattern(up, true, std::nullopt);
  EXPECT_DOUBLE_EQ(nvis.elevation, 90);
  EXPECT_FALSE(nvis.gainAt[0]);
  EXPECT_DOUBLE_EQ(*nvis.gainAt[1], 1.0);
  EXPECT_FALSE(nvis.efficiency) << "no average printed";
}

// A half-wave dipole at 14.2 MHz, centre-fed, copper.
Plan Dipole(double height, Ground ground) {
  Plan p;
  p.ground = ground;
  p.frequencies.steps = {FrequencyStep{5, 14.2, 0, 1, StepKind::Own}};
  Hanging h;
  h.startHeight = h.endHeight = height;
  p.model = MakeModel(10.56, 5.28, h, 2.0, {5.8e7, {}}, p.frequencies, ground);
  return p;
}

PatternSummary DipolePattern(double height, Ground ground) {
  Plan p = Dipole(height, ground);
  PrepareAir(p, {true, {}});
  const EngineResult r = Nec2cEngine().run(p.deck, {});
  EXPECT_EQ(r.status, EngineResult::Status::Completed) << r.message;
  const AirResult air = EvaluateAir(p, {true, {}}, r.output);
  EXPECT_EQ(air.bands.size(), 1u);
  return air.bands.at(0).pattern.value();
}

TEST(NecAirEngine, AHalfWaveDipolesTakeOffAngleOverPerfectAndAverageGroundAndLowDown) {
  SKIP_WITHOUT_NEC2C();
  const PatternSummary perfect = DipolePattern(10.56, Ground::Perfect);
  EXPECT_NEAR(perfect.gainDbi, 8.38, 0.3);
  EXPECT_NEAR(perfect.elevation, 30, 2);
  EXPECT_GT(*perfect.efficiency, 0.97) << "copper over a lossless ground";
  const PatternSummary average = DipolePattern(10.56, Ground::Average);
  EXPECT_NEAR(average.gainDbi, 7.39, 0.3);
  EXPECT_NEAR(average.elevation, 28, 2);
  EXPECT_LT(*average.efficiency, *perfect.efficiency) << "the ground takes its share";
  EXPECT_GT(*average.efficiency, 0.3);
  EXPECT_LT(*average.gainAt[0], *average.gainAt[1]) << "a quarter-wave-ish height is weak at 10 degrees";
  const PatternSummary nvis = DipolePattern(2.11, Ground::Average);
  EXPECT_NEAR(nvis.elevation, 90, 2) << "a dipole a tenth of a wave high radiates straight up";
}

// An off-centre-fed wire of 41.5 m fed at a third, 10 m over average
// ground, on 80, 40, 20 and 10 m, copper, 2 mm.
Plan Ocf(Ground ground, double feed = 41.5 / 3) {
  Plan p;
  p.ground = ground;
  BandValues bands{};
  for (int b : {1, 3, 5, 9}) bands[static_cast<std::size_t>(b)] = BandState::Counted;
  p.frequencies = PlanFrequencies(bands, Segment::Centre, false, 0, 0);
  p.model = MakeModel(41.5, feed, {}, 2.0, {5.8e7, {}}, p.frequencies, ground);
  return p;
}

TEST(NecAirDeck, TheShieldHangsStraightDownFromTheSourceSegmentsFarEnd) {
  for (Ground ground : {Ground::Average, Ground::Perfect, Ground::FreeSpace}) {
    Plan p = Ocf(ground);
    PrepareAir(p, {false, Feedline{6, 1000}});
    const auto gw = CardsByStructure(p.deck, "GW");
    const auto ex = CardsByStructure(p.deck, "EX");
    const auto ld = CardsByStructure(p.deck, "LD");
    const auto pt = CardsByStructure(p.deck, "PT");
    ASSERT_EQ(gw.size(), 4u);
    for (std::size_t s = 0; s < gw.size(); ++s) {
      const std::vector<std::string>& shield = gw[s].back();
      const int tag = std::stoi(ex[s].at(0)[2]), segment = std::stoi(ex[s].at(0)[3]);
      const std::vector<std::string>& source = gw[s].at(static_cast<std::size_t>(tag - 1));
      const double t = double(segment) / std::stoi(source[2]);
      for (int axis = 0; axis < 3; ++axis) {
        const double a = std::stod(source[3 + axis]), b = std::stod(source[6 + axis]);
        EXPECT_NEAR(std::stod(shield[3 + axis]), a + (b - a) * t, 1e-6) << "at the source segment's far end";
      }
      EXPECT_EQ(shield[3], shield[6]) << "vertical";
      EXPECT_EQ(shield[4], shield[7]) << "vertical";
      EXPECT_DOUBLE_EQ(std::stod(shield[8]), ground == Ground::Perfect ? 0 : 0.1) << "reaching its bottom";
      EXPECT_DOUBLE_EQ(std::stod(shield[9]), 0.003);
      const double segmentLength = (std::stod(shield[5]) - std::stod(shield[8])) / std::stoi(shield[2]);
      double sourceLength = 0;
      for (int axis = 0; axis < 3; ++axis)
        sourceLength += std::pow(std::stod(source[6 + axis]) - std::stod(source[3 + axis]), 2);
      sourceLength = std::sqrt(sourceLength) / std::stoi(source[2]);
      EXPECT_LE(segmentLength, 2 * sourceLength + 1e-9) << "within a factor of two of the source's";
      const std::vector<std::string> choke = {"LD", "0", shield[1], "1", "1", "1000", "0", "0"};
      EXPECT_EQ(ld[s].back(), choke);
      const std::vector<std::string> print = {"PT", "0", shield[1], "1", "1"};
      EXPECT_EQ(pt[s].at(0), print);
    }
  }
  // An insulated wire's sleeve loads the antenna's wires, not the shield.
  Plan sleeved = Ocf(Ground::Average);
  sleeved.model =
      MakeModel(41.5, 41.5 / 3, {}, 2.0, {5.8e7, Insulation{3.5, 3.0}}, sleeved.frequencies, Ground::Average);
  PrepareAir(sleeved, {false, Feedline{}});
  const auto sleeves = CardsByStructure(sleeved.deck, "LD");
  for (std::size_t s = 0; s < sleeves.size(); ++s) {
    const Structure& st = sleeved.model.structures[s];
    std::vector<int> tags;
    for (const auto& card : sleeves[s])
      if (card[1] == "2") tags.push_back(std::stoi(card[2]));
    ASSERT_EQ(tags.size(), st.wires.size() - 1) << "one per antenna wire";
    for (int tag : tags) EXPECT_TRUE(tag > 0 && tag != st.shieldTag) << tag;
  }

  Plan none = Ocf(Ground::Average);
  PrepareAir(none, {false, Feedline{6, 0}});
  EXPECT_EQ(none.deck.find("LD 0 "), std::string::npos) << "no choke without one";
}

// The shield's top segment found in the engine's table by its place (the
// highest row of the shield's tag) and its MAGN column, over the feed
// current the input table prints.
std::vector<double> SharesFromTheTables(const std::string& output, int shieldTag) {
  std::vector<double> feed;
  std::vector<double> shares;
  std::istringstream in(output);
  bool inputs = false, currents = false;
  double topZ = -1e9, topMagnitude = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.find("ANTENNA INPUT PARAMETERS") != std::string::npos) inputs = true;
    if (line.find("CURRENTS AND LOCATION") != std::string::npos) currents = true, topZ = -1e9;
    const std::vector<double> f = LeadingNumbers(line);
    if (inputs && f.size() == 11) {
      feed.push_back(std::hypot(f[4], f[5]));
      inputs = false;
    }
    if (currents && f.size() == 10 && int(f[1]) == shieldTag && f[4] > topZ) topZ = f[4], topMagnitude = f[8];
    if (currents && line.find("POWER BUDGET") != std::string::npos) {
      shares.push_back(topMagnitude / feed.back());
      currents = false;
    }
  }
  return shares;
}

TEST(NecAirEngine, TheOcfsCommonModeCurrentIsTheEnginesAndAChokeLowersItOnEveryBand) {
  SKIP_WITHOUT_NEC2C();
  Plan p = Ocf(Ground::Average);
  PrepareAir(p, {false, Feedline{}});
  Nec2cEngine engine;
  const EngineResult r = engine.run(p.deck, {});
  ASSERT_EQ(r.status, EngineResult::Status::Completed) << r.message;
  const AirResult air = EvaluateAir(p, {false, Feedline{}}, r.output);
  ASSERT_EQ(air.bands.size(), 4u);

  // The deck prints the shield's whole current here, so the top is found by
  // its height rather than by its number.
  std::string full = p.deck;
  for (const Structure& s : p.model.structures) {
    const std::string tag = std::to_string(s.shieldTag);
    const auto at = full.find("PT 0 " + tag + " 1 1");
    ASSERT_NE(at, std::string::npos);
    full.replace(at, ("PT 0 " + tag + " 1 1").size(), "PT 0 0 0 0");
  }
  const EngineResult again = engine.run(full, {});
  ASSERT_EQ(again.status, EngineResult::Status::Completed);
  const std::vector<double> engine_ = SharesFromTheTables(again.output, p.model.structures[0].shieldTag);
  // 80 m, its resonance search (four frequencies), 40, 20, 10 m.
  ASSERT_EQ(engine_.size(), 8u);
  const std::vector<std::size_t> own = {0, 5, 6, 7};
  std::vector<double> unchoked;
  for (std::size_t k = 0; k < 4; ++k) {
    ASSERT_TRUE(air.bands[k].commonMode);
    EXPECT_NEAR(*air.bands[k].commonMode, engine_[own[k]], 1e-3 * engine_[own[k]]) << "band " << air.bands[k].band;
    unchoked.push_back(*air.bands[k].commonMode);
  }

  const auto choked = CommonModeWithChoke(p, 1000, engine, {});
  ASSERT_TRUE(choked);
  ASSERT_EQ(choked->size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) EXPECT_LT((*choked)[k], unchoked[k]) << "band " << air.bands[k].band;
  const auto strong = CommonModeWithChoke(p, 10000, engine, {});
  for (std::size_t k = 0; k < 4; ++k) EXPECT_LT((*strong)[k], (*choked)[k]) << "band " << air.bands[k].band;
}

}  // namespace
}  // namespace lorvant::nec
