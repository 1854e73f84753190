// What the all-bands check hands over: SpeisePkt.txt in the results folder,
// and the line that tells the main form's note about it.
#pragma once

#include <string>

#include "session/feedpoint_checks.h"
#include "session/feedpoint_window.h"
#include "text/bilingual.h"

namespace lorvant::feedpoint {

// Writes SpeisePkt.txt from a finished check when env names a results
// folder, and adds ReportNote to res.info once the file is really written
// (a failure is kept in res.reportError).
void WriteAllBandsReport(AllBandsResult& res, const WindowTexts& window, const AllBandsEnv& env);

// The line the check adds to the main form's note once SpeisePkt.txt is written.
std::string ReportNote(Language lang);

}  // namespace lorvant::feedpoint
