// Texts in both languages as values: a refusal's reason and a note that a
// window shows again after a language switch. The texts themselves come
// from the catalogue (text/catalogue.h).
#pragma once

#include <string>

#include "engine/common.h"

namespace lorvant {

// Why an input was refused, in both languages: a window says it in the
// language of the moment. Empty when nothing was refused.
struct Reason {
  std::string de, en;
  bool empty() const { return de.empty() && en.empty(); }
  const std::string& in(Language lang) const { return lang == Language::German ? de : en; }
};

// A text in both languages, so that a window can show it again after a
// language switch.
struct BothLanguages {
  std::string german, english;
  const std::string& in(Language lang) const { return lang == Language::German ? german : english; }
  std::string& in(Language lang) { return lang == Language::German ? german : english; }
};
inline constexpr Language kBothLanguages[] = {Language::German, Language::English};

}  // namespace lorvant
