#include "engine/numparse.h"

#include <charconv>
#include <cmath>
#include <string>

namespace lorvant {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "&H1F" / "&O17": the digits after the prefix as a non-negative integer.
double readRadixInteger(std::string_view s, int radix) {
  double value = 0;
  for (char c : s) {
    const int d = hexValue(c);
    if (d < 0 || d >= radix) break;
    value = value * radix + d;
  }
  return std::isfinite(value) ? value : 0;
}

}  // namespace

double ReadLeadingNumber(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n') s.push_back(c);

  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'H' || s[1] == 'h') return readRadixInteger(std::string_view(s).substr(2), 16);
    if (s[1] == 'O' || s[1] == 'o') return readRadixInteger(std::string_view(s).substr(2), 8);
    return 0;
  }

  // Collect the longest leading number in a normalised form that
  // std::from_chars reads independently of the locale.
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  std::string number;
  std::size_t digits = 0;
  while (i < s.size() && isDigit(s[i])) number.push_back(s[i++]), ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    std::string fraction;
    while (i < s.size() && isDigit(s[i])) fraction.push_back(s[i++]);
    digits += fraction.size();
    number += "." + fraction;
  }
  if (digits == 0) return 0;
  if (number.front() == '.') number.insert(number.begin(), '0');
  if (number.back() == '.') number.pop_back();

  // An exponent counts only when at least one digit follows the letter.
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent.push_back(s[j++]);
    const std::size_t firstDigit = j;
    while (j < s.size() && isDigit(s[j])) exponent.push_back(s[j++]);
    if (j > firstDigit) number += exponent;
  }

  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  // Beyond the double range either way: nothing usable was read.
  if (ec != std::errc() || !std::isfinite(value)) return 0;
  return negative ? -value : value;
}

float ParseNumber(std::string_view text) {
  std::string s(text);
  if (const auto comma = s.find(','); comma != std::string::npos) s[comma] = '.';
  const double value = ReadLeadingNumber(s);
  // Beyond the single-precision range the field holds no usable number.
  if (std::fabs(value) >= 0x1.ffffffp127) return 0;
  return static_cast<float>(value);
}

bool KeyAccepted(char32_t key, std::u32string_view keySet) {
  return key == 8 || keySet.find(key) != std::u32string_view::npos;
}

}  // namespace lorvant
