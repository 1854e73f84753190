// The per-user settings store: text values under application "Lorvant",
// section "Settings". Read once when the main window loads, written once
// when it closes.
#pragma once

#include <QString>
#include <optional>

#include "engine/common.h"

namespace lorvant::Settings {

inline constexpr char kOrganisation[] = "Lorvant";
inline constexpr char kApplication[] = "Lorvant";
inline constexpr char kSection[] = "Settings";

// The stored text of `key`, or `fallback` when the key is absent.
QString get(const QString& key, const QString& fallback);
// Stores `value`; false when the store could not be written.
bool save(const QString& key, const QString& value);

// The language, stored as the word "dtsch" (German) or "engl" (English);
// any other word reads as English. `fallback` when none is stored.
Language getLanguage(Language fallback);
bool saveLanguage(Language lang);

// A stored number: the whole text must be one number (a comma or a point as
// separator, blanks around it allowed) that a single-precision value holds;
// anything else is no number.
std::optional<float> toSingle(const QString& text);
// The text of a single-precision number (7 significant digits, "." as
// separator) that toSingle reads back unchanged.
QString fromSingle(float value);

// Window geometry is stored in twips (1440 per inch); the screen's logical
// resolution converts it. Empty when the result does not fit a window.
std::optional<int> twipsToPixels(float twips, double dotsPerInch);
float pixelsToTwips(int pixels, double dotsPerInch);

}  // namespace lorvant::Settings
