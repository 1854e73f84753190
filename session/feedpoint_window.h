// The feed-point window's modes: what each shows when its menu command
// opens the window, and the status line while it is open.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "session/mainform.h"
#include "text/bilingual.h"

namespace lorvant::feedpoint {

enum class Mode { AllBands, OneFrequency, Impedance, Scan };

// Status texts on activation and on close.
std::string ActivationStatus(Mode mode, Language lang);
std::string ClosedStatus(Language lang);

// One row of the window: a caption and its field.
struct Row {
  std::string caption;
  std::string text;
};

// The window has three rows and a result box with a header. What a row
// means is the mode's:
//   all bands, one frequency:  length, frequency, distance of the feed point
//   impedance:                 (a note without field), current sum, impedance
//   scan:                      left limit, right limit, step
struct WindowTexts {
  Row first, second, third;
  std::string header;  // the result box's column header
};

// What a mode shows when its menu command opens the window.
struct WindowSetup {
  Mode mode = Mode::OneFrequency;  // what the window calculates
  std::string title;
  std::string calculate;  // the calculate button
  WindowTexts rows;
};

WindowSetup OpenAllBands(const MainFormValues& main, Language lang, char sep);
WindowSetup OpenOneFrequency(const MainFormValues& main, Language lang, char sep);
WindowSetup OpenImpedance(Language lang);
WindowSetup OpenScan(float runLength, Language lang, char sep);

// The distance pre-fill from the main form's note: the first listed feed
// distance strictly between 7 and 9 m, else the last one; nothing when the
// note lacks the marker of the language or lists no distance. A list
// without its closing CR is read to the end of the note.
std::optional<std::string> PrefillDistance(std::string_view info, Language lang);

}  // namespace lorvant::feedpoint
