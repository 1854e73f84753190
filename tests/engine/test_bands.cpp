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
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, 3.5f), 3.5f);  // key 4
  EXPECT_EQ(SegmentFrequenz(Segment::Ssb, 3.5f), 3.7f);
  EXPECT_EQ(SegmentFrequenz(Segment::Centre, 2.6f), 3.65f);   // key 3
  EXPECT_EQ(SegmentFrequenz(Segment::Centre, 29.7f), 28.5f);  // key 30
  EXPECT_EQ(SegmentFrequenz(Segment::Ssb, 28.5f), 28.6f);     // half to even: key 28
  EXPECT_EQ(SegmentFrequenz(Segment::Centre, 14.25f), 14.2f);
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, 24.9f), 24.89f);  // key 25
  EXPECT_EQ(SegmentFrequenz(Segment::Ssb, 6.5f), 7.12f);   // key 6
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, 1.5f), 1.82f);    // key 2
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, 50.0f), 50.09f);
}

TEST(BandPlan, SegmentButtonsAndNone) {
  for (Segment s : {Segment::Cw, Segment::Ssb, Segment::Centre}) EXPECT_EQ(SegmentOfButton(ButtonOfSegment(s)), s);
  EXPECT_EQ(ButtonOfSegment(Segment::Cw), 0);
  EXPECT_EQ(ButtonOfSegment(Segment::Centre), 2);
  EXPECT_EQ(ButtonOfSegment(std::nullopt), kNoSegmentButton);
  // No button chosen, or one the form does not have: none, which the
  // tables read as the band centre.
  for (int button : {kNoSegmentButton, 3, 7}) EXPECT_EQ(SegmentOfButton(button), std::nullopt) << button;
  EXPECT_EQ(SegmentFrequenz(SegmentOrCentre(SegmentOfButton(kNoSegmentButton)), 14.1f), 14.2f);
}

TEST(BandPlan, UnknownKeysComeBackUnchanged) {
  EXPECT_EQ(SegmentFrequenz(Segment::Ssb, 24.5f), 24.5f);  // key 24
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, 144.0f), 144.0f);
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, 12.3f), 12.3f);
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, 0.4f), 0.4f);
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, -3.5f), -3.5f);
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, 32767.6f), 32767.6f);  // no 16-bit key
  EXPECT_EQ(SegmentFrequenz(Segment::Cw, 1e30f), 1e30f);
  EXPECT_TRUE(std::isnan(SegmentFrequenz(Segment::Cw, std::numeric_limits<float>::quiet_NaN())));
}

TEST(BandPlan, WavelengthTableDiffersInThreeCells) {
  int differing = 0;
  for (int band = 0; band < kBandCount; ++band)
    for (Segment seg : {Segment::Cw, Segment::Ssb, Segment::Centre}) {
      const double w = BandTableWFrequency(band, seg);
      const float s = SegmentFrequenz(seg, BandNennFrequenz(band));
      if (static_cast<float>(w) != s) ++differing;
    }
  EXPECT_EQ(differing, 3);
  EXPECT_EQ(BandTableWFrequency(10, Segment::Cw), 50.1);
  EXPECT_EQ(BandTableWFrequency(1, Segment::Ssb), 3.75);
  EXPECT_EQ(BandTableWFrequency(5, Segment::Centre), 14.25);
  EXPECT_EQ(BandTableWFrequency(0, Segment::Centre), 1.857);  // a double constant, not a widened float
}

TEST(SegmentSuggestion, ClassifiesAgainstTheBandCentre) {
  // Above the centre: SSB unless SSB lies more than 0.3 % above f0.
  EXPECT_EQ(SuggestSegment(14.25f).segment, Segment::Ssb);
  EXPECT_EQ(SuggestSegment(14.3f).segment, Segment::Ssb);
  EXPECT_EQ(SuggestSegment(14.21f).segment, Segment::Ssb);
  EXPECT_EQ(SuggestSegment(3.66f).segment, Segment::Centre);  // 3.7 / 3.66 = 1.0109
  // Exactly the centre.
  EXPECT_EQ(SuggestSegment(14.2f).segment, Segment::Centre);
  EXPECT_EQ(SuggestSegment(28.5f).segment, Segment::Centre);
  // Below the centre: CW unless f0 lies more than 0.4 % above CW.
  EXPECT_EQ(SuggestSegment(14.03f).segment, Segment::Cw);
  EXPECT_EQ(SuggestSegment(14.1f).segment, Segment::Centre);
  EXPECT_EQ(SuggestSegment(13.9f).segment, Segment::Cw);  // below CW as well
  for (float f : {14.03f, 14.1f, 14.25f, 14.2f, 3.5f, 50.0f}) EXPECT_FALSE(SuggestSegment(f).outsideBands) << f;
}

TEST(SegmentSuggestion, OutsideEveryBandAsksAndSuggestsTheCentre) {
  for (float f : {12.0f, 0.3f, 24.5f, 144.0f, 40000.0f, 1e30f}) {
    const SegmentSuggestion s = SuggestSegment(f);
    EXPECT_TRUE(s.outsideBands) << f;
    EXPECT_EQ(s.segment, Segment::Centre) << f;
  }
}
