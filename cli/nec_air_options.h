// The nec command's options on what the wire does on the air (--pattern,
// --feedline, --feedline-diameter, --choke), their JSON members and the
// check's extra work: the patterns and shares read from the output, and
// the engine runs that choose a choke. Defined in cmd_nec_air.cpp.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "cli/json.h"
#include "cli/nec_options.h"
#include "cli/options.h"
#include "session/nec_air.h"

namespace lorvant::cli {

struct AirOptions {
  bool pattern = false;
  bool feedline = false;
  std::optional<double> diameterMm;
  std::optional<double> chokeOhms;
  // Throws UsageError for a diameter or choke without --feedline.
  nec::AirSettings settings() const;
};

void DeclareAirOptions(OptionParser& p, AirOptions& a);

// A band's "pattern" and "common_mode" (null without them or a result).
void AirBandMembers(JsonWriter& j, const nec::AirResult* air, std::size_t band);
// "choke_recommendation": ohms, or null.
void AirTopMembers(JsonWriter& j, const nec::AirResult* air);

// The check's far field and feed line from the engine's output, and with a
// feed line the choke search's runs. Throws nec::OutputError.
nec::AirResult EvaluateAirCheck(const nec::Plan& plan, const nec::AirSettings& air, const NecOptions& n,
                                std::string_view output);

// The epilogue's paragraph on these options.
extern const char* kAirEpilogue;

}  // namespace lorvant::cli
