// The program's texts (CR LF between lines) as a terminal shows them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lorvant::cli {

// CR LF becomes LF.
std::string TerminalLines(const std::string& s);
// Every line break becomes one blank, so a message fits one line.
std::string OneLine(const std::string& s);
// Length of the well-formed UTF-8 sequence at s[i] (1 for ASCII), 0 when
// malformed (overlong forms, surrogates and code points above U+10FFFF
// included).
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i);
// Without leading and trailing blanks.
std::string Trimmed(std::string s);

}  // namespace lorvant::cli
