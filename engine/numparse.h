// Reading numbers that users type with a comma or a point as separator.
#pragma once

#include <string_view>

namespace lorvant {

// The plain leading-number read: optional sign, digits, "." and digits, an
// exponent with E or D (either case); "&H"/"&O" read hex/octal integers.
// Blanks, tabs and line feeds are removed first. Nothing readable gives 0.
// No comma conversion: "1,5" reads as 1.
double ReadLeadingNumber(std::string_view text);

// The number parse of every input field: the first "," becomes ".", later
// commas stay; then the leading-number read; the result in single precision.
// "14,25" and "14.25" give 14.25, "1,5,3" gives 1.5, "" and "abc" give 0.
// A value beyond the single-precision range gives 0.
float ParseNumber(std::string_view text);

// Key filter without its beep: whether the character is in the key set
// (backspace, code 8, is always accepted). Key sets in use:
inline constexpr std::u32string_view kDecimalKeys = U"1234567890,.";
inline constexpr std::u32string_view kWholeKeys = U"1234567890";
bool KeyAccepted(char32_t key, std::u32string_view keySet);

}  // namespace lorvant
