// The pictures of a band's far field: an upright cut through the strongest
// azimuth (a half circle from the horizon ahead over the zenith to the
// horizon behind) and a cut round the horizon at the take-off angle (a full
// circle), polar, with rings in dBi below the maximum. The same geometry as
// the SWR picture's, so that its SVG writer and its rasteriser (the PNG the
// batch tool writes without a display) serve them as they are.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/common.h"
#include "engine/nec/air.h"
#include "picture/swr_picture.h"

namespace lorvant::nec {

enum class PolarCut { Elevation, Azimuth };

// How far below the maximum the rings go, dB; the centre is the maximum
// less the deepest, and weaker directions are drawn there.
inline constexpr double kPolarRings[] = {0, 3, 6, 10, 20};
inline constexpr double kPolarDepth = 30;

// The band's picture of one cut; empty (no size) for a band without a pattern.
SwrPicture MakePolarPicture(const BandAir& band, PolarCut cut, float extraFrequency, Language lang, char sep);

// The radius of a gain within a circle of `radius` pixels whose rim is
// `maximum` dBi.
double PolarRadius(double gain, double maximum, double radius);

// The name of a band's picture beside `file`: its stem, the band and the
// cut, in the type of `file` ("Check.svg": "Check-7MHz-elevation.svg",
// "Check-3.5MHz-azimuth.svg").
std::string PolarPictureName(const std::string& file, int band, float extraFrequency, PolarCut cut);

// Every band's two pictures named beside `file`, their bytes in its type
// (.png or else SVG), the bands in their order, elevation before azimuth.
std::vector<std::pair<std::string, std::string>> PolarPictureFiles(const AirResult& air, const std::string& file,
                                                                   float extraFrequency, Language lang, char sep);

}  // namespace lorvant::nec
