#include <gtest/gtest.h>

#include "calc/common.h"

using namespace lorvant;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(roundHalfEven(2.5), 2);
  EXPECT_EQ(roundHalfEven(3.5), 4);
  EXPECT_EQ(roundHalfEven(-2.5), -2);
  EXPECT_EQ(roundHalfEven(28.5), 28);
  EXPECT_EQ(roundHalfEven(2.5000001), 3);
}

TEST(Rounding, IntegerConversionsRefuseWhatDoesNotFit) {
  EXPECT_EQ(toInt16(32767.4).value(), 32767);
  EXPECT_FALSE(toInt16(32767.5).has_value());  // rounds to 32768
  EXPECT_FALSE(toInt16(1e9).has_value());
  EXPECT_FALSE(toInt32(std::numeric_limits<double>::quiet_NaN()).has_value());
  EXPECT_EQ(toInt32(-4000.5).value(), -4000);
}
