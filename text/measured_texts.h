// A measured sweep where a person reads it: why its file was refused, and
// the table of its bands.
#pragma once

#include <string>
#include <vector>

#include "engine/common.h"
#include "engine/sweep/analysis.h"
#include "engine/sweep/sweep.h"

namespace lorvant::sweep {

// "Die Messung kann nicht gelesen werden: FILE, Zeile 5: keine Zahl: 'x'"
// (no line for a file without any). A quoted word shows printable ASCII
// only; every other byte is a "?".
std::string SweepErrorText(const SweepError& e, const std::string& file, Language lang);
// Why the file could not be read at all (`cause`: "Datei nicht gefunden" ...).
std::string SweepFileText(const std::string& file, const std::string& cause, Language lang);

// The title line "Messung: FILE, 201 Punkte", a heading and one line per
// band: its label, the resonances, the lowest SWR and its frequency (MHz
// with three decimals, the SWR with two), in the separator `sep`.
std::vector<std::string> MeasuredTable(const std::string& file, std::size_t points,
                                       const std::vector<BandFinding>& bands, Language lang, char sep);

}  // namespace lorvant::sweep
