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
// Without leading and trailing blanks.
std::string Trimmed(std::string s);

}  // namespace lorvant::cli
