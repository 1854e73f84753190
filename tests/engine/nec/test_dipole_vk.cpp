// The half-wave wire of the calculator's NEC-2 step: its deck read back,
// what it refuses, and its Vk against a finer sweep of nec2c's own.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>
#include <vector>

#include "engine/nec/dipole_vk.h"
#include "engine/nec/output.h"
#include "io/engine_runner.h"

namespace lorvant {
namespace {

using nec::DipoleVkError;
using nec::Ground;
using Kind = DipoleVkError::Kind;

// The fields of the deck's first card `name`.
std::vector<double> Card(const std::string& deck, const std::string& name) {
  std::istringstream lines(deck);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string card;
    fields >> card;
    if (card != name) continue;
    std::vector<double> values;
    for (double v; fields >> v;) values.push_back(v);
    return values;
  }
  return {};
}

const nec::DipoleVkInput k40m{7.1, 0.95, 1.4, 10, Ground::Average};

TEST(DipoleVk, DeckOfACentreFedHalfWaveSweptAroundTheFrequency) {
  const nec::DipoleVkPlan p = nec::PlanDipoleVk(k40m);
  const std::vector<double> gw = Card(p.deck, "GW");  // tag segments x1 y1 z1 x2 y2 z2 radius
  ASSERT_EQ(gw.size(), 9u);
  const double length = 0.95 * 300 / (2 * 7.1), shortest = nec::kSpeedOfLight / (7.1 * 1.15);
  EXPECT_NEAR(gw[5] - gw[2], length, 1e-6);
  EXPECT_TRUE(gw[4] == 10 && gw[7] == 10 && std::abs(gw[8] - 0.0007) < 1e-12);
  // The fewest odd segments no longer than an 80th of the sweep's shortest wavelength.
  const int n = static_cast<int>(gw[1]);
  EXPECT_EQ(n % 2, 1);
  EXPECT_LE(length / n, shortest / 80);
  EXPECT_GT(length / (n - 2), shortest / 80);
  EXPECT_NEAR((Card(p.deck, "EX")[2] - 0.5) * length / n, length / 2, 1e-9) << "the source segment is centred";
  const std::vector<double> fr = Card(p.deck, "FR");  // 0 count 0 0 start step
  EXPECT_NEAR(fr[4], 7.1 * 0.85, 1e-9);
  EXPECT_NEAR(fr[4] + (fr[1] - 1) * fr[5], 7.1 * 1.15, 1e-9);
  EXPECT_LE(fr[5], 7.1 * 0.005 + 1e-12);
  EXPECT_EQ(Card(p.deck, "GN"), (std::vector<double>{2, 0, 0, 0, 13, 0.005}));
  EXPECT_EQ(Card(nec::PlanDipoleVk({7.1, 0.95, 1.4, 10, Ground::Perfect}).deck, "GN"), std::vector<double>{1});
  EXPECT_EQ(Card(nec::PlanDipoleVk({7.1, 0.95, 1.4, 10, Ground::FreeSpace}).deck, "GE"), std::vector<double>{0});
}

TEST(DipoleVk, RefusesWhatNec2CannotModel) {
  const auto refused = [](nec::DipoleVkInput in) -> std::optional<std::pair<Kind, double>> {
    try {
      nec::PlanDipoleVk(in);
      return std::nullopt;
    } catch (const DipoleVkError& e) {
      return std::pair{e.kind(), e.value()};
    }
  };
  EXPECT_EQ(refused({0, 0.95, 1.4, 10, Ground::Average})->first, Kind::BadInput);
  // 0,1 m over real ground at the least, ten radii over a perfect one, no floor in free space.
  EXPECT_EQ(refused({7.1, 0.95, 1.4, 0.09, Ground::Poor}), std::pair(Kind::TooLow, 0.1));
  EXPECT_FALSE(refused({7.1, 0.95, 1.4, 0.09, Ground::Perfect}) || refused({7.1, 0.95, 1.4, 0, Ground::FreeSpace}));
  EXPECT_NEAR(refused({7.1, 0.95, 40, 0.15, Ground::Perfect})->second, 0.2, 1e-12);
  // Eight radii longer than a twentieth of the wavelength.
  EXPECT_EQ(refused({28.5, 0.95, 300, 10, Ground::FreeSpace}), std::pair(Kind::WireTooThick, 300.0));
  EXPECT_FALSE(refused({28.5, 0.95, 90, 10, Ground::FreeSpace}));
}

TEST(DipoleVk, AgreesWithAFinerSweepOfNec2c) {
  if (nec::FindEngine().empty()) GTEST_SKIP() << "nec2c is not installed (apt install nec2c)";
  const nec::DipoleVkPlan p = nec::PlanDipoleVk(k40m);
  const nec::DipoleVk vk = nec::EvaluateDipoleVk(p, nec::Nec2cEngine().run(p.deck, {}).output);
  EXPECT_NEAR(vk.vk, 0.95 * vk.resonance / 7.1, 1e-12);
  EXPECT_GT(vk.vk, 0.955);
  EXPECT_LT(vk.vk, 0.97);

  // The test's own deck: twice the segments, steps ten times finer, +-1 % around it.
  const int n = 2 * p.segments + 1, count = 41;
  std::ostringstream deck;
  deck.precision(10);
  deck << "CE\nGW 1 " << n << " 0 0 10 " << p.length << " 0 10 0.0007\nGE 1\nGN 2 0 0 0 13 0.005\nEX 0 1 "
       << (n + 1) / 2 << " 0 1 0\nPT -1\nFR 0 " << count << " 0 0 " << vk.resonance * 0.99 << ' '
       << vk.resonance * 0.0005 << "\nXQ\nEN\n";
  const auto points = nec::ParseInputParameters(nec::Nec2cEngine().run(deck.str(), {}).output);
  ASSERT_EQ(points.size(), static_cast<std::size_t>(count));
  double direct = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double xa = points[i - 1].impedance.imag(), xb = points[i].impedance.imag();
    if (xa < 0 && xb >= 0)
      direct = points[i - 1].frequency + (points[i].frequency - points[i - 1].frequency) * -xa / (xb - xa);
  }
  EXPECT_NEAR(vk.resonance / direct, 1, 0.001);

  // In free space the wire resonates higher than over ground.
  const nec::DipoleVkPlan free = nec::PlanDipoleVk({7.1, 0.95, 1.4, 10, Ground::FreeSpace});
  EXPECT_GT(nec::EvaluateDipoleVk(free, nec::Nec2cEngine().run(free.deck, {}).output).vk, vk.vk + 0.005);
}

}  // namespace
}  // namespace lorvant
