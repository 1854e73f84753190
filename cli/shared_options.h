// Options that several subcommands share: the main form's fields that more
// than one tool reads (frequency, half-waves, Vk, minimum current sum, band
// boxes, segment, length mode) and the presentation settings (language,
// decimal separator, date text). Each subcommand adds the ones it needs and
// reads the resolved values after parsing.
#pragma once

#include <optional>
#include <string>

#include "cli/options.h"
#include "engine/bands.h"
#include "engine/common.h"
#include "engine/shortening.h"
#include "session/run.h"

namespace lorvant::cli {

// Which shared options a subcommand takes (combine with |).
enum SharedOption : unsigned {
  kOptFrequency = 1u << 0,         // --frequency (preferred frequency)
  kOptHalfWaves = 1u << 1,         // --halfwaves
  kOptVk = 1u << 2,                // --vk (shortening factor)
  kOptMinSum = 1u << 3,            // --min-sum (minimum current sum)
  kOptBands = 1u << 4,             // --band, --grey-band (the band boxes)
  kOptSegment = 1u << 5,           // --segment (band segment)
  kOptLengthMode = 1u << 6,        // --length-mode
  kOptLanguage = 1u << 7,          // --language
  kOptDecimalSeparator = 1u << 8,  // --decimal-separator
  kOptDate = 1u << 9,              // --date
  kOptAllShared = (1u << 10) - 1,
};

class SharedInputs {
 public:
  // Declares the chosen options on the parser; this object must outlive
  // parsing.
  void addTo(OptionParser& parser, unsigned which);

  // Resolved values (defaults = the main form's state after load).
  Language language() const { return language_; }
  // The separator of the numbers that are written, default the locale's.
  char decimalSeparator() const;
  std::string frequencyText() const;  // default 14.2 in the general format
  std::string halfWavesText() const;  // default "4"
  std::string vkText() const;         // default "0,95"
  std::string minSumText() const;     // default 0.4 with the picture "0.0"
  const BandValues& bands() const { return bands_; }
  Segment segment() const { return segment_; }           // default band centre
  LengthMode lengthMode() const { return lengthMode_; }  // default preferred
  // The date and time of the reports' closing lines; default now, in the
  // locale's short date and HH:MM:SS.
  std::string dateText() const;

 private:
  // The main form's fields after loading, in this language and separator.
  RunInput loadedForm() const;

  Language language_ = Language::German;
  std::optional<char> sep_;
  std::optional<std::string> frequency_, halfWaves_, vk_, minSum_, date_;
  BandValues bands_{};
  Segment segment_ = Segment::Centre;
  LengthMode lengthMode_ = LengthMode::Preferred;
};

// Takes an --out value: a folder name, which may not be empty.
std::function<void(const std::string&)> FolderValue(std::optional<std::string>& into);

// The folder of an --out option: made when missing and checked for
// writing (a probe file is created and removed). Returns it with its final
// "/"; throws UsageError when it cannot take files.
std::string OutputFolder(const std::string& value);
// The same for the value of the named option; the message quotes it.
std::string OutputFolderOption(const std::string& option, const std::string& value);

// The band index of a band caption as typed on the command line: one of
// 1.8 3.5 5.3 7 10 14 18 21 24 28 50 (a comma may stand for the point;
// 7.0 and 24.9 are taken too). Throws UsageError otherwise.
int BandIndexFromText(const std::string& text);

// The user's decimal separator, ',' or '.', from the Qt system locale
// (QLocale: LC_ALL, LC_NUMERIC, LANG), as the program's windows take it.
char LocaleDecimalSeparator();
// Now as the reports' closing lines write it: the locale's short date, a
// blank and HH:MM:SS.
std::string LocalDateTimeText();

}  // namespace lorvant::cli
