// The additional dipole's spacing formula.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/calculators/dipole.h"

using namespace lorvant::dipole;

TEST(AdditionalDipole, SpacingFormula) {
  // Worked example: K = 283.98, corrected by (1.7 - 2) / (2350.5 / 300) * K.
  EXPECT_NEAR(ZusatzAbstand(300, 3.5f, 14.2f, 2, 2, 5, 0), 275.11, 0.005);
  // At 72 ohms and below there is no correction: S is K plus the square
  // root of the diameter sum, and K grows in proportion to Z.
  const float s72 = ZusatzAbstand(72, 3.5f, 14.2f, 2, 2, 5, 0);
  const float s36 = ZusatzAbstand(36, 3.5f, 14.2f, 2, 2, 5, 0);
  EXPECT_NEAR((s72 - 2) / (s36 - 2), 2.0, 1e-5);
  // From a diameter sum of 41 mm on there is no correction either.
  const float s300 = ZusatzAbstand(300, 3.5f, 14.2f, 20.5f, 20.5f, 5, 0);
  const float s150 = ZusatzAbstand(150, 3.5f, 14.2f, 20.5f, 20.5f, 5, 0);
  const double root = std::sqrt(41.0);
  EXPECT_NEAR((s300 - root) / (s150 - root), 2.0, 1e-4);
  // Insulation shortens the wavelength and with it the spacing.
  EXPECT_LT(ZusatzAbstand(300, 3.5f, 14.2f, 2, 2, 5, 0.02), ZusatzAbstand(300, 3.5f, 14.2f, 2, 2, 5, 0));
  // The unused parameters really are unused.
  EXPECT_EQ(ZusatzAbstand(300, 1, 14.2f, 2, 2, 99, 0), ZusatzAbstand(300, 3.5f, 14.2f, 2, 2, 5, 0));
  // A failing step is skipped: no frequency leaves only the root term.
  EXPECT_NEAR(ZusatzAbstand(72, 3.5f, 0, 2, 2, 5, 0), 2.0, 1e-6);
}
