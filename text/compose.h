// Texts with numbers or names in them, built from the catalogue's keyed
// pieces and the values between them, in both languages at once.
#pragma once

#include <initializer_list>
#include <string>
#include <variant>

#include "text/bilingual.h"
#include "text/catalogue.h"

namespace lorvant {

// A catalogue piece or a value that reads the same in both languages.
using Piece = std::variant<Text, std::string>;

// The pieces one after the other, each in its language.
Reason Compose(std::initializer_list<Piece> pieces);

// The reason a catalogue text gives alone.
Reason ReasonOf(Text key);

}  // namespace lorvant
