// The computation speaks UTF-8 std::string, the windows QString; these two
// cross between them.
#pragma once

#include <QString>
#include <string>

namespace lorvant {

inline QString qs(const std::string& text) { return QString::fromStdString(text); }
inline std::string utf8(const QString& text) { return text.toStdString(); }

}  // namespace lorvant
