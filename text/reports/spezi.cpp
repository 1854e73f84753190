#include "text/reports/spezi.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "text/catalogue.h"
#include "text/reports/strsum.h"

namespace lorvant::report {

namespace {

// A row has twelve values of the picture "#0.00000" and the table has one
// row per centimetre of wire, so the values take a quick way: the result is
// the same as rounding the value's decimal text, except for values that lie
// within a hair of a half at the fifth decimal, which take the general way.
void AppendFixed5(std::string& line, double v, char sep) {
  if (v >= 0 && v < 9.99999) {
    const double r = v * 1e5;
    const auto whole = static_cast<std::int32_t>(r);
    const double frac = r - whole;
    if (std::fabs(frac - 0.5) > 1e-6) {
      std::int32_t n = whole + (frac > 0.5 ? 1 : 0);
      char at[7];
      at[0] = static_cast<char>('0' + n / 100000);
      at[1] = sep;
      for (int i = 6; i >= 2; --i) {
        at[i] = static_cast<char>('0' + n % 10);
        n /= 10;
      }
      line.append(at, 7);
      return;
    }
  }
  line += FormatPicture(v, "#0.00000", sep);
}

// p / 100 metres with the picture "#0.00", right-aligned in a field of 5:
// p is whole, so the text is exact. From 100 m on the position is longer
// than the field and stands whole, so that every row of a long wire keeps
// its own label; the row grows by the extra characters.
void AppendPosition(std::string& line, std::int32_t p, char sep) {
  char text[16];
  char* end = text + sizeof text;
  char* t = end;
  std::int64_t cm = p < 0 ? -static_cast<std::int64_t>(p) : p;
  *--t = static_cast<char>('0' + cm % 10);
  *--t = static_cast<char>('0' + cm / 10 % 10);
  *--t = sep;
  cm /= 100;
  do {
    *--t = static_cast<char>('0' + cm % 10);
    cm /= 10;
  } while (cm > 0);
  if (p < 0) *--t = '-';
  const auto length = end - t;
  if (length < 5) line.append(static_cast<std::size_t>(5 - length), ' ');
  line.append(t, static_cast<std::size_t>(length));
}

// Column heads of the eleven bands, 10 characters each, 50 MHz first.
constexpr const char* kBandHeads =
    "50 MHz    28 MHz    24 MHz    21 MHz    18 MHz    14 MHz    10 MHz    7,0 MHz   5,3 MHz   3,5 MHz   1,8 MHz   ";

}  // namespace

int SpecialTableWidth(const ReportData& d) { return d.extraBand ? 127 : 115; }

SpecialTableWriter::SpecialTableWriter(std::ostream& out, const ReportData& d) : out_(out), d_(d) {}

void SpecialTableWriter::header() {
  const Language lang = d_.language;
  const char sep = d_.sep;
  const int width = SpecialTableWidth(d_);
  ReportWriter w(out_);
  WriteTitleLine(w, lang);
  w.separator(width);
  WriteBasisLine(w, d_);
  w.text(SegmentAndBands(d_, "#0.0#")).text(say(lang, Text::ReportSpecialBandsOnly)).endLine();
  w.text(say(lang, Text::ReportGeometricLength)).text(FormatPicture(d_.length, "###0.0##", sep)).text(" m").endLine();
  w.text(say(lang, Text::ReportShorteningFactor));
  if (IsInsulated(d_.er)) {
    w.text(FormatPicture(d_.vk, "0.0###", sep))
        .text(say(lang, Text::ReportInsulationShortening))
        .text(d_.dielectricText)
        .text(")");
  } else {
    w.text(FormatPicture(d_.vk, "0.0##", sep));
  }
  w.endLine();
  if (!d_.heightLine.empty()) w.text(d_.heightLine).endLine();
  w.emptyLine();
  w.text(say(lang, Text::ReportCurrentSums)).endLine();
  w.text("Meter  ").text(say(lang, Text::ReportAverageSum)).text("    ").text(kBandHeads);
  if (d_.extraBand) w.text(FormatPicture(d_.extraFrequency, "#0.0#", sep)).text(" MHz");
  w.endLine();
  w.separator(width + 12);
}

void SpecialTableWriter::row(std::int32_t p, double S, const std::array<double, kBandCount>& G, double extraG) {
  std::string& line = line_;  // kept between rows: no allocation per row
  line.clear();
  AppendPosition(line, p, d_.sep);
  auto value = [&](double v) {
    line.append("   ", 3);
    AppendFixed5(line, v, d_.sep);
  };
  value(S);
  for (int b = kBandCount - 1; b >= 0; --b) value(G[static_cast<std::size_t>(b)]);
  if (d_.extraBand)
    value(extraG);
  else
    line.append("    ", 4);
  line.append("\r\n", 2);
  // The row holds only digits, separators, signs and blanks: its bytes are
  // the same in Windows-1252.
  out_.write(line.data(), static_cast<std::streamsize>(line.size()));
}

void SpecialTableWriter::closing() {
  ReportWriter w(out_);
  w.emptyLine();
  w.text(ClosingLine(d_)).endLine();
}

}  // namespace lorvant::report
