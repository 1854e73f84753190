// The shortening-factor calculator's numbers.
#include <gtest/gtest.h>

#include "engine/calculators/vk.h"
#include "engine/shortening.h"

using namespace lorvant;
using namespace lorvant::vk;

TEST(VkCalculator, GroundCorrectionChangesOnlyTheHeightShortening) {
  const Result plain = Compute({3.5f, 10, 2, false});
  const Result ground = Compute({3.5f, 10, 2, true});
  ASSERT_TRUE(plain.computed() && ground.computed());
  EXPECT_EQ(plain.slenderness, ground.slenderness);
  EXPECT_NE(plain.heightShortening, ground.heightShortening);
  EXPECT_EQ(ground.heightShortening, HoehenVerkuerzung(3.5f, 10, true));
}
