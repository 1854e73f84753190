// The checks of one feed point: the currents and impedances on every band,
// the currents at one frequency, and the impedance of a current sum. Each
// takes the window's texts as they stand and refuses what it cannot use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/current.h"
#include "session/feedpoint_window.h"
#include "session/mainform.h"
#include "session/question.h"
#include "text/bilingual.h"

namespace lorvant::feedpoint {

// The input of the window that a check refused: the focus goes there.
enum class Input { None, Length, Frequency, Distance };

// The refusal of a feed point that is not inside the wire, with the wire's
// length: "Der Speisepunkt liegt nicht auf dem Draht (0 … 41,7 m)."
std::string OffWireText(Language lang, float length, char sep);

// The impedance field of a band row and of the impedance mode: up to
// 9999.99 ohms "###0.0", above that kilo-ohms "###0.0 K".
std::string ImpedanceText(float z, char sep);

// ---- All-bands check ----

struct AllBandsEnv {
  Language lang = Language::German;
  char sep = ',';
  std::string dateText;       // the moment of the calculation, general date format
  std::string resultsFolder;  // ends with "/"; empty: no report is written
};

struct AllBandsResult {
  bool done = false;  // false: refused, nothing computed, the result box keeps its text
  Input refused = Input::None;
  std::string length;  // the window's length field afterwards (adapted on Yes)
  bool adaptAsked = false;
  bool adapted = false;  // Yes to the adapt question
  // Main-form changes on Yes: its half-wave field without the "~" prefix
  // (only when it held one), and the preferred-band length mode selected.
  std::optional<std::string> mainHalfWaves;
  bool selectPreferredLength = false;
  bool tooShortWarned = false;
  std::string rows;  // the new text of the result box
  bool reportWritten = false;
  std::string reportError;  // why SpeisePkt.txt could not be written (cause and path), else empty
  std::string info;         // the main form's note afterwards
};

// A band row and a summary row of the result box, without their line end.
std::string BandRow(std::string_view frequencyText, double s, float z, char sep);
std::string SummaryRow(Language lang, double average, char sep);

AllBandsResult CheckAllBands(const WindowTexts& window, const MainFormValues& main, const AllBandsEnv& env,
                             Asker& asker);

// ---- Currents at one frequency ----

struct OneFrequencyResult {
  bool done = false;
  Input refused = Input::None;
  bool tooShortWarned = false;
  std::string rows;
};

OneFrequencyResult CheckOneFrequency(const WindowTexts& window, const MainFormValues& main, Language lang, char sep,
                                     Asker& asker);

// ---- Impedance from a current sum ----

struct ImpedanceResult {
  bool beep = false;  // out of range: a beep and an empty result
  std::string impedance;
  Reason reason;  // why it beeped
};

ImpedanceResult ImpedanceFromCurrentSum(std::string_view currentSum, char sep);

}  // namespace lorvant::feedpoint
