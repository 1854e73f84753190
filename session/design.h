// A design the user keeps: every input of the main form and of the tool
// windows in one plain-text file, so that a design can be saved, opened
// again, handed to the batch tool, and restored at the next start.
//
// The file is INI-like text (UTF-8, one "key = value" per line, sections in
// brackets). Every value sits on its own line, so a refusal names exactly
// the line that holds the bad value, and a person can read and edit the
// file in any editor. Numbers are written with the point, band boxes and
// choices as words, whatever the language and separator of the moment:
//
//   [design]
//   format = lorvant-design
//   version = 1
//   [main]
//   frequency = 14.2
//   band-14 = counted
//   ...
//
// The main form's section is always there; a tool window's section only
// when the window had inputs to give. Reading refuses a damaged, foreign or
// newer file as a whole (nothing of it is taken).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/bands.h"
#include "engine/common.h"
#include "session/run.h"

namespace lorvant::design {

inline constexpr const char* kFormat = "lorvant-design";
inline constexpr int kVersion = 1;
// Larger files are no design of this program.
inline constexpr std::size_t kMaxBytes = 64 * 1024;

// Texts of number fields are kept as typed, with every comma turned into a
// point; shown again, every point becomes the locale's separator.
std::string Stored(std::string_view fieldText);
std::string Shown(std::string_view storedText, char sep);

struct MainInputs {
  std::string frequency = "14.2";
  std::string halfWaves = "4";  // may hold the run's "~n"
  std::string wireLength;
  std::string shorteningFactor = "0.95";
  std::string tolerance = "5";
  // The dielectric field: a list entry (its material word) or a typed value.
  std::string material = "air";  // empty: the value was typed
  std::string dielectric = "1.00059";
  std::string outerDiameter = "2.1";
  std::string conductorDiameter = "1.4";
  std::string minimumSum = "0.4";
  BandValues bands{};
  bool allBands = false;  // the "all" box
  bool windom = false;
  bool specialTable = false;
  Segment segment = Segment::Centre;
  LengthMode lengthMode = LengthMode::Preferred;
  bool equalImpedances = false;
};

// The three rows of a feed-point mode (length, frequency, distance; or
// left limit, right limit, step).
using FeedRows = std::array<std::string, 3>;
struct FeedPointInputs {
  std::optional<FeedRows> allBands, oneFrequency, scan;
  std::optional<std::string> currentSum;  // impedance from a current sum
  bool operator==(const FeedPointInputs&) const = default;
};

struct CalculatorInputs {
  bool active = false;  // its results count in the run
  std::string frequency, height, diameter;
  bool groundCorrection = false;
  std::string necGround = "average";  // the NEC-2 step's ground, a word of engine/nec/model.h
  bool operator==(const CalculatorInputs&) const = default;
};

struct PruningInputs {
  std::string measuredLength, measuredFrequency, desiredFrequency;
  bool operator==(const PruningInputs&) const = default;
};

struct DipoleInputs {
  bool windom = false;
  std::string frequency, exciterFrequency, impedance, diameter, exciterDiameter, shorteningFactor, halfWaves,
      feedFraction;
  bool operator==(const DipoleInputs&) const = default;
};

struct NecInputs {
  std::string feedPoint;
  std::string height;                // a flat wire's, or its start's
  std::string shape = "flat";        // a word of kShapeWords
  std::string endHeight = "10";      // a sloper's or an inverted-V's end
  std::string apexHeight, apexAt;    // an inverted-V's; no position: at the feed point
  std::string planAngle = "180";     // degrees between the legs seen from above
  std::string ground = "average";    // a ground word of engine/nec/model.h
  std::string conductor = "copper";  // a word of kConductorWords
  std::string conductivity;          // S/m; empty: the conductor's own
  std::string region = "1";          // the IARU region of the sweep's band edges
  std::string balun = "auto";        // "auto" or the ratio
  std::string points;
  // What the wire does on the air: the far field, and the coax's shield
  // with its diameter in mm and the choke in ohms.
  bool pattern = false;
  bool feedline = false;
  std::string feedlineDiameter = "6";
  std::string choke = "0";
  bool operator==(const NecInputs&) const = default;
};

struct Design {
  MainInputs main;
  std::optional<FeedPointInputs> feedPoint;
  std::optional<CalculatorInputs> calculator;
  std::optional<PruningInputs> pruning;
  std::optional<DipoleInputs> dipole;
  std::optional<NecInputs> nec;
};
bool operator==(const MainInputs& a, const MainInputs& b);
bool operator==(const Design& a, const Design& b);

// The file's text.
std::string Serialise(const Design& d);

// Why a file is refused: the line (from 1; 0 for the file as a whole) and
// the reason in the language.
struct Refusal {
  int line = 0;
  std::string reason;
};
struct ReadResult {
  std::optional<Design> design;
  Refusal refusal;  // when there is no design
};
ReadResult Parse(std::string_view text, Language lang);

// The whole message: the file, the line and the reason.
std::string RefusalText(Language lang, const std::string& path, const Refusal& r);
// Reads and parses a file (a file that cannot be read is refused too).
ReadResult ReadFile(const std::string& path, Language lang);
// Writes through the staged, flushed, renamed commit. Throws files::FileError.
void WriteFile(const std::string& path, const Design& d);

// ---- the run's inputs (the batch tool) ----

// The main form and the active calculator as the run reads them.
Design FromRunInput(const RunInput& in);
// The run's inputs of a design, in the language and with the separator of
// the moment (folders and date left empty).
RunInput ToRunInput(const Design& d, Language lang, char sep);

// ---- choices as words ----

// The dielectric list's entries as words ("none", "vacuum", "air", ...),
// by index of session/mainform.h's MaterialList; -1 / nullptr when unknown.
int MaterialIndex(std::string_view word);
const char* MaterialWord(int index);

const char* BandWord(BandState value);  // "off", "counted", "grey"
const char* BandKey(int band);          // "band-1.8" ... "band-50"
const char* SegmentWord(Segment segment);
const char* LengthModeWord(LengthMode mode);

// ---- the main form's fields ----

// The dielectric field's text for the record: a list entry (in any language
// and with either separator) is kept as its material word.
void SetDielectric(MainInputs& m, std::string_view fieldText);
// The dielectric field's text to show.
std::string DielectricText(const MainInputs& m, Language lang, char sep);

}  // namespace lorvant::design
