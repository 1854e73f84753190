// What the NEC-2 check concludes from impedances: which bands a balun can
// serve at the feed point, the ratio that serves them, where the reactance
// crosses zero.
#include <gtest/gtest.h>

#include "engine/nec/resonance.h"
#include "engine/nec/swr.h"

namespace lorvant::nec {
namespace {

SolvedFrequency At(int band, double mhz, std::complex<double> z) { return {band, mhz, z, 0}; }

TEST(NecBalunRule, BandsNoRatioServesDoNotChooseAndTheEdgesDo) {
  // 14 MHz at 4000 + 1500j stays at SWR 10.2 even through 9:1, which it
  // forces when it counts. Of the others 4:1 serves the own frequencies best
  // (120 ohm 1.67, 200 ohm 1.00), but the 7.0 MHz edge at 110 ohm (1.82)
  // tips the choice to 2.25:1 (1.07, 1.78, 1.02).
  Result r;
  r.bands = {{At(1, 3.6, {120, 0})}, {At(3, 7.1, {200, 0})}, {At(5, 14.2, {4000, 1500})}};
  r.sweep = {At(3, 7.0, {110, 0}), At(5, 14.0, {50, 0})};
  const std::vector<std::complex<double>> own = {{120, 0}, {200, 0}, {4000, 1500}};
  EXPECT_EQ(ChooseBalun(own).ratio, 9);
  EXPECT_EQ(ChooseBalun(std::span(own).first(2)).ratio, 4);

  SettleBalun(r, std::nullopt);
  EXPECT_TRUE(r.bands[0].usable && r.bands[1].usable);
  EXPECT_FALSE(r.bands[2].usable);
  EXPECT_EQ(r.balunRatio, 2.25);
  EXPECT_EQ(r.worstBand, 3);
  EXPECT_NEAR(r.worstSwr, Swr({200, 0}, 2.25), 1e-12);
  EXPECT_NEAR(r.sweep[1].swr, Swr({50, 0}, 2.25), 1e-12) << "every frequency through the balun";

  // A given ratio decides the SWR, not what is usable.
  SettleBalun(r, 9.0);
  EXPECT_FALSE(r.balunChosen);
  EXPECT_FALSE(r.bands[2].usable);
  EXPECT_NEAR(r.worstSwr, Swr({110, 0}, 9), 1e-12);

  // Nothing usable: 1:1 and no worst band. The limit is strict: 9:1 turns
  // 1350 ohm into 150, SWR 3 exactly.
  r.bands = {{At(3, 7.1, {1350, 0})}};
  SettleBalun(r, std::nullopt);
  EXPECT_EQ(r.balunRatio, 1);
  EXPECT_EQ(r.worstBand, -1);
  EXPECT_TRUE(UsableAtFeed({1349, 0}));
}

TEST(NecResonance, ZeroCrossingFromCapacitiveToInductive) {
  // 6.25 between -10 and +10; 7.0 -> 7.5 turns inductive to capacitive (a
  // current minimum at the feed) and counts not; 8.125 a quarter of the
  // way from -1 to +3. The nearer one wins.
  const std::vector<ReactancePoint> x = {{6.0, -10}, {6.5, 10}, {7.0, 20}, {7.5, -5}, {8.0, -1}, {8.5, 3}};
  EXPECT_NEAR(*ZeroCrossing(x, 7.0), 6.25, 1e-12);
  EXPECT_NEAR(*ZeroCrossing(x, 7.3), 8.125, 1e-12);
  const std::vector<ReactancePoint> exact = {{7.0, 0}, {7.2, 40}};
  EXPECT_EQ(ZeroCrossing(exact, 7.5), 7.0) << "an exact zero, also the first point";
  EXPECT_FALSE(ZeroCrossing(std::span(x).subspan(2, 3), 7.0));
  EXPECT_FALSE(ZeroCrossing({}, 7.0));
}

}  // namespace
}  // namespace lorvant::nec
