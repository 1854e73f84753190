// Antenna pruning: the worked examples to the printed digit, the input
// checks, the sign picture of the length change and the red Vk.
#include <gtest/gtest.h>

#include "session/calculators/vk.h"

using namespace lorvant;
using namespace lorvant::vk;

TEST(Pruning, TwentyMetresMeasuredAtSevenMegahertz) {
  const PruningOutcome out = CalculatePruning({"20", "7,0", "7,05"}, ',');
  ASSERT_TRUE(out.computed);
  EXPECT_EQ(out.beeps, 0);
  EXPECT_EQ(out.halfWaves, 1);
  EXPECT_NEAR(out.vk, 0.9333, 0.00005);
  EXPECT_EQ(out.vkText, "0,933");
  EXPECT_EQ(out.vkColour, TextColour::Black);
  EXPECT_EQ(out.newLengthText, "19,858");
  EXPECT_NEAR(out.change, -14.18, 0.005);
  EXPECT_EQ(out.changeText, "- 14,2");
}

TEST(Pruning, FortyOneMetresTwoHalfWaves) {
  const PruningOutcome out = CalculatePruning({"41", "7.0", "7.1"}, '.');
  ASSERT_TRUE(out.computed);
  EXPECT_EQ(out.halfWaves, 2);
  EXPECT_EQ(out.vkText, "0.913");
  EXPECT_NEAR(out.newLength, 40.423, 0.0005);
  EXPECT_EQ(out.newLengthText, "40.423");
  EXPECT_EQ(out.changeText, "- 57.7");
}

TEST(Pruning, MeasuredAboveDesiredLengthensWithAPlusSign) {
  const PruningOutcome out = CalculatePruning({"20", "7,1", "7"}, ',');
  ASSERT_TRUE(out.computed);
  EXPECT_GT(out.change, 0);
  EXPECT_EQ(out.changeText.substr(0, 2), "+ ");
  EXPECT_EQ(out.changeText, "+ 28,6");  // 20 * 7.1 / 7 = 20.2857 m
}

TEST(Pruning, ElectricalLengthAboveAWholeNumberShowsVkInRed) {
  // La * fa / 150 = 2.3: n = 2 and Vk = 1.3.
  const PruningOutcome out = CalculatePruning({"46", "7,5", "7,5"}, ',');
  ASSERT_TRUE(out.computed);
  EXPECT_EQ(out.halfWaves, 2);
  EXPECT_NEAR(out.vk, 1.3, 1e-5);
  EXPECT_EQ(out.vkColour, TextColour::Red);
  EXPECT_EQ(out.vkText, "1,30");
  EXPECT_EQ(out.changeText, "+ 0,0");  // nothing to change
}

TEST(Pruning, MissingInputsBeepWithFocusOnTheirField) {
  struct Case {
    PruningInputs in;
    Field focus;
  };
  const Case cases[] = {
      {{"", "7", "7,1"}, Field::MeasuredLength},
      {{"20", "", "7,1"}, Field::MeasuredFrequency},
      {{"20", "7", ""}, Field::DesiredFrequency},
      {{"20", "7", "3,65"}, Field::DesiredFrequency},   // ratio about 1.92
      {{"20", "3,5", "7,1"}, Field::DesiredFrequency},  // ratio about 0.49
      {{"1e9", "7", "7,1"}, Field::MeasuredLength},     // no whole count of half-waves fits
      {{"-40", "7", "7,02"}, Field::MeasuredLength},    // would give a new length of -39,886 m
  };
  for (const Case& c : cases) {
    const PruningOutcome out = CalculatePruning(c.in, ',');
    EXPECT_FALSE(out.computed) << c.in.length << "/" << c.in.measured << "/" << c.in.desired;
    EXPECT_EQ(out.beeps, 1);
    EXPECT_EQ(out.focus, c.focus);
    EXPECT_TRUE(out.vkText.empty());
    EXPECT_TRUE(out.changeText.empty());
  }
}
