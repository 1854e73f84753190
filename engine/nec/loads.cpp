#include "engine/nec/loads.h"

#include <cmath>
#include <numbers>

namespace lorvant::nec {

namespace {

struct MaterialEntry {
  Material material;
  const char* word;
};

constexpr MaterialEntry kMaterials[] = {
    {Material::Copper, "copper"},
    {Material::Aluminium, "aluminium"},
    {Material::Lossless, "lossless"},
};

// H/m, the permeability of free space.
constexpr double kMu0 = 4e-7 * std::numbers::pi;

}  // namespace

const char* MaterialWord(Material m) {
  for (const MaterialEntry& e : kMaterials)
    if (e.material == m) return e.word;
  return kMaterials[0].word;
}

std::optional<Material> MaterialFromWord(std::string_view word) {
  for (const MaterialEntry& e : kMaterials)
    if (word == e.word) return e.material;
  return std::nullopt;
}

std::optional<double> ConductivityOf(Material m) {
  switch (m) {
    case Material::Copper:
      return 5.8e7;
    case Material::Aluminium:
      return 3.5e7;
    case Material::Lossless:
      break;
  }
  return std::nullopt;
}

double InsulationInductance(const Insulation& insulation, double conductorDiameterMm) {
  const double er = insulation.permittivity;
  if (!(er > 1) || !(conductorDiameterMm > 0) || !(insulation.outerDiameterMm > conductorDiameterMm)) return 0;
  // The radii's ratio is the diameters'.
  return kMu0 / (2 * std::numbers::pi) * (1 - 1 / er) * std::log(insulation.outerDiameterMm / conductorDiameterMm);
}

}  // namespace lorvant::nec
