#include "engine/calculators/vk.h"

#include "engine/common.h"
#include "engine/shortening.h"

namespace lorvant::vk {

Result Compute(const Figures& in) {
  Result out;
  if (in.f == 0) {
    out.refusal = Refusal::NoFrequency;
    return out;
  }
  if (in.h < kLowestHeight) {
    out.refusal = Refusal::HeightTooLow;
    return out;
  }
  const float f = in.f, h = in.h;
  float d = in.d;

  const float halfWaveMm = sng(300000.0 / f / 2);
  const float twiceHeightMm = sng(static_cast<double>(h) * 2000);

  // A wire thinner than 0,1 mm or thicker than twice the height or than half
  // a wavelength is outside what the formulas describe: clamp it.
  if (d < kThinnestWire) {
    d = kThinnestWire;
    out.limit = DiameterLimit::TooThin;
  } else if (d > twiceHeightMm) {
    d = twiceHeightMm;
    out.limit = DiameterLimit::AboveTwiceHeight;
  } else if (d > halfWaveMm) {
    d = halfWaveMm > twiceHeightMm ? twiceHeightMm : halfWaveMm;
    out.limit = DiameterLimit::AboveHalfWave;
  }

  const float s1 = SchlankheitsVerkuerzung(f, d);
  const float s2 = HoehenVerkuerzung(f, h, in.groundCorrection);
  out.d = d;
  out.slenderness = s1;
  out.slendernessOutside = s1 < 2 || s1 > 9;
  out.heightShortening = s2;
  out.heightShorteningOutside = s2 < 2 || s2 > 10;
  out.vk = sng((100.0 - s2) * (100.0 - s1) / 10000);
  return out;
}

}  // namespace lorvant::vk
