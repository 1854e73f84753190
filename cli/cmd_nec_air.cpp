// lorvant-calc nec --pattern, --feedline: each band's far field and the
// common-mode current on the coax's shield, from the same deck and run.
#include <string>

#include "cli/interrupt.h"
#include "cli/nec_air_options.h"
#include "engine/nec/feedline.h"

namespace lorvant::cli {

namespace {

// A number such as 6 or 1000, at least `least`, below `bound`.
double Bounded(const std::string& v, double least, double bound, const char* what) {
  const float x = FieldNumber(FieldText(v, kDecimalKeys, 0));
  if (!(x >= least && x < bound)) throw UsageError(std::string(what));
  return x;
}

template <class T>
void Optional(JsonWriter& j, const char* name, const std::optional<T>& v) {
  j.key(name);
  if (v)
    j.value(*v);
  else
    j.null();
}

}  // namespace

const char* kAirEpilogue =
    "--pattern adds, per counted band at its own frequency, the far field over\n"
    "the upper hemisphere (2 degrees of elevation by 5 of azimuth; one RP card\n"
    "per band) with the ground and the conductor's loss: in the JSON each band's\n"
    "pattern: {gain_dbi (the maximum total gain), elevation_deg (its take-off\n"
    "angle above the horizon), azimuth_deg, gain_at: {10, 20, 30} (dBi at those\n"
    "elevations towards the maximum's azimuth), efficiency (radiated over input\n"
    "power: over a real ground the far field's average power gain over the\n"
    "hemisphere from nec2c, so the ground's loss is in it; in free space and\n"
    "over perfect ground the power budget's)}, null without --pattern.\n"
    "--feedline models the coax's shield as a wire of --feedline-diameter (mm,\n"
    "default 6) straight down from the feed point, joined to the source\n"
    "segment's end towards the wire's end (the leg the shield is soldered to),\n"
    "down to 0.1 m above a real ground (and as long in free space) or onto a\n"
    "perfect ground; --choke OHMS puts a resistive common-mode choke on its top\n"
    "segment (default 0, none). The bands' impedances are then the ones with\n"
    "the feed line. Each band's common_mode is the shield's top current over\n"
    "the feed current (a fraction; null without --feedline), and\n"
    "choke_recommendation the smallest of 500, 1000, 2000, 5000 and 10000 ohm\n"
    "that keeps every band under 10 % (five more nec2c runs at most; null when\n"
    "none does or without --feedline).\n";

nec::AirSettings AirOptions::settings() const {
  if (!feedline && (diameterMm || chokeOhms)) throw UsageError("--feedline-diameter and --choke need --feedline");
  nec::AirSettings s;
  s.patterns = pattern;
  if (feedline) s.feedline = nec::Feedline{diameterMm.value_or(nec::kDefaultFeedlineDiameterMm), chokeOhms.value_or(0)};
  return s;
}

void DeclareAirOptions(OptionParser& p, AirOptions& a) {
  p.section("On the air");
  p.flag("pattern", "also each band's far field: its strongest direction, take-off angle, low-angle gains, efficiency",
         [&a] { a.pattern = true; });
  p.flag("feedline", "model the coax's shield hanging from the feed point to the ground and its common-mode current",
         [&a] { a.feedline = true; });
  p.value("feedline-diameter", "MM", "the shield's outer diameter in mm, above 0 up to 50 (default 6)",
          [&a](const std::string& v) {
            a.diameterMm = Bounded(v, 0.01, 50.001, "the feed line's diameter lies above 0 and at most 50 mm");
          });
  p.value(
      "choke", "OHMS", "a resistive common-mode choke atop the shield, 0 (none; default) to 1000000 ohm",
      [&a](const std::string& v) { a.chokeOhms = Bounded(v, 0, 1e6 + 1, "the choke lies between 0 and 1000000 ohm"); });
}

void AirBandMembers(JsonWriter& j, const nec::AirResult* air, std::size_t band) {
  const nec::BandAir* b = air && band < air->bands.size() ? &air->bands[band] : nullptr;
  j.key("pattern");
  if (b && b->pattern) {
    const nec::PatternSummary& p = *b->pattern;
    j.beginObject();
    j.key("gain_dbi").value(p.gainDbi);
    j.key("elevation_deg").value(p.elevation);
    j.key("azimuth_deg").value(p.azimuth);
    j.key("gain_at").beginObject();
    for (std::size_t k = 0; k < nec::kPatternElevations.size(); ++k)
      Optional(j, std::to_string(nec::kPatternElevations[k]).c_str(), p.gainAt[k]);
    j.endObject();
    Optional(j, "efficiency", p.efficiency);
    j.endObject();
  } else {
    j.null();
  }
  Optional(j, "common_mode", b ? b->commonMode : std::nullopt);
}

void AirTopMembers(JsonWriter& j, const nec::AirResult* air) {
  Optional(j, "choke_recommendation", air ? air->chokeRecommendation : std::nullopt);
}

nec::AirResult EvaluateAirCheck(const nec::Plan& plan, const nec::AirSettings& air, const NecOptions& n,
                                std::string_view output) {
  nec::Nec2cEngine engine({}, n.engineTimeout, n.engineProcesses);
  return nec::CheckAir(plan, air, output, engine, [](int) { return !StopRequested(); });
}

}  // namespace lorvant::cli
