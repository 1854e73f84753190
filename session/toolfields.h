// Small vocabulary shared by the calculator windows' computations: text
// colours of the 16-colour palette and an optional field rewrite.
#pragma once

#include <optional>
#include <string>

namespace lorvant {

// Text colours as palette indices: 0 black, 12 light red.
enum class TextColour { Black = 0, Red = 12 };

// A field text that a calculation rewrites; empty optional = leave as it is.
using FieldText = std::optional<std::string>;

}  // namespace lorvant
