// AntStrSu.txt, the current-sum report: header, candidates with their
// currents and impedances, resonance frequencies and current tendencies.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/resonances.h"
#include "text/format.h"
#include "text/reports/reportdata.h"

namespace lorvant::report {

// Writes the whole report (Windows-1252, CR LF) for the reported candidates.
void WriteCurrentSumReport(std::ostream& out, const ReportData& d, std::span<const FeedCandidate> reported);

// The report's size in bytes, weighed before it is written: the report with
// the last candidate (the longest numbers) once and the growth of one more.
std::uint64_t EstimatedCurrentSumReportBytes(const ReportData& d, std::span<const FeedCandidate> reported);

// Text the run appends to the main form's information text while the report is written:
// "Mögliche Speisepunkte (X) bei " and " 7,07 m," per candidate; beyond the
// first kFeedPointsInInfo " … und N weitere" (" … and N more").
inline constexpr std::size_t kFeedPointsInInfo = 100;
std::string FeedPointInfo(const ReportData& d, std::span<const FeedCandidate> reported);

// "Tabelle liegt als Textfile 'AntStrSu.txt' vor.  " (or naming both files).
std::string TableFileMessage(Language lang, bool specialTable);

// The information text after a file message: unchanged when it already holds the
// message, else its text, CR LF and the message.
std::string WithFileMessageLine(const std::string& info, const std::string& message);

// Lines the special table shares with this report.
void WriteTitleLine(ReportWriter& w, Language lang);
void WriteBasisLine(ReportWriter& w, const ReportData& d);
// The segment text and the band list; the additional band's frequency is
// formatted with `extraPicture`.
std::string SegmentAndBands(const ReportData& d, std::string_view extraPicture);
// "Berechnung am <date> <notice>".
std::string ClosingLine(const ReportData& d);
// A report of `body` lines in the frame the program's reports share: the
// title line, a separator `width` wide, the body, the closing line.
void WriteFramedReport(std::ostream& out, Language lang, const std::string& dateText, int width,
                       const std::vector<std::string>& body);

// The resonance list's figures for the wire the report was written from.
ResonanceFigures BandResonances(const ReportData& d);

// The impedance table's cell for a band current G with the band's resonance
// figure: "534", "1000K", bracketed where the wire is not resonant.
std::string ImpedanceCell(double G, float resonance, const ReportData& d);

}  // namespace lorvant::report
