// The wire's loads in the NEC-2 model: the conductor's finite conductivity
// and the dielectric sleeve of an insulated wire.
//
// Insulation is modelled as NEC-2 users have long done: a distributed
// series inductance per metre,
//   L' = mu0 / (2 pi) * (1 - 1 / er) * ln(b / a)   [H/m],
// with er the sleeve's relative permittivity, a the conductor's and b the
// sleeve's outer radius. It slows the wave along the wire as the sleeve
// does and so lowers the resonance.
#pragma once

#include <optional>
#include <string_view>

namespace lorvant::nec {

enum class Material { Copper, Aluminium, Lossless };
// The batch tool's word: "copper", "aluminium", "lossless".
const char* MaterialWord(Material m);
std::optional<Material> MaterialFromWord(std::string_view word);
// S/m; none for a lossless conductor.
std::optional<double> ConductivityOf(Material m);

struct Insulation {
  double permittivity = 1;     // relative, of the sleeve
  double outerDiameterMm = 0;  // over the sleeve
  bool operator==(const Insulation&) const = default;
};

// H/m; 0 without a sleeve (permittivity 1 or an outer diameter not above the
// conductor's).
double InsulationInductance(const Insulation& insulation, double conductorDiameterMm);

struct Loads {
  std::optional<double> conductivity;  // S/m; none: a perfect conductor
  std::optional<Insulation> insulation;
};

}  // namespace lorvant::nec
