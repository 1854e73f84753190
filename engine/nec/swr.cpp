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

std::optional<double> BalunFromText(std::string_view text) {
  if (text.size() > 2 && text.substr(text.size() - 2) == ":1") text.remove_suffix(2);
  if (text.empty() || text.find_first_not_of("0123456789.,") != std::string_view::npos) return std::nullopt;
  const double v = ParseNumber(text);
  for (double ratio : kBalunRatios)
    if (v == ratio) return ratio;
  return std::nullopt;
}

}  // namespace lorvant::nec
