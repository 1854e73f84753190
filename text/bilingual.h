// Texts in both languages: the pick of one, a refusal's reason and a note
// that a window shows again after a language switch.
#pragma once

#include <initializer_list>
#include <string>

#include "engine/common.h"

namespace lorvant {

// Picks the German or the English text.
inline const std::string& tr(Language lang, const std::string& de, const std::string& en) {
  return lang == Language::German ? de : en;
}
inline const char* tr(Language lang, const char* de, const char* en) { return lang == Language::German ? de : en; }

// Why an input was refused, in both languages: a window says it in the
// language of the moment. Empty when nothing was refused.
struct Reason {
  std::string de, en;
  bool empty() const { return de.empty() && en.empty(); }
  const std::string& in(Language lang) const { return tr(lang, de, en); }
};

// A text in both languages, so that a window can show it again after a
// language switch.
struct BothLanguages {
  std::string german, english;
  const std::string& in(Language lang) const { return lang == Language::German ? german : english; }
  std::string& in(Language lang) { return lang == Language::German ? german : english; }
};
inline constexpr Language kBothLanguages[] = {Language::German, Language::English};

// Lines of a message or an info text, separated by CR LF.
std::string JoinLines(std::initializer_list<const char*> lines);

}  // namespace lorvant
