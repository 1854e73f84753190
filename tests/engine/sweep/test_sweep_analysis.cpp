// The bands a sweep covers, its resonances and SWR minimum per band; and
// the model's sweep written as Touchstone and read back.
#include <gtest/gtest.h>

#include "engine/nec/swr.h"
#include "engine/sweep/analysis.h"
#include "engine/sweep/model_sweep.h"
#include "engine/sweep/touchstone.h"

namespace lorvant::sweep {
namespace {

SweepPoint At(double mhz, double r, double x) {
  const std::complex<double> z(r, x);
  return {mhz, z, SwrOf(z)};
}

TEST(MeasuredAnalysis, ResonancesRiseThroughZeroInsideTheBand) {
  const Sweep s = {
      At(6.95, 50, -40),  // outside 40 m; its pair with 7.01 crosses at 6.99
      At(7.01, 50, 20),   //
      At(7.05, 50, -20),  // a falling crossing is no resonance
      At(7.07, 50, 0),    // rising onto zero: the crossing is the point
      At(7.09, 50, 30),   //
      At(7.13, 45, -30),  //
      At(7.17, 60, 10),   // 7.16 by the straight line
      At(7.25, 80, -50),  // beyond 7.2 in region 1, inside in region 2
      At(7.29, 80, 50),   // crossing at 7.27
  };
  const std::vector<BandFinding> one = AnalyseSweep(s, nec::Region::One);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].points, 6);
  ASSERT_TRUE(one[0].resonances);
  ASSERT_EQ(one[0].resonances->size(), 2u);
  EXPECT_NEAR((*one[0].resonances)[0], 7.07, 1e-12);
  EXPECT_NEAR((*one[0].resonances)[1], 7.16, 1e-12);
  // The lowest SWR is 50 + j0 at 7.07 among the band's points.
  EXPECT_DOUBLE_EQ(one[0].minSwr, 1);
  EXPECT_DOUBLE_EQ(one[0].minSwrFrequency, 7.07);

  const std::vector<BandFinding> two = AnalyseSweep(s, nec::Region::Two);
  ASSERT_EQ(two.size(), 1u);
  EXPECT_EQ(two[0].points, 8);
  ASSERT_EQ(two[0].resonances->size(), 3u);
  EXPECT_NEAR((*two[0].resonances)[2], 7.27, 1e-12);
}

TEST(MeasuredAnalysis, ABandNeedsTwoPointsAndTheFirstOfEqualMinimaCounts) {
  const Sweep s = {
      At(3.6, 50, 0),             // one point in 80 m: not covered
      At(14.0, 100, 0),           // 20 m edge, SWR 2
      At(14.1, 100, 0),           // SWR 2 as well
      At(14.35, 50, 100),         // the upper edge counts
      {21.1, std::nullopt, 1.4},  // SWR alone in 15 m
      {21.2, std::nullopt, 1.3},  //
      At(28.5, 50, 0),            // one point in 10 m
  };
  const std::vector<BandFinding> bands = AnalyseSweep(s);
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[0].label, 14.0f);
  EXPECT_EQ(bands[0].points, 3);
  EXPECT_DOUBLE_EQ(bands[0].minSwr, 2);
  EXPECT_DOUBLE_EQ(bands[0].minSwrFrequency, 14.0);
  ASSERT_TRUE(bands[0].resonances);
  EXPECT_TRUE(bands[0].resonances->empty());
  // In a sweep that has impedances a band of SWR points still looks for
  // crossings (and finds none between points without reactance).
  EXPECT_EQ(bands[1].label, 21.0f);
  EXPECT_DOUBLE_EQ(bands[1].minSwr, 1.3);
  EXPECT_DOUBLE_EQ(bands[1].minSwrFrequency, 21.2);
}

TEST(MeasuredAnalysis, A60mAnd12mSweepIsNamedByTheirLabels) {
  const Sweep s = {At(5.352, 50, -5), At(5.36, 50, 5), At(24.9, 50, -5), At(24.95, 50, 5)};
  const std::vector<BandFinding> bands = AnalyseSweep(s);
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[0].label, 5.3f);
  EXPECT_NEAR((*bands[0].resonances)[0], 5.356, 1e-12);
  EXPECT_EQ(bands[1].label, 24.9f);
  EXPECT_NEAR((*bands[1].resonances)[0], 24.925, 1e-12);
}

TEST(ModelTouchstone, WrittenWithThePointAndReadBackToTheImpedances) {
  const std::vector<ModelPoint> model = {
      {3.5, {12.345678912, -876.54321}}, {7.1, {94.877, -29.836}}, {14.35, {1234.5, 1e-3}}, {50.2, {50, 0}}};
  const std::string file = WriteTouchstone(model);
  EXPECT_EQ(file.rfind("# MHZ S RI R 50\n", 0), 0u);
  EXPECT_EQ(file.find(','), std::string::npos);
  EXPECT_NE(file.find("\n7.1 "), std::string::npos);
  const Sweep back = ReadTouchstone(file);
  ASSERT_EQ(back.size(), model.size());
  for (std::size_t i = 0; i < model.size(); ++i) {
    SCOPED_TRACE(model[i].frequency);
    EXPECT_EQ(back[i].frequency, model[i].frequency);
    ASSERT_TRUE(back[i].impedance);
    // Nine significant digits leave each part of S11 off by at most
    // 5e-9; Z = 50 (1 + S) / (1 - S) multiplies that by |dZ/dS| =
    // |Z + 50|^2 / 100, which grows far from 50 ohms.
    const double tolerance = 1e-8 * std::norm(model[i].impedance + 50.0) / 100;
    EXPECT_NEAR(back[i].impedance->real(), model[i].impedance.real(), tolerance);
    EXPECT_NEAR(back[i].impedance->imag(), model[i].impedance.imag(), tolerance);
  }
}

TEST(ModelTouchstone, TheCheckSolvedFrequenciesRiseOnceEach) {
  nec::Result r;
  const auto solved = [](int band, double f, double x) { return nec::SolvedFrequency{band, f, {60, x}, 0}; };
  r.bands = {{solved(kBand7, 7.1, 1), {}, true}, {solved(kBand14, 14.2, 2), {}, true}};
  r.sweep = {solved(kBand7, 7.0, 3), solved(kBand7, 7.1, 4), solved(kBand7, 7.2, 5), solved(kBand14, 14.0, 6),
             solved(kBand14, 14.35, 7)};
  const std::vector<ModelPoint> points = ModelSweep(r);
  std::vector<double> f, x;
  for (const ModelPoint& p : points) {
    f.push_back(p.frequency);
    x.push_back(p.impedance.imag());
  }
  EXPECT_EQ(f, (std::vector<double>{7.0, 7.1, 7.2, 14.0, 14.2, 14.35}));
  // 7.1 was solved as the band's own frequency and as a sweep point.
  EXPECT_EQ(x, (std::vector<double>{3, 1, 5, 6, 2, 7}));
}

}  // namespace
}  // namespace lorvant::sweep
