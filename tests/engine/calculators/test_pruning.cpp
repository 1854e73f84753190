// The pruning calculator's numbers: the count of half-waves and the range
// of the frequency ratio.
#include <gtest/gtest.h>

#include "engine/calculators/pruning.h"

using namespace lorvant::pruning;

TEST(Pruning, HalfWaveCountRoundsHalvesToEven) {
  // 2.5 half-waves round to 2, 3.5 to 4.
  EXPECT_EQ(Compute({50, 7.5f, 7.5f}).halfWaves, 2);
  EXPECT_EQ(Compute({70, 7.5f, 7.5f}).halfWaves, 4);
}

TEST(Pruning, RatioLimitsAreInclusive) {
  EXPECT_TRUE(Compute({20, 7, 5}).computed());  // exactly 1.4
  EXPECT_FALSE(Compute({20, 7.1f, 5}).computed());
}
