// ZusatzDipol.txt, the report of the additional dipole.
#pragma once

#include <string>

#include "engine/common.h"

namespace lorvant::dipole {

inline constexpr const char* kReportFile = "ZusatzDipol.txt";

// Everything the report prints: captions as the window shows them, field
// and result texts as they stand after the calculation.
struct ReportData {
  Language lang = Language::German;  // headings follow the current language
  bool windom = false;
  std::string frequencyCaption, frequency, halfWaves;
  std::string impedanceCaption, impedance;
  std::string diameterCaption, diameter;
  std::string feedPointCaption, fraction, ofTotalLengthCaption, feedPoint;
  std::string spacingCaption, spacing;
  std::string lengthCaption, length;
  std::string exciterFrequencyCaption, exciterFrequency;
  std::string exciterDiameterCaption, exciterDiameter;
  std::string vkCaption, vk;
  std::string dateTime;  // the locale's general date and time
};

// The report as Windows-1252 bytes, every line ended by CR LF.
std::string ReportText(const ReportData& data);

}  // namespace lorvant::dipole
