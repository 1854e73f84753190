// Report text: number pictures, the general number format, and a line
// writer with tab columns that emits Windows-1252 bytes with CR LF.
// All strings here are UTF-8; only the writer's output is Windows-1252.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace lorvant::report {

// Picture formatting: "0" digit always written, "#" digit when significant,
// "." the decimal separator (written as `sep`), "," no grouping (copied),
// other characters copied ("\x" and "..." copy their text as well); up to
// three sections "pos;neg;zero" (empty negative section = positive with a
// leading minus placed before everything; empty or missing zero section =
// positive). The value's decimal text with 7 (float) or 15 (double)
// significant digits is rounded to the picture's last digit, halves away
// from zero; the integer part is never cut.
// As in a classic Format function the zero section is used only for a value
// that is zero (-0 included); a value that merely rounds to zero keeps the
// section of its sign: -0.001 with "0.00;;-" gives "-0,00".
// The separator stays even when "#" slots after it show nothing: 5 with
// "#0.#" gives "5,". Without a digit slot before it the zero before the
// separator is dropped: 0.5 with "#.00" gives ",50".
// Infinite and NaN values, and an empty picture, give the general format.
std::string FormatPicture(float value, std::string_view picture, char sep);
std::string FormatPicture(double value, std::string_view picture, char sep);

// General number format: at most 7 (float) / 15 (double) significant digits,
// trailing zeros and a trailing separator dropped, exponent form below 1E-4
// and from 1E7 (float) / 1E15 (double) on ("1E-05", "1.234568E+07"); the
// limits apply to the rounded text, so the float 0.0001 (just below 1E-4 in
// binary) gives "0,0001". An exact half at the last digit goes away from zero.
// leadingZero=false drops the zero before the separator ("0,1" -> ",1").
std::string FormatGeneral(float value, char sep, bool leadingZero = true);
std::string FormatGeneral(double value, char sep, bool leadingZero = true);

// A report's plain number: " " or "-", the general format without the
// leading zero, one trailing blank: 14.2 -> " 14,2 ", 0.1 -> " ,1 ".
std::string PlainNumber(float value, char sep);
std::string PlainNumber(double value, char sep);

// Fields: pad on the left (right-aligned) or on the right (left-aligned);
// a longer text keeps its first w characters.
std::string RightField(std::string_view text, int w);
std::string LeftField(std::string_view text, int w);

// Number of characters (code points) of a UTF-8 text.
int CharCount(std::string_view text);

// UTF-8 to Windows-1252; characters without a code there become "?", and
// so does every byte of malformed UTF-8. U+0081, U+008D, U+008F, U+0090 and
// U+009D (what FromCp1252 makes of the five unassigned bytes) go back to
// their bytes, so that a file read and written again stays the same.
std::string ToCp1252(std::string_view utf8);
// Windows-1252 to UTF-8.
std::string FromCp1252(std::string_view bytes);

inline constexpr const char* kEmDash = "\u2014";  // code 151
inline constexpr const char* kMacron = "\u00AF";  // code 175

// Builds report lines and writes them to a byte stream as Windows-1252,
// each line ended by CR LF.
class ReportWriter {
 public:
  explicit ReportWriter(std::ostream& out) : out_(out) {}
  // A line still open is written as it stands, without a line end.
  ~ReportWriter();
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  ReportWriter& text(std::string_view utf8);
  // Spaces until the next character lands in column c (1-based); when the
  // line is already past c, the line is ended and the new one is filled
  // with spaces up to column c.
  ReportWriter& tab(int column);
  ReportWriter& endLine();
  ReportWriter& emptyLine() { return endLine(); }
  // Ends the line after `width` em dashes (a whole line when the line was
  // empty). Line breaks inside a text end the line as endLine() does.
  ReportWriter& separator(int width);
  // A whole line of 60 macrons.
  ReportWriter& rule();

  int column() const { return chars_ + 1; }  // column of the next character
  bool good() const { return out_.good(); }

 private:
  std::ostream& out_;
  std::string line_;  // UTF-8 of the current line
  int chars_ = 0;
};

}  // namespace lorvant::report
