#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/bands.h"

using namespace lorvant;

TEST(BandPlan, NominalFrequencies) {
  const float expected[] = {1.8f, 3.5f, 5.3f, 7, 10, 14, 18, 21, 24.9f, 28, 50};
  for (int i = 0; i < kBandCount; ++i) EXPECT_EQ(BandNennFrequenz(i), expected[i]) << i;
  EXPECT_EQ(BandNennFrequenz(-1), 0.0f);
  EXPECT_EQ(BandNennFrequenz(11), 0.0f);
}

TEST(BandPlan, SegmentLookupByRoundedKey) {
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, 3.5f), 3.5f);  // key 4
  EXPECT_EQ(SegmentFrequenz(kSegmentSsb, 3.5f), 3.7f);
  EXPECT_EQ(SegmentFrequenz(kSegmentCentre, 2.6f), 3.65f);   // key 3
  EXPECT_EQ(SegmentFrequenz(kSegmentCentre, 29.7f), 28.5f);  // key 30
  EXPECT_EQ(SegmentFrequenz(kSegmentSsb, 28.5f), 28.6f);     // half to even: key 28
  EXPECT_EQ(SegmentFrequenz(kSegmentCentre, 14.25f), 14.2f);
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, 24.9f), 24.89f);  // key 25
  EXPECT_EQ(SegmentFrequenz(kSegmentSsb, 6.5f), 7.12f);   // key 6
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, 1.5f), 1.82f);    // key 2
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, 50.0f), 50.09f);
}

TEST(BandPlan, AnyOtherSegmentCodeReadsTheCentre) {
  EXPECT_EQ(SegmentFrequenz(0, 14.1f), 14.2f);
  EXPECT_EQ(SegmentFrequenz(7, 7.0f), 7.1f);
  EXPECT_EQ(SegmentFrequenz(-1, 50.2f), 50.5f);
}

TEST(BandPlan, UnknownKeysComeBackUnchanged) {
  EXPECT_EQ(SegmentFrequenz(kSegmentSsb, 24.5f), 24.5f);  // key 24
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, 144.0f), 144.0f);
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, 12.3f), 12.3f);
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, 0.4f), 0.4f);
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, -3.5f), -3.5f);
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, 32767.6f), 32767.6f);  // no 16-bit key
  EXPECT_EQ(SegmentFrequenz(kSegmentCw, 1e30f), 1e30f);
  EXPECT_TRUE(std::isnan(SegmentFrequenz(kSegmentCw, std::numeric_limits<float>::quiet_NaN())));
}

TEST(BandPlan, WavelengthTableDiffersInThreeCells) {
  int differing = 0;
  for (int band = 0; band < kBandCount; ++band)
    for (int seg = kSegmentCw; seg <= kSegmentCentre; ++seg) {
      const double w = BandTableWFrequency(band, seg);
      const float s = SegmentFrequenz(seg, BandNennFrequenz(band));
      if (static_cast<float>(w) != s) ++differing;
    }
  EXPECT_EQ(differing, 3);
  EXPECT_EQ(BandTableWFrequency(10, kSegmentCw), 50.1);
  EXPECT_EQ(BandTableWFrequency(1, kSegmentSsb), 3.75);
  EXPECT_EQ(BandTableWFrequency(5, kSegmentCentre), 14.25);
  EXPECT_EQ(BandTableWFrequency(5, 9), 14.25);
  EXPECT_EQ(BandTableWFrequency(0, kSegmentCentre), 1.857);  // a double constant, not a widened float
}

TEST(SegmentSuggestion, ClassifiesAgainstTheBandCentre) {
  // Above the centre: SSB unless SSB lies more than 0.3 % above f0.
  EXPECT_EQ(SuggestSegment(14.25f).segment, kSegmentSsb);
  EXPECT_EQ(SuggestSegment(14.3f).segment, kSegmentSsb);
  EXPECT_EQ(SuggestSegment(14.21f).segment, kSegmentSsb);
  EXPECT_EQ(SuggestSegment(3.66f).segment, kSegmentCentre);  // 3.7 / 3.66 = 1.0109
  // Exactly the centre.
  EXPECT_EQ(SuggestSegment(14.2f).segment, kSegmentCentre);
  EXPECT_EQ(SuggestSegment(28.5f).segment, kSegmentCentre);
  // Below the centre: CW unless f0 lies more than 0.4 % above CW.
  EXPECT_EQ(SuggestSegment(14.03f).segment, kSegmentCw);
  EXPECT_EQ(SuggestSegment(14.1f).segment, kSegmentCentre);
  EXPECT_EQ(SuggestSegment(13.9f).segment, kSegmentCw);  // below CW as well
  for (float f : {14.03f, 14.1f, 14.25f, 14.2f, 3.5f, 50.0f}) EXPECT_FALSE(SuggestSegment(f).outsideBands) << f;
}

TEST(SegmentSuggestion, OutsideEveryBandAsksAndSuggestsTheCentre) {
  for (float f : {12.0f, 0.3f, 24.5f, 144.0f, 40000.0f, 1e30f}) {
    const SegmentSuggestion s = SuggestSegment(f);
    EXPECT_TRUE(s.outsideBands) << f;
    EXPECT_EQ(s.segment, kSegmentCentre) << f;
  }
}
