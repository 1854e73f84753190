// AntStrSu.txt, the current-sum report: header, candidates with their
// currents and impedances, resonance frequencies and current tendencies.
#pragma once

#include <ostream>
#include <span>
#include <string>

#include "calc/reports/reportdata.h"

namespace lorvant::report {

// Writes the whole report (Windows-1252, CR LF) for the reported candidates.
void WriteCurrentSumReport(std::ostream& out, const ReportData& d, std::span<const FeedCandidate> reported);

// Text the run appends to the Info label while the report is written:
// "Mögliche Speisepunkte (X) bei " and " 7,07 m," per candidate.
std::string FeedPointInfo(const ReportData& d, std::span<const FeedCandidate> reported);

// "Tabelle liegt als Textfile 'AntStrSu.txt' vor.  " (or naming both files).
std::string TableFileMessage(Language lang, bool specialTable);

// The Info label after a file message: unchanged when it already holds the
// message, else its text, CR LF and the message.
std::string WithFileMessageLine(const std::string& info, const std::string& message);

}  // namespace lorvant::report
