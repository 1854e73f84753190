#include "engine/nec/dipole_vk.h"

#include <cmath>
#include <vector>

#include "engine/common.h"
#include "engine/nec/deck.h"
#include "engine/nec/output.h"
#include "engine/nec/resonance.h"
#include "engine/version.h"

namespace lorvant::nec {

namespace {

using Kind = DipoleVkError::Kind;

int OddAtLeast(double count) {
  int n = static_cast<int>(std::ceil(count));
  return n % 2 == 0 ? n + 1 : n;
}

int OddAtMost(double count) {
  int n = static_cast<int>(std::floor(count));
  return n % 2 == 0 ? n - 1 : n;
}

std::string DipoleDeck(const DipoleVkPlan& p) {
  const DipoleVkInput& in = p.input;
  std::string deck;
  const auto card = [&deck](const std::string& line) { deck += line + "\n"; };
  const std::string h = DeckNumber(in.height);
  const double radius = in.diameterMm / 2000;
  card(std::string("CM ") + kProgramTitle + ": half-wave wire of " + DeckNumber(p.length) + " m for Vk " +
       DeckNumber(in.vk) + " at " + DeckNumber(in.frequency) + " MHz, " + h + " m up, fed at its centre");
  std::string groundNote = std::string("CM ground: ") + GroundWord(in.ground);
  if (IsRealGround(in.ground)) {
    const GroundConstants g = ConstantsOf(in.ground);
    groundNote += " (Sommerfeld-Norton, permittivity " + DeckNumber(g.permittivity) + ", conductivity " +
                  DeckNumber(g.conductivity) + " S/m)";
  }
  card(groundNote);
  card("CE");
  card("GW 1 " + std::to_string(p.segments) + " 0 0 " + h + " " + DeckNumber(p.length) + " 0 " + h + " " +
       DeckNumber(radius));
  card(in.ground == Ground::FreeSpace ? "GE 0" : "GE 1");
  if (in.ground == Ground::Perfect) card("GN 1");
  if (IsRealGround(in.ground)) {
    const GroundConstants g = ConstantsOf(in.ground);
    card("GN 2 0 0 0 " + DeckNumber(g.permittivity) + " " + DeckNumber(g.conductivity));
  }
  card("EX 0 1 " + std::to_string(p.sourceSegment) + " 0 1 0");
  card("PT -1");
  card("FR 0 " + std::to_string(p.sweepCount) + " 0 0 " + DeckNumber(p.sweepStart) + " " + DeckNumber(p.sweepStep));
  card("XQ");
  card("EN");
  return deck;
}

}  // namespace

DipoleVkPlan PlanDipoleVk(const DipoleVkInput& in) {
  if (!(in.frequency > 0)) throw DipoleVkError(Kind::BadInput, in.frequency);
  if (!(in.vk > 0)) throw DipoleVkError(Kind::BadInput, in.vk);
  if (!(in.diameterMm > 0)) throw DipoleVkError(Kind::BadInput, in.diameterMm);
  if (in.ground != Ground::FreeSpace && !(in.height > 0)) throw DipoleVkError(Kind::BadInput, in.height);
  const double radius = in.diameterMm / 2000;
  if (in.ground != Ground::FreeSpace) {
    // Over real ground the ground method sets a floor of its own.
    double lowest = kMinHeightRadii * radius;
    if (IsRealGround(in.ground) && lowest < kMinRealGroundHeight) lowest = kMinRealGroundHeight;
    if (in.height < lowest) throw DipoleVkError(Kind::TooLow, lowest);
  }

  DipoleVkPlan p;
  p.input = in;
  p.length = in.vk * kRoundedLightSpeed / (2 * in.frequency);
  const int steps = static_cast<int>(std::lround(kVkSweepSpan / kVkSweepStep));
  p.sweepStep = in.frequency * kVkSweepStep;
  p.sweepStart = in.frequency - steps * p.sweepStep;
  p.sweepCount = 2 * steps + 1;

  // Fine enough for the highest swept frequency, but no segment shorter
  // than eight radii; a wire too thick for both is refused.
  const double shortestWavelength = kSpeedOfLight / (in.frequency * (1 + kVkSweepSpan));
  const int fine = OddAtLeast(p.length * kVkSegmentsPerWavelength / shortestWavelength);
  const int thick = OddAtMost(p.length / (kMinSegmentRadii * radius));
  p.segments = fine < thick ? fine : thick;
  if (p.segments < 1 || p.length / p.segments > shortestWavelength / kVkCoarsestSegmentsPerWavelength)
    throw DipoleVkError(Kind::WireTooThick, in.diameterMm);
  p.sourceSegment = (p.segments + 1) / 2;
  p.deck = DipoleDeck(p);
  return p;
}

DipoleVk EvaluateDipoleVk(const DipoleVkPlan& plan, std::string_view output) {
  std::vector<ReactancePoint> points;
  for (const InputParameters& ip : ParseInputParameters(output)) {
    if (ip.tag != 1 || ip.segment != plan.sourceSegment) continue;
    if (!(ip.impedance.real() > 0) || !std::isfinite(ip.impedance.imag()))
      throw DipoleVkError(Kind::BadImpedance, ip.frequency);
    points.push_back({ip.frequency, ip.impedance.imag()});
  }
  if (static_cast<int>(points.size()) < plan.sweepCount)
    throw DipoleVkError(Kind::Incomplete, static_cast<double>(points.size()));
  const std::optional<double> f = ZeroCrossing(points, plan.input.frequency);
  if (!f) throw DipoleVkError(Kind::NoResonance, plan.input.frequency);
  return {*f, plan.input.vk * *f / plan.input.frequency};
}

}  // namespace lorvant::nec
