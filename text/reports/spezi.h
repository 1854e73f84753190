// AntSpezi.txt, the special table: one row per centimetre of wire, written
// during the scan so that nothing of it is kept in memory.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>

#include "text/format.h"
#include "text/reports/reportdata.h"

namespace lorvant::report {

class SpecialTableWriter {
 public:
  SpecialTableWriter(std::ostream& out, const ReportData& d);

  // Title, bands, length, shortening, column heads and separators.
  void header();
  // The row of scan step p (centimetres): S, then G of the eleven bands
  // (band index 0 = 1.8 ... 10 = 50 MHz) and of the additional band.
  void row(std::int32_t p, double S, const std::array<double, kBandCount>& G, double extraG);
  // Empty line and the closing line with date and notice.
  void closing();

  bool good() const { return out_.good(); }

 private:
  std::ostream& out_;
  const ReportData& d_;
  std::string line_;
};

// Table width v: 127 with the additional band, 115 without.
int SpecialTableWidth(const ReportData& d);

}  // namespace lorvant::report
