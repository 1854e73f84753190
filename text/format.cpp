#include "text/format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

#include "text/encoding.h"

namespace lorvant::report {
namespace {

// ---------------------------------------------------------------------------
// Decimal digits of a binary value.

// A finite, non-zero magnitude as decimal digits: value = d0.d1d2... x 10^exp.
struct Decimal {
  std::string digits;  // first digit non-zero, no trailing zeros
  int exp = 0;
};

// Adds one unit in the last place of a digit string; returns true when the
// carry ran out of the front ("999" -> "000" + carry).
bool increment(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return false;
    }
    *it = '0';
  }
  return true;
}

// Scientific text of |value| with `precision` digits after the point.
std::string scientific(double value, int precision) {
  std::vector<char> buf(static_cast<size_t>(precision) + 32);
  const auto res =
      std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value), std::chars_format::scientific, precision);
  return std::string(buf.data(), res.ptr);
}

// |value| rounded to `sig` significant digits, halves away from zero (an
// exact half occurs for values such as the float 12345665). A text with 24
// guard digits settles the rounding; only when the guard digits read as an
// exact half could they have been rounded up from just below one, so that
// case is decided on the exact expansion.
Decimal significant(double value, int sig) {
  constexpr int kGuard = 24;
  // Mantissa digits and exponent of a scientific text "d.ddde+XX".
  auto parts = [](const std::string& t, std::string& m, int& e) {
    m.clear();
    size_t i = 0;
    for (; i < t.size() && t[i] != 'e'; ++i)
      if (t[i] != '.') m += t[i];
    e = std::stoi(t.substr(i + 1));
  };
  std::string m;
  int e = 0;
  parts(scientific(value, sig - 1 + kGuard), m, e);
  const std::string_view rest = std::string_view(m).substr(static_cast<size_t>(sig));
  if (rest.front() == '5' && rest.find_first_not_of('0', 1) == std::string_view::npos) {
    // Looks like a half: 767 digits are exact for every double.
    parts(scientific(value, 767), m, e);
  }
  Decimal d;
  d.digits = m.substr(0, static_cast<size_t>(sig));
  d.exp = e;
  if (m[static_cast<size_t>(sig)] >= '5' && increment(d.digits)) {
    d.digits.insert(d.digits.begin(), '1');
    d.digits.pop_back();
    ++d.exp;
  }
  const size_t last = d.digits.find_last_not_of('0');
  d.digits.erase(last + 1);
  return d;
}

// ---------------------------------------------------------------------------
// General format.

std::string general(double value, int sig, char sep, bool leadingZero) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
  if (value == 0) return "0";
  const Decimal d = significant(value, sig);
  std::string out = value < 0 ? "-" : "";
  if (d.exp < -4 || d.exp >= sig) {
    out += d.digits[0];
    if (d.digits.size() > 1) {
      out += sep;
      out.append(d.digits, 1);
    }
    out += d.exp < 0 ? "E-" : "E+";
    const std::string e = std::to_string(std::abs(d.exp));
    if (e.size() < 2) out += '0';
    out += e;
    return out;
  }
  if (d.exp < 0) {
    if (leadingZero) out += '0';
    out += sep;
    out.append(static_cast<size_t>(-d.exp - 1), '0');
    out += d.digits;
    return out;
  }
  const size_t intLen = static_cast<size_t>(d.exp) + 1;
  if (d.digits.size() <= intLen) {
    out += d.digits;
    out.append(intLen - d.digits.size(), '0');
  } else {
    out.append(d.digits, 0, intLen);
    out += sep;
    out.append(d.digits, intLen);
  }
  return out;
}

// ---------------------------------------------------------------------------
// Pictures.

// One piece of a picture section.
struct Item {
  enum Kind { Digit, Point, Literal } kind;
  char digit = 0;       // '0' or '#'
  std::string literal;  // for Literal
};

// Splits a picture into its sections at ";" (not inside quotes or after a
// backslash).
std::vector<std::string_view> splitSections(std::string_view picture) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i < picture.size(); ++i) {
    const char c = picture[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (quoted) {
      continue;
    } else if (c == '\\') {
      ++i;
    } else if (c == ';') {
      sections.push_back(picture.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(picture.substr(start));
  return sections;
}

std::vector<Item> parseSection(std::string_view section) {
  std::vector<Item> items;
  bool pointSeen = false;
  auto literal = [&](std::string_view s) {
    if (!items.empty() && items.back().kind == Item::Literal)
      items.back().literal += s;
    else
      items.push_back({Item::Literal, 0, std::string(s)});
  };
  for (size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '0' || c == '#') {
      items.push_back({Item::Digit, c, {}});
    } else if (c == '.' && !pointSeen) {
      pointSeen = true;
      items.push_back({Item::Point, 0, {}});
    } else if (c == '\\' && i + 1 < section.size()) {
      literal(section.substr(++i, 1));
    } else if (c == '"') {
      const size_t end = section.find('"', i + 1);
      const size_t stop = end == std::string_view::npos ? section.size() : end;
      literal(section.substr(i + 1, stop - i - 1));
      i = stop;
    } else {
      literal(section.substr(i, 1));
    }
  }
  return items;
}

// The magnitude's decimal text split at the point: integer digits without
// leading zeros ("" for zero) and fraction digits.
struct Split {
  std::string integer;
  std::string fraction;
};

Split splitDecimal(double magnitude, int sig) {
  Split s;
  if (magnitude == 0) return s;
  const Decimal d = significant(magnitude, sig);
  if (d.exp < 0) {
    s.fraction.assign(static_cast<size_t>(-d.exp - 1), '0');
    s.fraction += d.digits;
  } else {
    const size_t intLen = static_cast<size_t>(d.exp) + 1;
    if (d.digits.size() <= intLen) {
      s.integer = d.digits;
      s.integer.append(intLen - d.digits.size(), '0');
    } else {
      s.integer = d.digits.substr(0, intLen);
      s.fraction = d.digits.substr(intLen);
    }
  }
  return s;
}

// Rounds to `places` fraction digits, halves away from zero, and pads the
// fraction with zeros to exactly `places` digits.
void roundTo(Split& s, size_t places) {
  if (s.fraction.size() > places) {
    const bool up = s.fraction[places] >= '5';
    s.fraction.erase(places);
    if (up) {
      std::string all = s.integer + s.fraction;
      if (increment(all)) all.insert(all.begin(), '1');
      s.integer = all.substr(0, all.size() - places);
      s.fraction = all.substr(all.size() - places);
    }
  }
  s.fraction.append(places - s.fraction.size(), '0');
  const size_t first = s.integer.find_first_not_of('0');
  s.integer.erase(0, first == std::string::npos ? s.integer.size() : first);
}

std::string applySection(const std::vector<Item>& items, double magnitude, int sig, char sep) {
  size_t intSlots = 0, fracSlots = 0;
  bool afterPoint = false;
  for (const Item& it : items) {
    if (it.kind == Item::Point) afterPoint = true;
    if (it.kind == Item::Digit) ++(afterPoint ? fracSlots : intSlots);
  }
  Split s = splitDecimal(magnitude, sig);
  roundTo(s, fracSlots);

  // Fraction: trailing zeros under "#" slots are not written.
  size_t fracShown = fracSlots;
  {
    std::vector<char> fracKinds;
    afterPoint = false;
    for (const Item& it : items) {
      if (it.kind == Item::Point) afterPoint = true;
      if (it.kind == Item::Digit && afterPoint) fracKinds.push_back(it.digit);
    }
    while (fracShown > 0 && fracKinds[fracShown - 1] == '#' && s.fraction[fracShown - 1] == '0') --fracShown;
  }

  std::string out;
  const size_t intLen = s.integer.size();
  size_t intSlot = 0;   // integer slots passed so far, from the left
  size_t fracSlot = 0;  // fraction slots passed so far
  afterPoint = false;
  for (const Item& it : items) {
    switch (it.kind) {
      case Item::Literal:
        out += it.literal;
        break;
      case Item::Point:
        // Without any integer slot the integer digits stand before the point.
        if (intSlots == 0) out += s.integer;
        afterPoint = true;
        out += sep;
        break;
      case Item::Digit:
        if (!afterPoint) {
          // Slot k counted from the right (0 = units).
          const size_t k = intSlots - 1 - intSlot;
          if (intSlot == 0 && intLen > intSlots) out.append(s.integer, 0, intLen - intSlots);  // never cut
          if (k < intLen)
            out += s.integer[intLen - 1 - k];
          else if (it.digit == '0')
            out += '0';
          ++intSlot;
        } else {
          if (fracSlot < fracShown) out += s.fraction[fracSlot];
          ++fracSlot;
        }
        break;
    }
  }
  return out;
}

std::string picture(double value, std::string_view picture, int sig, char sep) {
  if (!std::isfinite(value) || picture.empty()) return general(value, sig, sep, true);
  const std::vector<std::string_view> sections = splitSections(picture);
  const std::string_view positive = sections[0];
  if (value == 0) {
    if (sections.size() >= 3 && !sections[2].empty()) return applySection(parseSection(sections[2]), 0, sig, sep);
    return applySection(parseSection(positive), 0, sig, sep);
  }
  if (value < 0) {
    if (sections.size() >= 2 && !sections[1].empty()) return applySection(parseSection(sections[1]), -value, sig, sep);
    std::string out(1, '-');
    return out.append(applySection(parseSection(positive), -value, sig, sep));
  }
  return applySection(parseSection(positive), value, sig, sep);
}

// ---------------------------------------------------------------------------
// UTF-8 and Windows-1252.

// Decodes one UTF-8 sequence at `i`; returns U+FFFD for a malformed one and
// moves past its first byte.
char32_t decodeUtf8(std::string_view s, size_t& i) {
  const utf8::Char c = utf8::Decode(s, i);
  if (c.length == 0) {
    ++i;
    return 0xFFFD;
  }
  i += c.length;
  return c.code;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Byte offset after the first `n` code points of a UTF-8 text.
size_t prefixBytes(std::string_view text, int n) {
  size_t i = 0;
  for (int k = 0; k < n && i < text.size(); ++k) decodeUtf8(text, i);
  return i;
}

}  // namespace

std::string FormatPicture(float value, std::string_view pic, char sep) { return picture(value, pic, 7, sep); }
std::string FormatPicture(double value, std::string_view pic, char sep) { return picture(value, pic, 15, sep); }

std::string FormatGeneral(float value, char sep, bool leadingZero) { return general(value, 7, sep, leadingZero); }
std::string FormatGeneral(double value, char sep, bool leadingZero) { return general(value, 15, sep, leadingZero); }

// Built by appending: GCC 12 warns falsely (-Wrestrict) on "-" + std::string.
std::string PlainNumber(float value, char sep) {
  std::string out(1, value < 0 ? '-' : ' ');
  return out.append(FormatGeneral(std::fabs(value), sep, false)).append(1, ' ');
}
std::string PlainNumber(double value, char sep) {
  std::string out(1, value < 0 ? '-' : ' ');
  return out.append(FormatGeneral(std::fabs(value), sep, false)).append(1, ' ');
}

int CharCount(std::string_view text) {
  int n = 0;
  for (size_t i = 0; i < text.size();) {
    decodeUtf8(text, i);
    ++n;
  }
  return n;
}

std::string RightField(std::string_view text, int w) {
  if (w <= 0) return {};
  const int n = CharCount(text);
  if (n >= w) return std::string(text.substr(0, prefixBytes(text, w)));
  return std::string(static_cast<size_t>(w - n), ' ') + std::string(text);
}

std::string LeftField(std::string_view text, int w) {
  if (w <= 0) return {};
  const int n = CharCount(text);
  if (n >= w) return std::string(text.substr(0, prefixBytes(text, w)));
  return std::string(text) + std::string(static_cast<size_t>(w - n), ' ');
}

std::string ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const int byte = cp1252::FromUnicode(decodeUtf8(utf8, i));
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

std::string FromCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) appendUtf8(out, cp1252::ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

// ---------------------------------------------------------------------------
// ReportWriter.

ReportWriter::~ReportWriter() {
  // A line left open is written as it stands, without a line end.
  if (!line_.empty()) out_ << ToCp1252(line_);
}

ReportWriter& ReportWriter::text(std::string_view utf8) {
  // Embedded line breaks end the line, so that columns stay right.
  for (;;) {
    const size_t nl = utf8.find('\n');
    std::string_view part = utf8.substr(0, nl);
    if (nl != std::string_view::npos && !part.empty() && part.back() == '\r') part.remove_suffix(1);
    line_ += part;
    chars_ += CharCount(part);
    if (nl == std::string_view::npos) break;
    endLine();
    utf8.remove_prefix(nl + 1);
  }
  return *this;
}

ReportWriter& ReportWriter::tab(int column) {
  if (column < 1) column = 1;
  if (chars_ + 1 > column) endLine();
  const int pad = column - 1 - chars_;
  if (pad > 0) {
    line_.append(static_cast<size_t>(pad), ' ');
    chars_ += pad;
  }
  return *this;
}

ReportWriter& ReportWriter::endLine() {
  out_ << ToCp1252(line_) << "\r\n";
  line_.clear();
  chars_ = 0;
  return *this;
}

ReportWriter& ReportWriter::separator(int width) {
  std::string dashes;
  for (int i = 0; i < width; ++i) dashes += kEmDash;
  return text(dashes).endLine();
}

ReportWriter& ReportWriter::rule() {
  std::string macrons;
  for (int i = 0; i < 60; ++i) macrons += kMacron;
  return text(macrons).endLine();
}

}  // namespace lorvant::report
