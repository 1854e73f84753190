#include "text/reports/strsum.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/current.h"
#include "engine/version.h"
#include "text/catalogue.h"
#include "text/format.h"

namespace lorvant::report {

namespace {

// Loops over bands run from 50 MHz (index 10) down to 1.8 MHz (index 0).
constexpr int kTop = kBandCount - 1;

struct TendencyPoint {
  double f;
  const char* label;
};

// Segment frequencies of each band (by band index) with their labels; the
// labels are fixed texts with a comma in every locale.
const std::vector<TendencyPoint>& TendencyPoints(int band) {
  static const std::vector<TendencyPoint> table[kBandCount] = {
      {{1.81, " 1,810 MHz: "}, {1.84, "      1,840 MHz: "}, {1.91, "      1,910 MHz: "}},
      {{3.5, " 3,500 MHz: "}, {3.6, "      3,600 MHz: "}, {3.7, "      3,700 MHz: "}, {3.8, "      3,800 MHz: "}},
      {{5.35, " 5,350 MHz: "}, {5.36, "      5,360 MHz: "}, {5.37, "      5,370 MHz: "}},
      {{7.0, " 7,000 MHz: "}, {7.05, "      7,050 MHz: "}, {7.1, "      7,100 MHz: "}, {7.15, "      7,150 MHz: "}},
      {{10.1, "10,100 MHz: "}, {10.15, "     10,150 MHz: "}},
      {{14.0, "14,000 MHz: "}, {14.1, "     14,100 MHz: "}, {14.2, "     14,200 MHz: "}, {14.3, "     14,300 MHz: "}},
      {{18.068, "18,068 MHz: "}, {18.168, "     18,168 MHz: "}},
      {{21.0, "21,000 MHz: "}, {21.2, "     21,200 MHz: "}, {21.4, "     21,400 MHz: "}},
      {{24.89, "24,890 MHz: "}, {24.99, "     24,990 MHz: "}},
      {{28.0, "28,000 MHz: "}, {28.5, "     28,500 MHz: "}, {29.0, "     29,000 MHz: "}, {29.5, "     29,500 MHz: "}},
      {{50.0, "50,000 MHz: "}, {50.15, "     50,150 MHz: "}, {50.5, "     50,500 MHz: "}, {51.0, "     51,000 MHz: "}},
  };
  return table[band];
}

const char* const kResonanceLabel[kBandCount] = {
    "1,8 MHz-Band:", "3,5 MHz-Band:", "5,3 MHz-Band:", "  7 MHz-Band:", " 10 MHz-Band:", " 14 MHz-Band:",
    " 18 MHz-Band:", " 21 MHz-Band:", " 24 MHz-Band:", " 28 MHz-Band:", " 50 MHz-Band:"};

// Band list entries of the counted bands, by band index.
const char* const kBandListEntry[kBandCount] = {", 1,8", ", 3,5", ", 5,3", ", 7",  ", 10", ", 14",
                                                ", 18",  ", 21",  ", 24",  ", 28", "50"};

bool shown(const ReportData& d, int b) { return d.bands[static_cast<std::size_t>(b)] != BandState::Off; }

std::string SegmentText(const ReportData& d) {
  switch (d.segment) {
    case Segment::Cw:
      return say(d.language, Text::ReportSegmentCw);
    case Segment::Ssb:
      return say(d.language, Text::ReportSegmentSsb);
    default:
      return say(d.language, Text::ReportSegmentCentre);
  }
}

// The band list after the segment text: "50, 28, 14" or " 28, 14, 7".
std::string BandList(const ReportData& d, std::string_view extraPicture) {
  std::string list;
  for (int b = kTop; b >= 0; --b)
    if (d.bands[static_cast<std::size_t>(b)] == BandState::Counted) list += kBandListEntry[b];
  if (d.extraBand) list += ", " + FormatPicture(d.extraFrequency, extraPicture, d.sep);
  if (!list.empty() && list.front() == ',') list.erase(0, 1);
  return list;
}

std::string AverageLabel(Language lang) { return say(lang, Text::ReportAverageSum); }

void ColumnHeads(ReportWriter& w, const ReportData& d) {
  w.text("  m").tab(6).text(AverageLabel(d.language));
  int c = 6;
  for (int b = kTop; b >= 0; --b) {
    if (!shown(d, b)) continue;
    c += 8;
    const float f = BandNennFrequenz(b);
    w.tab(c).text(FormatPicture(f, std::floor(f) == f ? " 0" : "#0.#", d.sep)).text(" MHz");
  }
  if (d.extraBand) {
    c += 8;
    const float f = d.extraFrequency;
    w.tab(c).text(FormatPicture(f, std::floor(f) == f ? " 0" : "#0.0#", d.sep)).text(" MHz");
  }
  w.endLine();
}

}  // namespace

void WriteTitleLine(ReportWriter& w, Language lang) {
  w.text(say(lang, Text::ReportTitleIndent)).text(kProgramTitle).text(" ").endLine();
}

void WriteBasisLine(ReportWriter& w, const ReportData& d) {
  w.text(say(d.language, Text::ReportBasisBefore))
      .text(PlainNumber(d.f0, d.sep))
      .text(say(d.language, Text::ReportBasisFor))
      .text(PlainNumber(d.n, d.sep))
      .text(d.n == 1 ? say(d.language, Text::ReportHalfWave) : say(d.language, Text::ReportHalfWaves))
      .endLine();
}

std::string SegmentAndBands(const ReportData& d, std::string_view extraPicture) {
  return SegmentText(d) + BandList(d, extraPicture);
}

std::string ImpedanceCell(double G, float resonance, const ReportData& d) {
  const float z = ImpedanzAusStromsumme(G, resonance, d.calc);
  std::string text = z > 9999.99f ? FormatPicture(sng(static_cast<double>(z) / 1000), "###0K;;-", d.sep)
                                  : FormatPicture(z, "###0;;-", d.sep);
  // Brackets mark a band on which the wire is not resonant.
  if (!(resonance > 0) && text != "-") text = "(" + text + ")";
  return text;
}

ResonanceFigures BandResonances(const ReportData& d) {
  return lorvant::BandResonances(ResonanceWire{d.segment, d.f0, d.n, d.length, d.vk, d.ins, d.extraBand, d.calc});
}

std::string ClosingLine(const ReportData& d) {
  return std::string(say(d.language, Text::ReportCalculatedOn)) + d.dateText + " " + kLegalNotice;
}

void WriteFramedReport(std::ostream& out, Language lang, const std::string& dateText, int width,
                       const std::vector<std::string>& body) {
  ReportWriter w(out);
  w.emptyLine();
  WriteTitleLine(w, lang);
  w.separator(width);
  for (const std::string& line : body) w.text(line).endLine();
  w.emptyLine();
  ReportData closing;
  closing.language = lang;
  closing.dateText = dateText;
  w.text(ClosingLine(closing)).endLine();
}

namespace {

// The title, the basis and the wire's figures.
void WriteReportHeader(ReportWriter& w, const ReportData& d, int width) {
  const Language lang = d.language;
  const char sep = d.sep;
  w.emptyLine();
  WriteTitleLine(w, lang);
  w.separator(width);
  WriteBasisLine(w, d);
  w.text(SegmentAndBands(d, "#0.0##")).text(" MHz").endLine();
  w.text(say(lang, Text::ReportGeometricLength)).text(FormatPicture(d.length, "###0.0##", sep)).text(" m").endLine();
  w.text(say(lang, Text::ReportShorteningFactor)).text(FormatPicture(d.vk, "0.0###", sep)).endLine();
  if (IsInsulated(d.er)) {
    w.text(say(lang, Text::ReportInsulationShortening)).text(d.dielectricText).text(")").endLine();
  }
  if (!d.heightLine.empty()) w.text(d.heightLine).endLine();
  w.emptyLine();
}

// Current sums of every candidate on every band shown.
void WriteCurrentSums(ReportWriter& w, const ReportData& d, int width, std::span<const FeedCandidate> reported) {
  const Language lang = d.language;
  const char sep = d.sep;
  w.text(say(lang, Text::ReportCurrentSums)).endLine();
  ColumnHeads(w, d);
  w.separator(width);
  for (const FeedCandidate& cand : reported) {
    if (!w.good()) return;  // a failed file takes no more
    w.text(FormatPicture(cand.x, "0.00", sep)).tab(8).text(FormatPicture(cand.S, "0.00", sep));
    int c = 8;
    for (int b = kTop; b >= 0; --b) {
      if (!shown(d, b)) continue;
      c += 8;
      w.tab(c).text(FormatPicture(cand.G[static_cast<std::size_t>(b)], "0.00;;-", sep));
    }
    if (d.extraBand) {
      c += 8;
      w.tab(c).text(FormatPicture(cand.extraG, "0.00;;-", sep));
    }
    w.endLine();
  }
  w.emptyLine();
}

void WriteImpedances(ReportWriter& w, const ReportData& d, int width, std::span<const FeedCandidate> reported,
                     const ResonanceFigures& figures) {
  const Language lang = d.language;
  const char sep = d.sep;
  w.text(say(lang, Text::ReportImpedances)).endLine();
  ColumnHeads(w, d);
  w.separator(width);
  for (const FeedCandidate& cand : reported) {
    if (!w.good()) return;  // a failed file takes no more
    w.text(FormatPicture(cand.x, "0.00", sep))
        .tab(8)
        .text(FormatPicture(ImpedanzAusStromsumme(cand.S, 0, d.calc), "###0", sep));
    int c = 8;
    for (int b = kTop; b >= 0; --b) {
      if (!shown(d, b)) continue;
      c += 8;
      const auto i = static_cast<std::size_t>(b);
      w.tab(c).text(ImpedanceCell(cand.G[i], figures.band[i], d));
    }
    if (d.extraBand) {
      c += 8;
      w.tab(c).text(ImpedanceCell(cand.extraG, figures.extra, d));
    }
    w.endLine();
  }
  w.emptyLine();
}

// Resonance frequencies of every band.
void WriteResonances(ReportWriter& w, const ReportData& d, int width, const ResonanceFigures& figures) {
  const Language lang = d.language;
  const char sep = d.sep;
  w.text(say(lang, Text::ReportResonancesBefore)).text(FormatPicture(d.length, "##0.0##", sep)).text(" m:").endLine();
  w.separator(width);
  for (int b = kTop; b >= 0; --b)
    w.text(kResonanceLabel[b])
        .text(FormatPicture(figures.band[static_cast<std::size_t>(b)], "  #0.0##;;  -", sep))
        .endLine();
  if (d.extraBand) {
    w.text(LeftField(FormatPicture(d.extraFrequency, "#0.0#", sep) + " MHz", 12))
        .text(":")
        .text(FormatPicture(figures.extra, "  #0.0##;;  -", sep))
        .endLine();
  }
  w.emptyLine();
}

// Tendencies of the currents across each band's segments.
void WriteTendencies(ReportWriter& w, const ReportData& d, int width, std::span<const FeedCandidate> reported) {
  const Language lang = d.language;
  const char sep = d.sep;
  w.text(say(lang, Text::ReportTendenciesBefore))
      .text(FormatPicture(0.01, "0.00", sep))
      .text(say(lang, Text::ReportTendenciesFrom))
      .text(FormatPicture(1.0, "0.0", sep))
      .text(say(lang, Text::ReportTendenciesTo))
      .endLine();
  for (const FeedCandidate& cand : reported) {
    if (!w.good()) return;  // a failed file takes no more
    w.text(say(lang, Text::ReportFeedInAt)).text(PlainNumber(cand.x, sep)).text(" m ").endLine();
    w.separator(width);
    for (int b = kTop; b >= 0; --b) {
      if (!shown(d, b)) continue;
      for (const TendencyPoint& t : TendencyPoints(b)) {
        const double W = (300 / t.f) * (1 - 2 * d.ins);
        const BandCurrent bc = StromImPunkt(W, d.length, cand.x, d.vk, d.ins, d.calc);
        w.text(t.label).text(FormatPicture(bc.G, "0.000", sep));
      }
      w.endLine();
    }
    w.emptyLine();
  }
  w.emptyLine();
}

}  // namespace

void WriteCurrentSumReport(std::ostream& out, const ReportData& d, std::span<const FeedCandidate> reported) {
  const int width = SeparatorWidth(d);
  ReportWriter w(out);
  WriteReportHeader(w, d, width);
  WriteCurrentSums(w, d, width, reported);
  // Resonance figures, needed by the impedance table and listed after it.
  const ResonanceFigures figures = BandResonances(d);
  WriteImpedances(w, d, width, reported, figures);
  WriteResonances(w, d, width, figures);
  WriteTendencies(w, d, width, reported);
  w.text(ClosingLine(d)).endLine();
}

namespace {

// Counts what a writer would write.
class CountingBuffer : public std::streambuf {
 public:
  std::uint64_t bytes = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    bytes += static_cast<std::uint64_t>(n);
    return n;
  }
  int_type overflow(int_type ch) override {
    if (!traits_type::eq_int_type(ch, traits_type::eof())) ++bytes;
    return ch;
  }
};

std::uint64_t ReportBytes(const ReportData& d, std::span<const FeedCandidate> reported) {
  CountingBuffer counter;
  std::ostream out(&counter);
  WriteCurrentSumReport(out, d, reported);
  return counter.bytes;
}

}  // namespace

std::uint64_t EstimatedCurrentSumReportBytes(const ReportData& d, std::span<const FeedCandidate> reported) {
  if (reported.empty()) return ReportBytes(d, reported);
  const FeedCandidate twice[] = {reported.back(), reported.back()};
  const std::uint64_t one = ReportBytes(d, std::span(twice, 1));
  const std::uint64_t two = ReportBytes(d, twice);
  return one + (reported.size() - 1) * (two - one);
}

std::string FeedPointInfo(const ReportData& d, std::span<const FeedCandidate> reported) {
  std::string info = say(d.language, Text::ReportFeedPointsBefore);
  const std::size_t listed = std::min(reported.size(), kFeedPointsInInfo);
  for (const FeedCandidate& cand : reported.first(listed)) info += FormatPicture(cand.x, " #0.0#", d.sep) + " m,";
  if (listed < reported.size())
    info += say(d.language, Text::ReportFeedPointsAnd) + std::to_string(reported.size() - listed) +
            say(d.language, Text::ReportFeedPointsMore);
  return info;
}

std::string TableFileMessage(Language lang, bool specialTable) {
  if (specialTable) return say(lang, Text::ReportTableFiles);
  return say(lang, Text::ReportTableFile);
}

std::string WithFileMessageLine(const std::string& info, const std::string& message) {
  if (info.find(message) != std::string::npos) return info;
  return info + "\r\n" + message;
}

}  // namespace lorvant::report
