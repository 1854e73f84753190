// The computation speaks UTF-8 std::string, the windows QString; these two
// cross between them, and the catalogue's texts come to the windows as QString.
#pragma once

#include <QString>
#include <string>

#include "engine/common.h"
#include "text/catalogue.h"

namespace lorvant {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
inline std::string utf8(const QString& text) { return text.toStdString(); }

// The catalogue's text under key in the language of the moment.
QString say(Text key);
// The same in a language given, e.g. the design captions, which are German.
QString sayIn(Language lang, Text key);

}  // namespace lorvant
