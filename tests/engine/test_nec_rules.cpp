// What the NEC-2 check concludes from the engine's impedances: which bands a
// balun can serve, the ratio that serves them, and where the reactance
// crosses zero.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/nec/resonance.h"
#include "engine/nec/swr.h"

namespace lorvant::nec {
namespace {

SolvedFrequency At(int band, double mhz, std::complex<double> z) { return {band, mhz, z, 0}; }

// 3.5 MHz at 120 ohm (2.25:1 makes it 53.3: SWR 1.07; 4:1 makes it 30: 1.67),
// 7 MHz at 4000 + 1500j, which even 9:1 leaves at SWR 10.2.
Result TwoBands() {
  Result r;
  r.bands = {{At(1, 3.6, {120, 0})}, {At(3, 7.1, {4000, 1500})}};
  return r;
}

TEST(NecBalunRule, ABandNoRatioServesDoesNotChooseTheRatio) {
  Result r = TwoBands();
  EXPECT_NEAR(Swr({4000, 1500}, 9), 10.2, 0.1);
  // Over all bands the unusable one would force the largest ratio.
  const std::vector<std::complex<double>> all = {r.bands[0].solved.impedance, r.bands[1].solved.impedance};
  EXPECT_EQ(ChooseBalun(all).ratio, 9);

  SettleBalun(r, std::nullopt);
  EXPECT_TRUE(r.bands[0].usable);
  EXPECT_FALSE(r.bands[1].usable);
  EXPECT_TRUE(r.balunChosen);
  EXPECT_EQ(r.balunRatio, 2.25);
  EXPECT_EQ(r.worstBand, 1) << "the worst of the usable bands only";
  EXPECT_NEAR(r.worstSwr, Swr({120, 0}, 2.25), 1e-12);
  EXPECT_NEAR(r.bands[1].solved.swr, Swr({4000, 1500}, 2.25), 1e-12) << "still shown through the balun";

  // A given ratio decides the SWR, not what is usable.
  SettleBalun(r, 9.0);
  EXPECT_FALSE(r.balunChosen);
  EXPECT_EQ(r.balunRatio, 9);
  EXPECT_TRUE(r.bands[0].usable);
  EXPECT_FALSE(r.bands[1].usable);
  EXPECT_NEAR(r.worstSwr, Swr({120, 0}, 9), 1e-12);

  // The limit is strict: 9:1 turns 1350 ohm into 150, SWR 3 exactly.
  EXPECT_TRUE(UsableAtFeed({1349, 0}));
  EXPECT_FALSE(UsableAtFeed({1350, 0}));
  EXPECT_FALSE(UsableAtFeed({0, 50})) << "no resistance: no ratio helps";
}

TEST(NecBalunRule, TheSweepChoosesWithTheOwnFrequency) {
  // At their own frequencies both bands want 4:1 (200 ohm); the edges of
  // 7 MHz at 110 ohm pull the choice to 2.25:1: 4:1 gives them 1.82, 2.25:1
  // gives 200 ohm 1.78 and 110 ohm 1.02.
  Result r;
  r.bands = {{At(1, 3.6, {200, 0})}, {At(3, 7.1, {200, 0})}, {At(5, 14.2, {5000, 0})}};
  r.sweep = {At(3, 7.0, {110, 0}), At(3, 7.2, {110, 0}), At(5, 14.0, {50, 0})};
  SettleBalun(r, std::nullopt);
  EXPECT_EQ(r.balunRatio, 2.25);
  EXPECT_NEAR(r.worstSwr, Swr({200, 0}, 2.25), 1e-12);
  EXPECT_FALSE(r.bands[2].usable);
  EXPECT_EQ(ChoosingImpedances(r).size(), 4u) << "the unusable band's sweep point does not choose either";
  EXPECT_NEAR(r.sweep[2].swr, Swr({50, 0}, 2.25), 1e-12);

  // Nothing usable: 1:1 and no worst band.
  Result none;
  none.bands = {{At(3, 7.1, {4000, 1500})}};
  SettleBalun(none, std::nullopt);
  EXPECT_EQ(none.balunRatio, 1);
  EXPECT_EQ(none.worstBand, -1);
  EXPECT_FALSE(none.bands[0].usable);
}

TEST(NecResonance, ZeroCrossingBetweenNeighbours) {
  // -30 at 7.0, +10 at 7.2: a quarter of the way back from 7.2.
  const std::vector<ReactancePoint> one = {{6.8, -60}, {7.0, -30}, {7.2, 10}, {7.4, 50}};
  ASSERT_TRUE(ZeroCrossing(one, 7.1));
  EXPECT_NEAR(*ZeroCrossing(one, 7.1), 7.15, 1e-12);

  // Inductive to capacitive (a current minimum at the feed) is no crossing;
  // of two crossings the one nearer the asked frequency.
  const std::vector<ReactancePoint> two = {{6.0, -10}, {6.5, 10}, {7.0, 20}, {7.5, -5}, {8.0, -1}, {8.5, 3}};
  EXPECT_NEAR(*ZeroCrossing(two, 7.0), 6.25, 1e-12);
  EXPECT_NEAR(*ZeroCrossing(two, 8.0), 8.125, 1e-12);

  // A point that is exactly zero counts, also the first.
  const std::vector<ReactancePoint> exact = {{7.0, 0}, {7.2, 40}};
  EXPECT_EQ(ZeroCrossing(exact, 7.5), 7.0);

  const std::vector<ReactancePoint> capacitive = {{7.0, -30}, {7.2, -10}};
  EXPECT_FALSE(ZeroCrossing(capacitive, 7.1));
  EXPECT_FALSE(ZeroCrossing({}, 7.1));
  const std::vector<ReactancePoint> single = {{7.0, -3}};
  EXPECT_FALSE(ZeroCrossing(single, 7.0));
}

}  // namespace
}  // namespace lorvant::nec
