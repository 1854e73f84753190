#include "engine/sweep/csv.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "engine/sweep/lines.h"
#include "engine/sweep/rising.h"

namespace lorvant::sweep {

namespace {

std::vector<std::string_view> Fields(std::string_view text, char separator) {
  std::vector<std::string_view> fields;
  while (true) {
    const std::size_t end = text.find(separator);
    std::string_view field = Trimmed(text.substr(0, end));
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
      field = Trimmed(field.substr(1, field.size() - 2));
    fields.push_back(field);
    if (end == std::string_view::npos) return fields;
    text.remove_prefix(end + 1);
  }
}

std::string Lower(std::string_view word) {
  std::string low(word);
  for (char& c : low) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return low;
}

// A column's name and what follows it: "frequency (kHz)" is "frequency"
// with the unit "khz".
struct ColumnName {
  std::string base, unit;
};
ColumnName Split(std::string_view field) {
  const std::string low = Lower(field);
  const std::size_t end = low.find_first_of(" \t_([");
  ColumnName name{low.substr(0, end), {}};
  if (end != std::string::npos)
    for (char c : low.substr(end))
      if (c != ' ' && c != '\t' && c != '_' && c != '(' && c != ')' && c != '[' && c != ']') name.unit += c;
  return name;
}

struct Columns {
  std::size_t count = 0;
  std::optional<std::size_t> frequency, r, x, swr;
  double hertzPerUnit = 1;
};

Columns ReadHeader(const std::vector<std::string_view>& fields, int line) {
  Columns c;
  c.count = fields.size();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const ColumnName name = Split(fields[i]);
    if (name.base == "frequency" && !c.frequency) {
      if (name.unit.empty() || name.unit == "hz")
        c.hertzPerUnit = 1;
      else if (name.unit == "khz")
        c.hertzPerUnit = 1e3;
      else if (name.unit == "mhz")
        c.hertzPerUnit = 1e6;
      else if (name.unit == "ghz")
        c.hertzPerUnit = 1e9;
      else
        throw SweepError(Fault::Unit, line, std::string(fields[i]));
      c.frequency = i;
    } else if (name.base == "r" && !c.r) {
      c.r = i;
    } else if (name.base == "x" && !c.x) {
      c.x = i;
    } else if (name.base == "swr" && !c.swr) {
      c.swr = i;
    }
  }
  if (!c.frequency || !((c.r && c.x) || c.swr)) throw SweepError(Fault::Header, line);
  return c;
}

// A field's number; with semicolons between the fields a comma is the point.
double FieldNumber(std::string_view field, char separator, int line) {
  if (separator != ';' || field.find(',') == std::string_view::npos) return FiniteNumber(field, line);
  std::string pointed(field);
  std::replace(pointed.begin(), pointed.end(), ',', '.');
  try {
    return FiniteNumber(pointed, line);
  } catch (const SweepError& e) {
    // The word as it stood in the file.
    throw SweepError(e.fault, line, std::string(field));
  }
}

}  // namespace

Sweep ReadSweepCsv(std::string_view bytes) {
  const std::vector<Line> lines = SplitLines(bytes);
  std::optional<Columns> columns;
  char separator = ',';
  RisingFrequencies rising;
  Sweep sweep;
  for (const Line& line : lines) {
    if (Trimmed(line.text).empty()) continue;
    if (!columns) {
      separator = line.text.find(';') != std::string_view::npos ? ';' : ',';
      columns = ReadHeader(Fields(line.text, separator), line.number);
      continue;
    }
    const std::vector<std::string_view> fields = Fields(line.text, separator);
    if (fields.size() != columns->count)
      throw SweepError(Fault::WrongWidth, line.number, {}, static_cast<int>(columns->count),
                       static_cast<int>(fields.size()));
    const double mhz = ToMhz(FieldNumber(fields[*columns->frequency], separator, line.number), columns->hertzPerUnit);
    rising.take(mhz, line.number, fields[*columns->frequency]);
    SweepPoint p{mhz, std::nullopt, std::numeric_limits<double>::infinity()};
    if (columns->r && columns->x) {
      const std::complex<double> z(FieldNumber(fields[*columns->r], separator, line.number),
                                   FieldNumber(fields[*columns->x], separator, line.number));
      p.impedance = z;
      p.swr = SwrOf(z);
    } else {
      p.swr = FieldNumber(fields[*columns->swr], separator, line.number);
      if (!(p.swr >= 1)) throw SweepError(Fault::SwrBelowOne, line.number, std::string(fields[*columns->swr]));
    }
    sweep.push_back(p);
  }
  if (sweep.empty()) throw SweepError(Fault::NoData, static_cast<int>(lines.size()));
  return sweep;
}

}  // namespace lorvant::sweep
