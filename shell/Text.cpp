#include "shell/Text.h"

#include "shell/Module1.h"

namespace lorvant {

QString say(Text key) { return sayIn(Module1::language(), key); }

QString sayIn(Language lang, Text key) { return QString::fromUtf8(say(lang, key)); }

}  // namespace lorvant
