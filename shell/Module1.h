// Module1: the shared state of all windows and the shared small functions
// (language, number parse and key filter, line break).
#pragma once

#include <QString>
#include <string>

#include "engine/common.h"
#include "engine/numparse.h"
#include "text/bilingual.h"

class QWidget;

namespace lorvant::Module1 {

struct State {
  QString lineBreak = QStringLiteral("\r\n");
  QString reportPath;        // results folder + "AntStrSu.txt" when it exists
  double insulation = 0;     // insulation shortening of the last run
  float antennaLength = 0;   // geometric length of the last run, m
  bool extraBandOn = false;  // additional band of the last run
  float extraBandFrequency = 0;
  QString resultsFolder;  // always ends with "/" once set
  Language language = Language::German;
};

State& state();
// Back to the values of a fresh start (tests use this between cases).
void resetState();

// The language of the windows and of what they write.
Language language();
bool german();

// The user's decimal separator (',' or '.') from the locale.
char decimalSeparator();
// Overrides the locale's separator (tests run both); 0 returns to the locale.
void setDecimalSeparator(char sep);

// Number parse of a field text (first comma becomes a point).
float parse(const QString& text);

// Key filter: returns the key unchanged when it is in the key set or is a
// backspace; otherwise refuses it (the beep, and in the status bar what the
// field takes), lets pending events run and returns 0.
int keyFilter(int key, std::u32string_view keySet);

// A path as the file system takes it (its own encoding) for the plain
// file functions, and such a path back for the windows.
std::string nativePath(const QString& path);
QString fromNativePath(const std::string& path);

// Today's date and time as the reports write it (short date, long time).
QString generalDateTime();
// The locale's short date.
QString shortDate();

}  // namespace lorvant::Module1
