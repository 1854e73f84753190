// ZusatzDipol.txt, the report of the additional dipole.
#pragma once

#include <string>

#include "calc/common.h"

namespace lorvant::dipole {

inline constexpr const char* kReportFile = "ZusatzDipol.txt";

// Everything the report prints: captions as the window shows them, field
// and result texts as they stand after the calculation.
struct ReportData {
  Language lang = Language::German;  // headings follow the current language
  bool windom = false;
  std::string label1, text1, text7;
  std::string label3, text3;
  std::string label4, text4;
  std::string label12, combo1, label13, label11;
  std::string label7, label8;
  std::string label9, label10;
  std::string label2, text2;
  std::string label5, text5;
  std::string label6, text6;
  std::string dateTime;  // the locale's general date and time
};

// The report as Windows-1252 bytes, every line ended by CR LF.
std::string ReportText(const ReportData& data);
// Creates or replaces the file as a whole (an earlier file stays untouched
// when writing fails); throws files::FileError.
void WriteReport(const std::string& path, const ReportData& data);

}  // namespace lorvant::dipole
