// The table of a design file's keys: for every field of every section its
// key, how it is read from and written into a Design, and what it refuses.
// Writing walks the table in its order; reading looks each line's key up
// in it. Only the design files use it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/common.h"
#include "session/design.h"

namespace lorvant::design {

enum class Section { Design, Main, FeedPoint, Calculator, Pruning, Dipole, Nec };
// By Section, as the brackets in the file name them.
inline constexpr const char* kSectionNames[] = {"design",  "main",   "feed-point", "calculator",
                                                "pruning", "dipole", "nec"};

// A refused value: the reason, in the language.
using Check = std::function<std::optional<std::string>(std::string_view value, Language lang)>;

struct Key {
  Section section;
  const char* name;
  std::function<std::string(const Design&)> get;
  // Sets the value (already checked).
  std::function<void(Design&, std::string_view)> set;
  Check check;
};

// Every key, in the order the file is written.
const std::vector<Key>& Keys();

// Whether the design has the section to write; the header and the main
// form's section are always there.
bool SectionPresent(const Design& d, Section s);
// Whether a key of the feed-point section is written: a mode's rows when
// the window had that mode.
bool FeedKeyPresent(const Design& d, const Key& k);
// Makes the section's part of the design exist, as a section read empty.
void OpenSection(Design& d, Section s);

// A value as a refusal quotes it.
std::string Quoted(std::string_view v);
// No control characters.
bool PrintableUtf8(std::string_view v);

}  // namespace lorvant::design
