// SWR on a 50-ohm line through a balun, and the choice of the balun.
#pragma once

#include <array>
#include <complex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/nec/result.h"

namespace lorvant::nec {

inline constexpr double kLineImpedance = 50;
// Impedance ratios of the usual baluns (n:1).
inline constexpr std::array<double, 5> kBalunRatios = {1, 2.25, 4, 6, 9};

// SWR = (1 + |G|) / (1 - |G|) with G = (Z/n - 50) / (Z/n + 50); infinite
// when |G| reaches 1 or Z has no resistance (no power into the antenna).
double Swr(std::complex<double> feedImpedance, double balunRatio);

struct BalunChoice {
  double ratio = 1;
  double worstSwr = 0;  // the highest SWR over the given impedances
};
// The ratio whose worst SWR over the impedances is the lowest; on a tie the
// smaller ratio. Without impedances the 1:1 balun.
BalunChoice ChooseBalun(std::span<const std::complex<double>> impedances);
// The worst SWR of the impedances through one ratio.
double WorstSwr(std::span<const std::complex<double>> impedances, double balunRatio);

// A band whose SWR no ratio brings under this at its own frequency is not
// usable at the feed point: no balun makes it a band to work on.
inline constexpr double kUsableSwr = 3;
// Some ratio of kBalunRatios brings the impedance under kUsableSwr.
bool UsableAtFeed(std::complex<double> impedance);

// What chooses the balun: the own and sweep frequencies of the usable bands.
std::vector<std::complex<double>> ChoosingImpedances(const Result& result);

// Settles a solved check's balun: marks the bands that are not usable, takes
// the given ratio or else the one ChooseBalun finds over
// ChoosingImpedances (1:1 when no band is usable), puts every frequency's
// SWR through it and the worst of the usable bands into worstSwr and
// worstBand. Usability does not depend on the ratio.
void SettleBalun(Result& result, std::optional<double> givenRatio);

// One of the ratios of kBalunRatios typed as "4", "2.25", "2,25" or "4:1".
std::optional<double> BalunFromText(std::string_view text);

}  // namespace lorvant::nec
