#include "engine/sweep/lines.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace lorvant::sweep {

std::vector<Line> SplitLines(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::vector<Line> lines;
  int number = 0;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view text = bytes.substr(0, end);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    lines.push_back({++number, text});
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
  return text;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && Blank(text[i])) ++i;
    const std::size_t start = i;
    while (i < text.size() && !Blank(text[i])) ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::optional<double> ReadNumber(std::string_view word) {
  // from_chars takes no plus sign, which analysers write in exponents and
  // some in front of a number.
  if (word.size() > 1 && word.front() == '+' && word[1] != '-' && word[1] != '+') word.remove_prefix(1);
  if (word.empty()) return std::nullopt;
  double v = 0;
  const char* end = word.data() + word.size();
  const auto [at, ec] = std::from_chars(word.data(), end, v, std::chars_format::general);
  if (at != end) return std::nullopt;
  if (ec == std::errc::result_out_of_range) {
    // Too large is infinite; too small to hold is as good as 0.
    const bool negative = word.front() == '-';
    const std::size_t e = word.find_first_of("eE");
    const bool tiny = e != std::string_view::npos && e + 1 < word.size() && word[e + 1] == '-';
    if (tiny) return negative ? -0.0 : 0.0;
    return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  }
  if (ec != std::errc()) return std::nullopt;
  return v;
}

double ToMhz(double value, double hertzPerUnit) {
  if (hertzPerUnit >= 1e6) return value * (hertzPerUnit / 1e6);
  return value / (1e6 / hertzPerUnit);
}

}  // namespace lorvant::sweep
