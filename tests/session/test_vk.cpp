// The shortening-factor calculator: input checks, diameter limits, colours,
// the combination of the two shortenings, take-over and the list texts.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/shortening.h"
#include "session/calculators/vk.h"
#include "session/mainform.h"

using namespace lorvant;
using namespace lorvant::vk;

namespace {

CalculatorInputs inputs(std::string f, std::string h, std::string d, bool ground = false) {
  return {std::move(f), std::move(h), std::move(d), ground};
}

}  // namespace

TEST(VkCalculator, EmptyOrZeroFrequencyStopsWithFocusOnFrequency) {
  for (const char* f : {"", "0", "abc", "0,0"}) {
    const CalculatorOutcome out = CalculateVk(inputs(f, "10", "2"), ',');
    EXPECT_FALSE(out.computed) << f;
    EXPECT_EQ(out.beeps, 1);
    EXPECT_EQ(out.focus, Field::Frequency);
    EXPECT_FALSE(out.height.has_value());
    EXPECT_FALSE(out.diameter.has_value());
    EXPECT_TRUE(out.vkText.empty());
  }
}

TEST(VkCalculator, HeightBelowOneCentimetreIsCorrectedAndNothingComputed) {
  for (const char* h : {"0", "", "-3", "0,009"}) {
    const CalculatorOutcome out = CalculateVk(inputs("14,2", h, "2"), ',');
    EXPECT_FALSE(out.computed) << h;
    EXPECT_EQ(out.beeps, 1);
    EXPECT_EQ(out.focus, Field::Height);
    ASSERT_TRUE(out.height.has_value());
    EXPECT_EQ(*out.height, "0,01");
    EXPECT_FALSE(out.diameter.has_value());
  }
  // The corrected text is taken as 0.01 m by the next calculation, also
  // where the point is the separator.
  for (char sep : {',', '.'}) {
    const CalculatorOutcome next = CalculateVk(inputs("14,2", "0,01", "2"), sep);
    EXPECT_TRUE(next.computed);
    EXPECT_EQ(next.h, 0.01f);
    EXPECT_EQ(next.beeps, 0);
  }
}

TEST(VkCalculator, DiameterLimitsCorrectTheFieldInRed) {
  struct Case {
    const char *f, *h, *d;
    char sep;
    const char* shown;
    float used;
  };
  const Case cases[] = {
      {"14,2", "10", "0,05", ',', "0,1", 0.1f},  // too thin
      {"14,2", "10", "0,05", '.', "0.1", 0.1f},
      {"14,2", "0,01", "25", ',', "20,0", 20.0f},     // above twice the height
      {"1000", "10", "200", ',', "150,0", 150.0f},    // above half a wavelength
      {"1000", "0,05", "200", '.', "100.0", 100.0f},  // twice the height wins first
  };
  for (const Case& c : cases) {
    const CalculatorOutcome out = CalculateVk(inputs(c.f, c.h, c.d), c.sep);
    ASSERT_TRUE(out.computed) << c.d;
    EXPECT_EQ(out.beeps, 1) << c.d;
    EXPECT_EQ(out.diameterColour, TextColour::Red);
    ASSERT_TRUE(out.diameter.has_value());
    EXPECT_EQ(*out.diameter, c.shown);
    EXPECT_EQ(out.d, c.used);
    EXPECT_EQ(out.focus, Field::None);
  }
}

TEST(VkCalculator, DiameterWithinLimitsStaysBlackAndUntouched) {
  const CalculatorOutcome out = CalculateVk(inputs("14", "10", "2,0 (3 mm\u00B2)"), ',');
  ASSERT_TRUE(out.computed);
  EXPECT_EQ(out.beeps, 0);
  EXPECT_EQ(out.diameterColour, TextColour::Black);
  EXPECT_FALSE(out.diameter.has_value());
  EXPECT_EQ(out.d, 2.0f);
}

TEST(VkCalculator, ResultsOfATypicalWire) {
  // 14 MHz, 2 mm: 27.182818286 / ln(10714.3), about 2.929 percent.
  const CalculatorOutcome out = CalculateVk(inputs("14", "10", "2"), ',');
  ASSERT_TRUE(out.computed);
  EXPECT_NEAR(out.slenderness, 2.929, 0.0005);
  EXPECT_EQ(out.slendernessText, "2,9");
  EXPECT_EQ(out.slendernessColour, TextColour::Black);
  EXPECT_EQ(out.heightShortening, HoehenVerkuerzung(14, 10, false));
  // The two shortenings combine as factors, not as a sum.
  const double expected = (100.0 - out.heightShortening) * (100.0 - out.slenderness) / 10000;
  EXPECT_EQ(out.vk, static_cast<float>(expected));
  EXPECT_LT(std::fabs(out.vk - (1 - (out.heightShortening + out.slenderness) / 100)), 0.01);
  EXPECT_NE(out.vk, static_cast<float>(1 - (out.heightShortening + out.slenderness) / 100.0));

  const CalculatorOutcome point = CalculateVk(inputs("14", "10", "2"), '.');
  EXPECT_EQ(point.slendernessText, "2.9");
  EXPECT_EQ(point.vkText.find(','), std::string::npos);
}

TEST(VkCalculator, PercentagesOutsideTheirRangeTurnRed) {
  // A very thin wire on 160 m: the slenderness shortening drops below 2 %.
  const CalculatorOutcome thin = CalculateVk(inputs("1,8", "10", "0,1"), ',');
  ASSERT_TRUE(thin.computed);
  EXPECT_LT(thin.slenderness, 2);
  EXPECT_EQ(thin.slendernessColour, TextColour::Red);
  // A fat conductor on a short wavelength: far above 9 %.
  const CalculatorOutcome fat = CalculateVk(inputs("1000", "10", "100"), ',');
  ASSERT_TRUE(fat.computed);
  EXPECT_GT(fat.slenderness, 9);
  EXPECT_EQ(fat.slendernessColour, TextColour::Red);
  // The height shortening is judged against 2 and 10.
  for (const char* h : {"0,5", "3", "10", "20", "40"}) {
    const CalculatorOutcome out = CalculateVk(inputs("7", h, "2"), ',');
    ASSERT_TRUE(out.computed);
    const bool red = out.heightShortening < 2 || out.heightShortening > 10;
    EXPECT_EQ(out.heightShorteningColour, red ? TextColour::Red : TextColour::Black) << h;
  }
}

TEST(VkTakeOverTest, WritesAPositiveResultAndTheFrequency) {
  // Before any calculation (and for a result that is no Vk) nothing at all.
  for (float none : {0.0f, -0.5f}) {
    const TakeOver before = TakeOverVk(none, "14,2", ',');
    EXPECT_FALSE(before.vk.has_value());
    EXPECT_FALSE(before.frequency.has_value());
  }

  const TakeOver after = TakeOverVk(0.9215f, "", '.');
  EXPECT_EQ(after.vk.value_or(""), "0.9215");
  EXPECT_FALSE(after.frequency.has_value());  // an empty field is not copied
}

// The edges of what the main form's fields take from a take-over.
TEST(VkTakeOverTest, OnlyWhatTheMainFormsFieldsTake) {
  auto takes = [](FormField f, const std::string& text) {
    return TakeOverRefusal(f, text, Language::German, ',').empty();
  };
  EXPECT_TRUE(takes(FormField::ShorteningFactor, "0,9215"));
  EXPECT_TRUE(takes(FormField::ShorteningFactor, "1"));
  for (const char* no : {"0", "1,0001", "0,9 ", "-0,9", "0,923456"})  // range, keys, length 7
    EXPECT_FALSE(takes(FormField::ShorteningFactor, no)) << no;
  EXPECT_TRUE(takes(FormField::PreferredFrequency, "1000"));
  EXPECT_TRUE(takes(FormField::PreferredFrequency, "0,475"));
  for (const char* no : {"1000,01", "", "1,8 MHz", "14,20000"})
    EXPECT_FALSE(takes(FormField::PreferredFrequency, no)) << no;
  // The outer diameter raised to the conductor + 1 must fit its five places.
  EXPECT_TRUE(takes(FormField::ConductorDiameter, "0,977(0,75mm²)"));
  EXPECT_TRUE(takes(FormField::ConductorDiameter, "998,9"));
  EXPECT_FALSE(takes(FormField::ConductorDiameter, "999"));
  EXPECT_FALSE(takes(FormField::ConductorDiameter, "0"));
  EXPECT_EQ(TakeOverRefusal(FormField::ShorteningFactor, "1.2", Language::English, '.'),
            "Nothing taken over: the input form does not take '1.2' as shortening factor (above 0 up to 1).");
}

TEST(VkTexts, WireSizesAndPruningFrequencies) {
  const auto sizes = CompactConductorList(',');
  ASSERT_EQ(sizes.size(), 10u);
  EXPECT_EQ(sizes[0], "0,977(0,75mm\u00B2)");
  EXPECT_EQ(sizes[1], "1,128(1mm\u00B2)");
  EXPECT_EQ(sizes[2], "1,382(1,5mm\u00B2)");
  EXPECT_EQ(sizes[4], "1,784(2,5mm\u00B2)");
  EXPECT_EQ(sizes[9], "3,568(10mm\u00B2)");
  EXPECT_EQ(CompactConductorList('.')[0], "0.977(0.75mm\u00B2)");

  const auto freqs = PruningFrequencyList(',');
  ASSERT_EQ(freqs.size(), 12u);
  EXPECT_EQ(freqs[0], "1,85");
  EXPECT_EQ(freqs[3], "7,1");
  EXPECT_EQ(freqs[5], "10,12");
  EXPECT_EQ(freqs[11], "50,15");

  EXPECT_EQ(DefaultHeightText(','), "10,0");
  EXPECT_EQ(PruningLengthText(0, ','), "");
  EXPECT_EQ(PruningLengthText(-1, ','), "");
  EXPECT_EQ(PruningLengthText(20.5f, '.'), "20.5");
}
