#include "engine/nec/output.h"

#include <charconv>

namespace lorvant::nec {

namespace {

constexpr std::string_view kInputHeading = "ANTENNA INPUT PARAMETERS";
constexpr std::string_view kFrequencyLabel = "FREQUENCY :";
constexpr std::string_view kInputPowerLabel = "INPUT POWER";
constexpr std::string_view kStructureLossLabel = "STRUCTURE LOSS";

// The numbers from the line's start up to its first field that is not a
// number; `whole` tells whether every field was one.
std::vector<double> ReadNumbers(std::string_view line, bool& whole) {
  std::vector<double> values;
  std::size_t pos = 0;
  whole = true;
  while (pos < line.size()) {
    const std::size_t start = line.find_first_not_of(" \t\r", pos);
    if (start == std::string_view::npos) break;
    std::size_t end = line.find_first_of(" \t\r", start);
    if (end == std::string_view::npos) end = line.size();
    // from_chars reads the engine's points whatever locale the program runs
    // in; it takes no leading "+", which the engine does not write.
    double v = 0;
    const auto r = std::from_chars(line.data() + start, line.data() + end, v);
    if (r.ec != std::errc() || r.ptr != line.data() + end) {
      whole = false;
      break;
    }
    values.push_back(v);
    pos = end;
  }
  return values;
}

// The numbers of a line; empty when any field is not a number.
std::vector<double> Numbers(std::string_view line) {
  bool whole = false;
  std::vector<double> values = ReadNumbers(line, whole);
  if (!whole) return {};
  return values;
}

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

// The watts of a budget line "LABEL = 4.7957E-03 Watts"; none when the
// line is not one.
std::optional<double> BudgetValue(std::string_view line, std::string_view label) {
  const auto at = line.find(label);
  if (at == std::string_view::npos) return std::nullopt;
  const auto eq = line.find('=', at + label.size());
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view rest = Trim(line.substr(eq + 1));
  const std::vector<double> v = Numbers(rest.substr(0, rest.find(' ')));
  if (v.size() != 1) return std::nullopt;
  return v[0];
}

}  // namespace

std::vector<double> LeadingNumbers(std::string_view line) {
  bool whole = false;
  return ReadNumbers(line, whole);
}

std::optional<double> InputParameters::lossFraction() const {
  if (!(inputPower > 0)) return std::nullopt;
  return structureLoss / inputPower;
}

std::vector<InputParameters> ParseInputParameters(std::string_view output) {
  std::vector<InputParameters> result;
  double frequency = 0;
  // After the heading come two lines of column titles, then one row per
  // source; the first line after the rows that is not a row ends the table.
  enum class State { Outside, Titles, Rows } state = State::Outside;
  std::size_t pos = 0;
  while (pos < output.size()) {
    const std::size_t eol = output.find('\n', pos);
    const std::string_view line =
        output.substr(pos, eol == std::string_view::npos ? std::string_view::npos : eol - pos);
    pos = eol == std::string_view::npos ? output.size() : eol + 1;

    if (const auto at = line.find(kFrequencyLabel); at != std::string_view::npos) {
      // "FREQUENCY : 1.4175E+01 MHz"
      const std::string_view rest = Trim(line.substr(at + kFrequencyLabel.size()));
      const std::vector<double> v = Numbers(rest.substr(0, rest.find(' ')));
      if (v.size() == 1) frequency = v[0];
      state = State::Outside;
      continue;
    }
    // The budget belongs to the frequency's last source row (the check has
    // one source per structure).
    if (!result.empty() && result.back().frequency == frequency) {
      if (const auto w = BudgetValue(line, kInputPowerLabel)) {
        result.back().inputPower = *w;
        state = State::Outside;
        continue;
      }
      if (const auto w = BudgetValue(line, kStructureLossLabel)) {
        result.back().structureLoss = *w;
        continue;
      }
    }
    if (line.find(kInputHeading) != std::string_view::npos) {
      state = State::Titles;
      continue;
    }
    if (state == State::Outside) continue;
    // TAG SEG V(re) V(im) I(re) I(im) Z(re) Z(im) Y(re) Y(im) POWER
    const std::vector<double> v = Numbers(Trim(line));
    if (v.size() != 11) {
      if (state == State::Rows) state = State::Outside;
      continue;
    }
    state = State::Rows;
    InputParameters p;
    p.frequency = frequency;
    p.tag = static_cast<int>(v[0]);
    p.segment = static_cast<int>(v[1]);
    p.impedance = {v[6], v[7]};
    result.push_back(p);
  }
  return result;
}

int SolvedCount(std::string_view output) {
  int n = 0;
  for (std::size_t at = output.find(kInputHeading); at != std::string_view::npos;
       at = output.find(kInputHeading, at + kInputHeading.size()))
    ++n;
  return n;
}

std::string LastLine(std::string_view output) {
  std::size_t end = output.size();
  while (end > 0) {
    const std::size_t start = output.rfind('\n', end - 1);
    const std::size_t from = start == std::string_view::npos ? 0 : start + 1;
    const std::string_view line = Trim(output.substr(from, end - from));
    if (!line.empty()) return std::string(line);
    if (start == std::string_view::npos) break;
    end = start;
  }
  return {};
}

}  // namespace lorvant::nec
