#include <gtest/gtest.h>

#include <cmath>

#include "engine/shortening.h"
#include "tests/support/WorkedExample.h"

using namespace lorvant;

namespace {

CalculatorState activeCalculator(float height, float diameter, bool ground = false) {
  CalculatorState c;
  c.active = true;
  c.height = height;
  c.diameter = diameter;
  c.groundCorrection = ground;
  return c;
}

LengthContext bandsContext(LengthMode mode, std::initializer_list<int> counted, Segment segment = Segment::Centre) {
  LengthContext ctx;
  ctx.lengthMode = mode;
  ctx.segment = segment;
  for (int i : counted) ctx.bands[static_cast<std::size_t>(i)] = BandState::Counted;
  return ctx;
}

}  // namespace

TEST(ShorteningPercent, InactiveCalculatorReturnsTheDefault) {
  const CalculatorState off;
  for (float f : {1.8f, 14.0f, 50.0f, 0.0f, 1000.0f}) EXPECT_EQ(VerkuerzungProzent(f, 0, 5, off), 5.0f) << f;
  EXPECT_EQ(VerkuerzungProzent(14, 2, 3.25f, off), 3.25f);  // a diameter does not wake it
}

TEST(ShorteningPercent, ActiveCalculatorCombinesHeightAndSlenderness) {
  const CalculatorState calc = activeCalculator(10, 2);
  const double a = HoehenVerkuerzung(14, 10, false);
  const double b = SchlankheitsVerkuerzung(14, 2);
  const float p = VerkuerzungProzent(14, 0, 5, calc);
  // As factors: (1 - a)(1 - b) = 1 - p, so p = a + b - ab/100.
  EXPECT_NEAR(p, a + b - a * b / 100, 1e-4);
  EXPECT_GT(p, std::max(a, b));
  EXPECT_LT(p, a + b);
  // A diameter given by the caller overrides the calculator's.
  EXPECT_EQ(VerkuerzungProzent(14, 2, 5, activeCalculator(10, 5)), p);
  EXPECT_NE(VerkuerzungProzent(14, 0, 5, activeCalculator(10, 5)), p);
  // The ground correction reaches the height term.
  EXPECT_NE(VerkuerzungProzent(14, 0, 5, activeCalculator(10, 2, true)), p);
}

TEST(HeightShortening, NoHeightNoShortening) {
  EXPECT_EQ(HoehenVerkuerzung(14, 0, false), 0.0f);
  EXPECT_EQ(HoehenVerkuerzung(14, 0, true), 0.0f);
  EXPECT_EQ(HoehenVerkuerzung(14, -3, false), 0.0f);
  EXPECT_EQ(HoehenVerkuerzung(0, 10, false), 0.0f);  // no wavelength: the step is skipped
}

TEST(HeightShortening, GroundCorrectionAndLogarithmicGrowth) {
  for (float h : {2.0f, 5.0f, 10.0f, 20.0f}) {
    const float a = HoehenVerkuerzung(14, h, false);
    EXPECT_GT(a, 0.0f) << h;
    EXPECT_LT(a, 10.0f) << h;
    EXPECT_NE(HoehenVerkuerzung(14, h, true), a) << h;
  }
  // Very close to the ground with correction the raw figure grows like 1/h²;
  // above 10 % it is compressed logarithmically, so halving h adds ln 4.
  const float low = HoehenVerkuerzung(14, 0.05f, true);
  const float lower = HoehenVerkuerzung(14, 0.025f, true);
  EXPECT_GT(low, 10.0f);
  EXPECT_NEAR(lower - low, std::log(4.0), 0.01);
}

TEST(SlendernessShortening, WavelengthOverDiameter) {
  EXPECT_NEAR(SchlankheitsVerkuerzung(14, 2), 2.929, 0.0005);
  // Only the ratio counts: half the frequency and twice the diameter agree.
  EXPECT_FLOAT_EQ(SchlankheitsVerkuerzung(7, 4), SchlankheitsVerkuerzung(14, 2));
  EXPECT_GT(SchlankheitsVerkuerzung(14, 4), SchlankheitsVerkuerzung(14, 2));
  // Failing steps leave 0: no diameter, no frequency, diameter equal to the wavelength.
  EXPECT_EQ(SchlankheitsVerkuerzung(14, 0), 0.0f);
  EXPECT_EQ(SchlankheitsVerkuerzung(0, 2), 0.0f);
  EXPECT_EQ(SchlankheitsVerkuerzung(300, 1000), 0.0f);
  EXPECT_EQ(SchlankheitsVerkuerzung(14, -2), 0.0f);
}

TEST(InsulationFraction, TypicalWireAndLimits) {
  EXPECT_NEAR(IsolationsVerkuerzung(2.5f, 3, 2, 0.95f), 0.01251, 0.000005);
  EXPECT_GT(IsolationsVerkuerzung(4.0f, 3, 2, 0.95f), IsolationsVerkuerzung(2.5f, 3, 2, 0.95f));
  // A wall thinner than a micrometre counts as one, whose logarithm is about 0.
  const double thin = IsolationsVerkuerzung(2.5f, 2, 2, 0.95f);
  EXPECT_LT(thin, 1e-9);
  EXPECT_EQ(IsolationsVerkuerzung(2.5f, 2.0005f, 2, 0.95f), thin);
  EXPECT_EQ(IsolationsVerkuerzung(2.5f, 1, 2, 0.95f), thin);
  EXPECT_GT(IsolationsVerkuerzung(2.5f, 2.01f, 2, 0.95f), 0.0);
  EXPECT_EQ(IsolationsVerkuerzung(1, 3, 2, 0.95f), 0.0);  // no dielectric
  // Failing steps are skipped: Vk 0, conductor 0.
  EXPECT_EQ(IsolationsVerkuerzung(2.5f, 3, 2, 0), 0.0);
  EXPECT_EQ(IsolationsVerkuerzung(2.5f, 3, 0, 0.95f), 0.0);
}

TEST(InsulationFraction, DoubleQuantityRoundedOnce) {
  // Only c, g, w and o are single; the fraction itself, (1 - c) included,
  // is double. In single precision 1 - c loses the last digit of AntSpezi.txt
  // for a dielectric above about 4.
  EXPECT_EQ(IsolationsVerkuerzung(4.5f, 4.2f, 2.523f, 0.965f), 0.01962503287851992);
}

TEST(AntennaLength, PreferredBand) {
  LengthContext ctx = bandsContext(LengthMode::Preferred, {5, 7});
  float n = 4, f0 = 14.2f;
  // The worked length, to the last bit of single precision.
  EXPECT_EQ(AntennenLaenge(n, 0.95f, 0, f0, ctx), test::worked::kLength);
  EXPECT_EQ(n, 4.0f);
  EXPECT_EQ(f0, 14.2f);
  // Insulation shortens the wave on the wire by 1 - 2 ins.
  EXPECT_NEAR(AntennenLaenge(n, 0.95f, 0.0125, f0, ctx), 3.95 * 150 / 14.2 * 0.975, 0.0005);
  // The end effect: n half-waves less one shortening, not n times Vk.
  n = 1;
  EXPECT_NEAR(AntennenLaenge(n, 0.9f, 0, f0, ctx), 0.9 * 150 / 14.2, 0.0005);
  // With the calculator active its percentage replaces 1 - Vk.
  ctx.calc = activeCalculator(10, 2);
  n = 4;
  const double s = VerkuerzungProzent(14.2f, 0, 5, ctx.calc) / 100.0;
  EXPECT_NEAR(AntennenLaenge(n, 0.95f, 0, f0, ctx), (4 - s) * 150 / 14.2, 0.0005);
}

TEST(AntennaLength, FailedArithmeticReachesTheCaller) {
  float n = 4, f0 = 0;
  LengthContext pref = bandsContext(LengthMode::Preferred, {5, 7});
  try {
    AntennenLaenge(n, 0.95f, 0, f0, pref);
    FAIL() << "no error for f0 = 0";
  } catch (const ArithmeticError& e) {
    EXPECT_EQ(e.kind(), ArithmeticError::Kind::DivisionByZero);
  }
  f0 = 14.2f;
  n = 1e38f;
  EXPECT_THROW(AntennenLaenge(n, 0.95f, 0, f0, pref), ArithmeticError);  // beyond single precision
  // No band to base the length on.
  n = 4;
  LengthContext none = bandsContext(LengthMode::All, {});
  EXPECT_THROW(AntennenLaenge(n, 0.95f, 0, f0, none), ArithmeticError);
  none.lengthMode = LengthMode::HighestLowest;
  EXPECT_THROW(AntennenLaenge(n, 0.95f, 0, f0, none), ArithmeticError);
}

TEST(AntennaLength, AllBandsAveragesHalfWavesOfTheLowestBand) {
  LengthContext ctx = bandsContext(LengthMode::All, {1, 3});
  float n = 17, f0 = 14.2f;  // the n given is not used
  const float L = AntennenLaenge(n, 0.95f, 0, f0, ctx);
  // h = 41.096 and 21.127 m, r = 1 and 1.945.
  EXPECT_NEAR(L, 39.54, 0.005);
  EXPECT_NEAR(n, 1.945, 0.0005);
  EXPECT_EQ(f0, 7.1f);
  // Grey bands do not take part.
  ctx.bands[5] = BandState::Grey;
  float n2 = 4, f2 = 14.2f;
  EXPECT_EQ(AntennenLaenge(n2, 0.95f, 0, f2, ctx), L);
}

TEST(AntennaLength, AllBandsWithAdditionalBand) {
  LengthContext ctx = bandsContext(LengthMode::All, {1, 3});
  ctx.extraBand = true;
  ctx.extraFrequency = 12;  // above the last band: its frequency and rounded count are the result
  float n = 4, f0 = 14.2f;
  // 12 MHz: 12.5 m half-waves, 41.096 / 12.5 = 3.29 rounds to 3.
  const double expected = (150 / 3.65 * 0.95 + 150 / 7.1 * (150 / 3.65 / (150 / 7.1) - 0.05) + 12.5 * 2.95) / 3;
  EXPECT_NEAR(AntennenLaenge(n, 0.95f, 0, f0, ctx), expected, 0.0005);
  EXPECT_EQ(n, 3.0f);
  EXPECT_EQ(f0, 12.0f);

  ctx.extraFrequency = 1;  // below: it becomes the longest half-wave, the last band stays the result
  n = 4, f0 = 14.2f;
  const double expectedLow = (150 / 3.65 * 0.95 + 150 / 7.1 * (150 / 3.65 / (150 / 7.1) - 0.05) + 150 * 0.95) / 3;
  EXPECT_NEAR(AntennenLaenge(n, 0.95f, 0, f0, ctx), expectedLow, 0.0005);
  EXPECT_NEAR(n, 1.945, 0.0005);
  EXPECT_EQ(f0, 7.1f);
}

TEST(AntennaLength, HighestAndLowestBand) {
  LengthContext ctx = bandsContext(LengthMode::HighestLowest, {3, 5});
  ctx.bands[1] = BandState::Grey;  // grey: not the lowest band
  float n = 4, f0 = 1;
  // 7.1 MHz: 21.127 m half-waves, 20.070 m one shortened half-wave; 14.2 MHz: 10.563 / 10.035 m.
  // The first row (one half-wave on 7 MHz) meets two half-waves on 14 MHz within 5 %.
  EXPECT_NEAR(AntennenLaenge(n, 0.95f, 0, f0, ctx), (150 / 7.1 * 0.95 + 150 / 14.2 * 1.95) / 2, 0.0005);
  EXPECT_NEAR(n, (150 / 7.1 * 0.95 + 150 / 14.2 * 1.95) / 2 / (150 / 14.2 * 0.95), 0.00005);
  EXPECT_EQ(f0, 14.2f);

  // 3.5 and 14 MHz: nothing in the first row; the second row (41.096 + 39.041 m)
  // meets eight half-waves on 14 MHz (7 × 10.563 + 10.035 m).
  ctx = bandsContext(LengthMode::HighestLowest, {1, 5});
  n = 4, f0 = 1;
  const double L2 = (150 / 3.65 * 1.95 + 150 / 14.2 * 7.95) / 2;
  EXPECT_NEAR(AntennenLaenge(n, 0.95f, 0, f0, ctx), L2, 0.0005);
  EXPECT_NEAR(n, L2 / (150 / 14.2 * 0.95), 0.0005);
}

TEST(AntennaLength, HighestAndLowestMatchRules) {
  // Without a match the length is 0, n stays, f0 becomes the highest band's frequency.
  LengthContext ctx = bandsContext(LengthMode::HighestLowest, {3, 5});
  ctx.tolerancePercent = 0;
  float n = 4, f0 = 1;
  EXPECT_EQ(AntennenLaenge(n, 0.95f, 0, f0, ctx), 0.0f);
  EXPECT_EQ(n, 4.0f);
  EXPECT_EQ(f0, 14.2f);

  // With a wide tolerance the last match of the row wins (1, 2 and 3 half-waves match).
  ctx.tolerancePercent = 60;
  EXPECT_NEAR(AntennenLaenge(n, 0.95f, 0, f0, ctx), (150 / 7.1 * 0.95 + 150 / 14.2 * 2.95) / 2, 0.0005);

  // ... unless a match with an even count comes first: 5.36 MHz and an additional
  // 10.72 MHz band are exact harmonics, so two half-waves fit exactly.
  ctx = bandsContext(LengthMode::HighestLowest, {2});
  ctx.extraBand = true;
  ctx.extraFrequency = 10.72f;
  ctx.tolerancePercent = 90;
  n = 4, f0 = 1;
  EXPECT_NEAR(AntennenLaenge(n, 1.0f, 0, f0, ctx), 150 / 5.36, 0.0005);
  EXPECT_EQ(n, 2.0f);
  EXPECT_EQ(f0, 10.72f);
}

// A step that fails keeps its term as it was (0 at first); the other terms go on.
TEST(FailedStep, ShorteningKeepsTheTermAndGoesOn) {
  // Hardly above the ground the two inverse-power terms overflow and drop
  // out, the ground correction's with them; |4.6 - 3.45 * 3.46| is left.
  const float low = HoehenVerkuerzung(14, 1e-40f, false);
  EXPECT_NEAR(low, 7.337, 0.0005);
  EXPECT_EQ(HoehenVerkuerzung(14, 1e-40f, true), low);
  // A dielectric constant without a square root leaves c at 0: the whole
  // fraction, twice that of er = 4 (c = 0.5).
  EXPECT_EQ(IsolationsVerkuerzung(-1, 3, 2, 0.95f), 2 * IsolationsVerkuerzung(4, 3, 2, 0.95f));
  EXPECT_GT(IsolationsVerkuerzung(-1, 3, 2, 0.95f), 0.0);
}
