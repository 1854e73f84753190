// lorvant-calc measured: a sweep that an antenna analyser saved (Touchstone
// .s1p or CSV), band by band: where the reactance crosses zero and where
// the SWR on 50 ohms is lowest.
#include <iostream>
#include <optional>
#include <string>

#include "cli/json.h"
#include "cli/options.h"
#include "cli/shared_options.h"
#include "session/measured.h"
#include "text/measured_texts.h"

namespace lorvant::cli {

namespace {

void PrintJson(const std::string& file, const sweep::MeasuredFile& m) {
  JsonWriter j;
  j.beginObject();
  j.key("file").value(file);
  j.key("points").value(static_cast<int>(m.sweep.size()));
  j.key("bands").beginArray();
  for (const sweep::BandFinding& b : m.bands) {
    j.beginObject();
    j.key("band").value(b.label);
    j.key("points").value(b.points);
    j.key("x_zero");
    if (b.resonances) {
      j.beginArray();
      for (double f : *b.resonances) j.value(f);
      j.endArray();
    } else {
      j.null();
    }
    // An infinite SWR is written as null.
    j.key("min_swr").value(b.minSwr);
    j.key("min_swr_frequency").value(b.minSwrFrequency);
    j.endObject();
  }
  j.endArray();
  j.endObject();
  std::cout << j.str() << std::endl;
}

const char* kEpilogue =
    "FILE is read as CSV when its name ends in .csv, else as a Touchstone 1.x\n"
    "one-port file. Touchstone: the option line \"# MHZ S RI R 50\" (its words in\n"
    "any order; missing ones are GHZ S MA R 50; S or Z, the Z values normalised to\n"
    "R), comments after \"!\", one line of frequency and two numbers per point.\n"
    "CSV: a header naming frequency (Hz; or frequency_khz, \"frequency (MHz)\", ...)\n"
    "and either r and x (ohms) or swr, separated by commas or semicolons (with\n"
    "semicolons a comma in a number is its decimal point). The frequencies rise.\n"
    "\n"
    "A band counts when at least two points lie within its edges in the band plan\n"
    "of IARU Region --region. Per band: the frequencies where the reactance rises\n"
    "through zero (capacitive to inductive, interpolated straight between the\n"
    "measured points) and the lowest measured SWR on 50 ohms with its frequency.\n"
    "With --json one object: file, points, bands: [{band, points, x_zero, min_swr,\n"
    "min_swr_frequency}], band the band's nominal frequency, frequencies in MHz,\n"
    "x_zero a list (null for a sweep of SWR alone), min_swr null when infinite.\n"
    "\n"
    "Exit status: 0 the sweep was read; 1 the file cannot be read or is refused\n"
    "(the file, the line and the reason on stderr); 2 unknown option or bad value.\n"
    "\n"
    "Example:\n"
    "  lorvant-calc measured antenna.s1p --region 1\n"
    "  lorvant-calc measured sweep.csv --json\n";

}  // namespace

int MeasuredCommand(const Args& args) {
  SharedInputs shared;
  std::optional<std::string> file;
  bool json = false;
  nec::Region region = nec::kDefaultRegion;
  OptionParser p("measured", "FILE [options]",
                 "Reads the sweep of an antenna analyser (a Touchstone .s1p file, as a NanoVNA saves it, or CSV) and "
                 "prints for every amateur band it covers the resonances and the lowest SWR on 50 ohms.");
  p.operand([&file](const std::string& v) { file = v; });
  p.section("Results");
  p.flag("json", "print one JSON object on stdout instead of the table (see below)", [&json] { json = true; });
  p.value("region", "1|2|3",
          "the IARU region whose band plan gives the bands' edges (default 1: Europe, Africa, the Middle East; 2: "
          "the Americas; 3: Asia and the Pacific)",
          [&region](const std::string& v) {
            if (v != "1" && v != "2" && v != "3") throw UsageError("'" + v + "' is not one of the regions 1, 2, 3");
            region = static_cast<nec::Region>(v[0] - '0');
          });
  p.section("Presentation");
  shared.addTo(p, kOptLanguage | kOptDecimalSeparator);
  p.epilogue(kEpilogue);
  if (!p.parse(args, std::cout)) return kExitOk;
  if (!file) throw UsageError("FILE is required");

  const Language lang = shared.language();
  const sweep::MeasuredFile m = sweep::ReadMeasured(*file, region);
  if (!m.read) {
    std::cerr << m.refusal.in(lang) << std::endl;
    return kExitNoResult;
  }
  if (json) {
    PrintJson(*file, m);
    return kExitOk;
  }
  std::string table;
  for (const std::string& line : sweep::MeasuredTable(*file, m.sweep.size(), m.bands, lang, shared.decimalSeparator()))
    table += line + "\n";
  std::cout << table;
  return kExitOk;
}

}  // namespace lorvant::cli
