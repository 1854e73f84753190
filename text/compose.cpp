#include "text/compose.h"

namespace lorvant {

Reason Compose(std::initializer_list<Piece> pieces) {
  Reason r;
  for (const Piece& piece : pieces) {
    if (const Text* key = std::get_if<Text>(&piece)) {
      r.de += say(Language::German, *key);
      r.en += say(Language::English, *key);
    } else {
      r.de += std::get<std::string>(piece);
      r.en += std::get<std::string>(piece);
    }
  }
  return r;
}

Reason ReasonOf(Text key) { return {say(Language::German, key), say(Language::English, key)}; }

}  // namespace lorvant
