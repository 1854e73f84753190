#include "calc/reports/spezi.h"

#include <cmath>
#include <cstdint>

#include "calc/reports/strsum.h"

namespace lorvant::report {

namespace {

// A row has twelve values of the picture "#0.00000" and the table has one
// row per centimetre of wire, so the values take a quick way: the result is
// the same as rounding the value's decimal text, except for values that lie
// within a hair of a half at the fifth decimal, which take the general way.
void AppendFixed5(std::string& row, double v, char sep) {
  if (v >= 0 && v < 9.99999) {
    const double r = v * 1e5;
    const double whole = std::floor(r);
    const double frac = r - whole;
    if (std::fabs(frac - 0.5) > 1e-6) {
      const auto n = static_cast<std::int32_t>(whole) + (frac > 0.5 ? 1 : 0);
      char digits[8];
      digits[0] = static_cast<char>('0' + n / 100000);
      digits[1] = sep;
      std::int32_t rest = n % 100000;
      for (int i = 6; i >= 2; --i) {
        digits[i] = static_cast<char>('0' + rest % 10);
        rest /= 10;
      }
      row.append(digits, 7);
      return;
    }
  }
  row += FormatPicture(v, "#0.00000", sep);
}

// p / 100 metres with the picture "#0.00" in a right-aligned field of 5:
// p is whole, so the text is exact; from 100 m on the last digit is cut.
void AppendPosition(std::string& row, std::int32_t p, char sep) {
  std::string text;
  const std::int64_t cm = p;
  const std::int64_t whole = (cm < 0 ? -cm : cm) / 100;
  const std::int64_t rest = (cm < 0 ? -cm : cm) % 100;
  if (cm < 0) text += '-';
  text += std::to_string(whole);
  text += sep;
  text += static_cast<char>('0' + rest / 10);
  text += static_cast<char>('0' + rest % 10);
  row += RightField(text, 5);
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
  w.text(SegmentAndBands(d_, "#0.0#"))
      .text(tr(lang, " MHz (\u00D8-Summe nur für diese Bänder)", " MHz (\u00D8-Sum only for these bands)"))
      .endLine();
  w.text(tr(lang, "Geometrische Antennenlänge: ", "Geometric antenna length: "))
      .text(FormatPicture(d_.length, "###0.0##", sep))
      .text(" m")
      .endLine();
  w.text(tr(lang, "Verkürzungsfaktor des Drahtes: ", "Shortening factor of the wire: "));
  if (d_.er > 1.00059f) {
    w.text(FormatPicture(d_.vk, "0.0###", sep))
        .text(tr(lang, " (Zusatzverkürzung durch Drahtisolierung: ", " (Additional shortening by wire insulation: "))
        .text(d_.combo1Text)
        .text(")");
  } else {
    w.text(FormatPicture(d_.vk, "0.0##", sep));
  }
  w.endLine();
  if (!d_.heightLine.empty()) w.text(d_.heightLine).endLine();
  w.emptyLine();
  w.text(tr(lang, "Stromsummen:", "Current sums:")).endLine();
  w.text("Meter  ").text(tr(lang, "\u00D8Summe", " \u00D8Sum  ")).text("    ").text(kBandHeads);
  if (d_.extraBand) w.text(FormatPicture(d_.extraFrequency, "#0.0#", sep)).text(" MHz");
  w.endLine();
  w.separator(width + 12);
}

void SpecialTableWriter::row(std::int32_t p, double S, const std::array<double, kBandCount>& G, double extraG) {
  std::string line;
  line.reserve(140);
  AppendPosition(line, p, d_.sep);
  line += "   ";
  AppendFixed5(line, S, d_.sep);
  for (int b = kBandCount - 1; b >= 0; --b) {
    line += "   ";
    AppendFixed5(line, G[static_cast<std::size_t>(b)], d_.sep);
  }
  line += "   ";
  if (d_.extraBand)
    AppendFixed5(line, extraG, d_.sep);
  else
    line += ' ';
  line += "\r\n";
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
