// SpeisePkt.txt: the report of the feed-point check over all bands.
#pragma once

#include <ostream>
#include <string>

#include "engine/common.h"

namespace lorvant::report {

inline constexpr const char* kSpeisePktFileName = "SpeisePkt.txt";

// Captions and fields of the window as they stood at the check; texts UTF-8.
struct SpeisePktReport {
  Language lang = Language::German;
  std::string lengthCaption, length;
  std::string frequencyCaption, frequency;
  std::string distanceCaption, distance;
  std::string header;    // of the result box
  std::string rows;      // the result box, rows separated by CR LF
  std::string dateText;  // the moment of the check, general date format
};

// Writes the report as Windows-1252 with CR LF line ends.
void WriteSpeisePkt(std::ostream& out, const SpeisePktReport& report);

}  // namespace lorvant::report
