#include "engine/sweep/touchstone.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "engine/common.h"
#include "engine/sweep/lines.h"
#include "engine/sweep/rising.h"

namespace lorvant::sweep {

namespace {

enum class Format { RealImaginary, MagnitudeAngle, DecibelAngle };

struct Options {
  double hertzPerUnit = 1e9;
  bool impedance = false;  // Z instead of S
  Format format = Format::MagnitudeAngle;
  double reference = 50;
};

std::string Upper(std::string_view word) {
  std::string up(word);
  for (char& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return up;
}

std::optional<double> UnitOf(const std::string& w) {
  if (w == "HZ") return 1;
  if (w == "KHZ") return 1e3;
  if (w == "MHZ") return 1e6;
  if (w == "GHZ") return 1e9;
  return std::nullopt;
}

std::optional<Format> FormatOf(const std::string& w) {
  if (w == "RI") return Format::RealImaginary;
  if (w == "MA") return Format::MagnitudeAngle;
  if (w == "DB") return Format::DecibelAngle;
  return std::nullopt;
}

// `words` are the option line's after the "#".
Options ReadOptions(const std::vector<std::string_view>& words, int line) {
  Options o;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string w = Upper(words[i]);
    if (const auto unit = UnitOf(w)) {
      o.hertzPerUnit = *unit;
    } else if (const auto format = FormatOf(w)) {
      o.format = *format;
    } else if (w == "S" || w == "Z") {
      o.impedance = w == "Z";
    } else if (w == "Y" || w == "H" || w == "G") {
      throw SweepError(Fault::Parameter, line, std::string(words[i]));
    } else if (w == "R") {
      const std::optional<double> r = i + 1 < words.size() ? ReadNumber(words[i + 1]) : std::nullopt;
      if (!r || !std::isfinite(*r) || !(*r > 0))
        throw SweepError(Fault::Reference, line, i + 1 < words.size() ? std::string(words[i + 1]) : std::string());
      o.reference = *r;
      ++i;
    } else {
      throw SweepError(Fault::Option, line, std::string(words[i]));
    }
  }
  return o;
}

std::complex<double> Pair(double a, double b, Format f) {
  const double angle = b * kPi / 180;
  switch (f) {
    case Format::RealImaginary:
      return {a, b};
    case Format::MagnitudeAngle:
      return std::polar(a, angle);
    case Format::DecibelAngle:
      break;
  }
  return std::polar(std::pow(10.0, a / 20), angle);
}

SweepPoint PointOf(double frequencyMhz, std::complex<double> value, const Options& o) {
  SweepPoint p{frequencyMhz, std::nullopt, std::numeric_limits<double>::infinity()};
  std::complex<double> z = o.reference * value;
  if (!o.impedance) {
    // S = 1 is an open end: no impedance a number holds, and no power taken.
    if (value == std::complex<double>(1, 0)) return p;
    z = o.reference * (1.0 + value) / (1.0 - value);
  }
  if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) return p;
  p.impedance = z;
  p.swr = SwrOf(z);
  return p;
}

// The part of a line before its comment.
std::string_view Uncommented(std::string_view text) { return text.substr(0, text.find('!')); }

}  // namespace

Sweep ReadTouchstone(std::string_view bytes) {
  Options options;
  bool optionsRead = false;
  RisingFrequencies rising;
  Sweep sweep;
  for (const Line& line : SplitLines(bytes)) {
    const std::string_view text = Trimmed(Uncommented(line.text));
    if (text.empty()) continue;
    if (text.front() == '#') {
      if (!sweep.empty()) throw SweepError(Fault::OptionAfterData, line.number);
      if (!optionsRead) options = ReadOptions(Words(text.substr(1)), line.number);
      optionsRead = true;
      continue;
    }
    const std::vector<std::string_view> words = Words(text);
    if (words.size() != 3) throw SweepError(Fault::WrongWidth, line.number, {}, 3, static_cast<int>(words.size()));
    std::array<double, 3> v{};
    for (std::size_t i = 0; i < 3; ++i) v[i] = FiniteNumber(words[i], line.number);
    const double mhz = ToMhz(v[0], options.hertzPerUnit);
    rising.take(mhz, line.number, words[0]);
    sweep.push_back(PointOf(mhz, Pair(v[1], v[2], options.format), options));
  }
  if (sweep.empty()) throw SweepError(Fault::NoData, static_cast<int>(SplitLines(bytes).size()));
  return sweep;
}

namespace {

void Append(std::string& out, double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 9);
  out.append(buf, r.ptr);
}

}  // namespace

std::string WriteTouchstone(std::span<const ModelPoint> points) {
  std::string out = "# MHZ S RI R 50\n";
  for (const ModelPoint& p : points) {
    const std::complex<double> s = (p.impedance - kReferenceOhms) / (p.impedance + kReferenceOhms);
    Append(out, p.frequency);
    out += ' ';
    Append(out, s.real());
    out += ' ';
    Append(out, s.imag());
    out += '\n';
  }
  return out;
}

}  // namespace lorvant::sweep
