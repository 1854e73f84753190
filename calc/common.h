// Small shared vocabulary of the computation: language, rounding, the
// questions a calculation may put to its user, and its arithmetic failure.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lorvant {

enum class Language { German, English };

// Picks the German or the English text.
inline const std::string& tr(Language lang, const std::string& de, const std::string& en) {
  return lang == Language::German ? de : en;
}
inline const char* tr(Language lang, const char* de, const char* en) {
  return lang == Language::German ? de : en;
}

inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717958;

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double v);
// Rounded half-even into a 16- or 32-bit integer; empty when it does not fit.
std::optional<std::int16_t> toInt16(double v);
std::optional<std::int32_t> toInt32(double v);

// A single-precision step: evaluated in double, rounded once to float.
inline float sng(double v) { return static_cast<float>(v); }

// Why an input was refused, in both languages: a window says it in the
// language of the moment. Empty when nothing was refused.
struct Reason {
  std::string de, en;
  bool empty() const { return de.empty() && en.empty(); }
  const std::string& in(Language lang) const { return tr(lang, de, en); }
};

// Lines of a message or an info text, separated by CR LF.
std::string JoinLines(std::initializer_list<const char*> lines);

// Message-box vocabulary shared by the computation and the windows.
enum class Icon { None, Critical, Exclamation, Question, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

struct Question {
  std::string text;   // UTF-8, lines separated by CR LF
  std::string title;  // UTF-8
  Icon icon = Icon::Information;
  Buttons buttons = Buttons::Ok;
  int defaultButton = 1;  // 1-based position of the default button
};

// Whoever runs a calculation answers its questions (a message box in the
// program, a fixed answer in the batch tool, a script in the tests).
class Asker {
 public:
  virtual ~Asker() = default;
  virtual Answer ask(const Question& q) = 0;
};

// An arithmetic step that failed: overflow or division by zero.
class ArithmeticError : public std::runtime_error {
 public:
  enum class Kind { Overflow, DivisionByZero, Other };
  ArithmeticError(Kind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

}  // namespace lorvant
