#include "shell/Module1.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include "shell/Seam.h"
#include "shell/Text.h"
#include "text/bilingual.h"

namespace lorvant::Module1 {
namespace {
State& stateStorage() {
  static State s;
  return s;
}
char separatorOverride = 0;
}  // namespace

State& state() { return stateStorage(); }

void resetState() { stateStorage() = State{}; }

bool german() { return state().language == Language::German; }

Language language() { return state().language; }

char decimalSeparator() {
  if (separatorOverride) return separatorOverride;
  const QString point = QLocale().decimalPoint();
  return point == QLatin1String(",") ? ',' : '.';
}

void setDecimalSeparator(char sep) { separatorOverride = sep; }

float parse(const QString& text) { return ParseNumber(text.toStdString()); }

namespace {
// What a field takes, said when it refuses a key.
QString keySetReason(std::u32string_view keySet) {
  if (keySet == kWholeKeys) return say(Text::WindowKeysDigits);
  if (keySet == kDecimalKeys) return say(Text::WindowKeysDecimal);
  return say(Text::WindowKeysOther);
}
}  // namespace

int keyFilter(int key, std::u32string_view keySet) {
  if (key >= 0 && KeyAccepted(static_cast<char32_t>(key), keySet)) return key;
  refuse(keySetReason(keySet));
  seam().processEvents();
  return 0;
}

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString fromNativePath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

QString generalDateTime() {
  const QLocale locale;
  const QDateTime now = QDateTime::currentDateTime();
  return locale.toString(now.date(), QLocale::ShortFormat) + ' ' + locale.toString(now.time(), "HH:mm:ss");
}

QString shortDate() { return QLocale().toString(QDate::currentDate(), QLocale::ShortFormat); }

}  // namespace lorvant::Module1
