#include "cli/options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <utility>
#include <vector>

#include "cli/terminal.h"
#include "engine/numparse.h"
#include "text/encoding.h"

namespace lorvant::cli {

namespace {

constexpr std::size_t kHelpColumn = 32;  // where option descriptions start
constexpr std::size_t kHelpWidth = 79;

// Words of `text` wrapped to lines that start at `indent` and end before
// kHelpWidth; `first` is what stands before the first line. A "\n" in the
// text starts a new line.
void Wrap(std::ostream& out, const std::string& first, const std::string& text, std::size_t indent) {
  std::string line = first;
  if (!line.empty() && line.size() + 1 > indent) {
    out << line << '\n';
    line.clear();
  }
  line.resize(indent, ' ');
  std::size_t lineStart = line.size();
  std::istringstream paragraphs(text);
  std::string paragraph;
  bool firstParagraph = true;
  while (std::getline(paragraphs, paragraph)) {
    if (!firstParagraph) {
      out << line << '\n';
      line.assign(indent, ' ');
    }
    firstParagraph = false;
    std::istringstream words(paragraph);
    std::string word;
    while (words >> word) {
      if (line.size() > lineStart && line.size() + 1 + word.size() > kHelpWidth) {
        out << line << '\n';
        line.assign(indent, ' ');
      }
      if (line.size() > lineStart) line += ' ';
      line += word;
    }
  }
  // Trailing blanks of an empty description are dropped.
  line.erase(line.find_last_not_of(' ') + 1);
  out << line << '\n';
}

}  // namespace

OptionParser::OptionParser(std::string command, std::string synopsis, std::string description)
    : command_(std::move(command)), synopsis_(std::move(synopsis)), description_(std::move(description)) {}

void OptionParser::section(std::string title) { helpItems_.push_back({std::move(title), 0}); }

void OptionParser::flag(std::string name, std::string help, std::function<void()> set) {
  options_.push_back({std::move(name), "", std::move(help), std::move(set), nullptr, false});
  helpItems_.push_back({"", options_.size() - 1});
}

void OptionParser::value(std::string name, std::string metavar, std::string help,
                         std::function<void(const std::string&)> set, bool repeatable) {
  options_.push_back({std::move(name), std::move(metavar), std::move(help), nullptr, std::move(set), repeatable});
  helpItems_.push_back({"", options_.size() - 1});
}

void OptionParser::operand(std::function<void(const std::string&)> set) { operand_ = std::move(set); }

void OptionParser::epilogue(std::string text) { epilogue_ = std::move(text); }

const OptionParser::Option* OptionParser::find(std::string_view name) const {
  for (const Option& o : options_)
    if (o.name == name) return &o;
  return nullptr;
}

bool OptionParser::given(std::string_view name) const {
  return std::find(given_.begin(), given_.end(), name) != given_.end();
}

bool OptionParser::parse(const Args& args, std::ostream& helpOut) {
  // --help wins over everything else on the line, even over bad options.
  for (const std::string& a : args) {
    if (a == "--") break;
    if (a == "--help" || a == "-h") {
      helpOut << help();
      return false;
    }
  }
  given_.clear();
  bool operandTaken = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      if (!operand_ || operandTaken) throw UsageError("unexpected argument " + QuotedValue(arg));
      operandTaken = true;
      operand_(arg);
      continue;
    }
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    const Option* o = find(name);
    if (!o) throw UsageError("unknown option " + QuotedValue("--" + name));
    if (!o->repeatable && given(name)) throw UsageError("--" + name + " given more than once");
    given_.push_back(name);
    if (o->setFlag) {
      if (eq != std::string::npos) throw UsageError("--" + name + " takes no value");
      o->setFlag();
      continue;
    }
    std::string value;
    if (eq != std::string::npos) {
      value = arg.substr(eq + 1);
    } else {
      if (i + 1 >= args.size()) throw UsageError("--" + name + " needs a value (" + o->metavar + ")");
      value = args[++i];
    }
    try {
      o->setValue(value);
    } catch (const UsageError& e) {
      throw UsageError("--" + name + " " + QuotedValue(value) + ": " + e.what());
    }
  }
  return true;
}

std::string OptionParser::help() const {
  std::ostringstream out;
  out << "Usage: " << kToolName << ' ' << command_ << ' ' << synopsis_ << "\n\n";
  if (!description_.empty()) {
    Wrap(out, "", description_, 0);
    out << '\n';
  }
  bool headingOpen = false;
  for (const HelpItem& item : helpItems_) {
    if (!item.heading.empty()) {
      out << (headingOpen ? "\n" : "") << item.heading << ":\n";
      headingOpen = true;
      continue;
    }
    const Option& o = options_[item.option];
    std::string first = "  --" + o.name;
    if (!o.metavar.empty()) first += ' ' + o.metavar;
    std::string text = o.help;
    if (o.repeatable) text += " (repeatable)";
    Wrap(out, first, text, kHelpColumn);
  }
  out << (headingOpen ? "\n" : "");
  Wrap(out, "  --help", "this text", kHelpColumn);
  if (!epilogue_.empty()) {
    out << '\n';
    out << epilogue_;
    if (epilogue_.back() != '\n') out << '\n';
  }
  return out.str();
}

std::string QuotedValue(std::string_view value) {
  constexpr std::size_t kMaxCharacters = 80;
  // Each piece with the number of characters it shows.
  std::vector<std::pair<std::string, std::size_t>> pieces;
  std::size_t total = 0;
  for (std::size_t i = 0; i < value.size();) {
    const auto c = static_cast<unsigned char>(value[i]);
    std::string piece;
    std::size_t used = 1;
    if (c == '\n') {
      piece = "\\n";
    } else if (c == '\r') {
      piece = "\\r";
    } else if (c == '\t') {
      piece = "\\t";
    } else if (c == '\\' || c == '\'') {
      piece = std::string("\\") + static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      piece = static_cast<char>(c);
    } else if (const std::size_t n = utf8::Decode(value, i).length;
               n > 1 && !(c == 0xC2 && static_cast<unsigned char>(value[i + 1]) <= 0x9F)) {
      // Printable beyond ASCII; the C1 controls (U+0080..U+009F) are not.
      piece = value.substr(i, n);
      used = n;
    } else {
      static const char hex[] = "0123456789abcdef";
      piece = {'\\', 'x', hex[c >> 4], hex[c & 15]};
    }
    const std::size_t shown = used > 1 ? 1 : piece.size();
    pieces.emplace_back(std::move(piece), shown);
    total += shown;
    i += used;
  }
  std::string out = "'";
  std::size_t characters = 0;
  for (const auto& [piece, shown] : pieces) {
    if (total > kMaxCharacters && characters + shown > kMaxCharacters - 3) {
      out += "...";
      break;
    }
    out += piece;
    characters += shown;
  }
  return out + "'";
}

std::string WithoutControls(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) continue;
    // C1 controls are U+0080..U+009F, in UTF-8 0xC2 0x80..0x9F.
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      ++i;
      continue;
    }
    out += static_cast<char>(c);
  }
  return out;
}

bool TypedWith(std::string_view text, std::u32string_view keys) {
  for (char c : text)
    if (keys.find(static_cast<unsigned char>(c)) == std::u32string_view::npos) return false;
  return true;
}

std::string FieldText(const std::string& value, std::u32string_view keys, std::size_t maxLength) {
  if (!TypedWith(value, keys))
    throw UsageError("only the characters " + std::string(keys.begin(), keys.end()) + " can be typed here");
  if (maxLength > 0 && value.size() > maxLength)
    throw UsageError("the field takes at most " + std::to_string(maxLength) + " characters");
  return value;
}

int Choice(const std::string& value, std::initializer_list<std::pair<const char*, int>> choices) {
  std::string names;
  for (const auto& [name, result] : choices) {
    if (value == name) return result;
    names += (names.empty() ? "" : ", ") + std::string(name);
  }
  throw UsageError("expected one of " + names);
}

bool YesNo(const std::string& value) { return Choice(value, {{"yes", 1}, {"no", 0}}) != 0; }

float FieldNumber(const std::string& text) {
  const float value = ParseNumber(text);
  // The field reads a number beyond single precision as 0, which a range
  // check would then misname ("lies above 0").
  if (value == 0 && TypedWith(text, kDecimalKeys)) {
    std::string s = text;
    std::replace(s.begin(), s.end(), ',', '.');
    const double wide = std::strtod(s.c_str(), nullptr);
    if (!(std::fabs(wide) < 0x1.ffffffp127))
      throw UsageError("the number is too large for the field (at most about 3,4E+38)");
  }
  return value;
}

}  // namespace lorvant::cli
