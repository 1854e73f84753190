#include <gtest/gtest.h>

#include <cstdint>

#include "engine/scan.h"
#include "tests/support/Boxes.h"

using namespace lorvant;

namespace {

// A bare wire at band centre, Vk 0.95.
WireSetup Wire(float length, BandValues bands, int counted) {
  WireSetup s;
  s.wavelengths = BandWellenlaengen(Segment::Centre, 0);
  s.length = length;
  s.shorteningFactor = 0.95f;
  s.bands = bands;
  s.countedBands = counted;
  return s;
}

const BandValues kFiveBands = Boxes({0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0});
const BandValues kThreeBands = Boxes({0, 0, 0, 1, 0, 1, 0, 0, 0, 1, 0});

void ExpectSame(const ScanResult& a, const ScanResult& b) {
  EXPECT_EQ(a.confirmed, b.confirmed);
  ASSERT_EQ(a.candidates.size(), b.candidates.size());
  for (std::size_t i = 0; i < a.candidates.size(); ++i) {
    EXPECT_EQ(a.candidates[i].x, b.candidates[i].x) << i;
    EXPECT_EQ(a.candidates[i].S, b.candidates[i].S) << i;
    EXPECT_EQ(a.candidates[i].G, b.candidates[i].G) << i;
    EXPECT_EQ(a.candidates[i].extraG, b.candidates[i].extraG) << i;
  }
}

}  // namespace

// The run and the picture drawn again rely on the scan
// keeping nothing between calls: another scan in between, a fresh current
// model or a watching sink leave the results as they were.
TEST(WireScan, ResultsDependOnTheInputsAlone) {
  const ScanSettings maximumSum{.steps = 4173, .minimumSum = 0.4f, .equalImpedances = false};
  const ScanSettings equal{.steps = 4173, .minimumSum = 0.4f, .equalImpedances = true};
  const WireCurrents five(Wire(41.72535f, kFiveBands, 5));
  const ScanResult maximum = ScanWire(five, maximumSum);
  const ScanResult equalled = ScanWire(five, equal);
  ASSERT_GT(maximum.confirmed, 0u);
  ASSERT_GT(equalled.confirmed, 0u);
  const ScanSettings shorter{.steps = 2050, .minimumSum = 0.4f, .equalImpedances = true};
  const ScanResult other = ScanWire(WireCurrents(Wire(20.5f, kThreeBands, 3)), shorter);
  ASSERT_GT(other.confirmed, 0u);
  ExpectSame(ScanWire(WireCurrents(Wire(41.72535f, kFiveBands, 5)), equal), equalled);
  ExpectSame(ScanWire(WireCurrents(Wire(41.72535f, kFiveBands, 5)), maximumSum), maximum);
  ExpectSame(ScanWire(WireCurrents(Wire(20.5f, kThreeBands, 3)), shorter), other);

  std::int64_t seen = 0;
  ExpectSame(ScanWire(five, maximumSum, [&](std::int32_t, const StepCurrents&) { ++seen; }), maximum);
  EXPECT_EQ(seen, 4174);
}
