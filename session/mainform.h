// The main input form as the computation knows it: what its fields hold
// after loading (the batch tool starts from the same state), the lists it
// offers, the frequency caption that other places quote, and the WINDOM
// preset. The form and the batch tool take these from here.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/bands.h"
#include "session/run.h"

namespace lorvant {

// ---- the fields after loading ----

inline constexpr float kDefaultPreferredFrequency = 14.2f;  // MHz; also what the run takes for 0
inline constexpr const char* kDefaultHalfWaves = "4";
// Written as the form's designer typed them, with a comma whatever the
// user's separator.
inline constexpr const char* kDefaultShorteningFactor = "0,95";
inline constexpr const char* kDefaultTolerance = "5";
inline constexpr float kDefaultOuterDiameter = 2.1f;      // mm
inline constexpr float kDefaultConductorDiameter = 1.4f;  // mm
inline constexpr float kDefaultMinimumSum = 0.4f;

// The typical shortening factor of a bare wire: what a field refused as no
// shortening factor gets, and what the tools take while the main form's
// field is empty.
inline constexpr float kTypicalShorteningFactor = 0.946f;
inline constexpr const char* kTypicalShorteningFactorText = "0,946";

// The main form's inputs right after loading, in the language and with the
// decimal separator of the moment (folders and date left empty).
RunInput LoadedFormInput(Language lang, char sep);

// The conductor diameter after loading, as its field shows it.
std::string DefaultConductorText(char sep);

// ---- insulation materials ----

// The entries of the dielectric list: a blank entry, then the materials
// with their constant ("   2,3   PE Polyethylen"). The first six names are
// translated, the others are the materials' own names.
std::vector<std::string> MaterialList(Language lang, char sep);
// Entries from this index on are insulating materials (choosing one
// enables the insulation fields).
inline constexpr int kFirstInsulatingMaterial = 3;
// The dielectric field after loading: air ("1,00059 Luft").
std::string AirEntry(Language lang, char sep);

// ---- round copper wires ----

// The usual cross-sections and their diameters; the cross-section is
// written the way the sizes are commonly named (0,75 / 1 / 1,5 ...).
struct WireSize {
  float diameter;       // mm
  float crossSection;   // mm²
  const char* picture;  // of the cross-section; nullptr: general format
};
inline constexpr std::array<WireSize, 10> kWireSizes{{{0.977f, 0.75f, "0.0#"},
                                                      {1.128f, 1.0f, nullptr},
                                                      {1.382f, 1.5f, "0.0"},
                                                      {1.596f, 2.0f, nullptr},
                                                      {1.784f, 2.5f, "0.0"},
                                                      {2.257f, 4.0f, nullptr},
                                                      {2.523f, 5.0f, nullptr},
                                                      {2.764f, 6.0f, nullptr},
                                                      {2.985f, 7.0f, nullptr},
                                                      {3.568f, 10.0f, nullptr}}};
// "0,977 (0,75 mm²)": the main form's conductor list.
std::vector<std::string> ConductorList(char sep);
// "0,977(0,75mm²)": the shortening-factor calculator's diameter list.
std::vector<std::string> CompactConductorList(char sep);

// ---- captions ----

// The band boxes' captions and tooltips (by band index).
const char* BandCaption(int band);
const char* BandTip(int band);

// The frequency label as the reports quote it, "&" included.
std::string FrequencyCaption(Language lang);
// The same label as the form shows it. In English its access key is the
// "R": Alt+F opens the File menu.
std::string FrequencyLabel(Language lang);

// ---- what the tool windows read ----

// What the last optimisation run left (the shared values of Module1).
struct LastRun {
  float length = 0;        // antenna length, m; 0 before any run
  double insulation = 0;   // insulation fraction
  bool extraBand = false;  // the additional band
  float extraFrequency = 0;
  std::vector<FeedCandidate> candidates;  // the proposed feed points
  std::string conductorDiameter;          // as the run read it, mm
  std::string shorteningFactor;           // Vk as the run read it
  std::string dielectric, outerDiameter;  // the insulation as the run read it
  report::ReportData report;              // what its current-sum report was written from
};

// The main form as the tool windows read it: its fields as typed, its note
// and the last run.
struct MainFormValues {
  std::string preferredFrequency;
  std::string halfWaves;  // may hold "~n"
  std::string shorteningFactor;
  std::string minimumSum;
  std::string conductorDiameter;
  BandValues bands{};
  std::optional<Segment> segment = Segment::Centre;  // the selected segment button; none when none is
  LengthMode lengthMode = LengthMode::Preferred;
  float tolerancePercent = 5;  // parsed
  std::string note;
  LastRun run;
  CalculatorState calculator;  // the shortening-factor calculator

  // What the length search reads (no segment selected: band centre).
  LengthContext lengthContext() const;
};

// ---- what the form takes from the tool windows ----

// Lengths of the form's number fields (what they keep of a longer text).
inline constexpr int kFrequencyFieldLength = 7;
inline constexpr int kShorteningFieldLength = 7;
inline constexpr int kOuterDiameterFieldLength = 5;
// Above this a half-wave is shorter than 15 cm, too short for the
// centimetre scan of the run: such a frequency is a slip (kHz for MHz).
inline constexpr float kHighestTakenFrequency = 1000;

// The fields a tool window writes into.
enum class FormField { PreferredFrequency, ShorteningFactor, ConductorDiameter };

// A tool window writes into the form only a text its field would keep had
// the user typed it there: its keys, its length, its range (for the
// conductor: an outer diameter raised above it still fits its field).
// Empty when the field takes `text`, else the reason, in the language.
std::string TakeOverRefusal(FormField field, const std::string& text, Language lang, char sep);

// ---- the WINDOM preset ----

// Ticking "classic WINDOM": the bands a WINDOM cannot serve turn grey, 7 MHz
// is ticked when no lower band is, and the half-waves follow the lowest
// counted band; the preferred frequency goes back to its default.
struct WindomPreset {
  BandValues bands{};
  std::string halfWaves;
};
WindomPreset WindomPresetFor(const BandValues& bands);
// The bands the preset greys.
inline constexpr std::array<int, 3> kWindomGreyBands = {kBand10, kBand21, kBand5_3};

}  // namespace lorvant
