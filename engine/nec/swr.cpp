#include "engine/nec/swr.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/numparse.h"

namespace lorvant::nec {

double Swr(std::complex<double> feedImpedance, double balunRatio) {
  // Without resistance the load takes no power whatever the ratio (the
  // quotient below would only come near 1 by rounding).
  if (!(feedImpedance.real() > 0)) return std::numeric_limits<double>::infinity();
  const std::complex<double> z = feedImpedance / balunRatio;
  const double g = std::abs((z - kLineImpedance) / (z + kLineImpedance));
  if (!(g < 1)) return std::numeric_limits<double>::infinity();
  return (1 + g) / (1 - g);
}

double WorstSwr(std::span<const std::complex<double>> impedances, double balunRatio) {
  double worst = 0;
  for (const std::complex<double>& z : impedances) worst = std::max(worst, Swr(z, balunRatio));
  return worst;
}

BalunChoice ChooseBalun(std::span<const std::complex<double>> impedances) {
  BalunChoice best{kBalunRatios[0], WorstSwr(impedances, kBalunRatios[0])};
  for (double ratio : kBalunRatios) {
    const double worst = WorstSwr(impedances, ratio);
    if (worst < best.worstSwr) best = {ratio, worst};
  }
  return best;
}

bool UsableAtFeed(std::complex<double> impedance) {
  return std::any_of(kBalunRatios.begin(), kBalunRatios.end(),
                     [&](double ratio) { return Swr(impedance, ratio) < kUsableSwr; });
}

std::vector<std::complex<double>> ChoosingImpedances(const Result& result) {
  std::vector<std::complex<double>> z;
  for (const BandCheck& b : result.bands) {
    if (!b.usable) continue;
    z.push_back(b.solved.impedance);
    for (const SolvedFrequency& s : result.sweep)
      if (s.band == b.solved.band) z.push_back(s.impedance);
  }
  return z;
}

void SettleBalun(Result& result, std::optional<double> givenRatio) {
  for (BandCheck& b : result.bands) b.usable = UsableAtFeed(b.solved.impedance);
  result.balunChosen = !givenRatio;
  // Without a usable band ChooseBalun sees no impedance and gives 1:1.
  result.balunRatio = givenRatio ? *givenRatio : ChooseBalun(ChoosingImpedances(result)).ratio;
  for (BandCheck& b : result.bands) b.solved.swr = Swr(b.solved.impedance, result.balunRatio);
  for (SolvedFrequency& s : result.sweep) s.swr = Swr(s.impedance, result.balunRatio);

  // The worst over the frequencies that chose the ratio, so that a given
  // ratio and the best one compare alike.
  result.worstSwr = 0;
  result.worstBand = -1;
  const auto consider = [&](const SolvedFrequency& s) {
    if (result.worstBand < 0 || s.swr > result.worstSwr) {
      result.worstSwr = s.swr;
      result.worstBand = s.band;
    }
  };
  for (const BandCheck& b : result.bands) {
    if (!b.usable) continue;
    consider(b.solved);
    for (const SolvedFrequency& s : result.sweep)
      if (s.band == b.solved.band) consider(s);
  }
}

std::optional<double> BalunFromText(std::string_view text) {
  if (text.size() > 2 && text.substr(text.size() - 2) == ":1") text.remove_suffix(2);
  if (text.empty() || text.find_first_not_of("0123456789.,") != std::string_view::npos) return std::nullopt;
  const double v = ParseNumber(text);
  for (double ratio : kBalunRatios)
    if (v == ratio) return ratio;
  return std::nullopt;
}

}  // namespace lorvant::nec
