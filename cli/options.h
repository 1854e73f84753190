// The command-line frame of lorvant-calc: a small option parser shared by
// every subcommand, the exit statuses, and the typed value checks.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/numparse.h"

namespace lorvant::cli {

// Exit statuses of every subcommand.
inline constexpr int kExitOk = 0;        // the command produced its result
inline constexpr int kExitNoResult = 1;  // it ended without a result (its message on stderr)
inline constexpr int kExitUsage = 2;     // unknown option or bad value (one line on stderr)

inline constexpr const char* kToolName = "lorvant-calc";

// A bad command line. The frame prints "lorvant-calc <command>: <what>" as
// one line on stderr and exits with kExitUsage.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the subcommand's name.
using Args = std::vector<std::string>;

// Options in the forms "--name value" and "--name=value". An option given
// twice is an error unless it was declared repeatable; "--help" is always
// known and prints the help text.
//
// Not QCommandLineParser: it takes an option given twice without a word,
// takes stray words, "--" and single-dash options, names only one of
// several mistakes and not always the first on the line, turns bytes that
// are not UTF-8 into U+FFFD before a message can show them, and lays out
// its help in its own way, while the manual pages and the bash completion
// are made from the layout below. What would be left of it is the splitting
// of the words, which is the small part of this class.
class OptionParser {
 public:
  // `synopsis` follows "Usage: lorvant-calc <command> " in the help;
  // `description` is printed below it.
  OptionParser(std::string command, std::string synopsis, std::string description);

  // A heading in the help that groups the options declared after it.
  void section(std::string title);
  // A switch without a value.
  void flag(std::string name, std::string help, std::function<void()> set);
  // An option with a value. `set` receives the value and throws UsageError
  // (through the checks below) when it is bad; the frame prefixes the
  // option's name.
  void value(std::string name, std::string metavar, std::string help, std::function<void(const std::string&)> set,
             bool repeatable = false);
  // The one word of the line that is no option (a file's name, say); a
  // second such word is still an unexpected argument.
  void operand(std::function<void(const std::string&)> set);
  // Free text at the end of the help (examples, exit statuses).
  void epilogue(std::string text);

  // Parses the arguments; false when "--help" was given (the help was then
  // written to `helpOut` and nothing else was set).
  bool parse(const Args& args, std::ostream& helpOut);
  // Whether the option was on the command line.
  bool given(std::string_view name) const;

  std::string help() const;
  const std::string& command() const { return command_; }

 private:
  struct Option {
    std::string name;     // without the leading "--"
    std::string metavar;  // empty for a switch
    std::string help;
    std::function<void()> setFlag;
    std::function<void(const std::string&)> setValue;
    bool repeatable = false;
  };
  struct HelpItem {
    std::string heading;  // a section when not empty
    std::size_t option = 0;
  };
  const Option* find(std::string_view name) const;

  std::string command_, synopsis_, description_, epilogue_;
  std::vector<Option> options_;
  std::vector<HelpItem> helpItems_;
  std::vector<std::string> given_;
  std::function<void(const std::string&)> operand_;
};

// A value typed on the command line as a message quotes it: between single
// quotes, control characters, quotes, backslashes and bytes that are not
// UTF-8 escaped (\n, \x1b, ...), at most 80 characters of it kept (the
// rest becomes "...").
std::string QuotedValue(std::string_view value);

// Text without control characters (C0, DEL and C1), for what goes into a
// report.
std::string WithoutControls(std::string_view text);

// ---- value checks (each throws UsageError with a one-line reason) ----

// Whether every character of `text` is one of `keys` (a key set of
// engine/numparse.h: kDecimalKeys, kWholeKeys).
bool TypedWith(std::string_view text, std::u32string_view keys);
// A text typed into an input field: every character from `keys` (the
// field's key filter) and at most `maxLength` characters (0 = no limit).
std::string FieldText(const std::string& value, std::u32string_view keys, std::size_t maxLength);

// One of a fixed set of words; returns the value paired with it.
int Choice(const std::string& value, std::initializer_list<std::pair<const char*, int>> choices);

// "yes" / "no".
bool YesNo(const std::string& value);

// The number parse of the input fields (comma or point), for range checks.
float FieldNumber(const std::string& text);

}  // namespace lorvant::cli
