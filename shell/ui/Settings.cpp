#include "shell/ui/Settings.h"

#include <QLocale>
#include <QSettings>
#include <cmath>
#include <limits>

#include "engine/common.h"

namespace lorvant::Settings {
namespace {

QString fullKey(const QString& key) { return QString::fromLatin1(kSection) + '/' + key; }

// A window coordinate beyond this is no place a screen shows.
constexpr double kMaxPixels = 1'000'000;

const QString kLanguageKey = QStringLiteral("Sprache");
const QString kGermanWord = QStringLiteral("dtsch");
const QString kEnglishWord = QStringLiteral("engl");

QString wordOf(Language lang) { return lang == Language::German ? kGermanWord : kEnglishWord; }

}  // namespace

QString get(const QString& key, const QString& fallback) {
  QSettings store(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
  const QVariant value = store.value(fullKey(key));
  return value.isValid() ? value.toString() : fallback;
}

bool save(const QString& key, const QString& value) {
  QSettings store(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
  store.setValue(fullKey(key), value);
  store.sync();
  return store.status() == QSettings::NoError;
}

Language getLanguage(Language fallback) {
  return get(kLanguageKey, wordOf(fallback)) == kGermanWord ? Language::German : Language::English;
}

bool saveLanguage(Language lang) {
  // A stored word that already reads as this language stays as it was written
  // (an older version kept the word itself, whatever it was).
  const QVariant stored =
      QSettings(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication)).value(fullKey(kLanguageKey));
  if (stored.isValid() && (stored.toString() == kGermanWord) == (lang == Language::German)) return true;
  return save(kLanguageKey, wordOf(lang));
}

std::optional<float> toSingle(const QString& text) {
  QString t = text.trimmed();
  // The text may come from a comma locale; a single comma is its separator.
  if (t.count(',') == 1 && !t.contains('.')) t.replace(',', '.');
  QLocale c = QLocale::c();
  c.setNumberOptions(QLocale::RejectGroupSeparator);
  bool ok = false;
  const double v = c.toDouble(t, &ok);
  if (!ok || !std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) return std::nullopt;
  return sng(v);
}

QString fromSingle(float value) { return QString::number(static_cast<double>(value), 'g', 7); }

std::optional<int> twipsToPixels(float twips, double dotsPerInch) {
  if (!(dotsPerInch > 0)) return std::nullopt;
  const double pixels = std::nearbyint(static_cast<double>(twips) * dotsPerInch / 1440.0);
  if (!std::isfinite(pixels) || std::fabs(pixels) > kMaxPixels) return std::nullopt;
  return static_cast<int>(pixels);
}

float pixelsToTwips(int pixels, double dotsPerInch) {
  if (!(dotsPerInch > 0)) dotsPerInch = 96;
  return sng(pixels * 1440.0 / dotsPerInch);
}

}  // namespace lorvant::Settings
