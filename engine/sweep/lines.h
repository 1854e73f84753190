// The pieces both sweep readers cut a file into: numbered lines and words,
// and numbers read strictly (the whole word, decimal point only).
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace lorvant::sweep {

struct Line {
  int number = 0;         // from 1
  std::string_view text;  // without its line end
};
// The lines of `bytes`, ended by LF or CR LF; a UTF-8 byte order mark at
// the start is dropped.
std::vector<Line> SplitLines(std::string_view bytes);

// `text` without the blanks and tabs around it.
std::string_view Trimmed(std::string_view text);
// The words of `text` between blanks and tabs.
std::vector<std::string_view> Words(std::string_view text);

// The number a whole word spells: an optional sign, digits with a decimal
// point, an optional exponent; "nan" and "inf" read as what they are, a
// number beyond the double range as infinite. None for anything else.
std::optional<double> ReadNumber(std::string_view word);

// A frequency in Hz, kHz, MHz or GHz (`hertzPerUnit` 1, 1e3, 1e6, 1e9) in
// MHz, in one correctly rounded step by an exact factor: 7200 kHz is the
// same 7.2 as 7.2 MHz, which a band edge then compares equal with.
double ToMhz(double value, double hertzPerUnit);

}  // namespace lorvant::sweep
