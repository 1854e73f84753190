#include <gtest/gtest.h>

#include <cmath>

#include "engine/current.h"

using namespace lorvant;

namespace {

const CalculatorState kOff;

CalculatorState activeCalculator(float height, bool ground = false) {
  CalculatorState c;
  c.active = true;
  c.height = height;
  c.diameter = 2;
  c.groundCorrection = ground;
  return c;
}

// The impedance as the feed-point tools show it: one decimal, or kilo-ohms
// with one decimal above 9999.99 ohms.
void expectShown(float z, double shown, bool kilo = false) {
  const double value = kilo ? static_cast<double>(sng(z / 1000.0)) : static_cast<double>(z);
  EXPECT_EQ(z > 9999.99f, kilo);
  EXPECT_NEAR(value, shown, 0.05) << "Z = " << z;
}

}  // namespace

TEST(BandWavelengths, TableWPerSegmentAndInsulation) {
  const auto centre = BandWellenlaengen(Segment::Centre, 0);
  EXPECT_DOUBLE_EQ(centre[0], 300 / 1.857);
  EXPECT_DOUBLE_EQ(centre[5], 300 / 14.25);  // the wavelength table, not the lookup's 14.2
  EXPECT_DOUBLE_EQ(centre[10], 300 / 50.5);
  EXPECT_DOUBLE_EQ(BandWellenlaengen(Segment::Cw, 0)[10], 300 / 50.1);
  EXPECT_DOUBLE_EQ(BandWellenlaengen(Segment::Ssb, 0)[1], 300 / 3.75);
  const auto insulated = BandWellenlaengen(Segment::Centre, 0.0125);
  for (std::size_t i = 0; i < insulated.size(); ++i) EXPECT_DOUBLE_EQ(insulated[i], centre[i] * 0.975) << i;
}

TEST(CurrentAtPoint, NodeAtTheEndsAndMaximumInTheMiddle) {
  // Vk = 1, bare wire: the current vanishes at the wire's start on every band.
  const auto w = BandWellenlaengen(Segment::Centre, 0);
  for (std::size_t b = 0; b < w.size(); ++b) {
    const BandCurrent c = StromImPunkt(w[b], 40.0f, 0.0, 1.0f, 0, kOff);
    EXPECT_LT(c.G, 1e-6) << b;
    EXPECT_LT(c.I1, 1e-12) << b;
  }
  // A wire of exactly one half-wave carries its maximum at the centre.
  const float half = 150.0f / 14.0f;
  const BandCurrent centre = StromImPunkt(300 / 14.0, half, half / 2.0, 1.0f, 0, kOff);
  EXPECT_NEAR(centre.G, 1.0, 1e-9);
  EXPECT_NEAR(centre.I1, 1.0, 1e-9);
  // A shortened half-wave (Vk 0.95) is resonant at 0.95 of that length: again 1 at its centre.
  const float shortHalf = 0.95f * 150.0f / 14.0f;
  EXPECT_NEAR(StromImPunkt(300 / 14.0, shortHalf, shortHalf / 2.0, 0.95f, 0, kOff).G, 1.0, 1e-6);
  // Its node lies beyond the end: at x = 0, |cos(0.2375 × 2π)|.
  EXPECT_NEAR(StromImPunkt(300 / 14.0, shortHalf, 0.0, 0.95f, 0, kOff).I1, std::fabs(std::cos(0.2375 * kTwoPi)), 1e-6);
}

TEST(CurrentAtPoint, SymmetricAlongTheWire) {
  const auto w = BandWellenlaengen(Segment::Cw, 0);
  // Exact positions: u and v merely swap.
  for (double x : {0.0, 3.25, 7.5, 12.0}) {
    for (std::size_t b = 0; b < w.size(); ++b) {
      const double g1 = StromImPunkt(w[b], 20.0f, x, 0.95f, 0, kOff).G;
      const double g2 = StromImPunkt(w[b], 20.0f, 20.0 - x, 0.95f, 0, kOff).G;
      EXPECT_DOUBLE_EQ(g1, g2) << "band " << b << " x " << x;
    }
  }
  // Any position, with insulation, up to single-precision rounding of the position.
  const double wi = BandWellenlaengen(Segment::Centre, 0.01)[5];
  for (double x : {0.37, 5.01, 13.33}) {
    EXPECT_NEAR(StromImPunkt(wi, 41.7f, x, 0.95f, 0.01, kOff).G,
                StromImPunkt(wi, 41.7f, 41.7f - x, 0.95f, 0.01, kOff).G, 1e-5);
  }
}

TEST(CurrentAtPoint, ImpossibleInsulationGivesNoCurrent) {
  // ins = 0.5 leaves no wavelength: the failing steps leave 0.
  const BandCurrent c = StromImPunkt(0.0, 40.0f, 10.0, 0.95f, 0.5, kOff);
  EXPECT_EQ(c.G, 0.0);
  EXPECT_EQ(c.I1, 0.0);
  const BandCurrent d = StromImPunkt(21.0, 40.0f, 10.0, 0.95f, 0.5, kOff);
  EXPECT_EQ(d.G, 0.0);
  EXPECT_EQ(d.I1, 0.0);
}

TEST(EqualImpedances, TwoBands) {
  std::array<double, kBandCount> v{};
  v[2] = 0.8;
  v[7] = 0.805;  // |1 - 0.8/0.805| = 0.0062, within 0.011 / 0.5 = 0.022
  EXPECT_EQ(GleicheImpedanzen(v, 0.5f, 2), 2);
  EXPECT_EQ(GleicheImpedanzen(v, 0.81f, 2), 0);  // one below Smin
  v[7] = 0.9;
  EXPECT_EQ(GleicheImpedanzen(v, 0.5f, 2), 0);
  v[7] = 0.8;
  v[10] = 0.8;  // the additional band takes part like any other
  EXPECT_EQ(GleicheImpedanzen(v, 0.5f, 2), 6);
}

TEST(EqualImpedances, SminComparedInSinglePrecision) {
  std::array<double, kBandCount> v{};
  v[0] = 0.3;  // below 0.3f in double, equal to it in single
  v[1] = 0.3;
  EXPECT_EQ(GleicheImpedanzen(v, 0.3f, 2), 2);
}

TEST(EqualImpedances, ToleranceAndThresholdGrowWithTheBandCount) {
  std::array<double, kBandCount> v{};
  v[0] = 0.6;
  v[1] = 0.61;
  v[2] = 0.95;
  // n = 3: half = 2, tol = 0.044: one matching pair counts 2, not more than half.
  EXPECT_EQ(GleicheImpedanzen(v, 0.5f, 3), 0);
  v[2] = 0.62;
  EXPECT_EQ(GleicheImpedanzen(v, 0.5f, 3), 6);
  // n = 5: half rounds to even (2); n = 7: half = 4, tol = 0.088 pairs 0.66 with
  // 0.61 and 0.62 but not with 0.6.
  v[3] = 0.66;
  EXPECT_EQ(GleicheImpedanzen(v, 0.5f, 5), 6);
  EXPECT_EQ(GleicheImpedanzen(v, 0.5f, 7), 10);
  // Smin 0: the tolerance step fails and only identical values pair up.
  std::array<double, kBandCount> z{};
  z[4] = 0.5;
  z[5] = 0.5;
  z[6] = 0.51;
  EXPECT_EQ(GleicheImpedanzen(z, 0.0f, 2), 2);
}

TEST(ImpedanceFromCurrent, BaseCases) {
  EXPECT_EQ(ImpedanzAusStromsumme(1.0, 0, kOff), 70.0f);
  EXPECT_EQ(ImpedanzAusStromsumme(2.0, 0, kOff), 35.0f);
  EXPECT_EQ(ImpedanzAusStromsumme(0.0, 0, kOff), 1000000.0f);
  EXPECT_EQ(ImpedanzAusStromsumme(-0.2, 0, kOff), 1000000.0f);
  EXPECT_NEAR(ImpedanzAusStromsumme(0.5, 0, kOff), 534.89, 0.005);
  EXPECT_NEAR(ImpedanzAusStromsumme(0.5, 0, kOff), 60 * kPi / std::log(1.5) + 70, 0.001);
}

TEST(ImpedanceFromCurrent, TypedCurrentSums) {
  // Typed values are single precision, widened.
  expectShown(ImpedanzAusStromsumme(0.5f, 0, kOff), 534.9);
  expectShown(ImpedanzAusStromsumme(0.3f, 0, kOff), 938.6);
  expectShown(ImpedanzAusStromsumme(0.1f, 0, kOff), 2847.4);
  expectShown(ImpedanzAusStromsumme(0.9f, 0, kOff), 196.5);
  expectShown(ImpedanzAusStromsumme(0.99f, 0, kOff), 107.0);
  expectShown(ImpedanzAusStromsumme(1.0f, 0, kOff), 70.0);
  expectShown(ImpedanzAusStromsumme(1.5f, 0, kOff), 46.7);
  expectShown(ImpedanzAusStromsumme(2.0f, 0, kOff), 35.0);
  expectShown(ImpedanzAusStromsumme(0.01f, 0, kOff), 28.3, true);
  expectShown(ImpedanzAusStromsumme(0.0000135f, 0, kOff), 20944.0, true);
}

TEST(ImpedanceFromCurrent, TinyCurrentStaysHuge) {
  // 1 + S rounds to 1 here; the impedance must not collapse to 0.
  const float z = ImpedanzAusStromsumme(1e-20, 0, kOff);
  EXPECT_NEAR(z, 90 * kPi / 1e-20, 1e17);
}

TEST(ImpedanceFromCurrent, BaseImpedanceFromTheCalculator) {
  const CalculatorState calc = activeCalculator(10);
  const float r = FusspunktWiderstand(14, 10, false);
  EXPECT_EQ(ImpedanzAusStromsumme(1.0, 14, calc), r);
  EXPECT_EQ(ImpedanzAusStromsumme(2.0, 14, calc), sng(r / 2.0));
  EXPECT_NEAR(ImpedanzAusStromsumme(0.5, 14, calc), ImpedanzAusStromsumme(0.5, 14, kOff) - 70 + r, 0.001);
  EXPECT_EQ(ImpedanzAusStromsumme(1.0, 0, calc), 70.0f);  // no frequency: fixed base
  EXPECT_EQ(ImpedanzAusStromsumme(1.0, 14, kOff), 70.0f);
  EXPECT_EQ(ImpedanzAusStromsumme(1.0, 3.5f, activeCalculator(10, true)), FusspunktWiderstand(3.5f, 10, true));
}

TEST(BaseResistance, HeightOverGround) {
  EXPECT_EQ(FusspunktWiderstand(14, 0, false), 70.0f);
  EXPECT_EQ(FusspunktWiderstand(14, 0, true), 70.0f);
  EXPECT_EQ(FusspunktWiderstand(0, 10, false), 70.0f);
  EXPECT_NEAR(FusspunktWiderstand(14, 10, false), 78.45, 0.005);
  EXPECT_NEAR(FusspunktWiderstand(3.5f, 10, false), 24.19, 0.005);
  EXPECT_NEAR(FusspunktWiderstand(3.5f, 10, true), 36.58, 0.005);
  // The ground correction only acts below 0.22 wavelengths.
  EXPECT_EQ(FusspunktWiderstand(14, 10, true), FusspunktWiderstand(14, 10, false));
  // High up the free-space dipole's 73 ohms are approached.
  EXPECT_NEAR(FusspunktWiderstand(14, 500, false), 73.56, 0.5);
}

TEST(ResonanceTest, HalfWavesOfTheWireOnEachBand) {
  LengthContext ctx;
  float n = 4, f0 = 14.2f;
  const float L = AntennenLaenge(n, 0.95f, 0, f0, ctx);
  // The band the wire was cut for resonates where it was cut.
  EXPECT_NEAR(ResonanzTest(Segment::Centre, 14.2f, 14.2f, 4, L, 0.05f, 0, kOff), 14.2, 0.0005);
  // Two half-waves on 7 MHz: f0 × (2 − 0.05) / (4 − 0.05).
  EXPECT_NEAR(ResonanzTest(Segment::Centre, 14.2f, 7.05f, 4, L, 0.05f, 0, kOff), 14.2 * 1.95 / 3.95, 0.0005);
  // 10 MHz: 2.85 half-waves, within 10 % of 3.
  EXPECT_NEAR(ResonanzTest(Segment::Centre, 14.2f, 10.1f, 4, L, 0.05f, 0, kOff), 14.2 * 2.95 / 3.95, 0.0005);
  // 5.3 MHz: 1.51 half-waves, 1.8 MHz: 0.52: far from a whole number.
  EXPECT_EQ(ResonanzTest(Segment::Centre, 14.2f, 5.36f, 4, L, 0.05f, 0, kOff), 0.0f);
  EXPECT_EQ(ResonanzTest(Segment::Centre, 14.2f, 1.85f, 4, L, 0.05f, 0, kOff), 0.0f);
  // With insulation the length and the test agree again.
  n = 4, f0 = 14.2f;
  const float Li = AntennenLaenge(n, 0.95f, 0.0125, f0, ctx);
  EXPECT_NEAR(ResonanzTest(Segment::Centre, 14.2f, 14.2f, 4, Li, 0.05f, 0.0125, kOff), 14.2, 0.0005);
}

TEST(ResonanceTest, NoResonanceWithoutWire) {
  EXPECT_EQ(ResonanzTest(Segment::Centre, 14.2f, 14.2f, 4, 0, 0.05f, 0, kOff), 0.0f);
  EXPECT_EQ(ResonanzTest(Segment::Centre, 0, 14.2f, 4, 41.7f, 0.05f, 0, kOff), 0.0f);
  EXPECT_EQ(ResonanzTest(Segment::Centre, 14.2f, 14.2f, 0, 41.7f, 0.05f, 0, kOff), 0.0f);  // h = 0
  EXPECT_EQ(ResonanzTest(Segment::Centre, 14.2f, 14.2f, 1e9f, 41.7f, 0.05f, 0, kOff), 0.0f);
}

// A step that fails keeps its term as it was: 0 before its first value, its
// previous value after that. The other terms go on.
TEST(FailedStep, CurrentModelKeepsTheTermAndGoesOn) {
  const double w = BandWellenlaengen(Segment::Centre, 0)[5];
  // A position beyond single precision reads as the wire's start.
  const BandCurrent far = StromImPunkt(w, 40.0f, 1e39, 0.95f, 0, kOff);
  const BandCurrent start = StromImPunkt(w, 40.0f, 0.0, 0.95f, 0, kOff);
  EXPECT_GT(start.I1, 0.0);
  EXPECT_EQ(far.G, start.G);
  EXPECT_EQ(far.I1, start.I1);

  // Hardly above the ground the image terms overflow and drop out: what is
  // left is the dipole's resistance less sixty times d = 2.
  EXPECT_EQ(FusspunktWiderstand(14, 1e-40f, false), sng(120.0 - 73.56));

  // No frequency for the band under test: the half-waves stay those
  // counted against 28 MHz, as if that band were tested.
  float n = 4, f0 = 14.2f;
  const float L = AntennenLaenge(n, 0.95f, 0, f0, LengthContext{});
  const float at28 = ResonanzTest(Segment::Centre, 14.2f, 28.5f, 4, L, 0.05f, 0, kOff);
  EXPECT_GT(at28, 0.0f);
  EXPECT_EQ(ResonanzTest(Segment::Centre, 14.2f, 0, 4, L, 0.05f, 0, kOff), at28);
}
